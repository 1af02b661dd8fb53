#pragma once
// Number statistics over the stored 双色球 draws: how often each number
// came, how long it has been away, the shape of each draw, and the running
// omission a trend chart shows. Plain values in, plain values out, so the
// command line and the trend window read the same figures.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "history/DrawArchive.h"

namespace rg_com_ptl_xyh {

constexpr int kRedCount = 33;
constexpr int kBlueCount = 16;
// Reds from here up count as big (大号).
constexpr int kBigRed = 17;
// How many numbers the hot and the cold list hold.
constexpr int kHotColdSize = 6;

struct rg_NumberStat {
  int number = 0;
  int count = 0;        // draws of the window that hold it
  int omission = 0;     // draws since it was last drawn; the window's size when never
  int maxOmission = 0;  // the longest run of draws without it, both ends included
};

struct rg_DrawShape {
  std::u16string issue;
  double date = 0.0;
  std::array<int, 6> red{};  // ascending
  int blue = 0;
  int sum = 0;          // 和值
  int span = 0;         // 跨度
  int odd = 0;          // odd reds
  int big = 0;          // reds from 17 up
  int consecutive = 0;  // pairs of reds one apart
};

struct rg_DrawStats {
  int draws = 0;  // the window's size
  std::array<rg_NumberStat, kRedCount> red{};
  std::array<rg_NumberStat, kBlueCount> blue{};
  std::vector<rg_DrawShape> perDraw;     // the window, oldest first
  std::array<int, kHotColdSize> hot{};   // hottest first
  std::array<int, kHotColdSize> cold{};  // coldest first
  // The trend chart's cells, one row per draw of the window, oldest first:
  // 0 where the number was drawn, else the draws since it last was (counted
  // from the window's start when it was not drawn before in the window).
  std::vector<std::uint16_t> redTrend;   // draws × 33
  std::vector<std::uint16_t> blueTrend;  // draws × 16
  // The issues missing between the window's draws, ascending
  // (MissingIssues); the figures above count the stored draws only.
  std::vector<std::u16string> missingIssues;
  // For each draw of the window, how many issues are missing just before
  // it (MissingBetween it and the draw before): the trend chart's hole rows.
  std::vector<int> holesBefore;

  bool Empty() const { return draws == 0; }
  const std::u16string& FirstIssue() const { return perDraw.front().issue; }
  const std::u16string& LastIssue() const { return perDraw.back().issue; }
  int RedCell(int row, int number) const {
    return redTrend[static_cast<std::size_t>(row) * kRedCount + (number - 1)];
  }
  int BlueCell(int row, int number) const {
    return blueTrend[static_cast<std::size_t>(row) * kBlueCount + (number - 1)];
  }
};

// "Newer" for two draws: a later draw date, then a later issue (compared as
// numbers, so 2027001 follows 2026150 and 1000 follows 999).
bool DrawBefore(const rg_DrawEntry& a, const rg_DrawEntry& b);

// Whether d is a valid 双色球 draw, and its shape.
bool IsDoubleColorDraw(const rg_DrawEntry& d);
rg_DrawShape DrawShapeOf(const rg_DrawEntry& d);

// The figures of ComputeDrawStats taken one draw at a time, oldest first,
// without holding the draws: for windows too long to keep. Finish gives
// everything but perDraw and the trend cells.
class rg_DrawTally {
 public:
  rg_DrawTally();
  void Add(const rg_DrawShape& draw);
  rg_DrawStats Finish() const;

 private:
  rg_DrawStats stats_;
  std::array<int, kRedCount> redRunning_{};
  std::array<int, kBlueCount> blueRunning_{};
  std::u16string previous_;  // the issue before, for the holes between
};

// The figures over the newest `last` 双色球 draws (all of them when last is
// 0 or more than there are), whatever order they come in. Entries that are
// no valid 双色球 draw are passed over.
rg_DrawStats ComputeDrawStats(const std::vector<rg_DrawEntry>& draws, std::size_t last = 0);

}  // namespace rg_com_ptl_xyh
