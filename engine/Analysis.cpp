#include "engine/Analysis.h"

#include "engine/Casting.h"
#include "engine/Report.h"
#include "engine/Symbols.h"
#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

namespace {

std::int64_t FloorMod(std::int64_t a, std::int64_t b) { return ((a % b) + b) % b; }

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return (a - FloorMod(a, b)) / b; }

struct WorldRow {
  int world;
  int response;
  int soul;
};

WorldRow WorldAndResponse(std::u16string_view lower, std::u16string_view upper) {
  const bool s1 = lower[0] == upper[0];
  const bool s2 = lower[1] == upper[1];
  const bool s3 = lower[2] == upper[2];
  if (s1 && s2 && s3) return {6, 3, 0};
  if (!s1 && !s2 && s3) return {2, 5, 0};
  if (s1 && s2 && !s3) return {5, 2, 0};
  if (s1 && !s2 && !s3) return {4, 1, 0};
  if (!s1 && s2 && s3) return {1, 4, 0};
  if (!s1 && !s2 && !s3) return {3, 6, 0};
  if (!s1 && s2 && !s3) return {4, 1, 1};
  return {3, 6, 2};  // same at 1 and 3, not 2
}

// Everything that follows from the two trigram numbers.
void Finish(rg_GuaModel& m, int dayStemNumber, bool withSpirits) {
  m.upperCode = TrigramCode(m.upper);
  m.upperName = TrigramByNumber(m.upper);
  m.lowerCode = TrigramCode(m.lower);
  m.lowerName = TrigramByNumber(m.lower);
  for (char16_t c : m.lowerCode + m.upperCode) m.lines.emplace_back(1, c);

  const WorldRow row = WorldAndResponse(m.lowerCode, m.upperCode);
  m.world = row.world;
  m.response = row.response;
  m.soulKind = row.soul;
  if (m.soulKind == 2) {
    m.palace = TrigramNumberOfCode(m.lowerCode);
  } else if (m.world == 4 || m.world == 5) {
    m.palace = TrigramNumberOfCode(ComplementCode(m.lowerCode));
  } else {
    m.palace = TrigramNumberOfCode(m.upperCode);
  }
  m.rank = m.soulKind == 1 ? 7 : m.soulKind == 2 ? 8 : m.world == 6 ? 1 : m.world + 1;

  if (withSpirits) {
    const auto spirits = SpiritsOfDay(dayStemNumber);
    m.spirits.assign(spirits.begin(), spirits.end());
  }

  const int palacePhase =
      PhaseNumber(std::u16string(1, tables::kTrigramPhases[static_cast<size_t>(m.palace - 1)]));
  for (const bool upper : {false, true}) {
    const TrigramNajia najia = NajiaOf(upper ? m.upper : m.lower, upper);
    for (const auto& branch : najia.branches) {
      m.najia.push_back(najia.stem + branch);
      const std::u16string phase = PhaseOfBranch(branch);
      const int q = PhaseNumber(phase);
      m.phases.push_back(phase);
      m.phaseNumbers.push_back(q);
      m.relatives.push_back(q == 0 ? std::u16string() : RelativeName(RelativeOf(palacePhase, q)));
    }
  }
}

int DayStemOf(std::u16string_view dayPillar) {
  return dayPillar.empty() ? 0 : StemNumber(dayPillar.substr(0, 1));
}

}  // namespace

std::u16string Pillar::Text() const { return StemByNumber(stem) + BranchByNumber(branch); }

Pillar DayPillar(double castTime) {
  static const std::int64_t kJiaZi = DateToMs(MakeDate(2022, 11, 7, 0, 0, 1, 0));
  const std::int64_t r = FloorDiv(DateToMs(castTime) - kJiaZi + 500, kMsPerDay);
  return Pillar{static_cast<int>(FloorMod(r, 10)) + 1, static_cast<int>(FloorMod(r, 12)) + 1};
}

Pillar HourPillar(int hour, int dayStemNumber) {
  int k = (hour + 1) / 2;
  if (k == 12) k = 0;
  const int s = dayStemNumber <= 5 ? dayStemNumber - 1 : dayStemNumber - 6;
  return Pillar{static_cast<int>(FloorMod(k + 2 * s, 10)) + 1, k + 1};
}

bool BuildFromNumber(rg_GuaModel& model, std::u16string_view numberText,
                     std::u16string_view dayPillar, int hourArgument) {
  const auto cast = NumberCast(numberText, hourArgument);
  if (!cast) return false;
  model.upper = cast->upper;
  model.lower = cast->lower;
  model.moving = cast->moving;
  Finish(model, DayStemOf(dayPillar), true);
  return true;
}

void BuildFromLines(rg_GuaModel& model, std::u16string_view upstr, std::u16string_view downstr,
                    std::u16string_view dayPillar, const std::vector<int>& dong) {
  const TrigramCast cast = LineCast(upstr, downstr);
  model.upper = cast.upper;
  model.lower = cast.lower;
  model.moving = 0;
  model.movingFlags = dong;
  Finish(model, DayStemOf(dayPillar), true);
}

void BuildFromCodes(rg_GuaModel& model, std::u16string_view upperCode,
                    std::u16string_view lowerCode) {
  model.upper = TrigramNumberOfCode(upperCode);
  model.lower = TrigramNumberOfCode(lowerCode);
  Finish(model, 0, false);
}

namespace {

// The fields a request and its analysis record share, each pair once, so the
// two directions below can never disagree on what is carried.
template <typename Visit>
void ForEachSharedField(Visit visit) {
  visit(&rg_QiGuaModel::method, &rg_GuaAnalysis::method);
  visit(&rg_QiGuaModel::numberText, &rg_GuaAnalysis::numberText);
  visit(&rg_QiGuaModel::upstr, &rg_GuaAnalysis::upperCode);
  visit(&rg_QiGuaModel::downstr, &rg_GuaAnalysis::lowerCode);
  visit(&rg_QiGuaModel::timeChoice, &rg_GuaAnalysis::timeChoice);
  visit(&rg_QiGuaModel::castTime, &rg_GuaAnalysis::castTime);
  visit(&rg_QiGuaModel::zodiac, &rg_GuaAnalysis::zodiac);
}

}  // namespace

void CopyRequestFields(const rg_QiGuaModel& request, rg_GuaAnalysis& a) {
  ForEachSharedField(
      [&](auto requestField, auto analysisField) { a.*analysisField = request.*requestField; });
}

rg_QiGuaModel RequestOfAnalysis(const rg_GuaAnalysis& a) {
  rg_QiGuaModel request;
  ForEachSharedField(
      [&](auto requestField, auto analysisField) { request.*requestField = a.*analysisField; });
  // The engine works the moving lines out of the request; they go back as
  // the marks a request is cast from.
  request.dong = a.moving;
  return request;
}

void BuildCast(rg_GuaReport& report, const rg_QiGuaModel& request) {
  const std::u16string zodiacBranch = BranchByNumber(request.zodiac);
  const Pillar day = DayPillar(request.castTime);
  const int hour = SplitDate(request.castTime).hour;
  const Pillar hourPillar = HourPillar(hour, day.stem);

  rg_GuaAnalysis& a = report.Analysis();
  a.Reset();
  CopyRequestFields(request, a);
  a.dayPillar = day.Text();
  a.dayStem = StemByNumber(day.stem);
  a.dayBranch = BranchByNumber(day.branch);
  a.dayStemHeTu = HeTuOfStem(a.dayStem);
  a.dayBranchHeTu = HeTuOfBranch(a.dayBranch);
  a.zodiacBranch = zodiacBranch;
  a.zodiacHeTu = HeTuOfBranch(zodiacBranch);
  a.zodiacPhase = PhaseOfBranch(zodiacBranch);
  a.hourPillar = hourPillar.Text();
  a.hourStem = StemByNumber(hourPillar.stem);
  a.hourBranch = BranchByNumber(hourPillar.branch);
  a.hourStemHeTu = HeTuOfStem(a.hourStem);
  a.hourBranchHeTu = HeTuOfBranch(a.hourBranch);

  report.SetHeader(request.method,
                   request.method == CastMethod::Number ? request.numberText : std::u16string(),
                   zodiacBranch, a.dayPillar, a.hourPillar);

  rg_GuaModel primary;
  rg_GuaModel changed;
  if (request.method == CastMethod::Number || request.method == CastMethod::Time) {
    BuildFromNumber(primary, request.numberText, a.dayPillar, (hour + 1) / 2);
    const CodePair codes = ChangedCodes(primary.upperCode, primary.lowerCode, primary.moving);
    BuildFromCodes(changed, codes.upper, codes.lower);
    report.ReportNumber(primary, changed);
  } else if (request.method == CastMethod::HandLines) {
    BuildFromLines(primary, request.upstr, request.downstr, a.dayPillar, request.dong);
    const CodePair codes = ChangedCodes(primary.upperCode, primary.lowerCode, request.dong);
    BuildFromCodes(changed, codes.upper, codes.lower);
    report.ReportHand(primary, changed, request.dong);
  }
}

}  // namespace rg_com_ptl_xyh
