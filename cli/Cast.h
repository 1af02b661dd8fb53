#pragma once
#include <iosfwd>
#include <string>
#include <vector>

namespace xyh_cli {

int RunCast(const std::vector<std::string>& args);
// One cast, its JSON or text written to sink. In batch mode the output is
// one line of JSON, saving is refused and a refused cast throws UsageError.
int RunCastTo(const std::vector<std::string>& args, std::ostream& sink, bool batch);
// cast --batch: one cast per line of in, one line of JSON per cast to out.
int RunCastBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out);

// Shared readers, also used by other subcommands.
int ParseZodiac(const std::string& text);
// "YYYY-MM-DD HH:MM:SS[.mmm]" as a local day count.
double ParseLocalTime(const std::string& text, const std::string& option);
std::string FormatLocalTime(double date);

}  // namespace xyh_cli
