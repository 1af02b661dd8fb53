// The trend window over 3 000 stored draws, from reading the archive to the
// first paint of the chart, next to a plain window showing the same table
// (issue, date and the 49 number cells of each draw) in a QTableView with
// no chart at all.
#include <benchmark/benchmark.h>

#include <QAbstractTableModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

#include <memory>

#include "FilledDraws.h"
#include "history/DrawStats.h"
#include "shell/panels/TrendChart.h"
#include "shell/panels/TrendWin.h"
#include "ui/Ui.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr int kDraws = 3'000;

const std::filesystem::path& Home() { return bench_support::FilledDrawsHome(kDraws); }

// Set once the watched widget has received a paint event.
class PaintWatch : public QObject {
 public:
  bool painted = false;
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) painted = true;
    return false;
  }
};

// Runs the event loop until the watched widget has painted (its paint
// handler has run by the time processEvents returns).
void WaitForPaint(PaintWatch& watch, benchmark::State& state) {
  QElapsedTimer guard;
  guard.start();
  while (!watch.painted) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
    if (guard.elapsed() > 10'000) {
      state.SkipWithError("no paint within 10 s");
      return;
    }
  }
}

// The same cells as the chart, as text.
class TrendTable : public QAbstractTableModel {
 public:
  explicit TrendTable(std::shared_ptr<const rg_DrawStats> stats) : stats_(std::move(stats)) {}
  int rowCount(const QModelIndex& = {}) const override { return stats_->draws; }
  int columnCount(const QModelIndex& = {}) const override { return 2 + kRedCount + kBlueCount; }
  QVariant data(const QModelIndex& index, int role) const override {
    const int row = index.row();
    const int column = index.column();
    const rg_DrawShape& d = stats_->perDraw[static_cast<std::size_t>(row)];
    if (role == Qt::DisplayRole) {
      if (column == 0) return ui::Q(d.issue);
      if (column == 1) return ui::Q(DrawDateText(d.date));
      const bool blue = column >= 2 + kRedCount;
      const int number = blue ? column - 1 - kRedCount : column - 1;
      const int cell = blue ? stats_->BlueCell(row, number) : stats_->RedCell(row, number);
      return cell == 0 ? QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0'))
                       : QString::number(cell);
    }
    return {};
  }

 private:
  std::shared_ptr<const rg_DrawStats> stats_;
};

// range: an index into the window's ranges (1 the last 50, as it opens;
// 3 all 3 000).
void BM_TrendWindowFirstPaint(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(Home());
  const QFont font = ui::FontFromDescription(ui::MainFontDescription());
  for (auto _ : state) {
    PaintWatch watch;
    rg_TrendWin win(rg_DrawArchive(db).DoubleColorDraws(), font);
    if (state.range(0) != rg_TrendWin::kDefaultRange)
      win.SetRange(static_cast<int>(state.range(0)));
    win.resize(1400, 800);  // as the table window below
    win.Chart()->installEventFilter(&watch);
    win.show();
    WaitForPaint(watch, state);
    state.PauseTiming();
    if (win.Stats().draws !=
        (state.range(0) == 3 ? kDraws : rg_TrendWin::kRanges[state.range(0)])) {
      state.SkipWithError("wrong window");
    }
    win.close();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TrendWindowFirstPaint)->Arg(1)->Arg(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The yardstick: the same reading and figures, then all 3 000 rows as a
// plain table in a window of the same size.
void BM_TableWindowFirstPaint(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(Home());
  const QFont font = ui::FontFromDescription(ui::MainFontDescription());
  for (auto _ : state) {
    PaintWatch watch;
    auto stats = std::make_shared<const rg_DrawStats>(
        ComputeDrawStats(rg_DrawArchive(db).DoubleColorDraws()));
    QWidget win;
    win.setFont(font);
    auto* layout = new QVBoxLayout(&win);
    TrendTable model(stats);
    auto* table = new QTableView(&win);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->setModel(&model);
    table->scrollToBottom();
    layout->addWidget(table);
    win.resize(1400, 800);
    table->viewport()->installEventFilter(&watch);
    win.show();
    WaitForPaint(watch, state);
    state.PauseTiming();
    win.close();
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_TableWindowFirstPaint)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
