#pragma once
// rg_QiGuaModel: the casting request.
// Casting: from a request to the trigrams of the primary and the changed
// hexagram, and the rules that stamp a request with its time and number.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/Choices.h"

namespace rg_com_ptl_xyh {

class Clock;

// The casting request the casting panel fills and the dispatch completes.
struct rg_QiGuaModel {
  std::int64_t id = 0;  // the history row id of a reviewed request, else 0
  CastMethod method = CastMethod::None;
  std::u16string methodCaption;
  std::u16string numberText;
  std::u16string upstr;    // lines 4..6, "1"/"0"
  std::u16string downstr;  // lines 1..3
  std::vector<int> dong;   // per line from the bottom: 1 moving yang, -1 moving yin, 0 still
  int zodiac = 0;          // 1..12 in branch order
  double castTime = 0.0;
  TimeChoice timeChoice = TimeChoice::Unset;
  bool empty = false;  // set on the throw-away request sent with a refusal
};

struct CastVerdict {
  CastMethod method = CastMethod::None;     // of an accepted request
  CastRefusal refusal = CastRefusal::None;  // else why it was refused
  std::u16string message;
  bool Accepted() const { return refusal == CastRefusal::None; }
  // The cast event's code: the method's number, or the refusal's.
  int Code() const { return Accepted() ? NumberOf(method) : NumberOf(refusal); }
};
// The casting panel's checks on "演算"; nullopt for a method it does not know.
std::optional<CastVerdict> ValidateCast(const rg_QiGuaModel& request);

struct TrigramCast {
  int upper = 0;
  int lower = 0;
  int moving = 0;  // 1..6 for number casts, 0 for hand casts
};

// hourArgument is (hour + 1) / 2; nullopt for empty text.
std::optional<TrigramCast> NumberCast(std::u16string_view text, int hourArgument);
TrigramCast LineCast(std::u16string_view upstr, std::u16string_view downstr);

struct CodePair {
  std::u16string upper;
  std::u16string lower;
};
CodePair ChangedCodes(std::u16string_view upper, std::u16string_view lower, int movingLine);
CodePair ChangedCodes(std::u16string_view upper, std::u16string_view lower,
                      const std::vector<int>& dong);

// Whole days from now to the next draw (weekday 1 = Sunday); nullopt for a
// lottery without a schedule.
std::optional<int> DrawDayShift(LotteryCode lottery, int weekday, int hour);
struct ClockTime {
  int hour;
  int minute;
};
std::optional<ClockTime> DrawClockTime(LotteryCode lottery);

// Step 4 and 5 of the dispatch: the cast time and, for time casts, the
// millisecond number.
void StampRequest(rg_QiGuaModel& request, CastMethod method, const Clock& clock,
                  LotteryCode lottery);

// The hand-cast line forms, in the order of the dialog's items.
enum class LineForm { Unset = 0, Yang = 1, Yin = 2, MovingYang = 3, MovingYin = 4 };
struct HandLines {
  std::u16string upper;
  std::u16string lower;
  std::vector<int> dong;
  int unsetLine = 0;  // the lowest line (1..6) left unset, 0 when all are set
};
// formsBottomFirst[0] is line 1.
HandLines LinesFromForms(const std::array<LineForm, 6>& formsBottomFirst);

}  // namespace rg_com_ptl_xyh
