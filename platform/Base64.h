#pragma once
// A few of the program's literal texts are kept as Base64 of their UTF-16LE
// bytes and decoded when used.
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

// Empty text for input that is not Base64 or not whole UTF-16 units.
std::u16string DecodeUtf16Base64(std::string_view base64);

}  // namespace rg_com_ptl_xyh
