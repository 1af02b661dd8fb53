#pragma once
// Conversion between the program's UTF-16 texts and UTF-8 (database,
// JSON, selectors, the terminal).
#include <string>
#include <string_view>
#include <vector>

namespace rg_com_ptl_xyh {

// Malformed input never fails: each bad sequence becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);
std::u16string FromUtf8(std::string_view text);
// The same into a buffer the caller keeps between calls: no allocation once
// the buffer is large enough. The view is valid until the next call.
std::u16string_view FromUtf8(std::string_view text, std::u16string& scratch);

// Plain decimal, no leading zeros: the one way numbers become text.
std::u16string DecimalText(long long value);

// Equal when only ASCII letter case differs (names in SQL and profiles).
bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);
// The pieces between separators, empty ones included.
std::vector<std::u16string> SplitText(std::u16string_view text, char16_t separator);

}  // namespace rg_com_ptl_xyh
