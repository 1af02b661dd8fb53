#include <gtest/gtest.h>

#include "engine/Analysis.h"
#include "history/YsModel.h"
#include "platform/DateTime.h"

using namespace rg_com_ptl_xyh;

TEST(YsModel, DongTextForms) {
  rg_YsModel r;
  EXPECT_EQ(r.DongText(), u"");
  r.dong = {0, 1, 0, 0, -1, 0};
  EXPECT_EQ(r.DongText(), u"0,1,0,0,-1,0");
  rg_YsModel read;
  read.AppendDongFromText(u"1,,-1");
  EXPECT_EQ(read.dong, (std::vector<int32_t>{1, -1}));
  read.AppendDongFromText(u"x,2,,");  // reading appends; junk reads as 0
  EXPECT_EQ(read.dong, (std::vector<int32_t>{1, -1, 0, 2}));
  rg_YsModel none;
  none.AppendDongFromText(u"");
  EXPECT_TRUE(none.dong.empty());
  none.AppendDongFromText(u"99999999999,+3, 4");
  EXPECT_EQ(none.dong, (std::vector<int32_t>{0, 3, 4}));  // out of range reads as 0
}

TEST(YsModel, SaveRecordFromAnAnalysis) {
  rg_GuaAnalysis a;
  a.method = CastMethod::Time;
  a.numberText = u"1717247707250";
  a.castTime = MakeDate(2026, 12, 6, 15, 7, 3);
  a.zodiac = 5;
  a.timeChoice = TimeChoice::NextDraw;
  a.moving = {0, 0, 1, 0, 0, 0};
  const rg_YsModel r = MakeSaveRecord(a, u"甲", u"备注");
  EXPECT_EQ(r._id, 0);
  EXPECT_EQ(r.ysname, u"甲(2026年12月6日15时7分3秒)");
  EXPECT_EQ(r.ysindex, 3);
  EXPECT_EQ(r.ysnumber, u"1717247707250");
  EXPECT_EQ(r.ysday, a.castTime);
  EXPECT_EQ(r.gzsxid, 5);
  EXPECT_EQ(r.rot, 2);
  EXPECT_EQ(r.DongText(), u"0,0,1,0,0,0");
  EXPECT_EQ(r.uinfo, u"备注");

  a.castTime = MakeDate(2026, 12, 6, 15);
  EXPECT_EQ(MakeSaveRecord(a, u"甲", u"").ysname, u"甲(2026年12月6日15时)");
  a.castTime = MakeDate(2024, 5, 3);
  a.moving.clear();
  const rg_YsModel midnight = MakeSaveRecord(a, u"甲", u"");
  EXPECT_EQ(midnight.ysname, u"甲(2024年5月3日)");
  EXPECT_EQ(midnight.DongText(), u"0,0,0,0,0,0");
  a.castTime = 3e6;  // outside the date range: no date text
  EXPECT_EQ(MakeSaveRecord(a, u"甲", u"").ysname, u"甲()");
}

TEST(YsModel, StoredChoicesCastOnlyWhenEveryNumberIsAChoice) {
  struct Row {
    std::int32_t ysindex;
    std::int32_t rot;
    bool casts;
  };
  const Row rows[] = {{1, 0, true},          {2, 0, true},          {3, 1, true},   {3, 2, true},
                      {1, 2, true},          {0, 0, false},         {-1, 0, false}, {4, 0, false},
                      {INT32_MIN, 0, false}, {INT32_MAX, 1, false}, {1, -1, false}, {3, 3, false},
                      {2, INT32_MIN, false}, {3, INT32_MAX, false}};
  for (const Row& row : rows) {
    rg_YsModel r;
    r._id = 7;
    r.ysindex = row.ysindex;
    r.ysnumber = u"58";
    r.ysday = MakeDate(2024, 6, 1, 10);
    r.gzsxid = 3;
    r.upstr = u"010";
    r.downstr = u"101";
    r.dong = {0, 1, 0, 0, -1, 0};
    r.rot = row.rot;
    const auto request = RequestOfRecord(r);
    ASSERT_EQ(request.has_value(), row.casts) << row.ysindex << " " << row.rot;
    if (!request) continue;
    EXPECT_EQ(request->id, 7);
    // Stored again it is the same row, name, note and id aside.
    rg_YsModel back = RecordOfRequest(*request);
    back._id = r._id;
    EXPECT_EQ(back, r);
    r.damage = "ysname 不能为空";  // the store's own verdict wins
    EXPECT_FALSE(RequestOfRecord(r).has_value());
  }
}
