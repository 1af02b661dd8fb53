#pragma once
#include <string>
#include <vector>

namespace xyh_cli {

int RunCast(const std::vector<std::string>& args);

// Shared readers, also used by other subcommands.
int ParseZodiac(const std::string& text);
// "YYYY-MM-DD HH:MM:SS[.mmm]" as a local day count.
double ParseLocalTime(const std::string& text, const std::string& option);
std::string FormatLocalTime(double date);

}  // namespace xyh_cli
