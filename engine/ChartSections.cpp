// The judgement parts of the chart as the window and the copied text show
// them: each line's strength and relations, the whole hexagram's marks, the
// 用神 of every question and the 卦辞爻辞.
#include "engine/Canon.h"
#include "engine/Chart.h"
#include "engine/Symbols.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

using namespace judgement;

namespace {

constexpr std::u16string_view kLabels[] = {u"初爻", u"二爻", u"三爻", u"四爻", u"五爻", u"六爻"};
constexpr std::array<std::u16string_view, 4> kRoles = {u"用神", u"原神", u"忌神", u"仇神"};

std::u16string Label(int line) {
  return line >= 1 && line <= 6 ? std::u16string(kLabels[line - 1]) : std::u16string();
}

std::u16string LinesText(const std::vector<int>& lines) {
  std::u16string out;
  for (const int line : lines) out += (out.empty() ? u"" : u"、") + Label(line);
  return out;
}

// Where a relative sits, or that it is not on a line.
std::u16string Placed(const rg_RelativeLines& r) {
  const std::u16string name = RelativeName(r.relative);
  return r.lines.empty() ? name + u"不上卦" : name + u" " + LinesText(r.lines);
}

std::vector<std::u16string> UseGodLines(const rg_UseGod& u, const rg_ChartModel& c) {
  std::vector<std::u16string> out;
  const std::u16string topic(kTopics[static_cast<size_t>(u.topic)]);
  std::u16string use = u"用神(" + topic + u"): ";
  if (u.absent < 0) {
    use += Placed(u.use);
  } else {
    use += RelativeName(u.use.relative) + u"不上卦，";
    if (u.absent == 2) {
      use += u"取伏神";
      for (const auto& h : c.hidden) {
        if (RelativeIndex(h.relative) == u.use.relative) {
          use += u" " + Label(h.line) + h.relative + h.stemBranch + h.phase + u"(伏于" + h.flying +
                 u"下)";
        }
      }
    } else {
      use += u"以" + std::u16string(kAbsent[static_cast<size_t>(u.absent)]) + u"为用神";
    }
  }
  out.push_back(use);
  out.push_back(u"原神: " + Placed(u.origin) + u"  忌神: " + Placed(u.taboo) + u"  仇神: " +
                Placed(u.enemy));
  return out;
}

std::vector<std::u16string> WholeLines(const rg_ChartModel& c) {
  std::vector<std::u16string> out;
  const auto halves = [](const rg_InnerOuter& v) {
    return std::u16string(v.inner ? u"内卦" : u"") + (v.inner && v.outer ? u"、" : u"") +
           (v.outer ? u"外卦" : u"");
  };
  std::u16string marks;
  if (c.fanyin.inner || c.fanyin.outer) marks += u"反吟(" + halves(c.fanyin) + u")  ";
  if (c.fuyin.inner || c.fuyin.outer) marks += u"伏吟(" + halves(c.fuyin) + u")  ";
  if (c.clashPrimary == u"六冲" && c.clashChanged == u"六合") marks += u"六冲变六合  ";
  if (c.clashPrimary == u"六合" && c.clashChanged == u"六冲") marks += u"六合变六冲  ";
  std::u16string body = u"卦身: " + BranchByNumber(c.bodyBranch);
  body += c.bodyLines.empty() ? u"(不上卦)" : u"(" + LinesText(c.bodyLines) + u")";
  out.push_back(marks + body);
  return out;
}

void AddCanon(rg_ChartSheet& s, const rg_ChartTexts& t) {
  const rg_Canon& canon = ProgramCanon();
  if (!canon.Ok() || t.primary == nullptr) {
    s.canon.push_back({u"卦辞爻辞未能读取: " + FromUtf8(canon.error), false, false, false});
    return;
  }
  const auto add = [&s, &t](const rg_CanonText& text, bool changed) {
    s.canon.push_back(
        {std::u16string(changed ? u"变卦 " : u"本卦 ") + text.name, true, false, false});
    const auto find = [&t, changed](rg_ReadText::Part part, int line) -> const rg_ReadText* {
      for (const auto& r : t.read) {
        if (r.changed == changed && r.part == part && r.line == line) return &r;
      }
      return nullptr;
    };
    const auto push = [&s](const std::u16string& line, const rg_ReadText* read) {
      s.canon.push_back({line, false, read != nullptr, read != nullptr && read->main});
    };
    push(u"卦辞：" + text.judgment, find(rg_ReadText::kJudgment, 0));
    for (int line = 1; line <= 6; ++line) {
      push(text.lineTexts[static_cast<size_t>(line - 1)], find(rg_ReadText::kLine, line));
    }
    if (!text.extra.empty()) push(text.extra, find(rg_ReadText::kExtra, 0));
  };
  add(*t.primary, false);
  if (t.changed != nullptr) add(*t.changed, true);
}

}  // namespace

std::array<std::u16string, 9> rg_ChartSheet::JudgementHeadings() {
  return {u"爻位", u"本爻", u"旺衰", u"月建", u"日辰", u"长生", u"标记", u"用神", u"变化"};
}

std::u16string ChangedCell(const rg_ChartRow& row, const rg_ChartOptions& options) {
  return options.byPrimary ? row.changedByPrimary : row.changed;
}

std::array<std::u16string, 9> JudgementCells(const rg_ChartRow& row,
                                             const rg_ChartOptions& options) {
  std::u16string change;
  if (!row.change.empty()) {
    change =
        u"化" + (options.byPrimary ? row.changeRelativeByPrimary : row.changeRelative) + row.change;
    if (!row.relations.empty()) change += u" " + row.relations;
  }
  const size_t topic = static_cast<size_t>(options.topic) < row.roles.size()
                           ? static_cast<size_t>(options.topic)
                           : 0;
  return {Label(row.line),
          row.primary.size() >= 4 ? row.primary.substr(0, 2) + row.primary.substr(3) : row.primary,
          row.strength,
          row.month,
          row.day,
          row.stage,
          row.marks,
          row.roles[topic],
          change};
}

void AddJudgement(rg_ChartSheet& s, const rg_ChartModel& c, const rg_GuaAnalysis& a) {
  if (c.lines.size() != 6) return;
  std::array<rg_UseGod, 5> gods;
  for (size_t t = 0; t < gods.size(); ++t) {
    gods[t] =
        t == static_cast<size_t>(c.useGod.topic) ? c.useGod : UseGodOf(c, a, static_cast<int>(t));
    s.useGod[t] = UseGodLines(gods[t], c);
  }
  for (rg_ChartRow& row : s.rows) {
    if (row.line < 1 || row.line > 6) continue;
    const size_t i = static_cast<size_t>(row.line - 1);
    const rg_ChartLine& l = c.lines[i];
    const std::u16string stemBranch =
        (i < a.changedStems.size() ? a.changedStems[i] : u"") + l.change.branch + l.change.phase;
    row.changedByPrimary = c.changedByPrimary[i] +
                           (i < a.changedStems.size() ? a.changedStems[i] : u"") +
                           (i < a.changedBranches.size() ? a.changedBranches[i] : u"") +
                           (i < a.changedPhases.size() ? a.changedPhases[i] : u"");
    if (l.strength >= 0) row.strength = kStrengthByRelation[static_cast<size_t>(l.strength)];
    row.month = NamesOf(l.month, kMonthTests, u" ");
    row.day = NamesOf(l.day, kDayTests, u" ");
    if (l.stage >= 0) row.stage = kStages[static_cast<size_t>(l.stage)];
    std::u16string marks;
    for (const auto& [on, name] : {std::pair{l.isVoid, u"旬空"}, std::pair{l.dark, u"暗动"},
                                   std::pair{l.dayBreak, u"日破"}}) {
      if (on) marks += (marks.empty() ? u"" : u" ") + std::u16string(name);
    }
    row.marks = marks;
    if (l.changes) {
      row.changeRelative = l.change.relative;
      row.changeRelativeByPrimary = l.change.relativeByPrimary;
      row.change = stemBranch;
      row.relations = NamesOf(l.change.relations, kChangeRelations, u" ");
    }
    for (size_t t = 0; t < gods.size(); ++t) {
      const rg_UseGod& g = gods[t];
      const std::vector<int>* lists[] = {&g.use.lines, &g.origin.lines, &g.taboo.lines,
                                         &g.enemy.lines};
      for (size_t r = 0; r < kRoles.size(); ++r) {
        for (const int line : *lists[r]) {
          if (line == row.line) row.roles[t] = kRoles[r];
        }
      }
    }
  }
  s.whole = WholeLines(c);
  s.readingRule = u"占法: " + std::u16string(kReadingRule);
  AddCanon(s, c.texts);
}

}  // namespace rg_com_ptl_xyh
