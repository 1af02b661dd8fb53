#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {
int RunDraw(const std::vector<std::string>& args);
// The check of draw --lottery (see Term::check).
void CheckDrawLottery(const std::string& code, std::string_view option);
}  // namespace xyh_cli
