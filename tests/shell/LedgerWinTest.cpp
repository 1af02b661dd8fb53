// 账本 in the window, the 投注 dialog's budget question, and word of a win
// told once, across a restart too, with the tray replaced by a stand-in.
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTableWidget>

#include <fstream>

#include "platform/Utf.h"

#include "history/DrawPrizes.h"
#include "history/Ledger.h"
#include "history/Plays.h"
#include "shell/MainPanel.h"
#include "shell/PrizeWatch.h"
#include "shell/WinNotice.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LedgerWin.h"
#include "shell/panels/PlayWin.h"
#include "support/GuiTest.h"
#include "support/Records.h"
#include "support/TempDir.h"

using namespace test_support;

namespace {

// What the stand-in for the tray was asked to show.
struct Shown {
  QStringList texts;
  bool available = true;
};

class FakeNotifier : public rg_Notifier {
 public:
  explicit FakeNotifier(Shown& shown) : shown_(shown) {}
  bool Show(const QString& /*title*/, const QString& text) override {
    if (!shown_.available) return false;
    shown_.texts << text;
    return true;
  }

 private:
  Shown& shown_;
};

// 甲 (2024-06-01 08:30) with a 复式 of 1..7 on blues 1 and 2, made for
// Sunday's 2024062; Thursday's 2024061 is stored so the archive vouches.
struct LedgerFixture {
  WindowFixture f{false};
  Shown shown;
  LedgerFixture() {
    EXPECT_TRUE(f.store.Save(NumberCast(u"甲")));
    EXPECT_TRUE(rg_PlayStore(f.store).Add(1, {{}, {1, 2, 3, 4, 5, 6, 7}, {1, 2}, 1}));
    EXPECT_EQ(
        rg_DrawArchive(f.store).Store(SsqDraw(u"2024061", 2024, 5, 30, {1, 2, 3, 4, 5, 6}, 16), 0),
        rg_DrawArchive::StoreResult::Added);
    Start();
  }
  void Start() {
    // As a new process does: the window closed the store when it went.
    if (!f.store.Connected()) f.store.Open(f.home.path());
    f.Create();
    f.window->WinNotice()->SetNotifier(std::make_unique<FakeNotifier>(shown));
  }
  // Sunday's draw: six reds met, blue 1.
  void Draw() {
    rg_DrawArchive(f.store).Store(SsqDraw(u"2024062", 2024, 6, 2, {1, 2, 3, 4, 5, 6}, 1), 0);
    f.window->DrawsChanged();
    QTRY_VERIFY(!f.window->PrizeWatch()->Busy());
  }
  QString Cell(int row, int column) {
    QTableWidgetItem* item = f.window->LedgerWindow()->Table()->item(row, column);
    return item != nullptr ? item->text() : QString();
  }
};

}  // namespace

TEST(WinNotice, AWinIsToldOnceAlsoAfterARestart) {
  LedgerFixture l;
  l.Draw();
  ASSERT_EQ(l.shown.texts.size(), 1);
  EXPECT_EQ(l.f.window->StatusPart(0)->text(), "有1个已保存的演算中奖,请点对奖查看");
  const QString told = l.shown.texts[0];
  for (const char* part : {"《甲", "第2024062期", "一等奖", "一等奖 1注, 奖金未录入"})
    EXPECT_TRUE(told.contains(QString::fromUtf8(part))) << part << ": " << told.toStdString();
  l.Draw();  // the same draw again: nothing new
  l.f.window.reset();
  l.Start();  // a new start asks for every winner again; the store remembers
  l.Draw();
  EXPECT_EQ(l.shown.texts.size(), 1);

  // The setting and the tray, told straight: a win of another draw.
  const struct {
    const char* notify;
    bool available;
    int told, shown;
    const char* status;
  } cases[] = {{"0", true, 0, 0, ""},
               {"1", false, 1, 0, "无系统托盘或通知服务,未弹出通知:\n《甲》 第2024063期 六等奖"},
               {"1", true, 0, 0, ""}};  // told already by the row before
  QString status;
  QObject::connect(l.f.window->WinNotice(), &rg_WinNotice::notShown,
                   [&status](const QString& s) { status = s; });
  for (const auto& c : cases) {
    SCOPED_TRACE(c.notify);
    rg_Settings(l.f.home.path() / "config.ini").Write(u"sys", kNotifyKey, FromUtf8(c.notify));
    l.shown = {{}, c.available};
    status.clear();
    EXPECT_EQ(
        l.f.window->WinNotice()->Announce({{1, 6, u"2024063"}}, l.f.window->PrizeWatch()->Index()),
        c.told);
    EXPECT_EQ(l.shown.texts.size(), c.shown);
    EXPECT_EQ(status.isEmpty(), *c.status == '\0') << status.toStdString();
    EXPECT_TRUE(status.contains(QString::fromUtf8(c.status))) << status.toStdString();
  }
}

TEST(LedgerWin, FollowsDrawsAndAmountsChartsAndExports) {
  LedgerFixture l;
  l.f.window->Command(rg_HistoryPanel::Button::Ledger);
  rg_LedgerWin* ledger = l.f.window->LedgerWindow();
  ASSERT_NE(ledger, nullptr);
  EXPECT_EQ(l.f.window->MainPanel()->HistoryPanel()->LedgerButton()->text(), "账本");
  ASSERT_EQ(ledger->Table()->rowCount(), 2);  // the month and the totals
  EXPECT_EQ(l.Cell(0, 0), "2024-06");
  EXPECT_EQ(l.Cell(0, 3), "28");
  EXPECT_EQ(l.Cell(0, 4), "0");  // pending
  l.Draw();
  EXPECT_EQ(l.Cell(0, 4), "19,200");
  EXPECT_EQ(l.Cell(0, 6), "一等奖");
  EXPECT_EQ(l.Cell(0, 7), "2注");
  ASSERT_EQ(ledger->Chart() != nullptr, ledger->ChartMissing() == nullptr);
  if (ledger->Chart() != nullptr) {
    EXPECT_EQ(ledger->ChartShown(), (std::array<int, 3>{1, 1, 1}));
    EXPECT_TRUE(ledger->Chart()->isVisibleTo(ledger));
  }

  ASSERT_TRUE(rg_DrawPrizes(l.f.store).Set(kSsq, u"2024062", {5'000'000, std::nullopt}));
  l.f.window->DrawsChanged();
  EXPECT_EQ(l.Cell(0, 4), "5,019,200");
  EXPECT_EQ(l.Cell(1, 0), "合计");
  EXPECT_TRUE(ledger->Totals()->text().contains("一等奖/二等奖1注, 奖金未录入"))
      << ledger->Totals()->text().toStdString();

  ledger->SetBy(rg_LedgerBy::Draw);
  EXPECT_EQ(l.Cell(0, 0), "2024062");
  TempDir out;
  const auto file = out.path() / "账本.csv";
  QString said;
  ASSERT_TRUE(ledger->ExportCsv(QString::fromStdString(file.string()), &said))
      << said.toStdString();
  EXPECT_EQ(FileBytes(file), LedgerCsv(ledger->Ledger(), false));
  EXPECT_EQ(FileBytes(file).rfind(
                "period,plays,bets,spent,won,floatingUnknown,net,bestTier\n2024062,1,14,28,", 0),
            0u);
}

TEST(LedgerWin, WithoutPlaysItSaysSoAndDrawsNoChart) {
  WindowFixture f{false};
  f.Create();
  f.window->Command(rg_HistoryPanel::Button::Ledger);
  rg_LedgerWin* ledger = f.window->LedgerWindow();
  ASSERT_NE(ledger, nullptr);
  EXPECT_TRUE(ledger->Totals()->text().startsWith("还没有投注记录"));
  if (ledger->Chart() != nullptr) {
    EXPECT_FALSE(ledger->Chart()->isVisibleTo(ledger));
  }
}

TEST(LedgerWin, ThePlayDialogAsksBeforeAMonthGoesOverBudget) {
  LedgerFixture l;
  Messages messages;
  rg_Settings(l.f.home.path() / "config.ini").Write(u"sys", kBudgetKey, u"30");
  l.f.window->FillHistory();
  rg_HistoryPanel* history = l.f.window->MainPanel()->HistoryPanel();
  history->List()->setCurrentIndex(history->Model().index(0));
  l.f.window->OpenPlay();
  rg_PlayWin* play = l.f.window->PlayWindow();
  ASSERT_NE(play, nullptr);
  const rg_Play single{{}, {1, 2, 3, 4, 5, 6}, {1}, 1};  // 2 元: 30 in June, not over
  const rg_Play more{{}, {1, 2, 3, 4, 5, 6}, {1}, 2};    // 4 元: 34, over
  const struct {
    rg_Play play;
    ui::Answer answer;
    int asked, plays;
  } steps[] = {
      {single, ui::Answer::Yes, 0, 2}, {more, ui::Answer::No, 1, 2}, {more, ui::Answer::Yes, 2, 3}};
  for (const auto& s : steps) {
    messages.answer = s.answer;
    emit play->saveRequested(s.play);
    EXPECT_EQ(messages.shown.size(), s.asked);
    EXPECT_EQ(rg_PlayStore(l.f.store).List().size(), static_cast<std::size_t>(s.plays));
  }
  EXPECT_TRUE(messages.Last().contains("2024年6月")) << messages.Last().toStdString();
  EXPECT_TRUE(messages.Last().contains("超出每月预算30元")) << messages.Last().toStdString();
}
