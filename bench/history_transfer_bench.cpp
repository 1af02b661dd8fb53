// Export and import of a long history: the file written from the store, the
// file read and checked, and an import into an empty store (one transaction).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FilledHistory.h"
#include "history/EasyDb.h"
#include "history/HistoryTransfer.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr int kRows = 10000;

void BM_Export(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(bench_support::FilledHistoryHome(kRows));
  const auto format = static_cast<rg_HistoryFormat>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(WriteHistoryFile(ReadHistoryRows(db).value(), format));
  }
  state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_Export)
    ->Arg(static_cast<int>(rg_HistoryFormat::Csv))
    ->Arg(static_cast<int>(rg_HistoryFormat::Json))
    ->Unit(benchmark::kMillisecond);

std::string ExportedFile(rg_HistoryFormat format) {
  rg_EasyDb db;
  db.Open(bench_support::FilledHistoryHome(kRows));
  return WriteHistoryFile(ReadHistoryRows(db).value(), format);
}

void BM_ReadFile(benchmark::State& state) {
  const std::string file = ExportedFile(static_cast<rg_HistoryFormat>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ReadHistoryFile(file));
  state.SetItemsProcessed(state.iterations() * kRows);
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(file.size()));
}
BENCHMARK(BM_ReadFile)
    ->Arg(static_cast<int>(rg_HistoryFormat::Csv))
    ->Arg(static_cast<int>(rg_HistoryFormat::Json))
    ->Unit(benchmark::kMillisecond);

// Into an empty store, then once more into the same store (every row a
// duplicate, nothing written).
void BM_Import(benchmark::State& state) {
  const std::string file = ExportedFile(rg_HistoryFormat::Csv);
  for (auto _ : state) {
    state.PauseTiming();
    std::string pattern = (std::filesystem::temp_directory_path() / "xyh-bench-XXXXXX").string();
    const std::filesystem::path dir = mkdtemp(pattern.data());
    rg_EasyDb db;
    db.Open(dir);
    state.ResumeTiming();
    benchmark::DoNotOptimize(ImportHistory(db, file));
    if (state.range(0) == 1) benchmark::DoNotOptimize(ImportHistory(db, file));
    state.PauseTiming();
    db.Close();
    std::filesystem::remove_all(dir);
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kRows * (1 + state.range(0)));
}
BENCHMARK(BM_Import)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
