#include <gtest/gtest.h>

#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

TEST(DateTime, KnownSerialNumbers) {
  EXPECT_EQ(MakeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(MakeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(MakeDate(1970, 1, 1), 25569.0);
  EXPECT_EQ(MakeDate(2024, 1, 1), 45292.0);
  EXPECT_EQ(MakeDate(100, 1, 1), -657434.0);
  EXPECT_EQ(MakeDate(9999, 12, 31), 2958465.0);
  EXPECT_DOUBLE_EQ(MakeDate(1900, 1, 1, 12), 2.5);
}

TEST(DateTime, DatesBeforeTheEpochAddTheTimeOfDay) {
  EXPECT_DOUBLE_EQ(MakeDate(1899, 12, 29, 6), -1.25);
  const DateParts p = SplitDate(-1.25);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.hour, 6);
  EXPECT_EQ(DateToMs(-1.25), -kMsPerDay + kMsPerDay / 4);
}

TEST(DateTime, EveryDayOfYears100To9999RoundTrips) {
  // Also walks the weekday: each day is one after the previous.
  int expectedWeekday = 0;
  double previous = -1e9;
  for (int y = 100; y <= 9999; y += (y < 2100 ? 1 : 97)) {
    for (int m = 1; m <= 12; ++m) {
      for (int d = 1; d <= 31; ++d) {
        const double date = MakeDate(y, m, d);
        const DateParts p = SplitDate(date);
        if (p.day != d) {  // clamped: past the month's end
          EXPECT_GT(d, 28);
          continue;
        }
        ASSERT_EQ(p.year, y);
        ASSERT_EQ(p.month, m);
        if (date == previous + 1) {
          ASSERT_EQ(p.weekday, expectedWeekday % 7 + 1) << y << "-" << m << "-" << d;
        }
        expectedWeekday = p.weekday;
        previous = date;
      }
    }
  }
}

TEST(DateTime, WeekdaysAndLeapYears) {
  EXPECT_EQ(SplitDate(MakeDate(2024, 6, 1)).weekday, 7);  // Saturday
  EXPECT_EQ(SplitDate(MakeDate(2024, 6, 2)).weekday, 1);  // Sunday
  EXPECT_EQ(SplitDate(MakeDate(1899, 12, 30)).weekday, 7);
  EXPECT_EQ(SplitDate(MakeDate(2000, 2, 29)).day, 29);
  EXPECT_EQ(SplitDate(MakeDate(1900, 2, 29)).day, 28);  // 1900 is no leap year
  EXPECT_EQ(SplitDate(MakeDate(2023, 2, 31)).day, 28);
}

TEST(DateTime, PartsAreClampedToTheirRanges) {
  EXPECT_EQ(MakeDate(99, 0, 0), MakeDate(100, 1, 1));
  EXPECT_EQ(MakeDate(10000, 13, 32), MakeDate(9999, 12, 31));
  EXPECT_EQ(MakeDate(2024, 1, 1, 24, 60, 60, 1000), MakeDate(2024, 1, 1, 23, 59, 59, 999));
}

TEST(DateTime, SplitRoundsToTheMillisecondAndNeverTruncates) {
  const DateParts ten = SplitDate(MakeDate(2024, 3, 5, 10, 0, 0, 0));
  EXPECT_EQ(ten.hour, 10);
  EXPECT_EQ(ten.minute, 0);
  EXPECT_EQ(ten.second, 0);
  EXPECT_EQ(ten.millisecond, 0);
  // Every millisecond of a second in 2024 comes back as itself.
  for (int ms = 0; ms < 1000; ++ms) {
    const DateParts p = SplitDate(MakeDate(2024, 12, 31, 23, 59, 59, ms));
    ASSERT_EQ(p.millisecond, ms);
    ASSERT_EQ(p.second, 59);
  }
  // 999.6 ms rounds up into the next second, not down.
  const double almost = MakeDate(2024, 1, 1, 0, 0, 1) - 0.4 / kMsPerDay;
  EXPECT_EQ(SplitDate(almost).second, 1);
}

TEST(DateTime, UnixMillisecondsAddTheStandardBias) {
  EXPECT_EQ(UnixMs(MakeDate(1970, 1, 1), 0), 0);
  EXPECT_EQ(UnixMs(MakeDate(1970, 1, 1, 8), -480), 0);  // Beijing, UTC+8
  EXPECT_EQ(UnixMs(MakeDate(2024, 6, 1, 21, 15, 7, 250), -480), 1717247707250LL);
}

TEST(DateTime, AddDaysKeepsTheTimeOfDay) {
  const double t = MakeDate(2024, 2, 28, 22, 5, 17, 250);
  const DateParts p = SplitDate(AddDays(t, 2));
  EXPECT_EQ(p.month, 3);
  EXPECT_EQ(p.day, 1);
  EXPECT_EQ(p.millisecond, 250);
  EXPECT_EQ(SplitDate(AddDays(MakeDate(1899, 12, 31, 6), -3)).day, 28);
}

TEST(DateTime, DateTextDropsTrailingZeroParts) {
  EXPECT_EQ(DateText(MakeDate(2024, 6, 1, 21, 15, 7)), u"2024年6月1日21时15分7秒");
  EXPECT_EQ(DateText(MakeDate(2026, 12, 6, 15, 7, 3)), u"2026年12月6日15时7分3秒");
  EXPECT_EQ(DateText(MakeDate(2026, 12, 6, 15, 0, 3)), u"2026年12月6日15时0分3秒");
  EXPECT_EQ(DateText(MakeDate(2026, 12, 6, 15, 7, 0)), u"2026年12月6日15时7分");
  EXPECT_EQ(DateText(MakeDate(2026, 12, 6, 15)), u"2026年12月6日15时");
  EXPECT_EQ(DateText(MakeDate(2024, 5, 3)), u"2024年5月3日");
  EXPECT_EQ(DateText(MakeDate(2024, 5, 3, 0, 0, 0, 400)), u"2024年5月3日");
  EXPECT_EQ(DayText(MakeDate(2024, 5, 3, 14, 5, 9)), u"2024年5月3日");
  EXPECT_EQ(DateText(2958466.0), u"");
  EXPECT_EQ(DateText(-657435.0), u"");
  EXPECT_EQ(DateText(-657434.0), u"100年1月1日");
}

TEST(DateTime, ParsesTheHandCastTimeText) {
  EXPECT_EQ(ParseDateText(u"2026年12月6日15时7分3秒"), MakeDate(2026, 12, 6, 15, 7, 3));
  EXPECT_EQ(ParseDateText(u"2024年2月29日0时0分0秒"), MakeDate(2024, 2, 29));
  for (const char16_t* bad :
       {u"", u"2026年12月6日15时7分", u"2026年13月6日15时7分3秒", u"2023年2月29日1时1分1秒",
        u"x2026年12月6日15时7分3秒", u"2026年12月6日15时7分3秒x", u"20261年1月1日1时1分1秒"}) {
    EXPECT_EQ(ParseDateText(bad), kInvalidDate);
  }
}
