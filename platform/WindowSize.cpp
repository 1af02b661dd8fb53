#include "platform/WindowSize.h"

namespace rg_com_ptl_xyh {

namespace {

// At most five digits and no leading zero: the bounds need no more, and
// no number can overflow on the way.
std::optional<int> Number(std::u16string_view s) {
  if (s.empty() || s.size() > 5 || s[0] == u'0') return std::nullopt;
  int v = 0;
  for (char16_t c : s) {
    if (c < u'0' || c > u'9') return std::nullopt;
    v = v * 10 + (c - u'0');
  }
  return v;
}

}  // namespace

std::optional<rg_WindowSize> ParseWindowSize(std::u16string_view text) {
  const std::size_t x = text.find(u'x');
  if (x == std::u16string_view::npos) return std::nullopt;
  const auto w = Number(text.substr(0, x));
  const auto h = Number(text.substr(x + 1));
  if (!w || !h || *w < kSmallestWindow.width || *w > kLargestWindow.width ||
      *h < kSmallestWindow.height || *h > kLargestWindow.height) {
    return std::nullopt;
  }
  return rg_WindowSize{*w, *h};
}

std::u16string WindowSizeText(rg_WindowSize size) {
  const std::string text = std::to_string(size.width) + "x" + std::to_string(size.height);
  return std::u16string(text.begin(), text.end());
}

}  // namespace rg_com_ptl_xyh
