// The least a Qt Widgets program does: one empty window, shown, then gone.
// The yardstick for the program's start-up time and memory.
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.show();
  QTimer::singleShot(0, [] {
    QApplication::processEvents();
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
      if (line.rfind("VmRSS:", 0) == 0) std::printf("rss_kb=%ld\n", std::strtol(line.c_str() + 6, nullptr, 10));
    }
    QApplication::quit();
  });
  return app.exec();
}
