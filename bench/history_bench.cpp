// The history store: save, load, and listing 100 000 rows against the same
// SELECT through the bare SQLite interface.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

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

// A home holding kRows saved casts, filled once.
const fs::path& FilledHome() {
  static const fs::path home = [] {
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    {
      rg_EasyDb db;  // creates the file and its table
      db.Open(dir);
    }
    // One transaction around all inserts keeps the set-up quick.
    sqlite3* db2 = nullptr;
    sqlite3_open(rg_EasyDb::FileIn(dir).c_str(), &db2);
    sqlite3_exec(db2, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db2, "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) VALUES (?,1,'1234567',45415.5,3,'','','0,0,1,0,0,0',0,'备注');", -1, &s, nullptr);
    for (int i = 0; i < kRows; ++i) {
      const std::string name = "测试标题" + std::to_string(i) + "(2024年5月3日14时5分9秒)";
      sqlite3_bind_text(s, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db2, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db2);
    return dir;
  }();
  return home;
}

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
    db.VisitList([&](std::int32_t, std::u16string_view name) {
      ++rows;
      units += name.size();
    });
    if (rows != kRows) state.SkipWithError("wrong row count");
    benchmark::DoNotOptimize(units);
  }
}
BENCHMARK(BM_VisitStore)->Unit(benchmark::kMillisecond);

void BM_ListRawSqlite(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rg_EasyDb::FileIn(FilledHome()).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT _id,ysname From xyh_table ORDER BY _id DESC;", -1, &s, nullptr);
    long long sum = 0;
    size_t bytes = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
      sum += sqlite3_column_int64(s, 0);
      benchmark::DoNotOptimize(sqlite3_column_text(s, 1));
      bytes += static_cast<size_t>(sqlite3_column_bytes(s, 1));
    }
    sqlite3_finalize(s);
    benchmark::DoNotOptimize(sum + static_cast<long long>(bytes));
  }
  sqlite3_close(db);
}
BENCHMARK(BM_ListRawSqlite)->Unit(benchmark::kMillisecond);

void BM_Load(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(FilledHome());
  int id = 1;
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
