#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <optional>

#include "history/DrawArchive.h"
#include "history/EasyDb.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/LockHolder.h"
#include "support/Records.h"
#include "support/StoreFile.h"
#include "support/TempDir.h"

using namespace rg_com_ptl_xyh;
using enum LotteryCode;
using namespace test_support;

namespace {

constexpr auto Bytes = &test_support::FileBytes;

struct ArchiveTest : ::testing::Test {
  TempDir dir;
  rg_EasyDb store;
  void SetUp() override { ASSERT_NE(store.Open(dir.path()), rg_EasyDb::OpenResult::Failed); }
  rg_DrawArchive Archive() { return rg_DrawArchive(store); }
  const double now = MakeDate(2026, 12, 7, 10, 0, 0);
};

TEST_F(ArchiveTest, StoresOneRowPerIssueAndLeavesTheHistoryTableAlone) {
  rg_DrawArchive archive = Archive();
  EXPECT_TRUE(archive.Draws(kSsq).empty());  // no table yet: nothing, no failure
  const auto a = SsqDraw(u"2026140", 2026, 12, 6, {3, 9, 14, 20, 27, 31}, 8);
  const auto b = SsqDraw(u"2026139", 2026, 12, 3, {1, 2, 3, 4, 5, 6}, 16);
  EXPECT_EQ(archive.Store(a, now), rg_DrawArchive::StoreResult::Added);
  EXPECT_EQ(archive.Store(b, now), rg_DrawArchive::StoreResult::Added);
  EXPECT_EQ(archive.Store(a, now + 1), rg_DrawArchive::StoreResult::Unchanged);
  auto changed = a;
  changed.extra = {9};
  EXPECT_EQ(archive.Store(changed, now), rg_DrawArchive::StoreResult::Conflict);

  const auto draws = archive.DoubleColorDraws();
  ASSERT_EQ(draws.size(), 2u);
  EXPECT_EQ(draws[0].issue, u"2026139");  // oldest first
  EXPECT_TRUE(draws[1].SameDraw(a));
  EXPECT_EQ(draws[1].storedAt, now);  // the second read changed nothing
  EXPECT_EQ(archive.Count(kSsq), 2u);
  EXPECT_EQ(archive.Count(QiLeCai), 0u);
  EXPECT_TRUE(store.List().empty());
}

// A row that does not read back as a draw is an error that names it, for
// every reader: never passed over, so no list, backup or count goes short
// without a word, and a re-import says which stored row is broken.
TEST_F(ArchiveTest, RowsEditedIntoNonsenseAreNotTrusted) {
  const struct {
    const char* row;
    const char* named;
  } cases[] = {
      {"(101,'2026002','2026-01-03','01 01 02 03 04 05','07',0)", "appears twice"},
      {"(101,'2026003','2026-02-30','01 02 03 04 05 06','07',0)", "\"2026-02-30\", no real date"},
      {"(101,'x','2026-01-05','01 02 03 04 05 06','07',0)", "\"x\" has no valid issue"},
      {"(101,'2026004','2026-01-05','abc','07',0)", "\"abc\" where a number belongs"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    ASSERT_EQ(
        sqlite3_exec(store.Handle(), "DROP TABLE IF EXISTS xyh_draws;", nullptr, nullptr, nullptr),
        SQLITE_OK);
    rg_DrawArchive archive = Archive();
    ASSERT_EQ(archive.Store(SsqDraw(u"2026001", 2026, 1, 1, {1, 2, 3, 4, 5, 6}, 7), now),
              rg_DrawArchive::StoreResult::Added);
    ASSERT_EQ(sqlite3_exec(store.Handle(),
                           (std::string("INSERT INTO xyh_draws VALUES ") + c.row + ";").c_str(),
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    archive.Draws(kSsq);
    EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Damaged);
    EXPECT_NE(archive.BadRow().find(c.named), std::string::npos) << archive.BadRow();
    archive.Export(kSsq);
    EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Damaged);
    const std::string issue = std::string(c.row).substr(6, std::string(c.row).find('\'', 6) - 6);
    if (issue != "x") {
      const auto again = archive.Import(
          kSsq, "issue,date,red,blue\n" + issue + ",2026-01-05,01 02 03 04 05 06,07\n", now);
      ASSERT_FALSE(again);
      EXPECT_NE(again.error().message.find(c.named), std::string::npos) << again.error().message;
    }
  }
}

// An issue is a number: any written form of a stored one is that draw.
TEST_F(ArchiveTest, AnIssueIsTheSameDrawInEveryForm) {
  rg_DrawArchive archive = Archive();
  const std::string line = ",2026-01-01,01 02 03 04 05 06,07\n";
  const auto first = archive.Import(kSsq, "issue,date,red,blue\n02026001" + line, now);
  ASSERT_TRUE(first) << first.error().message;
  const auto second = archive.Import(kSsq, "issue,date,red,blue\n2026001" + line, now);
  ASSERT_TRUE(second) << second.error().message;
  EXPECT_EQ(second->skipped, 1);
  ASSERT_EQ(archive.Draws(kSsq).size(), 1u);
  EXPECT_EQ(archive.Draws(kSsq)[0].issue, u"2026001");
  EXPECT_TRUE(archive.Find(kSsq, u"0002026001").value());
  // A form an older version stored is read in the normal form, once.
  ASSERT_EQ(sqlite3_exec(store.Handle(),
                         "INSERT INTO xyh_draws VALUES (101,'002026001','2026-01-01',"
                         "'01 02 03 04 05 06','07',0);",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(archive.Draws(kSsq).size(), 1u);
  EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Ok);

  const struct {
    LotteryCode lottery;
    std::u16string typed;
    std::optional<std::u16string> normal;
  } forms[] = {
      {kSsq, u"2026001", u"2026001"},
      {kSsq, u"0002026001", u"2026001"},
      {kSsq, u"26001", {}},
      {kSsq, u"20260001", {}},
      {kSsq, u"0000", {}},
      {DaLeTou, u"24062", u"24062"},
      {DaLeTou, u"024062", u"24062"},
      {DaLeTou, u"9001", u"09001"},
      {Fc3d, u"2024150", u"2024150"},
      {kSsq, u"2026a01", {}},
  };
  for (const auto& f : forms)
    EXPECT_EQ(NormalIssue(f.lottery, f.typed), f.normal) << NumberOf(f.lottery);
}

TEST(DrawFromPage, ReadsEachLotteryLayout) {
  auto ssq = DrawFromPage(kSsq, u"2024062", u"2024-06-02", u"030916192529", u"07");
  ASSERT_TRUE(ssq);
  EXPECT_EQ(ssq->numbers, (std::vector<int>{3, 9, 16, 19, 25, 29}));
  EXPECT_EQ(ssq->extra, std::vector<int>{7});
  EXPECT_EQ(DrawDateText(ssq->date), u"2024-06-02");

  auto kl8 = DrawFromPage(Kl8, u"第2024150期", u"2024-06-02",
                          u"0307091215182126303337414550556166707479", u"");
  ASSERT_TRUE(kl8);
  EXPECT_EQ(kl8->issue, u"2024150");
  EXPECT_EQ(kl8->numbers.size(), 20u);

  auto d3 = DrawFromPage(Fc3d, u"2024150", u"2024-06-02<!-- 周日 -->", u"407", u"");
  ASSERT_TRUE(d3);
  EXPECT_EQ(d3->numbers, (std::vector<int>{4, 0, 7}));
  auto dlt = DrawFromPage(DaLeTou, u"24062", u"2024-06-03", u"0611192733", u"0410");
  ASSERT_TRUE(dlt);
  EXPECT_EQ(dlt->extra, (std::vector<int>{4, 10}));
  auto qxc = DrawFromPage(SevenStar, u"24061", u"2024-06-02", u"825061", u"12");
  ASSERT_TRUE(qxc);
  EXPECT_EQ(qxc->extra, std::vector<int>{12});
  EXPECT_TRUE(DrawFromPage(PaiLie5, u"24150", u"2024-06-02", u"12345", u""));
  EXPECT_TRUE(DrawFromPage(QiLeCai, u"2024063", u"2024-06-01", u"02051114192328", u"17"));

  // What a failed or changed page gives is never archived.
  EXPECT_FALSE(DrawFromPage(kSsq, u"", u"", u"", u""));
  EXPECT_FALSE(DrawFromPage(kSsq, u"2024062", u"2024-06-02", u"0309161925", u"07"));    // five reds
  EXPECT_FALSE(DrawFromPage(kSsq, u"2024062", u"2024-06-02", u"030916192509", u"07"));  // repeated
  EXPECT_FALSE(DrawFromPage(kSsq, u"2024062", u"2024-06-02", u"030916192534", u"07"));  // 34
  EXPECT_FALSE(
      DrawFromPage(kSsq, u"2024062", u"2024-06-31", u"030916192529", u"07"));  // no such day
  EXPECT_FALSE(DrawFromPage(kSsq, u"2024062", u"2024-06-02", u"030916192529", u"17"));  // blue 17
  EXPECT_FALSE(DrawFromPage(QiLeCai, u"2024063", u"2024-06-01", u"02051114192328",
                            u"05"));  // special repeats
  EXPECT_FALSE(DrawFromPage(Fc3d, u"2024150", u"2024-06-02", u"407", u"1"));
}

// --- import and export ------------------------------------------------------

constexpr const char* kGood =
    "issue,date,red,blue\n"
    "2026140,2026-12-06,03 09 14 20 27 31,08\n"
    "2026139,2026-12-03,1 2 3 4 5 6,16\r\n"
    "\n";

TEST_F(ArchiveTest, ImportThenExportIsARoundTrip) {
  rg_DrawArchive archive = Archive();
  const auto first = archive.Import(kSsq, kGood, now);
  ASSERT_TRUE(first) << first.error().message;
  EXPECT_EQ(first->added, 2);
  const std::string exported = archive.Export(kSsq);
  EXPECT_EQ(exported,
            "issue,date,red,blue\n"
            "2026139,2026-12-03,01 02 03 04 05 06,16\n"
            "2026140,2026-12-06,03 09 14 20 27 31,08\n");

  // Into a second store: the same rows; into the first again: all skipped.
  TempDir other;
  rg_EasyDb second;
  ASSERT_NE(second.Open(other.path()), rg_EasyDb::OpenResult::Failed);
  rg_DrawArchive copy(second);
  ASSERT_TRUE(copy.Import(kSsq, exported, now));
  EXPECT_EQ(copy.Export(kSsq), exported);
  const auto again = archive.Import(kSsq, exported, now);
  ASSERT_TRUE(again);
  EXPECT_EQ(again->added, 0);
  EXPECT_EQ(again->skipped, 2);

  // Other lotteries keep their own layout; an empty blue column stays empty.
  ASSERT_TRUE(archive.Import(Fc3d, "issue,date,red,blue\n2024150,2024-06-02,4 0 7,\n", now));
  EXPECT_EQ(archive.Export(Fc3d), "issue,date,red,blue\n2024150,2024-06-02,04 00 07,\n");
  EXPECT_EQ(archive.Count(kSsq), 2u);
}

TEST_F(ArchiveTest, ImportRefusalsNameTheLineAndWriteNothing) {
  rg_DrawArchive archive = Archive();
  ASSERT_TRUE(
      archive.Import(kSsq, "issue,date,red,blue\n2026100,2026-09-01,01 02 03 04 05 06,07\n", now));
  store.Close();
  const auto file = rg_EasyDb::FileIn(dir.path());
  const std::string before = Bytes(file);
  ASSERT_NE(store.Open(dir.path()), rg_EasyDb::OpenResult::Failed);
  archive = Archive();

  const std::string ok1 = "2026140,2026-12-06,03 09 14 20 27 31,08\n";
  const struct {
    std::string body;  // after the header and one good line
    std::string expect;
  } cases[] = {
      {"2026141,2026-12-08,03 09 14 20 27,08\n",
       "line 3: red must hold 6 distinct numbers from 1 to 33"},
      {"2026141,2026-12-08,03 09 14 20 27 27,08\n", "line 3: red number 27 appears twice"},
      {"2026141,2026-12-08,3 09 14 20 27 03,08\n", "line 3: red number 3 appears twice"},
      {"2026141,2026-12-08,00 09 14 20 27 31,08\n", "line 3: red number 0 is outside 1 to 33"},
      {"2026141,2026-12-08,03 09 14 20 27 34,08\n", "line 3: red number 34 is outside 1 to 33"},
      {"2026141,2026-12-08,03 09 14 20 27 31,17\n", "line 3: blue number 17 is outside 1 to 16"},
      {"2026141,2026-12-08,03 09 14 20 27 31,\n", "line 3: blue must hold 1"},
      {"2026141,2026-12-08,03 09 14 20 27 31,01 02\n", "line 3: blue must hold 1"},
      {"2026141,2026-02-30,03 09 14 20 27 31,08\n",
       "line 3: the date \"2026-02-30\" is not a real date"},
      {"2026141,2026/12/08,03 09 14 20 27 31,08\n", "line 3: the date"},
      {"20261a1,2026-12-08,03 09 14 20 27 31,08\n", "line 3: the issue \"20261a1\""},
      {",2026-12-08,03 09 14 20 27 31,08\n", "line 3: the issue"},
      {"2026141,2026-12-08,03 09 14 20 27 131,08\n", "line 3: red: \"131\""},
      {"2026141,2026-12-08,03 09 14 20 27 31\n", "line 3: expected 4 fields"},
      {"\n\n2026141,2026-12-08,03 09 14 20 27 31,08,9\n", "line 5: expected 4 fields"},
      {"2026100,2026-09-01,01 02 03 04 05 06,08\n", "line 3: issue 2026100 is already stored"},
      {"2026140,2026-12-06,03 09 14 20 27 31,09\n", "line 3: issue 2026140 appears on line 2"},
      {"02026140,2026-12-06,03 09 14 20 27 31,09\n", "line 3: issue 2026140 appears on line 2"},
      {"02026100,2026-09-01,01 02 03 04 05 06,08\n", "line 3: issue 2026100 is already stored"},
      {"202614,2026-12-06,03 09 14 20 27 31,09\n", "line 3: the issue \"202614\" is no 双色球"},
      // Tomorrow may hold a draw (a late evening's import); nothing later.
      {"2026141,2026-12-09,03 09 14 20 27 31,08\n",
       "line 3: the date 2026-12-09 is after tomorrow"},
      {"2026141,9999-12-31,03 09 14 20 27 31,08\n",
       "line 3: the date 9999-12-31 is after tomorrow"},
      {"2003001,2003-02-22,03 09 14 20 27 31,08\n",
       "line 3: the date 2003-02-22 is before the first 双色球 draw"},
      {"2026141,1899-12-31,03 09 14 20 27 31,08\n",
       "line 3: the date \"1899-12-31\" is out of range"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.body);
    const auto r = archive.Import(kSsq, "issue,date,red,blue\n" + ok1 + c.body, now);
    ASSERT_FALSE(r);
    EXPECT_TRUE(r.error().refused);
    EXPECT_EQ(r.error().message.rfind(c.expect, 0), 0u) << r.error().message;
  }
  EXPECT_EQ(
      archive.Import(kSsq, "issue,date,blue,red\n" + ok1, now).error().message.rfind("line 1:", 0),
      0u);
  EXPECT_FALSE(archive.Import(kSsq, "", now));
  EXPECT_EQ(archive.Count(kSsq), 1u);
  store.Close();
  EXPECT_EQ(Bytes(file), before);
}

// The schedule, the issue's year and the order of the issues, each held
// against the draws stored before (written as they are, past the rules)
// and the lines of the same file; "" where the line is taken.
TEST_F(ArchiveTest, ADrawOutOfScheduleYearOrOrderIsRefused) {
  const struct {
    const char* name;
    LotteryCode lottery;
    std::vector<rg_DrawEntry> stored;
    std::string lines;  // after the header
    std::string expect;
  } cases[] = {
      {"a Sunday", kSsq, {}, "2026140,2026-12-06,1 2 3 4 5 6,7\n", ""},
      {"a Wednesday",
       kSsq,
       {},
       "2026100,2026-09-02,1 2 3 4 5 6,7\n",
       "line 2: the date 2026-09-02 is a Wednesday; 双色球 is drawn on Sunday, Tuesday and "
       "Thursday only"},
      {"a Monday",
       kSsq,
       {},
       "2024062,2024-06-03,1 2 3 4 5 6,7\n",
       "line 2: the date 2024-06-03 is a Monday"},
      {"the year of another date",
       kSsq,
       {},
       "2025001,2026-04-07,1 2 3 4 5 6,7\n",
       "line 2: the issue 2025001 is of the year 2025, but the date 2026-04-07 is in 2026"},
      {"a year's last issue", kSsq, {}, "2025151,2025-12-30,1 2 3 4 5 6,7\n", ""},
      {"a year's first issue", kSsq, {}, "2026001,2026-01-01,1 2 3 4 5 6,7\n", ""},
      {"next year's first issue a day early",
       kSsq,
       {},
       "2026001,2025-12-30,1 2 3 4 5 6,7\n",
       "line 2: the issue 2026001 is of the year 2026, but the date 2025-12-30 is in 2025"},
      {"last year's issue a day late",
       kSsq,
       {},
       "2025152,2026-01-01,1 2 3 4 5 6,7\n",
       "line 2: the issue 2025152 is of the year 2025"},
      {"a lower issue on a later day",
       kSsq,
       {SsqDraw(u"2026013", 2026, 1, 29, {1, 2, 3, 4, 5, 6}, 7)},
       "2026012,2026-02-08,1 2 3 4 5 6,7\n",
       "line 2: issue 2026012 on 2026-02-08 is out of order with the stored issue 2026013 on "
       "2026-01-29"},
      {"a higher issue on an earlier day",
       kSsq,
       {SsqDraw(u"2026012", 2026, 2, 8, {1, 2, 3, 4, 5, 6}, 7)},
       "2026013,2026-01-29,1 2 3 4 5 6,7\n",
       "line 2: issue 2026013 on 2026-01-29 is out of order with the stored issue 2026012"},
      {"two issues on one day",
       kSsq,
       {SsqDraw(u"2026013", 2026, 2, 1, {1, 2, 3, 4, 5, 6}, 7)},
       "2026014,2026-02-01,1 2 3 4 5 6,7\n",
       "line 2: issue 2026014 on 2026-02-01: the stored issue 2026013 is drawn on the same day"},
      {"in order between stored draws",
       kSsq,
       {SsqDraw(u"2026012", 2026, 1, 27, {1, 2, 3, 4, 5, 6}, 7),
        SsqDraw(u"2026014", 2026, 2, 1, {1, 2, 3, 4, 5, 6}, 7)},
       "2026013,2026-01-29,1 2 3 4 5 6,7\n",
       ""},
      {"out of order within the file",
       kSsq,
       {},
       "2026013,2026-01-29,1 2 3 4 5 6,7\n2026012,2026-02-01,1 2 3 4 5 6,7\n",
       "line 3: issue 2026012 on 2026-02-01 is out of order with line 2's issue 2026013"},
      {"one day twice within the file",
       kSsq,
       {},
       "2026013,2026-01-29,1 2 3 4 5 6,7\n2026014,2026-01-29,1 2 3 4 5 6,7\n",
       "line 3: issue 2026014 on 2026-01-29: line 2's issue 2026013 is drawn on the same day"},
      {"five digits", DaLeTou, {}, "26001,2026-01-03,1 2 3 4 5,1 2\n", ""},
      {"five digits of the year before",
       DaLeTou,
       {},
       "25001,2026-01-03,1 2 3 4 5,1 2\n",
       "line 2: the issue 25001 begins with the year 25, but the date 2026-01-03 is in 2026"},
      {"five digits at the year's end", DaLeTou, {}, "25150,2025-12-31,1 2 3 4 5,1 2\n", ""},
      {"five digits out of order",
       DaLeTou,
       {},
       "26002,2026-01-03,1 2 3 4 5,1 2\n26003,2026-01-01,"
       "1 2 3 4 5,1 2\n",
       "line 3: issue 26003 on 2026-01-01 is out of order with line 2's issue 26002"},
      {"seven digits where five are stored",
       DaLeTou,
       {},
       "26001,2026-01-03,1 2 3 4 5,1 2\n"
       "2026002,2026-01-05,1 2 3 4 5,1 2\n",
       "line 3: the issue 2026002 has 7 digits, but line 2's issue 26001 has 5"},
      {"seven digits of a five-digit lottery",
       DaLeTou,
       {},
       "2026001,2026-01-03,1 2 3 4 5,1 2\n",
       ""},
      {"a daily lottery's year",
       Kl8,
       {},
       "2025365,2026-01-01,1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20,\n",
       "line 2: the issue 2025365 is of the year 2025"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir home;
    rg_EasyDb db;
    ASSERT_NE(db.Open(home.path()), rg_EasyDb::OpenResult::Failed);
    rg_DrawArchive archive(db);
    for (rg_DrawEntry d : c.stored) {
      d.lottery = c.lottery;
      ASSERT_TRUE(archive.Store(d, now));
    }
    const std::size_t before = archive.Count(c.lottery);
    const auto r = archive.Import(c.lottery, "issue,date,red,blue\n" + c.lines, now);
    if (c.expect.empty()) {
      EXPECT_TRUE(r) << r.error().message;
      continue;
    }
    ASSERT_FALSE(r);
    EXPECT_TRUE(r.error().refused);
    EXPECT_EQ(r.error().message.rfind(c.expect, 0), 0u) << r.error().message;
    EXPECT_EQ(archive.Count(c.lottery), before);
    // Typed in, the same line is refused without its number; from a page too.
    const auto first = c.lines.substr(0, c.lines.find('\n'));
    std::vector<std::string> f;
    for (std::size_t at = 0, comma = 0; comma != std::string::npos; at = comma + 1)
      f.push_back(first.substr(at, (comma = first.find(',', at)) - at));
    if (c.expect.find("line 3") == std::string::npos) {
      const auto added = archive.Add(c.lottery, f[0], f[1], f[2], f[3], now);
      ASSERT_FALSE(added);
      EXPECT_EQ(added.error().message.rfind(c.expect.substr(8), 0), 0u) << added.error().message;
      rg_DrawEntry page;
      page.lottery = c.lottery;
      page.issue = FromUtf8(f[0]);
      page.date = *ParseDrawDate(f[1]);
      const auto placed = archive.CheckPlace(page);
      ASSERT_FALSE(placed);
      EXPECT_TRUE(placed.error().refused);
    }
  }
}

// The window says the same refusals in Chinese: no English word is left in
// them but the file's own header and the date's form.
TEST_F(ArchiveTest, RefusalsInChineseKeepNoEnglish) {
  rg_DrawArchive english = Archive();
  ASSERT_TRUE(english.Store(SsqDraw(u"2026013", 2026, 2, 1, {1, 2, 3, 4, 5, 6}, 7), now));
  rg_DrawArchive chinese(store, DrawWording::Chinese);
  const char* lines[] = {
      "2026100,2026-09-02,1 2 3 4 5 6,7",
      "2025001,2026-04-07,1 2 3 4 5 6,7",
      "2026012,2026-02-08,1 2 3 4 5 6,7",
      "2026014,2026-02-01,1 2 3 4 5 6,7",
      "2026141,2026-12-08,1 2 3 4 5,7",
      "2026141,2026-12-08,1 2 3 4 5 5,7",
      "2026141,2026-12-08,1 2 3 4 5 34,7",
      "2026141,2026-12-08,1 2 3 4 5 6,17",
      "2026141,2026-12-08,1 2 3 4 5 6,",
      "2026141,2026-02-30,1 2 3 4 5 6,7",
      "2026141,1899-12-31,1 2 3 4 5 6,7",
      "20261a1,2026-12-08,1 2 3 4 5 6,7",
      "202614,2026-12-08,1 2 3 4 5 6,7",
      "2026141,2026-12-08,1 2 3 4 5 x,7",
      "2026141,2026-12-08,1 2 3 4 5 6,y",
      "2026141,2026-12-08,1 2 3 4 5 6",
      "2026141,2026-12-20,1 2 3 4 5 6,7",
      "2003001,2003-02-20,1 2 3 4 5 6,7",
      "2026013,2026-02-01,1 2 3 4 5 6,8",
      "2026140,2026-12-06,1 2 3 4 5 6,7\n2026140,2026-12-06,1 2 3 4 5 6,8",
  };
  const auto english_word = [](const std::string& text) {
    std::string word;
    for (const char c : text + " ") {
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) {
        word += c;
      } else if (word.size() > 1 && word != "issue" && word != "date" && word != "red" &&
                 word != "blue" && word != "YYYY" && word != "MM" && word != "DD" && word != "x" &&
                 word != "y") {
        return word;
      } else {
        word.clear();
      }
    }
    return std::string();
  };
  for (const char* line : lines) {
    SCOPED_TRACE(line);
    const auto r = chinese.Import(kSsq, std::string("issue,date,red,blue\n") + line, now);
    ASSERT_FALSE(r);
    EXPECT_EQ(r.error().message.rfind("第 ", 0), 0u) << r.error().message;
    EXPECT_EQ(english_word(r.error().message), "") << r.error().message;
  }
  EXPECT_EQ(chinese.Import(kSsq, "issue,date,blue,red\n", now).error().message,
            "第 1 行:首行应是表头 issue,date,red,blue");
  EXPECT_EQ(chinese.Add(kSsq, "2026100", "2026-09-02", "1 2 3 4 5 6", "7", now).error().message,
            "开奖日期 2026-09-02 是星期三,双色球只在周日、周二、周四开奖");
  EXPECT_EQ(chinese.Add(kSsq, "2026100", "2026-09-01", "1,2", "7", now).error().message,
            "红球:\"1,2\" 含有逗号或换行;号码之间请用空格分隔");
}

// 删除 and 修改: a stored draw removed or corrected, in every stored form
// of its issue, checked against the other draws only.
TEST_F(ArchiveTest, AStoredDrawIsDeletedOrCorrected) {
  rg_DrawArchive archive = Archive();
  // As an older version took them: 2026012 dated after 2026013.
  ASSERT_TRUE(archive.Store(SsqDraw(u"2026011", 2026, 1, 25, {1, 2, 3, 4, 5, 6}, 7), now));
  ASSERT_TRUE(archive.Store(SsqDraw(u"02026012", 2026, 2, 8, {1, 2, 3, 4, 5, 6}, 7), now));
  ASSERT_TRUE(archive.Store(SsqDraw(u"2026013", 2026, 1, 29, {1, 2, 3, 4, 5, 6}, 7), now));

  // A correction is held to the rules, without the draw it replaces.
  const struct {
    const char* stored;
    const char* issue;
    const char* date;
    std::string expect;  // "" when it is taken
  } corrections[] = {
      {"2026012", "2026012", "2026-01-28", "the date 2026-01-28 is a Wednesday"},
      {"2026012", "2026012", "2026-02-01", "issue 2026012 on 2026-02-01 is out of order"},
      {"2026012", "2026013", "2026-01-27", "issue 2026013 is already stored"},
      {"2026099", "2026099", "2026-01-27", "no draw of lottery 101 with the issue 2026099"},
      {"2026012", "2026012", "2026-01-27", ""},
  };
  for (const auto& c : corrections) {
    SCOPED_TRACE(c.expect);
    const auto r =
        archive.Replace(kSsq, FromUtf8(c.stored), c.issue, c.date, "1 2 3 4 5 6", "7", now);
    if (c.expect.empty()) {
      ASSERT_TRUE(r) << r.error().message;
      EXPECT_EQ(r->added, 1);
    } else {
      ASSERT_FALSE(r);
      EXPECT_EQ(r.error().message.find(c.expect), 0u) << r.error().message;
    }
  }
  auto draws = archive.Draws(kSsq);
  ASSERT_EQ(draws.size(), 3u);
  EXPECT_EQ(draws[1].issue, u"2026012");
  EXPECT_EQ(DrawDateText(draws[1].date), u"2026-01-27");
  // The same again changes nothing; a changed issue leaves no old row.
  EXPECT_EQ(
      archive.Replace(kSsq, u"2026012", "2026012", "2026-01-27", "1 2 3 4 5 6", "7", now)->skipped,
      1);
  ASSERT_TRUE(archive.Replace(kSsq, u"2026013", "2026014", "2026-02-01", "1 2 3 4 5 6", "8", now));
  EXPECT_FALSE(*archive.Find(kSsq, u"2026013"));
  EXPECT_EQ((*archive.Find(kSsq, u"2026014"))->extra, std::vector<int>{8});

  EXPECT_TRUE(archive.Delete(kSsq, u"02026012"));
  EXPECT_FALSE(*archive.Find(kSsq, u"2026012"));
  const auto again = archive.Delete(kSsq, u"2026012");
  ASSERT_FALSE(again);
  EXPECT_TRUE(again.error().notFound);
  EXPECT_EQ(again.error().message, "no draw of lottery 101 with the issue 2026012 is stored");
  EXPECT_EQ(archive.Count(kSsq), 2u);
}

// A stored row that does not read back makes the archive damaged, as
// stats says: nothing is added to it, but the row itself can be deleted.
TEST_F(ArchiveTest, ADamagedRowRefusesWritesButCanBeDeleted) {
  rg_DrawArchive archive = Archive();
  ASSERT_TRUE(archive.Store(SsqDraw(u"2026011", 2026, 1, 25, {1, 2, 3, 4, 5, 6}, 7), now));
  store.Close();
  ExecSql(rg_EasyDb::FileIn(dir.path()), "UPDATE xyh_draws SET numbers='01 02 xx 04 05 06';");
  ASSERT_NE(store.Open(dir.path()), rg_EasyDb::OpenResult::Failed);
  archive = Archive();
  const auto added = archive.Add(kSsq, "2026140", "2026-12-06", "1 2 3 4 5 6", "7", now);
  ASSERT_FALSE(added);
  EXPECT_FALSE(added.error().refused);
  EXPECT_EQ(added.error().status, rg_StoreStatus::Damaged);
  EXPECT_NE(archive.BadRow().find("2026011"), std::string::npos) << archive.BadRow();
  EXPECT_FALSE(
      archive.Import(kSsq, "issue,date,red,blue\n2026140,2026-12-06,1 2 3 4 5 6,7\n", now));
  EXPECT_EQ(archive.Count(kSsq), 1u);
  EXPECT_TRUE(archive.Delete(kSsq, u"2026011"));
  EXPECT_TRUE(archive.Add(kSsq, "2026140", "2026-12-06", "1 2 3 4 5 6", "7", now));
}

TEST_F(ArchiveTest, ARefusedFirstImportDoesNotEvenCreateTheTable) {
  store.Close();
  const auto file = rg_EasyDb::FileIn(dir.path());
  const std::string before = Bytes(file);
  ASSERT_NE(store.Open(dir.path()), rg_EasyDb::OpenResult::Failed);
  EXPECT_FALSE(Archive().Import(kSsq, "issue,date,red,blue\n1,2026-12-06,1 2 3 4 5,6\n", now));
  store.Close();
  EXPECT_EQ(Bytes(file), before);
}

// An archive of 300 draws whose first leaf page of xyh_draws (the oldest
// issues) has a broken page header; the rest of the file is sound.
std::string DamageTheArchive(const TempDir& home, double now) {
  const auto file = rg_EasyDb::FileIn(home.path());
  long long root = 0;
  {
    rg_EasyDb db;
    db.Open(home.path());
    rg_DrawArchive archive(db);
    for (int i = 0; i < 300; ++i) {
      const auto issue = FromUtf8(std::to_string(2020001 + i));
      EXPECT_EQ(
          archive.Store(SsqDraw(issue.c_str(), 2020, 1, 1, {1, 2, 3, 4, 5, 6}, 1 + i % 16), now),
          rg_DrawArchive::StoreResult::Added);
    }
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db.Handle(), "SELECT rootpage FROM sqlite_master WHERE name='xyh_draws';",
                       -1, &s, nullptr);
    if (sqlite3_step(s) == SQLITE_ROW) root = sqlite3_column_int64(s, 0);
    sqlite3_finalize(s);
  }
  return test_support::BreakFirstLeaf(file, static_cast<size_t>(root));
}

TEST(ArchiveFaults, ADamagedFileIsReadAsFarAsItGoesAndNeverWritten) {
  TempDir home;
  const double now = MakeDate(2026, 12, 7, 10, 0, 0);
  const std::string before = DamageTheArchive(home, now);
  const auto file = rg_EasyDb::FileIn(home.path());
  rg_EasyDb store;
  ASSERT_EQ(store.Open(home.path()), rg_EasyDb::OpenResult::Damaged);
  rg_DrawArchive archive(store);
  const auto draws = archive.Draws(kSsq);
  EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Damaged);  // not the end of the rows
  EXPECT_LT(draws.size(), 300u);
  const auto fresh = SsqDraw(u"2026140", 2026, 12, 6, {3, 9, 14, 20, 27, 31}, 8);
  EXPECT_EQ(StatusOf(archive.Store(fresh, now)), rg_StoreStatus::Damaged);
  EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Damaged);
  const auto imported =
      archive.Import(kSsq, "issue,date,red,blue\n2026140,2026-12-06,3 9 14 20 27 31,8\n", now);
  ASSERT_FALSE(imported);
  EXPECT_FALSE(imported.error().refused);
  EXPECT_EQ(imported.error().status, rg_StoreStatus::Damaged);
  EXPECT_FALSE(archive.Import(QiLeCai, "issue,date,red,blue\n1,2026-12-06,1 2 3 4 5 6 7,8\n", now));
  store.Close();
  EXPECT_EQ(Bytes(file), before);
}

TEST(ArchiveFaults, ADamagedHistoryGetsNoTableOfDraws) {
  TempDir home;
  const auto file = rg_EasyDb::FileIn(home.path());
  {
    rg_EasyDb db;
    db.Open(home.path());
    ASSERT_TRUE(db.Save(test_support::NumberCast(u"甲")));
  }
  std::string bytes = Bytes(file);
  ASSERT_GE(bytes.size(), 8192u);
  bytes[4096] = 0x03;  // the history table's only page loses its type
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
  rg_EasyDb store;
  ASSERT_EQ(store.Open(home.path()), rg_EasyDb::OpenResult::Damaged);
  rg_DrawArchive archive(store);
  EXPECT_EQ(StatusOf(archive.Store(SsqDraw(u"2026140", 2026, 12, 6, {3, 9, 14, 20, 27, 31}, 8), 0)),
            rg_StoreStatus::Damaged);
  EXPECT_FALSE(
      archive.Import(kSsq, "issue,date,red,blue\n2026140,2026-12-06,3 9 14 20 27 31,8\n", 0));
  store.Close();
  EXPECT_EQ(Bytes(file), bytes);
}

TEST(ArchiveFaults, ALockedFileIsAnErrorNotAnEmptyArchive) {
  TempDir home;
  const double now = MakeDate(2026, 12, 7, 10, 0, 0);
  rg_EasyDb store;
  ASSERT_NE(store.Open(home.path()), rg_EasyDb::OpenResult::Failed);
  rg_DrawArchive archive(store);
  const auto a = SsqDraw(u"2026140", 2026, 12, 6, {3, 9, 14, 20, 27, 31}, 8);
  ASSERT_EQ(archive.Store(a, now), rg_DrawArchive::StoreResult::Added);
  {
    test_support::LockHolder lock(store.Path());
    ASSERT_TRUE(lock.Locked());
    EXPECT_TRUE(archive.Draws(kSsq).empty());
    EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Busy);
    EXPECT_EQ(StatusOf(archive.Store(SsqDraw(u"2026141", 2026, 12, 8, {1, 2, 3, 4, 5, 6}, 8), now)),
              rg_StoreStatus::Busy);
    EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Busy);
  }
  EXPECT_EQ(archive.Draws(kSsq).size(), 1u);
  EXPECT_EQ(archive.LastStatus(), rg_StoreStatus::Ok);
}

}  // namespace
