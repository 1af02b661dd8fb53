#pragma once
// The fixed symbol tables of the engine and the pure lookups on them.
// Numbers are 1-based (0 = not in the table); a number out of range looks up
// the empty text.
#include <array>
#include <string>
#include <string_view>

namespace rg_com_ptl_xyh {

namespace tables {
inline constexpr std::u16string_view kStems = u"甲乙丙丁戊己庚辛壬癸";
inline constexpr std::u16string_view kBranches = u"子丑寅卯辰巳午未申酉戌亥";
inline constexpr std::u16string_view kStemHeTu = u"3827504916";
inline constexpr std::u16string_view kBranchHeTu = u"103857204956";
inline constexpr std::u16string_view kPhases = u"金木水火土";
inline constexpr std::u16string_view kGeneration = u"13245";
inline constexpr std::u16string_view kControl = u"12534";
inline constexpr std::u16string_view kBranchPhases = u"水土木木土火火土金金土水";
inline constexpr std::u16string_view kTrigrams = u"乾兑离震巽坎艮坤";
inline constexpr std::u16string_view kTrigramPhases = u"金金火木木水土土";
inline constexpr std::u16string_view kInnerStems = u"甲丁己庚辛戊丙乙";
inline constexpr std::u16string_view kOuterStems = u"壬丁己庚辛戊丙癸";
inline constexpr std::u16string_view kInnerFirstBranch = u"子巳卯子丑寅辰未";
inline constexpr std::u16string_view kOuterFirstBranch = u"午亥酉午未申戌丑";
inline constexpr std::u16string_view kYangCycle = u"子寅辰午申戌";
inline constexpr std::u16string_view kYinCycle = u"亥酉未巳卯丑";
inline constexpr std::u16string_view kSpirits = u"青龙白虎玄武腾蛇朱雀勾陈";
inline constexpr std::u16string_view kRelatives = u"兄弟父母妻财官鬼子孙";
inline constexpr std::u16string_view kSouls = u"游魂归魂";
inline constexpr std::u16string_view kPrimaryChanged = u"本卦变卦";
inline constexpr std::u16string_view kHexagramNames =
    u"乾为天,天风姤,天山遁,天地否,风地观,山地剥,火地晋,火天大有,"
    u"兑为泽,泽水困,泽地萃,泽山咸,水山蹇,地山谦,雷山小过,雷泽归妹,"
    u"离为火,火山旅,火风鼎,火水未济,山水蒙,风水涣,天水讼,天火同人,"
    u"震为雷,雷地豫,雷水解,雷风恒,地风升,水风井,泽风大过,泽雷随,"
    u"巽为风,风天小畜,风火家人,风雷益,天雷无妄,火雷噬嗑,山雷颐,山风蛊,"
    u"坎为水,水泽节,水雷屯,水火既济,泽火革,雷火丰,地火明夷,地水师,"
    u"艮为山,山火贲,山天大畜,山泽损,火泽睽,天泽履,风泽中孚,风山渐,"
    u"坤为地,地雷复,地泽临,地天泰,雷天大壮,泽天夬,水天需,水地比";
}  // namespace tables

std::u16string StemByNumber(int n);
std::u16string BranchByNumber(int n);
std::u16string TrigramByNumber(int n);
std::u16string PhaseByNumber(int n);

int StemNumber(std::u16string_view ch);
int BranchNumber(std::u16string_view ch);
int PhaseNumber(std::u16string_view ch);
int TrigramNumber(std::u16string_view ch);

// Phase character of a branch; empty for anything that is not a branch.
std::u16string PhaseOfBranch(std::u16string_view ch);
// He Tu digit 0..9 (0 stands for ten); 0 for a non-stem / non-branch.
int HeTuOfStem(std::u16string_view ch);
int HeTuOfBranch(std::u16string_view ch);

// 0-based index of a two-character name; -1 when it is not in the table.
int SpiritIndex(std::u16string_view name);
int RelativeIndex(std::u16string_view name);
std::u16string SpiritName(int index);
std::u16string RelativeName(int index);

std::u16string SoulKindText(int kind);
std::u16string HexagramName(int index);
std::u16string FullHexagramName(int palace, int rank, int soulKind);

// Three characters, bottom line first; anything but 1..7 gives "000".
std::u16string TrigramCode(int n);
int TrigramNumberOfCode(std::u16string_view code);
// "0" becomes "1", every other character "0".
std::u16string ComplementCode(std::u16string_view code);

// Relative index (0 兄弟 .. 4 子孙) of a line of phase q seen from palace phase p.
int RelativeOf(int palacePhase, int linePhase);

// The six spirits of lines 1..6 on a day of the given stem number.
std::array<std::u16string, 6> SpiritsOfDay(int dayStemNumber);

// Stem and the three branches (bottom first) a trigram carries as the lower
// (inner) or the upper (outer) half of a hexagram.
struct TrigramNajia {
  std::u16string stem;
  std::array<std::u16string, 3> branches;
};
TrigramNajia NajiaOf(int trigram, bool upper);

}  // namespace rg_com_ptl_xyh
