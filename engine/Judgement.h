#pragma once
// What a Liu Yao reader judges line by line: strength in the month, what
// the month and the day do to a line, its stage of the twelve, what a
// moving line turns into, 反吟/伏吟, the 卦身 and the 用神 of a question.
// Every rule is a table; the functions only look them up. Names are the
// tables' own static texts, so a chart holds views, not copies.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

namespace judgement {

// 旺相休囚死 by the relative (0 兄弟 .. 4 子孙, as RelativeOf gives it) of a
// line's phase seen from the month's phase.
inline constexpr std::array<std::u16string_view, 5> kStrengthByRelation = {u"旺", u"休", u"死",
                                                                           u"囚", u"相"};

// The six tests of a branch against the month or the day, in the order
// they are listed. Bit i of a mask stands for entry i.
inline constexpr std::array<std::u16string_view, 6> kMonthTests = {u"临月", u"月扶", u"月生",
                                                                   u"月克", u"月合", u"月破"};
inline constexpr std::array<std::u16string_view, 6> kDayTests = {u"临日", u"日扶", u"日生",
                                                                 u"日克", u"日合", u"日冲"};
enum Test : std::uint8_t {
  kTestSame = 1 << 0,
  kTestHelp = 1 << 1,
  kTestGenerate = 1 << 2,
  kTestControl = 1 << 3,
  kTestCombine = 1 << 4,
  kTestClash = 1 << 5
};

// 六合 pairs and 六冲 pairs, two branches each.
inline constexpr std::u16string_view kCombinePairs = u"子丑寅亥卯戌辰酉巳申午未";
inline constexpr std::u16string_view kClashPairs = u"子午丑未寅申卯酉辰戌巳亥";

// 十二长生, and the branch where each phase (金木水火土) is born.
inline constexpr std::array<std::u16string_view, 12> kStages = {
    u"长生", u"沐浴", u"冠带", u"临官", u"帝旺", u"衰", u"病", u"死", u"墓", u"绝", u"胎", u"养"};
inline constexpr std::u16string_view kBirthBranchOfPhase = u"巳亥申寅申";
inline constexpr int kTombStage = 8;
inline constexpr int kCutStage = 9;

// What a moving line's change does to it, in the order listed.
inline constexpr std::array<std::u16string_view, 10> kChangeRelations = {
    u"回头生", u"回头克", u"回头冲", u"回头合", u"化进",
    u"化退",   u"化空",   u"化破",   u"化墓",   u"化绝"};
enum Change : std::uint16_t {
  kBackGenerate = 1 << 0,
  kBackControl = 1 << 1,
  kBackClash = 1 << 2,
  kBackCombine = 1 << 3,
  kAdvance = 1 << 4,
  kRetreat = 1 << 5,
  kToVoid = 1 << 6,
  kToBreak = 1 << 7,
  kToTomb = 1 << 8,
  kToCut = 1 << 9
};

// A still line clashed by the day and not by the month: 暗动 when strong,
// 日破 when weak; by the strength's position in kStrengthByRelation order
// 旺 休 死 囚 相.
inline constexpr std::array<bool, 5> kDarkByStrength = {true, false, false, false, true};

// Trigram changes (乾兑离震巽坎艮坤 = 1..8): 反吟 where they face each other
// across the eight, 伏吟 between 乾 and 震; pairs of trigram numbers.
inline constexpr std::u16string_view kFanyinPairs = u"乾巽坎离震兑艮坤";
inline constexpr std::u16string_view kFuyinPairs = u"乾震";

// 卦身: 阳世从子、阴世从午.
inline constexpr std::u16string_view kBodyStart = u"午子";  // by the world line's value 0/1

// Questions and the relative each asks about (求财 first, the default).
inline constexpr std::array<std::u16string_view, 5> kTopics = {u"求财", u"功名", u"文书", u"子孙",
                                                               u"兄弟"};
inline constexpr std::array<int, 5> kTopicRelative = {2, 3, 1, 4, 0};
// The relatives in generating order from the palace: 兄弟 子孙 妻财 官鬼 父母.
inline constexpr std::array<int, 5> kGenerationOfRelatives = {0, 4, 2, 3, 1};
// 原神, 忌神, 仇神: how many steps back in that order.
inline constexpr std::array<int, 3> kHelperSteps = {1, 2, 3};

// What stands in for a 用神 without a line: 用神不现，以日月为用神；日月非用神，寻伏神.
inline constexpr std::array<std::u16string_view, 3> kAbsent = {u"月建", u"日辰", u"伏神"};

}  // namespace judgement

// Branch numbers 1..12 throughout; 0 (or anything out of range) looks up
// nothing.

// The kTestSame..kTestClash tests of branch b against the month or day branch by.
std::uint8_t TestsOf(int by, int b);
// Index into kStrengthByRelation of a branch in the month of monthBranch;
// -1 when either is not a branch.
int StrengthIndex(int monthBranch, int branch);
// Stage 0..11 of a phase (1..5) at a branch; -1 outside the tables.
int StageOf(int phase, int branch);
// The Change mask of a moving line of branch from turning into branch to,
// with the month branch and the two void branches.
std::uint16_t ChangeOf(int from, int to, int monthBranch, int void1, int void2);
// Names of the set bits of a mask, in table order, joined by sep.
template <size_t N>
std::u16string NamesOf(unsigned mask, const std::array<std::u16string_view, N>& names,
                       std::u16string_view sep) {
  std::u16string out;
  for (size_t i = 0; i < N; ++i) {
    if ((mask & (1U << i)) == 0) continue;
    if (!out.empty()) out += sep;
    out += names[i];
  }
  return out;
}

struct rg_InnerOuter {
  bool inner = false;
  bool outer = false;
};
// 反吟 and 伏吟 of a change, from the primary's and the changed hexagram's
// six line values ("1"/"0", line 1 first) and which lines move (bit 0 =
// line 1).
void FanFuOf(std::u16string_view primary, std::u16string_view changed, unsigned movingMask,
             rg_InnerOuter& fanyin, rg_InnerOuter& fuyin);
// The 卦身 branch number of a world line 1..6 whose value is yang or not.
int BodyBranch(int worldLine, bool yang);
// Topic index 0..4 of a question's name; -1 for any other text.
int TopicIndex(std::u16string_view topic);
// The relative (0..4) of 原神, 忌神 or 仇神 (which 0..2) of a 用神 relative.
int HelperRelative(int useRelative, int which);

}  // namespace rg_com_ptl_xyh
