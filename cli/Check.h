#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {
// xyh-cli check: saved casts, or a bought ticket, against the stored draws.
int RunCheck(const std::vector<std::string>& args);
// The check of check --issue (see Term::check).
void CheckIssue(const std::string& issue, std::string_view option);
}  // namespace xyh_cli
