#pragma once
// All working content of the main window: the latest-draws strip, the
// casting panel, the analysis panel and the history panel. It routes their
// events to the engine or raises its own six towards the window.
#include <QTimer>
#include <QWidget>

class QPushButton;

#include "draws/DrawScraper.h"
#include "engine/Dispatch.h"
#include "shell/panels/HistoryPanel.h"
#include "ui/AsyncTask.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_CastPanel;
class rg_ChartWin;
class rg_DrawPanel;
class rg_GuaPanel;
class rg_HistoryPanel;
struct rg_DrawEntry;
struct rg_GuaAnalysis;

class rg_MainPanel : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kRefreshMs = 3000;

  rg_MainPanel(const Clock& clock, QWidget* parent = nullptr);
  ~rg_MainPanel() override;
  // Where the draws come from; set before Build.
  void SetDrawSources(rg_DrawSources sources) { sources_ = std::move(sources); }
  void Build(const QString& fontDescription);
  // The history panel is built once the window has given it its place.
  void BuildHistory();

  LotteryCode Lottery() const { return dispatch_.Lottery(); }
  const QString& FontDescription() const { return fontDescription_; }
  rg_DrawPanel* DrawPanel() const { return draw_; }
  QTimer& RefreshTimer() { return refreshTimer_; }
  bool RefreshRunning() const { return refresh_.Running(); }
  // A stored 双色球 draw, marked "(本地记录)", shown until a refresh reads
  // one; an offline or failed refresh leaves it on screen.
  void ShowStoredDraw(const rg_DrawEntry& draw);
  bool StoredDrawShown() const { return storedShown_; }

 public slots:
  // One refresh cycle (trigger 1): probe, fetch and parse off the window's
  // thread; the result comes back to it. A trigger while one runs is
  // dropped.
  void refreshDraws(int trigger);
  rg_CastPanel* CastPanel() const { return cast_; }
  rg_GuaPanel* GuaPanel() const { return gua_; }
  rg_HistoryPanel* HistoryPanel() const { return history_; }
  // "投注", beside the history panel's "对奖"; null until BuildHistory.
  QPushButton* PlayButton() const { return play_; }
  // The detailed chart of the cast on screen, opened (or brought up to
  // date) by the analysis panel's "详细排盘"; null until first asked for.
  rg_ChartWin* ChartWin() const { return chart_; }
  void ShowChart();

 signals:
  // The six events, in slot order.
  void statusText(const QString& message);
  void openHandCast();
  void numbersReady(rg_GuaAnalysis* analysis);
  void save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note);
  // One of the history panel's buttons the window acts on.
  void command(rg_HistoryPanel::Button code);
  // "投注" was pressed.
  void openPlay();
  void review(qint64 id);
  // A refresh cycle read a draw (status 200) of that lottery.
  void drawRead(LotteryCode lottery, const rg_DrawRecord& record);
  // What the draw refresh has to say; the window shows it apart from the
  // casting and saving messages, so neither hides the other.
  void networkText(const QString& message);

 private:
  void FinishCycle(const rg_DrawCycle& cycle);
  void FillChart();

  QString fontDescription_;
  const Clock& clock_;
  rg_ChartWin* chart_ = nullptr;
  rg_DrawPanel* draw_;
  rg_CastPanel* cast_;
  rg_GuaPanel* gua_;
  rg_HistoryPanel* history_;
  QPushButton* play_ = nullptr;
  rg_CastDispatch dispatch_;
  rg_DrawSources sources_;
  QTimer refreshTimer_;
  bool drawShown_ = false;    // a good draw is on screen
  bool storedShown_ = false;  // a stored draw is, and no refresh has read one yet
  // Last, so a cycle still running is stopped (the probe killed, the
  // transfer ended) before the rest of the panel goes.
  ui::AsyncTask refresh_{this};
};

}  // namespace rg_com_ptl_xyh
