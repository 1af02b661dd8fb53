#include "shell/MainPanel.h"

#include <QFontDatabase>
#include <QPushButton>

#include <algorithm>

#include "derive/Derive.h"
#include "draws/DrawPanel.h"
#include "engine/Analysis.h"
#include "engine/Chart.h"
#include "history/DrawArchive.h"
#include "platform/Clock.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/ChartWin.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledText.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

rg_MainPanel::rg_MainPanel(const Clock& clock, QWidget* parent)
    : QWidget(parent),
      clock_(clock),
      draw_(new rg_DrawPanel(this)),
      cast_(new rg_CastPanel(this)),
      gua_(new rg_GuaPanel(this)),
      history_(new rg_HistoryPanel(this)),
      dispatch_(clock, gua_->Report()) {}

rg_MainPanel::~rg_MainPanel() = default;

void rg_MainPanel::Build(const QString& fontDescription) {
  fontDescription_ = fontDescription;
  dispatch_.SetLottery(LotteryCode::DoubleColor);
  dispatch_.SetStatusHandler(
      [this](const std::u16string& message) { emit statusText(ui::Q(message)); });

  refreshTimer_.setInterval(kRefreshMs);
  // A tick presses the refresh button as a click would.
  connect(&refreshTimer_, &QTimer::timeout, draw_->RefreshButton(), &QAbstractButton::click);
  refreshTimer_.start();
  connect(draw_, &rg_DrawPanel::refresh, this, &rg_MainPanel::refreshDraws);
  draw_->layoutDraw(FindLottery(Lottery())->TypeIndex(),
                    QStringLiteral("最 新 开 奖 数 据 正 在 更 新 请 确 认 您 已 连 接 网 络 ！"),
                    QStringLiteral("开奖最后日期"), QStringLiteral("开奖最后期号"),
                    fontDescription_, 1);

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
  gua_->Build(font, cast_->MaxWidth() + 10);
  connect(gua_, &rg_GuaPanel::analysisDone, this, [this](rg_GuaAnalysis* analysis) {
    BuildNumberProfile(*analysis);
    emit numbersReady(analysis);
  });
  connect(history_, &rg_HistoryPanel::button, this, [this](rg_HistoryPanel::Button code) {
    using enum rg_HistoryPanel::Button;
    if (code == Save) {
      // A copy: the record saved is the cast on screen now.
      const rg_GuaAnalysis analysis = gua_->Report().Analysis();
      emit save(history_->Name()->Text(), analysis, history_->Note()->Text());
    } else if (code == Delete || code == Help || code == ExportHistory || code == ImportHistory ||
               code == Check || code == Trend || code == EnterDraw || code == Ledger) {
      emit command(code);
    }
  });
  connect(history_, &rg_HistoryPanel::review, this, &rg_MainPanel::review);
  connect(gua_, &rg_GuaPanel::chartRequested, this, &rg_MainPanel::ShowChart);
  // An open chart follows the next cast.
  connect(gua_, &rg_GuaPanel::analysisDone, this, [this] {
    if (chart_ != nullptr && chart_->isVisible()) FillChart();
  });
}

void rg_MainPanel::FillChart() {
  const int bias = clock_.BiasMinutes();
  chart_->SetSheet(
      MakeChartSheet(BuildChart(gua_->Report().Analysis(), bias), gua_->Report(), bias));
}

void rg_MainPanel::ShowChart() {
  if (chart_ == nullptr) {
    chart_ = new rg_ChartWin(this);
    chart_->setFont(ui::FontFromDescription(fontDescription_));
  }
  FillChart();
  chart_->show();
  chart_->raise();
  chart_->activateWindow();
}

void rg_MainPanel::refreshDraws(int trigger) {
  if (trigger != 1) return;
  const LotteryCode lottery = Lottery();
  const rg_DrawSources sources = sources_;
  const bool started = refresh_.RunThenCallback(
      [lottery, sources](const std::atomic<bool>& abort) {
        return RunDrawCycle(lottery, sources, &abort);
      },
      [this](const rg_DrawCycle& cycle) { FinishCycle(cycle); });
  if (started) draw_->RefreshButton()->setEnabled(false);
}

void rg_MainPanel::FinishCycle(const rg_DrawCycle& cycle) {
  draw_->RefreshButton()->setEnabled(true);
  // Once a draw is on screen a failed refresh leaves it there and says so;
  // before that the strip shows the failed page's empty cells.
  const auto failed = [this](const QString& why) {
    return drawShown_ ? QStringLiteral("开奖数据刷新失败:") + why +
                            QStringLiteral(",仍显示上一次的开奖数据")
                      : QStringLiteral("开奖数据刷新失败:") + why;
  };
  if (!cycle.online) {
    emit networkText(drawShown_ ? failed(QStringLiteral("未连网")) : QStringLiteral("未连网"));
    return;
  }
  const rg_Lottery* lottery = FindLottery(Lottery());
  if (!cycle.parsed || lottery == nullptr) return;
  const std::u16string numbers = ShownNumbers(*lottery, cycle.record);
  if (cycle.record.status == 200) {
    refreshTimer_.stop();
    emit drawRead(lottery->code, cycle.record);
  }
  if (cycle.record.status == 200 && !numbers.empty()) {
    drawShown_ = true;
    storedShown_ = false;
    emit networkText(ui::Q(std::u16string(kDrawUpdatedMessage)));
  } else {
    emit networkText(failed(cycle.fetched ? QStringLiteral("无法识别开奖网页")
                                          : QStringLiteral("无法下载开奖网页")));
    if (drawShown_ || storedShown_) return;
  }
  draw_->layoutDraw(lottery->TypeIndex(), ui::Q(numbers), ui::Q(cycle.record.date),
                    ui::Q(cycle.record.issue), fontDescription_, 0);
}

void rg_MainPanel::ShowStoredDraw(const rg_DrawEntry& draw) {
  if (drawShown_) return;  // a refresh's draw is newer news
  QString numbers;
  for (int n : draw.numbers) numbers += QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
  for (int n : draw.extra) numbers += QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
  const rg_Lottery* lottery = FindLottery(draw.lottery);
  if (lottery == nullptr) return;
  storedShown_ = true;
  draw_->layoutDraw(lottery->TypeIndex(), numbers, ui::Q(DrawDateText(draw.date)),
                    ui::Q(draw.issue) + QStringLiteral(" (本地记录)"), fontDescription_, 0);
}

void rg_MainPanel::BuildHistory() {
  history_->Build(ui::FontFromDescription(fontDescription_));
  // 投注 goes right after 对奖, as both act on the same cast.
  play_ = new QPushButton(QStringLiteral("投注"), history_);
  play_->setToolTip(QStringLiteral(
      "为历史列表中选中的记录(或已保存的当前演算)保存实际购买的单式、复式或胆拖投注"));
  history_->PlaceAfterCheck(play_);
  connect(play_, &QPushButton::clicked, this, &rg_MainPanel::openPlay);
}

}  // namespace rg_com_ptl_xyh
