// 对奖 in the window: the dialog, the marks of the history list and the
// announcement after a refresh.
#include <json/json.h>
#include <sqlite3.h>
#include <QDateEdit>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QTest>

#include <array>
#include <fstream>
#include <sstream>

#include "draws/DrawPanel.h"
#include "history/DrawArchive.h"
#include "history/SavedCast.h"
#include "history/SqlStatement.h"
#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/CheckWin.h"
#include "shell/panels/DrawEntryWin.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/TrendChart.h"
#include "shell/panels/TrendWin.h"
#include "support/Child.h"
#include "support/GuiTest.h"
#include "support/Records.h"
#include "support/ResultsPage.h"
#include "support/TestServer.h"

using namespace test_support;

namespace {

std::string CliJson(const std::string& args) { return Cli(args, CliStderr::kDropped).out; }

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
    return *deriver.Derive(test_support::StoredCast(f.store, id));
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

constexpr auto Draw = [](const char16_t* issue, double date, std::vector<int> red, int blue) {
  return SsqDraw(issue, date, std::move(red), blue);
};

// The draw before Sunday's 2024062, so that the archive vouches for it.
void StoreThursday(rg_DrawArchive& archive) {
  ASSERT_EQ(archive.Store(Draw(u"2024061", MakeDate(2024, 5, 30), {1, 2, 3, 4, 5, 6}, 16), 0),
            rg_DrawArchive::StoreResult::Added);
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

// 对奖 checks what the user is looking at: a new cast clears the list's
// highlight; a reviewed or just saved result counts as that saved cast.
// A row someone edited by hand casts nothing, so it never wins.
TEST(CheckWin, ADamagedRowCarriesNoWinnerMark) {
  CheckFixture c;
  rg_DrawArchive archive(c.f.store);
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(archive.Store(Draw(ui::U(QString::number(2024070 + i)).c_str(),
                                 MakeDate(2024, 6, 2) + 2 * i, {1, 2, 3, 4, 5, 6}, 1 + i % 16),
                            0),
              rg_DrawArchive::StoreResult::Added);
  }
  ASSERT_TRUE(ExecuteSql(
      c.f.store.Handle(),
      u"INSERT INTO xyh_table (ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot,uinfo) "
      u"VALUES ('坏',1,'12abc',45444.5,99,'','','0,0,0,0,0,0',0,'');"));
  ASSERT_FALSE(test_support::StoredCast(c.f.store, 1).damage.empty());
  c.f.window->FillHistory();
  QTRY_VERIFY_WITH_TIMEOUT(!c.f.window->PrizeWatch()->Busy(), 10000);
  EXPECT_EQ(c.history()->Model().BestTier(0), 0);
  EXPECT_TRUE(c.f.window->PrizeWatch()->Winners().isEmpty());
}

TEST(CheckWin, ItChecksTheCastOnScreen) {
  CheckFixture c;
  const auto subject = [&c]() -> QString {
    rg_CheckWin* dialog = c.OpenCheck();
    if (dialog == nullptr) return QStringLiteral("(no dialog)");
    QString first;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
      if (label->text().startsWith("演算: ")) first = label->text();
    }
    dialog->close();
    return first;
  };
  c.CastAndSave("58", "甲");
  const QString saved = c.history()->Model().index(0).data().toString();
  // Just saved: the result on screen is that saved cast.
  EXPECT_EQ(subject(), "演算: " + saved);
  // A single click on the saved cast, then a new cast: the new result.
  QApplication::processEvents();
  const QRect row = c.history()->List()->visualRect(c.history()->Model().index(0));
  QTest::mouseClick(c.history()->List()->viewport(), Qt::LeftButton, {}, row.center());
  ASSERT_NE(c.history()->SelectedId(), 0);
  c.cast()->NumberEntry()->clear();
  QTest::keyClicks(c.cast()->NumberEntry(), "59");
  QTest::mouseClick(c.cast()->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(c.history()->SelectedId(), 0);
  EXPECT_EQ(subject(), "演算: 当前演算结果");
  // A review by double-click: the saved cast again, under its name.
  QTest::mouseClick(c.history()->List()->viewport(), Qt::LeftButton, {}, row.center());
  QTest::mouseDClick(c.history()->List()->viewport(), Qt::LeftButton, {}, row.center());
  EXPECT_EQ(c.history()->SelectedId(), 0);
  EXPECT_EQ(subject(), "演算: " + saved);
  // The reviewed cast cast again for another sign is no longer it.
  c.cast()->ZodiacChoice()->Select(2);
  QTest::mouseClick(c.cast()->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(subject(), "演算: 当前演算结果");
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
  StoreThursday(archive);
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
  StoreThursday(archive);
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
  // The other rows keep the mark's room with an empty picture.
  const QIcon blank = qvariant_cast<QIcon>(model.index(1).data(Qt::DecorationRole));
  EXPECT_FALSE(blank.isNull());
  EXPECT_NE(blank.cacheKey(), WinnerIcon().cacheKey());
  EXPECT_EQ(blank.pixmap(16, 16).toImage().pixelColor(8, 8).alpha(), 0);
  // The whole name, the note, the best tier, then the hint; no tier for
  // the pending cast.
  const QString tip = model.index(0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(model.index(0).data(Qt::DisplayRole).toString().toHtmlEscaped()))
      << tip.toStdString();
  EXPECT_TRUE(tip.contains(played.blues.empty() ? "中奖: 二等奖<br>双击复盘查看</p>"
                                                : "中奖: 一等奖<br>双击复盘查看</p>"))
      << tip.toStdString();
  EXPECT_FALSE(model.index(1).data(Qt::ToolTipRole).toString().contains("中奖"));
  EXPECT_TRUE(model.index(1).data(Qt::ToolTipRole).toString().endsWith("双击复盘查看</p>"));

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
  rg_DrawArchive archive(c.f.store);
  StoreThursday(archive);
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
  EXPECT_EQ(rg_DrawArchive(c.f.store).Count(kSsq), 2u);
  QTRY_VERIFY_WITH_TIMEOUT(c.history()->Model().BestTier(0) > 0, 10000);

  // The same draw read again is nothing new and announces nothing.
  c.f.window->ShowStatus("状态:");
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  QTest::qWait(200);
  EXPECT_EQ(c.f.window->StatusPart(0)->text(), QString("状态:"));
  EXPECT_EQ(c.f.window->StatusPart(1)->text(), ui::Q(std::u16string(kDrawUpdatedMessage)));
}

// The archive lacks 2024061 (Thursday 2024-05-30): a cast of Saturday
// 2024-06-01 meets Sunday's 2024062, which the archive cannot vouch for.
TEST(CheckWin, AMissingCastIsShownAsTheCommandLineSaysAndFilledInPlace) {
  CheckFixture c;
  c.CastAndSave("58", "甲");
  const auto played = PlayedNumbers(c.NumbersOf(1));
  rg_DrawArchive archive(c.f.store);
  archive.Store(Draw(u"2024060", MakeDate(2024, 5, 28), {1, 2, 3, 4, 5, 6}, 16), 0);
  // Sunday's draw is 甲's first ticket: a prize, were it scored.
  archive.Store(Draw(u"2024062", MakeDate(2024, 6, 2), played.tickets[0],
                     played.blues.empty() ? 1 : played.blues[0]),
                0);
  // Added as the user would: neither marked nor announced.
  c.f.window->ShowStatus("状态:");
  c.f.window->DrawsChanged();
  QTRY_VERIFY_WITH_TIMEOUT(!c.f.window->PrizeWatch()->Busy(), 10000);
  EXPECT_EQ(c.history()->Model().BestTier(0), 0);
  EXPECT_EQ(c.f.window->StatusPart(0)->text(), QString("状态:"));

  c.Select(0);
  rg_CheckWin* dialog = c.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  const Json::Value cli = Parse(CliJson("check 1 --json" + c.Home()))[0];
  EXPECT_EQ(cli["status"].asString(), "missing");
  EXPECT_EQ(dialog->Result().status, rg_CastStatus::Missing);
  EXPECT_EQ(dialog->DrawText(), QString("开奖数据缺失: 第%1期未收录")
                                    .arg(QString::fromStdString(cli["missingIssue"].asString())));
  EXPECT_EQ(dialog->TierText(0), "未对奖");
  EXPECT_TRUE(dialog->ShownHits(0).isEmpty());
  EXPECT_EQ(static_cast<int>(cli["tickets"].size()),
            static_cast<int>(dialog->Result().check.tickets.size()));
  ASSERT_NE(dialog->EnterButton(), nullptr);

  // 录入开奖 opens the entry with the missing issue and its likely date.
  c.f.window->ShowStatus("状态:");
  QTest::mouseClick(dialog->EnterButton(), Qt::LeftButton);
  rg_DrawEntryWin* entry = c.f.window->DrawEntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Issue()->text(), "2024061");
  EXPECT_EQ(entry->Date()->date(), QDate(2024, 5, 30));
  const int reds[] = {7, 8, 9, 10, 11, 12};
  for (int i = 0; i < 6; ++i) entry->Red(i)->setValue(reds[i]);
  entry->Blue()->setValue(3);
  QTest::mouseClick(entry->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(rg_DrawArchive(c.f.store).Count(kSsq), 3u);

  // The open dialog, the marks and the status bar follow at once.
  EXPECT_EQ(dialog->Result().status, rg_CastStatus::Scored);
  EXPECT_TRUE(dialog->DrawText().contains("第2024062期")) << dialog->DrawText().toStdString();
  EXPECT_EQ(dialog->EnterButton(), nullptr);
  EXPECT_EQ(Parse(CliJson("check 1 --json" + c.Home()))[0]["status"].asString(), "scored");
  QTRY_VERIFY_WITH_TIMEOUT(c.history()->Model().BestTier(0) > 0, 10000);
  QTRY_COMPARE_WITH_TIMEOUT(c.f.window->StatusPart(0)->text(),
                            QString("有1个已保存的演算中奖,请点对奖查看"), 10000);
}

// Sixty plays on the 1 000 px test screen: the dialog opens within it,
// the plays scroll under the lines that stay, 关闭 in sight; a tier and its
// count stay on one line.
TEST(CheckWin, SixtyPlaysScrollWithinTheScreen) {
  WindowFixture f;
  const rg_DrawEntry draw = SsqDraw(u"2024062", 2024, 6, 2, {1, 2, 3, 4, 5, 6}, 7);
  rg_CastResult result;
  result.status = rg_CastStatus::Scored;
  result.draw = &draw;
  // Five reds drawn and three not, the drawn blue and another: 五等奖25注.
  const std::vector<rg_PlayResult> plays(60,
                                         {1, {{}, {1, 2, 3, 4, 5, 20, 21, 22}, {7, 8}, 1}, {}, {}});
  ScorePlays(result, plays);
  auto* dialog = new rg_CheckWin(f.window.get(), f.window->MainFont(), "甲", 0, result, {7});
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  const QPointer<rg_CheckWin> open(dialog);
  dialog->open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  ASSERT_EQ(dialog->PlayRows(), 60);
  ASSERT_TRUE(dialog->PlayWinningText(0).contains("五等奖25注"))
      << dialog->PlayWinningText(0).toStdString();

  const QRect screen = dialog->screen()->availableGeometry();
  ASSERT_EQ(screen.height(), 1000);
  EXPECT_TRUE(screen.contains(dialog->frameGeometry()))
      << dialog->frameGeometry().bottom() << " below " << screen.bottom();
  auto* scroll = dialog->findChild<QScrollArea*>();
  ASSERT_NE(scroll, nullptr);
  EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);
  EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());
  QPushButton* close = nullptr;
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == "关闭") close = b;
  ASSERT_NE(close, nullptr);
  EXPECT_TRUE(close->isVisible());
  EXPECT_TRUE(dialog->rect().contains(QRect(close->mapTo(dialog, QPoint()), close->size())));
  for (QLabel* label : dialog->findChildren<QLabel*>()) {
    if (label->text() != dialog->PlayWinningText(0)) continue;
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_LT(label->height(), 2 * label->fontMetrics().lineSpacing());
  }
  QTest::mouseClick(close, Qt::LeftButton);
  QTRY_VERIFY(open.isNull());
}

TEST(DrawEntryWin, RefusalsAreTheImportsAndWriteNothing) {
  CheckFixture c;
  rg_DrawArchive archive(c.f.store);
  StoreThursday(archive);
  struct Case {
    const char* name;
    const char* issue;
    std::array<int, 6> reds;
    int blue;
    const char* says;
  };
  const Case cases[] = {
      {"no issue", "", {1, 2, 3, 4, 5, 6}, 7, "请填写期号"},
      {"a red not chosen", "2024062", {1, 2, 3, 4, 5, 0}, 7, "请选择六个红球"},
      {"no blue", "2024062", {1, 2, 3, 4, 5, 6}, 0, "请选择蓝球"},
      {"a red twice", "2024062", {1, 2, 3, 4, 5, 5}, 7, "红球 05 重复了"},
      {"no 双色球 issue", "202406", {1, 2, 3, 4, 5, 6}, 7, "期号应是七位数字"},
      {"stored with other numbers",
       "2024061",
       {1, 2, 3, 4, 5, 7},
       16,
       "第2024061期已收录为 2024-05-30 01 02 03 04 05 06 + 16,与所填不同"},
      {"stored with the same numbers", "2024061", {1, 2, 3, 4, 5, 6}, 16, "已收录"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    rg_DrawEntryWin entry(c.f.window.get(), c.f.window->MainFont(), c.f.store, c.f.clock,
                          QString::fromUtf8(k.issue), MakeDate(2024, 5, 30));
    // The boxes hold nothing out of range.
    EXPECT_EQ(entry.Red(0)->maximum(), 33);
    EXPECT_EQ(entry.Blue()->maximum(), 16);
    for (int i = 0; i < 6; ++i) entry.Red(i)->setValue(k.reds[static_cast<std::size_t>(i)]);
    entry.Blue()->setValue(k.blue);
    EXPECT_FALSE(entry.Submit());
    EXPECT_TRUE(entry.Message().contains(QString::fromUtf8(k.says)))
        << entry.Message().toStdString();
    // Every word of it the user's own language.
    EXPECT_FALSE(entry.Message().contains(QRegularExpression(QStringLiteral("[a-z]{3}"))))
        << entry.Message().toStdString();
    // A change to what it spoke of takes the refusal away.
    entry.Blue()->setValue(k.blue == 1 ? 2 : 1);
    EXPECT_TRUE(entry.Message().isEmpty());
    EXPECT_EQ(archive.Count(kSsq), 1u);
    EXPECT_EQ(archive.Find(kSsq, u"2024061").value()->numbers,
              (std::vector<int>{1, 2, 3, 4, 5, 6}));
  }
  // The window's clock stands at 2024-06-01: the 4th is after tomorrow.
  rg_DrawEntryWin late(c.f.window.get(), c.f.window->MainFont(), c.f.store, c.f.clock,
                       QStringLiteral("2024063"), MakeDate(2024, 6, 4));
  for (int i = 0; i < 6; ++i) late.Red(i)->setValue(i + 1);
  late.Blue()->setValue(1);
  EXPECT_FALSE(late.Submit());
  EXPECT_TRUE(late.Message().startsWith(QStringLiteral("开奖日期 2024-06-04 晚于明天")))
      << late.Message().toStdString();
  EXPECT_EQ(archive.Count(kSsq), 1u);

  // The schedule, the issue's year and the stored draw's order, in the
  // window's words; the field is named.
  const struct {
    const char* issue;
    double date;
    const char* says;
  } dated[] = {
      {"2024062", MakeDate(2024, 6, 1),
       "开奖日期 2024-06-01 是星期六,双色球只在周日、周二、周四开奖"},
      {"2023062", MakeDate(2024, 5, 28),
       "期号 2023062 属于 2023 年,开奖日期 2024-05-28 却在 2024 年"},
      {"2024062", MakeDate(2024, 5, 28),
       "第2024062期(2024-05-28)与已收录的第2024061期(2024-05-30)顺序不符"},
      {"2024060", MakeDate(2024, 5, 30), "第2024060期(2024-05-30)与已收录的第2024061期同一天开奖"},
  };
  for (const auto& d : dated) {
    SCOPED_TRACE(d.says);
    rg_DrawEntryWin entry(c.f.window.get(), c.f.window->MainFont(), c.f.store, c.f.clock,
                          QString::fromUtf8(d.issue), d.date);
    for (int i = 0; i < 6; ++i) entry.Red(i)->setValue(i + 1);
    entry.Blue()->setValue(1);
    EXPECT_FALSE(entry.Submit());
    EXPECT_TRUE(entry.Message().startsWith(QStringLiteral("未保存:") + QString::fromUtf8(d.says)))
        << entry.Message().toStdString();
    EXPECT_EQ(archive.Count(kSsq), 1u);
  }
}

// 删除 and 修改 on the trend window's row menu: the casts that depend on
// the draw are decided again at once, as after an add.
TEST(TrendWin, DeletingOrCorrectingADrawDecidesItsCastsAgain) {
  CheckFixture c;
  c.CastAndSave("58", "甲");  // Saturday morning: made for Sunday's 2024062
  const auto played = PlayedNumbers(c.NumbersOf(1));
  const int blue = played.blues.empty() ? 1 : played.blues[0];
  rg_DrawArchive archive(c.f.store);
  StoreThursday(archive);
  archive.Store(Draw(u"2024062", MakeDate(2024, 6, 2), played.tickets[0], blue), 0);
  c.f.window->DrawsChanged();
  QTRY_VERIFY_WITH_TIMEOUT(c.history()->Model().BestTier(0) > 0, 10000);

  c.f.window->Command(rg_HistoryPanel::Button::Trend);
  auto* trend = c.f.window->findChild<rg_TrendWin*>();
  ASSERT_NE(trend, nullptr);
  const QPoint sunday(5, trend->Chart()->RowTop(1) + 2);
  QMenu* menu = trend->RowMenu(sunday);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->actions().size(), 2);
  EXPECT_EQ(menu->actions()[0]->text(), QStringLiteral("修改第2024062期…"));
  EXPECT_EQ(menu->actions()[1]->text(), QStringLiteral("删除第2024062期…"));
  EXPECT_EQ(trend->RowMenu(QPoint(5, 2)), nullptr);  // the header row

  Messages messages;
  messages.answer = ui::Answer::No;
  menu->actions()[1]->trigger();
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_EQ(messages.shown[0].kind, ui::MessageKind::Question);
  EXPECT_TRUE(messages.Last().contains(QStringLiteral("第2024062期(2024-06-02 ")))
      << messages.Last().toStdString();
  EXPECT_EQ(archive.Count(kSsq), 2u);  // asked, and kept

  messages.answer = ui::Answer::Yes;
  trend->RowMenu(sunday)->actions()[1]->trigger();
  EXPECT_EQ(archive.Count(kSsq), 1u);
  EXPECT_EQ(trend->Stats().draws, 1);
  QTRY_COMPARE_WITH_TIMEOUT(c.history()->Model().BestTier(0), 0, 10000);
  EXPECT_EQ(Parse(CliJson("check 1 --json" + c.Home()))[0]["status"].asString(), "pending");

  // Stored again wrong, then corrected in the entry dialog: a winner again.
  archive.Store(Draw(u"2024062", MakeDate(2024, 6, 2), {20, 21, 22, 23, 24, 25}, blue), 0);
  c.f.window->DrawsChanged();
  QTRY_COMPARE_WITH_TIMEOUT(trend->Stats().draws, 2, 10000);
  trend->RowMenu(sunday)->actions()[0]->trigger();
  rg_DrawEntryWin* entry = c.f.window->DrawEntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->windowTitle(), QStringLiteral("修改开奖 - 双色球"));
  EXPECT_EQ(entry->Issue()->text(), QStringLiteral("2024062"));
  EXPECT_EQ(entry->Date()->date(), QDate(2024, 6, 2));
  EXPECT_EQ(entry->Red(0)->value(), 20);
  EXPECT_FALSE(entry->Submit());  // nothing changed yet
  EXPECT_EQ(entry->Message(), QStringLiteral("与已收录的相同,未作修改"));
  for (int i = 0; i < 6; ++i)
    entry->Red(i)->setValue(played.tickets[0][static_cast<std::size_t>(i)]);
  EXPECT_TRUE(entry->Submit()) << entry->Message().toStdString();
  EXPECT_EQ(archive.Count(kSsq), 2u);
  EXPECT_EQ(archive.Find(kSsq, u"2024062").value()->numbers, played.tickets[0]);
  QTRY_VERIFY_WITH_TIMEOUT(c.history()->Model().BestTier(0) > 0, 10000);
  EXPECT_EQ(Parse(CliJson("check 1 --json" + c.Home()))[0]["status"].asString(), "scored");
}
