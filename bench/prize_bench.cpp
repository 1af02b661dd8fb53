// 对奖 over a large history: checking 100 000 saved casts against 3 000
// stored draws, next to deriving the same casts alone. Finding each cast's
// draw and scoring its tickets should add little to the derivation. And
// plays: 10 000 of 20 reds and 16 blues next to 10 000 single tickets.
#include <benchmark/benchmark.h>

#include <vector>

#include "FilledHistory.h"
#include "derive/Play.h"
#include "history/SavedCast.h"
#include "history/SavedCasts.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

constexpr int kCasts = 100'000;
constexpr int kDraws = 3'000;

// 3 000 draws on Sundays, Tuesdays and Thursdays from 2007 on, numbers
// made up but valid, with no issue missing.
const rg_DrawIndex& Draws() {
  static const rg_DrawIndex index = [] {
    std::vector<rg_DrawEntry> draws;
    double day = MakeDate(2007, 1, 2);
    unsigned seed = 12345;
    const auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7fff; };
    int year = 0;
    int ofYear = 0;
    while (static_cast<int>(draws.size()) < kDraws) {
      const DateParts parts = SplitDate(day);
      const int weekday = parts.weekday;
      if (weekday == 1 || weekday == 3 || weekday == 5) {
        rg_DrawEntry d;
        // Real issues, numbered from 001 each year, so every cast meets a
        // draw the archive can vouch for.
        if (parts.year != year) year = parts.year, ofYear = 0;
        d.issue = DecimalText(year * 1000LL + ++ofYear);
        d.date = day;
        while (d.numbers.size() < 6) {
          const int n = static_cast<int>(next() % 33) + 1;
          if (std::find(d.numbers.begin(), d.numbers.end(), n) == d.numbers.end())
            d.numbers.push_back(n);
        }
        d.extra = {static_cast<int>(next() % 16) + 1};
        draws.push_back(d);
      }
      day = AddDays(day, 1);
    }
    return rg_DrawIndex(std::move(draws));
  }();
  return index;
}

// Saved casts of all three kinds spread over the same years (and a few past
// the last draw, still pending).
const std::vector<rg_YsModel>& Casts() {
  static const std::vector<rg_YsModel> casts = [] {
    std::vector<rg_YsModel> out;
    out.reserve(kCasts);
    const double first = MakeDate(2007, 1, 1);
    const double span = Draws().Draws().back().date - first + 30;
    for (int i = 0; i < kCasts; ++i) {
      rg_YsModel r;
      r._id = i + 1;
      r.gzsxid = i % 12 + 1;
      r.ysday = first + span * (i / static_cast<double>(kCasts)) + (i % 97) / 97.0;
      switch (i % 3) {
        case 0:
          r.ysindex = 1;
          r.ysnumber = DecimalText(1000 + i);
          break;
        case 1:
          r.ysindex = 3;
          r.rot = 1 + i % 2;
          r.ysnumber = DecimalText(1'700'000'000'000LL + i * 7919LL);
          break;
        default:
          r.ysindex = 2;
          r.upstr = i % 2 ? u"101" : u"010";
          r.downstr = i % 5 ? u"110" : u"001";
          r.dong = {i % 4 == 0 ? (r.downstr[0] == u'1' ? 1 : -1) : 0, 0, 0, 0, 0, 0};
          break;
      }
      out.push_back(r);
    }
    return out;
  }();
  return casts;
}

void BM_DeriveSavedCasts(benchmark::State& state) {
  const auto& casts = Casts();
  rg_SavedCastDeriver deriver;
  for (auto _ : state) {
    for (const rg_YsModel& r : casts) benchmark::DoNotOptimize(deriver.Derive(r));
  }
  state.SetItemsProcessed(state.iterations() * kCasts);
}
BENCHMARK(BM_DeriveSavedCasts)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CheckSavedCasts(benchmark::State& state) {
  const auto& casts = Casts();
  const rg_DrawIndex& index = Draws();
  rg_SavedCastDeriver deriver;
  std::int64_t prizes = 0;
  for (auto _ : state) {
    for (const rg_YsModel& r : casts) prizes += deriver.Check(r, index).check.fixedPrize;
  }
  benchmark::DoNotOptimize(prizes);
  state.SetItemsProcessed(state.iterations() * kCasts);
}
BENCHMARK(BM_CheckSavedCasts)->Unit(benchmark::kMillisecond)->Iterations(3);

// The check alone on numbers already derived: the part that must be near free.
void BM_ScoreOnly(benchmark::State& state) {
  const auto& casts = Casts();
  const rg_DrawIndex& index = Draws();
  rg_SavedCastDeriver deriver;
  std::vector<DerivedNumbers> numbers;
  numbers.reserve(1000);
  for (int i = 0; i < 1000; ++i)
    numbers.push_back(
        deriver.Derive(casts[static_cast<std::size_t>(i) * 100]).value_or(DerivedNumbers{}));
  std::size_t i = 0;
  for (auto _ : state) {
    const rg_YsModel& r = casts[(i % 1000) * 100];
    benchmark::DoNotOptimize(CheckNumbers(numbers[i % 1000], r.ysday, IsDrawTimeCast(r), index));
    ++i;
  }
}
BENCHMARK(BM_ScoreOnly);

// Plays: 10 000 复式 of 20 reds and 16 blues (620 160 bets each) against
// 10 000 single tickets, over the same draws. Counting the winning bets in
// closed form keeps the big plays within twice the cost of the tickets.
constexpr int kPlays = 10'000;

const rg_DrawNumbers& PlayDraw(int i) {
  static const std::vector<rg_DrawNumbers> draws = [] {
    std::vector<rg_DrawNumbers> out;
    for (const rg_DrawEntry& d : Draws().Draws()) out.push_back(*DoubleColorNumbers(d));
    return out;
  }();
  return draws[static_cast<std::size_t>(i) % draws.size()];
}

void BM_CheckSingleTickets(benchmark::State& state) {
  std::vector<rg_PlayedNumbers> tickets(kPlays);
  for (int i = 0; i < kPlays; ++i) {
    std::vector<int> red;
    red.reserve(6);
    for (int k = 0; k < 6; ++k) red.push_back((i + k * 5) % 33 + 1);
    tickets[static_cast<std::size_t>(i)] = {{red}, {i % 16 + 1}};
  }
  std::int64_t prizes = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPlays; ++i)
      prizes += ScoreTickets(tickets[static_cast<std::size_t>(i)], &PlayDraw(i)).fixedPrize;
  }
  benchmark::DoNotOptimize(prizes);
  state.SetItemsProcessed(state.iterations() * kPlays);
}
BENCHMARK(BM_CheckSingleTickets)->Unit(benchmark::kMillisecond);

void BM_CheckLargePlays(benchmark::State& state) {
  std::vector<rg_Play> plays(kPlays);
  for (int i = 0; i < kPlays; ++i) {
    rg_Play& p = plays[static_cast<std::size_t>(i)];
    p.red.reserve(20);
    p.blue.reserve(16);
    for (int k = 0; k < 20; ++k) p.red.push_back((i + k) % 33 + 1);
    for (int b = 1; b <= 16; ++b) p.blue.push_back(b);
    SortPlay(p);
  }
  std::int64_t prizes = 0;
  for (auto _ : state) {
    for (int i = 0; i < kPlays; ++i)
      prizes += ScorePlay(plays[static_cast<std::size_t>(i)], &PlayDraw(i)).fixedPrize;
  }
  benchmark::DoNotOptimize(prizes);
  state.SetItemsProcessed(state.iterations() * kPlays);
}
BENCHMARK(BM_CheckLargePlays)->Unit(benchmark::kMillisecond);

// What the window reads on the list's thread before a check pass: every
// saved cast, next to the listing the list itself is filled from.
void BM_LoadAllCasts(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(bench_support::FilledHistoryHome(kCasts));
  for (auto _ : state) benchmark::DoNotOptimize(LoadAllCasts(db));
}
BENCHMARK(BM_LoadAllCasts)->Unit(benchmark::kMillisecond);

// What it reads after a save: ids and cast times only.
void BM_ListCastTimes(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(bench_support::FilledHistoryHome(kCasts));
  for (auto _ : state) benchmark::DoNotOptimize(ListCastTimes(db));
}
BENCHMARK(BM_ListCastTimes)->Unit(benchmark::kMillisecond);

void BM_ListForComparison(benchmark::State& state) {
  rg_EasyDb db;
  db.Open(bench_support::FilledHistoryHome(kCasts));
  for (auto _ : state) benchmark::DoNotOptimize(db.List());
}
BENCHMARK(BM_ListForComparison)->Unit(benchmark::kMillisecond);

}  // namespace
