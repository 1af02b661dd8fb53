#include "cli/Draw.h"

#include <json/json.h>

#include <iostream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/Terminal.h"
#include "draws/DrawScraper.h"
#include "draws/DrawStore.h"
#include "history/EasyDb.h"
#include "net/HttpClient.h"
#include "platform/Clock.h"
#include "platform/Folders.h"
#include "platform/Settings.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

// --lottery: a code from 100 to 106, 双色球 (101) without it.
const rg_Lottery& ParseDrawLottery(const std::optional<std::string>& text) {
  const auto code = text ? LotteryOfOption(*text) : LotteryCode::DoubleColor;
  const rg_Lottery* lottery = code ? FindLottery(*code) : nullptr;
  if (lottery == nullptr) throw UsageError{"--lottery takes a code from 100 to 106"};
  return *lottery;
}

// Every draw read goes into the archive; a draw the history cannot take
// is said so, while the draw itself is still printed.
Result<rg_DrawArchive::StoreResult> ArchiveRead(const std::optional<std::string>& home,
                                                LotteryCode code, const rg_DrawRecord& r) {
  Result<rg_DrawArchive::StoreResult> archived = Fail(rg_StoreStatus::NotConnected);
  if (OpenStore(home)) {
    rg_DrawArchive archive(rg_EasyDb::Process());
    archived = ArchiveDraw(archive, code, r, Clock::System().Now());
  }
  if (!archived && !archived.error().refused) {
    const std::u16string why = StoreStatusText(rg_EasyDb::Process().LastStatus());
    std::cerr << "xyh-cli: the draw could not be stored" << (why.empty() ? "" : ": " + ToUtf8(why))
              << "\n";
  }
  return archived;
}

void PrintDraw(const rg_Lottery& lottery, const rg_DrawRecord& r,
               const Result<rg_DrawArchive::StoreResult>& archived, bool json) {
  if (json) {
    Json::Value v(Json::objectValue);
    v["status"] = r.status;
    v["name"] = ToUtf8(r.name);
    v["issue"] = ToUtf8(r.issue);
    v["date"] = ToUtf8(r.date);
    v["numbers"] = ToUtf8(r.numbers);
    v["extra"] = ToUtf8(r.extra);
    v["shown"] = ToUtf8(ShownNumbers(lottery, r));
    v["error"] = ToUtf8(r.error);
    if (r.status == 200) v["archived"] = ArchiveOutcomeName(archived);
    std::cout << TerminalJsonText(v) << "\n";
  } else {
    // The fields are the results page's own text: a terminal must not obey it.
    auto shown = [](const std::u16string& text) { return TerminalSafe(ToUtf8(text)); };
    std::cout << "status: " << r.status << "\n"
              << "name: " << shown(r.name) << "\n"
              << "issue: " << shown(r.issue) << "\n"
              << "date: " << shown(r.date) << "\n"
              << "numbers: " << shown(r.numbers) << "\n"
              << "extra: " << shown(r.extra) << "\n";
    if (r.status != 200) std::cout << "error: " << shown(r.error) << "\n";
    if (r.status == 200) std::cout << "archived: " << ArchiveOutcomeName(archived) << "\n";
  }
}

}  // namespace

void CheckDrawLottery(const std::string& code, std::string_view /*option*/) {
  ParseDrawLottery(code);
}

int RunDraw(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("draw"));
  if (!args.Positional().empty())
    throw UsageError{"unexpected word \"" + args.Positional()[0] + "\""};
  const rg_Lottery& lottery = ParseDrawLottery(args.Get("lottery"));
  const LotteryCode code = lottery.code;

  const rg_Settings settings(HomeFor(args.Get("home")) / "config.ini");
  if (const std::string why = settings.Problem(); !why.empty()) {
    std::cerr << "xyh-cli: " << PathToUtf8(settings.File()) << " is not read (" << why
              << "); the defaults are used\n";
  }
  rg_NetworkScope network;
  const rg_DrawCycle cycle = RunDrawCycle(code, rg_DrawSources::FromSettings(settings));
  if (!cycle.online) {
    std::cerr << "未连网\n";
    return 1;
  }
  const rg_DrawRecord& r = cycle.record;
  // Printed only for a page that answered.
  Result<rg_DrawArchive::StoreResult> archived = Fail(rg_StoreStatus::Failed);
  if (r.status == 200) archived = ArchiveRead(args.Get("home"), code, r);
  PrintDraw(lottery, r, archived, args.Has("json"));
  return r.status == 200 ? 0 : 1;
}

}  // namespace xyh_cli
