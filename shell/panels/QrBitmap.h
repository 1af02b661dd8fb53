#pragma once
// The QR code of a text as a 24-bit Windows bitmap held in memory: one
// pixel per module, no quiet zone.
#include <QSize>

#include <string>
#include <string_view>
#include <vector>

namespace rg_com_ptl_xyh {

// The encoder library, opened when the first code is made. XYH_QRENCODE_LIBRARY
// names another file to load (a bare file name, for tests).
inline constexpr const char* kQrLibrary = XYH_QRENCODE_FILE;
inline constexpr const char* kQrLibraryVariable = "XYH_QRENCODE_LIBRARY";

// Whether codes can be made, loading the library on the first call; when
// they cannot, why (the loader's words) in *why.
bool QrAvailable(std::string* why = nullptr);

// Empty when the text cannot be encoded (too long for any version), or when
// the library cannot be loaded.
std::vector<unsigned char> QrBitmap(std::string_view utf8);

// The largest whole number of pixels per module at which a symbol of that
// size fits the box; 0 when not even one does.
int QrScale(QSize symbol, QSize box);

// The encoded symbol itself: width x width modules, true for dark.
std::vector<bool> QrModules(std::string_view utf8, int& width);

}  // namespace rg_com_ptl_xyh
