#include "engine/Casting.h"

#include <string>

#include "engine/Symbols.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

int DigitValue(char16_t c) { return c >= u'0' && c <= u'9' ? c - u'0' : 0; }

int DigitSum(std::u16string_view text) {
  int sum = 0;
  for (char16_t c : text) sum += DigitValue(c);
  return sum;
}

int R8(int x) {
  const int r = x % 8;
  return r == 0 ? 8 : r;
}

int R6(int x) {
  const int r = x % 6;
  return r == 0 ? 6 : r;
}

char16_t Flip(char16_t c) { return c == u'0' ? u'1' : u'0'; }

}  // namespace

std::optional<CastVerdict> ValidateCast(const rg_QiGuaModel& r) {
  using enum CastMethod;
  const auto refuse = [](CastRefusal why, std::u16string message) {
    return CastVerdict{None, why, std::move(message)};
  };
  const auto accept = [&r](std::u16string message) {
    return CastVerdict{r.method, CastRefusal::None, std::move(message)};
  };
  switch (r.method) {
    case Reset:
    case None: return refuse(CastRefusal::NoMethod, u"未选择推算条件");
    case Number:
      if (r.numberText.empty()) return refuse(CastRefusal::NoNumber, u"未输入推算数字");
      if (r.zodiac > 0) return accept(u"按卦主生肖与数字测算");
      return refuse(CastRefusal::NumberWithoutSign, u"未选择卦主生肖");
    case HandLines:
      if (r.upstr.size() != 3 || r.downstr.size() != 3 || r.dong.size() != 6) {
        return refuse(CastRefusal::HandLinesIncomplete, u"未装好线下卦");
      }
      if (r.zodiac > 0) return accept(u"按卦主生肖与自己装载线下卦测算");
      return refuse(CastRefusal::HandLinesIncomplete, u"未选择卦主生肖");
    case Time:
      if (r.timeChoice == TimeChoice::Unset)
        return refuse(CastRefusal::TimeIncomplete, u"未选择推演时间");
      if (r.zodiac > 0) return accept(u"按卦主生肖与超时空毫秒数测算");
      return refuse(CastRefusal::TimeIncomplete, u"未选择卦主生肖");
  }
  // A method no list item has raises nothing.
  return std::nullopt;
}

std::optional<TrigramCast> NumberCast(std::u16string_view text, int hour) {
  const size_t n = text.size();
  TrigramCast cast;
  if (n == 0) return std::nullopt;
  if (n == 1) {
    cast.upper = R8(DigitValue(text[0]));
    cast.lower = R8(hour);
    cast.moving = R6(cast.upper + cast.lower);
  } else if (n == 2) {
    const int a = DigitValue(text[0]), b = DigitValue(text[1]);
    cast.upper = R8(a);
    cast.lower = R8(b);
    cast.moving = R6(a + b);
  } else if (n == 3) {
    const int a = DigitValue(text[0]), b = DigitValue(text[1]), c = DigitValue(text[2]);
    const size_t zero = text.find(u'0');
    if (zero == std::u16string_view::npos) {
      cast.upper = R8(a);
      cast.lower = R8(b);
      cast.moving = R6(c);
    } else if (zero == 1) {
      const int v = 10 * a + b;
      cast.upper = R8(v);
      cast.lower = cast.upper;
      cast.moving = R6(c);
    } else {
      const int w = 10 * b + c;
      cast.upper = R8(a);
      cast.lower = R8(w);
      cast.moving = R6(a + w);
    }
  } else {
    const size_t half = n / 2;
    cast.upper = R8(DigitSum(text.substr(0, half)));
    if (n % 2 == 0) {
      cast.lower = R8(DigitSum(text.substr(half)));
      cast.moving = R6(DigitSum(text));
    } else {
      // The lower trigram and the moving line share the longer tail.
      const int tail = DigitSum(text.substr(n - (half + 1)));
      cast.lower = R8(tail);
      cast.moving = R6(tail);
    }
  }
  return cast;
}

TrigramCast LineCast(std::u16string_view upstr, std::u16string_view downstr) {
  return TrigramCast{TrigramNumberOfCode(upstr), TrigramNumberOfCode(downstr), 0};
}

CodePair ChangedCodes(std::u16string_view upper, std::u16string_view lower, int m) {
  CodePair out{std::u16string(upper), std::u16string(lower)};
  if (m >= 1 && m <= 3 && static_cast<size_t>(m - 1) < out.lower.size()) {
    out.lower[static_cast<size_t>(m - 1)] = Flip(out.lower[static_cast<size_t>(m - 1)]);
  } else if (m >= 4 && m <= 6 && static_cast<size_t>(m - 4) < out.upper.size()) {
    out.upper[static_cast<size_t>(m - 4)] = Flip(out.upper[static_cast<size_t>(m - 4)]);
  }
  return out;
}

CodePair ChangedCodes(std::u16string_view upper, std::u16string_view lower,
                      const std::vector<int>& dong) {
  CodePair out{std::u16string(upper), std::u16string(lower)};
  for (size_t k = 0; k < 3; ++k) {
    if (k < dong.size() && dong[k] != 0 && k < out.lower.size()) out.lower[k] = Flip(out.lower[k]);
    if (k + 3 < dong.size() && dong[k + 3] != 0 && k < out.upper.size()) {
      out.upper[k] = Flip(out.upper[k]);
    }
  }
  return out;
}

std::optional<int> DrawDayShift(LotteryCode lottery, int weekday, int hour) {
  const bool late = hour > 21;
  if (lottery == LotteryCode::Kl8) return 0;
  if (lottery == LotteryCode::DoubleColor) {
    switch (weekday) {
      case 1: return late ? 2 : 0;  // Sunday
      case 2: return 1;
      case 3: return late ? 2 : 0;  // Tuesday
      case 4: return 1;
      case 5: return late ? 3 : 0;  // Thursday
      case 6: return 2;
      case 7: return 1;
      default: return 0;
    }
  }
  if (lottery == LotteryCode::SevenStar) {
    switch (weekday) {
      case 1: return late ? 2 : 0;  // Sunday
      case 2: return 1;
      case 3: return late ? 3 : 0;  // Tuesday
      case 4: return 2;
      case 5: return 1;
      case 6: return late ? 2 : 0;  // Friday
      case 7: return 1;
      default: return 0;
    }
  }
  return std::nullopt;
}

std::optional<ClockTime> DrawClockTime(LotteryCode lottery) {
  switch (lottery) {
    case LotteryCode::Kl8: return ClockTime{21, 30};
    case LotteryCode::DoubleColor: return ClockTime{21, 15};
    case LotteryCode::SevenStar: return ClockTime{21, 25};
    default: return std::nullopt;
  }
}

void StampRequest(rg_QiGuaModel& r, CastMethod method, const Clock& clock, LotteryCode lottery) {
  if (method == CastMethod::Number) {
    // A reviewed number cast (id not 0) keeps its stored time, as time and
    // hand casts do, so it shows the numbers that were saved.
    if (!r.numberText.empty() && r.id == 0) r.castTime = clock.Now();
    return;
  }
  if (method != CastMethod::Time || r.id != 0) return;
  const double now = clock.Now();
  const int bias = clock.BiasMinutes();
  const std::int64_t c = UnixMs(now, bias);
  const auto shift = r.timeChoice == TimeChoice::NextDraw
                         ? DrawDayShift(lottery, SplitDate(now).weekday, SplitDate(now).hour)
                         : std::nullopt;
  const auto at = DrawClockTime(lottery);
  if (shift && at) {
    const DateParts day = SplitDate(AddDays(now, *shift));
    const double draw =
        MakeDate(day.year, day.month, day.day, at->hour, at->minute, SplitDate(now).second, 0);
    r.castTime = draw;
    // The draw time to the millisecond, with now's millisecond as the last
    // three digits.
    r.numberText = DecimalText(((c % 1000) + 1000) % 1000 + UnixMs(draw, bias));
  } else {
    r.castTime = now;
    r.numberText = DecimalText(c);
  }
}

HandLines LinesFromForms(const std::array<LineForm, 6>& forms) {
  HandLines out;
  for (int line = 1; line <= 6; ++line) {
    const LineForm f = forms[static_cast<size_t>(line - 1)];
    if (f == LineForm::Unset || static_cast<int>(f) > 4) {
      return HandLines{{}, {}, {}, line};
    }
    const int k = static_cast<int>(f);
    out.dong.push_back(k == 3 ? 1 : k == 4 ? -1 : 0);
    (line <= 3 ? out.lower : out.upper).push_back(k % 2 == 1 ? u'1' : u'0');
  }
  return out;
}

}  // namespace rg_com_ptl_xyh
