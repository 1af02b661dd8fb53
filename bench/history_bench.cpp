// The history store: save, load, and listing 100 000 rows against the same
// SELECT through the bare SQLite interface.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "FilledHistory.h"
#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 100'000;

rg_YsModel Sample(int i) {
  rg_YsModel r;
  r.ysname = u"测试标题" + DecimalText(i) + u"(2024年5月3日14时5分9秒)";
  r.ysindex = 1;
  r.ysnumber = u"1234567";
  r.ysday = MakeDate(2024, 5, 3, 14, 5, 9);
  r.gzsxid = 3;
  r.dong = {0, 0, 1, 0, 0, 0};
  r.uinfo = u"备注";
  return r;
}

const fs::path& FilledHome() { return bench_support::FilledHistoryHome(kRows); }

void BM_ListStore(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(FilledHome());
  for (auto _ : state) {
    const auto list = db.List();
    if (list.size() != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(list.data());
  }
}
BENCHMARK(BM_ListStore)->Unit(benchmark::kMillisecond);

void BM_VisitStore(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(FilledHome());
  for (auto _ : state) {
    size_t rows = 0;
    size_t units = 0;
    db.VisitList([&](std::int64_t, std::u16string_view name) {
      ++rows;
      units += name.size();
    });
    if (rows != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(units);
  }
}
BENCHMARK(BM_VisitStore)->Unit(benchmark::kMillisecond);

// Opening checks the whole file (quick_check) before it is trusted; this
// is what that costs at start-up with a long history.
void BM_OpenWithCheck(benchmark::State& state) {
  for (auto _ : state) {
    rg_EasyDb db;
    if (db.Open(FilledHome()) != rg_EasyDb::OpenResult::Opened) state.SkipWithError("not opened");
  }
}
BENCHMARK(BM_OpenWithCheck)->Unit(benchmark::kMillisecond);

// The check alone, through the bare SQLite interface.
void BM_QuickCheckRaw(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rg_EasyDb::FileIn(FilledHome()).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "PRAGMA quick_check(1);", -1, &s, nullptr);
    if (sqlite3_step(s) != SQLITE_ROW) state.SkipWithError("check failed");
    sqlite3_finalize(s);
  }
  sqlite3_close(db);
}
BENCHMARK(BM_QuickCheckRaw)->Unit(benchmark::kMillisecond);

void BM_ListRawSqlite(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(bench_support::RawList(FilledHome()));
}
BENCHMARK(BM_ListRawSqlite)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(FilledHome());
  std::int64_t id = 1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(db.Load(id));
    id = id % kRows + 1;
  }
}
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);

void BM_Save(benchmark::State& state) {
  std::string pattern = (fs::temp_directory_path() / "xyh-bench-save-XXXXXX").string();
  const fs::path dir = mkdtemp(pattern.data());
  rg_EasyDb db;
  db.Open(dir);
  const rg_YsModel r = Sample(1);
  for (auto _ : state) {
    if (!db.Save(r)) state.SkipWithError("save failed");
  }
  db.Close();
  fs::remove_all(dir);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

}  // namespace
