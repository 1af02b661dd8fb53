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

void rg_GuaReport::SetHeader(int method, std::u16string_view numberText,
                             std::u16string_view zodiacBranch, std::u16string_view dayPillar,
                             std::u16string_view hourPillar) {
  std::u16string name;
  switch (method) {
    case 1: name = u"数字x起卦"; break;
    case 2: name = u"自己装卦"; break;
    case 3: name = u"超时空毫秒起卦"; break;
    default: break;
  }
  const std::u16string number = method == 1 ? std::u16string(numberText) : std::u16string();
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

  for (int k = 1; k <= 6; ++k) {
    const int i = k - 1;
    auto& row = cells_[static_cast<size_t>(6 - k)];
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

    row[kPrimaryLineColumn] = At(p.lines, i);
    row[kChangedLineColumn] = At(c.lines, i);

    int mark = 0;
    if (dong == nullptr) {
      if (k == p.moving) mark = At(p.lines, i) == u"1" ? 1 : -1;
      a.moving.push_back(mark);
    } else {
      mark = At(*dong, i);
    }
    row[6] = mark == 1 ? u"○" : mark != 0 ? u"×" : u"";

    row[5] = WorldMark(p, k);
    const std::u16string changedNajia = At(c.najia, i);
    row[7] = At(c.relatives, i);
    row[8] = changedNajia;
    row[9] = At(c.phases, i);
    a.changedRelatives.push_back(row[7]);
    a.changedStems.push_back(FirstChar(changedNajia));
    a.changedBranches.push_back(SecondChar(changedNajia));
    a.changedStemHeTu.push_back(HeTuOfStem(a.changedStems.back()));
    a.changedBranchHeTu.push_back(HeTuOfBranch(a.changedBranches.back()));
    a.changedPhases.push_back(row[9]);
    row[11] = WorldMark(c, k);
  }
  if (dong != nullptr) a.moving = *dong;

  WriteReading();
  if (ready_) ready_(analysis_);
}

void rg_GuaReport::WriteReading() {
  const rg_GuaAnalysis& a = analysis_;
  std::u16string t;
  t.reserve(1024);
  const auto put = [&t](std::u16string_view s) { t.append(s); };
  const auto num = [&t](long long v) { t += DecimalText(v); };
  const auto end = [&t] { t += u"\r\n"; };
  // "甲->3,子->1" for line i of the primary or the changed hexagram.
  const auto pair = [&](int i, bool changed) {
    put(At(changed ? a.changedStems : a.stems, i));
    put(u"->");
    num(At(changed ? a.changedStemHeTu : a.stemHeTu, i));
    put(u",");
    put(At(changed ? a.changedBranches : a.branches, i));
    put(u"->");
    num(At(changed ? a.changedBranchHeTu : a.branchHeTu, i));
  };
  // "青龙,子孙,五行属水" + middle + the stem and branch of line i.
  const auto primaryPart = [&](int i, std::u16string_view middle) {
    put(At(a.spirits, i));
    put(u",");
    put(At(a.relatives, i));
    put(u",五行属");
    put(At(a.phases, i));
    put(middle);
    pair(i, false);
    put(u";");
    put(At(a.moving, i) != 0 ? u"发动而变>" : u"不动而变>");
  };
  const auto changedPart = [&](int i) {
    put(At(a.changedRelatives, i));
    put(u",五行属");
    put(At(a.changedPhases, i));
    put(u",");
    pair(i, true);
  };

  put(u"卦解:");
  put(u"            在");
  put(DateText(a.castTime));
  put(u"日主:");
  put(a.dayPillar);
  put(u",时辰:");
  put(a.hourPillar);
  put(u",属");
  put(a.zodiacBranch);
  put(u"的卦主测得:");
  end();
  put(u"           (");
  put(a.primaryPalaceName);
  put(u"宫第");
  num(a.primaryRank);
  put(u"卦)");
  put(a.primaryName);
  put(u"变卦为:(");
  put(a.changedPalaceName);
  put(u"宫第");
  num(a.changedRank);
  put(u"卦)");
  put(a.changedName);
  end();
  put(u"----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------");
  end();
  end();
  put(u"卦基数:");
  end();
  put(u"日主:");
  put(a.dayStem);
  put(u"->");
  num(a.dayStemHeTu);
  put(u",");
  put(a.dayBranch);
  put(u"->");
  num(a.dayBranchHeTu);
  end();
  put(u"卦主:");
  put(a.zodiacBranch);
  put(u"->");
  num(a.zodiacHeTu);
  end();
  put(u"时辰:");
  put(a.hourStem);
  put(u"->");
  num(a.hourStemHeTu);
  put(u",");
  put(a.hourBranch);
  put(u"->");
  num(a.hourBranchHeTu);
  end();
  end();
  put(u"爻基数:");
  end();

  const int w = a.worldIndex;
  const int r = a.responseIndex;
  primaryPart(w, u"持世,");
  changedPart(w);
  end();
  // The response sentence's changed half is read at the changed hexagram's
  // own response position.
  primaryPart(r, u"应爻,");
  changedPart(a.changedResponseIndex);
  end();
  end();
  static constexpr std::u16string_view kLabels[] = {u"初爻:", u"二爻:", u"三爻:",
                                                    u"四爻:", u"五爻:", u"六爻:"};
  for (int i = 0; i < 6; ++i) {
    if (i == w || i == r) continue;
    put(kLabels[i]);
    primaryPart(i, u",");
    changedPart(i);
    if (i == a.changedWorldIndex) {
      put(u"化世");
    } else if (i == a.changedResponseIndex) {
      put(u"化应");
    }
    end();
  }
  reading_ = std::move(t);
}

}  // namespace rg_com_ptl_xyh
