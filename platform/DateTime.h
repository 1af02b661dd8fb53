#pragma once
// Local date-times as day counts: days since 1899-12-30 00:00 local time,
// the fraction being the time of day. Before 1899-12-30 the whole part
// counts days backwards and the fraction still adds the time of day
// (-1.25 is 1899-12-29 06:00), as automation dates always have.
#include <cstdint>
#include <string>

namespace rg_com_ptl_xyh {

constexpr std::int64_t kMsPerDay = 86'400'000;
// What an unparseable date turns into: 0100-01-01, the first valid day.
constexpr double kInvalidDate = -657434.0;

struct DateParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
  int weekday = 7;  // 1 = Sunday .. 7 = Saturday
};

// Milliseconds since 1899-12-30 00:00 on a straight time line, the day
// count first rounded to the nearest millisecond.
std::int64_t DateToMs(double date);
double MsToDate(std::int64_t ms);

DateParts SplitDate(double date);
// Each part is clamped to its range (year 100..9999, day within the month).
double MakeDate(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                int millisecond = 0);
double AddDays(double date, int days);

// Unix milliseconds of a local date-time with the zone's standard bias
// (UTC = local + bias minutes); daylight saving is deliberately left out.
std::int64_t UnixMs(double date, int biasMinutes);

// True inside the span automation dates can express (years 100..9999).
bool InDateRange(double date);

// "%d年%d月%d日", then the time as "%d时%d分%d秒", "%d时%d分" or "%d时"
// down to the last non-zero part; empty outside the date range.
std::u16string DateText(double date);
// "%d年%d月%d日" alone.
std::u16string DayText(double date);

// Reads the text the hand-cast dialog assembles, e.g.
// "2026年12月6日15时7分3秒"; kInvalidDate when it does not parse.
double ParseDateText(std::u16string_view text);

}  // namespace rg_com_ptl_xyh
