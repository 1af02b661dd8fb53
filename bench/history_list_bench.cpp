// Filling the window's history list with 100 000 saved casts, against the
// same rows read through the bare SQLite interface.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QListView>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FilledHistory.h"
#include "history/EasyDb.h"
#include "shell/panels/HistoryPanel.h"
#include "ui/Ui.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 100'000;

const fs::path& FilledHome() { return bench_support::FilledHistoryHome(kRows); }

// What the window does: the store's listing straight into the list's model,
// on a shown panel.
void BM_FillHistoryList(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(FilledHome());
  rg_HistoryPanel panel;
  panel.resize(380, 700);
  panel.Build(ui::FontFromDescription(ui::MainFontDescription()));
  panel.show();
  QApplication::processEvents();
  for (auto _ : state) {
    rg_HistoryModel& model = panel.Model();
    model.BeginFill();
    db.VisitList([&model](std::int64_t id, std::u16string_view name) { model.Append(id, name); });
    model.EndFill();
    QApplication::processEvents();  // the list lays out and paints
    if (model.rowCount() != kRows) state.SkipWithError("wrong row count");
  }
}
BENCHMARK(BM_FillHistoryList)->Unit(benchmark::kMillisecond);

void BM_RawRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench_support::RawList(FilledHome()));
}
BENCHMARK(BM_RawRead)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
