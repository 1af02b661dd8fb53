#include "cli/Play.h"

#include <json/json.h>

#include <algorithm>
#include <iostream>

#include "cli/Args.h"
#include "cli/Common.h"
#include "cli/Terminal.h"
#include "history/EasyDb.h"
#include "history/Plays.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace xyh_cli {

namespace {

std::string Kind(const rg_Play& play) { return ToUtf8(KindName(KindOf(play))); }

// "胆 01 [02] 拖 03 [04] 05 + 07 09": drawn reds in brackets.
std::string NumbersLine(const rg_Play& play, const rg_PlayCheck* check) {
  const auto mark = [](int n, const std::vector<int>* hits) {
    const bool hit = hits != nullptr && std::find(hits->begin(), hits->end(), n) != hits->end();
    return hit ? "[" + Two(n) + "]" : Two(n);
  };
  std::string out;
  if (!play.dan.empty()) {
    out += " 胆";
    for (int n : play.dan) out += " " + mark(n, check ? &check->danHits : nullptr);
    out += " 拖";
  }
  for (int n : play.red) out += " " + mark(n, check ? &check->redHits : nullptr);
  out += " +";
  for (int n : play.blue) out += " " + Two(n);
  return out;
}

// What every play says of itself, stored or checked.
Json::Value PlayJson(const rg_Play& play) {
  Json::Value v(Json::objectValue);
  v["kind"] = Kind(play);
  v["dan"] = JsonNumbers(play.dan);
  v["red"] = JsonNumbers(play.red);
  v["blue"] = JsonNumbers(play.blue);
  v["multiple"] = play.multiple;
  v["bets"] = static_cast<Json::Int64>(PlayBets(play));
  v["cost"] = static_cast<Json::Int64>(PlayCost(play));
  return v;
}

// A damaged play says only that, as a damaged cast does in check --json.
Json::Value DamagedPlayJson(std::int64_t id, const std::string& damage) {
  Json::Value v(Json::objectValue);
  v["id"] = static_cast<Json::Int64>(id);
  v["error"] = ToUtf8(kDamagedPlayText);
  v["damage"] = damage;
  return v;
}

Json::Value StoredPlayJson(const rg_StoredPlay& p) {
  Json::Value v = p.damage.empty() ? PlayJson(p.play) : DamagedPlayJson(p.id, p.damage);
  v["id"] = static_cast<Json::Int64>(p.id);
  v["castId"] = static_cast<Json::Int64>(p.castId);
  return v;
}

int Add(const Args& args) {
  if (args.Positional().size() != 2) throw UsageError{"play add takes one saved cast's ID"};
  const std::int64_t castId = ParseRecordId(args.Positional()[1]);
  if (!args.Has("red")) throw UsageError{"play add needs --red (the 拖 with --dan)"};
  if (!args.Has("blue")) throw UsageError{"play add needs --blue"};
  rg_Play play = ReadPlayOptions(args);
  RefuseBadPlay(play);
  SortPlay(play);
  if (!OpenStore(args.Get("home"))) return 1;
  const auto added = rg_PlayStore(rg_EasyDb::Process()).Add(castId, play);
  if (!added) {
    if (added.error().notFound)
      throw UsageError{"no saved cast has the id " + std::to_string(castId)};
    if (!added.error().refused) return StoreFailure("the play was not saved: ");
    // The play itself was checked above: what is left is the cast's damage,
    // a fault of the file rather than of the words typed.
    std::cerr << "xyh-cli: the play was not saved: " << TerminalSafe(added.error().message) << "\n";
    return 1;
  }
  std::cout << "added play " << *added << ": " << Kind(play) << ", " << PlayBets(play) << "注, "
            << PlayCost(play) << "元\n";
  return 0;
}

int List(const Args& args) {
  if (args.Positional().size() > 2) throw UsageError{"play list takes at most one saved cast's ID"};
  std::optional<std::int64_t> castId;
  if (args.Positional().size() == 2) castId = ParseRecordId(args.Positional()[1]);
  if (!OpenStore(args.Get("home"))) return 1;
  rg_EasyDb& store = rg_EasyDb::Process();
  // No plays of a cast that is not there would read as a cast without plays.
  if (castId) {
    const auto cast = store.Load(*castId);
    if (!cast) return StoreFailure("the history could not be read: ");
    if (!*cast) {
      std::cerr << "xyh-cli: no saved cast has the id " << *castId << "\n";
      return 1;
    }
  }
  const auto plays = rg_PlayStore(store).List(castId);
  const bool complete = store.LastStatus() == rg_StoreStatus::Ok;
  bool allSound = true;
  for (const rg_StoredPlay& p : plays) {
    if (!p.damage.empty()) allSound = false;
  }
  if (args.Has("json")) {
    Json::Value list(Json::arrayValue);
    for (const rg_StoredPlay& p : plays) list.append(StoredPlayJson(p));
    std::cout << JsonText(list) << "\n";
  } else {
    for (const rg_StoredPlay& p : plays) {
      std::cout << p.id << "\t#" << p.castId << "\t";
      if (!p.damage.empty()) {
        std::cout << ToUtf8(kDamagedPlayText) << " (" << TerminalSafe(p.damage) << ")\n";
        continue;
      }
      std::cout << Kind(p.play) << ":" << NumbersLine(p.play, nullptr) << "\t" << p.play.multiple
                << "倍\t" << PlayBets(p.play) << "注\t" << PlayCost(p.play) << "元\n";
    }
  }
  if (!complete) return StoreFailure("the plays could not be read to their end: ");
  for (const rg_StoredPlay& p : plays) {
    if (!p.damage.empty()) SayDamagedPlay(p.id, p.castId, p.damage);
  }
  return allSound ? 0 : 1;
}

int Delete(const Args& args) {
  if (args.Positional().size() != 2) throw UsageError{"play delete takes one PLAYID"};
  const std::int64_t id = ParseRecordId(args.Positional()[1], "play");
  if (!OpenStore(args.Get("home"))) return 1;
  if (const auto deleted = rg_PlayStore(rg_EasyDb::Process()).Delete(id); !deleted) {
    if (!deleted.error().notFound) return StoreFailure("删除失败: ");
    std::cerr << "xyh-cli: no play has the id " << id << "\n";
    return 1;
  }
  std::cout << "deleted play " << id << "\n";
  return 0;
}

}  // namespace

std::vector<int> ParseBalls(const std::string& text, std::string_view option, int low, int high) {
  std::vector<int> out;
  std::string piece;
  const auto flush = [&] {
    if (piece.empty()) return;
    if (piece.size() > 2 || piece.find_first_not_of("0123456789") != std::string::npos) {
      throw UsageError{std::string(option) + ": \"" + TerminalSafe(piece) +
                       "\" is not a number of one or two digits"};
    }
    const int n = std::stoi(piece);
    if (n < low || n > high) {
      throw UsageError{std::string(option) + ": " + std::to_string(n) + " is outside " +
                       std::to_string(low) + " to " + std::to_string(high)};
    }
    if (std::find(out.begin(), out.end(), n) != out.end()) {
      throw UsageError{std::string(option) + ": " + std::to_string(n) + " is given twice"};
    }
    out.push_back(n);
    piece.clear();
  };
  for (char c : text) {
    if (c == ' ' || c == ',') {
      flush();
    } else {
      piece += c;
    }
    // No list of a play is longer than this; a longer text is no list.
    if (out.size() > 33) throw UsageError{std::string(option) + ": too many numbers"};
  }
  flush();
  return out;
}

rg_Play ReadPlayOptions(const Args& args) {
  rg_Play play;
  if (const auto dan = args.Get("dan")) play.dan = ParseBalls(*dan, "--dan", 1, 33);
  play.red = ParseBalls(args.Get("red").value_or(""), "--red", 1, 33);
  play.blue = ParseBalls(args.Get("blue").value_or(""), "--blue", 1, 16);
  if (const auto m = args.Get("multiple")) play.multiple = std::stoi(*m);
  return play;
}

void CheckDan(const std::string& dan, std::string_view option) {
  if (ParseBalls(dan, option, 1, 33).empty()) throw UsageError{"--dan takes 1 to 5 reds"};
}

void CheckRed(const std::string& red, std::string_view option) { ParseBalls(red, option, 1, 33); }

void CheckBlue(const std::string& blue, std::string_view option) {
  ParseBalls(blue, option, 1, 16);
}

void CheckMultiple(const std::string& multiple, std::string_view /*option*/) {
  if (multiple.empty() || multiple.size() > 2 ||
      multiple.find_first_not_of("0123456789") != std::string::npos) {
    throw UsageError{"--multiple: 倍数应为 1 至 99,不能是 \"" + TerminalSafe(multiple) + "\""};
  }
}

void RefuseBadPlay(const rg_Play& play) {
  if (const std::u16string why = PlayRefusal(play); !why.empty()) throw UsageError{ToUtf8(why)};
}

std::string FloatingText(const rg_PrizeSum& sum, bool floatingWon) {
  if (!floatingWon) return {};
  std::string out = ", 奖金合计 " + std::to_string(sum.won) + "元";
  if (sum.UnknownBets() > 0) out += " (" + ToUtf8(UnknownAmountText(sum)) + ")";
  return out;
}

void SayDamagedPlay(std::int64_t id, std::int64_t castId, const std::string& damage) {
  std::cerr << "xyh-cli: play " << id << " of saved cast " << castId << ": "
            << ToUtf8(kDamagedPlayText) << " (" << TerminalSafe(damage) << ")\n";
}

Json::Value PlayCheckJson(const rg_PlayResult& p, const rg_FloatingAmounts& amounts) {
  if (!p.damage.empty()) return DamagedPlayJson(p.id, p.damage);
  Json::Value v = PlayJson(p.play);
  v["id"] = p.id != 0 ? Json::Value(static_cast<Json::Int64>(p.id)) : Json::Value();
  Json::Value hits(Json::objectValue);
  hits["dan"] = JsonNumbers(p.check.danHits);
  hits["red"] = JsonNumbers(p.check.redHits);
  hits["blue"] = p.check.blueHit;
  v["hits"] = hits;
  Json::Value winning(Json::objectValue);
  for (int t = 1; t <= kTierCount; ++t)
    winning[std::to_string(t)] =
        static_cast<Json::Int64>(p.check.winning[static_cast<std::size_t>(t)]);
  v["winning"] = winning;
  v["fixedPrize"] = static_cast<Json::Int64>(p.check.fixedPrize);
  const rg_PrizeSum sum = PlayPrize(p.check, p.play.multiple, amounts);
  v["prize"] = static_cast<Json::Int64>(sum.won);
  v["floatingUnknown"] = static_cast<Json::Int64>(sum.UnknownBets());
  return v;
}

std::string PlayCheckText(const rg_PlayResult& p, bool drawn, bool missing,
                          const rg_FloatingAmounts& amounts) {
  std::string out = "投注";
  if (p.id != 0) out += "#" + std::to_string(p.id);
  if (!p.damage.empty())
    return out + " " + ToUtf8(kDamagedPlayText) + " (" + TerminalSafe(p.damage) + ")";
  out += " " + Kind(p.play) + ":" + NumbersLine(p.play, drawn ? &p.check : nullptr);
  if (drawn && p.check.blueHit) out += "(中蓝)";
  out += "  " + std::to_string(p.play.multiple) + "倍 " + std::to_string(PlayBets(p.play)) + "注 " +
         std::to_string(PlayCost(p.play)) + "元";
  // A missing draw is no pending one: the cast is 未对奖 until it is added.
  if (!drawn) return out + (missing ? "  未对奖" : "  待开奖");
  std::string won;
  for (int t = 1; t <= kTierCount; ++t) {
    if (const auto n = p.check.winning[static_cast<std::size_t>(t)]; n > 0)
      won += " " + ToUtf8(TierName(t)) + std::to_string(n) + "注";
  }
  out += won.empty() ? "  未中奖"
                     : "  中奖:" + won + ", 固定奖金 " + std::to_string(p.check.fixedPrize) + "元";
  out += FloatingText(PlayPrize(p.check, p.play.multiple, amounts),
                      p.check.winning[1] > 0 || p.check.winning[2] > 0);
  return out;
}

int RunPlay(const std::vector<std::string>& argv) {
  const Args args(argv, *FindCommand("play"));
  const auto& words = args.Positional();
  const std::string action = words.empty() ? "" : words[0];
  if (action != "add" && action != "list" && action != "delete")
    throw UsageError{"play takes add ID, list [ID] or delete PLAYID"};
  if (action != "add" &&
      (args.Has("red") || args.Has("dan") || args.Has("blue") || args.Has("multiple")))
    throw UsageError{"--red, --dan, --blue and --multiple belong to play add"};
  if (action != "list" && args.Has("json")) throw UsageError{"--json belongs to play list"};
  HomeFor(args.Get("home"));
  if (action == "add") return Add(args);
  if (action == "list") return List(args);
  return Delete(args);
}

}  // namespace xyh_cli
