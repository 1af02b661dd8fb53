#include "shell/panels/QrBitmap.h"

#include <qrencode.h>

#include <algorithm>
#include <memory>

#include "platform/LazyLibrary.h"

namespace rg_com_ptl_xyh {

namespace {

// libqrencode is opened when the first QR code is asked for, not at start.
struct Encoder {
  decltype(&QRcode_encodeString) encode = nullptr;
  decltype(&QRcode_free) free = nullptr;
};

rg_LazyLibrary& Library() {
  static rg_LazyLibrary library(kQrLibrary, kQrLibraryVariable);
  return library;
}

// Both entry points, or neither.
const Encoder& Resolved() {
  static const Encoder encoder = [] {
    Encoder e;
    if (!Library().Load()) return e;
    e.encode = reinterpret_cast<decltype(e.encode)>(Library().Symbol("QRcode_encodeString"));
    e.free = reinterpret_cast<decltype(e.free)>(Library().Symbol("QRcode_free"));
    if (e.encode == nullptr || e.free == nullptr) e = Encoder();
    return e;
  }();
  return encoder;
}

void Put16(std::vector<unsigned char>& b, size_t at, unsigned v) {
  b[at] = static_cast<unsigned char>(v);
  b[at + 1] = static_cast<unsigned char>(v >> 8);
}

void Put32(std::vector<unsigned char>& b, size_t at, unsigned v) {
  for (int i = 0; i < 4; ++i)
    b[at + static_cast<size_t>(i)] = static_cast<unsigned char>(v >> (8 * i));
}

}  // namespace

int QrScale(QSize symbol, QSize box) {
  if (symbol.width() < 1 || symbol.height() < 1) return 0;
  return std::max(0, std::min(box.width() / symbol.width(), box.height() / symbol.height()));
}

bool QrAvailable(std::string* why) {
  if (Resolved().encode != nullptr) return true;
  if (why != nullptr) {
    *why = Library().Error();
    if (why->empty()) *why = std::string(kQrLibrary) + " lacks QRcode_encodeString or QRcode_free";
  }
  return false;
}

std::vector<bool> QrModules(std::string_view utf8, int& width) {
  width = 0;
  const Encoder& encoder = Resolved();
  if (encoder.encode == nullptr) return {};
  const std::string text(utf8);
  // Version 5 at least, level H, 8-bit, case-sensitive; the library raises
  // the version as the text needs.
  std::unique_ptr<QRcode, decltype(encoder.free)> code(
      encoder.encode(text.c_str(), 5, QR_ECLEVEL_H, QR_MODE_8, 1), encoder.free);
  if (!code) return {};
  width = code->width;
  std::vector<bool> modules(static_cast<size_t>(width * width));
  for (size_t i = 0; i < modules.size(); ++i) modules[i] = (code->data[i] & 1) != 0;
  return modules;
}

std::vector<unsigned char> QrBitmap(std::string_view utf8) {
  int width = 0;
  const std::vector<bool> modules = QrModules(utf8, width);
  if (modules.empty()) return {};
  const auto w = static_cast<size_t>(width);
  const size_t stride = (w * 3 + 3) / 4 * 4;
  const size_t pixels = stride * w;
  std::vector<unsigned char> bmp(54 + pixels, 0);
  bmp[0] = 'B';
  bmp[1] = 'M';
  Put32(bmp, 2, static_cast<unsigned>(bmp.size()));
  Put32(bmp, 10, 54);
  Put32(bmp, 14, 40);
  Put32(bmp, 18, static_cast<unsigned>(width));
  Put32(bmp, 22, static_cast<unsigned>(width));  // positive: bottom row first
  Put16(bmp, 26, 1);
  Put16(bmp, 28, 24);
  Put32(bmp, 30, 0);
  Put32(bmp, 34, static_cast<unsigned>(pixels));
  Put32(bmp, 38, 2834);
  Put32(bmp, 42, 2834);
  for (size_t y = 0; y < w; ++y) {
    unsigned char* row = bmp.data() + 54 + (w - 1 - y) * stride;
    for (size_t x = 0; x < w; ++x) {
      const unsigned char shade = modules[y * w + x] ? 0 : 255;
      row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = shade;
    }
  }
  return bmp;
}

}  // namespace rg_com_ptl_xyh
