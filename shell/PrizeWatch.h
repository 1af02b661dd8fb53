#pragma once
// Keeps the window's view of which saved casts won: stores each draw a
// refresh reads, checks the saved casts against the stored 双色球 draws off
// the window's thread, and announces casts that a new draw made winners.
#include <QHash>
#include <QObject>

#include <cstdint>
#include <map>
#include <unordered_map>

#include "draws/DrawScraper.h"
#include "history/SavedCast.h"
#include "ui/AsyncTask.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_EasyDb;

class rg_PrizeWatch : public QObject {
  Q_OBJECT
 public:
  rg_PrizeWatch(rg_EasyDb& store, const Clock& clock, QObject* parent = nullptr);
  ~rg_PrizeWatch() override;

  // Checks the casts not checked yet (all of them when the stored draws
  // changed); the answer comes as winnersChanged.
  void Refresh();
  // A draw a refresh cycle read: stored, and when it is a new 双色球 draw
  // the casts are checked again and new winners announced.
  void DrawRead(LotteryCode lottery, const rg_DrawRecord& record);
  // Draws the user added or imported: the casts are checked again, and
  // those that win now and did not before are announced as after a refresh
  // (a filled hole can decide casts made for later draws too).
  void DrawsAdded();

  bool Busy() const { return check_.Running() || again_; }
  // Best tier by id of the saved casts that won, their plays counted.
  const QHash<std::int64_t, int>& Winners() const { return winners_; }
  // How many plays each saved cast with plays has, as last read.
  const QHash<std::int64_t, int>& PlayCounts() const { return playCounts_; }
  // The stored 双色球 draws as last read.
  const rg_DrawIndex& Index() const { return index_; }

 signals:
  void winnersChanged(const QHash<std::int64_t, int>& winners);
  void statusText(const QString& message);
  // The casts a new draw (or a draw the user added) made winners, with the
  // draw each won on, by id; after statusText has said how many.
  void newWinners(const std::vector<rg_CastTier>& wins);

 private:
  struct Known {
    double castTime;
    int tier;
    std::u16string issue;
    std::vector<rg_Play> plays;  // as checked; a cast whose plays changed is checked again
  };
  void Finish(std::uint64_t job, std::vector<rg_CastTier> tiers, std::vector<double> times,
              std::map<std::int64_t, std::vector<rg_Play>> plays);
  bool Unchanged(std::int64_t id, double castTime) const;

  rg_EasyDb& store_;
  const Clock& clock_;
  rg_DrawIndex index_;
  bool indexRead_ = false;
  std::unordered_map<std::int64_t, Known> known_;
  std::vector<std::pair<std::int64_t, double>> listed_;  // the casts of the last refresh
  QHash<std::int64_t, int> winners_;
  std::map<std::int64_t, std::vector<rg_Play>> plays_;  // of the last refresh
  QHash<std::int64_t, int> playCounts_;
  bool again_ = false;  // asked while a check ran: one more follows
  std::uint64_t jobs_ = 0;
  bool announce_ = false;
  std::uint64_t announceFrom_ = 0;
  std::vector<std::u16string> announceIssues_;  // the new draws to announce winners of
  bool announceNew_ = false;                    // announce every cast that won anew
  QHash<std::int64_t, int> winnersBefore_;
  // Last, so a check still running stops before the rest goes.
  ui::AsyncTask check_{this};
};

}  // namespace rg_com_ptl_xyh
