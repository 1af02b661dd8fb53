#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "draws/DrawScraper.h"
#include "draws/DrawStore.h"
#include "history/EasyDb.h"
#include "net/HttpClient.h"
#include "platform/DateTime.h"
#include "platform/Utf.h"
#include "support/Records.h"
#include "support/TempDir.h"
#include "support/TestServer.h"

using namespace rg_com_ptl_xyh;
using enum LotteryCode;
using namespace test_support;

namespace {

rg_NetworkScope network;

std::string Data(const char* name) {
  return test_support::FileBytes(std::string(XYH_TEST_DATA) + "/" + name);
}

rg_DrawRecord Row(LotteryCode code, const std::string& body) {
  const rg_Lottery* l = FindLottery(code);
  return parseDrawTableRow(l->section, l->row, l->name, l->ballClass, &body);
}

}  // namespace

TEST(DrawTable, EveryLotteryOfARealisticPage) {
  const std::string page = Data("results_home.html");
  const rg_DrawRecord ssq = Row(kSsq, page);
  EXPECT_EQ(ssq.status, 200);
  EXPECT_EQ(ssq.name, u"双色球");
  EXPECT_EQ(ssq.issue, u"2024062");  // own text: the <em> is left out
  EXPECT_EQ(ssq.date, u"2024-06-02");
  EXPECT_EQ(ssq.numbers, u"030916192529");
  EXPECT_EQ(ssq.extra, u"07");
  EXPECT_EQ(ssq.error, u"");
  EXPECT_EQ(ShownNumbers(*FindLottery(kSsq), ssq), u"03091619252907");

  const rg_DrawRecord qlc = Row(QiLeCai, page);
  EXPECT_EQ(qlc.numbers, u"02051114192328");
  EXPECT_EQ(qlc.extra, u"17");
  EXPECT_EQ(Row(Fc3d, page).numbers, u"407");
  const rg_DrawRecord dlt = Row(DaLeTou, page);
  EXPECT_EQ(dlt.issue, u"24062");
  EXPECT_EQ(dlt.numbers, u"0611192733");
  EXPECT_EQ(dlt.extra, u"0410");
  EXPECT_EQ(ShownNumbers(*FindLottery(DaLeTou), dlt), u"0611192733");
  EXPECT_EQ(Row(PaiLie5, page).numbers, u"12345");
  const rg_DrawRecord qxc = Row(SevenStar, page);
  EXPECT_EQ(ShownNumbers(*FindLottery(SevenStar), qxc), u"8250619");
}

TEST(DrawTable, FailuresAndMissingRows) {
  const rg_DrawRecord none = parseDrawTableRow(1, 3, u"双色球", u"red", nullptr);
  EXPECT_EQ(none.status, -200);
  EXPECT_EQ(none.error, u"body is null");
  const std::string empty;
  const rg_DrawRecord nothing = parseDrawTableRow(1, 3, u"双色球", u"red", &empty);
  EXPECT_EQ(nothing.status, -100);
  EXPECT_EQ(nothing.error, u"body error");
  const std::string page = Data("results_home.html");
  const rg_DrawRecord missing = parseDrawTableRow(3, 3, u"双色球", u"red", &page);
  EXPECT_EQ(missing.status, -80);
  EXPECT_EQ(missing.issue, u"");
  EXPECT_EQ(missing.date, u"");
  EXPECT_EQ(missing.numbers, u"");
  EXPECT_EQ(missing.extra, u"");
}

TEST(DrawTable, ASpanWithTwoClassesIsNotARedBall) {
  const std::string page =
      "<table class=kjtable><tbody><tr><td>x</td></tr><tr><td>x</td></tr>"
      "<tr><td>双色球</td><td></td><td>1</td><td>d</td><td><span class=red>01</span>"
      "<span class='red big'>02</span><span class=blue>03</span></td></tr></tbody></table>";
  const rg_DrawRecord r = Row(kSsq, page);
  EXPECT_EQ(r.numbers, u"01");
  EXPECT_EQ(r.extra, u"0203");
}

TEST(Kl8, TheExactDivOnly) {
  const rg_DrawRecord r = parseKl8Page(Data("kl8.html"));
  EXPECT_EQ(r.status, 200);
  EXPECT_EQ(r.name, u"快乐8");
  EXPECT_EQ(r.issue, u"第2024150期");
  EXPECT_EQ(r.date, u"2024-06-02");
  EXPECT_EQ(r.numbers.size(), 40u);
  EXPECT_EQ(r.numbers.substr(0, 6), u"030709");
  // No div of class exactly "more-time-cont": nothing, but no failure.
  std::string other = Data("kl8.html");
  for (size_t at; (at = other.find("\"more-time-cont\"")) != std::string::npos;)
    other.replace(at, 16, "\"more-time-cont x\"");
  const rg_DrawRecord none = parseKl8Page(other);
  EXPECT_EQ(none.status, 200);
  EXPECT_EQ(none.name, u"");
  EXPECT_EQ(none.numbers, u"");
  EXPECT_EQ(parseKl8Page("").status, -200);
  EXPECT_EQ(parseKl8Page("").error, u"body error");
}

TEST(DrawCycle, AgainstALoopbackServer) {
  XYH_SKIP_WITHOUT_PING();
  TempDir root;
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                             root.path() / "home.html");
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/kl8.gb2312.html",
                             root.path() / "kl8.html");
  TestServer server(root.path());
  rg_DrawSources sources;
  sources.resultsHome = server.Url16("/files/home.html");
  sources.kl8History = server.Url16("/files/kl8.html");
  sources.probeHost = u"127.0.0.1";

  EXPECT_EQ(FromUtf8(fetchResultsHome(sources)), FromUtf8(Data("results_home.html")));
  const rg_DrawCycle ssq = RunDrawCycle(kSsq, sources);
  EXPECT_TRUE(ssq.online);
  EXPECT_TRUE(ssq.parsed);
  EXPECT_EQ(ssq.record.status, 200);
  EXPECT_EQ(ssq.record.numbers, u"030916192529");
  const rg_DrawCycle kl8 = RunDrawCycle(Kl8, sources);
  EXPECT_EQ(kl8.record.issue, u"第2024150期");

  // A page that is not there: an empty body, so "body error".
  sources.resultsHome = server.Url16("/status/404");
  EXPECT_EQ(fetchResultsHome(sources), "");
  EXPECT_EQ(RunDrawCycle(kSsq, sources).record.status, -100);

  sources.probeHost = u"no-such-host.invalid";
  const rg_DrawCycle offline = RunDrawCycle(kSsq, sources);
  EXPECT_FALSE(offline.online);
  EXPECT_FALSE(offline.parsed);
  EXPECT_FALSE(probeNetwork(u"-c 5"));  // never an option
}

// A page is held to the dates an import is: a draw it dates after tomorrow,
// or a 双色球 before the first one, is never stored, so it can never become
// the target of later casts; nor one off the schedule, of another year than
// its issue, or out of order with the stored draws.
TEST(ArchiveDraw, APageDrawIsStoredOnlyWithADateThatCanBe) {
  const test_support::TempDir home;
  rg_EasyDb store;
  ASSERT_NE(store.Open(home.path()), rg_EasyDb::OpenResult::Failed);
  rg_DrawArchive archive(store);
  const struct {
    const char16_t* issue;
    const char16_t* date;
    double now;
    bool stored;
  } cases[] = {
      {u"2026141", u"2026-12-06", MakeDate(2026, 12, 4, 21, 30), false},  // after tomorrow
      {u"2026141", u"2026-12-06", MakeDate(2026, 12, 5, 21, 30), true},
      {u"2003001", u"2003-02-16", MakeDate(2026, 12, 5), false},  // before 2003-02-23
      {u"2026140", u"2026-12-02", MakeDate(2026, 12, 5), false},  // a Wednesday
      {u"2025140", u"2026-12-03", MakeDate(2026, 12, 5), false},  // last year's issue
      {u"2026142", u"2026-12-03", MakeDate(2026, 12, 5), false},  // after 2026141, before its day
      {u"2026140", u"2026-12-06", MakeDate(2026, 12, 7), false},  // 2026141's day
      {u"2026140", u"2026-12-03", MakeDate(2026, 12, 5), true},
  };
  for (const auto& c : cases) {
    rg_DrawRecord r;
    r.issue = c.issue;
    r.date = c.date;
    r.numbers = u"030916192529";
    r.extra = u"07";
    const auto outcome = ArchiveDraw(archive, kSsq, r, c.now);
    EXPECT_EQ(outcome == rg_DrawArchive::StoreResult::Added, c.stored) << ToUtf8(c.date);
    EXPECT_EQ(outcome.has_value(), c.stored) << ToUtf8(c.date);
    // A refused page is "invalid", never "failed" (the store is not at fault).
    EXPECT_STREQ(ArchiveOutcomeName(outcome), c.stored ? "added" : "invalid");
  }
  EXPECT_EQ(archive.Count(kSsq), 2u);
}
