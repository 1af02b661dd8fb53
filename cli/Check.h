#pragma once
#include <string>
#include <vector>

namespace xyh_cli {
// xyh-cli check: saved casts, or a bought ticket, against the stored draws.
int RunCheck(const std::vector<std::string>& args);
}  // namespace xyh_cli
