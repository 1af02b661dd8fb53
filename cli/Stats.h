#pragma once
#include <string>
#include <vector>

namespace xyh_cli {
// xyh-cli stats: frequency, omission and draw shapes over the stored 双色球 draws.
int RunStats(const std::vector<std::string>& args);
}  // namespace xyh_cli
