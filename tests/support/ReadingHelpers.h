#pragma once
// Casting helpers and a reader of the reading text shared by the engine
// tests.
#include <string>
#include <vector>

#include "engine/Analysis.h"
#include "engine/Casting.h"
#include "engine/Report.h"
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

inline bool Contains(const std::u16string& s, const std::u16string& part) {
  return s.find(part) != std::u16string::npos;
}

inline bool EndsWith(const std::u16string& s, const std::u16string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace test_support
