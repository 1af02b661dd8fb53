#include "cli/Common.h"

#include <json/writer.h>

#include <cstdio>
#include <iostream>
#include <string_view>

#include "cli/Args.h"
#include "cli/Terminal.h"
#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Folders.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

std::optional<LotteryCode> LotteryOfOption(std::string_view text) {
  if (text.empty() || text.size() > 3 || text.find_first_not_of("0123456789") != text.npos)
    return std::nullopt;
  int number = 0;
  for (const char c : text) number = number * 10 + (c - '0');
  return LotteryCodeOf(number);
}

std::string Two(int n) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", n);
  return buf;
}

void CheckHome(const std::string& home, std::string_view /*option*/) {
  if (home.find_first_not_of(" \t") == std::string::npos)
    throw UsageError{"--home needs a folder; it was given empty"};
}

std::filesystem::path HomeFor(const std::optional<std::string>& home) {
  if (home) CheckHome(*home, "--home");
  std::optional<std::filesystem::path> option;
  if (home) option = PathFromUtf8(*home);
  return ResolveHome(option).dir;
}

bool OpenStore(const std::optional<std::string>& home, bool readOnly) {
  const std::filesystem::path dir = HomeFor(home);
  std::error_code ec;
  if (readOnly && home && !std::filesystem::is_directory(dir, ec)) {
    std::cerr << "xyh-cli: the program directory " << PathToUtf8(dir)
              << " does not exist; --home names the folder holding config.ini and src/data\n";
    return false;
  }
  if (rg_EasyDb::Process().Open(dir) == rg_EasyDb::OpenResult::Failed) {
    std::cerr << "xyh-cli: the history cannot be opened: " << PathToUtf8(rg_EasyDb::FileIn(dir))
              << "\n";
    return false;
  }
  return true;
}

int StoreFailure(const char* what) {
  const rg_EasyDb& store = rg_EasyDb::Process();
  std::cerr << "xyh-cli: " << what << ToUtf8(StoreStatusText(store.LastStatus())) << ": "
            << PathToUtf8(store.Path()) << "\n";
  return 1;
}

int ArchiveFailure(const rg_DrawArchive& archive, const char* what) {
  if (archive.BadRow().empty()) return StoreFailure(what);
  std::cerr << "xyh-cli: " << what << "the draw archive is damaged: " << archive.BadRow() << ": "
            << PathToUtf8(rg_EasyDb::Process().Path()) << "\n";
  return 1;
}

double ParseLocalTime(const std::string& text, std::string_view option) {
  const auto bad = [&] {
    return UsageError{std::string(option) +
                      " takes a local time as \"YYYY-MM-DD HH:MM:SS[.mmm]\"; not \"" + text + "\""};
  };
  // Read by hand: a regular expression costs more to build than a cast.
  static constexpr std::string_view kForm = "0000-00-00 00:00:00.000";
  if (text.size() != 19 && text.size() != kForm.size()) throw bad();
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == '0' ? !digit : text[i] != kForm[i]) throw bad();
  }
  const auto field = [&](size_t at, size_t length) { return std::stoi(text.substr(at, length)); };
  const int y = field(0, 4), mo = field(5, 2), d = field(8, 2);
  const int h = field(11, 2), mi = field(14, 2), s = field(17, 2);
  const int ms = text.size() > 19 ? field(20, 3) : 0;
  const double date = MakeDate(y, mo, d, h, mi, s, ms);
  const DateParts p = SplitDate(date);
  // MakeDate clamps; a clamped part means the text named no real moment.
  if (p.year != y || p.month != mo || p.day != d || p.hour != h || p.minute != mi ||
      p.second != s) {
    throw bad();
  }
  return date;
}

void CheckLocalTime(const std::string& text, std::string_view option) {
  ParseLocalTime(text, option);
}

std::string FormatLocalTime(double date) {
  const DateParts p = SplitDate(date);
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d.%03d", p.year, p.month, p.day,
                p.hour, p.minute, p.second, p.millisecond);
  return buf;
}

std::string JsonText(const Json::Value& value, JsonLayout layout) {
  Json::StreamWriterBuilder builder;
  builder["emitUTF8"] = true;
  builder["indentation"] = layout == JsonLayout::kOneLine ? "" : "  ";
  const std::string text = Json::writeString(builder, value);
  // jsoncpp passes a string's bytes on as they are; bytes that are no UTF-8
  // (a title or a bad option typed in another encoding) become U+FFFD, so
  // every line is JSON any reader takes.
  return ToUtf8(FromUtf8(text));
}

std::string TerminalJsonText(const Json::Value& value, JsonLayout layout) {
  return JsonTerminalSafe(JsonText(value, layout));
}

}  // namespace xyh_cli
