// The 账本 window's chart (see LedgerChartModule.h), built against Qt Charts
// in the charts module.
#include <QDateTime>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QDateTimeAxis>
#include <QtCharts/QLineSeries>
#include <QtCharts/QScatterSeries>
#include <QtCharts/QValueAxis>

#include <algorithm>

#include "shell/panels/LedgerChartModule.h"

namespace rg_com_ptl_xyh {
namespace {

const QColor kSpent(0x55, 0x55, 0x55);
const QColor kWon(0xd8, 0x2c, 0x2c);
const QColor kUnknown(0xe0, 0x9a, 0x00);

QWidget* Make(const QFont& font) {
  auto* chart = new QChart();
  chart->setTitle(QStringLiteral("累计投入与中奖(元)"));
  chart->setTitleFont(font);
  chart->legend()->setFont(font);
  chart->legend()->setAlignment(Qt::AlignBottom);
  auto* spent = new QLineSeries(chart);
  spent->setName(QStringLiteral("累计投入"));
  spent->setColor(kSpent);
  auto* won = new QLineSeries(chart);
  won->setName(QStringLiteral("累计中奖"));
  won->setColor(kWon);
  auto* unknown = new QScatterSeries(chart);
  unknown->setName(QStringLiteral("浮动奖金未录入"));
  unknown->setColor(kUnknown);
  unknown->setMarkerSize(11);
  chart->addSeries(spent);
  chart->addSeries(won);
  chart->addSeries(unknown);
  auto* x = new QDateTimeAxis(chart);
  x->setFormat(QStringLiteral("yyyy-MM-dd"));
  x->setLabelsFont(font);
  x->setTickCount(5);
  auto* y = new QValueAxis(chart);
  y->setLabelFormat(QStringLiteral("%.0f"));
  y->setLabelsFont(font);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) {
    s->attachAxis(x);
    s->attachAxis(y);
  }
  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(220);
  return view;
}

QList<QAbstractSeries*> SeriesOf(const QWidget* chart) {
  const auto* view = qobject_cast<const QChartView*>(chart);
  return view != nullptr && view->chart() != nullptr ? view->chart()->series()
                                                     : QList<QAbstractSeries*>{};
}

void Fill(QWidget* chart, const double* x, const double* spent, const double* won, int count,
          const int* marks, int markCount) {
  const QList<QAbstractSeries*> series = SeriesOf(chart);
  if (series.size() != 3) return;
  QList<QPointF> spentPoints, wonPoints, markPoints;
  double top = 1;
  for (int i = 0; i < count; ++i) {
    spentPoints << QPointF(x[i], spent[i]);
    wonPoints << QPointF(x[i], won[i]);
    top = std::max({top, spent[i], won[i]});
  }
  for (int m = 0; m < markCount; ++m) {
    if (marks[m] >= 0 && marks[m] < count) markPoints << QPointF(x[marks[m]], won[marks[m]]);
  }
  static_cast<QLineSeries*>(series[0])->replace(spentPoints);
  static_cast<QLineSeries*>(series[1])->replace(wonPoints);
  static_cast<QScatterSeries*>(series[2])->replace(markPoints);
  QChart* c = qobject_cast<QChartView*>(chart)->chart();
  const auto xAxes = c->axes(Qt::Horizontal);
  const auto yAxes = c->axes(Qt::Vertical);
  if (!xAxes.isEmpty() && count > 0) {
    // One day either side, so a single point is not squeezed to an edge.
    constexpr double kDayMs = 86'400'000.0;
    static_cast<QDateTimeAxis*>(xAxes.first())
        ->setRange(
            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x[0] - kDayMs), Qt::UTC),
            QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(x[count - 1] + kDayMs), Qt::UTC));
  }
  if (!yAxes.isEmpty()) static_cast<QValueAxis*>(yAxes.first())->setRange(0, top * 1.1);
}

void Shown(const QWidget* chart, int* out) {
  const QList<QAbstractSeries*> series = SeriesOf(chart);
  for (int i = 0; i < 3; ++i)
    out[i] = i < series.size() ? static_cast<int>(static_cast<QXYSeries*>(series[i])->count()) : 0;
}

constexpr rg_LedgerChartApi kApi = {kLedgerChartAbi, Make, Fill, Shown};

}  // namespace
}  // namespace rg_com_ptl_xyh

extern "C" Q_DECL_EXPORT const rg_com_ptl_xyh::rg_LedgerChartApi* xyh_ledger_chart_api() {
  return &rg_com_ptl_xyh::kApi;
}
