// xyh-cli: the engine of 星衍推号 from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Cast.h"
#include "cli/Draw.h"
#include "cli/History.h"

namespace {

constexpr const char* kUsage =
    "usage: xyh-cli COMMAND [options]\n"
    "\n"
    "commands:\n"
    "  cast      cast a hexagram and print the reading\n"
    "  history   list, show or delete saved casts\n"
    "  draw      fetch the latest draw once and print it\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "cast options:\n"
    "  --number DIGITS        cast from a number (数字起卦)\n"
    "  --time now|draw        cast from the moment now or the next draw time (超时空起卦)\n"
    "  --lines O01X10         six hand-cast lines, bottom first: 1 yang, 0 yin,\n"
    "                         O moving yang, X moving yin (自己装卦)\n"
    "  --up 010 --down 101 --dong 1,0,0,-1,0,0\n"
    "                         the same as trigram codes and moving marks\n"
    "  --at \"YYYY-MM-DD HH:MM:SS\"   time of the hand-cast lines (default: now)\n"
    "  --zodiac Z             the person's sign: 1..12, 子, or 子鼠\n"
    "  --now \"YYYY-MM-DD HH:MM:SS[.mmm]\"   fix the clock (local time)\n"
    "  --lottery CODE         lottery of the draw schedule (default 101)\n"
    "  --title T              also show the name a save under title T would get\n"
    "  --json                 print one JSON object\n"
    "  --save TITLE           save the cast under TITLE (the date is added)\n"
    "  --note TEXT            the note saved with it\n"
    "\n"
    "history:\n"
    "  xyh-cli history list [--json]     saved casts, newest first\n"
    "  xyh-cli history show ID           one saved cast as JSON\n"
    "  xyh-cli history delete ID\n"
    "\n"
    "draw:\n"
    "  xyh-cli draw [--lottery CODE] [--json]   one refresh cycle (default 101, 双色球);\n"
    "                                   hosts from section net of config.ini\n"
    "\n"
    "  --home DIR    the program directory holding config.ini and src/data/xyh.db\n"
    "                (default: $XYH_HOME, else beside the program when it can be\n"
    "                written, else ~/.local/share/星衍推号)\n"
    "\n"
    "example:\n"
    "  xyh-cli cast --number 58 --zodiac 子鼠 --now \"2024-06-01 10:00:00\"\n";

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  try {
    if (command == "--version" || command == "version") {
      std::cout << "xyh-cli " << XYH_VERSION << "\n";
      return 0;
    }
    if (command == "--help" || command == "help" || command == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (command == "cast") return xyh_cli::RunCast(args);
    if (command == "history") return xyh_cli::RunHistory(args);
    if (command == "draw") return xyh_cli::RunDraw(args);
    std::cerr << "xyh-cli: unknown command \"" << command << "\"\n\n" << kUsage;
    return 2;
  } catch (const xyh_cli::UsageError& e) {
    std::cerr << "xyh-cli: " << e.message << "\n";
    return 2;
  }
}
