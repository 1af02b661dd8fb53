#include "history/DrawArchive.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <map>
#include <span>

#include "history/EasyDb.h"
#include "history/SqlStatement.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::array<rg_DrawRule, 7> kRules = {{
    // lottery, count, range, distinct, extra count, extra range, apart, width
    {LotteryCode::Kl8, 20, 1, 80, true, 0, 0, 0, false, 2},
    {LotteryCode::DoubleColor, 6, 1, 33, true, 1, 1, 16, false, 2},
    {LotteryCode::QiLeCai, 7, 1, 30, true, 1, 1, 30, true, 2},
    {LotteryCode::Fc3d, 3, 0, 9, false, 0, 0, 0, false, 1},
    {LotteryCode::DaLeTou, 5, 1, 35, true, 2, 1, 12, false, 2},
    {LotteryCode::PaiLie5, 5, 0, 9, false, 0, 0, 0, false, 1},
    {LotteryCode::SevenStar, 6, 0, 9, false, 1, 0, 14, false, 1},
}};

// An issue longer than this is no issue any lottery has used.
constexpr std::size_t kMaxIssueDigits = 16;

constexpr std::string_view kHeader = "issue,date,red,blue";

// An issue of a year's draws: the year's four digits, then three.
constexpr std::size_t kYearIssueDigits = 7;
// The same with the year's last two digits (大乐透, 排列五, 七星彩).
constexpr std::size_t kShortYearIssueDigits = 5;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::string Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return std::string(s.substr(first, last - first + 1));
}

// "03 9 14": numbers of one or two digits separated by blanks.
// The value of a run of ASCII digits already checked, without allocating.
int DigitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// A field of the file as a message may quote it: ASCII only, and short, as
// nothing valid is anything else.
std::string Quoted(std::string_view field) {
  std::string out = "\"";
  for (std::size_t i = 0; i < field.size() && i < 40; ++i) {
    const char c = field[i];
    out += (c >= 0x20 && c < 0x7f) ? c : '?';
  }
  if (field.size() > 40) out += "...";
  return out + "\"";
}

// Every refusal of the draw rules, in the words of the command line and in
// those of the window. {1}.. stand for what the refusal names.
enum class Text {
  DateAfterTomorrow,
  DateBeforeFirst,
  NotDrawDay,
  IssueYear,
  IssueShortYear,
  RedCount,
  RedCountDistinct,
  RedOutside,
  RedTwice,
  BlueNone,
  BlueCount,
  BlueCountDistinct,
  BlueOutside,
  BlueTwice,
  BlueIsRed,
  FieldCount,
  IssueNotNumber,
  IssueNotSsq,
  IssueZero,
  DateEarly,
  DateNotReal,
  RedNotNumber,
  BlueNotNumber,
  Header,
  EmptyFile,
  Line,
  CommaInField,
  UnknownLottery,
  SameIssueInFile,
  AlreadyStored,
  CannotRead,
  CannotWrite,
  WriteFailed,
  NotCommitted,
  OutOfOrder,
  SameDay,
  MixedForms,
  StoredDraw,
  StoredLine,
  FieldIssue,
  FieldDate,
  FieldRed,
  FieldBlue,
  RowNoLottery,
  RowNoIssue,
  RowNoDate,
  RowNotNumber,
  RowBreaksRule,
  RowTwice,
  NotStored,
};

struct Wording {
  Text id;
  std::string_view english;
  std::string_view chinese;
};

constexpr Wording kTexts[] = {
    {Text::DateAfterTomorrow, "the date {1} is after tomorrow; no such draw has been held yet",
     "开奖日期 {1} 晚于明天,这一期还没有开奖"},
    {Text::DateBeforeFirst, "the date {1} is before the first 双色球 draw (2003-02-23)",
     "开奖日期 {1} 早于双色球第一期的开奖日期(2003-02-23)"},
    {Text::NotDrawDay, "the date {1} is a {2}; {3} is drawn on {4} only",
     "开奖日期 {1} 是{2},{3}只在{4}开奖"},
    {Text::IssueYear, "the issue {1} is of the year {2}, but the date {3} is in {4}",
     "期号 {1} 属于 {2} 年,开奖日期 {3} 却在 {4} 年"},
    {Text::IssueShortYear, "the issue {1} begins with the year {2}, but the date {3} is in {4}",
     "期号 {1} 以年份 {2} 开头,开奖日期 {3} 却在 {4} 年"},
    {Text::RedCount, "red must hold {1} numbers from {2} to {3}, not {4} numbers",
     "红球应是 {2} 到 {3} 的 {1} 个号码,此处是 {4} 个"},
    {Text::RedCountDistinct, "red must hold {1} distinct numbers from {2} to {3}, not {4} numbers",
     "红球应是 {2} 到 {3} 中各不相同的 {1} 个号码,此处是 {4} 个"},
    {Text::RedOutside, "red number {1} is outside {2} to {3}", "红球 {1} 不在 {2} 到 {3} 之间"},
    {Text::RedTwice, "red number {1} appears twice", "红球 {1} 重复了"},
    {Text::BlueNone, "blue must be empty for this lottery", "这种彩票没有蓝球,蓝球一栏应为空"},
    {Text::BlueCount, "blue must hold {1} numbers from {2} to {3}, not {4} numbers",
     "蓝球应是 {2} 到 {3} 的 {1} 个号码,此处是 {4} 个"},
    {Text::BlueCountDistinct,
     "blue must hold {1} distinct numbers from {2} to {3}, not {4} numbers",
     "蓝球应是 {2} 到 {3} 中各不相同的 {1} 个号码,此处是 {4} 个"},
    {Text::BlueOutside, "blue number {1} is outside {2} to {3}", "蓝球 {1} 不在 {2} 到 {3} 之间"},
    {Text::BlueTwice, "blue number {1} appears twice", "蓝球 {1} 重复了"},
    {Text::BlueIsRed, "blue number {1} is also a red number", "蓝球 {1} 也是红球号码"},
    {Text::FieldCount, "expected 4 fields (issue,date,red,blue), found {1}",
     "应有 4 个字段(issue,date,red,blue),此行有 {1} 个"},
    {Text::IssueNotNumber, "the issue {1} is not a number of at most 16 digits",
     "期号 {1} 不是至多 16 位的数字"},
    {Text::IssueNotSsq, "the issue {1} is no 双色球 issue (seven digits: the year and three)",
     "期号 {1} 不是双色球期号(七位数字:年份加三位序号)"},
    {Text::IssueZero, "the issue {1} is no issue (it is 0)", "期号 {1} 不是期号(它是 0)"},
    {Text::DateEarly, "the date {1} is out of range (draws are dated from 1900)",
     "开奖日期 {1} 超出范围(开奖日期从 1900 年起)"},
    {Text::DateNotReal, "the date {1} is not a real date written YYYY-MM-DD",
     "开奖日期 {1} 不是写作 YYYY-MM-DD 的真实日期"},
    {Text::RedNotNumber, "red: {1} is not a number of one or two digits",
     "红球:{1} 不是一位或两位数字"},
    {Text::BlueNotNumber, "blue: {1} is not a number of one or two digits",
     "蓝球:{1} 不是一位或两位数字"},
    {Text::Header, "the first line must be the header issue,date,red,blue",
     "首行应是表头 issue,date,red,blue"},
    {Text::EmptyFile, "the file is empty; the first line must be the header issue,date,red,blue",
     "文件是空的;首行应是表头 issue,date,red,blue"},
    {Text::Line, "line {1}: {2}", "第 {1} 行:{2}"},
    {Text::CommaInField, "{1}: {2} holds a comma or a line break; separate numbers with spaces",
     "{1}:{2} 含有逗号或换行;号码之间请用空格分隔"},
    {Text::UnknownLottery, "unknown lottery {1}", "未知的彩票 {1}"},
    {Text::SameIssueInFile, "issue {1} appears on line {2} with other numbers or another date",
     "第{1}期在第 {2} 行已出现,号码或日期不同"},
    {Text::AlreadyStored, "issue {1} is already stored as {2}; this line has {3}",
     "第{1}期已收录为 {2},此处为 {3}"},
    {Text::CannotRead, "the history database cannot be read", "历史数据库无法读取"},
    {Text::CannotWrite, "the history database cannot be written", "历史数据库无法写入"},
    {Text::WriteFailed, "writing the draw failed", "写入开奖数据失败"},
    {Text::NotCommitted, "the import could not be committed", "导入未能提交"},
    {Text::OutOfOrder,
     "issue {1} on {2} is out of order with {3} issue {4} on {5}: a later issue is never drawn "
     "on an earlier day",
     "第{1}期({2})与{3}第{4}期({5})顺序不符:期号大的一期不会在更早的日子开奖"},
    {Text::SameDay,
     "issue {1} on {2}: {3} issue {4} is drawn on the same day; {5} draws once a day",
     "第{1}期({2})与{3}第{4}期同一天开奖,{5}每天只开一期"},
    {Text::MixedForms,
     "the issue {1} has {2} digits, but {3} issue {4} has {5}; a lottery's issues all have the "
     "same number of digits",
     "期号 {1} 是 {2} 位,而{3}期号 {4} 是 {5} 位;同一彩票的期号位数应相同"},
    {Text::StoredDraw, "the stored", "已收录的"},
    {Text::StoredLine, "line {1}'s", "第 {1} 行的"},
    {Text::FieldIssue, "issue", "期号"},
    {Text::FieldDate, "date", "开奖日期"},
    {Text::FieldRed, "red", "红球"},
    {Text::FieldBlue, "blue", "蓝球"},
    {Text::RowNoLottery, "the stored draw of lottery {1} with the issue {2} belongs to no lottery",
     "彩票 {1} 已收录的第{2}期不属于任何彩票"},
    {Text::RowNoIssue, "the stored draw of lottery {1} with the issue {2} has no valid issue",
     "彩票 {1} 已收录的第{2}期期号无效"},
    {Text::RowNoDate,
     "the stored draw of lottery {1} with the issue {2} has the date {3}, no real date",
     "彩票 {1} 已收录的第{2}期开奖日期为 {3},不是真实日期"},
    {Text::RowNotNumber,
     "the stored draw of lottery {1} with the issue {2} holds {3} where a number belongs",
     "彩票 {1} 已收录的第{2}期在号码处存有 {3}"},
    {Text::RowBreaksRule, "the stored draw of lottery {1} with the issue {2} breaks the rule: {3}",
     "彩票 {1} 已收录的第{2}期不合规则:{3}"},
    {Text::RowTwice,
     "the stored draws of lottery {1} hold the issue {2} twice, with other numbers or another "
     "date",
     "彩票 {1} 已收录的开奖数据中第{2}期出现两次,号码或日期不同"},
    {Text::NotStored, "no draw of lottery {1} with the issue {2} is stored",
     "彩票 {1} 没有收录第{2}期"},
};

// The text of id in wording, each {n} replaced by the n-th of args.
std::string Words(DrawWording wording, Text id, std::initializer_list<std::string_view> args = {}) {
  std::string_view pattern;
  for (const Wording& w : kTexts) {
    if (w.id == id) pattern = wording == DrawWording::Chinese ? w.chinese : w.english;
  }
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const std::size_t n = i + 2 < pattern.size() && pattern[i] == '{' && pattern[i + 2] == '}'
                              ? static_cast<std::size_t>(pattern[i + 1] - '1')
                              : args.size();
    if (n < args.size()) {
      out += args.begin()[n];
      i += 2;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

// The days a lottery draws on (1 = Sunday .. 7 = Saturday), for the
// lotteries whose schedule is fixed; one draw a day at most.
struct Schedule {
  LotteryCode lottery;
  std::array<int, 3> weekdays;
  std::string_view english, chinese;  // the days named
};
constexpr Schedule kSchedules[] = {
    {LotteryCode::DoubleColor, {1, 3, 5}, "Sunday, Tuesday and Thursday", "周日、周二、周四"},
};

constexpr std::array<std::string_view, 7> kWeekdays = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};
constexpr std::array<std::string_view, 7> kWeekdaysChinese = {
    "星期日", "星期一", "星期二", "星期三", "星期四", "星期五", "星期六"};

const Schedule* FindSchedule(LotteryCode lottery) {
  for (const Schedule& s : kSchedules) {
    if (s.lottery == lottery) return &s;
  }
  return nullptr;
}

std::string LotteryName(LotteryCode lottery) {
  return lottery == LotteryCode::DoubleColor ? "双色球" : std::to_string(NumberOf(lottery));
}

std::string Describe(const rg_DrawEntry& d) {
  std::string s = NumbersText(d.numbers);
  if (!d.extra.empty()) s += " + " + NumbersText(d.extra);
  return s;
}

// The line that starts at pos, without its end (LF or CR LF); pos moves
// past it.
std::string_view NextLine(std::string_view text, std::size_t& pos) {
  std::size_t end = text.find('\n', pos);
  if (end == std::string_view::npos) end = text.size();
  std::string_view line = text.substr(pos, end - pos);
  pos = end + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return line;
}

// The comma-separated fields of a line, each trimmed.
std::vector<std::string> SplitFields(std::string_view line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    fields.push_back(Trim(line.substr(
        start, comma == std::string_view::npos ? std::string_view::npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return fields;
}

// "" when the row reads back as a valid draw, else the row named and what
// is wrong with it. The file may have been edited by hand or damaged: such a
// row is an error for the caller, never passed over (a backup or a count
// without it would be wrong without a word).
std::string ReadEntry(const rg_SqlStatement& s, rg_DrawEntry& out, DrawWording wording) {
  // The stored number becomes a lottery here and nowhere else; one that
  // names none makes the row damaged, never some default lottery.
  const long long storedLottery = s.ColumnInt(0);
  const std::string_view storedIssue = s.ColumnUtf8(1);
  const std::string lotteryText = std::to_string(storedLottery);
  const std::string issueText = Quoted(storedIssue);
  const auto bad = [&](Text id, const std::string& what = {}) {
    return Words(wording, id, {lotteryText, issueText, what});
  };
  const auto lottery = LotteryCodeOf(storedLottery);
  const rg_DrawRule* rule = lottery ? FindDrawRule(*lottery) : nullptr;
  if (rule == nullptr) return bad(Text::RowNoLottery);
  out.lottery = *lottery;
  const auto issue = NormalIssue(out.lottery, FromUtf8(storedIssue));
  if (!issue) return bad(Text::RowNoIssue);
  out.issue = *issue;
  // Read once per stored draw, so the bytes are parsed where they lie: the
  // parsers accept ASCII digits, spaces and dashes only.
  const auto date = ParseDrawDate(s.ColumnUtf8(2));
  if (!date) return bad(Text::RowNoDate, Quoted(s.ColumnUtf8(2)));
  out.date = *date;
  auto numbers = ParseNumberList(s.ColumnUtf8(3));
  if (!numbers) return bad(Text::RowNotNumber, Quoted(numbers.error().message));
  auto extra = ParseNumberList(s.ColumnUtf8(4));
  if (!extra) return bad(Text::RowNotNumber, Quoted(extra.error().message));
  out.numbers = std::move(*numbers);
  out.extra = std::move(*extra);
  out.storedAt = s.ColumnDouble(5);
  if (std::string why = CheckDrawNumbers(*rule, out.numbers, out.extra, wording); !why.empty())
    return bad(Text::RowBreaksRule, why);
  return {};
}

// How wide an issue is written: year and three digits, or for the games
// that number their draws with a two-digit year, five.
std::size_t IssueWidth(LotteryCode lottery) {
  return NumberOf(lottery) >= NumberOf(LotteryCode::DaLeTou) ? 5 : 7;
}

constexpr std::u16string_view kColumns = u"lottery,issue,drawdate,numbers,extra,stored";

}  // namespace

const rg_DrawRule* FindDrawRule(LotteryCode lottery) {
  for (const rg_DrawRule& rule : kRules) {
    if (rule.lottery == lottery) return &rule;
  }
  return nullptr;
}

std::optional<std::u16string> NormalIssue(LotteryCode lottery, std::u16string_view issue) {
  if (issue.empty() || issue.size() > kMaxIssueDigits ||
      !std::all_of(issue.begin(), issue.end(), [](char16_t c) { return IsDigit(c); })) {
    return std::nullopt;
  }
  const std::size_t first = issue.find_first_not_of(u'0');
  if (first == std::u16string_view::npos) return std::nullopt;  // no draw is number 0
  std::u16string digits(issue.substr(first));
  const std::size_t width = IssueWidth(lottery);
  if (lottery == LotteryCode::DoubleColor && digits.size() != width) return std::nullopt;
  if (digits.size() < width) digits.insert(0, width - digits.size(), u'0');
  return digits;
}

std::string CheckDrawDate(LotteryCode lottery, double date, double now, DrawWording wording) {
  static const double kFirstDoubleColor = MakeDate(2003, 2, 23);
  if (date >= std::floor(now) + 2)
    return Words(wording, Text::DateAfterTomorrow, {ToUtf8(DrawDateText(date))});
  if (lottery == LotteryCode::DoubleColor && date < kFirstDoubleColor)
    return Words(wording, Text::DateBeforeFirst, {ToUtf8(DrawDateText(date))});
  return {};
}

std::string CheckDrawIssue(LotteryCode lottery, std::u16string_view issue, double date,
                           DrawWording wording) {
  const DateParts day = SplitDate(date);
  const std::string dateText = ToUtf8(DrawDateText(date));
  if (const Schedule* schedule = FindSchedule(lottery);
      schedule != nullptr && day.weekday >= 1 && day.weekday <= 7 &&
      std::find(schedule->weekdays.begin(), schedule->weekdays.end(), day.weekday) ==
          schedule->weekdays.end()) {
    const bool chinese = wording == DrawWording::Chinese;
    const auto weekday = static_cast<std::size_t>(day.weekday - 1);
    return Words(wording, Text::NotDrawDay,
                 {dateText, chinese ? kWeekdaysChinese[weekday] : kWeekdays[weekday],
                  LotteryName(lottery), chinese ? schedule->chinese : schedule->english});
  }
  // A five-digit issue carries the year's last two digits, any other its four.
  const bool shortYear = issue.size() == 5;
  const std::size_t yearDigits = shortYear ? 2 : 4;
  if (issue.size() <= yearDigits ||
      !std::all_of(issue.begin(), issue.end(), [](char16_t c) { return IsDigit(c); })) {
    return {};  // no issue of this form reaches here: NormalIssue refused it
  }
  int year = 0;
  for (std::size_t i = 0; i < yearDigits; ++i) year = year * 10 + (issue[i] - u'0');
  if (year == (shortYear ? day.year % 100 : day.year)) return {};
  const std::string yearText = ToUtf8(issue.substr(0, yearDigits));
  return Words(wording, shortYear ? Text::IssueShortYear : Text::IssueYear,
               {ToUtf8(issue), yearText, dateText, std::to_string(day.year)});
}

std::string CheckDrawNumbers(const rg_DrawRule& rule, const std::vector<int>& numbers,
                             const std::vector<int>& extra, DrawWording wording) {
  const auto say = [wording](Text id, int n, int low = 0, int high = 0, std::size_t had = 0) {
    return Words(
        wording, id,
        {std::to_string(n), std::to_string(low), std::to_string(high), std::to_string(had)});
  };
  // Messages are built only on failure: every stored row passes through here.
  if (static_cast<int>(numbers.size()) != rule.count) {
    return say(rule.distinct ? Text::RedCountDistinct : Text::RedCount, rule.count, rule.low,
               rule.high, numbers.size());
  }
  for (int n : numbers) {
    if (n < rule.low || n > rule.high) return say(Text::RedOutside, n, rule.low, rule.high);
  }
  if (rule.distinct) {
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    if (const auto it = std::adjacent_find(sorted.begin(), sorted.end()); it != sorted.end())
      return say(Text::RedTwice, *it);
  }
  if (static_cast<int>(extra.size()) != rule.extraCount) {
    if (rule.extraCount == 0) return Words(wording, Text::BlueNone);
    return say(rule.extraCount > 1 ? Text::BlueCountDistinct : Text::BlueCount, rule.extraCount,
               rule.extraLow, rule.extraHigh, extra.size());
  }
  for (int n : extra) {
    if (n < rule.extraLow || n > rule.extraHigh)
      return say(Text::BlueOutside, n, rule.extraLow, rule.extraHigh);
  }
  if (extra.size() == 2 && extra[0] == extra[1]) return say(Text::BlueTwice, extra[0]);
  if (rule.extraApart) {
    for (int n : extra) {
      if (std::find(numbers.begin(), numbers.end(), n) != numbers.end())
        return say(Text::BlueIsRed, n);
    }
  }
  return {};
}

std::u16string DrawDateText(double date) {
  const DateParts p = SplitDate(date);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", p.year, p.month, p.day);
  return FromUtf8(buf);
}

std::optional<double> ParseDrawDate(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9}) {
    if (!IsDigit(text[i])) return std::nullopt;
  }
  const int y = DigitsValue(text.substr(0, 4));
  const int m = DigitsValue(text.substr(5, 2));
  const int d = DigitsValue(text.substr(8, 2));
  if (y < 1900) return std::nullopt;
  const double date = MakeDate(y, m, d);
  const DateParts p = SplitDate(date);
  // MakeDate clamps: a part that moved means no such day.
  if (p.year != y || p.month != m || p.day != d) return std::nullopt;
  return date;
}

std::string NumbersText(const std::vector<int>& numbers) {
  std::string s;
  for (int n : numbers) {
    if (!s.empty()) s += ' ';
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", n);
    s += buf;
  }
  return s;
}

Result<std::vector<int>> ParseNumberList(std::string_view text) {
  std::vector<int> out;
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] == ' ') {
      ++i;
      continue;
    }
    std::size_t j = i;
    while (j < text.size() && text[j] != ' ') ++j;
    const std::string_view piece = text.substr(i, j - i);
    if (piece.size() > 2 ||
        !std::all_of(piece.begin(), piece.end(), [](char c) { return IsDigit(c); })) {
      return Refused(std::string(piece));
    }
    out.push_back(DigitsValue(piece));
    i = j;
  }
  return out;
}

std::optional<rg_DrawEntry> DrawFromPage(LotteryCode lottery, std::u16string_view issue,
                                         std::u16string_view date, std::u16string_view numbers,
                                         std::u16string_view extra) {
  const rg_DrawRule* rule = FindDrawRule(lottery);
  if (rule == nullptr) return std::nullopt;
  rg_DrawEntry e;
  e.lottery = lottery;
  std::u16string issueDigits;
  for (char16_t c : issue) {
    if (IsDigit(c)) issueDigits += c;
  }
  const auto normal = NormalIssue(lottery, issueDigits);
  if (!normal) return std::nullopt;
  e.issue = *normal;

  // The first YYYY-MM-DD inside the date cell (which may carry a weekday).
  const std::string dateText = ToUtf8(date);
  std::optional<double> day;
  for (std::size_t i = 0; !day && i + 10 <= dateText.size(); ++i)
    day = ParseDrawDate(std::string_view(dateText).substr(i, 10));
  if (!day) return std::nullopt;
  e.date = *day;

  const auto digits = [](std::u16string_view text, std::size_t width, std::vector<int>& out) {
    if (text.empty() || text.size() % width != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += width) {
      int v = 0;
      for (std::size_t k = 0; k < width; ++k) {
        if (!IsDigit(text[i + k])) return false;
        v = v * 10 + (text[i + k] - u'0');
      }
      out.push_back(v);
    }
    return true;
  };
  if (!digits(numbers, static_cast<std::size_t>(rule->width), e.numbers)) return std::nullopt;
  if (rule->extraCount == 1) {
    // One second-zone number: the whole text, whatever its width.
    if (extra.size() > 2 || !digits(extra, extra.size(), e.extra)) return std::nullopt;
  } else if (rule->extraCount > 1) {
    if (!digits(extra, 2, e.extra)) return std::nullopt;
  } else if (!extra.empty()) {
    return std::nullopt;
  }
  if (!CheckDrawNumbers(*rule, e.numbers, e.extra).empty()) return std::nullopt;
  return e;
}

std::u16string rg_DrawArchive::CreateTableStatement() {
  return u"CREATE TABLE IF NOT EXISTS xyh_draws (lottery INT(4) NOT NULL,issue VARCHAR(32) NOT NULL,"
         u"drawdate VARCHAR(10) NOT NULL,numbers TEXT NOT NULL,extra TEXT NOT NULL,"
         u"stored DOUBLE DEFAULT 0,PRIMARY KEY (lottery,issue));";
}

rg_StoreStatus rg_DrawArchive::LastStatus() const {
  return badRow_.empty() ? store_->LastStatus() : rg_StoreStatus::Damaged;
}

int rg_DrawArchive::Run(std::u16string_view text) {
  rg_SqlStatement s(store_->Handle(), text);
  const int rc = s.Valid() ? s.Step() : s.PrepareCode();
  store_->Record(rc);
  return rc;
}

std::optional<bool> rg_DrawArchive::HasTable() const {
  if (store_->Ready(false) != rg_StoreStatus::Ok) return std::nullopt;
  rg_SqlStatement s(store_->Handle(),
                    u"SELECT count(*) FROM sqlite_master WHERE type='table' AND name='xyh_draws';");
  const int rc = s.Valid() ? s.Step() : s.PrepareCode();
  store_->Record(rc);
  if (rc != SQLITE_ROW) return std::nullopt;
  return s.ColumnInt(0) != 0;
}

bool rg_DrawArchive::EnsureTable() {
  // The write check first: a damaged file is never touched, not even by
  // the table's creation.
  if (store_->Ready(true) != rg_StoreStatus::Ok) return false;
  return Run(CreateTableStatement()) == SQLITE_DONE;
}

Result<rg_DrawArchive::StoreResult> rg_DrawArchive::Store(const rg_DrawEntry& given, double now) {
  badRow_.clear();
  const auto failed = [this] { return Fail(LastStatus()); };
  rg_DrawEntry draw = given;
  const auto issue = NormalIssue(draw.lottery, draw.issue);
  if (!issue) return failed();
  draw.issue = *issue;
  if (store_->Ready(true) != rg_StoreStatus::Ok) return failed();
  if (const auto stored = Find(draw.lottery, draw.issue); stored && *stored) {
    return (*stored)->SameDraw(draw) ? StoreResult::Unchanged : StoreResult::Conflict;
  } else if (!stored) {
    return failed();
  }
  if (!EnsureTable()) return failed();
  rg_SqlStatement s(
      store_->Handle(),
      u"INSERT OR IGNORE INTO xyh_draws (lottery,issue,drawdate,numbers,extra,stored) "
      u"VALUES (?,?,?,?,?,?);");
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return failed();
  }
  s.BindInt(1, NumberOf(draw.lottery));
  s.BindText(2, draw.issue);
  s.BindText(3, DrawDateText(draw.date));
  s.BindText(4, FromUtf8(NumbersText(draw.numbers)));
  s.BindText(5, FromUtf8(NumbersText(draw.extra)));
  s.BindDouble(6, now);
  const int rc = s.Step();
  store_->Record(rc);
  if (rc != SQLITE_DONE) return failed();
  if (sqlite3_changes(store_->Handle()) == 1) return StoreResult::Added;
  // Another process stored the issue between our look and our write.
  const auto stored = Find(draw.lottery, draw.issue);
  if (!stored) return failed();
  return *stored && (*stored)->SameDraw(draw) ? StoreResult::Unchanged : StoreResult::Conflict;
}

std::vector<rg_DrawEntry> rg_DrawArchive::Draws(LotteryCode lottery) const {
  std::vector<rg_DrawEntry> out;
  VisitDraws(lottery, false, [&out](const rg_DrawEntry& d) { out.push_back(d); });
  return out;
}

rg_StoreStatus rg_DrawArchive::VisitDraws(
    LotteryCode lottery, bool newestFirst,
    const std::function<void(const rg_DrawEntry&)>& visit) const {
  badRow_.clear();
  if (HasTable() != true) return LastStatus();
  rg_SqlStatement s(store_->Handle(),
                    u"SELECT " + std::u16string(kColumns) + u" FROM xyh_draws WHERE lottery=? " +
                        (newestFirst ? u"ORDER BY drawdate DESC,length(issue) DESC,issue DESC;"
                                     : u"ORDER BY drawdate,length(issue),issue;"));
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return LastStatus();
  }
  s.BindInt(1, NumberOf(lottery));
  rg_DrawEntry e;
  rg_DrawEntry first;
  std::string firstStored;
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    if (std::string why = ReadEntry(s, e, wording_); !why.empty()) {
      badRow_ = std::move(why);
      break;
    }
    // A row an older version stored in another form of its issue: the same
    // issue twice is one draw when the numbers agree, visited once (as its
    // shortest stored form).
    const std::string_view text = s.ColumnUtf8(1);
    if (text.size() != e.issue.size() ||
        !std::equal(text.begin(), text.end(), e.issue.begin(),
                    [](char a, char16_t b) { return static_cast<char16_t>(a) == b; })) {
      const std::string stored(text);
      if (!FindRow(lottery, e.issue, first, &firstStored)) {
        if (badRow_.empty()) store_->Record(SQLITE_ERROR);
        break;
      }
      if (!first.SameDraw(e)) {
        badRow_ =
            Words(wording_, Text::RowTwice, {std::to_string(NumberOf(lottery)), ToUtf8(e.issue)});
        break;
      }
      if (firstStored != stored) continue;
    }
    visit(e);
  }
  if (badRow_.empty()) store_->Record(rc == SQLITE_ROW ? SQLITE_DONE : rc);
  return LastStatus();
}

bool rg_DrawArchive::FindRow(LotteryCode lottery, const std::u16string& normal, rg_DrawEntry& out,
                             std::string* stored) const {
  if (HasTable() != true) return false;
  // Every form the issue may have been stored in: its digits, padded with
  // zeros up to the longest issue. All of them go through the key's index.
  std::u16string digits = normal.substr(std::min(normal.find_first_not_of(u'0'), normal.size()));
  std::vector<std::u16string> forms;
  for (; digits.size() <= kMaxIssueDigits; digits.insert(0, 1, u'0')) forms.push_back(digits);
  std::u16string text =
      u"SELECT " + std::u16string(kColumns) + u" FROM xyh_draws WHERE lottery=? AND issue IN (";
  for (std::size_t i = 0; i < forms.size(); ++i) text += i == 0 ? u"?" : u",?";
  text += u") ORDER BY length(issue);";
  rg_SqlStatement s(store_->Handle(), text);
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return false;
  }
  s.BindInt(1, NumberOf(lottery));
  for (std::size_t i = 0; i < forms.size(); ++i) s.BindText(static_cast<int>(i) + 2, forms[i]);
  const int rc = s.Step();
  store_->Record(rc == SQLITE_ROW ? SQLITE_DONE : rc);
  if (rc != SQLITE_ROW) return false;
  if (stored != nullptr) *stored = s.ColumnUtf8(1);
  if (std::string why = ReadEntry(s, out, wording_); !why.empty()) {
    badRow_ = std::move(why);
    return false;
  }
  return true;
}

tl::unexpected<Failure> rg_DrawArchive::Failed() const { return Fail(LastStatus(), badRow_); }

Result<std::optional<rg_DrawEntry>> rg_DrawArchive::Find(LotteryCode lottery,
                                                         std::u16string_view issue) const {
  badRow_.clear();
  const auto normal = NormalIssue(lottery, issue);
  if (!normal) return std::nullopt;
  rg_DrawEntry e;
  if (FindRow(lottery, *normal, e)) return e;
  if (LastStatus() != rg_StoreStatus::Ok) return Failed();
  return std::nullopt;
}

Result<std::optional<rg_DrawEntry>> rg_DrawArchive::Newest(LotteryCode lottery) const {
  badRow_.clear();
  if (const auto table = HasTable(); !table) {
    return Failed();
  } else if (!*table) {
    return std::nullopt;
  }
  rg_SqlStatement s(store_->Handle(),
                    u"SELECT " + std::u16string(kColumns) +
                        u" FROM xyh_draws WHERE lottery=? ORDER BY drawdate DESC,length(issue) "
                        u"DESC,issue DESC LIMIT 1;");
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return Failed();
  }
  s.BindInt(1, NumberOf(lottery));
  const int rc = s.Step();
  store_->Record(rc);
  rg_DrawEntry e;
  if (rc == SQLITE_DONE) return std::nullopt;
  if (rc != SQLITE_ROW) return Failed();
  if (std::string why = ReadEntry(s, e, wording_); !why.empty()) {
    badRow_ = std::move(why);
    return Failed();
  }
  return e;
}

std::size_t rg_DrawArchive::Count(LotteryCode lottery) const {
  badRow_.clear();
  if (HasTable() != true) return 0;
  rg_SqlStatement s(store_->Handle(), u"SELECT count(*) FROM xyh_draws WHERE lottery=?;");
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return 0;
  }
  s.BindInt(1, NumberOf(lottery));
  const int rc = s.Step();
  store_->Record(rc);
  return rc == SQLITE_ROW ? static_cast<std::size_t>(s.ColumnInt(0)) : 0;
}

std::string rg_DrawArchive::Export(LotteryCode lottery) const {
  std::string out(kHeader);
  out += '\n';
  for (const rg_DrawEntry& d : Draws(lottery)) {
    out += ToUtf8(d.issue) + ',' + ToUtf8(DrawDateText(d.date)) + ',' + NumbersText(d.numbers) +
           ',' + NumbersText(d.extra) + '\n';
  }
  return out;
}

namespace {

// One line of the CSV file form as a draw of lottery; refused, the message
// saying what is wrong, for a line the rule refuses.
Result<rg_DrawEntry> ParseDrawLine(LotteryCode lottery, const rg_DrawRule& rule,
                                   std::string_view line, double now, DrawWording wording) {
  const auto refuse = [wording](Text id, std::string_view what = {}) {
    return Refused(Words(wording, id, {what}));
  };
  // Counted before anything is split: a line of a million commas must not
  // become a million strings.
  const auto count = static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
  if (count != 4) return refuse(Text::FieldCount, std::to_string(count));
  const std::vector<std::string> fields = SplitFields(line);
  rg_DrawEntry d;
  d.lottery = lottery;
  const std::string& issue = fields[0];
  if (issue.empty() || issue.size() > kMaxIssueDigits ||
      !std::all_of(issue.begin(), issue.end(), [](char c) { return IsDigit(c); })) {
    return refuse(Text::IssueNotNumber, Quoted(issue));
  }
  const auto normal = NormalIssue(lottery, FromUtf8(issue));
  if (!normal) {
    return refuse(lottery == LotteryCode::DoubleColor ? Text::IssueNotSsq : Text::IssueZero,
                  Quoted(issue));
  }
  d.issue = *normal;
  const auto date = ParseDrawDate(fields[1]);
  if (!date) {
    const std::string_view text = fields[1];
    const bool early =
        text.size() == 10 && text[4] == '-' && text[7] == '-' &&
        std::all_of(text.begin(), text.begin() + 4, [](char c) { return IsDigit(c); }) &&
        DigitsValue(text.substr(0, 4)) < 1900;
    return refuse(early ? Text::DateEarly : Text::DateNotReal, Quoted(fields[1]));
  }
  d.date = *date;
  if (std::string why = CheckDrawDate(lottery, d.date, now, wording); !why.empty())
    return Refused(std::move(why));
  if (std::string why = CheckDrawIssue(lottery, d.issue, d.date, wording); !why.empty())
    return Refused(std::move(why));
  auto red = ParseNumberList(fields[2]);
  if (!red) return refuse(Text::RedNotNumber, Quoted(red.error().message));
  auto blue = ParseNumberList(fields[3]);
  if (!blue) return refuse(Text::BlueNotNumber, Quoted(blue.error().message));
  d.numbers = std::move(*red);
  d.extra = std::move(*blue);
  if (std::string why = CheckDrawNumbers(rule, d.numbers, d.extra, wording); !why.empty())
    return Refused(std::move(why));
  return d;
}

}  // namespace

namespace {

// The draws of one lottery by issue and by day, stored ones and the lines
// of an import as they are taken, for the rules of their order. Each draw
// is checked against its neighbours only: the draws already placed are in
// order (a stored archive out of order from an older version is not
// refused as a whole, only where a new draw meets it).
class Placement {
 public:
  Placement(LotteryCode lottery, DrawWording wording)
      : oneADay_(FindSchedule(lottery) != nullptr), lottery_(lottery), wording_(wording) {}

  // line 0 for a stored draw.
  void Add(const rg_DrawEntry& d, int line) {
    const Placed placed{d.issue, d.date, line};
    if (byIssue_.empty()) form_ = placed;
    byIssue_.emplace(d.issue, placed);
    if (oneADay_) byDay_.emplace(d.date, placed);
  }

  // "" when d fits among the draws placed; a placed draw of its own issue
  // is not met (whether it is the same draw is the caller's question).
  std::string Check(const rg_DrawEntry& d) const {
    if (!byIssue_.empty() && form_.issue.size() != d.issue.size()) {
      return Words(wording_, Text::MixedForms,
                   {ToUtf8(d.issue), std::to_string(d.issue.size()), Whose(form_),
                    ToUtf8(form_.issue), std::to_string(form_.issue.size())});
    }
    auto above = byIssue_.upper_bound(d.issue);
    auto below = byIssue_.lower_bound(d.issue);
    if (above != byIssue_.end() && above->second.date < d.date) return OutOfOrder(d, above->second);
    if (below != byIssue_.begin() && std::prev(below)->second.date > d.date)
      return OutOfOrder(d, std::prev(below)->second);
    if (oneADay_) {
      if (const auto day = byDay_.find(d.date);
          day != byDay_.end() && day->second.issue != d.issue) {
        return Words(wording_, Text::SameDay,
                     {ToUtf8(d.issue), ToUtf8(DrawDateText(d.date)), Whose(day->second),
                      ToUtf8(day->second.issue), LotteryName(lottery_)});
      }
    }
    return {};
  }

 private:
  struct Placed {
    std::u16string issue;
    double date = 0.0;
    int line = 0;
  };
  // Issues of one length compare as numbers by their text; of two lengths
  // (met only in an older archive) the shorter first.
  struct IssueOrder {
    bool operator()(const std::u16string& a, const std::u16string& b) const {
      return a.size() != b.size() ? a.size() < b.size() : a < b;
    }
  };
  std::string Whose(const Placed& p) const {
    return p.line == 0 ? Words(wording_, Text::StoredDraw)
                       : Words(wording_, Text::StoredLine, {std::to_string(p.line)});
  }
  std::string OutOfOrder(const rg_DrawEntry& d, const Placed& other) const {
    return Words(wording_, Text::OutOfOrder,
                 {ToUtf8(d.issue), ToUtf8(DrawDateText(d.date)), Whose(other), ToUtf8(other.issue),
                  ToUtf8(DrawDateText(other.date))});
  }

  bool oneADay_;
  LotteryCode lottery_;
  DrawWording wording_;
  Placed form_;  // the first draw placed: every other has its issue's length
  std::map<std::u16string, Placed, IssueOrder> byIssue_;
  std::map<double, Placed> byDay_;
};

}  // namespace

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Outcome(ImportResult result) const {
  if (result.ok) return std::move(result.counts);
  Failure failure{LastStatus(), rg_FileProblem::None, 0, !result.writeFailed,
                  std::move(result.message)};
  return Fail(std::move(failure));
}

Result<void> rg_DrawArchive::CheckPlace(const rg_DrawEntry& draw) const {
  const auto issue = NormalIssue(draw.lottery, draw.issue);
  if (!issue) {
    return Refused(Words(
        wording_, draw.lottery == LotteryCode::DoubleColor ? Text::IssueNotSsq : Text::IssueZero,
        {Quoted(ToUtf8(draw.issue))}));
  }
  rg_DrawEntry given = draw;
  given.issue = *issue;
  if (std::string why = CheckDrawIssue(given.lottery, given.issue, given.date, wording_);
      !why.empty()) {
    return Refused(std::move(why));
  }
  Placement placed(given.lottery, wording_);
  if (VisitDraws(given.lottery, false, [&](const rg_DrawEntry& d) {
        if (d.issue != given.issue) placed.Add(d, 0);
      }) != rg_StoreStatus::Ok) {
    return Failed();
  }
  if (std::string why = placed.Check(given); !why.empty()) return Refused(std::move(why));
  return {};
}

int rg_DrawArchive::DeleteForms(LotteryCode lottery, const std::u16string& normal) {
  // Every form the issue may have been stored in, as FindRow looks for it.
  std::u16string digits = normal.substr(std::min(normal.find_first_not_of(u'0'), normal.size()));
  std::vector<std::u16string> forms;
  for (; digits.size() <= kMaxIssueDigits; digits.insert(0, 1, u'0')) forms.push_back(digits);
  std::u16string text = u"DELETE FROM xyh_draws WHERE lottery=? AND issue IN (";
  for (std::size_t i = 0; i < forms.size(); ++i) text += i == 0 ? u"?" : u",?";
  text += u");";
  rg_SqlStatement s(store_->Handle(), text);
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return s.PrepareCode();
  }
  s.BindInt(1, NumberOf(lottery));
  for (std::size_t i = 0; i < forms.size(); ++i) s.BindText(static_cast<int>(i) + 2, forms[i]);
  const int rc = s.Step();
  store_->Record(rc);
  return rc;
}

Result<void> rg_DrawArchive::Delete(LotteryCode lottery, std::u16string_view issue) {
  badRow_.clear();
  const auto normal = NormalIssue(lottery, issue);
  const auto notStored = [&] {
    return NotFound(Words(
        wording_, Text::NotStored,
        {std::to_string(NumberOf(lottery)), ToUtf8(normal ? *normal : std::u16string(issue))}));
  };
  if (!normal) return notStored();
  if (store_->Ready(true) != rg_StoreStatus::Ok) return Failed();
  if (const auto table = HasTable(); !table) {
    return Failed();
  } else if (!*table) {
    return notStored();
  }
  // A row that no longer reads back is deleted too: that is how a draw
  // edited by hand is mended.
  if (DeleteForms(lottery, *normal) != SQLITE_DONE) return Failed();
  if (sqlite3_changes(store_->Handle()) == 0) return notStored();
  return {};
}

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Import(LotteryCode lottery,
                                                            std::string_view csv, double now) {
  if (csv.substr(0, 3) == "\xEF\xBB\xBF") csv.remove_prefix(3);
  std::vector<std::pair<int, std::string_view>> lines;
  int lineNo = 0;
  bool headerSeen = false;
  std::size_t pos = 0;
  while (pos < csv.size()) {
    const std::string_view line = NextLine(csv, pos);
    ++lineNo;
    if (!headerSeen) {
      if (Trim(line) != kHeader) {
        ImportResult result;
        result.why = Words(wording_, Text::Header);
        result.message = Words(wording_, Text::Line, {std::to_string(lineNo), result.why});
        return Outcome(std::move(result));
      }
      headerSeen = true;
      continue;
    }
    if (Trim(line).empty()) continue;
    lines.emplace_back(lineNo, line);
  }
  if (!headerSeen) {
    ImportResult result;
    result.why = Words(wording_, Text::EmptyFile);
    result.message = Words(wording_, Text::Line, {"1", result.why});
    return Outcome(std::move(result));
  }
  return Outcome(ImportLines(lottery, lines, now));
}

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Add(LotteryCode lottery,
                                                         std::string_view issue,
                                                         std::string_view date,
                                                         std::string_view red,
                                                         std::string_view blue, double now) {
  return Replace(lottery, {}, issue, date, red, blue, now);
}

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Replace(
    LotteryCode lottery, std::u16string_view stored, std::string_view issue, std::string_view date,
    std::string_view red, std::string_view blue, double now) {
  // One line of a draw file, so that a draw typed in meets every rule an
  // imported one does.
  const std::pair<Text, std::string_view> fields[] = {{Text::FieldIssue, issue},
                                                      {Text::FieldDate, date},
                                                      {Text::FieldRed, red},
                                                      {Text::FieldBlue, blue}};
  for (const auto& [name, value] : fields) {
    if (value.find_first_of(",\r\n") != std::string_view::npos) {
      ImportResult result;
      result.why = Words(wording_, Text::CommaInField, {Words(wording_, name), Quoted(value)});
      result.message = result.why;
      return Outcome(std::move(result));
    }
  }
  std::u16string replacing;
  if (!stored.empty()) {
    const auto found = Find(lottery, stored);
    if (!found) return Failed();
    if (!*found) {
      return NotFound(
          Words(wording_, Text::NotStored, {std::to_string(NumberOf(lottery)), ToUtf8(stored)}));
    }
    replacing = (*found)->issue;
  }
  const std::string line = std::string(issue) + ',' + std::string(date) + ',' + std::string(red) +
                           ',' + std::string(blue);
  const std::pair<int, std::string_view> lines[] = {{1, line}};
  ImportResult result = ImportLines(lottery, lines, now, replacing);
  if (!result.ok && !result.why.empty()) result.message = result.why;
  return Outcome(std::move(result));
}

rg_DrawArchive::ImportResult rg_DrawArchive::ImportLines(
    LotteryCode lottery, std::span<const std::pair<int, std::string_view>> lines, double now,
    const std::u16string& replacing) {
  badRow_.clear();
  ImportResult result;
  const rg_DrawRule* rule = FindDrawRule(lottery);
  if (rule == nullptr) {
    result.message = Words(wording_, Text::UnknownLottery, {std::to_string(NumberOf(lottery))});
    return result;
  }
  const auto refuse = [&](int line, const std::string& why) {
    result.why = why;
    result.message = Words(wording_, Text::Line, {std::to_string(line), why});
    return result;
  };
  // Every stored draw of the lottery is read first: the order rules need
  // them, and an archive that does not read to its end is damaged, which
  // is never written.
  Placement placed(lottery, wording_);
  if (VisitDraws(lottery, false, [&](const rg_DrawEntry& d) {
        if (d.issue != replacing) placed.Add(d, 0);
      }) != rg_StoreStatus::Ok) {
    result.message = badRow_.empty() ? Words(wording_, Text::CannotRead) : badRow_;
    result.writeFailed = true;
    return result;
  }
  std::vector<ImportedDraw> toAdd;
  std::map<std::u16string, std::size_t> inFile;  // issue -> index into seen
  std::vector<ImportedDraw> seen;
  for (const auto& [lineNo, line] : lines) {
    Result<rg_DrawEntry> d = ParseDrawLine(lottery, *rule, line, now, wording_);
    if (!d) return refuse(lineNo, d.error().message);
    const std::string issue = ToUtf8(d->issue);
    if (const auto it = inFile.find(d->issue); it != inFile.end()) {
      const ImportedDraw& first = seen[it->second];
      if (!first.draw.SameDraw(*d)) {
        return refuse(lineNo,
                      Words(wording_, Text::SameIssueInFile, {issue, std::to_string(first.line)}));
      }
      ++result.counts.skipped;
      continue;
    }
    inFile.emplace(d->issue, seen.size());
    seen.push_back({*d, lineNo});
    const auto found = Find(lottery, d->issue);
    if (!found) {
      result.message = badRow_.empty()
                           ? Words(wording_, Text::CannotRead)
                           : Words(wording_, Text::Line, {std::to_string(lineNo), badRow_});
      result.writeFailed = true;
      return result;
    }
    if (const std::optional<rg_DrawEntry>& stored = *found) {
      // The draw a correction replaces is no obstacle, but a correction
      // that changes nothing writes nothing.
      if (stored->SameDraw(*d) && (replacing.empty() || stored->issue == replacing)) {
        ++result.counts.skipped;
        continue;
      }
      if (stored->issue != replacing) {
        return refuse(lineNo,
                      Words(wording_, Text::AlreadyStored,
                            {issue, ToUtf8(DrawDateText(stored->date)) + " " + Describe(*stored),
                             ToUtf8(DrawDateText(d->date)) + " " + Describe(*d)}));
      }
    }
    if (std::string why = placed.Check(*d); !why.empty()) return refuse(lineNo, why);
    placed.Add(*d, lineNo);
    toAdd.push_back({std::move(*d), lineNo});
  }
  if (!toAdd.empty() && !WriteImport(lottery, toAdd, now, result, replacing)) return result;
  result.ok = true;
  result.counts.added = static_cast<int>(toAdd.size());
  for (const ImportedDraw& p : toAdd) result.counts.addedIssues.push_back(p.draw.issue);
  return result;
}

std::size_t MissingBetween(std::u16string_view a, std::u16string_view b,
                           std::vector<std::u16string>& out) {
  const auto digits = [](std::u16string_view s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return IsDigit(c); });
  };
  // Within a year only: how many issues a year holds is not known ahead.
  // The year is the first four digits of a seven-digit issue, the first
  // two of a five-digit one.
  const std::size_t yearDigits = a.size() == kYearIssueDigits ? 4 : 2;
  if ((a.size() != kYearIssueDigits && a.size() != kShortYearIssueDigits) || b.size() != a.size() ||
      a.substr(0, yearDigits) != b.substr(0, yearDigits) || !digits(a) || !digits(b)) {
    return 0;
  }
  const auto value = [](std::u16string_view s) {
    long long v = 0;
    for (char16_t c : s) v = v * 10 + (c - u'0');
    return v;
  };
  const long long to = value(b);
  std::size_t added = 0;
  for (long long n = value(a) + 1; n < to; ++n, ++added) {
    std::u16string issue = DecimalText(n);
    // A five-digit issue of the years 2000 to 2009 begins with a zero.
    if (issue.size() < a.size()) issue.insert(0, a.size() - issue.size(), u'0');
    out.push_back(std::move(issue));
  }
  return added;
}

std::vector<std::u16string> MissingIssues(const std::vector<rg_DrawEntry>& draws) {
  std::vector<std::u16string> out;
  for (std::size_t i = 1; i < draws.size(); ++i)
    MissingBetween(draws[i - 1].issue, draws[i].issue, out);
  std::sort(out.begin(), out.end());
  out.erase(std::unique(out.begin(), out.end()), out.end());
  return out;
}

bool rg_DrawArchive::WriteImport(LotteryCode lottery, const std::vector<ImportedDraw>& draws,
                                 double now, ImportResult& result,
                                 const std::u16string& replacing) {
  if (!EnsureTable() || Run(u"BEGIN IMMEDIATE;") != SQLITE_DONE) {
    result.message = Words(wording_, Text::CannotWrite);
    result.writeFailed = true;
    return false;
  }
  const auto rollBack = [&](int rc, std::string message) {
    ExecuteSql(store_->Handle(), u"ROLLBACK;");
    store_->Record(rc);
    result.writeFailed = true;
    result.message = std::move(message);
    return false;
  };
  if (!replacing.empty()) {
    if (const int rc = DeleteForms(lottery, replacing); rc != SQLITE_DONE)
      return rollBack(rc, Words(wording_, Text::WriteFailed));
  }
  for (const ImportedDraw& p : draws) {
    rg_SqlStatement s(store_->Handle(),
                      u"INSERT INTO xyh_draws (lottery,issue,drawdate,numbers,extra,stored) "
                      u"VALUES (?,?,?,?,?,?);");
    s.BindInt(1, NumberOf(lottery));
    s.BindText(2, p.draw.issue);
    s.BindText(3, DrawDateText(p.draw.date));
    s.BindText(4, FromUtf8(NumbersText(p.draw.numbers)));
    s.BindText(5, FromUtf8(NumbersText(p.draw.extra)));
    s.BindDouble(6, now);
    const int rc = s.Valid() ? s.Step() : s.PrepareCode();
    if (rc != SQLITE_DONE) {
      s.Finalize();
      return rollBack(rc, Words(wording_, Text::Line,
                                {std::to_string(p.line), Words(wording_, Text::WriteFailed)}));
    }
  }
  if (const int rc = Run(u"COMMIT;"); rc != SQLITE_DONE)
    return rollBack(rc, Words(wording_, Text::NotCommitted));
  return true;
}

}  // namespace rg_com_ptl_xyh
