#include "cli/ChartJson.h"

#include "engine/Canon.h"
#include "engine/Symbols.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

Json::Value U8(std::u16string_view s) { return Json::Value(ToUtf8(s)); }

template <size_t N>
Json::Value Names(unsigned mask, const std::array<std::u16string_view, N>& names) {
  Json::Value list(Json::arrayValue);
  for (size_t i = 0; i < N; ++i) {
    if ((mask & (1U << i)) != 0) list.append(U8(names[i]));
  }
  return list;
}

Json::Value Ints(const std::vector<int>& values) {
  Json::Value list(Json::arrayValue);
  for (const int v : values) list.append(v);
  return list;
}

Json::Value LineJson(const rg_ChartLine& l) {
  using namespace judgement;
  Json::Value e(Json::objectValue);
  e["line"] = l.line;
  e["branch"] = U8(l.branch);
  e["phase"] = U8(l.phase);
  e["relative"] = U8(l.relative);
  e["strength"] =
      l.strength < 0 ? Json::Value("") : U8(kStrengthByRelation[static_cast<size_t>(l.strength)]);
  e["month"] = Names(l.month, kMonthTests);
  e["day"] = Names(l.day, kDayTests);
  e["stage"] = l.stage < 0 ? Json::Value("") : U8(kStages[static_cast<size_t>(l.stage)]);
  e["void"] = l.isVoid;
  e["moving"] = l.moving;
  e["dark"] = l.dark;
  e["dayBreak"] = l.dayBreak;
  if (l.changes) {
    Json::Value c(Json::objectValue);
    c["branch"] = U8(l.change.branch);
    c["phase"] = U8(l.change.phase);
    c["relative"] = U8(l.change.relative);
    c["relativeByPrimary"] = U8(l.change.relativeByPrimary);
    c["relations"] = Names(l.change.relations, kChangeRelations);
    e["change"] = c;
  } else {
    e["change"] = Json::Value(Json::nullValue);
  }
  return e;
}

Json::Value InnerOuter(const rg_InnerOuter& v) {
  Json::Value o(Json::objectValue);
  o["inner"] = v.inner;
  o["outer"] = v.outer;
  return o;
}

Json::Value RelativeLinesJson(const rg_RelativeLines& r) {
  Json::Value o(Json::objectValue);
  o["relative"] = U8(RelativeName(r.relative));
  o["lines"] = Ints(r.lines);
  return o;
}

Json::Value UseGodJson(const rg_UseGod& u) {
  using namespace judgement;
  Json::Value o(Json::objectValue);
  o["topic"] = U8(kTopics[static_cast<size_t>(u.topic)]);
  o["relative"] = U8(RelativeName(u.use.relative));
  o["lines"] = Ints(u.use.lines);
  o["hidden"] = Ints(u.hidden);
  o["absent"] =
      u.absent < 0 ? Json::Value(Json::nullValue) : U8(kAbsent[static_cast<size_t>(u.absent)]);
  o["origin"] = RelativeLinesJson(u.origin);
  o["taboo"] = RelativeLinesJson(u.taboo);
  o["enemy"] = RelativeLinesJson(u.enemy);
  return o;
}

Json::Value CanonJson(const rg_CanonText* t) {
  if (t == nullptr) return Json::Value(Json::nullValue);
  Json::Value o(Json::objectValue);
  o["name"] = U8(t->name);
  o["judgment"] = U8(t->judgment);
  Json::Value lines(Json::arrayValue);
  for (const auto& line : t->lineTexts) lines.append(U8(line));
  o["lines"] = lines;
  o["extra"] = U8(t->extra);
  return o;
}

Json::Value TextsJson(const rg_ChartTexts& t) {
  // Without the canon there is nothing to point to.
  if (t.primary == nullptr) return Json::Value(Json::nullValue);
  static constexpr const char* kParts[] = {"judgment", "line", "extra"};
  Json::Value o(Json::objectValue);
  o["primary"] = CanonJson(t.primary);
  o["changed"] = CanonJson(t.changed);
  Json::Value read(Json::arrayValue);
  for (const auto& r : t.read) {
    Json::Value e(Json::objectValue);
    e["hexagram"] = r.changed ? "changed" : "primary";
    e["part"] = kParts[r.part];
    e["line"] = r.line == 0 ? Json::Value(Json::nullValue) : Json::Value(r.line);
    e["main"] = r.main;
    read.append(e);
  }
  o["read"] = read;
  o["rule"] = U8(kReadingRule);
  return o;
}

}  // namespace

Json::Value ChartJson(const rg_ChartModel& c) {
  const auto u8 = [](const std::u16string& s) { return Json::Value(ToUtf8(s)); };
  const auto pair = [&u8](const std::array<std::u16string, 2>& p) {
    Json::Value list(Json::arrayValue);
    // An empty chart (no cast) has no pair to list.
    if (!p[0].empty()) {
      list.append(u8(p[0]));
      list.append(u8(p[1]));
    }
    return list;
  };
  Json::Value out(Json::objectValue);
  out["monthPillar"] = u8(c.monthPillar);
  out["monthBreak"] = u8(c.monthBreak);
  out["void"] = pair(c.voidBranches);
  Json::Value clash(Json::objectValue);
  clash["primary"] = u8(c.clashPrimary);
  clash["changed"] = u8(c.clashChanged);
  out["clash"] = clash;
  Json::Value hidden(Json::arrayValue);
  for (const auto& h : c.hidden) {
    Json::Value e(Json::objectValue);
    e["line"] = h.line;
    e["relative"] = u8(h.relative);
    e["stemBranch"] = u8(h.stemBranch);
    e["phase"] = u8(h.phase);
    e["flying"] = u8(h.flying);
    hidden.append(e);
  }
  out["hidden"] = hidden;
  out["nuclear"] = u8(c.nuclear);
  out["opposite"] = u8(c.opposite);
  out["inverse"] = u8(c.inverse);
  Json::Value moving(Json::arrayValue);
  for (const auto& m : c.moving) {
    Json::Value e(Json::objectValue);
    e["line"] = m.line;
    e["turn"] = u8(m.turn);
    e["back"] = u8(m.back);
    moving.append(e);
  }
  out["moving"] = moving;
  Json::Value stars(Json::objectValue);
  stars["驿马"] = u8(c.horse);
  stars["桃花"] = u8(c.peach);
  stars["贵人"] = pair(c.noble);
  stars["禄神"] = u8(c.salary);
  stars["文昌"] = u8(c.scholar);
  out["stars"] = stars;

  Json::Value lines(Json::arrayValue);
  for (const auto& l : c.lines) lines.append(LineJson(l));
  out["lines"] = lines;
  Json::Value byPrimary(Json::arrayValue);
  if (!c.lines.empty()) {
    for (const auto& r : c.changedByPrimary) byPrimary.append(u8(r));
  }
  out["changedByPrimary"] = byPrimary;
  out["fanyin"] = InnerOuter(c.fanyin);
  out["fuyin"] = InnerOuter(c.fuyin);
  Json::Value body(Json::objectValue);
  body["branch"] = U8(BranchByNumber(c.bodyBranch));
  body["lines"] = Ints(c.bodyLines);
  out["body"] = body;
  out["useGod"] = c.lines.empty() ? Json::Value(Json::nullValue) : UseGodJson(c.useGod);
  out["texts"] = TextsJson(c.texts);
  return out;
}

}  // namespace xyh_cli
