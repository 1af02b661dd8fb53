#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {
// xyh-cli draws list|export|import: the draw archive.
int RunDraws(const std::vector<std::string>& args);
// The check of draws --lottery (see Term::check).
void CheckDrawsLottery(const std::string& code, std::string_view option);
// The check of draws prize --first and --second: whole yuan in range.
void CheckPrizeAmount(const std::string& yuan, std::string_view option);
}  // namespace xyh_cli
