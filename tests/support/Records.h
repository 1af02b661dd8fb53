#pragma once
// Saved casts and draws as the store keeps them, with the fields a test is
// not about filled in the way the program fills them.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "history/YsModel.h"
#include "platform/DateTime.h"

namespace test_support {

// The lottery most tests are about.
inline constexpr rg_com_ptl_xyh::LotteryCode kSsq = rg_com_ptl_xyh::LotteryCode::DoubleColor;

// The number 58 cast for a 子 asker on 2024-06-01 08:30, no line marked; a
// test sets the fields it is about.
inline rg_com_ptl_xyh::rg_YsModel NumberCast(std::u16string name = {}, std::u16string note = {}) {
  rg_com_ptl_xyh::rg_YsModel r;
  r.ysname = std::move(name);
  r.ysindex = 1;
  r.ysnumber = u"58";
  r.ysday = rg_com_ptl_xyh::MakeDate(2024, 6, 1, 8, 30, 0);
  r.gzsxid = 1;
  r.dong = {0, 0, 0, 0, 0, 0};
  r.uinfo = std::move(note);
  return r;
}

// The saved cast stored under id; a failure of the test, and an empty
// record, when there is none or it cannot be read.
inline rg_com_ptl_xyh::rg_YsModel StoredCast(rg_com_ptl_xyh::rg_EasyDb& store, std::int64_t id) {
  auto loaded = store.Load(id);
  EXPECT_TRUE(loaded && *loaded) << "saved cast " << id << (loaded ? " not stored" : " not read");
  return loaded && *loaded ? std::move(**loaded) : rg_com_ptl_xyh::rg_YsModel{};
}

// A 双色球 draw: six reds and a blue.
inline rg_com_ptl_xyh::rg_DrawEntry SsqDraw(std::u16string issue, double date, std::vector<int> red,
                                            int blue) {
  rg_com_ptl_xyh::rg_DrawEntry e;
  e.issue = std::move(issue);
  e.date = date;
  e.numbers = std::move(red);
  e.extra = {blue};
  return e;
}

inline rg_com_ptl_xyh::rg_DrawEntry SsqDraw(std::u16string issue, int y, int m, int d,
                                            std::vector<int> red, int blue) {
  return SsqDraw(std::move(issue), rg_com_ptl_xyh::MakeDate(y, m, d), std::move(red), blue);
}

}  // namespace test_support
