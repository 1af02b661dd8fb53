#include <QAbstractButton>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <string_view>

#include "draws/DrawPanel.h"
#include "history/DrawArchive.h"
#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "shell/MainPanel.h"
#include "support/GuiTest.h"
#include "support/Records.h"
#include "support/TestServer.h"

using namespace test_support;

namespace {

const QString kPlaceholder =
    QStringLiteral("最 新 开 奖 数 据 正 在 更 新 请 确 认 您 已 连 接 网 络 ！");

struct PanelFixture {
  rg_DrawPanel panel;
  QFont font = ui::FontFromDescription(ui::MainFontDescription());
  QSize unit = ui::CharExtent(font, "款");
  QStringList Balls() const {
    QStringList out;
    for (QLabel* l : panel.Balls()) out << l->text();
    return out;
  }
  QColor Color(int k) const { return panel.Balls()[k]->palette().color(QPalette::WindowText); }
};

const QColor kRed(255, 0, 0), kBlue(0, 0, 255), kOrange(255, 128, 0);

}  // namespace

TEST(DrawPanel, ThePlaceholderLayout) {
  PanelFixture f;
  f.panel.layoutDraw(1, kPlaceholder, "开奖最后日期", "开奖最后期号", ui::MainFontDescription(), 1);
  const int w = f.unit.width(), h = f.unit.height();
  ASSERT_GE(f.panel.Captions().size(), 4);
  QLabel* title = f.panel.Captions()[0];
  EXPECT_EQ(title->text(), "双色球最新开奖:");
  EXPECT_EQ(title->geometry(), QRect(10, 10, 8 * w, h));
  EXPECT_EQ(f.panel.Captions()[1]->text(), "开奖最后日期");
  EXPECT_EQ(f.panel.Captions()[1]->x(), 20 + 8 * w);
  EXPECT_EQ(f.panel.Captions()[2]->text(), "开奖最后期号");
  EXPECT_EQ(f.panel.Captions()[2]->x(), 30 + 14 * w);
  EXPECT_EQ(f.panel.Captions()[3]->text(), "开奖号码:");
  EXPECT_EQ(f.panel.Captions()[3]->pos(), QPoint(10, h + 20));
  ASSERT_EQ(f.panel.Balls().size(), 20);
  const QString message = "最新开奖数据正在更新请确认您已连接网络！";
  for (int k = 0; k < 20; ++k) {
    EXPECT_EQ(f.panel.Balls()[k]->text().trimmed(), message.mid(k, 1));
    EXPECT_EQ(f.Color(k), kRed);
  }
  EXPECT_EQ(f.panel.Balls()[10]->x(), f.panel.Balls()[0]->x());  // row 3 under row 2
  EXPECT_EQ(f.panel.Balls()[10]->y(), 2 * h + 30);
  EXPECT_EQ(f.panel.Balls()[1]->x(), f.panel.Balls()[0]->x() + w + 10);
  QAbstractButton* refresh = f.panel.RefreshButton();
  EXPECT_EQ(refresh->geometry(), QRect(30 + 20 * w + 50, 10, 32, 32));
  EXPECT_EQ(f.panel.width(), refresh->geometry().right() + 1 + 10);
  EXPECT_EQ(f.panel.height(), 3 * h + 40);
}

TEST(DrawPanel, EveryLayoutsCellsAndColours) {
  // One after another on one panel, so that no cell of a layout stays.
  struct Layout {
    int type;
    const char* digits;
    QStringList balls;
    const char* colours;   // of each ball: r, b or o; '.' not checked
    QStringList captions;  // the first ones; none when not checked
  };
  const Layout layouts[] = {
      {1, "03091619252907", {"03", "09", "16", "19", "25", "29", "07"}, "rrrrrrb", {}},
      {2, "0205111419232817", {"02", "05", "11", "14", "19", "23", "28", "17"}, "......rb", {}},
      {3, "407", {"4", "0", "7"}, "...", {}},
      {4,
       "06111927330410",
       {"06", "11", "19", "27", "33", "04", "10"},
       "....ob.",
       {"大乐透最新开奖:"}},
      {5,
       "12345",
       {"1", "2", "3", "4", "5", "1", "2", "3"},
       "oooooooo",
       {"排列三五最新开奖:", "", "", "排列五:", "排列三:"}},
      {6, "8250619", {"8", "2", "5", "0", "6", "1", "9"}, ".....ob", {}},
      // Past the end: empty cells.
      {0,
       "0307091215",
       QStringList({"03", "07", "09", "12", "15"}) + QStringList(15, QString()),
       "....................",
       {}},
      {1, "", QStringList(7, QString()), ".......", {}},  // still every cell
  };
  PanelFixture f;
  const QColor colours[] = {kRed, kBlue, kOrange};
  for (const Layout& l : layouts) {
    SCOPED_TRACE(l.digits);
    f.panel.layoutDraw(l.type, l.digits, "", "", ui::MainFontDescription(), 0);
    ASSERT_EQ(f.Balls(), l.balls);
    for (int k = 0; k < l.balls.size(); ++k) {
      const auto at = std::string_view("rbo").find(l.colours[k]);
      if (at != std::string_view::npos) {
        EXPECT_EQ(f.Color(k), colours[at]) << k;
      }
    }
    for (int k = 0; k < l.captions.size(); ++k)
      EXPECT_EQ(f.panel.Captions()[k]->text(), l.captions[k]) << k;
    // The first layout is a row shorter than the placeholder.
    if (l.type == 1) {
      EXPECT_EQ(f.panel.height(), 2 * f.unit.height() + 30);
    }
  }
}

TEST(DrawPanel, TheRefreshButtonsPictures) {
  PanelFixture f;
  f.panel.layoutDraw(1, "", "", "", ui::MainFontDescription(), 0);
  EXPECT_EQ(f.panel.RefreshButton()->PictureState(), 0);
  f.panel.RefreshButton()->setEnabled(false);
  EXPECT_EQ(f.panel.RefreshButton()->PictureState(), 3);
}

namespace {

// A window whose draws come from a loopback server.
struct DrawWindow {
  rg_NetworkScope network;
  TempDir root;
  TestServer server{root.path()};
  WindowFixture f{false};

  // stored: draws in the archive before the window starts.
  explicit DrawWindow(const std::string& homePath, const char* probe = "127.0.0.1",
                      const std::vector<rg_DrawEntry>& stored = {}) {
    std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                               root.path() / "home.html");
    rg_Settings settings(f.home.path() / "config.ini");
    const std::string url = server.Url(homePath);
    settings.Write(u"net", u"results_home", std::u16string(url.begin(), url.end()));
    settings.Write(u"net", u"probe_host", FromUtf8(probe));
    rg_DrawArchive archive(f.store);
    for (const rg_DrawEntry& d : stored) archive.Store(d, 0);
    f.Create();
  }
  rg_MainPanel* panel() { return f.window->MainPanel(); }
};

}  // namespace

TEST(DrawRefresh, TheFirstGoodCycleShowsTheDrawAndStopsTheTimer) {
  XYH_SKIP_WITHOUT_PING();
  DrawWindow w("/files/home.html");
  rg_MainPanel* panel = w.panel();
  EXPECT_TRUE(panel->RefreshTimer().isActive());
  EXPECT_EQ(panel->RefreshTimer().interval(), 3000);
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  EXPECT_TRUE(panel->RefreshRunning());
  EXPECT_EQ(panel->DrawPanel()->RefreshButton()->PictureState(), 3);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  EXPECT_FALSE(panel->RefreshTimer().isActive());
  EXPECT_EQ(w.f.window->StatusPart(1)->text(), ui::Q(std::u16string(kDrawUpdatedMessage)));
  QStringList balls;
  for (QLabel* l : panel->DrawPanel()->Balls()) balls << l->text();
  EXPECT_EQ(balls, QStringList({"03", "09", "16", "19", "25", "29", "07"}));
  EXPECT_EQ(panel->DrawPanel()->Captions()[1]->text(), "2024-06-02");
  EXPECT_EQ(panel->DrawPanel()->Captions()[2]->text(), "2024062");
  EXPECT_TRUE(panel->DrawPanel()->RefreshButton()->isEnabled());
}

TEST(DrawRefresh, TheTimerPressesTheButtonUntilTheFirstSuccess) {
  XYH_SKIP_WITHOUT_PING();
  DrawWindow w("/files/home.html");
  w.panel()->RefreshTimer().setInterval(50);  // the same rule, quicker
  QTRY_VERIFY_WITH_TIMEOUT(!w.panel()->RefreshTimer().isActive(), 15000);
  EXPECT_EQ(w.f.window->StatusPart(1)->text(), ui::Q(std::u16string(kDrawUpdatedMessage)));
}

TEST(DrawRefresh, OfflineSaysSoAndKeepsTrying) {
  DrawWindow w("/files/home.html", "no-such-host.invalid");
  QTest::mouseClick(w.panel()->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!w.panel()->RefreshRunning(), 10000);
  EXPECT_EQ(w.f.window->StatusPart(1)->text(), "未连网");
  EXPECT_EQ(w.f.window->StatusPart(0)->text(), "状态:");  // casting and saving messages stay
  EXPECT_TRUE(w.panel()->RefreshTimer().isActive());
  EXPECT_EQ(w.panel()->DrawPanel()->Balls().size(), 20);  // the placeholder stays
}

TEST(DrawRefresh, AFailedParseShowsEmptyCellsAndKeepsTheTimer) {
  XYH_SKIP_WITHOUT_PING();
  DrawWindow w("/status/404");
  QTest::mouseClick(w.panel()->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!w.panel()->RefreshRunning(), 10000);
  EXPECT_TRUE(w.panel()->RefreshTimer().isActive());
  EXPECT_EQ(w.panel()->DrawPanel()->Balls().size(), 7);
  EXPECT_EQ(w.f.window->StatusPart(0)->text(), "状态:");
  EXPECT_EQ(w.f.window->StatusPart(1)->text(), "开奖数据刷新失败:无法下载开奖网页");
}

TEST(DrawRefresh, TheWindowKeepsWorkingWhileAServerStalls) {
  XYH_SKIP_WITHOUT_PING();
  DrawWindow w("/stall");
  QTest::mouseClick(w.panel()->DrawPanel()->RefreshButton(), Qt::LeftButton);
  ASSERT_TRUE(w.panel()->RefreshRunning());
  bool ticked = false;
  QTimer::singleShot(200, [&] { ticked = true; });
  QTRY_VERIFY_WITH_TIMEOUT(ticked, 2000);
  EXPECT_TRUE(w.panel()->RefreshRunning());
  // A tick while the cycle runs is skipped.
  w.panel()->refreshDraws(1);
  EXPECT_TRUE(w.panel()->RefreshRunning());
  // Closing the window ends the cycle at once.
  QElapsedTimer clock;
  clock.start();
  w.f.window.reset();
  EXPECT_LT(clock.elapsed(), 3000);
}

TEST(DrawRefresh, TheStripStartsWithTheNewestStoredDraw) {
  const rg_DrawEntry older = SsqDraw(u"2024060", 2024, 5, 28, {1, 2, 3, 4, 5, 6}, 7);
  const rg_DrawEntry newer = SsqDraw(u"2024061", 2024, 5, 30, {12, 3, 25, 30, 8, 19}, 16);
  struct Case {
    const char* name;
    std::vector<rg_DrawEntry> stored;
    QStringList balls;
    QString date, issue;
  };
  const Case cases[] = {
      {"nothing stored: the placeholder", {}, {}, "开奖最后日期", "开奖最后期号"},
      {"the newest of the stored, as drawn",
       {newer, older},
       {"12", "03", "25", "30", "08", "19", "16"},
       "2024-05-30",
       "2024061 (本地记录)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // Offline from the start: the stored draw stays, and so does the timer.
    DrawWindow w("/files/home.html", "no-such-host.invalid", c.stored);
    rg_DrawPanel* strip = w.panel()->DrawPanel();
    const auto shown = [strip] {
      QStringList balls;
      for (QLabel* l : strip->Balls()) balls << l->text().trimmed();
      return balls;
    };
    for (int round = 0; round < 2; ++round) {
      EXPECT_EQ(strip->Captions()[1]->text(), c.date);
      EXPECT_EQ(strip->Captions()[2]->text(), c.issue);
      if (c.balls.isEmpty()) {
        EXPECT_EQ(strip->Balls().size(), 20);
      } else {
        EXPECT_EQ(shown(), c.balls);
        EXPECT_EQ(strip->Balls().back()->palette().color(QPalette::WindowText), kBlue);
      }
      if (round == 0) {
        QTest::mouseClick(strip->RefreshButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(!w.panel()->RefreshRunning(), 10000);
        EXPECT_EQ(w.f.window->StatusPart(1)->text(), "未连网");
      }
    }
    EXPECT_TRUE(w.panel()->RefreshTimer().isActive());
  }
}

TEST(DrawRefresh, ARefreshReplacesTheStoredDraw) {
  XYH_SKIP_WITHOUT_PING();
  DrawWindow w("/files/home.html", "127.0.0.1",
               {SsqDraw(u"2024061", 2024, 5, 30, {1, 2, 3, 4, 5, 6}, 7)});
  rg_DrawPanel* strip = w.panel()->DrawPanel();
  EXPECT_EQ(strip->Captions()[2]->text(), "2024061 (本地记录)");
  QTest::mouseClick(strip->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!w.panel()->RefreshRunning(), 10000);
  EXPECT_EQ(strip->Captions()[2]->text(), "2024062");
  EXPECT_FALSE(w.panel()->StoredDrawShown());
}
