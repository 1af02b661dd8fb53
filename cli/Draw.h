#pragma once
#include <string>
#include <vector>

namespace xyh_cli {
int RunDraw(const std::vector<std::string>& args);
}
