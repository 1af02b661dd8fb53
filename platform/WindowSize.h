#pragma once
// The main window's size as config.ini keeps it: [sys] window=WxH.
#include <optional>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

inline constexpr std::u16string_view kWindowSizeKey = u"window";

struct rg_WindowSize {
  int width = 0;
  int height = 0;
  bool operator==(const rg_WindowSize&) const = default;
};

// Any size a screen could show; beyond it the value is no size at all.
inline constexpr rg_WindowSize kSmallestWindow{400, 300};
inline constexpr rg_WindowSize kLargestWindow{16384, 16384};

// "1280x800": two plain decimal numbers joined by "x", each within the
// bounds above; anything else (signs, blanks, leading zeros, a third part,
// huge numbers) is nullopt, so an edited file falls back to the default.
std::optional<rg_WindowSize> ParseWindowSize(std::u16string_view text);
std::u16string WindowSizeText(rg_WindowSize size);

}  // namespace rg_com_ptl_xyh
