// The chart is an addition: header, titles, grid, reading and result text of
// a cast must stay what they were before it existed, and the chart's first
// keys what they were before its lines were judged. The hashes below were
// taken from these same 10 000 casts on the engine without the chart, and
// on the chart without its judgement.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "derive/Derive.h"
#include "derive/ResultText.h"
#include "engine/Analysis.h"
#include "engine/Casting.h"
#include "engine/Chart.h"
#include "engine/Dispatch.h"
#include "engine/Report.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {

class Fnv {
 public:
  void Add(const std::u16string& text) {
    for (const unsigned char c : ToUtf8(text)) {
      hash_ = (hash_ ^ c) * 0x100000001b3ULL;
    }
    // A separator, so that moving text between fields changes the hash.
    hash_ = (hash_ ^ 0xffU) * 0x100000001b3ULL;
  }
  std::uint64_t Value() const { return hash_; }

 private:
  std::uint64_t hash_ = 0xcbf29ce484222325ULL;
};

// mt19937_64 is the same sequence everywhere; distributions are not, so
// ranges are taken by remainder.
struct Draw {
  std::mt19937_64 gen{20261207};
  int Below(int n) { return static_cast<int>(gen() % static_cast<std::uint64_t>(n)); }
};

rg_QiGuaModel MakeRequest(Draw& d, FixedClock& clock) {
  // Any moment from 1901 to 2099, to the millisecond.
  const double when = MakeDate(1901 + d.Below(199), 1 + d.Below(12), 1 + d.Below(28), d.Below(24),
                               d.Below(60), d.Below(60), d.Below(1000));
  clock.Set(when);
  rg_QiGuaModel r;
  r.zodiac = 1 + d.Below(12);
  switch (d.Below(3)) {
    case 0: {
      r.method = CastMethod::Number;
      const int length = 1 + d.Below(14);
      for (int i = 0; i < length; ++i) r.numberText += static_cast<char16_t>(u'0' + d.Below(10));
      break;
    }
    case 1:
      r.method = CastMethod::Time;
      r.timeChoice = *TimeChoiceOf(1 + d.Below(2));
      break;
    default: {
      r.method = CastMethod::HandLines;
      std::array<LineForm, 6> forms{};
      for (auto& f : forms) f = static_cast<LineForm>(1 + d.Below(4));
      const HandLines hand = LinesFromForms(forms);
      r.upstr = hand.upper;
      r.downstr = hand.lower;
      r.dong = hand.dong;
      r.castTime = when;
      break;
    }
  }
  return r;
}

// The keys the chart had before its judgement layer.
void AddChart(Fnv& fnv, const rg_ChartModel& c) {
  for (const auto* s : {&c.monthPillar, &c.monthBreak, &c.voidBranches[0], &c.voidBranches[1],
                        &c.clashPrimary, &c.clashChanged, &c.nuclear, &c.opposite, &c.inverse,
                        &c.horse, &c.peach, &c.noble[0], &c.noble[1], &c.salary, &c.scholar}) {
    fnv.Add(*s);
  }
  for (const auto& h : c.hidden) {
    fnv.Add(DecimalText(h.line));
    for (const auto* s : {&h.relative, &h.stemBranch, &h.phase, &h.flying}) fnv.Add(*s);
  }
  for (const auto& m : c.moving) {
    fnv.Add(DecimalText(m.line));
    fnv.Add(m.turn);
    fnv.Add(m.back);
  }
}

}  // namespace

TEST(UnchangedCasts, TenThousandCastsReadAsBefore) {
  Draw d;
  FixedClock clock(0.0, -480);
  Fnv fnv;
  Fnv chart;
  for (int n = 0; n < 10000; ++n) {
    rg_QiGuaModel request = MakeRequest(d, clock);
    rg_GuaReport report;
    report.SetReadyHandler([](rg_GuaAnalysis& analysis) { BuildNumberProfile(analysis); });
    rg_CastDispatch dispatch(clock, report);
    const auto verdict = ValidateCast(request);
    ASSERT_TRUE(verdict && verdict->Accepted());
    dispatch.Dispatch(rg_CastDispatch::kEngineTag, verdict->Code(), verdict->message, request);
    fnv.Add(report.Header());
    fnv.Add(report.PrimaryTitle());
    fnv.Add(report.ChangedTitle());
    for (const auto& row : report.Cells()) {
      for (const auto& cell : row) fnv.Add(cell);
    }
    fnv.Add(report.Reading());
    fnv.Add(FillResultText(DeriveNumbers(report.Analysis().profile)));
    AddChart(chart, BuildChart(report.Analysis(), clock.BiasMinutes()));
  }
  EXPECT_EQ(fnv.Value(), 0x1dc26ec099a05fe6ULL);
  // Taken on the chart before each line was judged.
  EXPECT_EQ(chart.Value(), 0x14dc277b656c97b7ULL) << std::hex << chart.Value();
}
