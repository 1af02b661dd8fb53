#include "shell/PrizeWatch.h"

#include <algorithm>

#include "draws/DrawStore.h"
#include "engine/Casting.h"
#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "history/Plays.h"
#include "history/SavedCasts.h"
#include "platform/Clock.h"

namespace rg_com_ptl_xyh {

namespace {

// Up to this many new casts are read row by row, more all at once.
constexpr std::size_t kReadOneByOne = 200;

bool SameDraws(const std::vector<rg_DrawEntry>& a, const std::vector<rg_DrawEntry>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (!a[i].SameDraw(b[i])) return false;
  }
  return true;
}

}  // namespace

rg_PrizeWatch::rg_PrizeWatch(rg_EasyDb& store, const Clock& clock, QObject* parent)
    : QObject(parent), store_(store), clock_(clock) {}

rg_PrizeWatch::~rg_PrizeWatch() = default;

void rg_PrizeWatch::Refresh() {
  if (check_.Running()) {
    again_ = true;
    return;
  }
  again_ = false;
  // A locked or failing file tells nothing: the marks shown stay as they
  // are. A damaged one gives what it can, and that much is checked.
  const auto unread = [this] {
    const rg_StoreStatus status = store_.LastStatus();
    return status != rg_StoreStatus::Ok && status != rg_StoreStatus::Damaged;
  };
  // The draws may also have come from the command line meanwhile.
  const rg_DrawArchive archive(store_);
  rg_DrawIndex fresh(archive.DoubleColorDraws());
  // Draws read only in part (a damaged file, a stored draw that does not
  // read back) would make casts wrongly look pending: the marks stay.
  if (archive.LastStatus() != rg_StoreStatus::Ok) return;
  auto listed = ListCastTimes(store_);
  if (unread()) return;
  auto allPlays = rg_PlayStore(store_).ByCast();
  if (unread()) return;
  plays_ = std::move(allPlays);
  playCounts_.clear();
  for (const auto& [id, list] : plays_) playCounts_.insert(id, static_cast<int>(list.size()));
  if (!indexRead_ || !SameDraws(fresh.Draws(), index_.Draws())) {
    index_ = std::move(fresh);
    indexRead_ = true;
    known_.clear();
  }
  // Only casts not checked yet are read in full: after a save that is one.
  listed_ = std::move(listed);
  std::vector<std::int64_t> unchecked;
  for (const auto& [id, castTime] : listed_) {
    if (!Unchanged(id, castTime)) unchecked.push_back(id);
  }
  std::vector<rg_YsModel> todo;
  if (unchecked.size() > kReadOneByOne) {
    todo = LoadAllCasts(store_);
    std::erase_if(todo, [this](const rg_YsModel& cast) { return Unchanged(cast._id, cast.ysday); });
  } else {
    for (std::int64_t id : unchecked) {
      if (auto cast = store_.Load(id); cast && *cast) todo.push_back(std::move(**cast));
    }
  }
  const std::uint64_t job = ++jobs_;
  struct Checked {
    std::vector<rg_CastTier> tiers;
    std::vector<double> times;
    std::map<std::int64_t, std::vector<rg_Play>> plays;
  };
  // Only the plays of the casts checked go along.
  std::map<std::int64_t, std::vector<rg_Play>> plays;
  for (const rg_YsModel& cast : todo) {
    if (const auto it = plays_.find(cast._id); it != plays_.end()) plays.insert(*it);
  }
  check_.RunThenCallback(
      [todo = std::move(todo), index = index_,
       plays = std::move(plays)](const std::atomic<bool>& abort) mutable {
        rg_SavedCastDeriver deriver;
        Checked out{CastTiers(todo, index, deriver, &abort, &plays), {}, {}};
        out.times.reserve(out.tiers.size());
        for (std::size_t i = 0; i < out.tiers.size(); ++i) out.times.push_back(todo[i].ysday);
        out.plays = std::move(plays);
        return out;
      },
      [this, job](Checked checked) {
        Finish(job, std::move(checked.tiers), std::move(checked.times), std::move(checked.plays));
      });
}

bool rg_PrizeWatch::Unchanged(std::int64_t id, double castTime) const {
  const auto it = known_.find(id);
  if (it == known_.end() || it->second.castTime != castTime) return false;
  const auto plays = plays_.find(id);
  return plays == plays_.end() ? it->second.plays.empty() : it->second.plays == plays->second;
}

void rg_PrizeWatch::Finish(std::uint64_t job, std::vector<rg_CastTier> tiers,
                           std::vector<double> times,
                           std::map<std::int64_t, std::vector<rg_Play>> plays) {
  for (std::size_t i = 0; i < tiers.size(); ++i) {
    auto castPlays = plays.find(tiers[i].id);
    known_[tiers[i].id] = {
        times[i], tiers[i].bestTier, std::move(tiers[i].issue),
        castPlays != plays.end() ? std::move(castPlays->second) : std::vector<rg_Play>{}};
  }
  QHash<std::int64_t, int> winners;
  for (const auto& [id, castTime] : listed_) {
    if (Unchanged(id, castTime) && known_.at(id).tier > 0) winners.insert(id, known_.at(id).tier);
  }
  winners_ = winners;
  emit winnersChanged(winners_);
  if (announce_ && job >= announceFrom_) {
    announce_ = false;
    int fresh = 0;
    std::vector<rg_CastTier> wins;
    for (auto it = winners_.cbegin(); it != winners_.cend(); ++it) {
      const std::u16string& issue = known_[it.key()].issue;
      if (std::find(announceIssues_.begin(), announceIssues_.end(), issue) !=
              announceIssues_.end() ||
          (announceNew_ && !winnersBefore_.contains(it.key()))) {
        ++fresh;
        wins.push_back({it.key(), it.value(), issue});
      }
    }
    announceIssues_.clear();
    announceNew_ = false;
    winnersBefore_.clear();
    if (fresh > 0) {
      emit statusText(QStringLiteral("有%1个已保存的演算中奖,请点对奖查看").arg(fresh));
      std::sort(wins.begin(), wins.end(),
                [](const rg_CastTier& a, const rg_CastTier& b) { return a.id < b.id; });
      emit newWinners(wins);
    }
  }
  if (again_) Refresh();
}

void rg_PrizeWatch::DrawRead(LotteryCode lottery, const rg_DrawRecord& record) {
  rg_DrawArchive archive(store_);
  const auto outcome = ArchiveDraw(archive, lottery, record, clock_.Now());
  if (!outcome || *outcome != rg_DrawArchive::StoreResult::Added ||
      lottery != LotteryCode::DoubleColor)
    return;
  // The casts announced are those that won on this very draw.
  if (const auto entry =
          DrawFromPage(lottery, record.issue, record.date, record.numbers, record.extra)) {
    announceIssues_.push_back(entry->issue);
  }
  announce_ = true;
  announceFrom_ = jobs_ + 1;
  Refresh();
}

void rg_PrizeWatch::DrawsAdded() {
  if (!announceNew_) winnersBefore_ = winners_;
  announceNew_ = true;
  announce_ = true;
  announceFrom_ = jobs_ + 1;
  Refresh();
}

}  // namespace rg_com_ptl_xyh
