#include "platform/Base64.h"

#include <vector>

namespace rg_com_ptl_xyh {

namespace {

// The value of one Base64 character; -1 for anything else.
int Sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  return -1;
}

}  // namespace

// Decoded here rather than by a library: the texts are needed at start-up,
// and a crypto library costs more to load than this costs to run.
std::u16string DecodeUtf16Base64(std::string_view base64) {
  if (base64.empty() || base64.size() % 4 != 0) return {};
  const size_t padding = base64.back() != '=' ? 0 : base64[base64.size() - 2] == '=' ? 2 : 1;
  std::vector<unsigned char> bytes;
  bytes.reserve(base64.size() / 4 * 3);
  for (size_t i = 0; i < base64.size(); i += 4) {
    const bool last = i + 4 == base64.size();
    unsigned value = 0;
    for (size_t k = 0; k < 4; ++k) {
      const char c = base64[i + k];
      int sextet = Sextet(c);
      if (sextet < 0) {
        if (c != '=' || !last || k < 4 - padding) return {};
        sextet = 0;
      }
      value = value << 6 | static_cast<unsigned>(sextet);
    }
    bytes.push_back(static_cast<unsigned char>(value >> 16));
    if (!last || padding < 2) bytes.push_back(static_cast<unsigned char>(value >> 8 & 0xff));
    if (!last || padding < 1) bytes.push_back(static_cast<unsigned char>(value & 0xff));
  }
  if (bytes.size() % 2 != 0) return {};
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
