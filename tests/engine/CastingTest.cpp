#include <gtest/gtest.h>

#include "engine/Casting.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"

using namespace rg_com_ptl_xyh;

namespace {
void ExpectCast(const char16_t* number, int hour, int u, int l, int m) {
  const auto c = NumberCast(number, (hour + 1) / 2);
  ASSERT_TRUE(c.has_value()) << ToUtf8(number);
  EXPECT_EQ(c->upper, u) << ToUtf8(number);
  EXPECT_EQ(c->lower, l) << ToUtf8(number);
  EXPECT_EQ(c->moving, m) << ToUtf8(number);
}
}  // namespace

TEST(NumberCast, LengthRules) {
  EXPECT_FALSE(NumberCast(u"", 3).has_value());
  ExpectCast(u"7", 0, 7, 8, 3);
  ExpectCast(u"7", 23, 7, 4, 5);
  ExpectCast(u"58", 10, 5, 8, 1);
  ExpectCast(u"123", 10, 1, 2, 3);
  ExpectCast(u"120", 10, 1, 4, 3);
  ExpectCast(u"100", 10, 2, 2, 6);
  ExpectCast(u"012", 10, 8, 4, 6);
  ExpectCast(u"305", 10, 6, 6, 5);
  ExpectCast(u"1234", 10, 3, 7, 4);
  ExpectCast(u"12345", 10, 3, 4, 6);
  // 13 digits: the first six sum to 22, the last seven to 11.
  ExpectCast(u"9940001010018", 10, 6, 3, 5);
  ExpectCast(u"1717247707250", 10, 6, 4, 4);
}

TEST(NumberCast, NonDigitsCountZero) {
  ExpectCast(u"a5", 10, 8, 5, 5);
  ExpectCast(u"9b", 10, 1, 8, 3);
}

TEST(ChangedCodes, MovingLineFlipsOneCharacter) {
  EXPECT_EQ(ChangedCodes(u"111", u"111", 1).lower, u"011");
  EXPECT_EQ(ChangedCodes(u"111", u"111", 3).lower, u"110");
  EXPECT_EQ(ChangedCodes(u"101", u"000", 4).upper, u"001");
  EXPECT_EQ(ChangedCodes(u"101", u"000", 4).lower, u"000");
  EXPECT_EQ(ChangedCodes(u"101", u"000", 0).upper, u"101");
  const CodePair p = ChangedCodes(u"010", u"101", std::vector<int>{1, 0, 0, 0, 0, -1});
  EXPECT_EQ(p.lower, u"001");
  EXPECT_EQ(p.upper, u"011");
  EXPECT_EQ(ChangedCodes(u"010", u"101", std::vector<int>(6, 0)).upper, u"010");
}

TEST(Validation, RefusalsInTheirOrder) {
  rg_QiGuaModel r;
  EXPECT_EQ(ValidateCast(r)->Code(), -1);
  EXPECT_EQ(ValidateCast(r)->message, u"未选择推算条件");
  r.method = CastMethod::Reset;
  EXPECT_EQ(ValidateCast(r)->Code(), -1);
  r.method = CastMethod::Number;
  EXPECT_EQ(ValidateCast(r)->message, u"未输入推算数字");
  r.numberText = u"58";
  EXPECT_EQ(ValidateCast(r)->Code(), -3);
  EXPECT_EQ(ValidateCast(r)->message, u"未选择卦主生肖");
  r.zodiac = 1;
  EXPECT_EQ(ValidateCast(r)->Code(), 1);
  EXPECT_EQ(ValidateCast(r)->message, u"按卦主生肖与数字测算");

  rg_QiGuaModel h;
  h.method = CastMethod::HandLines;
  h.zodiac = 3;
  EXPECT_EQ(ValidateCast(h)->message, u"未装好线下卦");
  h.upstr = u"010";
  h.downstr = u"101";
  h.dong = {0, 0, 0, 0, 0};
  EXPECT_EQ(ValidateCast(h)->Code(), -4);
  h.dong.push_back(1);
  EXPECT_EQ(ValidateCast(h)->Code(), 2);
  EXPECT_EQ(ValidateCast(h)->message, u"按卦主生肖与自己装载线下卦测算");
  h.zodiac = 0;
  EXPECT_EQ(ValidateCast(h)->Code(), -4);
  EXPECT_EQ(ValidateCast(h)->message, u"未选择卦主生肖");

  rg_QiGuaModel t;
  t.method = CastMethod::Time;
  EXPECT_EQ(ValidateCast(t)->message, u"未选择推演时间");
  t.timeChoice = TimeChoice::NextDraw;
  EXPECT_EQ(ValidateCast(t)->Code(), -5);
  t.zodiac = 12;
  EXPECT_EQ(ValidateCast(t)->message, u"按卦主生肖与超时空毫秒数测算");

  t.method = static_cast<CastMethod>(4);  // no list item has it
  EXPECT_FALSE(ValidateCast(t).has_value());
}

TEST(HandLines, FormsBecomeCodesAndMarks) {
  using F = LineForm;
  const HandLines h =
      LinesFromForms({F::MovingYang, F::Yin, F::Yang, F::MovingYin, F::Yang, F::Yin});
  EXPECT_EQ(h.lower, u"101");
  EXPECT_EQ(h.upper, u"010");
  EXPECT_EQ(h.dong, (std::vector<int>{1, 0, 0, -1, 0, 0}));
  EXPECT_EQ(h.unsetLine, 0);
  EXPECT_EQ(LinesFromForms({F::Unset, F::Yin, F::Yang, F::Yang, F::Yang, F::Yin}).unsetLine, 1);
  EXPECT_EQ(LinesFromForms({F::Yin, F::Yin, F::Yang, F::Yang, F::Yang, F::Unset}).unsetLine, 6);
  EXPECT_EQ(LinesFromForms({F::Yin, F::Unset, F::Yang, F::Unset, F::Yang, F::Unset}).unsetLine, 2);
}

namespace {
struct Stamped {
  double castTime;
  std::u16string number;
};
Stamped StampAt(double now, LotteryCode lottery, TimeChoice timeChoice = TimeChoice::NextDraw,
                int id = 0) {
  FixedClock clock(now, -480);
  rg_QiGuaModel r;
  r.method = CastMethod::Time;
  r.timeChoice = timeChoice;
  r.zodiac = 1;
  r.id = id;
  r.castTime = 123.0;
  r.numberText = u"42";
  StampRequest(r, CastMethod::Time, clock, lottery);
  return {r.castTime, r.numberText};
}
}  // namespace

TEST(TimeCast, DrawTimeShiftsOnEveryWeekday) {
  // 2024-06-02 is a Sunday. Expected day shift early (20:00) and late (22:00).
  struct Row {
    int early101, late101, early106, late106;
  };
  const Row rows[7] = {{0, 2, 0, 2}, {1, 1, 1, 1}, {0, 2, 0, 3}, {1, 1, 2, 2},
                       {0, 3, 1, 1}, {2, 2, 0, 2}, {1, 1, 1, 1}};
  for (int wd = 0; wd < 7; ++wd) {
    for (const bool late : {false, true}) {
      const double now = MakeDate(2024, 6, 2 + wd, late ? 22 : 20, 5, 17, 250);
      const Stamped s101 = StampAt(now, LotteryCode::DoubleColor);
      const Stamped s106 = StampAt(now, LotteryCode::SevenStar);
      const int d101 = late ? rows[wd].late101 : rows[wd].early101;
      const int d106 = late ? rows[wd].late106 : rows[wd].early106;
      EXPECT_EQ(s101.castTime, MakeDate(2024, 6, 2 + wd + d101, 21, 15, 17)) << wd << late;
      EXPECT_EQ(s106.castTime, MakeDate(2024, 6, 2 + wd + d106, 21, 25, 17)) << wd << late;
      EXPECT_EQ(s101.number, DecimalText(UnixMs(s101.castTime, -480) + 250));
      EXPECT_EQ(s101.number.size(), 13u);
    }
  }
}

TEST(TimeCast, ThursdayNightMovesToSunday) {
  const Stamped s = StampAt(MakeDate(2024, 6, 6, 22, 5, 17, 250), LotteryCode::DoubleColor);
  EXPECT_EQ(s.castTime, MakeDate(2024, 6, 9, 21, 15, 17));
  EXPECT_EQ(s.number.substr(10), u"250");
  EXPECT_EQ(StampAt(MakeDate(2024, 6, 6, 20, 0, 0), LotteryCode::DoubleColor).castTime,
            MakeDate(2024, 6, 6, 21, 15, 0));
  // 七星彩: Tuesday 21:59 keeps the day, 22:00 moves to Friday.
  EXPECT_EQ(StampAt(MakeDate(2024, 6, 4, 21, 59, 0), LotteryCode::SevenStar).castTime,
            MakeDate(2024, 6, 4, 21, 25, 0));
  EXPECT_EQ(StampAt(MakeDate(2024, 6, 4, 22, 0, 0), LotteryCode::SevenStar).castTime,
            MakeDate(2024, 6, 7, 21, 25, 0));
  // 快乐8 never moves.
  EXPECT_EQ(StampAt(MakeDate(2024, 6, 4, 23, 0, 0), LotteryCode::Kl8).castTime,
            MakeDate(2024, 6, 4, 21, 30, 0));
}

TEST(TimeCast, CurrentTimeAndUnknownLotteriesUseNow) {
  const double now = MakeDate(2024, 6, 1, 21, 15, 7, 250);
  const Stamped current = StampAt(now, LotteryCode::DoubleColor, TimeChoice::Now);
  EXPECT_EQ(current.castTime, now);
  EXPECT_EQ(current.number, u"1717247707250");
  const Stamped other = StampAt(now, LotteryCode::QiLeCai);  // no draw schedule
  EXPECT_EQ(other.castTime, now);
  EXPECT_EQ(other.number, u"1717247707250");
}

TEST(TimeCast, ReloadedRequestsKeepTheirTime) {
  const Stamped reloaded =
      StampAt(MakeDate(2024, 6, 1, 12), LotteryCode::DoubleColor, TimeChoice::NextDraw, 7);
  EXPECT_EQ(reloaded.castTime, 123.0);
  EXPECT_EQ(reloaded.number, u"42");

  FixedClock clock(MakeDate(2024, 6, 1, 12));
  rg_QiGuaModel n;
  n.method = CastMethod::Number;
  n.id = 7;
  n.numberText = u"58";
  n.castTime = 5.0;
  StampRequest(n, CastMethod::Number, clock, LotteryCode::DoubleColor);
  EXPECT_EQ(n.castTime, 5.0);  // a reviewed number cast keeps its saved moment
  n.id = 0;
  StampRequest(n, CastMethod::Number, clock, LotteryCode::DoubleColor);
  EXPECT_EQ(n.castTime, clock.Now());
}

TEST(Choices, OnlyTheirOwnNumbersBecomeChoices) {
  // Every number outside a choice's range is refused, not read as a default.
  for (const std::int64_t n :
       {std::int64_t{INT32_MIN}, std::int64_t{-5}, std::int64_t{-1}, std::int64_t{0},
        std::int64_t{1}, std::int64_t{2}, std::int64_t{3}, std::int64_t{4}, std::int64_t{99},
        std::int64_t{100}, std::int64_t{103}, std::int64_t{106}, std::int64_t{107},
        std::int64_t{INT32_MAX} + 101}) {
    const auto method = CastMethodOf(n);
    ASSERT_EQ(method.has_value(), n >= 1 && n <= 3) << n;
    if (method) {
      EXPECT_EQ(NumberOf(*method), n);
    }
    const auto time = TimeChoiceOf(n);
    ASSERT_EQ(time.has_value(), n >= 0 && n <= 2) << n;
    if (time) {
      EXPECT_EQ(NumberOf(*time), n);
    }
    const auto lottery = LotteryCodeOf(n);
    ASSERT_EQ(lottery.has_value(), n >= 100 && n <= 106) << n;
    if (lottery) {
      EXPECT_EQ(NumberOf(*lottery), n);
    }
  }
}
