#pragma once
// xyh-cli play: the 单式/复式/胆拖 tickets bought with saved casts; and the
// reading of a play's options that check shares.
#include <json/value.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "derive/PrizeAmounts.h"
#include "history/SavedCast.h"

namespace xyh_cli {

class Args;

// "1 2 3" or "01,02,03": distinct numbers in low..high. Throws UsageError
// naming option and the number that breaks the rule.
std::vector<int> ParseBalls(const std::string& text, std::string_view option, int low, int high);

// --dan, --red, --blue and --multiple as a play, not yet checked against
// the rules of a play (PlayRefusal). Their values are the checked ones of
// the tables of play and check (CheckDan … CheckMultiple).
rg_com_ptl_xyh::rg_Play ReadPlayOptions(const Args& args);
// The checks of --dan, --red, --blue and --multiple (see Term::check).
void CheckDan(const std::string& dan, std::string_view option);
void CheckRed(const std::string& red, std::string_view option);
void CheckBlue(const std::string& blue, std::string_view option);
void CheckMultiple(const std::string& multiple, std::string_view option);
// Throws UsageError with the rule the play breaks.
void RefuseBadPlay(const rg_com_ptl_xyh::rg_Play& play);

// "xyh-cli: play 5 of saved cast 3: 该投注记录已损坏,无法对奖 (…)" on standard error.
void SayDamagedPlay(std::int64_t id, std::int64_t castId, const std::string& damage);

// One play of check --json; id null when it is not stored. A damaged play
// gives its id, "error" and "damage" only. amounts: the floating prizes of
// the draw it met (prize, floatingUnknown).
Json::Value PlayCheckJson(const rg_com_ptl_xyh::rg_PlayResult& play,
                          const rg_com_ptl_xyh::rg_FloatingAmounts& amounts = {});
// "投注#3 复式: 01 [05] … + [08] ×2倍 7注 28元 …" for check's text output;
// not drawn: 待开奖, or 未对奖 while its cast's draw is missing.
std::string PlayCheckText(const rg_com_ptl_xyh::rg_PlayResult& play, bool drawn,
                          bool missing = false,
                          const rg_com_ptl_xyh::rg_FloatingAmounts& amounts = {});

// ", 奖金合计 N元 (一等奖 1注, 奖金未录入)" after a win of a floating tier;
// "" otherwise, so that a text without one stays as it was.
std::string FloatingText(const rg_com_ptl_xyh::rg_PrizeSum& sum, bool floatingWon);

int RunPlay(const std::vector<std::string>& args);

}  // namespace xyh_cli
