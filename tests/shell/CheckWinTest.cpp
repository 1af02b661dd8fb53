// 对奖 in the window: the dialog, the marks of the history list and the
// announcement after a refresh.
#include <json/json.h>
#include <sqlite3.h>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "draws/DrawPanel.h"
#include "history/DrawArchive.h"
#include "history/SavedCast.h"
#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "support/Child.h"
#include "support/GuiTest.h"
#include "support/ResultsPage.h"
#include "support/TestServer.h"

using namespace test_support;

namespace {

std::string CliJson(const std::string& args) {
  const std::string command = std::string(XYH_CLI_PATH) + " " + args + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  std::array<char, 4096> buf{};
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) out.append(buf.data(), n);
  pclose(pipe);
  return out;
}

constexpr auto Parse = &test_support::ParseJsonText;

struct CheckFixture {
  WindowFixture f;
  rg_HistoryPanel* history() { return f.window->MainPanel()->HistoryPanel(); }
  rg_CastPanel* cast() { return f.window->MainPanel()->CastPanel(); }

  void CastAndSave(const char* number, const QString& name) {
    cast()->MethodChoice()->Select(1);
    cast()->NumberEntry()->clear();
    QTest::keyClicks(cast()->NumberEntry(), number);
    cast()->ZodiacChoice()->Select(1);
    QTest::mouseClick(cast()->CalculateButton(), Qt::LeftButton);
    auto* box = qobject_cast<QLineEdit*>(history()->Name()->Box());
    box->clear();
    box->insert(name);
    QTest::mouseClick(history()->SaveButton(), Qt::LeftButton);
  }
  // The numbers a saved cast gives, as the checker derives them.
  DerivedNumbers NumbersOf(std::int64_t id) {
    rg_SavedCastDeriver deriver;
    return *deriver.Derive(f.store.Load(id));
  }
  rg_CheckWin* OpenCheck() {
    QTest::mouseClick(history()->CheckButton(), Qt::LeftButton);
    return f.window->CheckWindow();
  }
  void Select(int row) {
    QListView* list = history()->List();
    list->setCurrentIndex(history()->Model().index(row));
  }
  std::string Home() const { return " --home '" + f.home.path().string() + "'"; }
};

rg_DrawEntry Draw(const char16_t* issue, double date, std::vector<int> red, int blue) {
  rg_DrawEntry d;
  d.issue = issue;
  d.date = date;
  d.numbers = std::move(red);
  d.extra = {blue};
  return d;
}

}  // namespace

TEST(CheckWin, TheButtonSitsBesideHelp) {
  CheckFixture c;
  QPushButton* help = c.history()->HelpButton();
  QPushButton* check = c.history()->CheckButton();
  EXPECT_EQ(check->text(), "对奖");
  EXPECT_EQ(check->y(), help->y());
  EXPECT_EQ(check->x(), help->geometry().right() + 1 + 10);
  EXPECT_LE(check->geometry().right(), c.history()->width());
  // Nothing cast and nothing chosen: said in the status bar, no dialog.
  EXPECT_EQ(c.OpenCheck(), nullptr);
  EXPECT_TRUE(c.f.window->StatusPart(0)->text().startsWith("没有可对奖的演算结果"));
}

TEST(CheckWin, APendingCurrentResultNamesTheExpectedDrawDate) {
  CheckFixture c;  // the clock stands on Saturday 2024-06-01 08:30
  c.CastAndSave("58", "甲");
  c.history()->List()->clearSelection();
  rg_CheckWin* dialog = c.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->DrawText(), "待开奖, 预计开奖日期: 2024-06-02");
  EXPECT_TRUE(dialog->Result().check.pending);
  EXPECT_EQ(dialog->TierText(0), "待开奖");
  EXPECT_TRUE(dialog->ShownHits(0).isEmpty());
}

TEST(CheckWin, TheDialogShowsWhatTheCommandLineReports) {
  CheckFixture c;
  c.CastAndSave("58", "甲");
  c.f.clock.Set(MakeDate(2024, 6, 1, 21, 0, 0));
  c.CastAndSave("1234567", "乙");
  const auto played = PlayedNumbers(c.NumbersOf(1));
  ASSERT_GE(played.blues.size(), 1u);
  ASSERT_GE(played.tickets.size(), 2u);
  // Sunday's draw: four reds of 甲's first ticket, two of its second, and
  // its first blue.
  std::vector<int> red = {played.tickets[0][0], played.tickets[0][1], played.tickets[0][2],
                          played.tickets[0][3], played.tickets[1][0], played.tickets[1][1]};
  rg_DrawArchive archive(c.f.store);
  ASSERT_EQ(archive.Store(Draw(u"2024062", MakeDate(2024, 6, 2), red, played.blues[0]), 0),
            rg_DrawArchive::StoreResult::Added);

  c.Select(1);  // 甲, the older row
  rg_CheckWin* dialog = c.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  const Json::Value cli = Parse(CliJson("check 1 --json" + c.Home()))[0];
  ASSERT_EQ(cli["issue"].asString(), "2024062");
  EXPECT_TRUE(dialog->DrawText().contains("第2024062期 2024-06-02"))
      << dialog->DrawText().toStdString();
  const Json::Value& tickets = cli["tickets"];
  ASSERT_EQ(static_cast<int>(tickets.size()),
            static_cast<int>(dialog->Result().check.tickets.size()));
  for (Json::ArrayIndex t = 0; t < tickets.size(); ++t) {
    SCOPED_TRACE(t);
    QVector<int> hits;
    for (const Json::Value& h : tickets[t]["hits"]) hits.append(h.asInt());
    EXPECT_EQ(dialog->ShownHits(static_cast<int>(t)), hits);
    EXPECT_EQ(dialog->TierText(static_cast<int>(t)), ui::Q(TierName(tickets[t]["tier"].asInt())));
    EXPECT_EQ(dialog->PrizeText(static_cast<int>(t)),
              QString::number(tickets[t]["fixedPrize"].asInt()) + "元");
  }
  EXPECT_EQ(dialog->ShownHits(0).size(), 4);
  EXPECT_EQ(dialog->TierText(0), "四等奖");  // 4+1
  EXPECT_TRUE(dialog->BlueMarked(played.blues[0]));
  EXPECT_TRUE(dialog->TotalText().contains(QString::number(cli["fixedPrize"].asInt()) + "元"));
  EXPECT_TRUE(dialog->TotalText().contains("最高四等奖"));

  // 乙, cast on Saturday evening, meets the same draw; both agree on it too.
  c.Select(0);
  dialog = c.OpenCheck();
  const Json::Value second = Parse(CliJson("check 2 --json" + c.Home()))[0];
  EXPECT_EQ(second["issue"].asString(), "2024062");
  EXPECT_EQ(dialog->TotalText().contains("未中奖"), second["bestTier"].asInt() == 0);
}

TEST(CheckWin, WinningCastsAreMarkedInTheHistoryList) {
  CheckFixture c;
  c.CastAndSave("58", "甲");
  c.f.clock.Set(MakeDate(2024, 6, 3, 9, 0, 0));  // Monday: meets Tuesday's draw, not stored
  c.CastAndSave("58", "乙");
  const auto played = PlayedNumbers(c.NumbersOf(1));
  // 甲's id beyond 32 bits: cut to 32 bits it would be 1, which is gone.
  ASSERT_EQ(sqlite3_exec(c.f.store.Handle(), "UPDATE xyh_table SET _id=4294967297 WHERE _id=1;",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  rg_DrawArchive archive(c.f.store);
  archive.Store(Draw(u"2024062", MakeDate(2024, 6, 2), played.tickets[0],
                     played.blues.empty() ? 1 : played.blues[0]),
                0);
  c.f.window->FillHistory();
  QTRY_VERIFY_WITH_TIMEOUT(!c.f.window->PrizeWatch()->Busy(), 10000);
  rg_HistoryModel& model = c.history()->Model();
  ASSERT_EQ(model.rowCount(), 2);
  // Newest id first: row 0 is 甲 (first prize, or second without blues),
  // row 1 乙 (pending).
  EXPECT_EQ(model.Id(0), 4294967297);
  EXPECT_TRUE(model.index(0).data(Qt::DisplayRole).toString().startsWith("甲("));
  EXPECT_EQ(model.BestTier(0), played.blues.empty() ? 2 : 1);
  EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isNull());
  EXPECT_EQ(model.BestTier(1), 0);
  EXPECT_TRUE(model.index(1).data(Qt::DecorationRole).isNull());
  // The whole name, the note, the best tier, then the hint; no tier for
  // the pending cast.
  const QString tip = model.index(0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(model.index(0).data(Qt::DisplayRole).toString().toHtmlEscaped()))
      << tip.toStdString();
  EXPECT_TRUE(tip.contains(played.blues.empty() ? "<br>中奖: 二等奖<br>双击复盘查看</p>"
                                                : "<br>中奖: 一等奖<br>双击复盘查看</p>"))
      << tip.toStdString();
  EXPECT_FALSE(model.index(1).data(Qt::ToolTipRole).toString().contains("中奖"));
  EXPECT_TRUE(model.index(1).data(Qt::ToolTipRole).toString().endsWith("<br>双击复盘查看</p>"));

  // 对奖 on the highlighted item finds it by its full id.
  c.Select(0);
  rg_CheckWin* dialog = c.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(dialog->DrawText().contains("第2024062期")) << dialog->DrawText().toStdString();
  EXPECT_EQ(dialog->Result().check.bestTier, model.BestTier(0));
}

TEST(CheckWin, ARefreshThatBringsAWinningDrawSaysSo) {
  XYH_SKIP_WITHOUT_PING();
  rg_NetworkScope network;
  TempDir root;
  TestServer server(root.path());
  CheckFixture c;
  c.CastAndSave("58", "甲");  // Saturday morning: meets Sunday's draw 2024-06-02
  const auto played = PlayedNumbers(c.NumbersOf(1));
  std::ofstream(root.path() / "home.html", std::ios::binary)
      << ResultsPageWith(played.tickets[0], played.blues.empty() ? 1 : played.blues[0]);
  rg_MainPanel* panel = c.f.window->MainPanel();
  rg_DrawSources sources;
  sources.resultsHome = FromUtf8(server.Url("/files/home.html"));
  sources.probeHost = u"127.0.0.1";
  panel->SetDrawSources(sources);
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  QTRY_COMPARE_WITH_TIMEOUT(c.f.window->StatusPart(0)->text(),
                            QString("有1个已保存的演算中奖,请点对奖查看"), 10000);
  // The draw's own text has a part of its own and hides nothing.
  EXPECT_EQ(c.f.window->StatusPart(1)->text(), ui::Q(std::u16string(kDrawUpdatedMessage)));
  EXPECT_EQ(rg_DrawArchive(c.f.store).Count(101), 1u);
  QTRY_VERIFY_WITH_TIMEOUT(c.history()->Model().BestTier(0) > 0, 10000);

  // The same draw read again is nothing new and announces nothing.
  c.f.window->ShowStatus("状态:");
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  QTest::qWait(200);
  EXPECT_EQ(c.f.window->StatusPart(0)->text(), QString("状态:"));
  EXPECT_EQ(c.f.window->StatusPart(1)->text(), ui::Q(std::u16string(kDrawUpdatedMessage)));
}
