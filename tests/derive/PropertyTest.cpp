// Generated casts of every kind: the derived texts keep their form.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/ReadingHelpers.h"

using namespace rg_com_ptl_xyh;

namespace {

std::vector<int> Numbers(const std::u16string& list) {
  std::vector<int> out;
  if (list.empty()) return out;
  size_t start = 0;
  while (true) {
    const size_t comma = list.find(u',', start);
    const std::u16string piece = list.substr(start, comma - start);
    EXPECT_FALSE(piece.empty()) << ToUtf8(list);
    EXPECT_FALSE(piece.size() > 1 && piece[0] == u'0') << ToUtf8(list);
    for (char16_t c : piece) EXPECT_TRUE(c >= u'0' && c <= u'9') << ToUtf8(list);
    out.push_back(std::stoi(ToUtf8(piece)));
    if (comma == std::u16string::npos) return out;
    start = comma + 1;
  }
}

void CheckForm(const DerivedNumbers& d) {
  for (size_t i = 0; i < d.size(); ++i) {
    const std::vector<int> n = Numbers(d[i]);
    EXPECT_TRUE(std::is_sorted(n.begin(), n.end())) << ToUtf8(d[i]);
    EXPECT_EQ(std::set<int>(n.begin(), n.end()).size(), n.size()) << ToUtf8(d[i]);
    const int top = i == 6 ? 16 : 33;
    for (int v : n) {
      EXPECT_GE(v, 1) << i << ": " << ToUtf8(d[i]);
      EXPECT_LE(v, top) << i << ": " << ToUtf8(d[i]);
    }
    if (i < 5) {
      EXPECT_TRUE(n.empty() || n.size() == 6) << ToUtf8(d[i]);
    }
  }
  // Tickets are formed from the first on, with no gaps.
  for (size_t i = 1; i < 5; ++i) {
    if (!d[i].empty()) {
      EXPECT_FALSE(d[i - 1].empty());
    }
  }
}

}  // namespace

TEST(DeriveProperty, GeneratedCastsOfAllMethods) {
  std::mt19937 random(20261207);
  FixedClock clock(0);
  rg_GuaReport report;
  report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
  rg_CastDispatch dispatch(clock, report);
  int casts = 0;
  std::set<std::u16string> distinctResults;
  for (int zodiac = 1; zodiac <= 12; ++zodiac) {
    for (int k = 0; k < 200; ++k) {
      const double when =
          MakeDate(2015 + static_cast<int>(random() % 20), 1 + static_cast<int>(random() % 12),
                   1 + static_cast<int>(random() % 28), static_cast<int>(random() % 24),
                   static_cast<int>(random() % 60), static_cast<int>(random() % 60),
                   static_cast<int>(random() % 1000));
      clock.Set(when);
      rg_QiGuaModel r;
      r.zodiac = zodiac;
      r.method = *CastMethodOf(1 + k % 3);
      if (r.method == CastMethod::Number) {
        const int length = 1 + static_cast<int>(random() % 15);
        for (int i = 0; i < length; ++i)
          r.numberText += static_cast<char16_t>(u'0' + random() % 10);
      } else if (r.method == CastMethod::HandLines) {
        std::array<LineForm, 6> forms{};
        for (auto& f : forms) f = LineForm(1 + random() % 4);
        const HandLines lines = LinesFromForms(forms);
        r.upstr = lines.upper;
        r.downstr = lines.lower;
        r.dong = lines.dong;
        r.castTime = when;
      } else {
        r.timeChoice = *TimeChoiceOf(1 + static_cast<int>(random() % 2));
      }
      dispatch.Dispatch(1, NumberOf(r.method), u"", r);
      const DerivedNumbers first = DeriveNumbers(report.Analysis().profile);
      CheckForm(first);
      EXPECT_EQ(DeriveNumbers(report.Analysis().profile), first);
      // Casting the same request again gives the same numbers.
      rg_QiGuaModel again = r;
      again.id = 1;  // a reloaded time cast keeps its number and time
      dispatch.Dispatch(1, NumberOf(r.method), u"", again);
      EXPECT_EQ(DeriveNumbers(report.Analysis().profile), first);
      distinctResults.insert(FillResultText(first));
      ++casts;
    }
  }
  EXPECT_EQ(casts, 2400);
  EXPECT_GT(distinctResults.size(), 1000u);  // the casts really differ
}

TEST(DeriveProperty, EveryHexagramAndMovingLineOnEveryZodiac) {
  FixedClock clock(MakeDate(2024, 6, 1, 10, 30));
  rg_GuaReport report;
  report.SetReadyHandler([](rg_GuaAnalysis& a) { BuildNumberProfile(a); });
  rg_CastDispatch dispatch(clock, report);
  for (int zodiac = 1; zodiac <= 12; ++zodiac) {
    for (int u = 1; u <= 8; ++u) {
      for (int l = 1; l <= 8; ++l) {
        for (int m = 1; m <= 6; ++m) {
          rg_QiGuaModel r = test_support::NumberRequest(
              {char16_t(u'0' + u), char16_t(u'0' + l), char16_t(u'0' + m)}, 0, zodiac);
          dispatch.Dispatch(1, 1, u"", r);
          CheckForm(DeriveNumbers(report.Analysis().profile));
        }
      }
    }
  }
}
