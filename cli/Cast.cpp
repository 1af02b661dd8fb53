#include "cli/Cast.h"

#include <sys/stat.h>
#include <unistd.h>

#include <json/json.h>

#include <array>
#include <iostream>
#include <memory>
#include <string_view>

#include "cli/Args.h"
#include "cli/ChartJson.h"
#include "cli/Common.h"
#include "cli/Terminal.h"
#include "derive/Derive.h"
#include "derive/PrizeCheck.h"
#include "derive/ResultText.h"
#include "engine/Canon.h"
#include "engine/Casting.h"
#include "engine/Dispatch.h"
#include "engine/Judgement.h"
#include "engine/Report.h"
#include "engine/Symbols.h"
#include "history/EasyDb.h"
#include "history/SavedCastCheck.h"
#include "history/YsModel.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

struct Refusal {
  std::u16string message;
};

bool AllDigits(const std::string& s) {
  return s.find_first_not_of("0123456789") == std::string::npos;
}

std::u16string U16(const std::string& s) { return FromUtf8(s); }
std::string U8(const std::u16string& s) { return ToUtf8(s); }

std::vector<int> ParseDong(const std::string& text) {
  std::vector<int> out;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t comma = std::min(text.find(',', start), text.size());
    const std::string piece = text.substr(start, comma - start);
    if (piece == "1" || piece == "0" || piece == "-1") {
      out.push_back(std::stoi(piece));
    } else {
      throw UsageError{"--dong takes comma-separated values of 1, 0 and -1, not \"" + piece + "\""};
    }
    start = comma + 1;
  }
  return out;
}

// Checks that a moving mark sits on a line of its own kind.
void CheckDongAgainstLines(const std::string& up, const std::string& down,
                           const std::vector<int>& dong) {
  const std::string lines = down + up;
  for (size_t i = 0; i < dong.size() && i < lines.size(); ++i) {
    if ((dong[i] == 1 && lines[i] != '1') || (dong[i] == -1 && lines[i] != '0')) {
      throw UsageError{"--dong marks line " + std::to_string(i + 1) + " as moving " +
                       (dong[i] == 1 ? "yang" : "yin") + ", but that line is " +
                       (lines[i] == '1' ? "yang" : "yin")};
    }
  }
}

Json::Value GridJson(const rg_GuaReport& report) {
  Json::Value grid(Json::arrayValue);
  for (const auto& row : report.Cells()) {
    Json::Value cells(Json::arrayValue);
    for (const auto& cell : row) cells.append(U8(cell));
    grid.append(cells);
  }
  return grid;
}

std::string LineDrawing(const std::u16string& value) {
  if (value == u"1") return "━━━━━";
  if (value == u"0") return "━━ ━━";
  return "     ";
}

std::string Pad(const std::u16string& cell, size_t width) {
  // Every character we print is a full-width one.
  std::string s = U8(cell);
  for (size_t n = cell.size(); n < width; ++n) s += "  ";
  return s;
}

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r\n") - first + 1);
}

std::string WithoutCarriageReturns(std::string s) {
  s.erase(std::remove(s.begin(), s.end(), '\r'), s.end());
  return s;
}

// The keys every printed cast has, for "cast --json" and a saved cast alike.
Json::Value CastJson(const rg_QiGuaModel& request, const rg_GuaReport& report,
                     const DerivedNumbers& numbers, const std::u16string& result, int biasMinutes,
                     int topic = 0) {
  Json::Value out(Json::objectValue);
  out["castTime"] = FormatLocalTime(request.castTime);
  out["numberText"] = U8(request.numberText);
  out["header"] = U8(report.Header());
  out["primaryTitle"] = U8(report.PrimaryTitle());
  out["changedTitle"] = U8(report.ChangedTitle());
  out["grid"] = GridJson(report);
  out["reading"] = U8(report.Reading());
  Json::Value list(Json::arrayValue);
  for (const auto& text : numbers) list.append(U8(text));
  out["numbers"] = list;
  out["result"] = U8(result);
  out["chart"] = ChartJson(BuildChart(report.Analysis(), biasMinutes, topic));
  return out;
}

// The options of one cast.
Args ReadCastArgs(const std::vector<std::string>& argv) {
  Args args(argv, *FindCommand("cast"));
  if (!args.Positional().empty())
    throw UsageError{"unexpected word \"" + args.Positional()[0] + "\""};
  if (const auto home = args.Get("home")) HomeFor(home);  // refuses a bad one before any work
  return args;
}

// Refuses the combinations of options that make no cast.
void CheckCastOptions(const Args& args, bool batch) {
  const bool byNumber = args.Has("number");
  const bool byTime = args.Has("time");
  const bool byLines = args.Has("lines") || args.Has("up") || args.Has("down") || args.Has("dong");
  if (int(byNumber) + int(byTime) + int(byLines) > 1) {
    throw UsageError{
        "choose one way of casting: --number, --time, or the lines (--lines, or --up/--down/--dong)"};
  }
  if (args.Has("lines") && (args.Has("up") || args.Has("down") || args.Has("dong"))) {
    throw UsageError{"give the lines either as --lines or as --up/--down/--dong, not both"};
  }
  if (args.Has("at") && !byLines) throw UsageError{"--at is the time of hand-cast lines only"};
  if (batch && (args.Has("save") || args.Has("note")))
    throw UsageError{"--save and --note are not allowed in batch mode"};
  if (args.Has("note") && !args.Has("save")) throw UsageError{"--note goes with --save"};
  if (batch && args.Has("topic")) throw UsageError{std::string(kBatchTopic)};
  // Reading them runs their checks: after the rules above, where they always came.
  args.Get("save");
  args.Get("note");
}

// --now fixes the clock at a local time; without it the system clock runs.
std::unique_ptr<FixedClock> FixedClockFor(const std::optional<std::string>& now) {
  if (!now) return nullptr;
  return std::make_unique<FixedClock>(ParseLocalTime(*now, "--now"), Clock::System().BiasMinutes());
}

// --lines: six characters, bottom line first.
HandLines HandLinesFromText(const std::string& lines) {
  if (lines.size() != 6) throw UsageError{"--lines takes six characters, bottom line first"};
  std::array<LineForm, 6> forms{};
  for (size_t i = 0; i < 6; ++i) {
    switch (lines[i]) {
      case '1': forms[i] = LineForm::Yang; break;
      case '0': forms[i] = LineForm::Yin; break;
      case 'O':
      case 'o': forms[i] = LineForm::MovingYang; break;
      case 'X':
      case 'x': forms[i] = LineForm::MovingYin; break;
      default:
        throw UsageError{"--lines takes 1 (yang), 0 (yin), O (moving yang) and X (moving yin)"};
    }
  }
  return LinesFromForms(forms);
}

// The hand-cast lines of --lines or of --up/--down/--dong, and when they
// were cast.
void ReadHandCast(const Args& args, const Clock& clock, rg_QiGuaModel& request) {
  request.method = CastMethod::HandLines;
  if (const auto lines = args.Get("lines")) {
    const HandLines hand = HandLinesFromText(*lines);
    request.upstr = hand.upper;
    request.downstr = hand.lower;
    request.dong = hand.dong;
  } else {
    request.upstr = U16(args.Get("up").value_or(""));
    request.downstr = U16(args.Get("down").value_or(""));
    if (const auto dong = args.Get("dong")) request.dong = ParseDong(*dong);
    if (request.dong.size() == 6 && request.upstr.size() == 3 && request.downstr.size() == 3) {
      CheckDongAgainstLines(*args.Get("up"), *args.Get("down"), request.dong);
    }
  }
  request.castTime = args.Has("at") ? ParseLocalTime(*args.Get("at"), "--at") : clock.Now();
}

// What the casting panel would hold: the method and its entries, and the
// person's sign. Whatever is missing is left for ValidateCast to refuse.
rg_QiGuaModel CastRequest(const Args& args, const Clock& clock) {
  rg_QiGuaModel request;
  if (const auto number = args.Get("number")) {
    request.method = CastMethod::Number;
    request.numberText = U16(*number);
  } else if (const auto when = args.Get("time")) {
    request.method = CastMethod::Time;
    request.timeChoice = *when == "now" ? TimeChoice::Now : TimeChoice::NextDraw;
  } else if (args.Has("lines") || args.Has("up") || args.Has("down") || args.Has("dong")) {
    ReadHandCast(args, clock, request);
  }
  if (const auto zodiac = args.Get("zodiac")) request.zodiac = ParseZodiac(*zodiac);
  return request;
}

// --topic: the question whose 用神 the chart marks.
int ParseTopic(const std::optional<std::string>& topic) {
  if (!topic) return 0;
  const int index = TopicIndex(U16(*topic));
  if (index < 0) {
    throw UsageError{"--topic takes 求财, 功名, 文书, 子孙 or 兄弟; not \"" + TerminalSafe(*topic) +
                     "\""};
  }
  return index;
}

// --lottery: whose draw schedule "--time draw" follows.
LotteryCode ParseCastLottery(const std::optional<std::string>& code) {
  if (!code) return LotteryCode::DoubleColor;
  if (code->empty() || code->size() > 6 || !AllDigits(*code))
    throw UsageError{"--lottery takes a lottery code such as 101"};
  const auto lottery = LotteryOfOption(*code);
  if (!lottery || !DrawClockTime(*lottery)) {
    throw UsageError{
        "--lottery takes a code with a draw schedule: 100 快乐8, 101 双色球, 106 七星彩; not " +
        *code};
  }
  return *lottery;
}

// A cast for the next draw needs that draw to be a date the calendar holds.
void CheckNextDrawInCalendar(const rg_QiGuaModel& request, LotteryCode lottery,
                             const Clock& clock) {
  if (!IsDrawTimeCast(request.method, request.timeChoice)) return;
  const double now = clock.Now();
  const DateParts parts = SplitDate(now);
  const auto shift = DrawDayShift(lottery, parts.weekday, parts.hour);
  if (shift && SplitDate(AddDays(now, *shift)).year > 9999) {
    throw UsageError{"--now leaves no next draw before 9999-12-31"};
  }
}

// Casts a request ValidateCast accepted into report, as the window's 演算
// does, and derives its numbers.
DerivedNumbers CastReport(rg_GuaReport& report, const Clock& clock, LotteryCode lottery,
                          const CastVerdict& verdict, rg_QiGuaModel& request) {
  // As in the window: the finished reading builds the number profile.
  report.SetReadyHandler([](rg_GuaAnalysis& analysis) { BuildNumberProfile(analysis); });
  rg_CastDispatch dispatch(clock, report);
  dispatch.SetLottery(lottery);
  dispatch.Dispatch(rg_CastDispatch::kEngineTag, verdict.Code(), verdict.message, request);
  return DeriveNumbers(report.Analysis().profile);
}

// --save works like the window's "保存": title plus the cast's date. Empty
// without --save; a failure is also said on standard error.
std::optional<bool> SaveCast(const Args& args, const rg_GuaReport& report) {
  const auto saveTitle = args.Get("save");
  if (!saveTitle) return std::nullopt;
  const rg_YsModel record =
      MakeSaveRecord(report.Analysis(), U16(*saveTitle), U16(args.Get("note").value_or("")));
  // A cast no import would take back (a time before 1900 from --now) is not saved.
  if (const auto fault = CheckSaveRecord(record)) {
    std::cerr << "xyh-cli: not saved: " << fault->field << " " << fault->why << "\n";
    return false;
  }
  const bool saved = OpenStore(args.Get("home")) && rg_EasyDb::Process().Save(record);
  if (!saved && rg_EasyDb::Process().Connected()) StoreFailure("");
  return saved;
}

// The cast as text: time, number, header, titles, the grid with its line
// drawings, the reading and the result.
void PrintCastText(const rg_QiGuaModel& request, const rg_GuaReport& report,
                   const std::u16string& result) {
  std::cout << "起卦时间: " << FormatLocalTime(request.castTime) << "\n";
  if (!request.numberText.empty()) std::cout << "推算数字: " << U8(request.numberText) << "\n";
  std::cout << U8(report.Header()) << "\n\n";
  std::cout << U8(report.PrimaryTitle()) << "    " << U8(report.ChangedTitle()) << "\n";
  const auto headings = rg_GuaReport::ColumnHeadings();
  for (size_t c = 0; c < headings.size(); ++c) {
    const bool drawing =
        c == rg_GuaReport::kPrimaryLineColumn || c == rg_GuaReport::kChangedLineColumn;
    std::cout << (drawing ? Pad(headings[c], 3) + " " : Pad(headings[c], 2)) << " ";
  }
  std::cout << "\n";
  for (const auto& row : report.Cells()) {
    for (size_t c = 0; c < row.size(); ++c) {
      const bool drawing =
          c == rg_GuaReport::kPrimaryLineColumn || c == rg_GuaReport::kChangedLineColumn;
      std::cout << (drawing ? " " + LineDrawing(row[c]) + " " : Pad(row[c], 2)) << " ";
    }
    std::cout << "\n";
  }
  std::cout << "\n" << WithoutCarriageReturns(U8(report.Reading())) << "\n";
  std::cout << WithoutCarriageReturns(U8(result));
}

}  // namespace

void CheckNumber(const std::string& number, std::string_view /*option*/) {
  if (!AllDigits(number)) throw UsageError{"--number takes digits only; not \"" + number + "\""};
  // The history keeps at most 32 characters of it.
  if (number.size() > 32) throw UsageError{"--number takes at most 32 digits"};
}

void CheckTime(const std::string& when, std::string_view /*option*/) {
  if (when != "now" && when != "draw") throw UsageError{"--time takes now or draw"};
}

void CheckLines(const std::string& lines, std::string_view /*option*/) { HandLinesFromText(lines); }

void CheckTrigram(const std::string& code, std::string_view option) {
  if (code.size() != 3 || code.find_first_not_of("01") != std::string::npos) {
    throw UsageError{std::string(option) + " takes three characters of 1 and 0, bottom line first"};
  }
}

void CheckDong(const std::string& marks, std::string_view /*option*/) { ParseDong(marks); }

void CheckZodiac(const std::string& zodiac, std::string_view /*option*/) { ParseZodiac(zodiac); }

void CheckCastLottery(const std::string& code, std::string_view /*option*/) {
  ParseCastLottery(code);
}

void CheckTopic(const std::string& topic, std::string_view /*option*/) { ParseTopic(topic); }

void CheckSaveTitle(const std::string& title, std::string_view /*option*/) {
  if (title.find_first_not_of(" \t") == std::string::npos)
    throw UsageError{"--save needs a title that is not blank"};
  // The window's bounds, so that every saved cast can be imported again.
  if (U16(title).size() > kSavedTitleLimit) {
    throw UsageError{"--save takes a title of at most " + std::to_string(kSavedTitleLimit) +
                     " characters"};
  }
}

void CheckNote(const std::string& note, std::string_view /*option*/) {
  if (U16(note).size() > kSavedNoteLimit)
    throw UsageError{"--note takes at most " + std::to_string(kSavedNoteLimit) + " characters"};
}

int ParseZodiac(const std::string& text) {
  static constexpr std::u16string_view kSigns[] = {u"子鼠", u"丑牛", u"寅虎", u"卯兔",
                                                   u"辰龙", u"巳蛇", u"午马", u"未羊",
                                                   u"申猴", u"酉鸡", u"戌狗", u"亥猪"};
  if (!text.empty() && text.size() <= 2 && AllDigits(text)) {
    const int n = std::stoi(text);
    if (n >= 1 && n <= 12) return n;
  }
  const std::u16string u = U16(text);
  if (const int n = BranchNumber(u); n != 0) return n;
  for (int i = 0; i < 12; ++i) {
    if (u == kSigns[i]) return i + 1;
  }
  throw UsageError{"--zodiac takes 1..12, a branch such as 子, or a sign such as 子鼠; not \"" +
                   text + "\""};
}

int RunCast(const std::vector<std::string>& argv) {
  if (std::find(argv.begin(), argv.end(), "--batch") != argv.end()) {
    // A closed standard input, or a folder in its place, is no list of casts.
    struct stat st {};
    if (::fstat(STDIN_FILENO, &st) != 0 || S_ISDIR(st.st_mode)) {
      std::cerr << "xyh-cli: --batch reads the casts from standard input, which "
                << (S_ISDIR(st.st_mode) ? "is a folder" : "is closed") << "\n";
      return 1;
    }
    return RunCastBatch(argv, std::cin, std::cout);
  }
  return RunCastTo(argv, std::cout, false);
}

int RunCastTo(const std::vector<std::string>& argv, std::ostream& sink, bool batch) {
  const Args args = ReadCastArgs(argv);
  const std::unique_ptr<FixedClock> fixed = FixedClockFor(args.Get("now"));
  const Clock& clock = fixed ? static_cast<const Clock&>(*fixed) : Clock::System();
  CheckCastOptions(args, batch);

  rg_QiGuaModel request = CastRequest(args, clock);
  const LotteryCode lottery = ParseCastLottery(args.Get("lottery"));
  const int topic = ParseTopic(args.Get("topic"));
  CheckNextDrawInCalendar(request, lottery, clock);

  const auto verdict = ValidateCast(request);
  if (!verdict || !verdict->Accepted()) {
    if (batch) throw UsageError{U8(verdict ? verdict->message : u"未选择推算条件")};
    std::cerr << U8(verdict ? verdict->message : u"未选择推算条件") << "\n";
    return 2;
  }

  rg_GuaReport report;
  const DerivedNumbers numbers = CastReport(report, clock, lottery, *verdict, request);
  const std::u16string result = FillResultText(numbers);
  const auto title = args.Get("title");
  const std::optional<bool> saved = SaveCast(args, report);
  const char* saveMessage = saved ? (*saved ? "保存成功" : "保存失败") : nullptr;

  if (args.Has("json") || batch) {
    Json::Value out = CastJson(request, report, numbers, result, clock.BiasMinutes(), topic);
    // The texts are data beside the program; without them the chart says
    // so rather than passing their absence off as a cast without texts.
    if (!ProgramCanon().Ok()) std::cerr << "卦辞爻辞未能读取: " << ProgramCanon().error << "\n";
    if (title) out["ysname"] = U8(MakeSaveRecord(report.Analysis(), U16(*title), u"").ysname);
    if (saveMessage) out["save"] = saveMessage;
    sink << TerminalJsonText(out, batch ? JsonLayout::kOneLine : JsonLayout::kIndented) << "\n";
    return saved.value_or(true) ? 0 : 1;
  }
  PrintCastText(request, report, result);
  if (title) {
    std::cout << "\n名称: "
              << TerminalSafe(U8(MakeSaveRecord(report.Analysis(), U16(*title), u"").ysname))
              << "\n";
  }
  if (saveMessage) std::cout << "\n" << saveMessage << "\n";
  return saved.value_or(true) ? 0 : 1;
}

Json::Value ReviewJson(const rg_YsModel& record, const Clock& clock, std::u16string& refusal) {
  // What the review puts back into the casting panel before pressing 演算.
  std::optional<rg_QiGuaModel> request = RequestOfRecord(record);
  if (!request) {
    refusal = kDamagedCastText;
    return Json::Value(Json::nullValue);
  }
  // The number entry holds at most 32 characters and stores its text
  // trimmed; the other methods take the stored text as it is.
  if (request->method == CastMethod::Number)
    request->numberText = U16(Trimmed(U8(record.ysnumber.substr(0, 32))));
  // The time options have only 1 and 2; an unset choice casts as the one
  // checked when they are built.
  if (request->method == CastMethod::Time && request->timeChoice == TimeChoice::Unset)
    request->timeChoice = TimeChoice::NextDraw;
  const auto verdict = ValidateCast(*request);
  if (!verdict || !verdict->Accepted()) {
    refusal = verdict ? verdict->message : u"未选择推算条件";
    return Json::Value(Json::nullValue);
  }
  rg_GuaReport report;
  const DerivedNumbers numbers =
      CastReport(report, clock, LotteryCode::DoubleColor, *verdict, *request);
  return CastJson(*request, report, numbers, FillResultText(numbers), clock.BiasMinutes());
}

}  // namespace xyh_cli
