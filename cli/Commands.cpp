#include "cli/Commands.h"

#include <algorithm>

#include "cli/Cast.h"
#include "cli/Check.h"
#include "cli/Common.h"
#include "cli/Draw.h"
#include "cli/Draws.h"
#include "cli/History.h"
#include "cli/HistoryTransfer.h"
#include "cli/Ledger.h"
#include "cli/Play.h"
#include "cli/Stats.h"

namespace xyh_cli {

namespace {

constexpr std::string_view kLotteries =
    "100 快乐8, 101 双色球 (default), 102 七乐彩, 103 福彩3D,\n"
    "104 大乐透, 105 排列五, 106 七星彩; example: --lottery 103";
constexpr std::string_view kAllCodes = "100 101 102 103 104 105 106";
constexpr std::string_view kHomeHelp =
    "the program directory holding config.ini and src/data/xyh.db;\n"
    "default: $XYH_HOME, else beside the program for a portable copy,\n"
    "else ~/.local/share/星衍推号 (an installed program)\n"
    "example: --home ~/xyh-test";
const Term kHome{.name = "--home",
                 .arg = "DIR",
                 .help = kHomeHelp,
                 .offer = "@dir",
                 .column = 17,
                 .check = CheckHome};

std::vector<Command> MakeCommands() {
  std::vector<Command> commands;
  commands.push_back(
      {.name = "cast",
       .summary = "cast a hexagram, print the reading and the derived numbers",
       .usage = "usage: xyh-cli cast (--number DIGITS | --time now|draw | --lines LINES |\n"
                "                     --up CODE --down CODE --dong MARKS) --zodiac Z [options]\n"
                "\n"
                "Casts as the window's 演算 does and prints the reading and the result text.\n"
                "\n",
       .column = 20,
       .terms = {{.name = "--number",
                  .arg = "DIGITS",
                  .help = "cast from a number (数字起卦); digits only, at most 32\n"
                          "example: --number 58",
                  .check = CheckNumber},
                 {.name = "--time",
                  .arg = "now|draw",
                  .help = "cast from this millisecond, or from the next draw time of\n"
                          "the lottery (超时空起卦); example: --time draw",
                  .check = CheckTime},
                 {.name = "--lines",
                  .arg = "LINES",
                  .help = "six hand-cast lines, bottom first: 1 yang, 0 yin,\n"
                          "O moving yang, X moving yin (自己装卦); example: --lines O01X10",
                  .check = CheckLines},
                 {.name = "--up",
                  .arg = "CODE",
                  .help = "upper trigram, three of 1/0, bottom line first; example: --up 010",
                  .check = CheckTrigram},
                 {.name = "--down",
                  .arg = "CODE",
                  .help = "lower trigram, the same way; example: --down 101",
                  .check = CheckTrigram},
                 {.name = "--dong",
                  .arg = "MARKS",
                  .help = "six moving marks from the bottom, 1, 0 or -1;\n"
                          "example: --dong 1,0,0,-1,0,0 (or --dong=-1,0,0,0,0,0)",
                  .check = CheckDong},
                 {.name = "--at",
                  .arg = "TIME",
                  .help = "when the hand-cast lines were cast, \"YYYY-MM-DD HH:MM:SS\";\n"
                          "default now; example: --at \"2026-12-06 15:07:03\"",
                  .check = CheckLocalTime},
                 {.name = "--zodiac",
                  .arg = "Z",
                  .help = "the person's sign: 1..12, a branch or a sign;\n"
                          "example: --zodiac 3, --zodiac 寅, --zodiac 寅虎",
                  .offer = "子鼠 丑牛 寅虎 卯兔 辰龙 巳蛇 午马 未羊 申猴 酉鸡 戌狗 亥猪",
                  .check = CheckZodiac},
                 {.name = "--now",
                  .arg = "TIME",
                  .help = "fix the clock, \"YYYY-MM-DD HH:MM:SS[.mmm]\" local time;\n"
                          "example: --now \"2024-06-01 10:00:00.125\"",
                  .check = CheckLocalTime},
                 {.name = "--lottery",
                  .arg = "CODE",
                  .help = "draw schedule of --time draw: 100 快乐8, 101 双色球 (default),\n"
                          "106 七星彩; example: --lottery 106",
                  .offer = "100 101 106",
                  .check = CheckCastLottery},
                 {.name = "--topic",
                  .arg = "求财|功名|文书|子孙|兄弟",
                  .help = "the question whose 用神 chart.useGod marks (default 求财;\n"
                          "--batch and history show take the default and refuse it);\n"
                          "example: --topic 功名",
                  .check = CheckTopic},
                 {.name = "--title",
                  .arg = "T",
                  .help = "also show the name a save under T would get; example: --title 甲"},
                 {.name = "--save",
                  .arg = "TITLE",
                  .help = "save the cast in the history (prints 保存成功 or 保存失败);\n"
                          "example: --save 甲",
                  .check = CheckSaveTitle},
                 {.name = "--note",
                  .arg = "TEXT",
                  .help = "the note saved with it; example: --note \"第一次\"",
                  .check = CheckNote},
                 {.name = "--json",
                  .help = "print one JSON object: castTime, numberText, header,\n"
                          "primaryTitle, changedTitle, grid, reading, numbers, result,\n"
                          "chart (and ysname, save)"},
                 {.name = "--batch",
                  .help = "read casts from standard input, one per line, each line the\n"
                          "options above, quoted as a shell would ('...', \"...\", \\);\n"
                          "print each as one line of --json, in input order. A bad\n"
                          "line, and an empty one, prints {\"line\":N,\"error\":\"...\"}\n"
                          "instead and the run goes on; the exit status is then 1.\n"
                          "--save, --note and --topic are refused on those lines (each\n"
                          "chart marks the default topic, 求财).\n"
                          "example: echo '--number 58 --zodiac 1' | xyh-cli cast --batch",
                  .read = false},
                 kHome,
                 {.help = "\n"
                          "A refusal prints the casting panel's message (e.g. 未选择卦主生肖) and "
                          "exits 2.\n"}},
       .run = RunCast});
  commands.push_back(
      {.name = "history",
       .summary = "list, show, delete, export or import saved casts",
       .usage = "usage: xyh-cli history list [--json] | show ID [--json] | delete ID |\n"
                "                       export [--format csv|json] [--output FILE] | import FILE\n"
                "\n",
       .column = 16,
       .terms = {{.name = "list",
                  .help = "saved casts, newest first: id and name; example: xyh-cli history list"},
                 {.name = "show",
                  .arg = "ID",
                  .help = "one saved cast as JSON; example: xyh-cli history show 3",
                  .offer = "@id"},
                 {.name = "delete",
                  .arg = "ID",
                  .help =
                      "removes it (an id already gone is fine); example: xyh-cli history delete 3",
                  .offer = "@id"},
                 {.name = "export",
                  .help = "every saved cast with every stored field, oldest first, as UTF-8\n"
                          "CSV or JSON; example: xyh-cli history export > history.csv"},
                 {.name = "import",
                  .arg = "FILE",
                  .help = "adds the casts of an exported file (either format; - reads\n"
                          "standard input) as new entries, skipping any already saved; a\n"
                          "malformed file, or one with a record the program could not have\n"
                          "saved (a sign outside 1..12, a number that is no digits, …), is\n"
                          "refused whole, naming the line or JSON path and the field, and\n"
                          "nothing is written; example: xyh-cli history import history.csv",
                  .offer = "@file"},
                 {.name = "--json",
                  .help = "list as a JSON array; show adds \"cast\", the cast as the window's\n"
                          "review shows it, with the keys of cast --json",
                  .actions = "list show"},
                 {.name = "--format",
                  .arg = "csv|json",
                  .help = "the export's format (default csv); example: --format json",
                  .actions = "export",
                  .column = 21,
                  .check = CheckFormat},
                 {.name = "--output",
                  .arg = "FILE",
                  .help = "export into FILE instead of standard output;\n"
                          "example: --output ~/history.json",
                  .offer = "@file",
                  .actions = "export",
                  .column = 21},
                 {.help =
                      "\n"
                      "Control characters in saved names and notes are printed as escapes "
                      "(\\x1b).\n"
                      "show of a saved cast the program could not have saved (edited by hand) "
                      "says\n"
                      "该历史记录已损坏,无法复盘 with the field on standard error, exit code 1.\n"
                      "A damaged or locked history file is said on standard error, exit code 1;\n"
                      "a damaged one is only read, never written.\n"},
                 kHome},
       .run = RunHistory});
  Term drawHome = kHome;
  drawHome.help =
      "the program directory holding config.ini and src/data/xyh.db;\n"
      "default: $XYH_HOME, else beside the program for a portable copy,\n"
      "else ~/.local/share/星衍推号 (an installed program)\n"
      "example: --home ~/xyh-test\n"
      "the hosts come from section net of its config.ini";
  commands.push_back(
      {.name = "draw",
       .summary = "fetch the latest draw once and print it",
       .usage = "usage: xyh-cli draw [--lottery CODE] [--json]\n"
                "\n"
                "One refresh cycle of the latest-draws strip: probe, fetch, parse; prints "
                "status,\n"
                "name, issue, date, numbers and extra, or 未连网 when offline (exit 1).\n"
                "\n",
       .column = 19,
       .terms = {{.name = "--lottery",
                  .arg = "CODE",
                  .help = kLotteries,
                  .offer = kAllCodes,
                  .check = CheckDrawLottery},
                 {.name = "--json", .help = "print one JSON object"},
                 drawHome},
       .run = RunDraw});
  commands.push_back(
      {.name = "draws",
       .summary = "list, export, import, add or delete the stored draws, or find gaps",
       .usage =
           "usage: xyh-cli draws list [--lottery CODE] [--json] | export [--lottery CODE] |\n"
           "                     import FILE [--lottery CODE] | gaps [--lottery CODE] [--json] |\n"
           "                     add --issue N --date YYYY-MM-DD --red \"N ...\" --blue \"N ...\"\n"
           "                         [--lottery CODE] | delete ISSUE [--lottery CODE] |\n"
           "                     prize ISSUE [--first YUAN] [--second YUAN]\n"
           "\n"
           "The draw archive: every draw a refresh (the window's or xyh-cli draw) has read,\n"
           "one per lottery and issue.\n"
           "\n",
       .column = 16,
       .terms =
           {{.name = "list", .help = "the stored draws, newest first; example: xyh-cli draws list"},
            {.name = "export",
             .help = "the stored draws as CSV on standard output, oldest first;\n"
                     "example: xyh-cli draws export > ssq.csv"},
            {.name = "import",
             .arg = "FILE",
             .help = "adds the draws of a CSV file (- reads standard input): all\n"
                     "lines or none; a line already stored with the same numbers is\n"
                     "skipped, with other numbers the import is refused;\n"
                     "example: xyh-cli draws import ssq.csv",
             .offer = "@file"},
            {.name = "add",
             .help = "stores one draw, checked and refused exactly as an import of\n"
                     "that line; example: xyh-cli draws add --issue 2026051\n"
                     "--date 2026-05-05 --red \"3 9 14 20 27 31\" --blue 8"},
            {.name = "delete",
             .arg = "ISSUE",
             .help = "removes a stored draw (to correct one: delete, then add);\n"
                     "casts scored against it are missing again; example:\n"
                     "xyh-cli draws delete 2026051"},
            {.name = "gaps",
             .help = "the issues missing between stored draws of the same year,\n"
                     "ascending (a year's last issue is not known ahead, so none is\n"
                     "missing across a year's end); example: xyh-cli draws gaps"},
            {.name = "prize",
             .arg = "ISSUE",
             .help = "stores the floating prizes per bet a stored 双色球 draw\n"
                     "announced (一等奖 --first, 二等奖 --second; one of them at least);\n"
                     "example: xyh-cli draws prize 2026140 --first 5000000 --second 120000"},
            {.name = "--issue",
             .arg = "N",
             .help = "add: the issue, digits only",
             .actions = "add"},
            {.name = "--date",
             .arg = "DATE",
             .help = "add: the draw date, YYYY-MM-DD",
             .actions = "add"},
            {.name = "--red",
             .arg = "N...",
             .help = "add: the main numbers separated by spaces",
             .actions = "add"},
            {.name = "--blue",
             .arg = "N...",
             .help = "add: the second zone separated by spaces (\"\" where none)",
             .actions = "add"},
            {.name = "--first",
             .arg = "YUAN",
             .help = "prize: 一等奖 per bet, whole yuan, 1 to 10000000",
             .actions = "prize",
             .check = CheckPrizeAmount},
            {.name = "--second",
             .arg = "YUAN",
             .help = "prize: 二等奖 per bet, whole yuan, 1 to 10000000",
             .actions = "prize",
             .check = CheckPrizeAmount},
            {.name = "--lottery",
             .arg = "CODE",
             .help = kLotteries,
             .offer = kAllCodes,
             .check = CheckDrawsLottery},
            {.name = "--json", .help = "list, or gaps, as a JSON array", .actions = "list gaps"},
            {.help =
                 "\n"
                 "CSV: the header issue,date,red,blue, then one draw a line, e.g.\n"
                 "  2026140,2026-12-06,03 09 14 20 27 31,08\n"
                 "red holds the main numbers, blue the second zone (empty where there is "
                 "none),\n"
                 "each separated by spaces, one or two digits each. A 双色球 file may add the\n"
                 "columns first,second (header issue,date,red,blue,first,second): the prizes\n"
                 "per bet of 一等奖 and 二等奖, whole yuan, empty where not known; export adds\n"
                 "them once any amount is stored, and list --json gives each draw first and\n"
                 "second (null where not stored). A refusal names the line,\n"
                 "counting the header as line 1, and exits 2. An issue is a number "
                 "(02026001 is\n"
                 "2026001); a date after tomorrow, or a 双色球 date before 2003-02-23, is "
                 "refused.\n"
                 "So is a 双色球 date that is no draw day (Sunday, Tuesday, Thursday), an "
                 "issue\n"
                 "whose year (its first four digits, two of a five-digit issue) is not its\n"
                 "date's, an issue out of order with the stored ones (a later issue on an\n"
                 "earlier day, two 双色球 issues on one day), and an issue of another length\n"
                 "than the lottery's stored issues (five or seven digits, never both).\n"
                 "A damaged or locked history file, or a stored draw that does not read "
                 "back,\n"
                 "is said on standard error, exit code 1; nothing is ever written into such\n"
                 "an archive.\n"},
            kHome},
       .run = RunDraws});
  commands.push_back(
      {.name = "check",
       .summary = "check saved casts or a bought ticket against the stored draws (对奖)",
       .usage =
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
           "\n",
       .column = 16,
       .terms = {{.name = "ID",
                  .help = "a saved cast's id (xyh-cli history list); example: xyh-cli check 3 7"},
                 {.name = "--red",
                  .arg = "N...",
                  .help = "check a bought ticket: six reds 1..33 (单式), up to 20 (复式), or\n"
                          "with --dan the 拖; example: --red \"1 2 3 4 5 6\"",
                  .check = CheckRed},
                 {.name = "--dan",
                  .arg = "N...",
                  .help = "the 胆 of a 胆拖, 1 to 5 reds; example: --dan \"3 9\"",
                  .check = CheckDan},
                 {.name = "--blue",
                  .arg = "N...",
                  .help = "its blues 1..16, one bet each (a ticket needs one);\n"
                          "example: --blue \"7 9\"",
                  .check = CheckBlue},
                 {.name = "--multiple",
                  .arg = "M",
                  .help = "倍数 1..99 (default 1); example: --multiple 5",
                  .check = CheckMultiple},
                 {.name = "--issue",
                  .arg = "N",
                  .help = "the stored draw to check it against; default the newest;\n"
                          "example: --issue 2026140",
                  .check = CheckIssue},
                 {.name = "--json", .help = "print a JSON array (one object for a ticket)"},
                 {.help =
                      "\n"
                      "A saved cast the program could not have saved (edited by hand) is not "
                      "cast: it\n"
                      "says 该历史记录已损坏,无法复盘 on standard error (in --json an object with\n"
                      "\"error\"), the others are checked, and the exit code is 1. A stored play "
                      "that\n"
                      "does not read back is said so too (该投注记录已损坏,无法对奖), never "
                      "scored.\n"
                      "A damaged or locked history file is said on standard error, exit code 1.\n"},
                 kHome},
       .run = RunCheck});
  commands.push_back(
      {.name = "play",
       .summary = "add, list or delete the 单式/复式/胆拖 tickets bought with saved casts",
       .usage = "usage: xyh-cli play add ID --red \"N ...\" [--dan \"N ...\"] --blue \"N ...\"\n"
                "                       [--multiple M] | list [ID] [--json] | delete PLAYID\n"
                "\n"
                "The tickets actually bought with a saved cast, checked by xyh-cli check\n"
                "against the same draw as the cast.\n"
                "  单式/复式: 6 to 20 reds and 1 to 16 blues; bets = C(reds, 6) x blues.\n"
                "  胆拖: 1 to 5 胆 (--dan) and the 拖 (--red), none in both, at least 7 together;\n"
                "        bets = C(拖, 6 - 胆) x blues.\n"
                "  Cost = bets x 2元 x 倍数; at most 1000000 bets x 倍数.\n"
                "\n",
       .column = 18,
       .terms = {{.name = "add",
                  .arg = "CASTID",
                  .help = "saves a play with the saved cast of that id; prints the play's\n"
                          "id, kind, bets and cost;\n"
                          "example: xyh-cli play add 3 --red \"1 2 3 4 5 6 7\" --blue 8",
                  .offer = "@id"},
                 {.name = "list",
                  .arg = "[CASTID]",
                  .help = "the plays (of one saved cast), oldest first;\n"
                          "example: xyh-cli play list 3",
                  .offer = "@id"},
                 {.name = "delete",
                  .arg = "PLAYID",
                  .help = "removes a play; example: xyh-cli play delete 12"},
                 {.name = "--red",
                  .arg = "N...",
                  .help = "the reds, or with --dan the 拖; example: --red \"1 2 3 4 5 6 7\"",
                  .actions = "add",
                  .check = CheckRed},
                 {.name = "--dan",
                  .arg = "N...",
                  .help = "the 胆 of a 胆拖; example: --dan \"3 9\"",
                  .actions = "add",
                  .check = CheckDan},
                 {.name = "--blue",
                  .arg = "N...",
                  .help = "the blues; example: --blue \"8 9\"",
                  .actions = "add",
                  .check = CheckBlue},
                 {.name = "--multiple",
                  .arg = "M",
                  .help = "倍数 1..99 (default 1); example: --multiple 5",
                  .actions = "add",
                  .check = CheckMultiple},
                 {.name = "--json", .help = "list as a JSON array", .actions = "list"},
                 {.help = "\n"
                          "A play that breaks a rule is refused with the rule, exit code 2, and "
                          "nothing is\n"
                          "written. Deleting a saved cast deletes its plays. A stored play "
                          "that does not\n"
                          "read back (edited by hand) is listed as 该投注记录已损坏,无法对奖 with "
                          "what is\n"
                          "wrong, never priced, and said on standard error, exit code 1. A "
                          "damaged or\n"
                          "locked history file is said on standard error, exit code 1.\n"},
                 kHome},
       .run = RunPlay});
  commands.push_back(
      {.name = "ledger",
       .summary = "what the plays cost and what they won, by draw, month or year (账本)",
       .usage =
           "usage: xyh-cli ledger [--by draw|month|year] [--from YYYY-MM-DD] [--to YYYY-MM-DD]\n"
           "                      [--json]\n"
           "\n"
           "账本 of the plays (xyh-cli play) bought with saved casts. A play belongs to the\n"
           "draw its cast is checked against (as xyh-cli check decides): a scored play to\n"
           "that draw, a pending or missing one to the day its draw is expected. Per period,\n"
           "ascending by date (periods without plays are left out):\n"
           "  plays, bets     the plays and their single bets\n"
           "  spent           bets x 2 yuan x 倍数 of every play, decided or not\n"
           "  won             fixed prizes, plus 一等奖/二等奖 x winning bets x 倍数 where\n"
           "                  the draw's amount is stored (xyh-cli draws prize)\n"
           "  floatingUnknown winning bets of 一等奖/二等奖 whose amount is not stored\n"
           "  net             won - spent\n"
           "  bestTier        the best tier won, 1 to 6; null when none\n"
           "totals: the same over the selection, plus pendingSpent and missingSpent (spent\n"
           "not yet decided) and returnRate = won / (spent - pendingSpent - missingSpent),\n"
           "4 decimals, null when nothing is decided. Money is in whole yuan. With a\n"
           "monthly budget in config.ini ([sys] budget=YUAN, 1 to 100000000) the months\n"
           "spending more are marked (超预算; in JSON overBudget on each period and budget\n"
           "in totals, present only with a budget). A damaged or locked history, or a play\n"
           "that cannot be placed, is said on standard error, exit code 1, and nothing is\n"
           "printed; bad options exit 2.\n"
           "\n",
       .column = 20,
       .terms = {{.name = "--by",
                  .arg = "draw|month|year",
                  .help = "the period: the draw's issue (a draw not decided: its expected\n"
                          "day, YYYY-MM-DD), YYYY-MM (default) or YYYY; example: --by year",
                  .check = CheckLedgerBy},
                 {.name = "--from",
                  .arg = "DATE",
                  .help = "only plays whose draw date is on or after DATE, YYYY-MM-DD",
                  .check = CheckLedgerDate},
                 {.name = "--to",
                  .arg = "DATE",
                  .help = "only plays whose draw date is on or before DATE, YYYY-MM-DD",
                  .check = CheckLedgerDate},
                 {.name = "--json",
                  .help = "print {\"periods\": [...], \"totals\": {...}}; each period has\n"
                          "period, plays, bets, spent, won, floatingUnknown, net, bestTier;\n"
                          "totals the same (without period) and pendingSpent, missingSpent,\n"
                          "returnRate"},
                 kHome},
       .run = RunLedger});
  commands.push_back(
      {.name = "stats",
       .summary = "number frequency, omission and draw shapes over the stored draws (走势)",
       .usage = "usage: xyh-cli stats [--last N] [--json]\n"
                "\n"
                "Figures over the newest stored 双色球 draws (newest by draw date, then issue):\n"
                "for each red 1..33 and blue 1..16 how many draws held it (count), how many\n"
                "draws since it was last drawn (omission; the number of draws when never), and\n"
                "its longest run of draws without it (maxOmission); for each draw the sum, span,\n"
                "odd and big (17 and up) reds and the pairs of consecutive reds; the six hot\n"
                "and the six cold reds (ranked by count, then smaller omission, then number;\n"
                "hottest first, coldest first).\n"
                "Issues missing between the draws (xyh-cli draws gaps) are said first, as 缺N期:\n"
                "the figures count the stored draws only. With no stored draw it says so and\n"
                "exits 1.\n"
                "\n",
       .column = 13,
       .terms = {{.name = "--last",
                  .arg = "N",
                  .help = "only the newest N draws, 1 to 1000000; default all;\n"
                          "example: xyh-cli stats --last 30",
                  .check = CheckLast},
                 {.name = "--json",
                  .help = "print one JSON object: draws, first, last, red, blue, perDraw,\n"
                          "hot, cold, missingIssues"},
                 kHome},
       .run = RunStats});
  commands.push_back({.name = "help", .summary = "help on a command: xyh-cli help cast"});
  return commands;
}

// Columns on a terminal: a CJK character takes two.
std::size_t Width(std::string_view text) {
  std::size_t width = 0;
  for (const unsigned char c : text) {
    if ((c & 0xC0) != 0x80) width += c >= 0xE0 ? 2 : 1;
  }
  return width;
}

// A help row: the name and its value, then the text at the column, or on
// the next line when the name reaches past it.
void AppendTerm(std::string& out, const Term& term, std::size_t column) {
  if (term.name.empty()) {
    out += term.help;
    return;
  }
  std::string head = "  ";
  head += term.name;
  if (!term.arg.empty()) (head += ' ') += term.arg;
  out += head;
  const std::size_t width = Width(head);
  std::size_t indent = width > column ? column : std::max<std::size_t>(column - width, 2);
  if (width > column) out += '\n';
  for (std::size_t at = 0; at <= term.help.size();) {
    const std::size_t end = std::min(term.help.find('\n', at), term.help.size());
    out.append(indent, ' ');
    out += term.help.substr(at, end - at);
    out += '\n';
    indent = column;
    at = end + 1;
  }
}

// A word safe inside $'...' in bash.
std::string BashQuoted(std::string_view text) {
  std::string out = "$'";
  for (const char c : text) {
    if (c == '\'' || c == '\\') out += '\\';
    out += c;
  }
  return out + "'";
}

}  // namespace

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = MakeCommands();
  return commands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : Commands()) {
    if (command.name == name && command.run != nullptr) return &command;
  }
  return nullptr;
}

std::string UsageText() {
  std::string out = "usage: xyh-cli COMMAND [options]\n\ncommands:\n";
  for (const Command& command : Commands()) {
    AppendTerm(out, {.name = command.name, .help = command.summary}, 12);
  }
  return out +
         "\n"
         "  --help     this text\n"
         "  --version  the program's version\n"
         "\n"
         "example:\n"
         "  xyh-cli cast --number 58 --zodiac 子鼠\n";
}

std::string HelpText(const Command& command) {
  std::string out(command.usage);
  for (const Term& term : command.terms) {
    AppendTerm(out, term, static_cast<std::size_t>(term.column ? term.column : command.column));
  }
  return out;
}

std::string BashCompletionTables() {
  // _xyh_cli_takes["COMMAND NAME"] is what the value of an option, or the
  // word after an action, completes to; an option without an entry is a
  // flag. _xyh_cli_with["COMMAND --NAME"] holds the actions it goes with.
  std::string commands, names, takes, with;
  for (const Command& command : Commands()) {
    commands += " " + std::string(command.name);
    std::string list;
    for (const Term& term : command.terms) {
      if (!term.IsOption() && !term.IsAction()) continue;
      list += (list.empty() ? "" : " ") + std::string(term.name);
      const std::string key = BashQuoted(std::string(command.name) + " " + std::string(term.name));
      if (!term.arg.empty()) {
        std::string offer(term.offer);
        if (offer.empty() && term.arg.find('|') != std::string_view::npos) {
          offer = term.arg;
          std::replace(offer.begin(), offer.end(), '|', ' ');
        }
        takes += "    [" + key + "]=" + BashQuoted(offer) + "\n";
      }
      if (!term.actions.empty()) with += "    [" + key + "]=" + BashQuoted(term.actions) + "\n";
    }
    if (!list.empty())
      names += "    [" + std::string(command.name) + "]=" + BashQuoted(list) + "\n";
  }
  return "# The tables below are made by \"xyh-cli --completion bash\" from the\n"
         "# program's own command tables.\n"
         "_xyh_cli_commands=(" +
         commands.substr(1) + ")\n" + "declare -gA _xyh_cli_terms=(\n" + names + ")\n" +
         "declare -gA _xyh_cli_takes=(\n" + takes + ")\n" + "declare -gA _xyh_cli_with=(\n" + with +
         ")\n";
}

}  // namespace xyh_cli
