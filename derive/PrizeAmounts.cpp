#include "derive/PrizeAmounts.h"

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

void AddFloating(rg_PrizeSum& sum, int tier, std::int64_t bets, std::int64_t multiple,
                 const rg_FloatingAmounts& amounts) {
  if (bets <= 0 || tier < 1 || tier > 2) return;
  if (const auto amount = amounts.OfTier(tier)) {
    sum.won += *amount * bets * multiple;
  } else {
    sum.unknownBets[static_cast<std::size_t>(tier)] += bets;
  }
}

}  // namespace

rg_PrizeSum PlayPrize(const rg_PlayCheck& check, int multiple, const rg_FloatingAmounts& amounts) {
  rg_PrizeSum sum;
  if (!check.scored) return sum;
  sum.won = check.fixedPrize;
  for (int tier = 1; tier <= 2; ++tier)
    AddFloating(sum, tier, check.winning[static_cast<std::size_t>(tier)], multiple, amounts);
  return sum;
}

rg_PrizeSum TicketPrize(const rg_TicketCheck& ticket, const rg_FloatingAmounts& amounts) {
  rg_PrizeSum sum;
  sum.won = ticket.fixedPrize;
  // Six reds met: the bet on the drawn blue is 一等奖, every other bet of
  // the blue list 二等奖; fewer reds never reach a floating tier.
  if (ticket.hits.size() != 6) return sum;
  const int withBlue = ticket.blueHit ? 1 : 0;
  AddFloating(sum, 1, withBlue, 1, amounts);
  AddFloating(sum, 2, ticket.bets - withBlue, 1, amounts);
  return sum;
}

std::u16string UnknownAmountText(const rg_PrizeSum& sum) {
  std::u16string out;
  for (int tier = 1; tier <= 2; ++tier) {
    const std::int64_t bets = sum.unknownBets[static_cast<std::size_t>(tier)];
    if (bets == 0) continue;
    if (!out.empty()) out += u"; ";
    out += TierName(tier) + u" " + DecimalText(bets) + u"注, " + std::u16string(kAmountUnknownText);
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
