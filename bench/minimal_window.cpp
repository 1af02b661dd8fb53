// The least a Qt Widgets program does: one empty window, shown, then gone.
// The yardstick for the program's start-up time and memory. With --sized it
// is as large as the main window and shows one line of Chinese, to tell the
// program's own cost from what any window of that size and script costs.
#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  if (argc > 1 && std::string(argv[1]) == "--sized") {
    window.resize(1024, 740);
    auto* label = new QLabel(QStringLiteral("星衍推号 六爻起卦 推演号码"), &window);
    label->setFont(QFont(QStringLiteral("WenQuanYi Micro Hei"), 9));
    label->move(10, 10);
  }
  window.show();
  QTimer::singleShot(0, [] {
    QApplication::processEvents();
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0)
        std::printf("rss_kb=%ld\n", std::strtol(line.c_str() + 6, nullptr, 10));
    }
    QApplication::quit();
  });
  return app.exec();
}
