// xyh-cli: 星衍推号 from the command line, over the same core as the window.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/Cast.h"
#include "cli/Check.h"
#include "cli/Draw.h"
#include "cli/Draws.h"
#include "cli/History.h"
#include "cli/Play.h"
#include "cli/Stats.h"
#include "xyh/Version.h"

namespace {

constexpr const char* kUsage =
    "usage: xyh-cli COMMAND [options]\n"
    "\n"
    "commands:\n"
    "  cast      cast a hexagram, print the reading and the derived numbers\n"
    "  history   list, show, delete, export or import saved casts\n"
    "  draw      fetch the latest draw once and print it\n"
    "  draws     list, export or import the stored draws\n"
    "  check     check saved casts or a bought ticket against the stored draws (对奖)\n"
    "  play      add, list or delete the 单式/复式/胆拖 tickets bought with saved casts\n"
    "  stats     number frequency, omission and draw shapes over the stored draws (走势)\n"
    "  help      help on a command: xyh-cli help cast\n"
    "\n"
    "  --help     this text\n"
    "  --version  the program's version\n"
    "\n"
    "example:\n"
    "  xyh-cli cast --number 58 --zodiac 子鼠\n";

constexpr const char* kHome =
    "  --home DIR     the program directory holding config.ini and src/data/xyh.db;\n"
    "                 default: $XYH_HOME, else beside the program for a portable copy,\n"
    "                 else ~/.local/share/星衍推号 (an installed program)\n"
    "                 example: --home ~/xyh-test\n";

const std::map<std::string, std::string>& CommandHelp() {
  static const std::map<std::string, std::string> help = {
      {"cast",
       std::string(
           "usage: xyh-cli cast (--number DIGITS | --time now|draw | --lines LINES |\n"
           "                     --up CODE --down CODE --dong MARKS) --zodiac Z [options]\n"
           "\n"
           "Casts as the window's 演算 does and prints the reading and the result text.\n"
           "\n"
           "  --number DIGITS   cast from a number (数字起卦); digits only, at most 32\n"
           "                    example: --number 58\n"
           "  --time now|draw   cast from this millisecond, or from the next draw time of\n"
           "                    the lottery (超时空起卦); example: --time draw\n"
           "  --lines LINES     six hand-cast lines, bottom first: 1 yang, 0 yin,\n"
           "                    O moving yang, X moving yin (自己装卦); example: --lines O01X10\n"
           "  --up CODE         upper trigram, three of 1/0, bottom line first; example: --up 010\n"
           "  --down CODE       lower trigram, the same way; example: --down 101\n"
           "  --dong MARKS      six moving marks from the bottom, 1, 0 or -1;\n"
           "                    example: --dong 1,0,0,-1,0,0 (or --dong=-1,0,0,0,0,0)\n"
           "  --at TIME         when the hand-cast lines were cast, \"YYYY-MM-DD HH:MM:SS\";\n"
           "                    default now; example: --at \"2026-12-06 15:07:03\"\n"
           "  --zodiac Z        the person's sign: 1..12, a branch or a sign;\n"
           "                    example: --zodiac 3, --zodiac 寅, --zodiac 寅虎\n"
           "  --now TIME        fix the clock, \"YYYY-MM-DD HH:MM:SS[.mmm]\" local time;\n"
           "                    example: --now \"2024-06-01 10:00:00.125\"\n"
           "  --lottery CODE    draw schedule of --time draw: 100 快乐8, 101 双色球 (default),\n"
           "                    106 七星彩; example: --lottery 106\n"
           "  --topic 求财|功名|文书|子孙|兄弟\n"
           "                    the question whose 用神 chart.useGod marks (default 求财;\n"
           "                    --batch and history show take the default); example: --topic 功名\n"
           "  --title T         also show the name a save under T would get; example: --title 甲\n"
           "  --save TITLE      save the cast in the history (prints 保存成功 or 保存失败);\n"
           "                    example: --save 甲\n"
           "  --note TEXT       the note saved with it; example: --note \"第一次\"\n"
           "  --json            print one JSON object: castTime, numberText, header,\n"
           "                    primaryTitle, changedTitle, grid, reading, numbers, result,\n"
           "                    chart (and ysname, save)\n"
           "  --batch           read casts from standard input, one per line, each line the\n"
           "                    options above, quoted as a shell would ('...', \"...\", \\);\n"
           "                    print each as one line of --json, in input order. A bad\n"
           "                    line, and an empty one, prints {\"line\":N,\"error\":\"...\"}\n"
           "                    instead and the run goes on; the exit status is then 1.\n"
           "                    --save and --note are refused on those lines.\n"
           "                    example: echo '--number 58 --zodiac 1' | xyh-cli cast --batch\n") +
           kHome +
           "\n"
           "A refusal prints the casting panel's message (e.g. 未选择卦主生肖) and exits 2.\n"},
      {"history",
       std::string(
           "usage: xyh-cli history list [--json] | show ID [--json] | delete ID |\n"
           "                       export [--format csv|json] [--output FILE] | import FILE\n"
           "\n"
           "  list          saved casts, newest first: id and name; example: xyh-cli history list\n"
           "  show ID       one saved cast as JSON; example: xyh-cli history show 3\n"
           "  delete ID     removes it (an id already gone is fine); example: xyh-cli history delete 3\n"
           "  export        every saved cast with every stored field, oldest first, as UTF-8\n"
           "                CSV or JSON; example: xyh-cli history export > history.csv\n"
           "  import FILE   adds the casts of an exported file (either format; - reads\n"
           "                standard input) as new entries, skipping any already saved; a\n"
           "                malformed file, or one with a record the program could not have\n"
           "                saved (a sign outside 1..12, a number that is no digits, …), is\n"
           "                refused whole, naming the line or JSON path and the field, and\n"
           "                nothing is written; example: xyh-cli history import history.csv\n"
           "  --json        list as a JSON array; show adds \"cast\", the cast as the window's\n"
           "                review shows it, with the keys of cast --json\n"
           "  --format csv|json  the export's format (default csv); example: --format json\n"
           "  --output FILE      export into FILE instead of standard output;\n"
           "                     example: --output ~/history.json\n"
           "\n"
           "Control characters in saved names and notes are printed as escapes (\\x1b).\n"
           "show of a saved cast the program could not have saved (edited by hand) says\n"
           "该历史记录已损坏,无法复盘 with the field on standard error, exit code 1.\n"
           "A damaged or locked history file is said on standard error, exit code 1;\n"
           "a damaged one is only read, never written.\n") +
           kHome},
      {"draw",
       std::string(
           "usage: xyh-cli draw [--lottery CODE] [--json]\n"
           "\n"
           "One refresh cycle of the latest-draws strip: probe, fetch, parse; prints status,\n"
           "name, issue, date, numbers and extra, or 未连网 when offline (exit 1).\n"
           "\n"
           "  --lottery CODE   100 快乐8, 101 双色球 (default), 102 七乐彩, 103 福彩3D,\n"
           "                   104 大乐透, 105 排列五, 106 七星彩; example: --lottery 103\n"
           "  --json           print one JSON object\n") +
           kHome + "                 the hosts come from section net of its config.ini\n"},
      {"draws",
       std::string(
           "usage: xyh-cli draws list [--lottery CODE] [--json] | export [--lottery CODE] |\n"
           "                     import FILE [--lottery CODE] | gaps [--lottery CODE] [--json] |\n"
           "                     add --issue N --date YYYY-MM-DD --red \"N ...\" --blue \"N ...\"\n"
           "                         [--lottery CODE]\n"
           "\n"
           "The draw archive: every draw a refresh (the window's or xyh-cli draw) has read,\n"
           "one per lottery and issue.\n"
           "\n"
           "  list          the stored draws, newest first; example: xyh-cli draws list\n"
           "  export        the stored draws as CSV on standard output, oldest first;\n"
           "                example: xyh-cli draws export > ssq.csv\n"
           "  import FILE   adds the draws of a CSV file (- reads standard input): all\n"
           "                lines or none; a line already stored with the same numbers is\n"
           "                skipped, with other numbers the import is refused;\n"
           "                example: xyh-cli draws import ssq.csv\n"
           "  add           stores one draw, checked and refused exactly as an import of\n"
           "                that line; example: xyh-cli draws add --issue 2026051\n"
           "                --date 2026-05-05 --red \"3 9 14 20 27 31\" --blue 8\n"
           "  gaps          the issues missing between stored draws of the same year,\n"
           "                ascending (a year's last issue is not known ahead, so none is\n"
           "                missing across a year's end); example: xyh-cli draws gaps\n"
           "  --issue N     add: the issue, digits only\n"
           "  --date DATE   add: the draw date, YYYY-MM-DD\n"
           "  --red N...    add: the main numbers separated by spaces\n"
           "  --blue N...   add: the second zone separated by spaces (\"\" where none)\n"
           "  --lottery CODE  100 快乐8, 101 双色球 (default), 102 七乐彩, 103 福彩3D,\n"
           "                104 大乐透, 105 排列五, 106 七星彩; example: --lottery 103\n"
           "  --json        list, or gaps, as a JSON array\n"
           "\n"
           "CSV: the header issue,date,red,blue, then one draw a line, e.g.\n"
           "  2026140,2026-12-06,03 09 14 20 27 31,08\n"
           "red holds the main numbers, blue the second zone (empty where there is none),\n"
           "each separated by spaces, one or two digits each. A refusal names the line,\n"
           "counting the header as line 1, and exits 2. An issue is a number (02026001 is\n"
           "2026001); a date after tomorrow, or a 双色球 date before 2003-02-23, is refused.\n"
           "A damaged or locked history file, or a stored draw that does not read back,\n"
           "is said on standard error, exit code 1; a damaged file is never written.\n") +
           kHome},
      {"check",
       std::string(
           "usage: xyh-cli check [ID ...] [--json]\n"
           "       xyh-cli check --red \"N ...\" [--dan \"N ...\"] [--blue \"N ...\"] [--multiple M]\n"
           "                     [--issue N] [--json]\n"
           "\n"
           "对奖 for 双色球. Each saved cast (or the given ids), newest first, is cast again\n"
           "at its saved time; its five red tickets, each played with every number of its\n"
           "blue list, are checked against the draw the cast was made for: a cast made for\n"
           "the draw time (超时空起卦, 开奖时间) meets the draw of its own day, any other the\n"
           "first draw whose sales close (20:00 on the draw day) after the cast. A cast\n"
           "whose draw is not stored yet is pending (待开奖). A cast is scored only when the\n"
           "archive can vouch for its draw: the draw before it is stored too (its issue one\n"
           "lower) or it is its year's first. Otherwise the cast is missing (开奖数据缺失)\n"
           "and the issue to add first is named; add it with xyh-cli draws add or draws\n"
           "import. Matched numbers are shown in [ ]. JSON: status is scored, pending or\n"
           "missing; missingIssue the issue to add, or null.\n"
           "The plays saved with a cast (xyh-cli play) are checked against the same draw;\n"
           "--json gives them under \"plays\", with \"playsBestTier\" and \"playsFixedPrize\"\n"
           "beside the tickets' own \"bestTier\" and \"fixedPrize\".\n"
           "\n"
           "  ID            a saved cast's id (xyh-cli history list); example: xyh-cli check 3 7\n"
           "  --red N...    check a bought ticket: six reds 1..33 (单式), up to 20 (复式), or\n"
           "                with --dan the 拖; example: --red \"1 2 3 4 5 6\"\n"
           "  --dan N...    the 胆 of a 胆拖, 1 to 5 reds; example: --dan \"3 9\"\n"
           "  --blue N...   its blues 1..16, one bet each; example: --blue \"7 9\"\n"
           "  --multiple M  倍数 1..99 (default 1); example: --multiple 5\n"
           "  --issue N     the stored draw to check it against; default the newest;\n"
           "                example: --issue 2026140\n"
           "  --json        print a JSON array (one object for a ticket)\n"
           "\n"
           "A saved cast the program could not have saved (edited by hand) is not cast: it\n"
           "says 该历史记录已损坏,无法复盘 on standard error (in --json an object with\n"
           "\"error\"), the others are checked, and the exit code is 1.\n"
           "A damaged or locked history file is said on standard error, exit code 1.\n") +
           kHome},
      {"play",
       std::string(
           "usage: xyh-cli play add ID --red \"N ...\" [--dan \"N ...\"] --blue \"N ...\"\n"
           "                       [--multiple M] | list [ID] [--json] | delete PLAYID\n"
           "\n"
           "The tickets actually bought with a saved cast, checked by xyh-cli check\n"
           "against the same draw as the cast.\n"
           "  单式/复式: 6 to 20 reds and 1 to 16 blues; bets = C(reds, 6) x blues.\n"
           "  胆拖: 1 to 5 胆 (--dan) and the 拖 (--red), none in both, at least 7 together;\n"
           "        bets = C(拖, 6 - 胆) x blues.\n"
           "  Cost = bets x 2元 x 倍数; at most 1000000 bets x 倍数.\n"
           "\n"
           "  add CASTID      saves a play with the saved cast of that id; prints the play's\n"
           "                  id, kind, bets and cost;\n"
           "                  example: xyh-cli play add 3 --red \"1 2 3 4 5 6 7\" --blue 8\n"
           "  list [CASTID]   the plays (of one saved cast), oldest first;\n"
           "                  example: xyh-cli play list 3\n"
           "  delete PLAYID   removes a play; example: xyh-cli play delete 12\n"
           "  --red N...      the reds, or with --dan the 拖; example: --red \"1 2 3 4 5 6 7\"\n"
           "  --dan N...      the 胆 of a 胆拖; example: --dan \"3 9\"\n"
           "  --blue N...     the blues; example: --blue \"8 9\"\n"
           "  --multiple M    倍数 1..99 (default 1); example: --multiple 5\n"
           "  --json          list as a JSON array\n"
           "\n"
           "A play that breaks a rule is refused with the rule, exit code 2, and nothing is\n"
           "written. Deleting a saved cast deletes its plays. A damaged or locked history\n"
           "file is said on standard error, exit code 1.\n") +
           kHome},
      {"stats",
       std::string(
           "usage: xyh-cli stats [--last N] [--json]\n"
           "\n"
           "Figures over the newest stored 双色球 draws (newest by draw date, then issue):\n"
           "for each red 1..33 and blue 1..16 how many draws held it (count), how many\n"
           "draws since it was last drawn (omission; the number of draws when never), and\n"
           "its longest run of draws without it (maxOmission); for each draw the sum, span,\n"
           "odd and big (17 and up) reds and the pairs of consecutive reds; the six hot\n"
           "and the six cold reds (ranked by count, then smaller omission, then number).\n"
           "Issues missing between the draws (xyh-cli draws gaps) are said first, as 缺N期:\n"
           "the figures count the stored draws only. With no stored draw it says so and\n"
           "exits 1.\n"
           "\n"
           "  --last N   only the newest N draws, 1 to 1000000; default all;\n"
           "             example: xyh-cli stats --last 30\n"
           "  --json     print one JSON object: draws, first, last, red, blue, perDraw,\n"
           "             hot, cold, missingIssues\n") +
           kHome},
  };
  return help;
}

int Help(const std::string& command) {
  const auto& help = CommandHelp();
  const auto it = help.find(command);
  if (it == help.end()) {
    std::cerr << "xyh-cli: no help on \"" << command
              << "\"; commands: cast, history, draw, draws, check, play, stats\n";
    return 2;
  }
  std::cout << it->second;
  return 0;
}

// What a command printed is only done once it is out: a full disk or a
// closed pipe behind standard output makes the command fail, whatever it
// returned.
int FinishOutput(int code) {
  std::cout.flush();
  const bool streamFailed = !std::cout;
  errno = 0;
  const bool flushFailed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0;
  const int error = errno;
  if (!streamFailed && !flushFailed) return code;
  std::cerr << "xyh-cli: writing to standard output failed";
  if (flushFailed && error != 0) std::cerr << ": " << std::strerror(error);
  std::cerr << "\n";
  return code == 0 ? 1 : code;
}

int Dispatch(const std::string& command, const std::vector<std::string>& args) {
  if (command == "--version" || command == "version") {
    std::cout << "xyh-cli " << rg_com_ptl_xyh::kVersion << "\n";
    return 0;
  }
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return 0;
  }
  if (command == "help") return args.empty() ? (std::cout << kUsage, 0) : Help(args[0]);
  // "COMMAND --help" anywhere among the words asks for the command's help.
  if (CommandHelp().count(command) != 0 &&
      std::any_of(args.begin(), args.end(),
                  [](const std::string& a) { return a == "--help" || a == "-h"; })) {
    return Help(command);
  }
  if (command == "cast") return xyh_cli::RunCast(args);
  if (command == "history") return xyh_cli::RunHistory(args);
  if (command == "draw") return xyh_cli::RunDraw(args);
  if (command == "draws") return xyh_cli::RunDraws(args);
  if (command == "check") return xyh_cli::RunCheck(args);
  if (command == "stats") return xyh_cli::RunStats(args);
  if (command == "play") return xyh_cli::RunPlay(args);
  std::cerr << "xyh-cli: unknown command \"" << command << "\"\n\n" << kUsage;
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string command = args[0];
  args.erase(args.begin());
  int code = 1;
  try {
    code = Dispatch(command, args);
  } catch (const xyh_cli::UsageError& e) {
    std::cerr << "xyh-cli: " << e.message << "\n";
    code = 2;
  } catch (const std::exception& e) {
    // Nothing may end the program with an abort: whatever escaped is said.
    std::cerr << "xyh-cli: the command failed: " << e.what() << "\n";
    code = 1;
  } catch (...) {
    std::cerr << "xyh-cli: the command failed with an unknown error\n";
    code = 1;
  }
  return FinishOutput(code);
}
