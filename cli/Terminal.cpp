#include "cli/Terminal.h"

namespace xyh_cli {

namespace {

std::string Hex(const char* prefix, int digits, unsigned value) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out = prefix;
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
  return out;
}

// A C1 control is the two bytes C2 80..C2 9F in UTF-8.
bool IsC1(std::string_view s, size_t i) {
  return i + 1 < s.size() && static_cast<unsigned char>(s[i]) == 0xC2 &&
         static_cast<unsigned char>(s[i + 1]) >= 0x80 &&
         static_cast<unsigned char>(s[i + 1]) <= 0x9F;
}

}  // namespace

std::string TerminalSafe(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == '\t') {
      out += "\\t";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20 || c == 0x7F) {
      out += Hex("\\x", 2, c);
    } else if (IsC1(s, i)) {
      out += Hex("\\u", 4, static_cast<unsigned char>(s[++i]));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

std::string JsonTerminalSafe(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c == 0x7F) {
      out += "\\u007f";
    } else if (IsC1(s, i)) {
      out += Hex("\\u", 4, static_cast<unsigned char>(s[++i]));
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

}  // namespace xyh_cli
