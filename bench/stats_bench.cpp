// xyh-cli stats over 3 000 stored draws, next to reading the same rows from
// SQLite with nothing converted. The figures themselves should cost less
// than the reading does.
#include <benchmark/benchmark.h>

#include "FilledDraws.h"
#include "history/DrawStats.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr int kDraws = 3'000;

const std::filesystem::path& Home() { return bench_support::FilledDrawsHome(kDraws); }

// The yardstick: the rows alone, through the bare interface.
void BM_RawDrawRows(benchmark::State& state) {
  Home();
  for (auto _ : state) benchmark::DoNotOptimize(bench_support::RawDrawRows(Home()));
}
BENCHMARK(BM_RawDrawRows)->Unit(benchmark::kMicrosecond);

// The archive's reading: the same rows made into checked draws.
void BM_ArchiveDraws(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(Home());
  for (auto _ : state) {
    const auto draws = rg_DrawArchive(db).DoubleColorDraws();
    if (draws.size() != kDraws) state.SkipWithError("wrong draw count");
    benchmark::DoNotOptimize(draws.data());
  }
}
BENCHMARK(BM_ArchiveDraws)->Unit(benchmark::kMicrosecond);

// The figures alone, from draws already in memory: every number's count,
// omission and longest run, the draw shapes, hot and cold, the trend cells.
void BM_StatsOnly(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(Home());
  const auto draws = rg_DrawArchive(db).DoubleColorDraws();
  for (auto _ : state) {
    const rg_DrawStats stats = ComputeDrawStats(draws, static_cast<std::size_t>(state.range(0)));
    benchmark::DoNotOptimize(stats.hot.data());
  }
}
BENCHMARK(BM_StatsOnly)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

// What xyh-cli stats does once the store is open: read, then figure.
void BM_ReadAndStats(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(Home());
  for (auto _ : state) {
    const rg_DrawStats stats = ComputeDrawStats(rg_DrawArchive(db).DoubleColorDraws());
    if (stats.draws != kDraws) state.SkipWithError("wrong draw count");
    benchmark::DoNotOptimize(stats.hot.data());
  }
}
BENCHMARK(BM_ReadAndStats)->Unit(benchmark::kMicrosecond);

}  // namespace
