#pragma once
// The QR code of a text as a 24-bit Windows bitmap held in memory: one
// pixel per module, no quiet zone.
#include <QSize>

#include <string>
#include <string_view>
#include <vector>

namespace rg_com_ptl_xyh {

// Empty when the text cannot be encoded (too long for any version).
std::vector<unsigned char> QrBitmap(std::string_view utf8);

// The largest whole number of pixels per module at which a symbol of that
// size fits the box; 0 when not even one does.
int QrScale(QSize symbol, QSize box);

// The encoded symbol itself: width x width modules, true for dark.
std::vector<bool> QrModules(std::string_view utf8, int& width);

}  // namespace rg_com_ptl_xyh
