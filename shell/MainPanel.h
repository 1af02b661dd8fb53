#pragma once
// All working content of the main window: the latest-draws strip, the
// casting panel, the analysis panel and the history panel. It routes their
// events to the engine or raises its own six towards the window.
#include <QWidget>

#include "engine/Dispatch.h"

namespace rg_com_ptl_xyh {

class Clock;
class rg_CastPanel;
class rg_GuaPanel;
class rg_HistoryPanel;
struct rg_GuaAnalysis;

class rg_MainPanel : public QWidget {
  Q_OBJECT
 public:
  rg_MainPanel(const Clock& clock, QWidget* parent = nullptr);
  void Build(const QString& fontDescription);
  // The history panel is built once the window has given it its place.
  void BuildHistory();

  int Lottery() const { return dispatch_.Lottery(); }
  const QString& FontDescription() const { return fontDescription_; }
  QWidget* DrawPanel() const { return draw_; }
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

 private:
  QString fontDescription_;
  QWidget* draw_;
  rg_CastPanel* cast_;
  rg_GuaPanel* gua_;
  rg_HistoryPanel* history_;
  rg_CastDispatch dispatch_;
};

}  // namespace rg_com_ptl_xyh
