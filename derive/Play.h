#pragma once
// Plays: the 双色球 tickets a player actually bought (单式, 复式 or 胆拖),
// what they cost, and how many of their bets won each tier. A play holds up
// to a million bets, so the winning bets are counted, never enumerated.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "derive/PrizeCheck.h"

namespace rg_com_ptl_xyh {

// dan empty: red holds the reds of a 单式 or 复式; else red holds the 拖.
struct rg_Play {
  std::vector<int> dan;
  std::vector<int> red;
  std::vector<int> blue;
  int multiple = 1;

  bool operator==(const rg_Play&) const = default;
  auto operator<=>(const rg_Play&) const = default;
};

enum class rg_PlayKind { Single, Multiple, DanTuo };

inline constexpr int kPlayMaxBets = 1'000'000;  // bets × multiple
inline constexpr int kPlayMaxMultiple = 99;
inline constexpr int kPlayBetPrice = 2;  // 元

rg_PlayKind KindOf(const rg_Play& play);
// "单式", "复式", "胆拖".
std::u16string KindName(rg_PlayKind kind);
// C(n, k) in 64 bits; 0 outside 0 <= k <= n. n stays within 33 here.
std::int64_t Choose(int n, int k);
// C(|red|, 6) × |blue|, or C(|拖|, 6 − |胆|) × |blue| for a 胆拖.
std::int64_t PlayBets(const rg_Play& play);
// bets × 2 元 × multiple.
std::int64_t PlayCost(const rg_Play& play);
// The rule the play breaks, as the window and the command line say it;
// empty for a play that may be bought.
std::u16string PlayRefusal(const rg_Play& play);
// Sorts the number lists, as plays are kept and shown.
void SortPlay(rg_Play& play);

struct rg_PlayCheck {
  bool scored = false;
  std::vector<int> danHits;  // ascending
  std::vector<int> redHits;  // ascending
  bool blueHit = false;
  // winning[t]: the winning bets of tier t (1..6); [0] stays 0. One bet
  // played m times counts once.
  std::array<std::int64_t, kTierCount + 1> winning{};
  int bestTier = 0;
  // Σ winning × fixed prize × multiple; tiers 1 and 2 float and add 0.
  std::int64_t fixedPrize = 0;
};

// draw nullptr: the play is not scored (its cast is pending, or its draw
// is missing from the archive).
rg_PlayCheck ScorePlay(const rg_Play& play, const rg_DrawNumbers* draw);

// The better of two tiers (1 best, 0 nothing).
inline int BetterTier(int a, int b) {
  if (a == 0) return b;
  if (b == 0) return a;
  return a < b ? a : b;
}

}  // namespace rg_com_ptl_xyh
