#pragma once
// What every xyh-cli command does the same way: the program directory of
// --home and the store in it, local times as text, and JSON output.
#include <json/value.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/Choices.h"

namespace rg_com_ptl_xyh {
class rg_DrawArchive;
}

namespace xyh_cli {

// The lottery a --lottery value names: one to three digits, 100 to 106;
// nullopt for any other text, for the command to refuse in its own words.
std::optional<rg_com_ptl_xyh::LotteryCode> LotteryOfOption(std::string_view text);

// The program directory --home (or, without it, the usual rules) names.
// Throws UsageError for a blank --home (CheckHome), before any work is done.
std::filesystem::path HomeFor(const std::optional<std::string>& home);
void CheckHome(const std::string& home, std::string_view option);

// Opens the process's store in HomeFor(home); false, with a message on
// standard error, when the history cannot be opened. A command that only
// reads (readOnly) refuses a --home that does not exist rather than make
// the folders and an empty history there.
bool OpenStore(const std::optional<std::string>& home, bool readOnly = false);

// Says on standard error why the open store failed ("xyh-cli: " + what +
// the store's status + its path); returns exit code 1.
int StoreFailure(const char* what);

// Says on standard error why the draw archive's last read failed: the
// damaged row it met, named, or the store's status; returns exit code 1.
int ArchiveFailure(const rg_com_ptl_xyh::rg_DrawArchive& archive, const char* what);

// "YYYY-MM-DD HH:MM:SS[.mmm]" as a local day count; a moment the calendar
// does not hold (2024-02-30) is refused. Throws UsageError naming option;
// CheckLocalTime is the same refusal as an option's check.
double ParseLocalTime(const std::string& text, std::string_view option);
void CheckLocalTime(const std::string& text, std::string_view option);
// A local day count as "YYYY-MM-DD HH:MM:SS.mmm".
std::string FormatLocalTime(double date);

// A ball number as two digits: "07".
std::string Two(int n);

// Whole numbers as a JSON array.
template <typename Numbers>
Json::Value JsonNumbers(const Numbers& numbers) {
  Json::Value list(Json::arrayValue);
  for (int n : numbers) list.append(n);
  return list;
}

enum class JsonLayout { kIndented, kOneLine };

// UTF-8 JSON text as jsoncpp writes it, without a final newline.
std::string JsonText(const Json::Value& value, JsonLayout layout = JsonLayout::kIndented);
// The same, with the characters a terminal would obey escaped (see
// JsonTerminalSafe); for values that hold saved titles and notes.
std::string TerminalJsonText(const Json::Value& value, JsonLayout layout = JsonLayout::kIndented);

}  // namespace xyh_cli
