// 星衍推号: the process entry.
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <string>

#include "history/EasyDb.h"
#include "net/HttpClient.h"
#include "platform/CommandLine.h"
#include "platform/Folders.h"
#include "shell/Startup.h"
#include "shell/XyhWin.h"
#include "ui/Ui.h"
#include "xyh/Version.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr const char* kHelp =
    "usage: xyh [--home DIR]\n"
    "\n"
    "星衍推号: casts a six-line hexagram, reads it and derives numbers.\n"
    "\n"
    "  --home DIR   the program directory holding config.ini and src/data/xyh.db\n"
    "               (default: $XYH_HOME, else beside the program when it can be\n"
    "               written, else ~/.local/share/星衍推号)\n"
    "  --help       this text\n"
    "  --version    the version\n"
    "\n"
    "The command line xyh-cli casts, saves and lists without a window.\n";

}  // namespace

int main(int argc, char** argv) {
  UseUtf8Console();
  std::optional<std::filesystem::path> home;
  const std::vector<std::string> words = Utf8Arguments(argc, argv);
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& arg = words[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(kHelp, stdout);
      return 0;
    }
    if (arg == "--version") {
      std::printf("xyh %s\n", kVersion);
      return 0;
    }
    if (arg == "--home" && i + 1 < words.size()) {
      home = PathFromUtf8(words[++i]);
    } else if (arg.rfind("--home=", 0) == 0) {
      home = PathFromUtf8(arg.substr(7));
    } else if (arg.rfind('-', 0) == 0 && arg.rfind("-platform", 0) != 0 &&
               arg.rfind("-style", 0) != 0) {
      std::fprintf(stderr, "xyh: unknown option %s\n\n%s", arg.c_str(), kHelp);
      return 2;
    }
  }

  // Dates Qt writes itself (the file dialog's 修改日期) in Chinese too,
  // whatever language the desktop is set to.
  qputenv("LC_TIME", "zh_CN.UTF-8");
  try {
    rg_Application app(argc, argv);
    // The desktop matches the window to its entry and icon by this id.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.ptl.xyh"));
    // Qt's own words (OK, Yes, No in message boxes) in Chinese, as all else.
    ui::InstallTranslations(app);
    const rg_NetworkScope network;
    return RunGuarded([&] {
      rg_startup_class::Options options;
      options.home = ResolveHome(home).dir;
      // The history is opened before any window.
      rg_EasyDb::Process().Open(options.home);
      rg_startup_class startup(options);
      if (!startup.Start()) return startup.ExitCode();
      const int code = app.exec();
      app.RethrowPending();
      return code;
    });
  } catch (const std::exception& e) {
    // Before the application stands (or after it is gone) there is no
    // window to show it in.
    std::fprintf(stderr, "xyh: %s\n", e.what());
    return 1;
  } catch (...) {
    std::fprintf(stderr, "xyh: an unknown error ended the program\n");
    return 1;
  }
}
