#include "shell/MainPanel.h"

#include <QFontDatabase>

#include "derive/Derive.h"
#include "engine/Analysis.h"
#include "shell/Ui.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledText.h"

namespace rg_com_ptl_xyh {

rg_MainPanel::rg_MainPanel(const Clock& clock, QWidget* parent)
    : QWidget(parent),
      draw_(new QWidget(this)),
      cast_(new rg_CastPanel(this)),
      gua_(new rg_GuaPanel(this)),
      history_(new rg_HistoryPanel(this)),
      dispatch_(clock, gua_->Report()) {}

void rg_MainPanel::Build(const QString& fontDescription) {
  fontDescription_ = fontDescription;
  dispatch_.SetLottery(kLotteryDoubleColor);
  dispatch_.SetStatusHandler([this](const std::u16string& message) { emit statusText(ui::Q(message)); });

  draw_->resize(0, 0);  // the latest-draws strip arrives with the draws panel

  connect(cast_, &rg_CastPanel::resetRequested, this, [this] {
    history_->ClearResult();
    gua_->ClearReading();
  });
  connect(cast_, &rg_CastPanel::handCastRequested, this, &rg_MainPanel::openHandCast);
  connect(cast_, &rg_CastPanel::castRequested, this,
          [this](int code, const QString& message, rg_QiGuaModel* request) {
            dispatch_.Dispatch(rg_CastDispatch::kEngineTag, code, ui::U(message), *request);
          });
  cast_->Build(fontDescription);

  QString guaFont = fontDescription;
  if (guaFont.isEmpty()) {
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    guaFont = system.family() + QLatin1Char(',') + QString::number(system.pointSize());
  }
  const QFont font = ui::FontFromDescription(guaFont);
  gua_->Build(font, rg_CastPanel::MaxWidth(ui::FontFromDescription(fontDescription)) + 10);
  connect(gua_, &rg_GuaPanel::analysisDone, this, [this](rg_GuaAnalysis* analysis) {
    BuildNumberProfile(*analysis);
    emit numbersReady(analysis);
  });
  connect(history_, &rg_HistoryPanel::button, this, [this](int code) {
    if (code == rg_HistoryPanel::Save) {
      // A copy: the record saved is the cast on screen now.
      const rg_GuaAnalysis analysis = gua_->Report().Analysis();
      emit save(history_->Name()->Text(), analysis, history_->Note()->Text());
    } else if (code == rg_HistoryPanel::Delete || code == rg_HistoryPanel::Help) {
      emit command(code);
    }
  });
  connect(history_, &rg_HistoryPanel::review, this, &rg_MainPanel::review);
}

void rg_MainPanel::BuildHistory() { history_->Build(ui::FontFromDescription(fontDescription_)); }

}  // namespace rg_com_ptl_xyh
