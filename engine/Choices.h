#pragma once
// The choices a cast is made of, typed. Each keeps as its value the number
// the store, the command line and the JSON have always used, so no stored
// or printed number changes. A number from outside becomes a choice only
// through the *Of function beside its type: one place per choice that says
// "no such choice" (nullopt) instead of letting a stray number through as
// if it were one.
#include <cstdint>
#include <optional>
#include <type_traits>

namespace rg_com_ptl_xyh {

// The number a choice is stored and printed as.
template <typename E>
requires std::is_enum_v<E>
constexpr std::underlying_type_t<E> NumberOf(E choice) {
  return static_cast<std::underlying_type_t<E>>(choice);
}

// How a cast is made; the method list's item index and the stored ysindex.
// None is a request before any method is chosen and Reset what "重设"
// leaves: the panel tells them apart, and neither is ever stored.
enum class CastMethod : int { Reset = -1, None = 0, Number = 1, HandLines = 2, Time = 3 };

// A stored or typed method: only the three a cast can be made by.
constexpr std::optional<CastMethod> CastMethodOf(std::int64_t number) {
  if (number < NumberOf(CastMethod::Number) || number > NumberOf(CastMethod::Time))
    return std::nullopt;
  return static_cast<CastMethod>(number);
}

// Which moment a time cast takes. Unset is what a cast by another method
// stores, and what the time options leave when they go away.
enum class TimeChoice : int { Unset = 0, Now = 1, NextDraw = 2 };

constexpr std::optional<TimeChoice> TimeChoiceOf(std::int64_t number) {
  if (number < NumberOf(TimeChoice::Unset) || number > NumberOf(TimeChoice::NextDraw))
    return std::nullopt;
  return static_cast<TimeChoice>(number);
}

// Why "演算" refused a request. The cast event carries it as a negative code
// where an accepted request carries its method; both codes name a method's
// missing input, so -4 and -5 also stand for a missing sign.
enum class CastRefusal : int {
  None = 0,
  NoMethod = -1,
  NoNumber = -2,
  NumberWithoutSign = -3,
  HandLinesIncomplete = -4,
  TimeIncomplete = -5
};

// The lotteries the draws strip and the archive know, by the code the
// archive stores and the command line takes.
enum class LotteryCode : int {
  Kl8 = 100,
  DoubleColor = 101,
  QiLeCai = 102,
  Fc3d = 103,
  DaLeTou = 104,
  PaiLie5 = 105,
  SevenStar = 106
};

constexpr std::optional<LotteryCode> LotteryCodeOf(std::int64_t number) {
  if (number < NumberOf(LotteryCode::Kl8) || number > NumberOf(LotteryCode::SevenStar))
    return std::nullopt;
  return static_cast<LotteryCode>(number);
}

}  // namespace rg_com_ptl_xyh
