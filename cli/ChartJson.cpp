#include "cli/ChartJson.h"

#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

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
  return out;
}

}  // namespace xyh_cli
