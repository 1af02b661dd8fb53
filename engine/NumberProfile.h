#pragma once
// rg_GuaNumProfile: the number profile at the end of the analysis record.
// The numbers the derivation reads off one analysed cast. Kept at the end
// of the analysis record and rebuilt with it.
#include <array>
#include <cstdint>
#include <string>

namespace rg_com_ptl_xyh {

struct rg_GuaNumProfile {
  std::int32_t zodiacDigit = 0;
  std::int32_t dayStemDigit = 0;
  std::int32_t dayBranchDigit = 0;
  std::int32_t hourStemDigit = 0;
  std::int32_t hourBranchDigit = 0;
  // Line 1 stem, line 1 branch, line 2 stem, ... (12 values).
  std::array<std::int32_t, 12> primaryDigits{};
  std::array<std::int32_t, 12> changedDigits{};
  // R(zodiac, day stem), R(zodiac, day branch), R(zodiac, hour stem),
  // R(zodiac, hour branch).
  std::array<std::int32_t, 4> zodiacRelations{};
  std::int32_t worldIndex = 0;
  std::int32_t changedResponseIndex = 0;
  std::array<std::int32_t, 2> worldDigits{};
  std::array<std::int32_t, 2> responseChangedDigits{};
  std::array<std::int32_t, 2> changedWorldDigits{};
  std::array<std::int32_t, 2> changedResponseDigits{};
  std::array<std::int32_t, 6> moving{};
  std::array<std::u16string, 6> spirits;
  std::array<std::u16string, 6> relatives;

  bool operator==(const rg_GuaNumProfile&) const = default;
};

}  // namespace rg_com_ptl_xyh
