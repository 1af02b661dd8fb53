#pragma once
#include <string>
#include <vector>

namespace xyh_cli {
// xyh-cli draws list|export|import: the draw archive.
int RunDraws(const std::vector<std::string>& args);
}  // namespace xyh_cli
