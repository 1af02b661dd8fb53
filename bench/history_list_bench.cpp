// Filling the window's history list with 100 000 saved casts, against the
// same rows read through the bare SQLite interface.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <QApplication>
#include <QListView>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "history/EasyDb.h"
#include "shell/Ui.h"
#include "shell/panels/HistoryPanel.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

constexpr int kRows = 100'000;

const fs::path& FilledHome() {
  static const fs::path home = [] {
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-list-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    {
      rg_EasyDb db;
      db.Open(dir);
    }
    sqlite3* db = nullptr;
    sqlite3_open(rg_EasyDb::FileIn(dir).c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) VALUES (?,1,'58',45415.5,3,'','','0,0,1,0,0,0',0,'');", -1, &s, nullptr);
    for (int i = 0; i < kRows; ++i) {
      const std::string name = "测试标题" + std::to_string(i) + "(2024年5月3日14时5分9秒)";
      sqlite3_bind_text(s, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return dir;
  }();
  return home;
}

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
    db.VisitList([&model](std::int32_t id, std::u16string_view name) { model.Append(id, name); });
    model.EndFill();
    QApplication::processEvents();  // the list lays out and paints
    if (model.rowCount() != kRows) state.SkipWithError("wrong row count");
  }
}
BENCHMARK(BM_FillHistoryList)->Unit(benchmark::kMillisecond);

void BM_RawRead(benchmark::State& state) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(rg_EasyDb::FileIn(FilledHome()).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  for (auto _ : state) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "SELECT _id,ysname From xyh_table ORDER BY _id DESC;", -1, &s, nullptr);
    long long sum = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
      sum += sqlite3_column_int64(s, 0);
      benchmark::DoNotOptimize(sqlite3_column_text(s, 1));
      sum += sqlite3_column_bytes(s, 1);
    }
    sqlite3_finalize(s);
    benchmark::DoNotOptimize(sum);
  }
  sqlite3_close(db);
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
