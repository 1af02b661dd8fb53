// xyh-cli cast --batch: many casts in one process, one per line.
#include <json/json.h>

#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Args.h"
#include "cli/Cast.h"
#include "cli/Common.h"

namespace xyh_cli {

namespace {

// A line longer than this is refused rather than held in memory.
constexpr size_t kMaxLine = 8192;

// The words of a line, quoted as a shell quotes: '…' keeps everything,
// "…" keeps everything but \" \\ \$ \` which lose the backslash, and a
// backslash outside quotes keeps the next character. Nothing is expanded.
std::optional<std::vector<std::string>> SplitWords(std::string_view line, std::string& error) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(std::move(word));
      word.clear();
      inWord = false;
      continue;
    }
    inWord = true;
    if (c == '\'') {
      const size_t close = line.find('\'', i + 1);
      if (close == std::string_view::npos) {
        error = "unterminated single quote";
        return std::nullopt;
      }
      word.append(line.substr(i + 1, close - i - 1));
      i = close;
    } else if (c == '"') {
      for (++i;; ++i) {
        if (i >= line.size()) {
          error = "unterminated double quote";
          return std::nullopt;
        }
        if (line[i] == '"') break;
        if (line[i] == '\\' && i + 1 < line.size() &&
            std::string_view("\"\\$`").find(line[i + 1]) != std::string_view::npos)
          ++i;
        word += line[i];
      }
    } else if (c == '\\') {
      if (i + 1 >= line.size()) {
        error = "a backslash ends the line";
        return std::nullopt;
      }
      word += line[++i];
    } else {
      word += c;
    }
  }
  if (inWord) words.push_back(std::move(word));
  return words;
}

enum class Read { Line, TooLong, End };

// One line without its end (LF or CR LF); past kMaxLine the rest is skipped.
Read ReadLine(std::streambuf& in, std::string& line) {
  line.clear();
  bool tooLong = false;
  int c = in.sbumpc();
  if (c == std::char_traits<char>::eof()) return Read::End;
  for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.sbumpc()) {
    if (line.size() < kMaxLine) {
      line += static_cast<char>(c);
    } else {
      tooLong = true;
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return tooLong ? Read::TooLong : Read::Line;
}

void WriteError(std::ostream& out, long number, const std::string& message) {
  Json::Value v(Json::objectValue);
  v["line"] = static_cast<Json::Int64>(number);
  v["error"] = message;
  out << TerminalJsonText(v, JsonLayout::kOneLine) << "\n";
}

}  // namespace

int RunCastBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out) {
  for (const std::string& arg : args) {
    if (arg != "--batch" && arg != "--json") {
      throw UsageError{"--batch reads each cast's options from standard input; \"" + arg +
                       "\" belongs on those lines"};
    }
  }
  // Nothing else reads or writes through C stdio in this mode.
  std::ios::sync_with_stdio(false);
  bool failed = false;
  std::string line;
  std::string error;
  for (long number = 1;; ++number) {
    Read read = Read::End;
    try {
      read = ReadLine(*in.rdbuf(), line);
    } catch (const std::exception& e) {
      // The stream's buffer throws on a read error (EIO, EISDIR).
      out.flush();
      std::cerr << "xyh-cli: reading standard input failed at line " << number << ": " << e.what()
                << "\n";
      return 1;
    }
    if (read == Read::End) break;
    error.clear();
    if (read == Read::TooLong) {
      error = "line longer than " + std::to_string(kMaxLine) + " bytes";
    } else if (const auto words = SplitWords(line, error); !words) {
      // error says why
    } else if (words->empty()) {
      error = "empty line";
    } else {
      try {
        RunCastTo(*words, out, true);
      } catch (const UsageError& e) {
        error = e.message;
      } catch (const std::exception& e) {
        error = e.what();
      }
    }
    if (!error.empty()) {
      WriteError(out, number, error);
      failed = true;
    }
  }
  out.flush();
  return failed ? 1 : 0;
}

}  // namespace xyh_cli
