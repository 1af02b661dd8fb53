#pragma once
// 走势: the trend window over the stored 双色球 draws. A range selector
// (the last 30, 50 or 100 draws, or all), the trend chart, bar charts of how
// often each number came and of how long each has been away, and
// "导出图片" to keep the chart on screen as a PNG.
#include <QWidget>

#include <memory>
#include <vector>

#include "history/DrawArchive.h"
#include "history/DrawStats.h"

class QBarSet;
class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabWidget;

namespace rg_com_ptl_xyh {

class rg_EasyDb;
class rg_TrendChart;

class rg_TrendWin : public QWidget {
  Q_OBJECT
 public:
  // The tabs, in order.
  enum Page { TrendPage = 0, CountPage = 1, OmissionPage = 2 };
  // The selector's windows, in order; 0 is all.
  static constexpr int kRanges[] = {30, 50, 100, 0};
  static constexpr int kDefaultRange = 1;  // the last 50

  rg_TrendWin(std::vector<rg_DrawEntry> draws, const QFont& font, QWidget* parent = nullptr);

  // Opens the window of `owner` over the store's draws (raising and
  // refreshing the one already open).
  static rg_TrendWin* Open(QWidget* owner, rg_EasyDb& store, const QFont& font);

  // Shows another window of draws: an index into kRanges.
  void SetRange(int index);
  void SetDraws(std::vector<rg_DrawEntry> draws);
  const rg_DrawStats& Stats() const { return *stats_; }

  // Saves the chart of the current tab as a PNG; false when it could not
  // be written. `message` says what was saved or why not.
  bool ExportImage(const QString& path, QString* message = nullptr);

  QComboBox* RangeBox() const { return range_; }
  QPushButton* ExportButton() const { return export_; }
  QTabWidget* Tabs() const { return tabs_; }
  rg_TrendChart* Chart() const { return chart_; }
  QScrollArea* ChartArea() const { return area_; }
  QLabel* Summary() const { return summary_; }
  QLabel* EmptyNote() const { return empty_; }
  bool ShowsCharts() const;
  // The bars: red and blue counts, red and blue current omission. They
  // are built when first needed, so that the chart shows at once.
  QBarSet* RedCounts() { return BuildBars(), redCount_; }
  QBarSet* BlueCounts() { return BuildBars(), blueCount_; }
  QBarSet* RedOmissions() { return BuildBars(), redOmission_; }
  QBarSet* BlueOmissions() { return BuildBars(), blueOmission_; }
  QChartView* ChartView(int index) { return BuildBars(), views_[index]; }

 private:
  void Recompute();
  void BuildBars();
  void FillBars();
  void AskAndExport();
  QChartView* BarChart(const QString& title, bool blue, QBarSet** set);

  std::vector<rg_DrawEntry> draws_;
  std::shared_ptr<const rg_DrawStats> stats_;
  QComboBox* range_;
  QPushButton* export_;
  QLabel* summary_;
  QLabel* status_;
  QStackedWidget* stack_;
  QLabel* empty_;
  QTabWidget* tabs_;
  QScrollArea* area_;
  rg_TrendChart* chart_;
  QChartView* views_[4] = {};
  QBarSet* redCount_ = nullptr;
  QBarSet* blueCount_ = nullptr;
  QBarSet* redOmission_ = nullptr;
  QBarSet* blueOmission_ = nullptr;
  QWidget* countPage_;
  QWidget* omissionPage_;
  bool stickToBottom_ = true;
};

}  // namespace rg_com_ptl_xyh
