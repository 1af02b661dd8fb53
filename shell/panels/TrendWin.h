#pragma once
// 走势: the trend window over the stored 双色球 draws. A range selector
// (the last 30, 50 or 100 draws, or all), the trend chart, bar charts of how
// often each number came and of how long each has been away, and
// "导出图片" to keep the chart on screen as a PNG; 录入开奖 and 导入开奖… fill
// the archive's holes, which the chart shows as rows of their own.
#include <QWidget>

#include <memory>
#include <vector>

#include "history/DrawArchive.h"
#include "history/DrawStats.h"

class QComboBox;
class QMenu;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QScrollArea;
class QStackedWidget;
class QTabWidget;

namespace rg_com_ptl_xyh {

class rg_EasyDb;
class rg_TrendChart;
struct rg_BarChartApi;

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
  // refreshing the one already open); nullptr, after saying why, when a
  // stored draw does not read back.
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
  // 录入开奖 and 导入开奖…: the owner stores the draws and calls SetDraws.
  QPushButton* EnterButton() const { return enter_; }
  QPushButton* ImportButton() const { return import_; }
  QTabWidget* Tabs() const { return tabs_; }
  rg_TrendChart* Chart() const { return chart_; }
  QScrollArea* ChartArea() const { return area_; }
  QLabel* Summary() const { return summary_; }
  QLabel* EmptyNote() const { return empty_; }
  // The menu of the draw row at `at` (the chart's coordinates): 修改 and
  // 删除 of that draw; nullptr where no draw's row is (the header, a hole).
  QMenu* RowMenu(const QPoint& at);
  bool ShowsCharts() const;
  // The bars: red and blue counts, red and blue current omission, as the
  // charts show them (empty when the charts could not be loaded). They are
  // built when first needed, so that the chart shows at once.
  std::vector<int> RedCounts() { return Bars(0); }
  std::vector<int> BlueCounts() { return Bars(1); }
  std::vector<int> RedOmissions() { return Bars(2); }
  std::vector<int> BlueOmissions() { return Bars(3); }
  QWidget* ChartView(int index) { return BuildBars(), views_[index]; }
  // What the bar tabs say when the charts cannot be loaded; null otherwise.
  QLabel* BarsMissing() const { return barsMissing_[0]; }

 signals:
  void enterDraw();
  void importDraws();
  // A stored draw to correct or to delete: the owner asks, stores and
  // calls SetDraws.
  void correctDraw(const QString& issue);
  void deleteDraw(const QString& issue);

 private:
  // The steps of building the window.
  void FillControls();
  QHBoxLayout* MakeBar();
  void BuildPages(const QFont& font);
  void ConnectControls();

  void Recompute();
  void BuildBars();
  void FillBars();
  void AskAndExport();
  std::vector<int> Bars(int index);

  std::vector<rg_DrawEntry> draws_;
  std::shared_ptr<const rg_DrawStats> stats_;
  QComboBox* range_;
  QPushButton* export_;
  QPushButton* enter_;
  QPushButton* import_;
  QLabel* summary_;
  QLabel* status_;
  QStackedWidget* stack_;
  QLabel* empty_;
  QTabWidget* tabs_;
  QScrollArea* area_;
  rg_TrendChart* chart_;
  const rg_BarChartApi* bars_ = nullptr;
  QWidget* views_[4] = {};
  QLabel* barsMissing_[2] = {};
  QWidget* countPage_;
  QWidget* omissionPage_;
  bool stickToBottom_ = true;
};

}  // namespace rg_com_ptl_xyh
