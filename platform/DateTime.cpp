#include "platform/DateTime.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "platform/Utf.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's method).
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2));
}

// Known at compile time, so a date made while globals of other files are
// still being set up is already right.
constexpr std::int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int MonthLength(int y, int m) {
  static constexpr int kLen[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kLen[m - 1];
}

void AppendNumber(std::u16string& out, int v) { out += DecimalText(v); }

}  // namespace

std::int64_t DateToMs(double date) {
  if (!std::isfinite(date)) return 0;
  date = std::clamp(date, -1.0e7, 1.0e7);
  const double whole = std::trunc(date);
  const double fraction = std::fabs(date - whole);
  return static_cast<std::int64_t>(whole) * kMsPerDay +
         std::llround(fraction * static_cast<double>(kMsPerDay));
}

double MsToDate(std::int64_t ms) {
  const std::int64_t days = FloorDiv(ms, kMsPerDay);
  const std::int64_t rest = ms - days * kMsPerDay;
  const double fraction = static_cast<double>(rest) / static_cast<double>(kMsPerDay);
  return days >= 0 ? static_cast<double>(days) + fraction : static_cast<double>(days) - fraction;
}

DateParts SplitDate(double date) {
  const std::int64_t ms = DateToMs(date);
  const std::int64_t days = FloorDiv(ms, kMsPerDay);
  std::int64_t rest = ms - days * kMsPerDay;
  DateParts p;
  CivilFromDays(days + kEpochDays, p.year, p.month, p.day);
  p.millisecond = static_cast<int>(rest % 1000);
  rest /= 1000;
  p.second = static_cast<int>(rest % 60);
  rest /= 60;
  p.minute = static_cast<int>(rest % 60);
  p.hour = static_cast<int>(rest / 60);
  // Day 0 was a Saturday.
  p.weekday = static_cast<int>((days % 7 + 7 + 6) % 7) + 1;
  return p;
}

double MakeDate(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  year = std::clamp(year, 100, 9999);
  month = std::clamp(month, 1, 12);
  day = std::clamp(day, 1, MonthLength(year, month));
  hour = std::clamp(hour, 0, 23);
  minute = std::clamp(minute, 0, 59);
  second = std::clamp(second, 0, 59);
  millisecond = std::clamp(millisecond, 0, 999);
  const std::int64_t days =
      DaysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) - kEpochDays;
  const std::int64_t ms = days * kMsPerDay +
                          ((static_cast<std::int64_t>(hour) * 60 + minute) * 60 + second) * 1000 +
                          millisecond;
  return MsToDate(ms);
}

double AddDays(double date, int days) {
  return MsToDate(DateToMs(date) + static_cast<std::int64_t>(days) * kMsPerDay);
}

std::int64_t UnixMs(double date, int biasMinutes) {
  constexpr std::int64_t kUnixEpochMs = 25569 * kMsPerDay;
  return DateToMs(date) - kUnixEpochMs + static_cast<std::int64_t>(biasMinutes) * 60'000;
}

bool InDateRange(double date) { return date > -657435.0 && date < 2958466.0; }

std::u16string DayText(double date) {
  if (!InDateRange(date)) return {};
  const DateParts p = SplitDate(date);
  std::u16string out;
  AppendNumber(out, p.year);
  out += u"年";
  AppendNumber(out, p.month);
  out += u"月";
  AppendNumber(out, p.day);
  out += u"日";
  return out;
}

std::u16string DateText(double date) {
  std::u16string out = DayText(date);
  if (out.empty()) return out;
  const DateParts p = SplitDate(date);
  if (p.second != 0) {
    AppendNumber(out, p.hour);
    out += u"时";
    AppendNumber(out, p.minute);
    out += u"分";
    AppendNumber(out, p.second);
    out += u"秒";
  } else if (p.minute != 0) {
    AppendNumber(out, p.hour);
    out += u"时";
    AppendNumber(out, p.minute);
    out += u"分";
  } else if (p.hour != 0) {
    AppendNumber(out, p.hour);
    out += u"时";
  }
  return out;
}

double ParseDateText(std::u16string_view text) {
  static constexpr char16_t kUnits[] = u"年月日时分秒";
  int parts[6] = {};
  size_t pos = 0;
  for (int k = 0; k < 6; ++k) {
    const size_t maxDigits = k == 0 ? 4 : 2;
    size_t digits = 0;
    int value = 0;
    while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9' && digits < maxDigits) {
      value = value * 10 + (text[pos] - u'0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || pos >= text.size() || text[pos] != kUnits[k]) return kInvalidDate;
    ++pos;
    parts[k] = value;
  }
  if (pos != text.size()) return kInvalidDate;
  const int year = parts[0], month = parts[1], day = parts[2];
  if (year < 100 || month < 1 || month > 12 || day < 1 || day > MonthLength(year, month) ||
      parts[3] > 23 || parts[4] > 59 || parts[5] > 59) {
    return kInvalidDate;
  }
  return MakeDate(year, month, day, parts[3], parts[4], parts[5], 0);
}

}  // namespace rg_com_ptl_xyh
