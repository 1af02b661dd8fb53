#pragma once
#include <json/value.h>
#include <iosfwd>

#include <string>
#include <string_view>
#include <vector>

namespace rg_com_ptl_xyh {
class Clock;
struct rg_YsModel;
}  // namespace rg_com_ptl_xyh

namespace xyh_cli {

int RunCast(const std::vector<std::string>& args);
// One cast, its JSON or text written to sink. In batch mode the output is
// one line of JSON, saving is refused and a refused cast throws UsageError.
int RunCastTo(const std::vector<std::string>& args, std::ostream& sink, bool batch);
// cast --batch: one cast per line of in, one line of JSON per cast to out.
int RunCastBatch(const std::vector<std::string>& args, std::istream& in, std::ostream& out);
// A batch's charts mark the default topic: --topic is refused on its lines
// and beside --batch with these words.
inline constexpr std::string_view kBatchTopic =
    "--topic is not allowed in batch mode; each chart marks the default topic, 求财";

// --zodiac: 1..12, a branch such as 子, or a sign such as 子鼠.
int ParseZodiac(const std::string& text);

// The checks of cast's option values (see Term::check).
void CheckNumber(const std::string& number, std::string_view option);
void CheckTime(const std::string& when, std::string_view option);
void CheckLines(const std::string& lines, std::string_view option);
void CheckTrigram(const std::string& code, std::string_view option);  // --up, --down
void CheckDong(const std::string& marks, std::string_view option);
void CheckZodiac(const std::string& zodiac, std::string_view option);
void CheckCastLottery(const std::string& code, std::string_view option);
void CheckTopic(const std::string& topic, std::string_view option);
void CheckSaveTitle(const std::string& title, std::string_view option);
void CheckNote(const std::string& note, std::string_view option);

// The cast a review of a saved record shows in the window, with the keys of
// "cast --json"; null when the record makes no cast (refusal then holds the
// casting panel's message).
Json::Value ReviewJson(const rg_com_ptl_xyh::rg_YsModel& record, const rg_com_ptl_xyh::Clock& clock,
                       std::u16string& refusal);

}  // namespace xyh_cli
