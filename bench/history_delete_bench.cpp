// Deleting ticked casts with their plays, as the history's 删除 does: the
// time of one transaction for many casts as a ratio to deleting one cast.
// The window used to delete one cast per transaction; BM_OneByOne is that
// way, for comparison.
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "history/EasyDb.h"
#include "history/Plays.h"

using namespace rg_com_ptl_xyh;
namespace fs = std::filesystem;

namespace {

constexpr int kCasts = 5000;
constexpr int kPlaysPerCast = 2;

// A history of kCasts casts, each with its plays, made once; every
// iteration deletes from a fresh copy of it.
const fs::path& TemplateFile() {
  static const fs::path file = [] {
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-XXXXXX").string();
    const fs::path home = mkdtemp(pattern.data());
    {
      rg_EasyDb db;
      db.Open(home);
    }
    sqlite3* db = nullptr;
    sqlite3_open(rg_EasyDb::FileIn(home).c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const std::string create = [] {
      std::string text;
      for (char16_t c : rg_PlayStore::CreateTableStatement()) text += static_cast<char>(c);
      return text;
    }();
    sqlite3_exec(db, create.c_str(), nullptr, nullptr, nullptr);
    sqlite3_stmt* cast = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
        "VALUES (?,1,'1234567',45415.5,3,'','','0,0,1,0,0,0',0,'备注');",
        -1, &cast, nullptr);
    sqlite3_stmt* play = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO xyh_plays (castid,dan,red,blue,multiple) "
                       "VALUES (?,'','1 2 3 4 5 6 7','8',1);",
                       -1, &play, nullptr);
    for (int i = 1; i <= kCasts; ++i) {
      const std::string name = "测试标题" + std::to_string(i) + "(2024年5月3日14时5分9秒)";
      sqlite3_bind_text(cast, 1, name.c_str(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
      sqlite3_step(cast);
      sqlite3_reset(cast);
      for (int p = 0; p < kPlaysPerCast; ++p) {
        sqlite3_bind_int(play, 1, i);
        sqlite3_step(play);
        sqlite3_reset(play);
      }
    }
    sqlite3_finalize(cast);
    sqlite3_finalize(play);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rg_EasyDb::FileIn(home);
  }();
  return file;
}

// A fresh copy of the template in a home of its own, opened as the window opens it.
struct Copy {
  fs::path home;
  rg_EasyDb db;
  Copy() {
    std::string pattern = (fs::temp_directory_path() / "xyh-bench-XXXXXX").string();
    home = mkdtemp(pattern.data());
    fs::create_directories(rg_EasyDb::FileIn(home).parent_path());
    fs::copy_file(TemplateFile(), rg_EasyDb::FileIn(home));
    db.Open(home);
  }
  ~Copy() {
    db.Close();
    std::error_code ec;
    fs::remove_all(home, ec);
  }
};

std::vector<std::int64_t> Ids(int n) {
  std::vector<std::int64_t> ids;
  for (int i = 1; i <= n; ++i) ids.push_back(i);
  return ids;
}

double Seconds(const std::chrono::steady_clock::time_point& since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// range(0) casts in one transaction, as the window deletes them; the counter
// ratio_to_one is that time over the time of deleting a single cast the
// same way, measured alongside.
void BM_DeleteTicked(benchmark::State& state) {
  const std::vector<std::int64_t> ids = Ids(static_cast<int>(state.range(0)));
  double many = 0;
  double one = 0;
  for (auto _ : state) {
    {
      Copy copy;
      const auto start = std::chrono::steady_clock::now();
      const auto deleted = copy.db.DeleteMany(ids);
      const double took = Seconds(start);
      if (!deleted || *deleted != static_cast<std::int64_t>(ids.size()))
        state.SkipWithError("not deleted");
      state.SetIterationTime(took);
      many += took;
    }
    Copy copy;
    const auto start = std::chrono::steady_clock::now();
    if (!copy.db.DeleteMany(Ids(1))) state.SkipWithError("not deleted");
    one += Seconds(start);
  }
  state.counters["ratio_to_one"] = one > 0 ? many / one : 0;
}
BENCHMARK(BM_DeleteTicked)
    ->Arg(1)
    ->Arg(300)
    ->Arg(kCasts)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// The old way: one transaction per cast.
void BM_OneByOne(benchmark::State& state) {
  const std::vector<std::int64_t> ids = Ids(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    Copy copy;
    const auto start = std::chrono::steady_clock::now();
    for (const std::int64_t id : ids) {
      if (!copy.db.Delete(id)) state.SkipWithError("not deleted");
    }
    state.SetIterationTime(Seconds(start));
  }
}
BENCHMARK(BM_OneByOne)->Arg(1)->Arg(300)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
