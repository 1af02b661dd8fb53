#include "history/YsModel.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "engine/Analysis.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

std::u16string rg_YsModel::DongText() const {
  std::u16string out;
  for (size_t i = 0; i < dong.size(); ++i) {
    if (i != 0) out += u',';
    out += DecimalText(dong[i]);
  }
  return out;
}

namespace {

// A decimal integer, or 0 for anything else (as a lenient reader would).
std::int32_t ReadInteger(std::u16string_view piece) {
  std::string ascii;
  for (char16_t c : piece) {
    if (c > 0x7F) return 0;
    ascii += static_cast<char>(c);
  }
  char* end = nullptr;
  errno = 0;
  const long v = std::strtol(ascii.c_str(), &end, 10);
  if (end == ascii.c_str() || *end != '\0' || errno != 0 || v < INT32_MIN || v > INT32_MAX) {
    return 0;
  }
  return static_cast<std::int32_t>(v);
}

}  // namespace

void rg_YsModel::AppendDongFromText(std::u16string_view text) {
  size_t start = 0;
  while (start <= text.size()) {
    size_t comma = text.find(u',', start);
    if (comma == std::u16string_view::npos) comma = text.size();
    if (comma > start) dong.push_back(ReadInteger(text.substr(start, comma - start)));
    start = comma + 1;
  }
}

rg_YsModel MakeSaveRecord(const rg_GuaAnalysis& a, std::u16string_view title,
                          std::u16string_view note) {
  rg_YsModel r;
  r.ysname = std::u16string(title) + u"(" + DateText(a.castTime) + u")";
  r.ysindex = a.method;
  r.ysnumber = a.numberText;
  r.ysday = a.castTime;
  r.gzsxid = a.zodiac;
  r.upstr = a.upperCode;
  r.downstr = a.lowerCode;
  if (a.moving.empty()) {
    r.dong.assign(6, 0);
  } else {
    r.dong.assign(a.moving.begin(), a.moving.end());
  }
  r.rot = a.timeChoice;
  r.uinfo = note;
  return r;
}

}  // namespace rg_com_ptl_xyh
