// The module of the trend window's bar charts: the only code built against
// Qt Charts (see BarChartModule.h).
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include <QGraphicsSimpleTextItem>

#include <algorithm>
#include <vector>

#include "shell/panels/BarChartModule.h"
#include "shell/panels/ChartLabels.h"

namespace rg_com_ptl_xyh {
namespace {

const QColor kRedBar(0xd8, 0x2c, 0x2c);
const QColor kBlueBar(0x1f, 0x5f, 0xc8);

// A tick step of 1, 2 or 5 times a power of ten giving at most six steps,
// so that the axis of whole counts never shows a fraction.
int TickStep(int top) {
  for (int scale = 1;; scale *= 10) {
    for (int step : {1, 2, 5}) {
      if (top <= 6 * step * scale) return step * scale;
    }
  }
}

QBarSet* SetOf(const QWidget* chart) {
  const auto* view = qobject_cast<const QChartView*>(chart);
  if (view == nullptr || view->chart() == nullptr) return nullptr;
  const auto series = view->chart()->series();
  auto* bars = series.isEmpty() ? nullptr : qobject_cast<QBarSeries*>(series.first());
  return bars == nullptr || bars->count() == 0 ? nullptr : bars->barSets().first();
}

// A bar of height 0 has no label of its own; "0" is written where its
// label would stand, so a number never drawn reads 0 rather than nothing.
class ZeroLabels : public QObject {
 public:
  static constexpr const char* kName = "xyh-zero-labels";
  ZeroLabels(QChart* chart, QBarSeries* series, const QFont& font)
      : QObject(chart), chart_(chart), series_(series), font_(font) {
    setObjectName(kName);
    connect(chart, &QChart::plotAreaChanged, this, [this] { Place(); });
  }
  void Follow(const QBarSet& set) {
    zeros_.clear();
    for (int i = 0; i < set.count(); ++i) {
      if (set.at(i) == 0) zeros_.push_back(i);
    }
    Place();
  }

 private:
  void Place() {
    while (static_cast<int>(items_.size()) > static_cast<int>(zeros_.size())) {
      delete items_.back();
      items_.pop_back();
    }
    while (items_.size() < zeros_.size()) {
      auto* item = new QGraphicsSimpleTextItem(QStringLiteral("0"), chart_);
      item->setFont(font_);
      item->setBrush(Qt::black);
      items_.push_back(item);
    }
    for (std::size_t k = 0; k < zeros_.size(); ++k) {
      const QPointF base = chart_->mapToPosition(QPointF(zeros_[k], 0), series_);
      const QRectF box = items_[k]->boundingRect();
      items_[k]->setPos(base.x() - box.width() / 2, base.y() - box.height());
    }
  }

  QChart* chart_;
  QBarSeries* series_;
  QFont font_;
  std::vector<int> zeros_;
  std::vector<QGraphicsSimpleTextItem*> items_;
};

QWidget* Make(const QString& title, bool blue, int count, const QFont& font) {
  auto* set = new QBarSet(title);
  set->setColor(blue ? kBlueBar : kRedBar);
  set->setBorderColor(blue ? kBlueBar : kRedBar);
  set->setLabelColor(Qt::black);
  QFont small = font;
  small.setPointSizeF(std::max(6.0, font.pointSizeF() - 1));
  set->setLabelFont(small);
  for (int i = 0; i < count; ++i) *set << 0;
  auto* series = new QBarSeries;
  series->append(set);
  series->setBarWidth(0.7);
  series->setLabelsVisible(true);
  series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
  series->setLabelsFormat(QStringLiteral("@value"));

  auto* chart = new QChart;
  chart->addSeries(series);
  chart->setTitle(title);
  QFont titleFont = font;
  titleFont.setBold(true);
  chart->setTitleFont(titleFont);
  chart->legend()->hide();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setMargins(QMargins(4, 4, 4, 4));

  auto* x = new QBarCategoryAxis;
  QStringList categories;
  for (int n = 1; n <= count; ++n)
    categories << QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
  x->append(categories);
  x->setLabelsFont(small);
  KeepLabelsWhole(x);  // "01" never becomes "..."
  chart->addAxis(x, Qt::AlignBottom);
  series->attachAxis(x);
  auto* y = new QValueAxis;
  y->setLabelFormat(QStringLiteral("%d"));
  y->setLabelsFont(small);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(y);

  new ZeroLabels(chart, series, small);

  auto* view = new QChartView(chart);
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumHeight(180);
  return view;
}

void Fill(QWidget* chart, const int* values, int count) {
  QBarSet* set = SetOf(chart);
  if (set == nullptr) return;
  int top = 1;
  for (int i = 0; i < count && i < set->count(); ++i) {
    set->replace(i, values[i]);
    top = std::max(top, values[i]);
  }
  auto* axis = qobject_cast<QValueAxis*>(
      static_cast<QChartView*>(chart)->chart()->axes(Qt::Vertical).value(0));
  if (axis == nullptr) return;
  // Headroom for the value labels above the bars.
  const int room = top + std::max(1, top / 8);
  const int step = TickStep(room);
  axis->setTickType(QValueAxis::TicksDynamic);
  axis->setTickAnchor(0);
  axis->setTickInterval(step);
  const int ceiling = (room + step - 1) / step * step;  // room rounded up to whole steps
  axis->setRange(0, ceiling);
  // Found by name: the class has no meta-object of its own to look it up by.
  if (auto* zeros = static_cast<QChartView*>(chart)->chart()->findChild<QObject*>(
          QLatin1String(ZeroLabels::kName), Qt::FindDirectChildrenOnly)) {
    static_cast<ZeroLabels*>(zeros)->Follow(*set);
  }
}

int Values(const QWidget* chart, int* out, int capacity) {
  const QBarSet* set = SetOf(chart);
  if (set == nullptr) return 0;
  const int n = std::min(capacity, static_cast<int>(set->count()));
  for (int i = 0; i < n; ++i) out[i] = static_cast<int>(set->at(i));
  return n;
}

constexpr rg_BarChartApi kApi{kBarChartAbi, &Make, &Fill, &Values};

}  // namespace
}  // namespace rg_com_ptl_xyh

extern "C" Q_DECL_EXPORT const rg_com_ptl_xyh::rg_BarChartApi* xyh_bar_chart_api() {
  return &rg_com_ptl_xyh::kApi;
}
