#include "platform/Settings.h"

#include <vector>

#include "platform/Files.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

std::u16string Trim(std::u16string_view s) {
  const auto blank = [](char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; };
  size_t b = 0, e = s.size();
  while (b < e && blank(s[b])) ++b;
  while (e > b && blank(s[e - 1])) --e;
  return std::u16string(s.substr(b, e - b));
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// hadMark: whether the file began with a byte order mark, which a rewrite
// keeps so that the lines after it read the same.
// refused: set when the file exists but is not one to read (see Problem).
std::vector<std::u16string> ReadLines(const std::filesystem::path& file, bool* hadMark = nullptr,
                                      std::string* refused = nullptr) {
  Result<std::string> read = ReadRegularFile(file, rg_Settings::kFileLimit);
  if (!read && read.error().problem != rg_FileProblem::Missing && refused != nullptr)
    *refused = read.error().message;
  std::string bytes = read ? std::move(*read) : std::string();
  const bool mark = bytes.rfind(kByteOrderMark, 0) == 0;
  if (mark) bytes.erase(0, kByteOrderMark.size());
  if (hadMark != nullptr) *hadMark = mark;
  const std::u16string text = FromUtf8(bytes);
  std::vector<std::u16string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

// "[name]" gives name; anything else nothing.
bool SectionName(const std::u16string& line, std::u16string& name) {
  const std::u16string t = Trim(line);
  if (t.size() < 2 || t.front() != u'[' || t.back() != u']') return false;
  name = Trim(std::u16string_view(t).substr(1, t.size() - 2));
  return true;
}

bool HasLineBreakOrNul(std::u16string_view s) {
  return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

bool KeyOf(const std::u16string& line, std::u16string& key, std::u16string& value) {
  // A line that someone split or cut with a stray CR or NUL is no entry.
  if (HasLineBreakOrNul(line)) return false;
  const size_t eq = line.find(u'=');
  if (eq == std::u16string::npos) return false;
  key = Trim(std::u16string_view(line).substr(0, eq));
  value = Trim(std::u16string_view(line).substr(eq + 1));
  return !key.empty() && key[0] != u';' && key[0] != u'#';
}

}  // namespace

std::u16string rg_Settings::Read(std::u16string_view section, std::u16string_view key,
                                 std::u16string_view fallback) const {
  bool inSection = false;
  for (const std::u16string& line : ReadLines(file_)) {
    std::u16string name, k, v;
    if (SectionName(line, name)) {
      inSection = EqualsIgnoringAsciiCase(name, section);
    } else if (inSection && KeyOf(line, k, v) && EqualsIgnoringAsciiCase(k, key)) {
      if (v.size() >= 2 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front()) {
        v = v.substr(1, v.size() - 2);
      }
      return v;
    }
  }
  return std::u16string(fallback);
}

namespace {

// Nothing written may start a line of its own, nor be read back as
// something else.
bool Writable(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
    return false;
  if (section.find_first_of(u"[]") != std::u16string_view::npos || Trim(section) != section)
    return false;
  return !(key.empty() || Trim(key) != key || key.find(u'=') != std::u16string_view::npos ||
           key[0] == u';' || key[0] == u'#' || key[0] == u'[');
}

// A value with blanks at either end, or one that looks quoted, is quoted
// so that it reads back as it is.
std::u16string StoredValue(std::u16string_view value) {
  std::u16string stored(value);
  const bool quoted = value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                      value.back() == value.front();
  if (!value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) || quoted)) {
    stored = u"\"" + stored + u"\"";
  }
  return stored;
}

// Replaces the key's line in the first section of that name; a new key
// goes after the section's last line that is not blank, a new section at
// the end of the file.
void PutEntry(std::vector<std::u16string>& lines, std::u16string_view section,
              std::u16string_view key, const std::u16string& entry) {
  bool inSection = false;
  size_t sectionEnd = std::u16string::npos;  // where a missing key goes
  for (size_t i = 0; i < lines.size(); ++i) {
    std::u16string name, k, v;
    if (SectionName(lines[i], name)) {
      if (inSection) break;
      inSection = EqualsIgnoringAsciiCase(name, section);
      if (inSection) sectionEnd = i + 1;
    } else if (inSection) {
      if (KeyOf(lines[i], k, v) && EqualsIgnoringAsciiCase(k, key)) {
        lines[i] = entry;
        return;
      }
      if (!Trim(lines[i]).empty()) sectionEnd = i + 1;
    }
  }
  if (sectionEnd == std::u16string::npos) {
    if (!lines.empty() && !Trim(lines.back()).empty()) lines.emplace_back();
    lines.push_back(u"[" + std::u16string(section) + u"]");
    lines.push_back(entry);
  } else {
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd), entry);
  }
}

// Written beside and renamed over, so a crash never leaves half a file.
bool ReplaceFile(const std::filesystem::path& file, const std::string& bytes) {
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  return WriteFileAtomically(file, bytes).has_value();
}

}  // namespace

bool rg_Settings::Write(std::u16string_view section, std::u16string_view key,
                        std::u16string_view value) {
  if (!Writable(section, key, value)) return false;
  bool hadMark = false;
  std::string refused;
  std::vector<std::u16string> lines = ReadLines(file_, &hadMark, &refused);
  if (!refused.empty()) return false;
  PutEntry(lines, section, key, std::u16string(key) + u"=" + StoredValue(value));
  std::string out(hadMark ? kByteOrderMark : std::string_view());
  for (const auto& line : lines) out += ToUtf8(line) + "\r\n";
  return ReplaceFile(file_, out);
}

std::string rg_Settings::Problem() const {
  std::string refused;
  ReadLines(file_, nullptr, &refused);
  return refused;
}

rg_FileProblem rg_Settings::ProblemKind() const {
  const Result<std::string> read = ReadRegularFile(file_, kFileLimit);
  if (read || read.error().problem == rg_FileProblem::Missing) return rg_FileProblem::None;
  return read.error().problem;
}

}  // namespace rg_com_ptl_xyh
