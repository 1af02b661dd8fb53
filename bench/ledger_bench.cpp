// xyh-cli ledger --json over 10 000 plays (2 000 saved casts, 5 plays each)
// against 3 000 stored draws, next to check --json of the same store: the
// ledger places and prices every play, check casts every saved cast again
// and scores its tickets and plays. Both run as a user runs them, output to
// /dev/null; the counter "ratio" is ledger ÷ check, and the goal is ≤ 1.5.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

#include "FilledDraws.h"
#include "history/DrawPrizes.h"
#include "history/Plays.h"

namespace {

using namespace rg_com_ptl_xyh;

constexpr int kDraws = 3000;
constexpr int kCasts = 2000;
constexpr int kPlaysPerCast = 5;

const std::filesystem::path& Home() {
  static const std::filesystem::path home = [] {
    std::filesystem::path dir = bench_support::FilledDrawsHome(kDraws);
    {
      rg_EasyDb store;  // the history table, and an amount on every tenth draw
      store.Open(dir);
      rg_DrawPrizes prizes(store);
      const auto draws = rg_DrawArchive(store).DoubleColorDraws();
      for (std::size_t i = 0; i < draws.size(); i += 10)
        prizes.Set(LotteryCode::DoubleColor, draws[i].issue, {5'000'000, 100'000});
    }
    sqlite3* db = nullptr;
    sqlite3_open(rg_EasyDb::FileIn(dir).c_str(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
        "VALUES (?,1,?,?,?,'','','0,0,0,0,0,0',0,'');",
        -1, &s, nullptr);
    // Casts spread over the draws' years (2003 to about 2022).
    const double first = MakeDate(2003, 3, 1, 10, 0, 0);
    for (int i = 0; i < kCasts; ++i) {
      const std::string name = "账本" + std::to_string(i);
      const std::string number = std::to_string(1000 + i * 37);
      sqlite3_bind_text(s, 1, name.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 2, number.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_double(s, 3, first + i * 3.5);
      sqlite3_bind_int(s, 4, i % 12 + 1);
      sqlite3_step(s);
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    for (int c = 1; c <= kCasts; ++c) {
      for (int k = 0; k < kPlaysPerCast; ++k) {
        rg_Play play;
        const int base = (c * 7 + k * 3) % 20;
        if (k % 2 == 0) {  // 复式 of 7 to 10 reds and 1 to 3 blues
          for (int r = 0; r < 7 + k % 4; ++r) play.red.push_back(base + r + 1);
        } else {  // 胆拖 of 2 胆 and 6 拖
          play.dan = {base + 1, base + 2};
          for (int r = 3; r <= 8; ++r) play.red.push_back(base + r);
        }
        for (int b = 0; b <= k % 3; ++b) play.blue.push_back((c + b) % 16 + 1);
        play.multiple = k % 3 + 1;
        if (PlayRefusal(play).empty()) rg_PlayStore::InsertInTransaction(db, c, play);
      }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return dir;
  }();
  return home;
}

// Seconds for one run of xyh-cli with args, output to /dev/null.
double RunCli(std::vector<std::string> words) {
  words.insert(words.begin(), XYH_CLI_PATH);
  words.push_back("--home");
  words.push_back(Home().string());
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    std::vector<char*> argv;
    argv.reserve(words.size() + 1);
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_Check(benchmark::State& state) {
  Home();
  for (auto _ : state) state.SetIterationTime(RunCli({"check", "--json"}));
}
BENCHMARK(BM_Check)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_Ledger(benchmark::State& state) {
  Home();
  for (auto _ : state) state.SetIterationTime(RunCli({"ledger", "--json"}));
}
BENCHMARK(BM_Ledger)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Both in turn, so that a busy machine weighs on both alike.
void BM_LedgerOverCheck(benchmark::State& state) {
  Home();
  double check = 0, ledger = 0;
  for (auto _ : state) {
    check += RunCli({"check", "--json"});
    ledger += RunCli({"ledger", "--json"});
  }
  state.counters["ratio"] = ledger / check;
}
BENCHMARK(BM_LedgerOverCheck)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
