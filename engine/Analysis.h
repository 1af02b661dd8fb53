#pragma once
// rg_GuaAnalysis: the analysis record of a cast; rg_GuaModel: one hexagram.
// The analysis of a cast: both hexagram models, the day and hour pillars
// and the analysis record that the reading and the derivation read.
#include <array>
#include <string>
#include <vector>

#include "engine/Choices.h"
#include "engine/NumberProfile.h"

namespace rg_com_ptl_xyh {

struct rg_QiGuaModel;
class rg_GuaReport;

// One six-line hexagram; lists run from line 1 (bottom) to line 6.
struct rg_GuaModel {
  int upper = 0;
  int lower = 0;
  int moving = 0;
  std::vector<int> movingFlags;
  std::u16string upperCode;
  std::u16string upperName;
  std::u16string lowerCode;
  std::u16string lowerName;
  int world = 0;
  int response = 0;
  int soulKind = 0;
  int palace = 0;
  int rank = 0;
  std::vector<std::u16string> lines;
  std::vector<std::u16string> spirits;
  std::vector<std::u16string> relatives;
  std::vector<std::u16string> najia;
  std::vector<int> phaseNumbers;
  std::vector<std::u16string> phases;
};

// The analysis record of one cast; lists hold six entries, line 1 first.
struct rg_GuaAnalysis {
  CastMethod method = CastMethod::None;
  std::u16string numberText;
  std::u16string upperCode;
  std::u16string lowerCode;
  TimeChoice timeChoice = TimeChoice::Unset;
  double castTime = 0.0;
  int zodiac = 0;
  std::u16string zodiacBranch;
  int zodiacHeTu = 0;
  std::u16string zodiacPhase;
  std::u16string dayPillar;
  std::u16string dayStem;
  std::u16string dayBranch;
  int dayStemHeTu = 0;
  int dayBranchHeTu = 0;
  std::u16string hourPillar;
  std::u16string hourStem;
  std::u16string hourBranch;
  int hourStemHeTu = 0;
  int hourBranchHeTu = 0;
  std::u16string primaryName;
  std::u16string primaryPalaceName;
  int primaryRank = 0;
  std::u16string changedName;
  std::u16string changedPalaceName;
  int changedRank = 0;
  std::vector<std::u16string> spirits;
  std::vector<std::u16string> relatives;
  std::vector<std::u16string> stems;
  std::vector<std::u16string> branches;
  std::vector<int> stemHeTu;
  std::vector<int> branchHeTu;
  std::vector<std::u16string> phases;
  int worldIndex = 0;
  int responseIndex = 0;
  std::vector<int> moving;
  std::vector<std::u16string> changedRelatives;
  std::vector<std::u16string> changedStems;
  std::vector<std::u16string> changedBranches;
  std::vector<int> changedStemHeTu;
  std::vector<int> changedBranchHeTu;
  std::vector<std::u16string> changedPhases;
  int changedWorldIndex = 0;
  int changedResponseIndex = 0;
  rg_GuaNumProfile profile;

  void Reset() { *this = rg_GuaAnalysis(); }
};

struct Pillar {
  int stem = 0;    // 1..10
  int branch = 0;  // 1..12
  std::u16string Text() const;
};
// The day begins at 00:00:00.500; 2022-11-07 is a 甲子 day and every date,
// earlier ones included, takes its place in the sixty-day cycle.
Pillar DayPillar(double castTime);
// 23:00 and 00:00 both fall in the 子 hour of the same day pillar.
Pillar HourPillar(int hour, int dayStemNumber);

// Model builds. dayPillar selects the spirits of a primary hexagram.
bool BuildFromNumber(rg_GuaModel& model, std::u16string_view numberText,
                     std::u16string_view dayPillar, int hourArgument);
void BuildFromLines(rg_GuaModel& model, std::u16string_view upstr, std::u16string_view downstr,
                    std::u16string_view dayPillar, const std::vector<int>& dong);
void BuildFromCodes(rg_GuaModel& model, std::u16string_view upperCode,
                    std::u16string_view lowerCode);

// The request's fields an analysis record keeps (the method, its entries,
// the time and the sign), and back: the save and the review go through
// these, so a field added to one side cannot be forgotten by one copier.
// The way back takes the moving marks as the request's dong.
void CopyRequestFields(const rg_QiGuaModel& request, rg_GuaAnalysis& analysis);
rg_QiGuaModel RequestOfAnalysis(const rg_GuaAnalysis& analysis);

// The whole analysis of a request into the report and its record.
void BuildCast(rg_GuaReport& report, const rg_QiGuaModel& request);

}  // namespace rg_com_ptl_xyh
