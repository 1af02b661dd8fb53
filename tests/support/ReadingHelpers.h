#pragma once
// Casting helpers and a reader of the reading text shared by the engine
// tests.
#include <string>
#include <string_view>
#include <vector>

#include "engine/Analysis.h"
#include "engine/Casting.h"
#include "engine/Report.h"
#include "engine/Symbols.h"
#include "platform/DateTime.h"

namespace test_support {

using namespace rg_com_ptl_xyh;

inline rg_QiGuaModel NumberRequest(const std::u16string& number, double when, int zodiac = 1) {
  rg_QiGuaModel r;
  r.method = CastMethod::Number;
  r.numberText = number;
  r.castTime = when;
  r.zodiac = zodiac;
  return r;
}

inline rg_QiGuaModel HandRequest(const std::u16string& up, const std::u16string& down,
                                 std::vector<int> dong, double when, int zodiac = 1) {
  rg_QiGuaModel r;
  r.method = CastMethod::HandLines;
  r.upstr = up;
  r.downstr = down;
  r.dong = std::move(dong);
  r.castTime = when;
  r.zodiac = zodiac;
  return r;
}

inline std::vector<std::u16string> SplitLines(const std::u16string& text) {
  std::vector<std::u16string> out;
  size_t start = 0;
  while (true) {
    const size_t end = text.find(u"\r\n", start);
    if (end == std::u16string::npos) {
      out.push_back(text.substr(start));
      return out;
    }
    out.push_back(text.substr(start, end - start));
    start = end + 2;
  }
}

// The line sentences (from "爻基数:" on), in printed order.
inline std::vector<std::u16string> LineSentences(const std::u16string& reading) {
  const auto lines = SplitLines(reading);
  std::vector<std::u16string> out;
  for (size_t i = 10; i < lines.size(); ++i) {
    if (i == 12 || lines[i].empty()) continue;
    out.push_back(lines[i]);
  }
  return out;
}

// The lines a hexagram name pictures, lower image then upper: 天 乾, 泽 兑,
// 火 离, 雷 震, 风 巽, 水 坎, 山 艮, 地 坤; "X为Y" doubles the trigram X.
inline std::u16string LinesOfName(const std::u16string& name) {
  static const std::u16string_view kImages = u"天泽火雷风水山地";
  const auto code = [](size_t trigram) { return TrigramCode(static_cast<int>(trigram) + 1); };
  if (name[1] == u'为') {
    const auto c = code(static_cast<size_t>(TrigramNumber(name.substr(0, 1)) - 1));
    return c + c;
  }
  return code(kImages.find(name[1])) + code(kImages.find(name[0]));
}

inline bool Contains(const std::u16string& s, const std::u16string& part) {
  return s.find(part) != std::u16string::npos;
}

inline bool EndsWith(const std::u16string& s, const std::u16string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace test_support
