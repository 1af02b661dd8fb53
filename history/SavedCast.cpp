#include "history/SavedCast.h"

#include <algorithm>

#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

rg_DrawIndex::rg_DrawIndex(std::vector<rg_DrawEntry> draws) : draws_(std::move(draws)) {
  // Only the draws the scorer can read take part.
  std::erase_if(draws_, [](const rg_DrawEntry& d) { return !DoubleColorNumbers(d); });
  std::stable_sort(draws_.begin(), draws_.end(),
                   [](const rg_DrawEntry& a, const rg_DrawEntry& b) { return a.date < b.date; });
  dates_.reserve(draws_.size());
  for (const rg_DrawEntry& d : draws_) dates_.push_back(d.date);
}

const rg_DrawEntry* rg_DrawIndex::Target(double castTime, bool drawTimeCast) const {
  const auto i = TargetDraw(dates_, castTime, drawTimeCast);
  return i ? &draws_[*i] : nullptr;
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
  if (draw.lottery != 101 || draw.numbers.size() != 6 || draw.extra.size() != 1)
    return std::nullopt;
  rg_DrawNumbers n;
  std::copy(draw.numbers.begin(), draw.numbers.end(), n.red.begin());
  n.blue = draw.extra[0];
  return n;
}

std::optional<rg_DrawNumbers> ScoredDraw(const rg_CastResult& result) {
  if (result.draw == nullptr) return std::nullopt;
  return DoubleColorNumbers(*result.draw);
}

void ScorePlays(rg_CastResult& result, const std::vector<rg_PlayResult>& plays) {
  const auto drawn = ScoredDraw(result);
  result.plays.clear();
  result.playsBestTier = 0;
  result.playsFixedPrize = 0;
  for (const rg_PlayResult& given : plays) {
    rg_PlayResult& p = result.plays.emplace_back(given);
    SortPlay(p.play);
    p.check = ScorePlay(p.play, drawn ? &*drawn : nullptr);
    result.playsBestTier = BetterTier(result.playsBestTier, p.check.bestTier);
    result.playsFixedPrize += p.check.fixedPrize;
  }
}

rg_CastResult CheckNumbers(const DerivedNumbers& numbers, double castTime, bool drawTimeCast,
                           const rg_DrawIndex& index) {
  rg_CastResult result;
  result.draw = index.Target(castTime, drawTimeCast);
  const auto drawn = ScoredDraw(result);
  result.check = ScoreTickets(PlayedNumbers(numbers), drawn ? &*drawn : nullptr);
  if (result.draw == nullptr) result.expectedDrawDate = ExpectedDrawDate(castTime, drawTimeCast);
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
  rg_QiGuaModel request;
  // A stored cast keeps its id, so a time cast keeps its stored number and
  // time; the clock stands at the stored time, so a number cast is dated as
  // it was saved rather than now.
  request.id = record._id != 0 ? record._id : -1;
  request.method = record.ysindex;
  request.zodiac = record.gzsxid;
  request.castTime = record.ysday;
  request.numberText = record.ysnumber;
  request.upstr = record.upstr;
  request.downstr = record.downstr;
  request.timeChoice = record.rot;
  request.dong.assign(record.dong.begin(), record.dong.end());
  const auto verdict = ValidateCast(request);
  if (!verdict || verdict->code <= 0 || !InDateRange(record.ysday)) return std::nullopt;
  engine_->clock.Set(record.ysday);
  engine_->dispatch.Dispatch(rg_CastDispatch::kEngineTag, verdict->code, verdict->message, request);
  return DeriveNumbers(engine_->report.Analysis().profile);
}

rg_CastResult rg_SavedCastDeriver::Check(const rg_YsModel& record, const rg_DrawIndex& index,
                                         const std::vector<rg_PlayResult>& plays) {
  const auto numbers = Derive(record);
  rg_CastResult result = CheckNumbers(numbers.value_or(DerivedNumbers{}), record.ysday,
                                      IsDrawTimeCast(record.ysindex, record.rot), index);
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
    const rg_DrawEntry* target = index.Target(cast.ysday, IsDrawTimeCast(cast.ysindex, cast.rot));
    castPlays.clear();
    if (plays != nullptr) {
      if (const auto it = plays->find(cast._id); it != plays->end()) {
        for (const rg_Play& p : it->second) castPlays.push_back({0, p, {}});
      }
    }
    if (target != nullptr) tier = deriver.Check(cast, index, castPlays).BestTier();
    out.push_back({cast._id, tier, target != nullptr ? target->issue : std::u16string()});
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
