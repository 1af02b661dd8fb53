#include "cli/Check.h"

#include <json/json.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/Play.h"
#include "cli/Terminal.h"
#include "history/DrawArchive.h"
#include "history/DrawPrizes.h"
#include "history/EasyDb.h"
#include "history/Plays.h"
#include "history/SavedCast.h"
#include "history/SavedCastCheck.h"
#include "history/SavedCasts.h"
#include "platform/Clock.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

const char* StatusName(rg_CastStatus status) {
  switch (status) {
    case rg_CastStatus::Scored: return "scored";
    case rg_CastStatus::Missing: return "missing";
    case rg_CastStatus::Pending: break;
  }
  return "pending";
}

// The tickets' prize with the floating tiers whose amount is stored.
rg_PrizeSum TicketsPrize(const rg_CastResult& r, const rg_FloatingAmounts& amounts) {
  rg_PrizeSum total;
  for (const rg_TicketCheck& t : r.check.tickets) {
    const rg_PrizeSum sum = TicketPrize(t, amounts);
    total.won += sum.won;
    for (std::size_t tier = 1; tier <= 2; ++tier) total.unknownBets[tier] += sum.unknownBets[tier];
  }
  return total;
}

rg_PrizeSum PlaysPrize(const rg_CastResult& r, const rg_FloatingAmounts& amounts) {
  rg_PrizeSum total;
  for (const rg_PlayResult& p : r.plays) {
    const rg_PrizeSum sum = PlayPrize(p.check, p.play.multiple, amounts);
    total.won += sum.won;
    for (std::size_t tier = 1; tier <= 2; ++tier) total.unknownBets[tier] += sum.unknownBets[tier];
  }
  return total;
}

Json::Value Amount(const std::optional<std::int64_t>& yuan) {
  return yuan ? Json::Value(static_cast<Json::Int64>(*yuan)) : Json::Value();
}

Json::Value ResultJson(const rg_CastResult& r, const rg_YsModel* record,
                       const rg_FloatingAmounts& amounts) {
  Json::Value v(Json::objectValue);
  v["id"] = record ? Json::Value(static_cast<Json::Int64>(record->_id)) : Json::Value();
  v["name"] = record ? Json::Value(ToUtf8(record->ysname)) : Json::Value();
  v["castTime"] = record ? Json::Value(FormatLocalTime(record->ysday)) : Json::Value();
  const auto drawn = r.draw ? DoubleColorNumbers(*r.draw) : std::nullopt;
  v["issue"] = drawn ? Json::Value(ToUtf8(r.draw->issue)) : Json::Value();
  v["drawDate"] = drawn ? Json::Value(ToUtf8(DrawDateText(r.draw->date))) : Json::Value();
  v["drawRed"] = drawn ? JsonNumbers(drawn->red) : Json::Value();
  v["drawBlue"] = drawn ? Json::Value(drawn->blue) : Json::Value();
  Json::Value tickets(Json::arrayValue);
  for (const rg_TicketCheck& t : r.check.tickets) {
    Json::Value o(Json::objectValue);
    o["red"] = JsonNumbers(t.red);
    o["hits"] = JsonNumbers(t.hits);
    o["blueHit"] = t.blueHit;
    o["bets"] = t.bets;
    o["tier"] = t.tier;
    o["winningBets"] = t.winningBets;
    o["fixedPrize"] = Json::Int64(t.fixedPrize);
    const rg_PrizeSum sum = TicketPrize(t, amounts);
    o["prize"] = Json::Int64(sum.won);
    o["floatingUnknown"] = Json::Int64(sum.UnknownBets());
    tickets.append(o);
  }
  v["tickets"] = tickets;
  v["bestTier"] = r.check.bestTier;
  v["fixedPrize"] = Json::Int64(r.check.fixedPrize);
  v["firstPrize"] = drawn ? Amount(amounts.first) : Json::Value();
  v["secondPrize"] = drawn ? Amount(amounts.second) : Json::Value();
  const rg_PrizeSum ticketsPrize = TicketsPrize(r, amounts);
  v["prize"] = Json::Int64(ticketsPrize.won);
  v["floatingUnknown"] = Json::Int64(ticketsPrize.UnknownBets());
  v["status"] = StatusName(r.status);
  v["missingIssue"] = r.status == rg_CastStatus::Missing && !r.missingIssue.empty()
                          ? Json::Value(ToUtf8(r.missingIssue))
                          : Json::Value();
  Json::Value plays(Json::arrayValue);
  for (const rg_PlayResult& p : r.plays) plays.append(PlayCheckJson(p, amounts));
  v["plays"] = plays;
  v["playsBestTier"] = r.playsBestTier;
  v["playsFixedPrize"] = Json::Int64(r.playsFixedPrize);
  const rg_PrizeSum played = PlaysPrize(r, amounts);
  v["playsPrize"] = Json::Int64(played.won);
  v["playsFloatingUnknown"] = Json::Int64(played.UnknownBets());
  return v;
}

// The plays under a cast's tickets, and their totals once drawn.
void PrintPlays(const rg_CastResult& r, bool drawn, const rg_FloatingAmounts& amounts) {
  for (const rg_PlayResult& p : r.plays)
    std::cout << PlayCheckText(p, drawn, r.status == rg_CastStatus::Missing, amounts) << "\n";
  if (drawn && !r.plays.empty()) {
    std::cout << "投注合计: " << (r.playsBestTier > 0 ? "最高" : "")
              << ToUtf8(TierName(r.playsBestTier)) << ", 固定奖金 " << r.playsFixedPrize << "元"
              << FloatingText(PlaysPrize(r, amounts), r.playsBestTier == 1 || r.playsBestTier == 2)
              << "\n";
  }
}

// One readable block; matched numbers stand in brackets.
void PrintResult(const rg_CastResult& r, const rg_YsModel* record, const std::vector<int>& blues,
                 double now, const rg_FloatingAmounts& amounts) {
  static constexpr const char* kTickets[] = {"一注", "二注", "三注", "四注", "五注"};
  if (record) {
    std::cout << "#" << record->_id << " " << TerminalSafe(ToUtf8(record->ysname)) << "\n";
    std::cout << "起卦时间: " << FormatLocalTime(record->ysday) << "\n";
  }
  const auto drawn = r.draw ? DoubleColorNumbers(*r.draw) : std::nullopt;
  if (drawn) {
    std::cout << "开奖: 第" << ToUtf8(r.draw->issue) << "期 " << ToUtf8(DrawDateText(r.draw->date))
              << "  ";
    for (int n : drawn->red) std::cout << Two(n) << " ";
    std::cout << "+ " << Two(drawn->blue) << "\n";
  } else if (r.status == rg_CastStatus::Missing) {
    std::cout << "开奖数据缺失: " << ToUtf8(MissingDrawText(r.missingIssue, r.missingUncertain))
              << ",请用 xyh-cli draws add 或 draws import 补录\n";
  } else {
    std::cout << "待开奖, 预计开奖日期 " << ToUtf8(DrawDateText(r.expectedDrawDate));
    if (DrawOverdue(r.expectedDrawDate, now)) std::cout << " (" << ToUtf8(kOverdueText) << ")";
    std::cout << "\n";
  }
  // A bought ticket shows only what it has: a 复式 or 胆拖 has no single ticket.
  if (record == nullptr && r.check.tickets.empty()) {
    PrintPlays(r, drawn.has_value(), amounts);
    return;
  }
  std::cout << "蓝球:";
  for (int b : blues) std::cout << " " << (drawn && b == drawn->blue ? "[" + Two(b) + "]" : Two(b));
  if (blues.empty()) std::cout << " (无)";
  std::cout << "\n";
  if (r.check.tickets.empty()) std::cout << "(无推演红球号)\n";
  for (std::size_t i = 0; i < r.check.tickets.size(); ++i) {
    const rg_TicketCheck& t = r.check.tickets[i];
    std::cout << (i < 5 ? kTickets[i] : "另注") << ":";
    for (int n : t.red) {
      const bool hit = std::find(t.hits.begin(), t.hits.end(), n) != t.hits.end();
      std::cout << " " << (hit ? "[" + Two(n) + "]" : Two(n));
    }
    std::cout << "  " << t.bets << "注";
    if (drawn) {
      std::cout << "  中" << t.hits.size() << "红" << (t.blueHit ? "+蓝" : "") << "  "
                << ToUtf8(TierName(t.tier));
      if (t.winningBets > 0)
        std::cout << " (" << t.winningBets << "注中奖, 固定奖金 " << t.fixedPrize << "元)";
    }
    std::cout << "\n";
  }
  if (drawn) {
    std::cout << "合计: " << (r.check.bestTier > 0 ? "最高" : "")
              << ToUtf8(TierName(r.check.bestTier)) << ", 固定奖金 " << r.check.fixedPrize << "元"
              << FloatingText(TicketsPrize(r, amounts),
                              r.check.bestTier == 1 || r.check.bestTier == 2)
              << "\n";
  }
  PrintPlays(r, drawn.has_value(), amounts);
}

// A bought ticket: --red, --blue, --dan, --multiple and --issue.
struct BoughtTicket {
  rg_PlayedNumbers played;  // the single ticket of six reds, as before plays
  std::vector<rg_PlayResult> plays;
};

// Any ticket must be a play a player could buy; it always has a blue, so
// six reds without one are refused as seven are. Six reds and no 胆 are
// also the single ticket the check always took.
BoughtTicket ReadTicket(const Args& args) {
  if (!args.Positional().empty())
    throw UsageError{"give either saved cast ids or --red and --blue, not both"};
  if (!args.Has("red"))
    throw UsageError{"--red takes the red numbers of the ticket, e.g. --red \"1 2 3 4 5 6\""};
  rg_Play play = ReadPlayOptions(args);
  args.Get("issue");  // its check, after the play's as it always came
  const bool sixReds = play.dan.empty() && play.red.size() == 6;
  BoughtTicket ticket;
  RefuseBadPlay(play);
  SortPlay(play);
  ticket.plays.push_back({0, play, {}, {}});
  if (sixReds) {
    std::vector<int> red = play.red;
    std::sort(red.begin(), red.end());
    ticket.played.tickets.push_back(red);
    ticket.played.blues = play.blue;
  }
  return ticket;
}

// A bought ticket against the draw of --issue, or the newest one.
int CheckTicket(const BoughtTicket& ticket, const std::optional<std::string>& issueOption,
                const rg_DrawIndex& index, const rg_PrizeAmounts& prizes, bool json) {
  const rg_PlayedNumbers& played = ticket.played;
  // Any written form of the issue finds it: 02026001 is 2026001.
  const std::u16string typed = FromUtf8(issueOption.value_or(""));
  const std::u16string issue =
      typed.empty() ? typed : NormalIssue(LotteryCode::DoubleColor, typed).value_or(u"-");
  const rg_DrawEntry* draw = index.Find(issue);
  if (draw == nullptr) {
    if (!issue.empty())
      throw UsageError{"no 双色球 draw with the issue " + *issueOption + " is stored"};
    std::cerr
        << "xyh-cli: no 双色球 draw is stored yet; run xyh-cli draw or xyh-cli draws import FILE\n";
    return 1;
  }
  const auto drawn = DoubleColorNumbers(*draw);
  rg_CastResult r;
  r.draw = draw;
  r.status = rg_CastStatus::Scored;
  r.check = ScoreTickets(played, &*drawn);
  ScorePlays(r, ticket.plays);
  const rg_FloatingAmounts amounts = AmountsOf(prizes, draw->issue);
  if (json) {
    std::cout << TerminalJsonText(ResultJson(r, nullptr, amounts)) << "\n";
  } else {
    PrintResult(r, nullptr, played.blues, 0.0, amounts);
  }
  return 0;
}

// Only the casts of ids; an id no saved cast has is refused.
void KeepCasts(std::vector<rg_YsModel>& casts, const std::set<std::int64_t>& ids) {
  std::set<std::int64_t> missing = ids;
  std::erase_if(casts, [&](const rg_YsModel& c) {
    missing.erase(c._id);
    return ids.count(c._id) == 0;
  });
  if (!missing.empty()) {
    std::string list;
    for (auto id : missing) list += (list.empty() ? "" : ", ") + std::to_string(id);
    throw UsageError{"no saved cast has the id " + list};
  }
}

// Each saved cast cast again and checked against the draw it was made for.
// A damaged row (a cast, or a play of one) is an error of its own; the
// others are checked all the same. False when any row was damaged.
bool CheckCasts(const std::vector<rg_YsModel>& casts, const rg_DrawIndex& index,
                const std::map<std::int64_t, std::vector<rg_PlayResult>>& plays,
                const rg_PrizeAmounts& prizes, bool json) {
  rg_SavedCastDeriver deriver;
  const double now = Clock::System().Now();
  Json::Value out(Json::arrayValue);
  bool first = true;
  bool allSound = true;
  const std::vector<rg_PlayResult> none;
  for (const rg_YsModel& cast : casts) {
    if (!cast.damage.empty()) {
      allSound = false;
      std::cerr << "xyh-cli: saved cast " << cast._id << ": " << ToUtf8(kDamagedCastText) << " ("
                << TerminalSafe(cast.damage) << ")\n";
      if (json) {
        Json::Value v(Json::objectValue);
        v["id"] = static_cast<Json::Int64>(cast._id);
        v["name"] = ToUtf8(cast.ysname);
        v["error"] = ToUtf8(kDamagedCastText);
        v["damage"] = cast.damage;
        out.append(v);
      }
      continue;
    }
    const auto numbers = deriver.Derive(cast);
    rg_CastResult r =
        CheckNumbers(numbers.value_or(DerivedNumbers{}), cast.ysday, IsDrawTimeCast(cast), index);
    const auto castPlays = plays.find(cast._id);
    ScorePlays(r, castPlays != plays.end() ? castPlays->second : none);
    for (const rg_PlayResult& p : r.plays) {
      if (p.damage.empty()) continue;
      allSound = false;
      SayDamagedPlay(p.id, cast._id, p.damage);
    }
    const rg_FloatingAmounts amounts =
        r.draw != nullptr ? AmountsOf(prizes, r.draw->issue) : rg_FloatingAmounts{};
    if (json) {
      out.append(ResultJson(r, &cast, amounts));
    } else {
      if (!first) std::cout << "\n";
      first = false;
      PrintResult(r, &cast, numbers ? PlayedNumbers(*numbers).blues : std::vector<int>{}, now,
                  amounts);
    }
  }
  if (json) std::cout << TerminalJsonText(out) << "\n";
  return allSound;
}

}  // namespace

void CheckIssue(const std::string& issue, std::string_view /*option*/) {
  if (issue.empty() || issue.size() > 16 ||
      issue.find_first_not_of("0123456789") != std::string::npos)
    throw UsageError{"--issue takes the digits of a stored draw's issue"};
}

int RunCheck(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("check"));
  const bool ticket = args.Has("red") || args.Has("blue") || args.Has("issue") || args.Has("dan") ||
                      args.Has("multiple");
  const BoughtTicket played = ticket ? ReadTicket(args) : BoughtTicket{};
  std::set<std::int64_t> ids;
  for (const std::string& word : args.Positional()) ids.insert(ParseRecordId(word));

  if (!OpenStore(args.Get("home"), true)) return 1;
  rg_EasyDb& store = rg_EasyDb::Process();
  // A check against part of the draws or part of the casts would tell
  // wrong answers (pending, no prize): a read that breaks off is an error.
  const rg_DrawArchive archive(store);
  const rg_DrawIndex index(archive.DoubleColorDraws());
  if (archive.LastStatus() != rg_StoreStatus::Ok)
    return ArchiveFailure(archive, "the draws could not be read: ");
  const auto prizes = rg_DrawPrizes(store).All(LotteryCode::DoubleColor);
  if (!prizes) {
    if (!prizes.error().message.empty()) std::cerr << "xyh-cli: " << prizes.error().message << "\n";
    return StoreFailure("the prize amounts could not be read: ");
  }
  if (ticket) return CheckTicket(played, args.Get("issue"), index, *prizes, args.Has("json"));

  std::vector<rg_YsModel> casts = LoadAllCasts(store);
  if (store.LastStatus() != rg_StoreStatus::Ok)
    return StoreFailure("the history could not be read: ");
  if (!ids.empty()) KeepCasts(casts, ids);
  if (casts.empty() && !args.Has("json")) {
    std::cout << "nothing to check: no cast is saved (xyh-cli cast --save TITLE saves one)\n";
  }
  std::map<std::int64_t, std::vector<rg_PlayResult>> plays;
  for (rg_StoredPlay& p : rg_PlayStore(store).List())
    plays[p.castId].push_back({p.id, std::move(p.play), {}, std::move(p.damage)});
  if (store.LastStatus() != rg_StoreStatus::Ok)
    return StoreFailure("the plays could not be read: ");
  // A play whose cast is gone belongs to no cast checked, yet a check of
  // everything must not pass over it.
  bool orphansSound = true;
  if (ids.empty()) {
    std::set<std::int64_t> castIds;
    for (const rg_YsModel& cast : casts) castIds.insert(cast._id);
    for (const auto& [castId, castPlays] : plays) {
      if (castIds.count(castId) != 0) continue;
      for (const rg_PlayResult& p : castPlays) {
        orphansSound = false;
        SayDamagedPlay(p.id, castId, p.damage);
      }
    }
  }
  const bool castsSound = CheckCasts(casts, index, plays, *prizes, args.Has("json"));
  return castsSound && orphansSound ? 0 : 1;
}

}  // namespace xyh_cli
