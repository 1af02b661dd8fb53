#pragma once
// All working content of the main window: the latest-draws strip, the
// casting panel, the analysis panel and the history panel. It routes their
// events to the engine or raises its own six towards the window.
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <thread>

#include "draws/DrawScraper.h"
#include "engine/Dispatch.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_CastPanel;
class rg_DrawPanel;
class rg_GuaPanel;
class rg_HistoryPanel;
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

  int Lottery() const { return dispatch_.Lottery(); }
  const QString& FontDescription() const { return fontDescription_; }
  rg_DrawPanel* DrawPanel() const { return draw_; }
  QTimer& RefreshTimer() { return refreshTimer_; }
  bool RefreshRunning() const { return !cycleDone_; }

 public slots:
  // One refresh cycle (trigger 1): probe, fetch and parse off the window's
  // thread; the result comes back to it. A trigger while one runs is
  // dropped.
  void refreshDraws(int trigger);
  rg_CastPanel* CastPanel() const { return cast_; }
  rg_GuaPanel* GuaPanel() const { return gua_; }
  rg_HistoryPanel* HistoryPanel() const { return history_; }

 signals:
  // The six events, in slot order.
  void statusText(const QString& message);
  void openHandCast();
  void numbersReady(rg_GuaAnalysis* analysis);
  void save(const QString& title, const rg_GuaAnalysis& analysis, const QString& note);
  void command(int code);
  void review(int id);
  // A refresh cycle read a draw (status 200) of that lottery.
  void drawRead(int lottery, const rg_DrawRecord& record);

 private:
  void FinishCycle(const rg_DrawCycle& cycle);

  QString fontDescription_;
  rg_DrawPanel* draw_;
  rg_CastPanel* cast_;
  rg_GuaPanel* gua_;
  rg_HistoryPanel* history_;
  rg_CastDispatch dispatch_;
  rg_DrawSources sources_;
  QTimer refreshTimer_;
  std::thread worker_;
  std::atomic<bool> cycleDone_{true};
  std::atomic<bool> abort_{false};
};

}  // namespace rg_com_ptl_xyh
