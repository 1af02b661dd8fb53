#include "cli/BatchLine.h"

#include <json/json.h>

#include "cli/Common.h"

namespace xyh_cli {

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

std::string BatchErrorLine(long number, const std::string& message) {
  Json::Value v(Json::objectValue);
  v["line"] = static_cast<Json::Int64>(number);
  v["error"] = message;
  return TerminalJsonText(v, JsonLayout::kOneLine);
}

}  // namespace xyh_cli
