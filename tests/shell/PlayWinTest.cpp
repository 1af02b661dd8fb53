// Plays in the window: the 投注 button and dialog, the plays in the 对奖
// dialog against check --json, and the history list's tooltip and mark.
#include <json/json.h>
#include <sqlite3.h>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <algorithm>
#include <fstream>

#include "draws/DrawPanel.h"
#include "history/DrawArchive.h"
#include "history/Plays.h"
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
#include "shell/panels/PlayWin.h"
#include "support/Child.h"
#include "support/GuiTest.h"
#include "support/LockHolder.h"
#include "support/Records.h"
#include "support/ResultsPage.h"
#include "support/TestServer.h"

using namespace test_support;

namespace {

struct PlayFixture {
  WindowFixture f;
  rg_HistoryPanel* history() { return f.window->MainPanel()->HistoryPanel(); }
  rg_CastPanel* cast() { return f.window->MainPanel()->CastPanel(); }

  void Cast(const char* number) {
    cast()->MethodChoice()->Select(1);
    cast()->NumberEntry()->clear();
    QTest::keyClicks(cast()->NumberEntry(), number);
    cast()->ZodiacChoice()->Select(1);
    QTest::mouseClick(cast()->CalculateButton(), Qt::LeftButton);
  }
  void Save(const QString& name) {
    auto* box = qobject_cast<QLineEdit*>(history()->Name()->Box());
    box->clear();
    box->insert(name);
    QTest::mouseClick(history()->SaveButton(), Qt::LeftButton);
  }
  rg_PlayWin* OpenPlay() {
    QTest::mouseClick(f.window->MainPanel()->PlayButton(), Qt::LeftButton);
    return f.window->PlayWindow();
  }
  // 投注 on 58 saved as 甲, the one cast in the list.
  rg_PlayWin* OpenOnSavedCast() {
    Cast("58");
    Save("甲");
    Select(0);
    return OpenPlay();
  }
  rg_CheckWin* OpenCheck() {
    QTest::mouseClick(history()->CheckButton(), Qt::LeftButton);
    return f.window->CheckWindow();
  }
  void Select(int row) { history()->List()->setCurrentIndex(history()->Model().index(row)); }
  std::string Home() const { return " --home '" + f.home.path().string() + "'"; }
  DerivedNumbers NumbersOf(std::int64_t id) {
    rg_SavedCastDeriver deriver;
    return *deriver.Derive(test_support::StoredCast(f.store, id));
  }
};

std::vector<int> Ints(const Json::Value& list) {
  std::vector<int> out;
  for (const Json::Value& v : list) out.push_back(v.asInt());
  return out;
}

// Thursday's 2024061, so that the archive vouches for Sunday's 2024062.
void StoreDrawBefore(rg_EasyDb& store) {
  ASSERT_EQ(
      rg_DrawArchive(store).Store(SsqDraw(u"2024061", 2024, 5, 30, {1, 2, 3, 4, 5, 6}, 16), 0),
      rg_DrawArchive::StoreResult::Added);
}

}  // namespace

TEST(PlayWin, TheButtonStandsBesideCheckAndNeedsASavedCast) {
  PlayFixture p;
  QPushButton* check = p.history()->CheckButton();
  QPushButton* play = p.f.window->MainPanel()->PlayButton();
  EXPECT_EQ(play->text(), "投注");
  EXPECT_EQ(play->y(), check->y());
  EXPECT_EQ(play->x(), check->geometry().right() + 1 + 10);
  EXPECT_EQ(p.history()->TrendButton()->x(), play->geometry().right() + 1 + 10);
  EXPECT_LE(p.history()->TrendButton()->geometry().right(), p.history()->width());

  EXPECT_EQ(p.OpenPlay(), nullptr);
  EXPECT_TRUE(p.f.window->StatusPart(0)->text().startsWith("没有可投注的演算"));
  p.Cast("58");
  EXPECT_EQ(p.OpenPlay(), nullptr);
  EXPECT_EQ(p.f.window->StatusPart(0)->text(), "请先保存演算");
  // Once saved, the result on screen is that saved cast.
  p.Save("甲");
  p.history()->List()->clearSelection();
  p.history()->List()->setCurrentIndex({});
  rg_PlayWin* dialog = p.OpenPlay();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->windowTitle(), "投注");
}

TEST(PlayWin, TogglesFillsCostAndSave) {
  PlayFixture p;
  rg_PlayWin* dialog = p.OpenOnSavedCast();
  ASSERT_NE(dialog, nullptr);
  const DerivedNumbers numbers = p.NumbersOf(1);
  const rg_PlayedNumbers played = PlayedNumbers(numbers);
  ASSERT_FALSE(played.blues.empty());
  EXPECT_EQ(dialog->CostLine()->text(), "0注 0元");

  QTest::mouseClick(dialog->FillButton(rg_PlayWin::Ticket1), Qt::LeftButton);
  QTest::mouseClick(dialog->FillButton(rg_PlayWin::BlueAnalysis), Qt::LeftButton);
  EXPECT_EQ(dialog->Play().red, played.tickets[0]);
  EXPECT_EQ(dialog->Play().blue, played.blues);
  // One red more than the ticket: a 复式 of seven.
  int extra = 1;
  while (std::count(played.tickets[0].begin(), played.tickets[0].end(), extra)) ++extra;
  QTest::mouseClick(dialog->RedToggle(extra), Qt::LeftButton);
  const auto blues = static_cast<std::int64_t>(played.blues.size());
  EXPECT_EQ(dialog->CostLine()->text(), QStringLiteral("%1注 %2元").arg(7 * blues).arg(14 * blues));
  dialog->MultipleBox()->setValue(3);
  EXPECT_EQ(dialog->CostLine()->text(), QStringLiteral("%1注 %2元").arg(7 * blues).arg(42 * blues));
  // In 胆 mode a click makes a 胆 of a red not chosen yet.
  dialog->DanMode()->setChecked(true);
  QTest::mouseClick(dialog->RedToggle(extra), Qt::LeftButton);  // off
  QTest::mouseClick(dialog->RedToggle(extra), Qt::LeftButton);  // 胆
  EXPECT_EQ(dialog->Play().dan, std::vector<int>{extra});
  EXPECT_EQ(dialog->CostLine()->text(),
            rg_PlayWin::CostText({{extra}, played.tickets[0], played.blues, 3}));
  QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
  const auto stored = rg_PlayStore(p.f.store).List(1);
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].play, dialog->Play());
  EXPECT_TRUE(dialog->MessageLine()->text().startsWith("已保存投注 #1: 胆拖"));
  {  // a file another program locks is named, and nothing is stored (below)
    test_support::LockHolder lock(rg_EasyDb::FileIn(p.f.home.path()));
    QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->MessageLine()->text().startsWith("投注保存失败:"));
  }
  // A refusal says the command line's words, and nothing is stored.
  QTest::mouseClick(dialog->RedToggle(extra), Qt::LeftButton);  // the 胆 off
  dialog->MultipleBox()->setValue(1);
  QTest::mouseClick(dialog->RedToggle(played.tickets[0][0]), Qt::LeftButton);  // five reds
  QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(dialog->MessageLine()->text(), "红球应选 6 至 20 个,实选 5 个");
  EXPECT_EQ(rg_PlayStore(p.f.store).List(1).size(), 1u);
  // Six 胆 are no play: nothing is priced, and the rule is said as it is picked.
  for (int n = 1; n <= 33 && dialog->Play().dan.size() < 6; ++n) {
    if (!dialog->RedToggle(n)->isChecked()) QTest::mouseClick(dialog->RedToggle(n), Qt::LeftButton);
  }
  ASSERT_EQ(dialog->Play().dan.size(), 6u);
  EXPECT_EQ(dialog->CostLine()->text(), "0注 0元");
  EXPECT_TRUE(dialog->MessageLine()->text().startsWith("胆码应选 1 至 5 个"))
      << dialog->MessageLine()->text().toStdString();
}

TEST(PlayWin, ADamagedCastTakesNoPlay) {
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");
  ASSERT_EQ(sqlite3_exec(p.f.store.Handle(), "UPDATE xyh_table SET gzsxid=0 WHERE _id=1;", nullptr,
                         nullptr, nullptr),
            SQLITE_OK);
  p.Select(0);
  EXPECT_EQ(p.OpenPlay(), nullptr);
  EXPECT_EQ(p.f.window->StatusPart(0)->text(), "该历史记录已损坏,无法复盘");
}

// A cast deleted behind the open dialog is said to be gone, not a store failure.
TEST(PlayWin, ASaveForACastDeletedMeanwhileSaysItIsGone) {
  PlayFixture p;
  rg_PlayWin* dialog = p.OpenOnSavedCast();
  ASSERT_NE(dialog, nullptr);
  QTest::mouseClick(dialog->FillButton(rg_PlayWin::Ticket1), Qt::LeftButton);
  QTest::mouseClick(dialog->FillButton(rg_PlayWin::BlueAnalysis), Qt::LeftButton);
  ASSERT_TRUE(p.f.store.Delete(1));
  QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(dialog->MessageLine()->text(), "该记录已不存在");
  EXPECT_TRUE(rg_PlayStore(p.f.store).List().empty());
}

TEST(PlayWin, TheCheckDialogShowsThePlaysAsCheckJsonDoes) {
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");
  const auto played = PlayedNumbers(p.NumbersOf(1));
  const std::vector<int>& t = played.tickets[0];
  // A draw of four reds of the first ticket and its first blue.
  rg_DrawEntry draw = SsqDraw(u"2024062", 2024, 6, 2, {t[0], t[1], t[2], t[3]}, played.blues[0]);
  for (int n = 33; draw.numbers.size() < 6; --n) {
    if (std::find(t.begin(), t.end(), n) == t.end()) draw.numbers.push_back(n);
  }
  StoreDrawBefore(p.f.store);
  ASSERT_EQ(rg_DrawArchive(p.f.store).Store(draw, 0), rg_DrawArchive::StoreResult::Added);
  std::vector<int> reds = t;
  reds.push_back(draw.numbers[4]);
  for (int n = 1;; ++n) {  // and one red neither on the ticket nor drawn
    if (std::count(reds.begin(), reds.end(), n) == 0 &&
        std::count(draw.numbers.begin(), draw.numbers.end(), n) == 0) {
      reds.push_back(n);
      break;
    }
  }
  rg_PlayStore plays(p.f.store);
  ASSERT_TRUE(plays.Add(1, {{}, reds, played.blues, 2}));
  ASSERT_TRUE(plays.Add(1, {{t[0], t[4]}, {t[1], t[2], t[3], t[5], draw.numbers[5]}, {16}, 1}));

  p.Select(0);
  rg_CheckWin* dialog = p.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  const Json::Value cli =
      ParseJsonText(Cli("check 1 --json" + p.Home(), CliStderr::kDropped).out)[0];
  const Json::Value& json = cli["plays"];
  ASSERT_EQ(static_cast<int>(json.size()), 2);
  ASSERT_EQ(dialog->PlayRows(), 2);
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const Json::Value& j = json[i];
    std::vector<int> hits = Ints(j["hits"]["dan"]);
    for (int n : Ints(j["hits"]["red"])) hits.push_back(n);
    std::sort(hits.begin(), hits.end());
    const QVector<int> shown = dialog->ShownPlayHits(i);
    EXPECT_EQ(std::vector<int>(shown.begin(), shown.end()), hits);
    QString winning;
    for (int tier = 1; tier <= 6; ++tier) {
      if (const int n = j["winning"][std::to_string(tier)].asInt(); n > 0)
        winning +=
            (winning.isEmpty() ? "" : " ") + ui::Q(TierName(tier)) + QString::number(n) + "注";
    }
    EXPECT_EQ(dialog->PlayWinningText(i), winning.isEmpty() ? "未中奖" : winning);
    EXPECT_EQ(dialog->PlayPrizeText(i), QString::number(j["fixedPrize"].asInt()) + "元");
  }
  EXPECT_GT(json[0]["fixedPrize"].asInt(), 0);
  EXPECT_TRUE(
      dialog->PlayTotalText().contains(QString::number(cli["playsFixedPrize"].asInt()) + "元"));
}

namespace {

// A draw on 2024-06-02 none of the tickets wins (at most three reds of each,
// a blue off the list), so that only a play can win on it.
rg_DrawEntry DrawNoTicketWins(const rg_PlayedNumbers& played) {
  rg_DrawEntry draw = SsqDraw(u"2024062", 2024, 6, 2, {}, 1);  // blue: the first off the list
  for (int n = 1; draw.numbers.size() < 6; ++n) {
    bool fourth = false;
    for (const auto& t : played.tickets) {
      if (std::count(t.begin(), t.end(), n) == 0) continue;
      int hits = 0;
      for (int d : draw.numbers) hits += std::count(t.begin(), t.end(), d) > 0;
      fourth |= hits >= 3;
    }
    if (!fourth) draw.numbers.push_back(n);
  }
  while (std::count(played.blues.begin(), played.blues.end(), draw.extra[0])) ++draw.extra[0];
  return draw;
}

}  // namespace

TEST(PlayWin, TheHistoryListCountsPlaysInTooltipAndMark) {
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");
  const rg_DrawEntry draw = DrawNoTicketWins(PlayedNumbers(p.NumbersOf(1)));
  const int blue = draw.extra[0];
  StoreDrawBefore(p.f.store);
  ASSERT_EQ(rg_DrawArchive(p.f.store).Store(draw, 0), rg_DrawArchive::StoreResult::Added);
  p.f.window->FillHistory();
  QTRY_VERIFY_WITH_TIMEOUT(!p.f.window->PrizeWatch()->Busy(), 10000);
  rg_HistoryModel& model = p.history()->Model();
  EXPECT_EQ(model.BestTier(0), 0);
  EXPECT_FALSE(model.index(0).data(Qt::ToolTipRole).toString().contains("投注"));

  std::vector<int> reds(draw.numbers.begin(), draw.numbers.end());
  const auto added = rg_PlayStore(p.f.store).Add(1, {{}, reds, {blue}, 1});
  ASSERT_TRUE(added) << added.error().message;
  ASSERT_TRUE(rg_PlayStore(p.f.store).Add(1, {{}, {1, 2, 3, 4, 5, 6, 7}, {1}, 1}));
  p.f.window->FillHistory();
  QTRY_VERIFY_WITH_TIMEOUT(!p.f.window->PrizeWatch()->Busy(), 10000);
  EXPECT_EQ(model.BestTier(0), 1) << model.index(0).data(Qt::ToolTipRole).toString().toStdString();
  EXPECT_FALSE(model.index(0).data(Qt::DecorationRole).isNull());
  const QString tip = model.index(0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains("投注: 2个<br>中奖: 一等奖<br>双击复盘查看</p>")) << tip.toStdString();
}

TEST(PlayWin, ARefreshThatMakesOnlyAPlayWinSaysSo) {
  XYH_SKIP_WITHOUT_PING();
  rg_NetworkScope network;
  TempDir root;
  TestServer server(root.path());
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");  // Saturday morning: meets Sunday's draw 2024-06-02
  StoreDrawBefore(p.f.store);
  const rg_DrawEntry draw = DrawNoTicketWins(PlayedNumbers(p.NumbersOf(1)));
  ASSERT_TRUE(rg_PlayStore(p.f.store).Add(1, {{}, draw.numbers, {draw.extra[0]}, 1}));
  std::ofstream(root.path() / "home.html", std::ios::binary)
      << ResultsPageWith(draw.numbers, draw.extra[0]);
  rg_MainPanel* panel = p.f.window->MainPanel();
  rg_DrawSources sources;
  sources.resultsHome = FromUtf8(server.Url("/files/home.html"));
  sources.probeHost = u"127.0.0.1";
  panel->SetDrawSources(sources);
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(p.f.window->StatusPart(0)->text(),
                            QString("有1个已保存的演算中奖,请点对奖查看"), 10000);
  EXPECT_EQ(p.history()->Model().BestTier(0), 1);
}

// While the cast's draw is missing its plays are 未对奖, as the cast is.
TEST(PlayWin, ThePlaysOfAMissingCastAreNotPending) {
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");
  StoreDrawBefore(p.f.store);  // 2024061, then 2024063 without the cast's 2024062
  ASSERT_EQ(
      rg_DrawArchive(p.f.store).Store(SsqDraw(u"2024063", 2024, 6, 4, {1, 2, 3, 4, 5, 6}, 16), 0),
      rg_DrawArchive::StoreResult::Added);
  ASSERT_TRUE(rg_PlayStore(p.f.store).Add(1, {{}, {1, 2, 3, 4, 5, 6, 7}, {1}, 1}));
  p.Select(0);
  rg_CheckWin* dialog = p.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->Result().status, rg_CastStatus::Missing);
  EXPECT_EQ(dialog->PlayWinningText(0), "未对奖");
  EXPECT_EQ(dialog->PlayTotalText(), "投注合计: 未对奖, 共14元");
}

// Rows edited into no play keep their place in the 对奖 dialog, each marked
// damaged; only the sound play is scored and priced.
TEST(PlayWin, TheCheckDialogMarksDamagedPlays) {
  PlayFixture p;
  p.Cast("58");
  p.Save("甲");
  StoreDrawBefore(p.f.store);
  const rg_DrawEntry draw = DrawNoTicketWins(PlayedNumbers(p.NumbersOf(1)));
  ASSERT_EQ(rg_DrawArchive(p.f.store).Store(draw, 0), rg_DrawArchive::StoreResult::Added);
  const char* damage[] = {"multiple=2.5", "red='01 02 03 04 05 05 07'", "blue='x'", "multiple=-1"};
  rg_PlayStore plays(p.f.store);
  ASSERT_TRUE(plays.Add(1, {{}, draw.numbers, {draw.extra[0]}, 1}));
  for (const char* set : damage) {
    const auto added = plays.Add(1, {{}, draw.numbers, {draw.extra[0]}, 2});
    ASSERT_TRUE(added);
    const std::string sql =
        std::string("UPDATE xyh_plays SET ") + set + " WHERE _id=" + std::to_string(*added) + ";";
    ASSERT_EQ(sqlite3_exec(p.f.store.Handle(), sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
  }
  p.Select(0);
  rg_CheckWin* dialog = p.OpenCheck();
  ASSERT_NE(dialog, nullptr);
  ASSERT_EQ(dialog->PlayRows(), 5);
  EXPECT_FALSE(dialog->PlayDamaged(0));
  EXPECT_EQ(dialog->PlayWinningText(0), "一等奖1注");
  for (int i = 1; i < 5; ++i) {
    SCOPED_TRACE(damage[i - 1]);
    EXPECT_TRUE(dialog->PlayDamaged(i));
    EXPECT_EQ(dialog->PlayPrizeText(i), "-");
  }
  EXPECT_EQ(dialog->Result().playsFixedPrize, dialog->Result().plays[0].check.fixedPrize);
}
