#include "history/DrawPrizes.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

#include "history/EasyDb.h"
#include "history/SqlStatement.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::u16string_view kFirstColumn = u"prize1";
constexpr std::u16string_view kSecondColumn = u"prize2";

std::string_view TrimView(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A stored amount: NULL is unknown; anything but a whole number in range
// is a damaged row.
bool ReadAmount(const rg_SqlStatement& s, int column, std::optional<std::int64_t>& out) {
  out.reset();
  const std::string_view text = s.ColumnUtf8(column);
  if (text.empty()) return true;
  const auto amount = ParsePrizeAmount(text);
  if (!amount) return false;
  out = *amount;
  return true;
}

struct AmountLine {
  int line;
  std::u16string issue;
  rg_FloatingAmounts amounts;
};

}  // namespace

rg_FloatingAmounts AmountsOf(const rg_PrizeAmounts& amounts, std::u16string_view issue) {
  const auto it = amounts.find(std::u16string(issue));
  return it != amounts.end() ? it->second : rg_FloatingAmounts{};
}

Result<std::int64_t> ParsePrizeAmount(std::string_view text) {
  const std::string why = "a prize amount is a whole number of yuan from 1 to 10000000";
  if (text.empty() || text.size() > 8 || text.front() == '0' ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return Refused(why);
  std::int64_t value = 0;
  for (char c : text) value = value * 10 + (c - '0');
  if (value > kFloatingAmountMax) return Refused(why);
  return value;
}

std::optional<bool> rg_DrawPrizes::HasColumns() const {
  if (store_->Ready(false) != rg_StoreStatus::Ok) return std::nullopt;
  rg_SqlStatement s(store_->Handle(), u"SELECT name FROM pragma_table_info('xyh_draws');");
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return std::nullopt;
  }
  int found = 0;
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    const std::u16string name = s.ColumnText(0);
    if (name == kFirstColumn || name == kSecondColumn) ++found;
  }
  store_->Record(rc);
  if (rc != SQLITE_DONE) return std::nullopt;
  return found == 2;
}

bool rg_DrawPrizes::AddColumns() {
  const auto has = HasColumns();
  if (!has) return false;
  if (*has) return true;
  // Nullable and added at the end: a row stored before reads as "unknown",
  // and a program without the amounts reads its columns as always.
  for (std::u16string_view column : {kFirstColumn, kSecondColumn}) {
    rg_SqlStatement probe(store_->Handle(),
                          u"SELECT " + std::u16string(column) + u" FROM xyh_draws LIMIT 0;");
    if (probe.Valid()) continue;
    rg_SqlStatement s(store_->Handle(), u"ALTER TABLE xyh_draws ADD COLUMN " +
                                            std::u16string(column) + u" INTEGER DEFAULT NULL;");
    const int rc = s.Valid() ? s.Step() : s.PrepareCode();
    store_->Record(rc);
    if (rc != SQLITE_DONE) return false;
  }
  return true;
}

Result<rg_PrizeAmounts> rg_DrawPrizes::All(LotteryCode lottery) const {
  rg_PrizeAmounts out;
  const auto has = HasColumns();
  if (!has) return Fail(store_->LastStatus());
  if (!*has) return out;
  rg_SqlStatement s(store_->Handle(),
                    u"SELECT issue,prize1,prize2 FROM xyh_draws WHERE lottery=? AND "
                    u"(prize1 IS NOT NULL OR prize2 IS NOT NULL);");
  if (!s.Valid()) {
    store_->Record(s.PrepareCode());
    return Fail(store_->LastStatus());
  }
  s.BindInt(1, NumberOf(lottery));
  int rc = SQLITE_ROW;
  while ((rc = s.Step()) == SQLITE_ROW) {
    const std::u16string stored = FromUtf8(s.ColumnUtf8(0));
    const auto issue = NormalIssue(lottery, stored);
    rg_FloatingAmounts amounts;
    if (!issue || !ReadAmount(s, 1, amounts.first) || !ReadAmount(s, 2, amounts.second)) {
      store_->Record(SQLITE_DONE);
      return Fail(rg_StoreStatus::Damaged,
                  "the stored draw of lottery " + std::to_string(NumberOf(lottery)) +
                      " with the issue \"" + ToUtf8(stored) +
                      "\" holds a prize amount that is no whole number of yuan from 1 to "
                      "10000000");
    }
    out[*issue] = amounts;
  }
  store_->Record(rc);
  if (rc != SQLITE_DONE) return Fail(store_->LastStatus());
  return out;
}

Result<void> rg_DrawPrizes::Write(LotteryCode lottery, const rg_PrizeAmounts& amounts) {
  if (amounts.empty()) return {};
  const auto failed = [this](int rc) {
    ExecuteSql(store_->Handle(), u"ROLLBACK;");
    store_->Record(rc);
    return Fail(store_->LastStatus(), "the prize amounts could not be written");
  };
  if (store_->Ready(true) != rg_StoreStatus::Ok) return Fail(store_->LastStatus());
  {
    rg_SqlStatement begin(store_->Handle(), u"BEGIN IMMEDIATE;");
    const int rc = begin.Valid() ? begin.Step() : begin.PrepareCode();
    store_->Record(rc);
    if (rc != SQLITE_DONE) return Fail(store_->LastStatus(), "the history cannot be written");
  }
  if (!AddColumns()) return failed(SQLITE_ERROR);
  for (const auto& [issue, given] : amounts) {
    // Any stored form of the issue (an older version kept leading zeros)
    // is the same draw.
    rg_SqlStatement s(store_->Handle(),
                      u"UPDATE xyh_draws SET prize1=coalesce(?,prize1),prize2=coalesce(?,prize2) "
                      u"WHERE lottery=? AND CAST(issue AS INTEGER)=?;");
    if (!s.Valid()) return failed(s.PrepareCode());
    if (given.first) s.BindInt(1, *given.first);
    if (given.second) s.BindInt(2, *given.second);
    s.BindInt(3, NumberOf(lottery));
    s.BindInt(4, std::stoll(ToUtf8(issue)));
    if (const int rc = s.Step(); rc != SQLITE_DONE) return failed(rc);
  }
  rg_SqlStatement commit(store_->Handle(), u"COMMIT;");
  const int rc = commit.Valid() ? commit.Step() : commit.PrepareCode();
  if (rc != SQLITE_DONE) return failed(rc);
  store_->Record(rc);
  return {};
}

Result<void> rg_DrawPrizes::Set(LotteryCode lottery, std::u16string_view issue,
                                const rg_FloatingAmounts& amounts) {
  for (const auto& amount : {amounts.first, amounts.second}) {
    if (amount && (*amount < 1 || *amount > kFloatingAmountMax))
      return Refused("a prize amount is a whole number of yuan from 1 to 10000000");
  }
  if (!amounts.first && !amounts.second) return Refused("no prize amount given");
  const auto normal = NormalIssue(lottery, issue);
  if (!normal) return NotFound("no draw with the issue " + ToUtf8(issue) + " is stored");
  const auto stored = archive_.Find(lottery, *normal);
  if (!stored) return Fail(stored.error());
  if (!*stored) return NotFound("no draw with the issue " + ToUtf8(*normal) + " is stored");
  return Write(lottery, {{*normal, amounts}});
}

Result<rg_DrawArchive::ImportCounts> rg_DrawPrizes::Import(LotteryCode lottery,
                                                           std::string_view csv, double now) {
  std::string_view body = csv;
  if (body.substr(0, 3) == "\xEF\xBB\xBF") body.remove_prefix(3);
  const std::size_t headerEnd = std::min(body.find('\n'), body.size());
  if (TrimView(body.substr(0, headerEnd)) != kPrizeHeader)
    return archive_.Import(lottery, csv, now);
  if (lottery != LotteryCode::DoubleColor)
    return Refused("line 1: first,second are the floating prizes of 双色球 draws only");
  // The draws go to the archive's own import as the four columns it reads,
  // line for line, so that its refusals name the same lines.
  std::string draws = "issue,date,red,blue\n";
  std::vector<AmountLine> stated;
  int lineNo = 1;
  std::size_t pos = headerEnd < body.size() ? headerEnd + 1 : body.size();
  while (pos < body.size()) {
    const std::size_t end = std::min(body.find('\n', pos), body.size());
    const std::string_view line = body.substr(pos, end - pos);
    pos = end + 1;
    ++lineNo;
    if (TrimView(line).empty()) {
      draws += '\n';
      continue;
    }
    const auto commas = std::count(line.begin(), line.end(), ',');
    const std::string at = "line " + std::to_string(lineNo) + ": ";
    if (commas != 5) {
      return Refused(at + "expected 6 fields (issue,date,red,blue,first,second), found " +
                     std::to_string(commas + 1));
    }
    const std::size_t second = line.rfind(',');
    const std::size_t first = line.rfind(',', second - 1);
    draws.append(line.substr(0, first)).append("\n");
    AmountLine amounts{lineNo, {}, {}};
    const std::pair<std::string_view, std::optional<std::int64_t>*> fields[] = {
        {TrimView(line.substr(first + 1, second - first - 1)), &amounts.amounts.first},
        {TrimView(line.substr(second + 1)), &amounts.amounts.second}};
    for (std::size_t i = 0; i < 2; ++i) {
      if (fields[i].first.empty()) continue;
      const auto amount = ParsePrizeAmount(fields[i].first);
      if (!amount) {
        return Refused(at + (i == 0 ? "first" : "second") + ": \"" + std::string(fields[i].first) +
                       "\": " + amount.error().message);
      }
      *fields[i].second = *amount;
    }
    if (!amounts.amounts.first && !amounts.amounts.second) continue;
    const std::string_view issue = TrimView(line.substr(0, line.find(',')));
    if (const auto normal = NormalIssue(lottery, FromUtf8(issue))) amounts.issue = *normal;
    stated.push_back(std::move(amounts));
  }
  // A stated amount other than the stored one (or one stated before in the
  // file) refuses the file before anything is written.
  auto stored = All(lottery);
  if (!stored) return Fail(stored.error());
  rg_PrizeAmounts toWrite;
  std::map<std::pair<std::u16string, int>, int> statedOn;  // (issue, tier) -> line
  for (const AmountLine& a : stated) {
    if (a.issue.empty()) continue;  // the draw import names the bad issue
    const rg_FloatingAmounts before = AmountsOf(*stored, a.issue);
    rg_FloatingAmounts& merged = toWrite[a.issue];
    for (int tier = 1; tier <= 2; ++tier) {
      const auto given = a.amounts.OfTier(tier);
      if (!given) continue;
      const auto earlier = statedOn.find({a.issue, tier});
      const auto known = earlier != statedOn.end() ? merged.OfTier(tier) : before.OfTier(tier);
      if (known && *known != *given) {
        return Refused("line " + std::to_string(a.line) + ": issue " + ToUtf8(a.issue) + " " +
                       (earlier != statedOn.end()
                            ? "is given on line " + std::to_string(earlier->second)
                            : std::string("is stored")) +
                       " with " + ToUtf8(TierName(tier)) + " " + std::to_string(*known) +
                       " yuan; this line has " + std::to_string(*given));
      }
      (tier == 1 ? merged.first : merged.second) = given;
      statedOn.emplace(std::pair{a.issue, tier}, a.line);
    }
  }
  auto counts = archive_.Import(lottery, draws, now);
  if (!counts) return counts;
  if (auto written = Write(lottery, toWrite); !written) {
    Failure failure = written.error();
    failure.message = "the draws were imported, but their prize amounts could not be stored";
    return Fail(std::move(failure));
  }
  return counts;
}

Result<std::string> rg_DrawPrizes::Export(LotteryCode lottery) const {
  const auto amounts = All(lottery);
  if (!amounts) return Fail(amounts.error());
  std::string text = archive_.Export(lottery);
  if (archive_.LastStatus() != rg_StoreStatus::Ok) return Fail(archive_.LastStatus());
  if (amounts->empty()) return text;
  // The archive's lines, each with its draw's amounts added.
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t pos = 0;
  bool header = true;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find('\n', pos), text.size());
    const std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    out.append(line);
    if (header) {
      out += ",first,second\n";
      header = false;
      continue;
    }
    const rg_FloatingAmounts a = AmountsOf(*amounts, FromUtf8(line.substr(0, line.find(','))));
    out += ',' + (a.first ? std::to_string(*a.first) : "") + ',' +
           (a.second ? std::to_string(*a.second) : "") + '\n';
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
