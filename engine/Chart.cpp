#include "engine/Chart.h"

#include <algorithm>
#include <cmath>

#include "engine/Canon.h"
#include "engine/Report.h"
#include "engine/SolarTerms.h"
#include "engine/Symbols.h"
#include "platform/DateTime.h"

namespace rg_com_ptl_xyh {

namespace {

std::u16string Char(std::u16string_view table, size_t index) {
  return index < table.size() ? std::u16string(table.substr(index, 1)) : std::u16string();
}

std::u16string At(const std::vector<std::u16string>& list, size_t i) {
  return i < list.size() ? list[i] : std::u16string();
}

int AtInt(const std::vector<int>& list, size_t i) { return i < list.size() ? list[i] : 0; }

// Position 0..4 of a phase number in an order such as "13245".
int OrderPosition(std::u16string_view order, int phase) {
  const size_t pos = order.find(static_cast<char16_t>(u'0' + phase));
  return pos == std::u16string_view::npos ? -1 : static_cast<int>(pos);
}

constexpr std::u16string_view kClash =
    u"乾为天,兑为泽,离为火,震为雷,巽为风,坎为水,艮为山,坤为地,天雷无妄,雷天大壮";
constexpr std::u16string_view kHarmony = u"天地否,地天泰,地雷复,雷地豫,水泽节,泽水困,山火贲,火山旅";

bool InList(std::u16string_view list, std::u16string_view name) {
  size_t start = 0;
  while (start <= list.size()) {
    const size_t comma = std::min(list.find(u',', start), list.size());
    if (list.substr(start, comma - start) == name) return true;
    start = comma + 1;
  }
  return false;
}

const std::u16string_view kLineLabels[] = {u"初爻", u"二爻", u"三爻", u"四爻", u"五爻", u"六爻"};

}  // namespace

std::u16string HexagramLines(int palace, int rank) {
  if (palace < 1 || palace > 8 || rank < 1 || rank > 8) return {};
  const std::u16string code = TrigramCode(palace);
  std::u16string lines = code + code;
  const auto flip = [&lines](int line) {
    char16_t& c = lines[static_cast<size_t>(line - 1)];
    c = c == u'1' ? u'0' : u'1';
  };
  // Each generation changes one more line from the bottom; the wandering
  // soul turns the fourth line back, the returning soul the whole lower
  // trigram.
  for (int line = 1; line < std::min(rank, 6); ++line) flip(line);
  if (rank >= 7) flip(4);
  if (rank == 8) {
    for (int line = 1; line <= 3; ++line) flip(line);
  }
  return lines;
}

namespace {

// Six lines as bits, line 1 the lowest.
int MaskOfLines(std::u16string_view lines) {
  int mask = 0;
  for (size_t i = 0; i < 6; ++i) mask |= static_cast<int>(lines[i] == u'1') << i;
  return mask;
}

// The 64 names and their clash by line mask, and the mask of each palace
// and rank; built once from the palaces' generations, as a cast asks for
// five hexagrams.
struct HexagramTables {
  std::array<std::u16string, 64> name;
  std::array<std::u16string, 64> clash;
  std::array<int, 64> maskOfIndex{};
};

const HexagramTables& Tables() {
  static const HexagramTables kTables = [] {
    HexagramTables t;
    for (int palace = 1; palace <= 8; ++palace) {
      for (int rank = 1; rank <= 8; ++rank) {
        const int index = (palace - 1) * 8 + rank;
        const int mask = MaskOfLines(HexagramLines(palace, rank));
        t.maskOfIndex[static_cast<size_t>(index - 1)] = mask;
        t.name[static_cast<size_t>(mask)] = HexagramName(index);
        t.clash[static_cast<size_t>(mask)] = ClashOf(t.name[static_cast<size_t>(mask)]);
      }
    }
    return t;
  }();
  return kTables;
}

// -1 for a palace or rank outside the table.
int MaskOf(int palace, int rank) {
  if (palace < 1 || palace > 8 || rank < 1 || rank > 8) return -1;
  return Tables().maskOfIndex[static_cast<size_t>((palace - 1) * 8 + rank - 1)];
}

}  // namespace

std::u16string HexagramNameOfLines(std::u16string_view lines) {
  if (lines.size() != 6 || lines.find_first_not_of(u"01") != std::u16string_view::npos) return {};
  return Tables().name[static_cast<size_t>(MaskOfLines(lines))];
}

std::u16string ClashOf(std::u16string_view name) {
  if (name.empty()) return {};
  if (InList(kClash, name)) return u"六冲";
  if (InList(kHarmony, name)) return u"六合";
  return {};
}

std::array<std::u16string, 2> VoidBranches(int stem, int branch) {
  if (stem < 1 || stem > 10 || branch < 1 || branch > 12) return {};
  // The week began on the 甲 day stem - 1 days back; its branch, plus ten
  // and eleven, are the two branches no day of the week reaches.
  const int first = ((branch - 1) - (stem - 1) + 12) % 12;
  return {BranchByNumber((first + 10) % 12 + 1), BranchByNumber((first + 11) % 12 + 1)};
}

std::u16string ClashingBranch(std::u16string_view branch) {
  const int n = BranchNumber(branch);
  return n == 0 ? std::u16string() : BranchByNumber((n - 1 + 6) % 12 + 1);
}

std::u16string TurnOf(std::u16string_view from, std::u16string_view to) {
  // Forward steps within a phase: 寅卯 木, 巳午 火, 申酉 金, 亥子 水, and the
  // four earths 丑辰未戌 in turn.
  static constexpr std::u16string_view kForward[] = {u"寅卯", u"巳午", u"申酉", u"亥子",
                                                     u"丑辰", u"辰未", u"未戌", u"戌丑"};
  if (from.size() != 1 || to.size() != 1) return {};
  for (const auto pair : kForward) {
    if (pair[0] == from[0] && pair[1] == to[0]) return u"进神";
    if (pair[1] == from[0] && pair[0] == to[0]) return u"退神";
  }
  return {};
}

std::u16string BackOf(std::u16string_view fromPhase, std::u16string_view toPhase) {
  const int from = PhaseNumber(fromPhase);
  const int to = PhaseNumber(toPhase);
  if (from == 0 || to == 0 || from == to) return {};
  const int gf = OrderPosition(tables::kGeneration, from);
  const int gt = OrderPosition(tables::kGeneration, to);
  if ((gt + 1) % 5 == gf) return u"回头生";
  const int cf = OrderPosition(tables::kControl, from);
  const int ct = OrderPosition(tables::kControl, to);
  if ((ct + 1) % 5 == cf) return u"回头克";
  return {};
}

rg_DayStars StarsOfDay(int stem, int branch) {
  rg_DayStars s;
  if (stem < 1 || stem > 10 || branch < 1 || branch > 12) return s;
  // The day branch's triad (申子辰 水, 寅午戌 火, 巳酉丑 金, 亥卯未 木)
  // decides the horse and the peach blossom.
  static constexpr std::u16string_view kTriadOfBranch = u"021302130213";  // 子.. by branch
  static constexpr std::u16string_view kHorse = u"寅申亥巳";
  static constexpr std::u16string_view kPeach = u"酉卯午子";
  const size_t triad = static_cast<size_t>(kTriadOfBranch[static_cast<size_t>(branch - 1)] - u'0');
  s.horse = Char(kHorse, triad);
  s.peach = Char(kPeach, triad);
  static constexpr std::u16string_view kNoble = u"丑未子申亥酉亥酉丑未子申丑未寅午卯巳卯巳";
  const size_t k = static_cast<size_t>(stem - 1);
  s.noble = {Char(kNoble, 2 * k), Char(kNoble, 2 * k + 1)};
  s.salary = Char(u"寅卯巳午巳午申酉亥子", k);
  s.scholar = Char(u"巳午申酉申酉亥子寅卯", k);
  return s;
}

namespace {

// Hidden spirits: the palace's pure hexagram, its relatives seen from the
// palace's own phase, lends the relatives the primary lacks.
std::vector<rg_HiddenSpirit> HiddenSpirits(const rg_GuaAnalysis& a, int palace) {
  static const std::array<rg_GuaModel, 8> kPure = [] {
    std::array<rg_GuaModel, 8> pures;
    for (int p = 1; p <= 8; ++p)
      BuildFromCodes(pures[static_cast<size_t>(p - 1)], TrigramCode(p), TrigramCode(p));
    return pures;
  }();
  std::vector<rg_HiddenSpirit> hidden;
  const rg_GuaModel& pure = kPure[static_cast<size_t>(palace - 1)];
  for (size_t i = 0; i < 6; ++i) {
    const std::u16string& relative = pure.relatives[i];
    if (std::find(a.relatives.begin(), a.relatives.end(), relative) != a.relatives.end()) continue;
    rg_HiddenSpirit h;
    h.line = static_cast<int>(i) + 1;
    h.relative = relative;
    h.stemBranch = pure.najia[i];
    h.phase = pure.phases[i];
    h.flying = At(a.stems, i) + At(a.branches, i);
    hidden.push_back(std::move(h));
  }
  return hidden;
}

// Nuclear: lines 2-4 below, 3-5 above.
int NuclearOf(int mask) { return ((mask >> 1) & 7) | (((mask >> 2) & 7) << 3); }

// Inverse: the lines upside down.
int InverseOf(int mask) {
  int inverse = 0;
  for (int i = 0; i < 6; ++i) inverse |= ((mask >> i) & 1) << (5 - i);
  return inverse;
}

// What each moving line turns into.
std::vector<rg_MovingTurn> MovingTurns(const rg_GuaAnalysis& a) {
  std::vector<rg_MovingTurn> turns;
  for (size_t i = 0; i < 6; ++i) {
    if (AtInt(a.moving, i) == 0) continue;
    rg_MovingTurn m;
    m.line = static_cast<int>(i) + 1;
    m.turn = TurnOf(At(a.branches, i), At(a.changedBranches, i));
    m.back = BackOf(At(a.phases, i), At(a.changedPhases, i));
    turns.push_back(std::move(m));
  }
  return turns;
}

}  // namespace

namespace {

std::u16string PhaseOfTrigram(int trigram) {
  return Char(tables::kTrigramPhases, static_cast<size_t>(trigram - 1));
}

// The judgement of each line, the changed relatives seen from the primary
// palace, 反吟/伏吟, 卦身 and the texts.
void JudgeLines(rg_ChartModel& c, const rg_GuaAnalysis& a, int palace, int dayBranch) {
  using namespace judgement;
  const int month =
      c.monthPillar.size() == 2 ? BranchNumber(std::u16string_view(c.monthPillar).substr(1)) : 0;
  const int void1 = BranchNumber(c.voidBranches[0]);
  const int void2 = BranchNumber(c.voidBranches[1]);
  const int palacePhase = PhaseNumber(PhaseOfTrigram(palace));
  unsigned movingMask = 0;
  c.lines.resize(6);
  for (size_t i = 0; i < 6; ++i) {
    rg_ChartLine& l = c.lines[i];
    l.line = static_cast<int>(i) + 1;
    l.branch = At(a.branches, i);
    l.phase = At(a.phases, i);
    l.relative = At(a.relatives, i);
    const int b = BranchNumber(l.branch);
    l.strength = StrengthIndex(month, b);
    l.month = TestsOf(month, b);
    l.day = TestsOf(dayBranch, b);
    l.stage = StageOf(PhaseNumber(l.phase), dayBranch);
    l.isVoid = b != 0 && (b == void1 || b == void2);
    l.moving = AtInt(a.moving, i) != 0;
    const std::u16string changedPhase = At(a.changedPhases, i);
    c.changedByPrimary[i] = RelativeName(RelativeOf(palacePhase, PhaseNumber(changedPhase)));
    if (l.moving) {
      movingMask |= 1U << i;
      l.changes = true;
      l.change.branch = At(a.changedBranches, i);
      l.change.phase = changedPhase;
      l.change.relative = At(a.changedRelatives, i);
      l.change.relativeByPrimary = c.changedByPrimary[i];
      l.change.relations = ChangeOf(b, BranchNumber(l.change.branch), month, void1, void2);
    } else if ((l.day & kTestClash) != 0 && month != 0 && (l.month & kTestClash) == 0 &&
               l.strength >= 0) {
      // A line the month breaks is governed by its 月破, not by the day.
      l.dark = kDarkByStrength[static_cast<size_t>(l.strength)];
      l.dayBreak = !l.dark;
    }
  }

  const std::u16string primaryLines = HexagramLines(palace, a.primaryRank);
  const std::u16string changedLines =
      HexagramLines(TrigramNumber(a.changedPalaceName), a.changedRank);
  FanFuOf(primaryLines, changedLines, movingMask, c.fanyin, c.fuyin);

  const size_t world = static_cast<size_t>(a.worldIndex);
  if (world < primaryLines.size()) {
    c.bodyBranch = BodyBranch(a.worldIndex + 1, primaryLines[world] == u'1');
    for (const auto& l : c.lines) {
      if (BranchNumber(l.branch) == c.bodyBranch) c.bodyLines.push_back(l.line);
    }
  }

  const rg_Canon& canon = ProgramCanon();
  if (canon.Ok()) {
    c.texts.primary = canon.OfLines(primaryLines);
    if (movingMask != 0) c.texts.changed = canon.OfLines(changedLines);
  }
  c.texts.read = ReadTexts(movingMask, primaryLines);
}

}  // namespace

rg_ChartModel BuildChart(const rg_GuaAnalysis& a, int biasMinutes, int topic) {
  rg_ChartModel c;
  const int dayStem = StemNumber(a.dayStem);
  const int dayBranch = BranchNumber(a.dayBranch);
  if (dayStem == 0 || dayBranch == 0) return c;

  if (InDateRange(a.castTime)) {
    const std::int64_t instant = UnixMs(a.castTime, biasMinutes);
    const MonthPillarNumbers month = MonthPillarAt(instant);
    c.monthPillar = StemByNumber(month.stem) + BranchByNumber(month.branch);
    c.monthBreak = ClashingBranch(BranchByNumber(month.branch));
  }
  c.voidBranches = VoidBranches(dayStem, dayBranch);

  const int palace = TrigramNumber(a.primaryPalaceName);
  const int primary = MaskOf(palace, a.primaryRank);
  const int changed = MaskOf(TrigramNumber(a.changedPalaceName), a.changedRank);
  const HexagramTables& tables = Tables();
  if (primary >= 0) c.clashPrimary = tables.clash[static_cast<size_t>(primary)];
  if (changed >= 0) c.clashChanged = tables.clash[static_cast<size_t>(changed)];

  if (palace != 0 && a.relatives.size() == 6) c.hidden = HiddenSpirits(a, palace);
  if (primary >= 0) {
    c.nuclear = tables.name[static_cast<size_t>(NuclearOf(primary))];
    c.opposite = tables.name[static_cast<size_t>(primary ^ 63)];  // every line flipped
    c.inverse = tables.name[static_cast<size_t>(InverseOf(primary))];
  }
  c.moving = MovingTurns(a);

  const rg_DayStars stars = StarsOfDay(dayStem, dayBranch);
  c.horse = stars.horse;
  c.peach = stars.peach;
  c.noble = stars.noble;
  c.salary = stars.salary;
  c.scholar = stars.scholar;

  if (palace != 0 && a.relatives.size() == 6 && a.changedPhases.size() == 6) {
    JudgeLines(c, a, palace, dayBranch);
    c.useGod = UseGodOf(c, a, topic);
  }
  return c;
}

rg_UseGod UseGodOf(const rg_ChartModel& c, const rg_GuaAnalysis& a, int topic) {
  using namespace judgement;
  rg_UseGod u;
  if (topic < 0 || topic >= static_cast<int>(kTopics.size())) topic = 0;
  u.topic = topic;
  const auto linesOf = [&a](int relative) {
    rg_RelativeLines r;
    r.relative = relative;
    for (size_t i = 0; i < a.relatives.size(); ++i) {
      if (RelativeIndex(a.relatives[i]) == relative) r.lines.push_back(static_cast<int>(i) + 1);
    }
    return r;
  };
  u.use = linesOf(kTopicRelative[static_cast<size_t>(topic)]);
  for (const auto& h : c.hidden) {
    if (RelativeIndex(h.relative) == u.use.relative) u.hidden.push_back(h.line);
  }
  if (u.use.lines.empty()) {
    // The phase the 用神 has in this palace.
    const int palacePhase = PhaseNumber(PhaseOfTrigram(TrigramNumber(a.primaryPalaceName)));
    int usePhase = 0;
    for (int q = 1; q <= 5; ++q) {
      if (RelativeOf(palacePhase, q) == u.use.relative) usePhase = q;
    }
    const std::u16string monthBranch =
        c.monthPillar.size() == 2 ? c.monthPillar.substr(1, 1) : std::u16string();
    const int phases[] = {PhaseNumber(PhaseOfBranch(monthBranch)),
                          PhaseNumber(PhaseOfBranch(a.dayBranch))};
    u.absent = 2;
    for (int k = 1; k >= 0; --k) {
      if (phases[k] != 0 && phases[k] == usePhase) u.absent = k;
    }
  }
  u.origin = linesOf(HelperRelative(u.use.relative, 0));
  u.taboo = linesOf(HelperRelative(u.use.relative, 1));
  u.enemy = linesOf(HelperRelative(u.use.relative, 2));
  return u;
}

std::vector<rg_ReadText> ReadTexts(unsigned movingMask, std::u16string_view primaryLines) {
  // 朱熹《易学启蒙·考变占》, by the number of moving lines: which hexagram,
  // which part, whose lines (the moving or the still ones) and which of
  // them is main.
  enum Lines : std::uint8_t { kNone, kMovingLines, kStillLines };
  struct Step {
    bool changed;
    rg_ReadText::Part part;
    Lines lines;
    int main;  // index among the lines, -1 for none
  };
  struct Rule {
    int steps;
    std::array<Step, 2> step;
  };
  static constexpr std::array<Rule, 7> kRules = {{
      {1, {{{false, rg_ReadText::kJudgment, kNone, -1}}}},
      {1, {{{false, rg_ReadText::kLine, kMovingLines, -1}}}},
      {1, {{{false, rg_ReadText::kLine, kMovingLines, 1}}}},
      {2,
       {{{false, rg_ReadText::kJudgment, kNone, -1}, {true, rg_ReadText::kJudgment, kNone, -1}}}},
      {1, {{{true, rg_ReadText::kLine, kStillLines, 0}}}},
      {1, {{{true, rg_ReadText::kLine, kStillLines, -1}}}},
      {1, {{{true, rg_ReadText::kJudgment, kNone, -1}}}},
  }};
  // All six moving in 乾 or 坤: their own 用九 / 用六.
  static constexpr std::u16string_view kWithExtra[] = {u"111111", u"000000"};
  movingMask &= 63U;
  int count = 0;
  for (unsigned m = movingMask; m != 0; m &= m - 1) ++count;
  std::vector<rg_ReadText> out;
  if (count == 6) {
    for (const auto lines : kWithExtra) {
      if (primaryLines == lines) return {{false, rg_ReadText::kExtra, 0, false}};
    }
  }
  const Rule& rule = kRules[static_cast<size_t>(count)];
  for (int s = 0; s < rule.steps; ++s) {
    const Step& step = rule.step[static_cast<size_t>(s)];
    if (step.lines == kNone) {
      out.push_back({step.changed, step.part, 0, false});
      continue;
    }
    int index = 0;
    for (int line = 1; line <= 6; ++line) {
      const bool moving = ((movingMask >> (line - 1)) & 1U) != 0;
      if (moving != (step.lines == kMovingLines)) continue;
      out.push_back({step.changed, step.part, line, index == step.main});
      ++index;
    }
  }
  return out;
}

std::array<std::u16string, 10> rg_ChartSheet::Headings() {
  return {u"六神", u"伏神", u"本卦", u"卦象", u"世应", u"动爻", u"变卦", u"卦象", u"世应", u"备注"};
}

namespace {

std::u16string Joined(std::initializer_list<std::u16string> parts, std::u16string_view sep) {
  std::u16string out;
  for (const auto& p : parts) {
    if (p.empty()) continue;
    if (!out.empty()) out += sep;
    out += p;
  }
  return out;
}

// The local date-time of an instant, to the minute.
std::u16string LocalMinuteText(std::int64_t unixMs, int biasMinutes) {
  const std::int64_t localMs = unixMs - static_cast<std::int64_t>(biasMinutes) * 60'000;
  const std::int64_t minutes =
      localMs >= 0 ? (localMs + 30'000) / 60'000 : -((-localMs + 30'000) / 60'000);
  const double date = static_cast<double>(minutes) / 1440.0 + 25569.0;
  return DateText(date);
}

// The lines above the table: header, time and solar term, pillars, month
// break and void branches, the day's stars.
std::vector<std::u16string> SheetHead(const rg_ChartModel& c, const rg_GuaReport& report,
                                      int biasMinutes) {
  const rg_GuaAnalysis& a = report.Analysis();
  std::vector<std::u16string> head;
  head.push_back(report.Header());
  std::u16string when = u"时间: " + DateText(a.castTime);
  if (!c.monthPillar.empty() && InDateRange(a.castTime)) {
    const std::int64_t instant = UnixMs(a.castTime, biasMinutes);
    const SolarTerm jie = JieAt(instant);
    const std::int64_t start = TermInstantNear(jie.longitude, instant - 15LL * 86'400'000);
    when += u"  节令: " + jie.name + u"(" + LocalMinuteText(start, biasMinutes) + u"起)";
  }
  head.push_back(when);
  head.push_back(Joined({c.monthPillar.empty() ? u"" : u"月建: " + c.monthPillar,
                         u"日辰: " + a.dayPillar, u"时辰: " + a.hourPillar},
                        u"  "));
  head.push_back(Joined({c.monthBreak.empty() ? u"" : u"月破: " + c.monthBreak,
                         u"旬空: " + c.voidBranches[0] + c.voidBranches[1]},
                        u"  "));
  head.push_back(u"神煞: 驿马-" + c.horse + u"  桃花-" + c.peach + u"  贵人-" + c.noble[0] +
                 c.noble[1] + u"  禄神-" + c.salary + u"  文昌-" + c.scholar);
  return head;
}

// Line i (0 at the bottom) of the table.
rg_ChartRow SheetRow(const rg_ChartModel& c, const rg_GuaAnalysis& a, size_t i,
                     const std::u16string& primaryLines, const std::u16string& changedLines) {
  rg_ChartRow row;
  row.line = static_cast<int>(i) + 1;
  row.spirit = At(a.spirits, i);
  for (const auto& h : c.hidden) {
    if (h.line == row.line) row.hidden = h.relative + h.stemBranch + h.phase;
  }
  row.primary = At(a.relatives, i) + At(a.stems, i) + At(a.branches, i) + At(a.phases, i);
  row.primaryLine = Char(primaryLines, i);
  row.primaryMark = static_cast<int>(i) == a.worldIndex      ? u"世"
                    : static_cast<int>(i) == a.responseIndex ? u"应"
                                                             : u"";
  const int mark = AtInt(a.moving, i);
  row.moving = mark == 0 ? u"" : mark == 1 ? u"○" : u"×";
  row.changed = At(a.changedRelatives, i) + At(a.changedStems, i) + At(a.changedBranches, i) +
                At(a.changedPhases, i);
  row.changedLine = Char(changedLines, i);
  row.changedMark = static_cast<int>(i) == a.changedWorldIndex      ? u"世"
                    : static_cast<int>(i) == a.changedResponseIndex ? u"应"
                                                                    : u"";
  const std::u16string branch = At(a.branches, i);
  std::vector<std::u16string> notes;
  if (!branch.empty() && branch == c.monthBreak) notes.push_back(u"月破");
  if (!branch.empty() && (branch == c.voidBranches[0] || branch == c.voidBranches[1]))
    notes.push_back(u"旬空");
  for (const auto& m : c.moving) {
    if (m.line != row.line) continue;
    if (!m.turn.empty()) notes.push_back(u"化" + m.turn);
    if (!m.back.empty()) notes.push_back(m.back);
  }
  for (const auto& n : notes) row.note += (row.note.empty() ? u"" : u" ") + n;
  return row;
}

}  // namespace

rg_ChartSheet MakeChartSheet(const rg_ChartModel& c, const rg_GuaReport& report, int biasMinutes) {
  rg_ChartSheet s;
  const rg_GuaAnalysis& a = report.Analysis();
  if (a.dayPillar.empty()) return s;

  s.head = SheetHead(c, report, biasMinutes);
  const auto title = [](std::u16string_view label, const std::u16string& name,
                        const std::u16string& palace, const std::u16string& clash) {
    std::u16string t = std::u16string(label) + name;
    if (!palace.empty()) t += u"(" + palace + u"宫)";
    if (!clash.empty()) t += u" " + clash;
    return t;
  };
  s.primaryTitle = title(u"本卦: ", a.primaryName, a.primaryPalaceName, c.clashPrimary);
  s.changedTitle = title(u"变卦: ", a.changedName, a.changedPalaceName, c.clashChanged);

  const std::u16string primaryLines =
      HexagramLines(TrigramNumber(a.primaryPalaceName), a.primaryRank);
  const std::u16string changedLines =
      HexagramLines(TrigramNumber(a.changedPalaceName), a.changedRank);
  for (size_t i = 0; i < 6; ++i) s.rows[5 - i] = SheetRow(c, a, i, primaryLines, changedLines);

  s.foot.push_back(u"互卦: " + c.nuclear + u"  错卦: " + c.opposite + u"  综卦: " + c.inverse);
  for (const auto& h : c.hidden) {
    s.foot.push_back(u"伏神: " + h.relative + h.stemBranch + h.phase + u"伏于" +
                     std::u16string(kLineLabels[h.line - 1]) + h.flying + u"下");
  }
  AddJudgement(s, c, a);
  return s;
}

namespace {

// Full-width characters and the ideographic space keep columns in line in
// the fonts chats use.
constexpr char16_t kWideSpace = u'\u3000';

std::u16string PadWide(std::u16string text, size_t width) {
  while (text.size() < width) text += kWideSpace;
  return text;
}

std::u16string Drawing(const std::u16string& value) {
  if (value == u"1") return u"▅▅▅▅▅";
  if (value == u"0") return u"▅▅　▅▅";
  return u"";
}

// Head, titles, the grid and the foot, the changed column as given.
std::u16string LayoutText(const rg_ChartSheet& s, const rg_ChartOptions* options) {
  std::u16string out;
  for (const auto& line : s.head) out += line + u"\n";
  out += u"\n" + s.primaryTitle + u"  →  " + s.changedTitle + u"\n";
  for (const auto& r : s.rows) {
    const std::u16string& changed = options != nullptr ? ChangedCell(r, *options) : r.changed;
    std::u16string line = PadWide(r.spirit, 2) + kWideSpace + PadWide(r.hidden, 5) + kWideSpace +
                          PadWide(r.primary, 5) + kWideSpace + PadWide(Drawing(r.primaryLine), 6) +
                          PadWide(r.primaryMark, 1) + PadWide(r.moving, 1) + kWideSpace +
                          PadWide(changed, 5) + kWideSpace + PadWide(Drawing(r.changedLine), 6) +
                          PadWide(r.changedMark, 1);
    if (!r.note.empty()) line += kWideSpace + r.note;
    // Trailing blanks are noise once pasted.
    while (!line.empty() && line.back() == kWideSpace) line.pop_back();
    out += line + u"\n";
  }
  out += u"\n";
  for (const auto& line : s.foot) out += line + u"\n";
  return out;
}

}  // namespace

std::u16string ChartText(const rg_ChartSheet& s) {
  if (s.head.empty()) return {};
  return LayoutText(s, nullptr);
}

std::u16string ChartText(const rg_ChartSheet& s, const rg_ChartOptions& options) {
  if (s.head.empty()) return {};
  std::u16string out = LayoutText(s, &options);
  out += u"\n【旺衰生克】变卦六亲" + std::u16string(options.byPrimary ? u"按本宫" : u"按变卦宫") +
         u"\n";
  const auto headings = rg_ChartSheet::JudgementHeadings();
  // Widths in full-width characters; the last cell runs on.
  static constexpr std::array<size_t, 9> kWidths = {2, 4, 2, 5, 5, 2, 5, 2, 0};
  const auto tableLine = [](const std::array<std::u16string, 9>& cells) {
    std::u16string line;
    for (size_t c = 0; c < cells.size(); ++c) {
      line += kWidths[c] == 0 ? cells[c] : PadWide(cells[c], kWidths[c]) + kWideSpace;
    }
    while (!line.empty() && line.back() == kWideSpace) line.pop_back();
    return line + u"\n";
  };
  out += tableLine(headings);
  for (const auto& r : s.rows) out += tableLine(JudgementCells(r, options));
  out += u"\n";
  for (const auto& line : s.whole) out += line + u"\n";
  for (const auto& line : s.useGod[static_cast<size_t>(options.topic)]) out += line + u"\n";
  out += u"\n【卦辞爻辞】" + s.readingRule + u"\n";
  for (const auto& c : s.canon) {
    // Plain text has no emphasis: the pointed texts carry a mark.
    const std::u16string mark = c.main ? u"◎【主】" : c.pointed ? u"◎" : u"";
    out += (c.heading ? std::u16string() : mark) + c.text + u"\n";
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
