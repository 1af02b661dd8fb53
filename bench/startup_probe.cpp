// Start-up time and memory of the program, to compare with minimal_window.
// Each run starts, shows its window, prints its resident memory and ends;
// hyperfine times the runs:
//   startup_probe [--cast]   the main window as the program builds it (without
//                            the splash), optionally after casting 58
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "history/EasyDb.h"
#include "platform/Settings.h"
#include "shell/MainPanel.h"
#include "shell/Startup.h"
#include "shell/XyhWin.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/LabeledChoice.h"

using namespace rg_com_ptl_xyh;

namespace {

long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

}  // namespace

int main(int argc, char** argv) {
  const bool cast = argc > 1 && std::strcmp(argv[1], "--cast") == 0;
  QApplication app(argc, argv);
  std::unique_ptr<rg_startup_class> startup;
  const std::filesystem::path home = std::filesystem::temp_directory_path() / "xyh-startup-probe";
  std::filesystem::create_directories(home);
  if (!std::filesystem::exists(home / "config.ini")) {
    // The refresh and the update check never reach the program's own hosts
    // from here, however slowly a run goes. Written once, so that the runs
    // time the start and not this.
    rg_Settings settings(home / "config.ini");
    settings.Write(u"net", u"results_home", u"http://127.0.0.1:9/");
    settings.Write(u"net", u"kl8_history", u"http://127.0.0.1:9/kl8");
    settings.Write(u"net", u"probe_host", u"127.0.0.1");
    settings.Write(u"net", u"update_host", u"");
  }
  rg_EasyDb::Process().Open(home);
  startup =
      std::make_unique<rg_startup_class>(rg_startup_class::Options{home, home / "xyh.sq", false});
  if (!startup->Start()) return 1;
  QTimer::singleShot(0, [&] {
    if (cast) {
      rg_CastPanel* panel = startup->Window()->MainPanel()->CastPanel();
      panel->MethodChoice()->Select(1);
      panel->NumberEntry()->setText(QStringLiteral("58"));
      panel->ZodiacChoice()->Select(1);
      panel->CalculateButton()->click();
    }
    QApplication::processEvents();
    std::printf("rss_kb=%ld\n", ResidentKb());
    if (std::getenv("PROBE_MAPS") != nullptr) {
      std::ifstream maps("/proc/self/smaps");
      std::string line, name;
      std::map<std::string, long> byFile;
      while (std::getline(maps, line)) {
        if (line.find('-') < 16 && line.find(' ') > 8) {
          const size_t slash = line.find('/');
          const size_t bracket = line.find('[');
          name = slash != std::string::npos     ? line.substr(slash)
                 : bracket != std::string::npos ? line.substr(bracket)
                                                : "[anon]";
        } else if (line.rfind("Rss:", 0) == 0) {
          byFile[name] += std::strtol(line.c_str() + 4, nullptr, 10);
        }
      }
      for (const auto& [file, kb] : byFile)
        if (kb > 300) std::printf("%8ld %s\n", kb, file.c_str());
    }
    QApplication::quit();
  });
  return app.exec();
}
