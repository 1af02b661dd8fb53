#pragma once
// The full Liu Yao chart beside the reading: month, void branches, hidden
// spirits, related hexagrams, six-clash / six-harmony, the turns of the
// moving lines and the common stars. Everything is worked out from a
// finished analysis record; the reading itself is left as it is.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Analysis.h"
#include "engine/Judgement.h"

namespace rg_com_ptl_xyh {

class rg_GuaReport;

// A relative the primary hexagram lacks, on a line of the palace's pure
// hexagram, hidden under the primary's ("flying") line there.
struct rg_HiddenSpirit {
  int line = 0;  // 1..6
  std::u16string relative;
  std::u16string stemBranch;
  std::u16string phase;   // the hidden line's own phase
  std::u16string flying;  // the primary's stem and branch on that line
};

struct rg_MovingTurn {
  int line = 0;         // 1..6
  std::u16string turn;  // "进神", "退神" or empty
  std::u16string back;  // "回头生", "回头克" or empty
};

// What a moving line turns into.
struct rg_LineChange {
  std::u16string branch;
  std::u16string phase;
  std::u16string relative;           // seen from the changed hexagram's palace
  std::u16string relativeByPrimary;  // seen from the primary's palace
  std::uint16_t relations = 0;       // judgement::Change bits
};

// One line of the primary hexagram as the month and the day find it.
struct rg_ChartLine {
  int line = 0;  // 1..6
  std::u16string branch;
  std::u16string phase;
  std::u16string relative;
  int strength = -1;       // index into judgement::kStrengthByRelation; -1 without a month
  std::uint8_t month = 0;  // judgement::Test bits against the month branch
  std::uint8_t day = 0;    // and against the day branch
  int stage = -1;          // index into judgement::kStages
  bool isVoid = false;
  bool moving = false;
  bool dark = false;
  bool dayBreak = false;
  bool changes = false;  // change below holds something
  rg_LineChange change;
};

// A relative and the primary's lines (1..6) that carry it.
struct rg_RelativeLines {
  int relative = -1;  // 0 兄弟 .. 4 子孙
  std::vector<int> lines;
};

// The 用神 of a question and the three around it.
struct rg_UseGod {
  int topic = 0;  // index into judgement::kTopics
  rg_RelativeLines use;
  std::vector<int> hidden;  // lines of the hidden spirits that carry it
  int absent = -1;          // index into judgement::kAbsent; -1 when it has a line
  rg_RelativeLines origin;  // 原神
  rg_RelativeLines taboo;   // 忌神
  rg_RelativeLines enemy;   // 仇神
};

struct rg_CanonText;
// The texts a cast points to, by the number of moving lines.
struct rg_ReadText {
  bool changed = false;  // of the changed hexagram, else the primary
  enum Part { kJudgment, kLine, kExtra } part = kJudgment;
  int line = 0;  // 1..6 for a line, 0 otherwise
  bool main = false;
};
inline constexpr std::u16string_view kReadingRule = u"朱熹《易学启蒙·考变占》";
struct rg_ChartTexts {
  const rg_CanonText* primary = nullptr;  // null when the canon could not be read
  const rg_CanonText* changed = nullptr;  // null also without moving lines
  std::vector<rg_ReadText> read;
};

struct rg_ChartModel {
  std::u16string monthPillar;
  std::u16string monthBreak;
  std::array<std::u16string, 2> voidBranches;
  std::u16string clashPrimary;  // "六冲", "六合" or empty
  std::u16string clashChanged;
  std::vector<rg_HiddenSpirit> hidden;
  std::u16string nuclear;
  std::u16string opposite;
  std::u16string inverse;
  std::vector<rg_MovingTurn> moving;
  std::u16string horse;                 // 驿马
  std::u16string peach;                 // 桃花
  std::array<std::u16string, 2> noble;  // 贵人
  std::u16string salary;                // 禄神
  std::u16string scholar;               // 文昌
  // The 节 that opened the month, and when (Unix ms).
  std::u16string jieName;
  std::int64_t jieUnixMs = 0;

  // The judgement layer; empty (no lines) for an empty record.
  std::vector<rg_ChartLine> lines;
  std::array<std::u16string, 6> changedByPrimary;
  rg_InnerOuter fanyin;
  rg_InnerOuter fuyin;
  int bodyBranch = 0;  // branch number of 卦身
  std::vector<int> bodyLines;
  rg_UseGod useGod;
  rg_ChartTexts texts;
};

// Line values ("1"/"0", line 1 first) of the hexagram of a palace (trigram
// number) and rank 1..8; empty outside the table.
std::u16string HexagramLines(int palace, int rank);
// The name in the table of 64 of six line values, line 1 first; empty for
// anything that is not six lines.
std::u16string HexagramNameOfLines(std::u16string_view lines);

// "六冲", "六合" or empty for a hexagram name of the table of 64.
std::u16string ClashOf(std::u16string_view name);
// The two branches the ten-day week of a day pillar leaves over.
std::array<std::u16string, 2> VoidBranches(int stem, int branch);
// The branch opposite (clashing) a branch.
std::u16string ClashingBranch(std::u16string_view branch);
// "进神" / "退神" / empty for a branch changing into another.
std::u16string TurnOf(std::u16string_view from, std::u16string_view to);
// "回头生" / "回头克" / empty for a moving line of phase from changing into
// phase to.
std::u16string BackOf(std::u16string_view fromPhase, std::u16string_view toPhase);

struct rg_DayStars {
  std::u16string horse;
  std::u16string peach;
  std::array<std::u16string, 2> noble;
  std::u16string salary;
  std::u16string scholar;
};
rg_DayStars StarsOfDay(int stem, int branch);

// The chart of a cast. biasMinutes is the zone's standard bias (UTC =
// local + bias) that turns the cast time into an instant; topic indexes
// judgement::kTopics (求财 by default). An empty record gives an empty
// chart.
rg_ChartModel BuildChart(const rg_GuaAnalysis& analysis, int biasMinutes, int topic = 0);

// The 用神 of a topic in a chart already built.
rg_UseGod UseGodOf(const rg_ChartModel& chart, const rg_GuaAnalysis& analysis, int topic);
// The texts a cast with these moving lines (bit 0 = line 1) points to.
std::vector<rg_ReadText> ReadTexts(unsigned movingMask, std::u16string_view primaryLines);

// The chart laid out for a window and for plain text: a few head lines,
// six rows (line 6 first) and a few foot lines.
struct rg_ChartRow {
  int line = 0;
  std::u16string spirit;
  std::u16string hidden;       // e.g. "妻财甲寅木", or empty
  std::u16string primary;      // relative, stem, branch and phase
  std::u16string primaryLine;  // "1" / "0"
  std::u16string primaryMark;  // 世 / 应
  std::u16string moving;       // ○ / ×
  std::u16string changed;
  std::u16string changedLine;
  std::u16string changedMark;
  std::u16string note;  // 月破, 旬空, 进神, 回头生 and the like

  // The judgement of the line.
  std::u16string changedByPrimary;  // as changed, the relative seen from the primary palace
  std::u16string strength;
  std::u16string month;  // 月生 月合 ... joined by spaces
  std::u16string day;
  std::u16string stage;
  std::u16string marks;           // 旬空 暗动 日破
  std::u16string changeRelative;  // of a moving line: the changed relative by its own palace
  std::u16string changeRelativeByPrimary;
  std::u16string change;                // branch and phase it turns into, e.g. 子水
  std::u16string relations;             // 回头生 化空 ...
  std::array<std::u16string, 5> roles;  // per topic: 用神, 原神, 忌神, 仇神 or empty
};

// A line of the 卦辞爻辞 section.
struct rg_CanonLine {
  std::u16string text;
  bool heading = false;  // the hexagram's name above its texts
  bool pointed = false;  // a text the reading rule points to
  bool main = false;     // the one of them it names main
};

// How the window shows the chart: the question and whose palace counts the
// changed hexagram's relatives (the primary's, 按本宫, by default there).
struct rg_ChartOptions {
  int topic = 0;
  bool byPrimary = true;
};
struct rg_ChartSheet {
  std::vector<std::u16string> head;
  std::u16string primaryTitle;
  std::u16string changedTitle;
  std::array<rg_ChartRow, 6> rows;
  std::vector<std::u16string> foot;
  static std::array<std::u16string, 10> Headings();

  // 反吟/伏吟, 卦身, 六冲变六合 / 六合变六冲.
  std::vector<std::u16string> whole;
  // Per topic: what the 用神 is, where, and its 原神, 忌神, 仇神.
  std::array<std::vector<std::u16string>, 5> useGod;
  std::u16string readingRule;  // e.g. 占法: 朱熹《易学启蒙·考变占》
  std::vector<rg_CanonLine> canon;
  static std::array<std::u16string, 9> JudgementHeadings();
};
rg_ChartSheet MakeChartSheet(const rg_ChartModel& chart, const rg_GuaReport& report,
                             int biasMinutes);
// The layout alone as plain text (LF line ends), the changed relatives by
// the changed hexagram's own palace as in the main grid.
std::u16string ChartText(const rg_ChartSheet& sheet);
// Everything the window shows with these options, for pasting into chats.
std::u16string ChartText(const rg_ChartSheet& sheet, const rg_ChartOptions& options);
// The changed column of a row as the options count it.
std::u16string ChangedCell(const rg_ChartRow& row, const rg_ChartOptions& options);
// A row of the judgement table, one cell per JudgementHeadings() entry.
std::array<std::u16string, 9> JudgementCells(const rg_ChartRow& row,
                                             const rg_ChartOptions& options);
// The judgement parts of a sheet (rows' judgement, whole, 用神, texts).
void AddJudgement(rg_ChartSheet& sheet, const rg_ChartModel& chart, const rg_GuaAnalysis& analysis);

}  // namespace rg_com_ptl_xyh
