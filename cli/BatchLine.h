#pragma once
// The lines of cast --batch: read one at a time within a bound, split into
// words as a shell would, and a bad line's answer as one line of JSON.
#include <cstddef>
#include <optional>
#include <streambuf>
#include <string>
#include <string_view>
#include <vector>

namespace xyh_cli {

// A line longer than this is refused rather than held in memory.
inline constexpr std::size_t kMaxLine = 8192;

// The words of a line, quoted as a shell quotes: '…' keeps everything,
// "…" keeps everything but \" \\ \$ \` which lose the backslash, and a
// backslash outside quotes keeps the next character. Nothing is expanded.
// nullopt, with error saying why, for an unterminated quote.
std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error);

enum class Read { Line, TooLong, End };

// One line without its end (LF or CR LF); past kMaxLine the rest is skipped.
Read ReadLine(std::streambuf& in, std::string& line);

// {"line":N,"error":"..."} on one line, valid UTF-8 whatever message holds.
std::string BatchErrorLine(long number, const std::string& message);

}  // namespace xyh_cli
