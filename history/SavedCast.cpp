#include "history/SavedCast.h"

#include <algorithm>

#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

rg_DrawIndex::rg_DrawIndex(std::vector<rg_DrawEntry> draws) : draws_(std::move(draws)) {
  // Only the draws the scorer can read take part.
  std::erase_if(draws_, [](const rg_DrawEntry& d) { return !DoubleColorNumbers(d); });
  std::stable_sort(draws_.begin(), draws_.end(),
                   [](const rg_DrawEntry& a, const rg_DrawEntry& b) { return a.date < b.date; });
  dates_.reserve(draws_.size());
  keys_.reserve(draws_.size());
  for (const rg_DrawEntry& d : draws_) {
    dates_.push_back(d.date);
    keys_.push_back(KeyOf(d.issue));
  }
}

rg_DrawIndex::IssueKey rg_DrawIndex::KeyOf(std::u16string_view issue) {
  IssueKey key;
  // Eighteen digits still fit the value; a year needs a number after it.
  if (issue.size() < 5 || issue.size() > 18) return key;
  std::int64_t value = 0;
  int year = 0;
  for (std::size_t i = 0; i < issue.size(); ++i) {
    const char16_t c = issue[i];
    if (c < u'0' || c > u'9') return key;
    value = value * 10 + (c - u'0');
    if (i < 4) year = year * 10 + (c - u'0');
  }
  key.value = value;
  key.year = year;
  key.firstOfYear = issue.substr(issue.size() - 3) == u"001";
  return key;
}

const rg_DrawEntry* rg_DrawIndex::Target(double castTime, bool drawTimeCast) const {
  const auto i = TargetDraw(dates_, castTime, drawTimeCast);
  return i ? &draws_[*i] : nullptr;
}

rg_CastTarget LocateCast(const rg_DrawIndex& index, double castTime, bool drawTimeCast) {
  rg_CastTarget out;
  const auto found = TargetDraw(index.dates_, castTime, drawTimeCast);
  if (!found) {
    out.expectedDate = ExpectedDrawDate(castTime, drawTimeCast);
    return out;
  }
  const std::size_t t = *found;
  const rg_DrawIndex::IssueKey& target = index.keys_[t];
  const rg_DrawIndex::IssueKey* before = t > 0 ? &index.keys_[t - 1] : nullptr;
  const bool sameYear = before != nullptr && before->year >= 0 && before->year == target.year;
  const int castYear = SplitDate(castTime).year;
  bool confirmed = sameYear && target.value == before->value + 1;
  if (!confirmed && target.firstOfYear) {
    // The year's first draw is the cast's when no draw day of the cast's
    // year was left for it.
    confirmed = castYear == target.year ||
                SplitDate(ExpectedDrawDate(castTime, drawTimeCast)).year != castYear;
  }
  if (confirmed) {
    out.status = rg_CastStatus::Scored;
    out.draw = &index.draws_[t];
    return out;
  }
  out.status = rg_CastStatus::Missing;
  out.expectedDate = ExpectedDrawDate(castTime, drawTimeCast);
  const auto after = [&](const rg_DrawIndex::IssueKey& key, double date) {
    out.missingIssue = DecimalText(key.value + 1);
    out.expectedDate = DrawDayFrom(AddDays(date, 1));
  };
  if (sameYear) {
    after(*before, index.dates_[t - 1]);
  } else if (target.year >= 0 && !target.firstOfYear) {
    out.missingIssue = DecimalText(target.year) + u"001";
    out.expectedDate = DrawDayFrom(MakeDate(target.year, 1, 1));
  } else if (before != nullptr && before->year >= 0 && before->year == castYear) {
    after(*before, index.dates_[t - 1]);
    out.missingUncertain = true;
  }
  return out;
}

rg_DrawSuggestion SuggestDrawToAdd(const rg_DrawIndex& index, double now) {
  const std::vector<rg_DrawEntry>& draws = index.Draws();
  std::vector<std::u16string> hole;
  for (std::size_t i = 1; i < draws.size(); ++i) {
    if (MissingBetween(draws[i - 1].issue, draws[i].issue, hole) > 0)
      return {hole.front(), DrawDayFrom(AddDays(draws[i - 1].date, 1))};
  }
  if (draws.empty()) return {u"", DrawDayFrom(now)};
  const rg_DrawEntry& newest = draws.back();
  std::u16string next;
  if (const auto key = index.keys_.back(); key.value >= 0) next = DecimalText(key.value + 1);
  return {next, DrawDayFrom(AddDays(newest.date, 1))};
}

std::u16string MissingDrawText(std::u16string_view missingIssue, bool uncertain) {
  if (missingIssue.empty()) return u"无法确认对应期号: 缺少更早的开奖数据";
  return u"第" + std::u16string(missingIssue) + (uncertain ? u"期可能未收录" : u"期未收录");
}

const rg_DrawEntry* rg_DrawIndex::Find(std::u16string_view issue) const {
  if (draws_.empty()) return nullptr;
  if (issue.empty()) return &draws_.back();
  for (const rg_DrawEntry& d : draws_) {
    if (d.issue == issue) return &d;
  }
  return nullptr;
}

std::optional<rg_DrawNumbers> DoubleColorNumbers(const rg_DrawEntry& draw) {
  if (draw.lottery != LotteryCode::DoubleColor || draw.numbers.size() != 6 ||
      draw.extra.size() != 1)
    return std::nullopt;
  rg_DrawNumbers n;
  std::copy(draw.numbers.begin(), draw.numbers.end(), n.red.begin());
  n.blue = draw.extra[0];
  return n;
}

std::optional<rg_DrawNumbers> ScoredDraw(const rg_CastResult& result) {
  if (result.status != rg_CastStatus::Scored || result.draw == nullptr) return std::nullopt;
  return DoubleColorNumbers(*result.draw);
}

void ScorePlays(rg_CastResult& result, const std::vector<rg_PlayResult>& plays) {
  const auto drawn = ScoredDraw(result);
  result.plays.clear();
  result.playsBestTier = 0;
  result.playsFixedPrize = 0;
  for (const rg_PlayResult& given : plays) {
    rg_PlayResult& p = result.plays.emplace_back(given);
    if (!p.damage.empty()) continue;
    SortPlay(p.play);
    p.check = ScorePlay(p.play, drawn ? &*drawn : nullptr);
    result.playsBestTier = BetterTier(result.playsBestTier, p.check.bestTier);
    result.playsFixedPrize += p.check.fixedPrize;
  }
}

rg_CastResult CheckNumbers(const DerivedNumbers& numbers, double castTime, bool drawTimeCast,
                           const rg_DrawIndex& index) {
  rg_CastResult result;
  rg_CastTarget target = LocateCast(index, castTime, drawTimeCast);
  result.status = target.status;
  result.draw = target.draw;
  result.expectedDrawDate = target.expectedDate;
  result.missingIssue = std::move(target.missingIssue);
  result.missingUncertain = target.missingUncertain;
  const auto drawn = ScoredDraw(result);
  result.check = ScoreTickets(PlayedNumbers(numbers), drawn ? &*drawn : nullptr);
  return result;
}

struct rg_SavedCastDeriver::Engine {
  FixedClock clock{0.0, Clock::System().BiasMinutes()};
  rg_GuaReport report;
  rg_CastDispatch dispatch{clock, report};
  Engine() {
    report.SetReadyHandler([](rg_GuaAnalysis& analysis) { BuildNumberProfile(analysis); });
  }
};

rg_SavedCastDeriver::rg_SavedCastDeriver() : engine_(std::make_unique<Engine>()) {}
rg_SavedCastDeriver::~rg_SavedCastDeriver() = default;

std::optional<DerivedNumbers> rg_SavedCastDeriver::Derive(const rg_YsModel& record) {
  std::optional<rg_QiGuaModel> request = RequestOfRecord(record);
  if (!request) return std::nullopt;
  // A stored cast keeps its id, so a time cast keeps its stored number and
  // time; the clock stands at the stored time, so a number cast is dated as
  // it was saved rather than now.
  if (request->id == 0) request->id = -1;
  const auto verdict = ValidateCast(*request);
  if (!verdict || !verdict->Accepted() || !InDateRange(record.ysday)) return std::nullopt;
  engine_->clock.Set(record.ysday);
  engine_->dispatch.Dispatch(rg_CastDispatch::kEngineTag, verdict->Code(), verdict->message,
                             *request);
  return DeriveNumbers(engine_->report.Analysis().profile);
}

rg_CastResult rg_SavedCastDeriver::Check(const rg_YsModel& record, const rg_DrawIndex& index,
                                         const std::vector<rg_PlayResult>& plays) {
  const auto numbers = Derive(record);
  rg_CastResult result =
      CheckNumbers(numbers.value_or(DerivedNumbers{}), record.ysday, IsDrawTimeCast(record), index);
  ScorePlays(result, plays);
  return result;
}

std::vector<rg_CastTier> CastTiers(const std::vector<rg_YsModel>& casts, const rg_DrawIndex& index,
                                   rg_SavedCastDeriver& deriver, const std::atomic<bool>* abort,
                                   const std::map<std::int64_t, std::vector<rg_Play>>* plays) {
  std::vector<rg_CastTier> out;
  out.reserve(casts.size());
  std::vector<rg_PlayResult> castPlays;
  for (const rg_YsModel& cast : casts) {
    if (abort != nullptr && *abort) break;
    int tier = 0;
    // A cast whose draw the archive cannot vouch for is never scored, nor
    // are its plays.
    const rg_DrawEntry* target = LocateCast(index, cast.ysday, IsDrawTimeCast(cast)).draw;
    castPlays.clear();
    if (plays != nullptr) {
      if (const auto it = plays->find(cast._id); it != plays->end()) {
        for (const rg_Play& p : it->second) castPlays.push_back({0, p, {}, {}});
      }
    }
    if (target != nullptr) tier = deriver.Check(cast, index, castPlays).BestTier();
    out.push_back({cast._id, tier, target != nullptr ? target->issue : std::u16string()});
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
