#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {
// xyh-cli stats: frequency, omission and draw shapes over the stored 双色球 draws.
int RunStats(const std::vector<std::string>& args);
// The check of stats --last (see Term::check).
void CheckLast(const std::string& last, std::string_view option);
}  // namespace xyh_cli
