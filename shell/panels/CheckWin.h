#pragma once
// The 对奖 dialog: one cast's red tickets against the draw it was made
// for, the matched reds in red, the blue hit marked, tier and fixed prize
// of every ticket and the totals; or "待开奖" with the expected draw date.
#include <QDialog>
#include <QIcon>
#include <QVector>

#include <functional>

#include "history/DrawPrizes.h"
#include "history/SavedCast.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QVBoxLayout;

namespace rg_com_ptl_xyh {

// The mark of a winning saved cast in the history list: a small red ball.
QIcon WinnerIcon();
// "中奖: 四等奖" for a history list tooltip line.
QString WinnerTooltip(int bestTier);
// "投注: 2个" for a history list tooltip line.
QString PlayCountTooltip(int plays);

class rg_CheckWin : public QDialog {
  Q_OBJECT
 public:
  // subject: the saved name, or a description of the current result;
  // blues: the cast's blue list; now: when a pending draw counts as overdue
  // (0: never).
  rg_CheckWin(QWidget* parent, const QFont& font, const QString& subject, double castTime,
              const rg_CastResult& result, const std::vector<int>& blues, double now = 0.0);

  // How the cast is checked again when the stored draws change.
  using Source = std::function<rg_CastResult(const rg_DrawIndex& index)>;
  void SetSource(Source source) { source_ = std::move(source); }
  // The stored draws changed: the cast is checked again and shown anew.
  void DrawsChanged(const rg_DrawIndex& index, double now);
  void SetResult(const rg_CastResult& result, double now);
  // The stored floating prizes, shown from the next SetResult or
  // DrawsChanged on: a floating win shows its amount, or 奖金未录入.
  void SetPrizeAmounts(rg_PrizeAmounts amounts) { amounts_ = std::move(amounts); }
  // Those of the draw the result shown met (none while not scored).
  const rg_FloatingAmounts& Amounts() const { return shownAmounts_; }

  const rg_CastResult& Result() const { return result_; }
  // 录入开奖, shown while the cast's draw is missing from the archive.
  QPushButton* EnterButton() const { return enter_; }
  // The texts as shown, for tests: the draw line, each ticket's matched
  // reds as numbers, its tier and prize cells, the totals line.
  QString DrawText() const;
  QVector<int> ShownHits(int ticket) const;
  QString TierText(int ticket) const;
  QString PrizeText(int ticket) const;
  QString TotalText() const;
  bool BlueMarked(int blue) const;
  // The plays as shown: how many rows, each one's marked reds (胆 and 拖
  // together, ascending), its winning bets and prize cells, the totals line.
  int PlayRows() const { return static_cast<int>(playNumbers_.size()); }
  QVector<int> ShownPlayHits(int play) const;
  QString PlayWinningText(int play) const;
  QString PlayPrizeText(int play) const;
  QString PlayTotalText() const;
  // Whether the play's row says it is damaged (and shows nothing of it).
  bool PlayDamaged(int play) const;

 signals:
  // 录入开奖 pressed: the issue to add and its likely date.
  void enterDraw(const QString& issue, double date);

 private:
  rg_PrizeAmounts amounts_;
  rg_FloatingAmounts shownAmounts_;
  void Fill(double now);
  // The dialog showing its whole body: the size it opens at, screen permitting.
  QSize WholeSize() const;
  QLabel* Ball(const QString& text, const QColor& color, bool marked);
  // The rows of the dialog, top to bottom; drawn is null while pending.
  QHBoxLayout* MakeDrawRow(const rg_DrawNumbers* drawn, double now);
  QHBoxLayout* MakeBlueRow(const std::vector<int>& blues, const rg_DrawNumbers* drawn);
  QGridLayout* MakeTicketGrid(const QFont& font, const rg_DrawNumbers* drawn);
  void AddTicketRow(QGridLayout* grid, int t, const QFont& font, const rg_DrawNumbers* drawn);
  // Under the tickets: one row a play, then their totals.
  QGridLayout* MakePlayGrid(const rg_DrawNumbers* drawn);
  void AddDamagedPlayRow(QGridLayout* grid, int row, const rg_PlayResult& play);

  rg_CastResult result_;
  std::vector<rg_DrawEntry> drawCopy_;  // the draw outlives the index it came from
  std::vector<int> blues_;
  QFont font_;
  Source source_;
  QScrollArea* scroll_ = nullptr;
  QWidget* body_ = nullptr;  // rebuilt with each result
  QPushButton* enter_ = nullptr;
  QLabel* draw_ = nullptr;
  QLabel* total_ = nullptr;
  QVector<QVector<QLabel*>> redCells_;
  QVector<QLabel*> tiers_;
  QVector<QLabel*> prizes_;
  QVector<QLabel*> blueCells_;
  QVector<QLabel*> playNumbers_;
  QVector<QLabel*> playWinning_;
  QVector<QLabel*> playPrizes_;
  QLabel* playTotal_ = nullptr;
};

}  // namespace rg_com_ptl_xyh
