#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <json/json.h>

#include <fstream>

#include "draws/DrawPanel.h"
#include "platform/Folders.h"
#include "platform/InstanceLock.h"
#include "platform/Utf.h"
#include "shell/LoadWin.h"
#include "shell/MainPanel.h"
#include "shell/Startup.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/OptionGroup.h"
#include "support/Child.h"
#include "support/GuiTest.h"

using namespace test_support;

namespace {

Json::Value CliJson(const std::string& args) {
  return ParseJsonText(Cli(args, CliStderr::kDropped).out);
}

void CastNumber(rg_XyhWin& window, const char* number, int zodiac) {
  rg_CastPanel* cast = window.MainPanel()->CastPanel();
  cast->MethodChoice()->Select(1);
  cast->NumberEntry()->clear();
  QTest::keyClicks(cast->NumberEntry(), number);
  cast->ZodiacChoice()->Select(zodiac);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
}

}  // namespace

TEST(MainWindow, TitleSizeAndStatusBar) {
  WindowFixture f;
  EXPECT_EQ(f.window->windowTitle(), "星衍推号 V1.0.0版");
  EXPECT_EQ(f.window->width(), 1024);
  EXPECT_EQ(f.window->StatusPart(0)->text(), "状态:");
  EXPECT_EQ(f.window->StatusPart(1)->text(), "");
  EXPECT_TRUE(f.window->isVisible());
}

TEST(MainWindow, ANumberCastShowsWhatTheCommandLinePrints) {
  WindowFixture f;
  CastNumber(*f.window, "58", 1);
  EXPECT_EQ(f.window->StatusPart(0)->text(), "按卦主生肖与数字测算");
  const Json::Value cli =
      CliJson("cast --number 58 --zodiac 1 --now '2024-06-01 08:30:00.125' --json");
  rg_GuaPanel* gua = f.window->MainPanel()->GuaPanel();
  EXPECT_EQ(gua->Header()->text().toStdString(), cli["header"].asString());
  EXPECT_EQ(gua->PrimaryTitle()->text().toStdString(), cli["primaryTitle"].asString());
  EXPECT_EQ(gua->ChangedTitle()->text().toStdString(), cli["changedTitle"].asString());
  for (int row = 0; row < 6; ++row) {
    for (int column = 0; column < 12; ++column) {
      EXPECT_EQ(ui::Q(gua->Grid()->Cells()[row][column]).toStdString(),
                cli["grid"][row][column].asString());
    }
  }
  QString box = gua->ReadingBox()->toPlainText();
  box.replace("\n", "\r\n");
  EXPECT_EQ(box.toStdString(), cli["reading"].asString());
  EXPECT_EQ(f.window->MainPanel()->HistoryPanel()->ResultBox()->Text().toStdString(),
            cli["result"].asString());
}

TEST(MainWindow, ResetEmptiesOnlyTheReading) {
  WindowFixture f;
  CastNumber(*f.window, "58", 1);
  rg_GuaPanel* gua = f.window->MainPanel()->GuaPanel();
  QTest::mouseClick(f.window->MainPanel()->CastPanel()->ResetButton(), Qt::LeftButton);
  EXPECT_TRUE(gua->ReadingBox()->toPlainText().isEmpty());
  EXPECT_FALSE(gua->Header()->text().isEmpty());
  EXPECT_FALSE(gua->Grid()->Cells()[0][0].empty());
}

TEST(MainWindow, TimeCastUsesTheDrawTime) {
  WindowFixture f;  // Saturday 2024-06-01 08:30: the next 双色球 draw is Sunday
  rg_CastPanel* cast = f.window->MainPanel()->CastPanel();
  cast->MethodChoice()->Select(3);
  cast->ZodiacChoice()->Select(2);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  const rg_GuaAnalysis& a = f.window->MainPanel()->GuaPanel()->Report().Analysis();
  EXPECT_EQ(a.castTime, MakeDate(2024, 6, 2, 21, 15, 0));
  EXPECT_EQ(a.timeChoice, TimeChoice::NextDraw);
  EXPECT_EQ(a.numberText.size(), 13u);
  EXPECT_TRUE(f.window->MainPanel()->GuaPanel()->Header()->text().startsWith("以超时空毫秒起卦"));
}

TEST(MainWindow, HandCastThroughTheDialog) {
  WindowFixture f;
  Messages messages;
  rg_CastPanel* cast = f.window->MainPanel()->CastPanel();
  cast->MethodChoice()->Select(2);
  cast->ZodiacChoice()->Select(1);
  // Lines bottom to top: 阳动, 阴爻, 阳爻, 阴动, 阳爻, 阴爻.
  const int forms[6] = {3, 2, 1, 4, 1, 2};
  QTimer::singleShot(0, [&] {
    auto* dialog = qobject_cast<rg_GuaWin*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    for (int line = 1; line <= 6; ++line)
      dialog->Panel()->LineChoice(6 - line)->setCurrentIndex(forms[line - 1]);
    QTest::mouseClick(dialog->Panel()->ConfirmButton(), Qt::LeftButton);
  });
  QTest::mouseClick(qobject_cast<QPushButton*>(cast->Input()), Qt::LeftButton);
  EXPECT_EQ(cast->Request().upstr, u"010");
  EXPECT_EQ(cast->Request().downstr, u"101");
  EXPECT_EQ(cast->Request().dong, (std::vector<int>{1, 0, 0, -1, 0, 0}));
  EXPECT_EQ(cast->Request().castTime, MakeDate(2024, 6, 1, 8, 30, 0));
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(f.window->StatusPart(0)->text(), "按卦主生肖与自己装载线下卦测算");
  EXPECT_TRUE(f.window->MainPanel()->GuaPanel()->Header()->text().startsWith("以自己装卦"));
  EXPECT_TRUE(messages.shown.isEmpty());
}

TEST(MainWindow, PanelsDoNotOverlap) {
  WindowFixture f;
  rg_MainPanel* panel = f.window->MainPanel();
  const QFont font = f.window->MainFont();
  const QRect history = panel->HistoryPanel()->geometry();
  const QRect gua = panel->GuaPanel()->geometry();
  EXPECT_EQ(history.left(), gua.right() + 1 + 10);
  EXPECT_EQ(history.width(), 1024 - gua.left() - gua.width() - 30);
  EXPECT_LE(10 + rg_CastPanel::MaxWidth(font), history.left());
  EXPECT_EQ(panel->CastPanel()->pos(),
            QPoint(10, panel->DrawPanel()->geometry().bottom() + 1 + 10));
  EXPECT_EQ(gua.top(), panel->CastPanel()->geometry().bottom() + 1 + 10);
  EXPECT_LE(gua.bottom(), panel->height());
  EXPECT_LE(history.bottom(), panel->height());
  EXPECT_LE(panel->width(), f.window->width());
  // The reading's widest fixed line fits without scrolling sideways.
  const QFontMetrics m(panel->GuaPanel()->ReadingBox()->font());
  EXPECT_GE(
      panel->GuaPanel()->ReadingBox()->viewport()->width(),
      m.horizontalAdvance(
          "----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------"));
  EXPECT_EQ(panel->GuaPanel()->ReadingBox()->LeftMargin(), 20);
  EXPECT_EQ(panel->GuaPanel()->Heading()->palette().color(QPalette::Window), QColor(101, 203, 211));
}

// Larger: the list, the reading, the result and the note grow; the strip,
// the casting row and the grid stay. Smaller: the content scrolls. The size
// is kept in config.ini for the next start.
TEST(MainWindow, TheWindowGrowsScrollsAndKeepsItsSize) {
  WindowFixture f;
  rg_MainPanel* panel = f.window->MainPanel();
  rg_HistoryPanel* history = panel->HistoryPanel();
  rg_GuaPanel* gua = panel->GuaPanel();
  const int bar = f.window->statusBar()->height();
  EXPECT_EQ(f.window->size(), QSize(1024, 720 + f.window->statusBar()->sizeHint().height()));
  struct Geometry {
    QRect list, result, note, name, reading, grid, cast, draw;
  };
  const auto take = [&] {
    QApplication::processEvents();
    return Geometry{history->List()->geometry(),    history->ResultBox()->geometry(),
                    history->Note()->geometry(),    history->Name()->geometry(),
                    gua->ReadingBox()->geometry(),  gua->Grid()->geometry(),
                    panel->CastPanel()->geometry(), panel->DrawPanel()->geometry()};
  };
  const Geometry design = take();
  // The strip's height changes with the first draw; the rows below stay.
  panel->DrawPanel()->layoutDraw(1, QStringLiteral("03091619252907"), QStringLiteral("2026-12-03"),
                                 QStringLiteral("2026139"), panel->FontDescription(), 0);

  f.window->resize(1324, 720 + bar + 240);
  const Geometry large = take();
  EXPECT_EQ(large.list.width(), design.list.width() + 300);
  EXPECT_EQ(large.list.height(), design.list.height() + 80);
  EXPECT_EQ(large.result.height(), design.result.height() + 80);
  EXPECT_EQ(large.note.height(), design.note.height() + 80);
  EXPECT_EQ(large.name.height(), design.name.height());
  EXPECT_EQ(large.reading.height(), design.reading.height() + 240);
  EXPECT_EQ(large.grid, design.grid);
  EXPECT_EQ(large.cast, design.cast);
  EXPECT_EQ(large.draw.topLeft(), design.draw.topLeft());
  EXPECT_LE(history->geometry().bottom(), panel->height());
  EXPECT_LE(history->TrendButton()->geometry().bottom(), history->height());

  f.window->resize(800, 500);
  const Geometry small = take();
  EXPECT_EQ(small.list, design.list);
  EXPECT_EQ(small.note, design.note);
  auto* scroll = qobject_cast<QScrollArea*>(f.window->centralWidget());
  ASSERT_NE(scroll, nullptr);
  EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
  EXPECT_TRUE(scroll->horizontalScrollBar()->isVisible());
  EXPECT_GT(scroll->verticalScrollBar()->maximum(), 0);

  // Within the test screen (1280 × 1000), so that it comes back as it was.
  f.window->resize(790, 640);
  f.window->close();
  rg_Settings settings(f.home.path() / "config.ini");
  EXPECT_EQ(settings.Read(u"sys", u"window"), u"790x640");
  f.Create();
  EXPECT_EQ(f.window->size(), QSize(790, 640));
  EXPECT_FALSE(f.window->windowState() & Qt::WindowMaximized);
  // Kept from a larger screen: it opens within this one, never past it.
  settings.Write(u"sys", u"window", u"1300x900");
  f.Create();
  const QSize room = f.window->screen()->availableSize();
  EXPECT_LE(f.window->width(), room.width());
  EXPECT_LE(f.window->height(), room.height());
  // A value that is no size is ignored: the design size.
  for (const char16_t* bad : {u"99999x99999", u"1300x", u"-5x700", u"12x12"}) {
    settings.Write(u"sys", u"window", bad);
    f.Create();
    EXPECT_EQ(f.window->width(), 1024) << ToUtf8(bad);
  }
}

TEST(MainWindow, UpdateCheckIsArmedUnlessOfferedToday) {
  {
    WindowFixture f;
    EXPECT_TRUE(f.window->UpdateTimer().isActive());
    EXPECT_EQ(f.window->UpdateTimer().interval(), 5000);
  }
  WindowFixture g(false);
  rg_Settings(g.home.path() / "config.ini").Write(u"sys", u"update_day", u"2024年6月1日");
  g.Create();
  EXPECT_FALSE(g.window->UpdateTimer().isActive());
}

TEST(MainWindow, AHistoryThatCannotBeOpenedIsReported) {
  WindowFixture f(false);
  f.store.Close();
  f.Create();
  EXPECT_TRUE(f.window->StatusPart(0)->text().startsWith("历史记录文件无法打开"));
}

TEST(Splash, ClosesItselfAfterThreeSeconds) {
  rg_LoadWin splash;
  QElapsedTimer clock;
  clock.start();
  EXPECT_EQ(splash.size(), QSize(488, 288));
  splash.exec();
  EXPECT_GE(clock.elapsed(), 2900);
  EXPECT_LT(clock.elapsed(), 6000);
}

TEST(Splash, AClickClosesItAtOnce) {
  rg_LoadWin splash;
  QTimer::singleShot(50, [&] { QTest::mouseClick(&splash, Qt::LeftButton); });
  QElapsedTimer clock;
  clock.start();
  splash.exec();
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_FALSE(splash.Timer().isActive());
}

TEST(Startup, LeftoverInstallerIsDeletedOnlyByPlainName) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  rg_Settings settings(home.path() / "config.ini");
  std::ofstream(home.path() / "ABC.run") << "x";
  settings.Write(u"sys", u"update_file", u"ABC.run");
  TempDir lockDir;
  {
    rg_startup_class startup({home.path(), lockDir.path() / "xyh.sq", false});
    ASSERT_TRUE(startup.Start());
  }
  EXPECT_FALSE(std::filesystem::exists(home.path() / "ABC.run"));

  TempDir outside;
  std::ofstream(outside.path() / "keep.txt") << "x";
  for (const std::u16string name : {u"../keep.txt", u"..", u"/etc/passwd", u"a/b"}) {
    settings.Write(u"sys", u"update_file", name);
    rg_startup_class startup({home.path(), lockDir.path() / "xyh.sq", false});
    ASSERT_TRUE(startup.Start());
  }
  EXPECT_TRUE(std::filesystem::exists(outside.path() / "keep.txt"));
}

TEST(Startup, ASecondCopyEndsSilently) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  TempDir data;
  rg_InstanceLock first;
  ASSERT_TRUE(first.Acquire(data.path() / PathFromUtf8("星衍推号") / "xyh.sq"));

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(data.path().string()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(XYH_GUI_PATH),
               {"--home", QString::fromStdString(home.path().string())});
  ASSERT_TRUE(second.waitForFinished(10000));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(second.readAllStandardOutput().isEmpty());

  // Without the lock held the program starts and keeps running.
  first.Release();
  QProcess alone;
  alone.setProcessEnvironment(env);
  alone.start(QStringLiteral(XYH_GUI_PATH),
              {"--home", QString::fromStdString(home.path().string())});
  EXPECT_FALSE(alone.waitForFinished(1500));
  alone.kill();
  alone.waitForFinished(5000);
}

TEST(Startup, EscapingExceptionsAreReportedWithMinusOne) {
  Messages messages;
  EXPECT_EQ(RunGuarded([]() -> int { throw rg_ProgramError(7, "坏了"); }), -1);
  EXPECT_EQ(messages.Last(), "俘获到异常,代码值为: 7, 描述为: 坏了");
  EXPECT_EQ(messages.shown.back().caption, "运行时异常");
  EXPECT_EQ(RunGuarded([]() -> int { throw 42; }), -1);
  EXPECT_EQ(messages.Last(), "程序在运行时抛出了未被管理的异常");
  EXPECT_EQ(RunGuarded([] { return 3; }), 3);
}

TEST(Startup, VersionAndHelpOpenNoWindow) {
  QProcess p;
  p.start(QStringLiteral(XYH_GUI_PATH), {"--version"});
  ASSERT_TRUE(p.waitForFinished(5000));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_EQ(p.readAllStandardOutput().trimmed(), "xyh 1.0.0");
  p.start(QStringLiteral(XYH_GUI_PATH), {"--help"});
  ASSERT_TRUE(p.waitForFinished(5000));
  EXPECT_TRUE(p.readAllStandardOutput().contains("--home"));
}
