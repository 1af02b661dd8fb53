#include "history/DrawArchive.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
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
std::string ReadEntry(const rg_SqlStatement& s, rg_DrawEntry& out) {
  // The stored number becomes a lottery here and nowhere else; one that
  // names none makes the row damaged, never some default lottery.
  const long long storedLottery = s.ColumnInt(0);
  const std::string_view storedIssue = s.ColumnUtf8(1);
  const auto bad = [&](const std::string& why) {
    return "the stored draw of lottery " + std::to_string(storedLottery) + " with the issue " +
           Quoted(storedIssue) + " " + why;
  };
  const auto lottery = LotteryCodeOf(storedLottery);
  const rg_DrawRule* rule = lottery ? FindDrawRule(*lottery) : nullptr;
  if (rule == nullptr) return bad("belongs to no lottery");
  out.lottery = *lottery;
  const auto issue = NormalIssue(out.lottery, FromUtf8(storedIssue));
  if (!issue) return bad("has no valid issue");
  out.issue = *issue;
  // Read once per stored draw, so the bytes are parsed where they lie: the
  // parsers accept ASCII digits, spaces and dashes only.
  const auto date = ParseDrawDate(s.ColumnUtf8(2));
  if (!date) return bad("has the date " + Quoted(s.ColumnUtf8(2)) + ", no real date");
  out.date = *date;
  auto numbers = ParseNumberList(s.ColumnUtf8(3));
  if (!numbers) return bad("holds " + Quoted(numbers.error().message) + " where a number belongs");
  auto extra = ParseNumberList(s.ColumnUtf8(4));
  if (!extra) return bad("holds " + Quoted(extra.error().message) + " where a number belongs");
  out.numbers = std::move(*numbers);
  out.extra = std::move(*extra);
  out.storedAt = s.ColumnDouble(5);
  if (std::string why = CheckDrawNumbers(*rule, out.numbers, out.extra); !why.empty())
    return bad("breaks the rule: " + why);
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

std::string CheckDrawDate(LotteryCode lottery, double date, double now) {
  static const double kFirstDoubleColor = MakeDate(2003, 2, 23);
  if (date >= std::floor(now) + 2) {
    return "the date " + ToUtf8(DrawDateText(date)) +
           " is after tomorrow; no such draw has been held yet";
  }
  if (lottery == LotteryCode::DoubleColor && date < kFirstDoubleColor) {
    return "the date " + ToUtf8(DrawDateText(date)) +
           " is before the first 双色球 draw (2003-02-23)";
  }
  return {};
}

std::string CheckDrawNumbers(const rg_DrawRule& rule, const std::vector<int>& numbers,
                             const std::vector<int>& extra) {
  const auto range = [](int low, int high) {
    return std::to_string(low) + " to " + std::to_string(high);
  };
  const auto kind = [](bool distinct) {
    return distinct ? " distinct numbers from " : " numbers from ";
  };
  // Messages are built only on failure: every stored row passes through here.
  if (static_cast<int>(numbers.size()) != rule.count) {
    return "red must hold " + std::to_string(rule.count) + kind(rule.distinct) +
           range(rule.low, rule.high) + ", not " + std::to_string(numbers.size()) + " numbers";
  }
  for (int n : numbers) {
    if (n < rule.low || n > rule.high)
      return "red number " + std::to_string(n) + " is outside " + range(rule.low, rule.high);
  }
  if (rule.distinct) {
    std::vector<int> sorted = numbers;
    std::sort(sorted.begin(), sorted.end());
    if (const auto it = std::adjacent_find(sorted.begin(), sorted.end()); it != sorted.end()) {
      return "red number " + std::to_string(*it) + " appears twice";
    }
  }
  if (static_cast<int>(extra.size()) != rule.extraCount) {
    if (rule.extraCount == 0) return "blue must be empty for this lottery";
    return "blue must hold " + std::to_string(rule.extraCount) + kind(rule.extraCount > 1) +
           range(rule.extraLow, rule.extraHigh) + ", not " + std::to_string(extra.size()) +
           " numbers";
  }
  for (int n : extra) {
    if (n < rule.extraLow || n > rule.extraHigh) {
      return "blue number " + std::to_string(n) + " is outside " +
             range(rule.extraLow, rule.extraHigh);
    }
  }
  if (extra.size() == 2 && extra[0] == extra[1])
    return "blue number " + std::to_string(extra[0]) + " appears twice";
  if (rule.extraApart) {
    for (int n : extra) {
      if (std::find(numbers.begin(), numbers.end(), n) != numbers.end()) {
        return "blue number " + std::to_string(n) + " is also a red number";
      }
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
    if (std::string why = ReadEntry(s, e); !why.empty()) {
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
        badRow_ = "the stored draws of lottery " + std::to_string(NumberOf(lottery)) +
                  " hold the issue " + ToUtf8(e.issue) +
                  " twice, with other numbers or another date";
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
  if (std::string why = ReadEntry(s, out); !why.empty()) {
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
  if (std::string why = ReadEntry(s, e); !why.empty()) {
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
                                   std::string_view line, double now) {
  // Counted before anything is split: a line of a million commas must not
  // become a million strings.
  const auto count = static_cast<std::size_t>(std::count(line.begin(), line.end(), ',')) + 1;
  if (count != 4)
    return Refused("expected 4 fields (issue,date,red,blue), found " + std::to_string(count));
  const std::vector<std::string> fields = SplitFields(line);
  rg_DrawEntry d;
  d.lottery = lottery;
  const std::string& issue = fields[0];
  if (issue.empty() || issue.size() > kMaxIssueDigits ||
      !std::all_of(issue.begin(), issue.end(), [](char c) { return IsDigit(c); })) {
    return Refused("the issue " + Quoted(issue) + " is not a number of at most 16 digits");
  }
  const auto normal = NormalIssue(lottery, FromUtf8(issue));
  if (!normal) {
    return Refused("the issue " + Quoted(issue) +
                   (lottery == LotteryCode::DoubleColor
                        ? " is no 双色球 issue (seven digits: the year and three)"
                        : " is no issue (it is 0)"));
  }
  d.issue = *normal;
  const auto date = ParseDrawDate(fields[1]);
  if (!date) {
    const std::string_view text = fields[1];
    const bool early =
        text.size() == 10 && text[4] == '-' && text[7] == '-' &&
        std::all_of(text.begin(), text.begin() + 4, [](char c) { return IsDigit(c); }) &&
        DigitsValue(text.substr(0, 4)) < 1900;
    return Refused("the date " + Quoted(fields[1]) +
                   (early ? " is out of range (draws are dated from 1900)"
                          : " is not a real date written YYYY-MM-DD"));
  }
  d.date = *date;
  if (std::string why = CheckDrawDate(lottery, d.date, now); !why.empty())
    return Refused(std::move(why));
  auto red = ParseNumberList(fields[2]);
  if (!red) {
    return Refused("red: " + Quoted(red.error().message) + " is not a number of one or two digits");
  }
  auto blue = ParseNumberList(fields[3]);
  if (!blue) {
    return Refused("blue: " + Quoted(blue.error().message) +
                   " is not a number of one or two digits");
  }
  d.numbers = std::move(*red);
  d.extra = std::move(*blue);
  if (std::string why = CheckDrawNumbers(rule, d.numbers, d.extra); !why.empty())
    return Refused(std::move(why));
  return d;
}

}  // namespace

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Outcome(ImportResult result) const {
  if (result.ok) return std::move(result.counts);
  Failure failure{LastStatus(), rg_FileProblem::None, 0, !result.writeFailed,
                  std::move(result.message)};
  return Fail(std::move(failure));
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
        result.why = "the first line must be the header " + std::string(kHeader);
        result.message = "line " + std::to_string(lineNo) + ": " + result.why;
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
    result.why = "the file is empty; the first line must be the header " + std::string(kHeader);
    result.message = "line 1: " + result.why;
    return Outcome(std::move(result));
  }
  return Outcome(ImportLines(lottery, lines, now));
}

Result<rg_DrawArchive::ImportCounts> rg_DrawArchive::Add(LotteryCode lottery,
                                                         std::string_view issue,
                                                         std::string_view date,
                                                         std::string_view red,
                                                         std::string_view blue, double now) {
  // One line of a draw file, so that a draw typed in meets every rule an
  // imported one does.
  const std::pair<std::string_view, std::string_view> fields[] = {
      {"issue", issue}, {"date", date}, {"red", red}, {"blue", blue}};
  for (const auto& [name, value] : fields) {
    if (value.find_first_of(",\r\n") != std::string_view::npos) {
      ImportResult result;
      result.why = std::string(name) + ": " + Quoted(value) +
                   " holds a comma or a line break; separate numbers with spaces";
      result.message = result.why;
      return Outcome(std::move(result));
    }
  }
  const std::string line = std::string(issue) + ',' + std::string(date) + ',' + std::string(red) +
                           ',' + std::string(blue);
  const std::pair<int, std::string_view> lines[] = {{1, line}};
  ImportResult result = ImportLines(lottery, lines, now);
  if (!result.ok && !result.why.empty()) result.message = result.why;
  return Outcome(std::move(result));
}

rg_DrawArchive::ImportResult rg_DrawArchive::ImportLines(
    LotteryCode lottery, std::span<const std::pair<int, std::string_view>> lines, double now) {
  badRow_.clear();
  ImportResult result;
  const rg_DrawRule* rule = FindDrawRule(lottery);
  if (rule == nullptr) {
    result.message = "unknown lottery " + std::to_string(NumberOf(lottery));
    return result;
  }
  std::vector<ImportedDraw> toAdd;
  std::map<std::u16string, std::size_t> inFile;  // issue -> index into seen
  std::vector<ImportedDraw> seen;
  const auto refuse = [&](int line, const std::string& why) {
    result.why = why;
    result.message = "line " + std::to_string(line) + ": " + why;
    return result;
  };
  for (const auto& [lineNo, line] : lines) {
    Result<rg_DrawEntry> d = ParseDrawLine(lottery, *rule, line, now);
    if (!d) return refuse(lineNo, d.error().message);
    const std::string issue = ToUtf8(d->issue);
    if (const auto it = inFile.find(d->issue); it != inFile.end()) {
      const ImportedDraw& first = seen[it->second];
      if (!first.draw.SameDraw(*d)) {
        return refuse(lineNo, "issue " + issue + " appears on line " + std::to_string(first.line) +
                                  " with other numbers or another date");
      }
      ++result.counts.skipped;
      continue;
    }
    inFile.emplace(d->issue, seen.size());
    seen.push_back({*d, lineNo});
    const auto found = Find(lottery, d->issue);
    if (!found) {
      result.message = badRow_.empty() ? "the history database cannot be read"
                                       : "line " + std::to_string(lineNo) + ": " + badRow_;
      result.writeFailed = true;
      return result;
    }
    if (const std::optional<rg_DrawEntry>& stored = *found) {
      if (!stored->SameDraw(*d)) {
        return refuse(lineNo, "issue " + issue + " is already stored as " +
                                  ToUtf8(DrawDateText(stored->date)) + " " + Describe(*stored) +
                                  "; this line has " + ToUtf8(DrawDateText(d->date)) + " " +
                                  Describe(*d));
      }
      ++result.counts.skipped;
      continue;
    }
    toAdd.push_back({std::move(*d), lineNo});
  }
  if (!toAdd.empty() && !WriteImport(lottery, toAdd, now, result)) return result;
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
  if (a.size() != kYearIssueDigits || b.size() != kYearIssueDigits ||
      a.substr(0, 4) != b.substr(0, 4) || !digits(a) || !digits(b)) {
    return 0;
  }
  const auto value = [](std::u16string_view s) {
    long long v = 0;
    for (char16_t c : s) v = v * 10 + (c - u'0');
    return v;
  };
  const long long to = value(b);
  std::size_t added = 0;
  for (long long n = value(a) + 1; n < to; ++n, ++added) out.push_back(DecimalText(n));
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
                                 double now, ImportResult& result) {
  if (!EnsureTable() || Run(u"BEGIN IMMEDIATE;") != SQLITE_DONE) {
    result.message = "the history database cannot be written";
    result.writeFailed = true;
    return false;
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
      ExecuteSql(store_->Handle(), u"ROLLBACK;");
      store_->Record(rc);
      result.writeFailed = true;
      result.message = "line " + std::to_string(p.line) + ": writing the draw failed";
      return false;
    }
  }
  if (const int rc = Run(u"COMMIT;"); rc != SQLITE_DONE) {
    ExecuteSql(store_->Handle(), u"ROLLBACK;");
    store_->Record(rc);
    result.message = "the import could not be committed";
    result.writeFailed = true;
    return false;
  }
  return true;
}

}  // namespace rg_com_ptl_xyh
