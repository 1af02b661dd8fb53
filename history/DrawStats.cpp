#include "history/DrawStats.h"

#include <algorithm>
#include <numeric>

namespace rg_com_ptl_xyh {

namespace {

// Issues are digits only (the archive checks that); leading zeros aside,
// the longer one is the larger number, and equal lengths compare as text.
std::u16string_view Significant(std::u16string_view issue) {
  const auto first = issue.find_first_not_of(u'0');
  return first == std::u16string_view::npos ? std::u16string_view() : issue.substr(first);
}

bool IssueBefore(std::u16string_view a, std::u16string_view b) {
  a = Significant(a);
  b = Significant(b);
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

// Six distinct reds 1..33 and one blue 1..16. Checked here rather than
// through the archive's rule check, which words a reason for every draw.
bool IsDoubleColorImpl(const rg_DrawEntry& d) {
  if (d.lottery != LotteryCode::DoubleColor || d.numbers.size() != 6 || d.extra.size() != 1)
    return false;
  if (d.extra[0] < 1 || d.extra[0] > kBlueCount) return false;
  std::uint64_t seen = 0;
  for (int n : d.numbers) {
    if (n < 1 || n > kRedCount || (seen & (std::uint64_t{1} << n)) != 0) return false;
    seen |= std::uint64_t{1} << n;
  }
  return true;
}

rg_DrawShape ShapeOf(const rg_DrawEntry& d) {
  rg_DrawShape s;
  s.issue = d.issue;
  s.date = d.date;
  std::copy(d.numbers.begin(), d.numbers.end(), s.red.begin());
  std::sort(s.red.begin(), s.red.end());
  s.blue = d.extra.front();
  s.sum = std::accumulate(s.red.begin(), s.red.end(), 0);
  s.span = s.red.back() - s.red.front();
  for (std::size_t i = 0; i < s.red.size(); ++i) {
    s.odd += s.red[i] % 2;
    s.big += s.red[i] >= kBigRed ? 1 : 0;
    if (i > 0 && s.red[i] - s.red[i - 1] == 1) ++s.consecutive;
  }
  return s;
}

// Walks the window oldest first for one zone: the running omission of every
// number after each draw is a trend row; count, final omission and the
// longest run fall out of the same pass.
template <std::size_t Size, typename NumbersOf>
void Tally(const std::vector<rg_DrawShape>& window, NumbersOf numbersOf,
           std::array<rg_NumberStat, Size>& stats, std::vector<std::uint16_t>& trend) {
  std::array<int, Size> running{};  // draws since last seen, counted from the window's start
  for (std::size_t n = 0; n < Size; ++n) stats[n].number = static_cast<int>(n) + 1;
  trend.resize(window.size() * Size);
  std::uint16_t* row = trend.data();
  for (const rg_DrawShape& draw : window) {
    for (int& r : running) ++r;
    for (int n : numbersOf(draw)) {
      running[static_cast<std::size_t>(n - 1)] = 0;
      ++stats[static_cast<std::size_t>(n - 1)].count;
    }
    for (std::size_t n = 0; n < Size; ++n) {
      // 65 535 draws without a number is centuries of draws; the cell caps there.
      row[n] = static_cast<std::uint16_t>(std::min(running[n], 0xFFFF));
      stats[n].maxOmission = std::max(stats[n].maxOmission, running[n]);
    }
    row += Size;
  }
  for (std::size_t n = 0; n < Size; ++n) stats[n].omission = running[n];
}

// The six hot and six cold reds: by count, then smaller omission, then
// number; each list from its extreme, hottest first and coldest first.
void RankHotAndCold(rg_DrawStats& stats);

}  // namespace

bool DrawBefore(const rg_DrawEntry& a, const rg_DrawEntry& b) {
  if (a.date != b.date) return a.date < b.date;
  return IssueBefore(a.issue, b.issue);
}

rg_DrawStats ComputeDrawStats(const std::vector<rg_DrawEntry>& draws, std::size_t last) {
  std::vector<const rg_DrawEntry*> valid;
  valid.reserve(draws.size());
  for (const rg_DrawEntry& d : draws) {
    if (IsDoubleColorImpl(d)) valid.push_back(&d);
  }
  const auto before = [](const rg_DrawEntry* a, const rg_DrawEntry* b) {
    return DrawBefore(*a, *b);
  };
  // The archive hands them over in order already; anyone else may not.
  if (!std::is_sorted(valid.begin(), valid.end(), before))
    std::stable_sort(valid.begin(), valid.end(), before);
  const std::size_t size = last == 0 ? valid.size() : std::min(last, valid.size());
  rg_DrawStats stats;
  stats.draws = static_cast<int>(size);
  stats.perDraw.reserve(size);
  for (auto it = valid.end() - static_cast<std::ptrdiff_t>(size); it != valid.end(); ++it) {
    stats.perDraw.push_back(ShapeOf(**it));
  }
  // The holes, draw by draw: a pair at a time keeps them in the chart's
  // order even where the dates and the issues disagree.
  stats.holesBefore.assign(size, 0);
  for (std::size_t i = 1; i < size; ++i) {
    stats.holesBefore[i] = static_cast<int>(
        MissingBetween(stats.perDraw[i - 1].issue, stats.perDraw[i].issue, stats.missingIssues));
  }
  if (!std::is_sorted(stats.missingIssues.begin(), stats.missingIssues.end())) {
    std::sort(stats.missingIssues.begin(), stats.missingIssues.end());
    stats.missingIssues.erase(std::unique(stats.missingIssues.begin(), stats.missingIssues.end()),
                              stats.missingIssues.end());
  }

  Tally(
      stats.perDraw, [](const rg_DrawShape& d) { return d.red; }, stats.red, stats.redTrend);
  Tally(
      stats.perDraw, [](const rg_DrawShape& d) { return std::array<int, 1>{d.blue}; }, stats.blue,
      stats.blueTrend);

  RankHotAndCold(stats);
  return stats;
}

bool IsDoubleColorDraw(const rg_DrawEntry& d) { return IsDoubleColorImpl(d); }

rg_DrawShape DrawShapeOf(const rg_DrawEntry& d) { return ShapeOf(d); }

rg_DrawTally::rg_DrawTally() {
  for (std::size_t n = 0; n < kRedCount; ++n) stats_.red[n].number = static_cast<int>(n) + 1;
  for (std::size_t n = 0; n < kBlueCount; ++n) stats_.blue[n].number = static_cast<int>(n) + 1;
}

namespace {

// One draw into one zone's figures, as Tally counts them.
template <std::size_t Size, typename Numbers>
void TallyOne(const Numbers& drawn, std::array<int, Size>& running,
              std::array<rg_NumberStat, Size>& stats) {
  for (int& r : running) ++r;
  for (int n : drawn) {
    running[static_cast<std::size_t>(n - 1)] = 0;
    ++stats[static_cast<std::size_t>(n - 1)].count;
  }
  for (std::size_t n = 0; n < Size; ++n) {
    stats[n].maxOmission = std::max(stats[n].maxOmission, running[n]);
    stats[n].omission = running[n];
  }
}

}  // namespace

void rg_DrawTally::Add(const rg_DrawShape& draw) {
  if (stats_.draws > 0) MissingBetween(previous_, draw.issue, stats_.missingIssues);
  previous_ = draw.issue;
  ++stats_.draws;
  TallyOne(draw.red, redRunning_, stats_.red);
  TallyOne(std::array<int, 1>{draw.blue}, blueRunning_, stats_.blue);
}

rg_DrawStats rg_DrawTally::Finish() const {
  rg_DrawStats stats = stats_;
  // Draws whose dates and issues disagree can name a hole twice.
  std::sort(stats.missingIssues.begin(), stats.missingIssues.end());
  stats.missingIssues.erase(std::unique(stats.missingIssues.begin(), stats.missingIssues.end()),
                            stats.missingIssues.end());
  RankHotAndCold(stats);
  return stats;
}

namespace {

void RankHotAndCold(rg_DrawStats& stats) {
  std::array<int, kRedCount> ranking;
  std::iota(ranking.begin(), ranking.end(), 1);
  std::sort(ranking.begin(), ranking.end(), [&stats](int a, int b) {
    const rg_NumberStat& x = stats.red[static_cast<std::size_t>(a - 1)];
    const rg_NumberStat& y = stats.red[static_cast<std::size_t>(b - 1)];
    if (x.count != y.count) return x.count > y.count;
    if (x.omission != y.omission) return x.omission < y.omission;
    return x.number < y.number;
  });
  std::copy(ranking.begin(), ranking.begin() + kHotColdSize, stats.hot.begin());
  std::reverse_copy(ranking.end() - kHotColdSize, ranking.end(), stats.cold.begin());
}

}  // namespace

}  // namespace rg_com_ptl_xyh
