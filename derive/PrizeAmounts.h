#pragma once
// The floating prizes: 一等奖 and 二等奖 of 双色球 pay per bet what each draw
// announces. A figure counts a floating tier only with the amount stored for
// its draw; without one the winning bets are said, never priced as 0.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "derive/Play.h"
#include "derive/PrizeCheck.h"

namespace rg_com_ptl_xyh {

// Per bet, whole 元; nullopt while the draw's amount is not known.
struct rg_FloatingAmounts {
  std::optional<std::int64_t> first;
  std::optional<std::int64_t> second;

  bool operator==(const rg_FloatingAmounts&) const = default;
  std::optional<std::int64_t> OfTier(int tier) const {
    return tier == 1 ? first : tier == 2 ? second : std::nullopt;
  }
};

// Announced amounts stay within this; more is a typing error.
inline constexpr std::int64_t kFloatingAmountMax = 10'000'000;
// "奖金未录入": said for a floating win whose amount is not stored.
inline constexpr std::u16string_view kAmountUnknownText = u"奖金未录入";

// What a scored play or ticket won.
struct rg_PrizeSum {
  std::int64_t won = 0;  // fixed prizes, plus floating ones with their amount
  // Winning bets of 一等奖/二等奖 (each bet once, as the bets are counted)
  // whose amount is not stored, by tier; [0] and [3..6] stay 0.
  std::array<std::int64_t, 3> unknownBets{};
  std::int64_t UnknownBets() const { return unknownBets[1] + unknownBets[2]; }
};

// won = fixed prize + Σ amount × winning bets × 倍数 over the floating tiers
// whose amount is known.
rg_PrizeSum PlayPrize(const rg_PlayCheck& check, int multiple, const rg_FloatingAmounts& amounts);
// A derived ticket: its bets on the drawn blue and on the others.
rg_PrizeSum TicketPrize(const rg_TicketCheck& ticket, const rg_FloatingAmounts& amounts);

// "一等奖 1注, 奖金未录入" for each floating tier won without an amount;
// "" when there is none.
std::u16string UnknownAmountText(const rg_PrizeSum& sum);

}  // namespace rg_com_ptl_xyh
