#include "history/Ledger.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <unordered_map>

#include "history/EasyDb.h"
#include "history/SavedCasts.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

std::u16string Digits(int value, int width) {
  std::u16string text = DecimalText(value);
  if (static_cast<int>(text.size()) < width)
    text.insert(0, static_cast<std::size_t>(width) - text.size(), u'0');
  return text;
}

double PeriodStart(double date, rg_LedgerBy by) {
  const DateParts p = SplitDate(date);
  switch (by) {
    case rg_LedgerBy::Month: return MakeDate(p.year, p.month, 1);
    case rg_LedgerBy::Year: return MakeDate(p.year, 1, 1);
    case rg_LedgerBy::Draw: break;
  }
  return std::floor(date);
}

struct Where {
  rg_CastStatus status = rg_CastStatus::Pending;
  const rg_DrawEntry* draw = nullptr;
  std::optional<rg_DrawNumbers> numbers;
  double date = 0.0;
};

}  // namespace

void rg_LedgerFigures::Add(const rg_LedgerPlay& play) {
  ++plays;
  bets += play.bets;
  spent += play.spent;
  won += play.won;
  floatingUnknown += play.floatingUnknown;
  bestTier = BetterTier(bestTier, play.bestTier);
}

std::u16string LedgerPeriodKey(const rg_LedgerPlay& play, rg_LedgerBy by) {
  const DateParts p = SplitDate(play.date);
  switch (by) {
    case rg_LedgerBy::Draw:
      return play.status == rg_CastStatus::Scored ? play.issue : DrawDateText(play.date);
    case rg_LedgerBy::Month: return Digits(p.year, 4) + u"-" + Digits(p.month, 2);
    case rg_LedgerBy::Year: break;
  }
  return Digits(p.year, 4);
}

Result<std::vector<rg_LedgerPlay>> PlaceLedgerPlays(const std::vector<rg_YsModel>& casts,
                                                    const std::vector<rg_StoredPlay>& plays,
                                                    const rg_DrawIndex& index,
                                                    const rg_PrizeAmounts& amounts) {
  std::unordered_map<std::int64_t, const rg_YsModel*> byId;
  byId.reserve(casts.size());
  for (const rg_YsModel& c : casts) byId.emplace(c._id, &c);
  // Casts often carry several plays: each cast is placed once.
  std::unordered_map<std::int64_t, Where> placed;
  std::vector<rg_LedgerPlay> out;
  out.reserve(plays.size());
  for (const rg_StoredPlay& p : plays) {
    // Its money is not known: a ledger without it would be wrong unsaid.
    if (!p.damage.empty()) {
      return Fail(rg_StoreStatus::Damaged, "play " + std::to_string(p.id) + " of saved cast " +
                                               std::to_string(p.castId) + ": " +
                                               ToUtf8(kDamagedPlayText) + " (" + p.damage + ")");
    }
    const auto cast = byId.find(p.castId);
    if (cast == byId.end()) {
      return Fail(rg_StoreStatus::Damaged, "play " + std::to_string(p.id) +
                                               " belongs to the saved cast " +
                                               std::to_string(p.castId) + ", which is not stored");
    }
    const rg_YsModel& record = *cast->second;
    if (!record.damage.empty()) {
      return Fail(rg_StoreStatus::Damaged,
                  "play " + std::to_string(p.id) + " belongs to the saved cast " +
                      std::to_string(p.castId) + ", which is damaged (" + record.damage + ")");
    }
    auto [it, fresh] = placed.try_emplace(p.castId);
    Where& where = it->second;
    if (fresh) {
      const bool drawTime = IsDrawTimeCast(record);
      const rg_CastTarget target = LocateCast(index, record.ysday, drawTime);
      where.status = target.status;
      where.draw = target.draw;
      if (target.draw != nullptr) where.numbers = DoubleColorNumbers(*target.draw);
      where.date =
          target.draw != nullptr ? target.draw->date : ExpectedDrawDate(record.ysday, drawTime);
    }
    rg_LedgerPlay row;
    row.playId = p.id;
    row.castId = p.castId;
    row.status = where.status;
    row.date = where.date;
    row.bets = PlayBets(p.play);
    row.spent = PlayCost(p.play);
    if (where.status == rg_CastStatus::Scored && where.numbers) {
      row.issue = where.draw->issue;
      const rg_PlayCheck check = ScorePlay(p.play, &*where.numbers);
      const rg_PrizeSum sum = PlayPrize(check, p.play.multiple, AmountsOf(amounts, row.issue));
      row.won = sum.won;
      row.floatingUnknown = sum.UnknownBets();
      row.bestTier = check.bestTier;
    }
    out.push_back(std::move(row));
  }
  return out;
}

rg_Ledger BuildLedger(const std::vector<rg_LedgerPlay>& plays, const rg_LedgerOptions& options) {
  rg_Ledger ledger;
  // (start date, key) keeps periods in date order; a draw period sorts by
  // its draw date.
  std::map<std::pair<double, std::u16string>, rg_LedgerFigures> periods;
  rg_LedgerTotals& totals = ledger.totals;
  for (const rg_LedgerPlay& p : plays) {
    const double day = std::floor(p.date);
    if (options.from && day < *options.from) continue;
    if (options.to && day > *options.to) continue;
    periods[{PeriodStart(p.date, options.by), LedgerPeriodKey(p, options.by)}].Add(p);
    totals.figures.Add(p);
    if (p.status == rg_CastStatus::Pending) totals.pendingSpent += p.spent;
    if (p.status == rg_CastStatus::Missing) totals.missingSpent += p.spent;
  }
  for (auto& [at, figures] : periods) {
    rg_LedgerPeriod period{at.second, at.first, figures, false};
    period.overBudget =
        options.by == rg_LedgerBy::Month && options.budget && figures.spent > *options.budget;
    ledger.periods.push_back(std::move(period));
  }
  const std::int64_t decided = totals.figures.spent - totals.pendingSpent - totals.missingSpent;
  if (decided > 0) {
    totals.returnRate =
        std::round(static_cast<double>(totals.figures.won) / static_cast<double>(decided) * 1e4) /
        1e4;
  }
  return ledger;
}

Result<std::vector<rg_LedgerPlay>> ReadLedgerPlays(rg_EasyDb& store) {
  const rg_DrawArchive archive(store);
  const rg_DrawIndex index(archive.DoubleColorDraws());
  if (archive.LastStatus() != rg_StoreStatus::Ok) {
    return Fail(archive.LastStatus(), archive.BadRow());
  }
  auto amounts = rg_DrawPrizes(store).All(LotteryCode::DoubleColor);
  if (!amounts) return Fail(amounts.error());
  const std::vector<rg_YsModel> casts = LoadAllCasts(store);
  if (store.LastStatus() != rg_StoreStatus::Ok) return Fail(store.LastStatus());
  const std::vector<rg_StoredPlay> plays = rg_PlayStore(store).List();
  if (store.LastStatus() != rg_StoreStatus::Ok) return Fail(store.LastStatus());
  return PlaceLedgerPlays(casts, plays, index, *amounts);
}

std::optional<std::int64_t> ParseBudget(std::u16string_view text) {
  if (text.empty() || text.size() > 9 || text.front() == u'0') return std::nullopt;
  std::int64_t value = 0;
  for (char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  if (value > kBudgetMax) return std::nullopt;
  return value;
}

std::string GroupedYuan(std::int64_t yuan) {
  std::string digits = std::to_string(yuan < 0 ? -yuan : yuan);
  for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
    digits.insert(static_cast<std::size_t>(at), ",");
  return (yuan < 0 ? "-" : "") + digits;
}

std::string LedgerCsv(const rg_Ledger& ledger, bool withBudget) {
  std::string out = "period,plays,bets,spent,won,floatingUnknown,net,bestTier";
  out += withBudget ? ",overBudget\n" : "\n";
  const auto line = [&](const std::string& period, const rg_LedgerFigures& f, bool over) {
    out += period + ',' + std::to_string(f.plays) + ',' + std::to_string(f.bets) + ',' +
           std::to_string(f.spent) + ',' + std::to_string(f.won) + ',' +
           std::to_string(f.floatingUnknown) + ',' + std::to_string(f.Net()) + ',' +
           (f.bestTier > 0 ? std::to_string(f.bestTier) : "");
    if (withBudget) out += over ? ",1" : ",0";
    out += '\n';
  };
  for (const rg_LedgerPeriod& p : ledger.periods) line(ToUtf8(p.key), p.figures, p.overBudget);
  line("total", ledger.totals.figures, false);
  return out;
}

std::int64_t MonthSpent(const std::vector<rg_LedgerPlay>& plays, double day) {
  const double month = PeriodStart(day, rg_LedgerBy::Month);
  std::int64_t spent = 0;
  for (const rg_LedgerPlay& p : plays) {
    if (PeriodStart(p.date, rg_LedgerBy::Month) == month) spent += p.spent;
  }
  return spent;
}

}  // namespace rg_com_ptl_xyh

namespace rg_com_ptl_xyh {

Result<rg_MonthSpent> MonthWithNewPlay(rg_EasyDb& store, const rg_YsModel& cast,
                                       const rg_Play& play) {
  const auto plays = ReadLedgerPlays(store);
  if (!plays) return Fail(plays.error());
  const rg_DrawArchive archive(store);
  const rg_DrawIndex index(archive.DoubleColorDraws());
  const auto placed = PlaceLedgerPlays({cast}, {{0, cast._id, play, {}}}, index, {});
  if (!placed || placed->empty()) return Fail(rg_StoreStatus::Failed);
  const rg_LedgerPlay& added = placed->front();
  return rg_MonthSpent{added.date, MonthSpent(*plays, added.date) + added.spent};
}

}  // namespace rg_com_ptl_xyh
