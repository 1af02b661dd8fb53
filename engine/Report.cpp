#include "engine/Report.h"

#include <string>

#include "engine/Symbols.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

// Missing entries read as empty text or 0.
template <typename T>
const T& At(const std::vector<T>& list, int i) {
  static const T kNone{};
  return i >= 0 && static_cast<size_t>(i) < list.size() ? list[static_cast<size_t>(i)] : kNone;
}

std::u16string FirstChar(const std::u16string& s) { return s.substr(0, 1); }
std::u16string SecondChar(const std::u16string& s) { return s.size() > 1 ? s.substr(1, 1) : u""; }

std::u16string WorldMark(const rg_GuaModel& m, int line) {
  if (line == m.world) return u"世";
  if (line == m.response) return u"应";
  return {};
}

using GridRow = rg_GuaReport::Grid::value_type;

// Names, palaces, ranks and world/response places of both hexagrams.
void RecordHexagrams(rg_GuaAnalysis& a, const rg_GuaModel& p, const rg_GuaModel& c) {
  a.primaryName = FullHexagramName(p.palace, p.rank, p.soulKind);
  a.changedName = FullHexagramName(c.palace, c.rank, c.soulKind);
  a.primaryPalaceName = TrigramByNumber(p.palace);
  a.changedPalaceName = TrigramByNumber(c.palace);
  a.primaryRank = p.rank;
  a.changedRank = c.rank;
  a.worldIndex = p.world - 1;
  a.responseIndex = p.response - 1;
  a.changedWorldIndex = c.world - 1;
  a.changedResponseIndex = c.response - 1;
}

// Line k (1 at the bottom) of the primary hexagram: its cells of the grid
// and its entries in the analysis.
void FillPrimaryLine(GridRow& row, rg_GuaAnalysis& a, const rg_GuaModel& p, int k) {
  const int i = k - 1;
  const std::u16string najia = At(p.najia, i);
  row[0] = At(p.spirits, i);
  row[1] = At(p.relatives, i);
  row[2] = najia;
  row[3] = At(p.phases, i);
  a.spirits.push_back(row[0]);
  a.relatives.push_back(row[1]);
  a.stems.push_back(FirstChar(najia));
  a.branches.push_back(SecondChar(najia));
  a.stemHeTu.push_back(HeTuOfStem(a.stems.back()));
  a.branchHeTu.push_back(HeTuOfBranch(a.branches.back()));
  a.phases.push_back(row[3]);
  row[rg_GuaReport::kPrimaryLineColumn] = At(p.lines, i);
  row[5] = WorldMark(p, k);
}

// A number cast moves the one line the model names; hand-cast lines carry
// their own marks.
void FillMovingMark(GridRow& row, rg_GuaAnalysis& a, const rg_GuaModel& p, int k,
                    const std::vector<int>* dong) {
  const int i = k - 1;
  int mark = 0;
  if (dong == nullptr) {
    if (k == p.moving) mark = At(p.lines, i) == u"1" ? 1 : -1;
    a.moving.push_back(mark);
  } else {
    mark = At(*dong, i);
  }
  row[6] = mark == 1 ? u"○" : mark != 0 ? u"×" : u"";
}

void FillChangedLine(GridRow& row, rg_GuaAnalysis& a, const rg_GuaModel& c, int k) {
  const int i = k - 1;
  const std::u16string changedNajia = At(c.najia, i);
  row[7] = At(c.relatives, i);
  row[8] = changedNajia;
  row[9] = At(c.phases, i);
  row[rg_GuaReport::kChangedLineColumn] = At(c.lines, i);
  a.changedRelatives.push_back(row[7]);
  a.changedStems.push_back(FirstChar(changedNajia));
  a.changedBranches.push_back(SecondChar(changedNajia));
  a.changedStemHeTu.push_back(HeTuOfStem(a.changedStems.back()));
  a.changedBranchHeTu.push_back(HeTuOfBranch(a.changedBranches.back()));
  a.changedPhases.push_back(row[9]);
  row[11] = WorldMark(c, k);
}

// The reading text, put together in the order a reader meets it: the cast,
// the hexagram's base numbers, then the numbers of each line.
class ReadingText {
 public:
  explicit ReadingText(const rg_GuaAnalysis& a) : a_(a) { t_.reserve(1024); }

  // Who cast when, and the two hexagrams.
  void WriteCastLines() {
    Put(u"卦解:");
    Put(u"            在");
    Put(DateText(a_.castTime));
    Put(u"日主:");
    Put(a_.dayPillar);
    Put(u",时辰:");
    Put(a_.hourPillar);
    Put(u",属");
    Put(a_.zodiacBranch);
    Put(u"的卦主测得:");
    End();
    Put(u"           (");
    Put(a_.primaryPalaceName);
    Put(u"宫第");
    Num(a_.primaryRank);
    Put(u"卦)");
    Put(a_.primaryName);
    Put(u"变卦为:(");
    Put(a_.changedPalaceName);
    Put(u"宫第");
    Num(a_.changedRank);
    Put(u"卦)");
    Put(a_.changedName);
    End();
    Put(u"----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------");
    End();
    End();
  }

  // 卦基数: day, person and hour.
  void WriteBaseNumbers() {
    Put(u"卦基数:");
    End();
    Put(u"日主:");
    Put(a_.dayStem);
    Put(u"->");
    Num(a_.dayStemHeTu);
    Put(u",");
    Put(a_.dayBranch);
    Put(u"->");
    Num(a_.dayBranchHeTu);
    End();
    Put(u"卦主:");
    Put(a_.zodiacBranch);
    Put(u"->");
    Num(a_.zodiacHeTu);
    End();
    Put(u"时辰:");
    Put(a_.hourStem);
    Put(u"->");
    Num(a_.hourStemHeTu);
    Put(u",");
    Put(a_.hourBranch);
    Put(u"->");
    Num(a_.hourBranchHeTu);
    End();
    End();
  }

  // 爻基数: the world line, the response line, then the other four from the
  // bottom.
  void WriteLineNumbers() {
    Put(u"爻基数:");
    End();
    const int w = a_.worldIndex;
    const int r = a_.responseIndex;
    PrimaryPart(w, u"持世,");
    ChangedPart(w);
    End();
    // The response sentence's changed half is read at the changed hexagram's
    // own response position.
    PrimaryPart(r, u"应爻,");
    ChangedPart(a_.changedResponseIndex);
    End();
    End();
    static constexpr std::u16string_view kLabels[] = {u"初爻:", u"二爻:", u"三爻:",
                                                      u"四爻:", u"五爻:", u"六爻:"};
    for (int i = 0; i < 6; ++i) {
      if (i == w || i == r) continue;
      Put(kLabels[i]);
      PrimaryPart(i, u",");
      ChangedPart(i);
      if (i == a_.changedWorldIndex) {
        Put(u"化世");
      } else if (i == a_.changedResponseIndex) {
        Put(u"化应");
      }
      End();
    }
  }

  std::u16string Take() { return std::move(t_); }

 private:
  void Put(std::u16string_view s) { t_.append(s); }
  void Num(long long v) { t_ += DecimalText(v); }
  void End() { t_ += u"\r\n"; }

  // "甲->3,子->1" for line i of the primary or the changed hexagram.
  void Pair(int i, bool changed) {
    Put(At(changed ? a_.changedStems : a_.stems, i));
    Put(u"->");
    Num(At(changed ? a_.changedStemHeTu : a_.stemHeTu, i));
    Put(u",");
    Put(At(changed ? a_.changedBranches : a_.branches, i));
    Put(u"->");
    Num(At(changed ? a_.changedBranchHeTu : a_.branchHeTu, i));
  }

  // "青龙,子孙,五行属水" + middle + the stem and branch of line i.
  void PrimaryPart(int i, std::u16string_view middle) {
    Put(At(a_.spirits, i));
    Put(u",");
    Put(At(a_.relatives, i));
    Put(u",五行属");
    Put(At(a_.phases, i));
    Put(middle);
    Pair(i, false);
    Put(u";");
    Put(At(a_.moving, i) != 0 ? u"发动而变>" : u"不动而变>");
  }

  void ChangedPart(int i) {
    Put(At(a_.changedRelatives, i));
    Put(u",五行属");
    Put(At(a_.changedPhases, i));
    Put(u",");
    Pair(i, true);
  }

  const rg_GuaAnalysis& a_;
  std::u16string t_;
};

}  // namespace

std::vector<std::u16string> rg_GuaReport::ColumnHeadings() {
  return SplitText(u"六神,六亲,干支,五行,卦象,世应,动爻,六亲,干支,五行,卦象,世应", u',');
}

std::u16string HexagramTitle(std::u16string_view label, const rg_GuaModel& m) {
  std::u16string t(label);
  t += u" " + TrigramByNumber(m.palace) + u"宫 (" + DecimalText(m.rank) + u") ";
  t += HexagramName((m.palace - 1) * 8 + m.rank) + u" " + SoulKindText(m.soulKind);
  return t;
}

void rg_GuaReport::SetHeader(CastMethod method, std::u16string_view numberText,
                             std::u16string_view zodiacBranch, std::u16string_view dayPillar,
                             std::u16string_view hourPillar) {
  std::u16string name;
  switch (method) {
    case CastMethod::Number: name = u"数字x起卦"; break;
    case CastMethod::HandLines: name = u"自己装卦"; break;
    case CastMethod::Time: name = u"超时空毫秒起卦"; break;
    default: break;
  }
  const std::u16string number =
      method == CastMethod::Number ? std::u16string(numberText) : std::u16string();
  std::u16string expanded;
  for (char16_t c : name) {
    if (c == u'x') {
      expanded += number;
    } else {
      expanded.push_back(c);
    }
  }
  header_ = u"以" + expanded + u",卦主生肖:" + std::u16string(zodiacBranch) + u",日主:" +
            std::u16string(dayPillar) + u",时辰:" + std::u16string(hourPillar);
}

void rg_GuaReport::ReportNumber(const rg_GuaModel& primary, const rg_GuaModel& changed) {
  Report(primary, changed, nullptr);
}

void rg_GuaReport::ReportHand(const rg_GuaModel& primary, const rg_GuaModel& changed,
                              const std::vector<int>& dong) {
  Report(primary, changed, &dong);
}

void rg_GuaReport::Report(const rg_GuaModel& p, const rg_GuaModel& c,
                          const std::vector<int>* dong) {
  rg_GuaAnalysis& a = analysis_;
  primaryTitle_ = HexagramTitle(std::u16string(tables::kPrimaryChanged.substr(0, 2)) + u":", p);
  changedTitle_ = HexagramTitle(tables::kPrimaryChanged.substr(2, 2), c);
  RecordHexagrams(a, p, c);
  for (int k = 1; k <= 6; ++k) {
    auto& row = cells_[static_cast<size_t>(6 - k)];
    FillPrimaryLine(row, a, p, k);
    FillMovingMark(row, a, p, k, dong);
    FillChangedLine(row, a, c, k);
  }
  if (dong != nullptr) a.moving = *dong;

  WriteReading();
  if (ready_) ready_(analysis_);
}

void rg_GuaReport::WriteReading() {
  ReadingText t(analysis_);
  t.WriteCastLines();
  t.WriteBaseNumbers();
  t.WriteLineNumbers();
  reading_ = t.Take();
}

}  // namespace rg_com_ptl_xyh
