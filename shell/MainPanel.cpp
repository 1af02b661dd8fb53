#include "shell/MainPanel.h"

#include <QFontDatabase>

#include "derive/Derive.h"
#include "engine/Analysis.h"
#include "shell/Ui.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"

namespace rg_com_ptl_xyh {

rg_MainPanel::rg_MainPanel(const Clock& clock, QWidget* parent)
    : QWidget(parent),
      draw_(new QWidget(this)),
      cast_(new rg_CastPanel(this)),
      gua_(new rg_GuaPanel(this)),
      history_(new QWidget(this)),
      dispatch_(clock, gua_->Report()) {}

void rg_MainPanel::Build(const QString& fontDescription) {
  fontDescription_ = fontDescription;
  dispatch_.SetLottery(kLotteryDoubleColor);
  dispatch_.SetStatusHandler([this](const std::u16string& message) { emit statusText(ui::Q(message)); });

  draw_->resize(0, 0);  // the latest-draws strip arrives with the draws panel

  connect(cast_, &rg_CastPanel::resetRequested, this, [this] { gua_->ClearReading(); });
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
}

}  // namespace rg_com_ptl_xyh
