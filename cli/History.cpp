#include "cli/History.h"

#include <json/json.h>

#include <iostream>

#include "cli/Args.h"
#include "cli/Cast.h"
#include "cli/Common.h"
#include "cli/HistoryTransfer.h"
#include "cli/Terminal.h"
#include "history/EasyDb.h"
#include "history/SavedCastCheck.h"
#include "platform/Clock.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

Json::Value RecordJson(const rg_YsModel& r) {
  Json::Value v(Json::objectValue);
  v["_id"] = static_cast<Json::Int64>(r._id);
  v["ysname"] = ToUtf8(r.ysname);
  v["ysindex"] = r.ysindex;
  v["ysnumber"] = ToUtf8(r.ysnumber);
  v["ysday"] = r.ysday;
  v["castTime"] = FormatLocalTime(r.ysday);
  v["gzsxid"] = r.gzsxid;
  v["upstr"] = ToUtf8(r.upstr);
  v["downstr"] = ToUtf8(r.downstr);
  v["dong"] = ToUtf8(r.DongText());
  v["rot"] = r.rot;
  v["uinfo"] = ToUtf8(r.uinfo);
  return v;
}

int ListCasts(rg_EasyDb& store, bool json) {
  // What the file gives is printed even when it breaks off, but the
  // exit code and standard error say that it did.
  const auto entries = store.List();
  const bool complete = store.LastStatus() == rg_StoreStatus::Ok;
  if (json) {
    Json::Value list(Json::arrayValue);
    for (const auto& e : entries) {
      Json::Value item(Json::objectValue);
      item["_id"] = static_cast<Json::Int64>(e.id);
      item["ysname"] = ToUtf8(e.name);
      list.append(item);
    }
    std::cout << TerminalJsonText(list) << "\n";
  } else {
    for (const auto& e : entries) std::cout << e.id << "\t" << TerminalSafe(ToUtf8(e.name)) << "\n";
  }
  return complete ? 0 : StoreFailure("the history could not be read to its end: ");
}

int ShowCast(rg_EasyDb& store, std::int64_t id, bool json) {
  const auto loaded = store.Load(id);
  if (!loaded) return StoreFailure("");
  if (!*loaded) {
    std::cerr << "xyh-cli: no saved cast has the id " << id << "\n";
    return 1;
  }
  const rg_YsModel& r = **loaded;
  if (!r.damage.empty()) {
    std::cerr << "xyh-cli: saved cast " << id << ": " << ToUtf8(kDamagedCastText) << " ("
              << TerminalSafe(r.damage) << ")\n";
    return 1;
  }
  Json::Value v = RecordJson(r);
  if (json) {
    // The reading and numbers as the window's review shows them.
    std::u16string refusal;
    v["cast"] = ReviewJson(r, Clock::System(), refusal);
    if (!refusal.empty()) v["castRefusal"] = ToUtf8(refusal);
  }
  std::cout << TerminalJsonText(v) << "\n";
  return 0;
}

int DeleteCast(rg_EasyDb& store, std::int64_t id) {
  if (!store.Delete(id)) {
    std::cerr << "删除失败\n";
    return StoreFailure("");
  }
  std::cout << "deleted " << id << "\n";
  return 0;
}

}  // namespace

int RunHistory(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("history"));
  const auto& words = args.Positional();
  if (words.empty())
    throw UsageError{"history takes list, show ID, delete ID, export or import FILE"};
  const std::string& action = words[0];
  if (action == "export" || action == "import") return RunHistoryTransfer(args);
  if (args.Has("format") || args.Has("output"))
    throw UsageError{"--format and --output belong to history export"};
  const size_t expected = action == "list" ? 1 : 2;
  if ((action != "list" && action != "show" && action != "delete") || words.size() != expected) {
    throw UsageError{"history takes list, show ID or delete ID"};
  }
  const std::int64_t id = expected == 2 ? ParseRecordId(words[1]) : 0;
  HomeFor(args.Get("home"));  // refuses a bad --home before anything opens
  if (!OpenStore(args.Get("home"), action != "delete")) return 1;
  rg_EasyDb& store = rg_EasyDb::Process();
  if (action == "list") return ListCasts(store, args.Has("json"));
  if (action == "show") return ShowCast(store, id, args.Has("json"));
  return DeleteCast(store, id);
}

}  // namespace xyh_cli
