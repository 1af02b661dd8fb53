#pragma once
// A saved cast checked against the draw archive: its tickets derived again
// from the stored record, at the stored cast time, and scored against the
// draw it was made for.
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "derive/Derive.h"
#include "derive/Play.h"
#include "derive/PrizeCheck.h"
#include "history/DrawArchive.h"
#include "history/YsModel.h"

namespace rg_com_ptl_xyh {

// Whether a cast can be scored: against the draw it was made for
// (Scored), not yet (Pending: that draw is not stored and none after it),
// or not until a draw missing from the archive is added (Missing: a later
// draw is stored, but a hole before it means the archive cannot tell which
// draw the cast was made for).
enum class rg_CastStatus { Scored, Pending, Missing };

struct rg_CastTarget {
  rg_CastStatus status = rg_CastStatus::Pending;
  const rg_DrawEntry* draw = nullptr;  // Scored only
  // Missing: the lowest issue to add before the cast can be decided; empty
  // when no stored draw tells which.
  std::u16string missingIssue;
  // The stored draw before may have been its year's last, so the issue
  // named may not exist.
  bool missingUncertain = false;
  // Pending: the day its draw is expected; Missing: the likely date of the
  // missing issue.
  double expectedDate = 0.0;
};

class rg_DrawIndex;
struct rg_DrawSuggestion;
// Which stored draw a cast made at castTime was made for, and whether the
// archive can vouch for it. The one rule for 对奖, the marks and the
// announcements; any play scored against a draw goes through it.
rg_CastTarget LocateCast(const rg_DrawIndex& index, double castTime, bool drawTimeCast);

// "第2026051期未收录", "第2025151期可能未收录", or "无法确认对应期号:
// 缺少更早的开奖数据" when no issue is known.
std::u16string MissingDrawText(std::u16string_view missingIssue, bool uncertain);
// Said of a pending cast whose draw day has passed (DrawOverdue).
inline constexpr std::u16string_view kOverdueText = u"已过开奖日期,开奖数据尚未收录";

// The stored 双色球 draws, ordered for the target-draw search.
class rg_DrawIndex {
 public:
  rg_DrawIndex() = default;
  // draws oldest first, as rg_DrawArchive::Draws gives them.
  explicit rg_DrawIndex(std::vector<rg_DrawEntry> draws);

  const std::vector<rg_DrawEntry>& Draws() const { return draws_; }
  // nullptr while the cast is pending.
  const rg_DrawEntry* Target(double castTime, bool drawTimeCast) const;
  // The stored draw of that issue, or the newest when issue is empty.
  const rg_DrawEntry* Find(std::u16string_view issue) const;

 private:
  friend rg_CastTarget LocateCast(const rg_DrawIndex&, double, bool);
  friend rg_DrawSuggestion SuggestDrawToAdd(const rg_DrawIndex&, double);
  // An issue read for the rule: its value, and its year (the first four
  // digits); -1 where the issue has too few or too many digits for that.
  struct IssueKey {
    std::int64_t value = -1;
    int year = -1;
    bool firstOfYear = false;  // ends in 001
  };
  static IssueKey KeyOf(std::u16string_view issue);

  std::vector<rg_DrawEntry> draws_;
  std::vector<double> dates_;
  std::vector<IssueKey> keys_;
};

// What a draw typed in by hand most likely is: the oldest issue missing
// between stored draws, else the one after the newest, with the draw day
// after the stored draw before it; with nothing stored, no issue and the
// next draw day from now.
struct rg_DrawSuggestion {
  std::u16string issue;
  double date = 0.0;
};
rg_DrawSuggestion SuggestDrawToAdd(const rg_DrawIndex& index, double now);

// The draw's numbers in the scorer's form; nullopt for a draw that is no
// 双色球 draw.
std::optional<rg_DrawNumbers> DoubleColorNumbers(const rg_DrawEntry& draw);

// A play bought with a cast and what it met; id 0 for a play not stored.
struct rg_PlayResult {
  std::int64_t id = 0;
  rg_Play play;
  rg_PlayCheck check;
  // A stored row that does not read back (rg_StoredPlay::damage): kept in
  // its place among the plays, never scored, priced or counted.
  std::string damage;
};

struct rg_CastResult {
  rg_CastCheck check;                  // no result unless Scored
  const rg_DrawEntry* draw = nullptr;  // into the index; Scored only
  double expectedDrawDate = 0.0;       // Pending and Missing: see rg_CastTarget
  rg_CastStatus status = rg_CastStatus::Pending;
  std::u16string missingIssue;  // Missing: as rg_CastTarget
  bool missingUncertain = false;
  // The cast's plays, scored against the same draw as its tickets.
  std::vector<rg_PlayResult> plays;
  int playsBestTier = 0;
  std::int64_t playsFixedPrize = 0;
  // The tickets' and the plays' best tier together: what marks a cast as won.
  int BestTier() const { return BetterTier(check.bestTier, playsBestTier); }
};

// The draw's numbers the cast and its plays are scored against; nullopt
// while the cast is not scored. Every check of tickets and plays takes its
// draw from here.
std::optional<rg_DrawNumbers> ScoredDraw(const rg_CastResult& result);

// Scores plays against the draw the result was resolved to (ScoredDraw) and
// keeps them, in the order given, with their totals; a damaged play is kept
// unscored and adds nothing.
void ScorePlays(rg_CastResult& result, const std::vector<rg_PlayResult>& plays);

// Scores numbers made at castTime (the window's current result).
rg_CastResult CheckNumbers(const DerivedNumbers& numbers, double castTime, bool drawTimeCast,
                           const rg_DrawIndex& index);

// Casts saved records again. Keeps one engine between records, so checking
// many casts costs little more than deriving them.
class rg_SavedCastDeriver {
 public:
  rg_SavedCastDeriver();
  ~rg_SavedCastDeriver();
  rg_SavedCastDeriver(const rg_SavedCastDeriver&) = delete;
  rg_SavedCastDeriver& operator=(const rg_SavedCastDeriver&) = delete;

  // The eight texts the cast gives at its stored time; nullopt for a record
  // that casts nothing (a damaged row).
  std::optional<DerivedNumbers> Derive(const rg_YsModel& record);
  // Derives and scores; a record that casts nothing has no tickets. The
  // cast's plays are scored against the same draw.
  rg_CastResult Check(const rg_YsModel& record, const rg_DrawIndex& index,
                      const std::vector<rg_PlayResult>& plays = {});

 private:
  struct Engine;
  std::unique_ptr<Engine> engine_;
};

// The best tier of each cast that won, by id; casts not Scored (pending, or
// missing their draw) are not cast again and never win. abort ends the pass early (the result is
// then partial).
struct rg_CastTier {
  std::int64_t id;
  int bestTier;          // 0: no prize, or pending
  std::u16string issue;  // of the draw it met; empty unless Scored
};
// plays: each cast's plays by id; they count towards its best tier.
std::vector<rg_CastTier> CastTiers(
    const std::vector<rg_YsModel>& casts, const rg_DrawIndex& index, rg_SavedCastDeriver& deriver,
    const std::atomic<bool>* abort = nullptr,
    const std::map<std::int64_t, std::vector<rg_Play>>* plays = nullptr);

}  // namespace rg_com_ptl_xyh
