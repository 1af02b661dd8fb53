#pragma once
// The floating prize amounts of the stored 双色球 draws (一等奖, 二等奖 per
// bet), kept in two nullable columns of the draw archive's table. An archive
// written before they existed gets them by a schema step at the first
// amount stored; until then every amount reads as unknown.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "derive/PrizeAmounts.h"
#include "history/DrawArchive.h"

namespace rg_com_ptl_xyh {

// Stored amounts by issue (the archive's normal form); draws without an
// amount are absent.
using rg_PrizeAmounts = std::map<std::u16string, rg_FloatingAmounts>;

// The amounts of one draw, unknown ones nullopt.
rg_FloatingAmounts AmountsOf(const rg_PrizeAmounts& amounts, std::u16string_view issue);

// A whole number of 元 from 1 to kFloatingAmountMax, digits only; refused
// with the reason otherwise.
Result<std::int64_t> ParsePrizeAmount(std::string_view text);

// The draw file header that carries the amounts.
inline constexpr std::string_view kPrizeHeader = "issue,date,red,blue,first,second";

class rg_DrawPrizes {
 public:
  explicit rg_DrawPrizes(rg_EasyDb& store) : store_(&store), archive_(store) {}

  // Every stored amount of lottery; a failure carrying the store's status
  // when they cannot be read, Damaged (the row named) for a stored amount
  // that is no whole number in range.
  Result<rg_PrizeAmounts> All(LotteryCode lottery) const;
  // Sets the amounts given (an absent one stays as stored) of a stored
  // draw. Refused for an amount out of range, refused as not found for an
  // issue not stored; nothing is written then.
  Result<void> Set(LotteryCode lottery, std::u16string_view issue,
                   const rg_FloatingAmounts& amounts);
  // A draw file with or without the amount columns (kPrizeHeader): the
  // draws imported as rg_DrawArchive::Import does, all or none, then the
  // amounts given stored. A stated amount that differs from a stored one
  // refuses the import, as other numbers do.
  Result<rg_DrawArchive::ImportCounts> Import(LotteryCode lottery, std::string_view csv,
                                              double now);
  // The file form: the archive's, with first,second added when any amount
  // of lottery is stored (a file without amounts stays as it always was).
  Result<std::string> Export(LotteryCode lottery) const;

  const rg_DrawArchive& Archive() const { return archive_; }

 private:
  // nullopt when the table cannot be read; false when the columns are not
  // there yet (or the table is not).
  std::optional<bool> HasColumns() const;
  bool AddColumns();
  Result<void> Write(LotteryCode lottery, const rg_PrizeAmounts& amounts);

  rg_EasyDb* store_;
  rg_DrawArchive archive_;
};

}  // namespace rg_com_ptl_xyh
