#pragma once
#include <string>
#include <vector>

namespace xyh_cli {

int RunHistory(const std::vector<std::string>& args);

}  // namespace xyh_cli
