// Peak memory of xyh-cli over a very long draw archive: draws list --json
// and stats --json stream their output, so the figure stays far below what
// the whole list or a document tree of it would take. Each run forks the
// real command with its output to /dev/null and reads its peak resident
// size (ru_maxrss) from wait4; the goal is at most 64 MB for 433 000 draws.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr int kDraws = 433'000;

// Made once: 433 000 valid 双色球 draws, about fifty a day from the first
// draw date on (so every date is a real past day), issues 1000000 up.
const std::filesystem::path& Home() {
  static const std::filesystem::path home = [] {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "xyh-bench-list-XXXXXX").string();
    std::filesystem::path dir = mkdtemp(pattern.data());
    {
      rg_EasyDb store;
      store.Open(dir);
      rg_DrawArchive archive(store);
      // The table as the archive makes it, through one small import (a
      // draw of the schedule: the rows below go in past the rules).
      if (!archive.Import(LotteryCode::DoubleColor,
                          "issue,date,red,blue\n2003001,2003-02-23,01 02 03 04 05 06,07\n",
                          MakeDate(2026, 12, 1))) {
        std::abort();
      }
    }
    sqlite3* db = nullptr;
    sqlite3_open(rg_EasyDb::FileIn(dir).c_str(), &db);
    sqlite3_exec(db, "BEGIN;", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO xyh_draws VALUES (101,?,?,?,?,46000);", -1, &s, nullptr);
    const double first = MakeDate(2003, 2, 23);
    unsigned seed = 433;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    for (int i = 1; i < kDraws; ++i) {
      std::vector<int> reds;
      while (reds.size() < 6) {
        const int n = static_cast<int>(next() % 33) + 1;
        bool seen = false;
        for (int r : reds) seen |= r == n;
        if (!seen) reds.push_back(n);
      }
      const std::string issue = std::to_string(1000000 + i);
      const std::string date = ToUtf8(DrawDateText(AddDays(first, i / 50)));
      const std::string red = NumbersText(reds);
      const std::string blue = NumbersText({static_cast<int>(next() % 16) + 1});
      sqlite3_bind_text(s, 1, issue.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 2, date.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 3, red.c_str(), -1, SQLITE_TRANSIENT);
      sqlite3_bind_text(s, 4, blue.c_str(), -1, SQLITE_TRANSIENT);
      if (sqlite3_step(s) != SQLITE_DONE) std::abort();
      sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return dir;
  }();
  return home;
}

// Runs xyh-cli with args, output to /dev/null; its peak resident size in MB.
double PeakMegabytes(const std::vector<std::string>& args) {
  std::vector<std::string> words = {XYH_CLI_PATH};
  words.insert(words.end(), args.begin(), args.end());
  words.push_back("--home");
  words.push_back(Home().string());
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
  rusage usage{};
  wait4(child, &status, 0, &usage);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::abort();
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void Run(benchmark::State& state, const std::vector<std::string>& args) {
  Home();
  double peak = 0;
  for (auto _ : state) peak = std::max(peak, PeakMegabytes(args));
  state.counters["peak_MB"] = peak;
  state.counters["draws"] = kDraws;
}

void BM_DrawsListJson(benchmark::State& state) { Run(state, {"draws", "list", "--json"}); }
void BM_DrawsList(benchmark::State& state) { Run(state, {"draws", "list"}); }
void BM_StatsJson(benchmark::State& state) { Run(state, {"stats", "--json"}); }
void BM_StatsText(benchmark::State& state) { Run(state, {"stats"}); }

}  // namespace

BENCHMARK(BM_DrawsListJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_DrawsList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StatsJson)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_StatsText)->Unit(benchmark::kMillisecond)->Iterations(3);
