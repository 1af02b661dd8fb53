// The floating prize amounts stored with the draws: an archive made before
// they existed still reads and gets its columns at the first amount; draw
// files with and without the two columns import, all or nothing.
#include "history/DrawPrizes.h"

#include <gtest/gtest.h>

#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/Records.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

struct PrizesTest : ::testing::Test {
  TempDir dir;
  rg_EasyDb store;
  const double now = MakeDate(2026, 12, 7, 10, 0, 0);
  void SetUp() override {
    ASSERT_NE(store.Open(dir.path()), rg_EasyDb::OpenResult::Failed);
    ASSERT_TRUE(rg_DrawArchive(store).Import(kSsq,
                                             "issue,date,red,blue\n"
                                             "2026140,2026-12-03,01 02 03 04 05 06,07\n"
                                             "2026141,2026-12-06,10 11 12 13 14 15,16\n",
                                             now));
  }
  rg_PrizeAmounts Stored() {
    auto all = rg_DrawPrizes(store).All(kSsq);
    EXPECT_TRUE(all);
    return all.value_or(rg_PrizeAmounts{});
  }
};

TEST_F(PrizesTest, AnArchiveWithoutTheColumnsGetsThemAtTheFirstAmount) {
  EXPECT_TRUE(Stored().empty());  // read before the columns exist: all unknown
  const auto before = FileBytes(store.Path());
  const struct {
    const char* issue;
    rg_FloatingAmounts amounts;
    bool refused, notFound;
  } refusals[] = {
      {"2026139", {100, std::nullopt}, true, true},
      {"2026140", {0, std::nullopt}, true, false},
      {"2026140", {std::nullopt, 10'000'001}, true, false},
      {"2026140", {}, true, false},
  };
  rg_DrawPrizes prizes(store);
  for (const auto& r : refusals) {
    const auto set = prizes.Set(kSsq, FromUtf8(r.issue), r.amounts);
    ASSERT_FALSE(set) << r.issue;
    EXPECT_EQ(set.error().refused, r.refused) << r.issue;
    EXPECT_EQ(set.error().notFound, r.notFound) << r.issue;
  }
  EXPECT_EQ(FileBytes(store.Path()), before);  // nothing written, not even the columns
  ASSERT_TRUE(prizes.Set(kSsq, u"02026140", {5'000'000, std::nullopt}));
  ASSERT_TRUE(prizes.Set(kSsq, u"2026140", {std::nullopt, 120'000}));  // the first stays
  EXPECT_EQ(Stored(), (rg_PrizeAmounts{{u"2026140", {5'000'000, 120'000}}}));
  // The draws read as before, the amounts beside them.
  EXPECT_EQ(rg_DrawArchive(store).DoubleColorDraws().size(), 2u);
  const auto text = prizes.Export(kSsq);
  ASSERT_TRUE(text);
  EXPECT_EQ(*text,
            "issue,date,red,blue,first,second\n"
            "2026140,2026-12-03,01 02 03 04 05 06,07,5000000,120000\n"
            "2026141,2026-12-06,10 11 12 13 14 15,16,,\n");
}

TEST_F(PrizesTest, DrawFilesWithTheAmountColumns) {
  const struct {
    const char* name;
    std::string csv;
    const char* refusal;  // "" when it imports
    rg_PrizeAmounts after;
  } cases[] = {
      {"an old file", "issue,date,red,blue\n2026139,2026-12-01,20 21 22 23 24 25,01\n", "", {}},
      {"amounts, one empty",
       "issue,date,red,blue,first,second\n2026141,2026-12-06,10 11 12 13 14 15,16,,88000\n"
       "2026142,2026-12-08,01 02 03 04 05 07,03,6000000,\n",
       "",
       {{u"2026141", {std::nullopt, 88'000}}, {u"2026142", {6'000'000, std::nullopt}}}},
      {"a bad amount",
       "issue,date,red,blue,first,second\n2026142,2026-12-08,01 02 03 04 05 07,03,5.5,\n",
       "line 2: first: \"5.5\"",
       {}},
      {"five fields",
       "issue,date,red,blue,first,second\n2026142,2026-12-08,01 02 03 04 05 07,03,5\n",
       "line 2: expected 6 fields",
       {}},
      {"a bad draw after good amounts",
       "issue,date,red,blue,first,second\n2026142,2026-12-08,01 02 03 04 05 07,03,6000000,\n"
       "\n2026143,2026-12-10,01 02 03 04 05 05,03,,\n",
       "line 4: ",
       {}},
      {"the same issue twice with other amounts",
       "issue,date,red,blue,first,second\n2026142,2026-12-08,01 02 03 04 05 07,03,6000000,\n"
       "2026142,2026-12-08,01 02 03 04 05 07,03,6000001,\n",
       "line 3: issue 2026142 is given on line 2",
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir other;
    rg_EasyDb fresh;
    ASSERT_NE(fresh.Open(other.path()), rg_EasyDb::OpenResult::Failed);
    const auto imported = rg_DrawPrizes(fresh).Import(kSsq, c.csv, now);
    if (*c.refusal == '\0') {
      ASSERT_TRUE(imported) << imported.error().message;
    } else {
      ASSERT_FALSE(imported);
      EXPECT_TRUE(imported.error().refused);
      EXPECT_EQ(imported.error().message.rfind(c.refusal, 0), 0u) << imported.error().message;
      EXPECT_EQ(rg_DrawArchive(fresh).Count(kSsq), 0u);  // all or nothing
    }
    auto all = rg_DrawPrizes(fresh).All(kSsq);
    ASSERT_TRUE(all);
    EXPECT_EQ(*all, c.after);
  }
  // Onto a stored amount: the same one is no conflict, another one is.
  ASSERT_TRUE(rg_DrawPrizes(store).Set(kSsq, u"2026141", {700'000, std::nullopt}));
  const std::string head =
      "issue,date,red,blue,first,second\n2026141,2026-12-06,10 11 12 13 14 15,16,";
  EXPECT_TRUE(rg_DrawPrizes(store).Import(kSsq, head + "700000,\n", now));
  const auto conflict = rg_DrawPrizes(store).Import(kSsq, head + "700001,\n", now);
  ASSERT_FALSE(conflict);
  EXPECT_EQ(conflict.error().message,
            "line 2: issue 2026141 is stored with 一等奖 700000 yuan; this line has 700001");
}

TEST_F(PrizesTest, AnAmountEditedIntoNonsenseIsADamagedRow) {
  ASSERT_TRUE(rg_DrawPrizes(store).Set(kSsq, u"2026140", {5'000'000, std::nullopt}));
  ExecSql(store.Path(), "UPDATE xyh_draws SET prize2='lots' WHERE issue='2026140';");
  const auto all = rg_DrawPrizes(store).All(kSsq);
  ASSERT_FALSE(all);
  EXPECT_EQ(all.error().status, rg_StoreStatus::Damaged);
  EXPECT_NE(all.error().message.find("2026140"), std::string::npos);
}

}  // namespace
