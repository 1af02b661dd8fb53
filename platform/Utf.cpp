#include "platform/Utf.h"

#include <iterator>

namespace rg_com_ptl_xyh {

namespace {
constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

}  // namespace

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c <= 0xDBFF) {
      if (i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
        ++i;
      } else {
        c = kReplacement;
      }
    } else if (c >= 0xDC00 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

namespace {

// Decodes into out, which has room for text.size() units; returns the end.
char16_t* DecodeUtf8(std::string_view text, char16_t* o) {
  const auto* p = reinterpret_cast<const unsigned char*>(text.data());
  const size_t n = text.size();
  size_t i = 0;
  while (i < n) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
      continue;
    }
    // The common case of the program's texts: a well-formed CJK character.
    if ((b & 0xF0) == 0xE0 && i + 2 < n && (p[i + 1] & 0xC0) == 0x80 && (p[i + 2] & 0xC0) == 0x80) {
      const char32_t c = ((b & 0x0Fu) << 12) | ((p[i + 1] & 0x3Fu) << 6) | (p[i + 2] & 0x3Fu);
      if (c >= 0x800 && (c < 0xD800 || c > 0xDFFF)) {
        *o++ = static_cast<char16_t>(c);
        i += 3;
        continue;
      }
    }
    int extra;
    char32_t c;
    char32_t min;
    if ((b & 0xE0) == 0xC0) {
      extra = 1;
      c = b & 0x1F;
      min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
      extra = 2;
      c = b & 0x0F;
      min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
      extra = 3;
      c = b & 0x07;
      min = 0x10000;
    } else {
      *o++ = static_cast<char16_t>(kReplacement);
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool ok = true;
    for (int k = 0; k < extra; ++k, ++j) {
      if (j >= n || (p[j] & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      c = (c << 6) | (p[j] & 0x3F);
    }
    i = j;  // resume at the first byte that did not belong
    if (!ok || c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      *o++ = static_cast<char16_t>(kReplacement);
    } else if (c < 0x10000) {
      *o++ = static_cast<char16_t>(c);
    } else {
      c -= 0x10000;
      *o++ = static_cast<char16_t>(0xD800 + (c >> 10));
      *o++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    }
  }
  return o;
}

}  // namespace

std::u16string FromUtf8(std::string_view text) {
  // Short texts (every history row) decode on the stack, so the string is
  // allocated once at its exact size.
  char16_t small[256];
  if (text.size() <= std::size(small)) return std::u16string(small, DecodeUtf8(text, small));
  std::u16string out(text.size(), u'\0');
  out.resize(static_cast<size_t>(DecodeUtf8(text, out.data()) - out.data()));
  return out;
}

std::u16string_view FromUtf8(std::string_view text, std::u16string& scratch) {
  if (scratch.size() < text.size()) scratch.resize(text.size());
  const char16_t* end = DecodeUtf8(text, scratch.data());
  return std::u16string_view(scratch.data(), static_cast<size_t>(end - scratch.data()));
}

std::u16string DecimalText(long long value) {
  // Hot in the reading text, so no printf.
  char16_t buf[24];
  char16_t* end = buf + 24;
  char16_t* p = end;
  unsigned long long v = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                   : static_cast<unsigned long long>(value);
  do {
    *--p = static_cast<char16_t>(u'0' + v % 10);
    v /= 10;
  } while (v != 0);
  if (value < 0) *--p = u'-';
  return std::u16string(p, end);
}

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
  };
  for (size_t i = 0; i < a.size(); ++i) {
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

std::vector<std::u16string> SplitText(std::u16string_view text, char16_t separator) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(separator, start);
    out.emplace_back(text.substr(start, end - start));
    if (end == std::u16string_view::npos) return out;
    start = end + 1;
  }
}

}  // namespace rg_com_ptl_xyh
