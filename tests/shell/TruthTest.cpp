// What the window shows is what is so: the review's numbers, the QR code
// of the result on screen, status texts that do not hide each other, the
// last good draw, a damaged or locked history said plainly.
#include <sqlite3.h>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QToolTip>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "draws/DrawPanel.h"
#include "net/HttpClient.h"
#include "platform/Folders.h"
#include "platform/Utf.h"
#include "shell/InstanceBell.h"
#include "shell/MainPanel.h"
#include "shell/Startup.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/HandCastPanel.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/LabeledText.h"
#include "shell/panels/QrBitmap.h"
#include "support/GuiTest.h"
#include "support/LockHolder.h"
#include "support/PanelsFixture.h"
#include "support/Records.h"
#include "support/StoreFile.h"
#include "support/TestServer.h"

using namespace test_support;

namespace {

struct Window : PanelsFixture {
  using PanelsFixture::PanelsFixture;
  void Save(const QString& name, const QString& note = {}) {
    auto* box = qobject_cast<QLineEdit*>(history()->Name()->Box());
    box->clear();
    box->insert(name);
    if (!note.isEmpty()) {
      auto* noteBox = qobject_cast<QPlainTextEdit*>(history()->Note()->Box());
      noteBox->clear();
      noteBox->insertPlainText(note);
    }
    QTest::mouseClick(history()->SaveButton(), Qt::LeftButton);
  }
  QString Status(int part) { return window->StatusPart(part)->text(); }
};

constexpr auto Bytes = &test_support::FileBytes;

}  // namespace

TEST(Review, ANumberCastKeepsItsSavedMomentUntilANewInput) {
  Window f;
  f.CastNumber("58");
  const QString saved = f.history()->ResultBox()->Text();
  f.Save("甲");
  f.clock.Set(MakeDate(2025, 1, 2, 23, 40));
  f.window->Review(f.history()->Model().Id(0));
  const double stored = MakeDate(2024, 6, 1, 8, 30, 0, 125);
  EXPECT_EQ(f.gua()->Report().Analysis().castTime, stored);
  EXPECT_EQ(f.history()->ResultBox()->Text(), saved);  // the numbers that were saved

  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);  // again: still that moment
  EXPECT_EQ(f.gua()->Report().Analysis().castTime, stored);
  f.cast()->ZodiacChoice()->Select(2);
  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(f.gua()->Report().Analysis().castTime, stored);

  QTest::keyClicks(f.cast()->NumberEntry(), "1");  // a new number is a new cast
  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(f.gua()->Report().Analysis().castTime, MakeDate(2025, 1, 2, 23, 40));

  f.window->Review(f.history()->Model().Id(0));
  QTest::mouseClick(f.cast()->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(f.cast()->Request().id, 0);
  f.window->Review(f.history()->Model().Id(0));
  f.cast()->MethodChoice()->Select(3);  // another method is a new cast too
  EXPECT_EQ(f.cast()->Request().id, 0);
}

TEST(Review, EnterInTheNumberBoxPressesCalculate) {
  Window f;
  f.cast()->MethodChoice()->Select(1);
  f.cast()->ZodiacChoice()->Select(3);
  QTest::keyClicks(f.cast()->NumberEntry(), "58");
  QTest::keyClick(f.cast()->NumberEntry(), Qt::Key_Return);
  EXPECT_EQ(f.Status(0), "按卦主生肖与数字测算");
  EXPECT_FALSE(f.history()->ResultBox()->Text().isEmpty());
}

TEST(HistoryList, IdsBeyond32BitsAreReviewedAndDeleted) {
  Window f;
  Messages messages;
  f.CastNumber("58");
  f.Save("甲");
  rg_YsModel big = test_support::StoredCast(f.store, f.history()->Model().Id(0));
  big._id = 0;
  big.ysname = u"大";
  ASSERT_TRUE(f.store.Save(big));
  // As another program might have stored it.
  sqlite3* raw = nullptr;
  sqlite3_open(rg_EasyDb::FileIn(f.home.path()).c_str(), &raw);
  sqlite3_exec(raw, "UPDATE xyh_table SET _id=4294967297 WHERE ysname='大'", nullptr, nullptr,
               nullptr);
  sqlite3_close(raw);
  f.window->FillHistory();
  ASSERT_EQ(f.history()->Model().Id(0), 4294967297);
  QTest::mouseClick(f.cast()->ResetButton(), Qt::LeftButton);
  f.window->Review(f.history()->Model().Id(0));
  EXPECT_EQ(f.cast()->Request().id, 4294967297);
  EXPECT_FALSE(f.history()->ResultBox()->Text().isEmpty());
  f.history()->Model().setData(f.history()->Model().index(0), Qt::Checked, Qt::CheckStateRole);
  f.window->DeleteTicked();
  f.WaitForDelete();
  EXPECT_FALSE(f.store.Load(4294967297).value().has_value());
  ASSERT_EQ(f.store.List().size(), 1u);
  EXPECT_EQ(f.history()->Model().rowCount(), 1);
}

TEST(HistoryList, TheTooltipShowsTheWholeNameAndTheNote) {
  Window f;
  f.CastNumber("58");
  const QString longTitle = QString(60, QChar(u'长')) + "<b>粗</b>";
  f.Save(longTitle, "第一行\n第二行");
  const QString tip = f.history()->Model().index(0).data(Qt::ToolTipRole).toString();
  EXPECT_TRUE(tip.contains(longTitle.toHtmlEscaped())) << tip.toStdString();
  EXPECT_TRUE(tip.contains("第一行<br>第二行"));
  EXPECT_TRUE(tip.endsWith("双击复盘查看</p>"));
  EXPECT_FALSE(tip.contains("<b>粗"));  // shown as typed, not as markup
  // A name, time included, stays on one line when the screen has room for
  // it (this one is wider than a tooltip's usual wrapping width).
  f.CastNumber("58");
  f.Save(QString(14, QChar(u'周')), "");
  const QString name = f.history()->Model().index(0).data().toString();
  ASSERT_LT(QFontMetrics(QToolTip::font()).horizontalAdvance(name),
            QGuiApplication::primaryScreen()->availableGeometry().width() - 40);
  QToolTip::showText(QPoint(10, 10), f.history()->Model().index(0).data(Qt::ToolTipRole).toString(),
                     f.history()->List());
  QLabel* label = nullptr;
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->inherits("QTipLabel")) label = qobject_cast<QLabel*>(w);
  }
  ASSERT_NE(label, nullptr);
  EXPECT_GE(label->width(), QFontMetrics(QToolTip::font()).horizontalAdvance(name));
  QToolTip::hideText();
}

TEST(QrView, ANewOrClearedResultHidesTheCodeAndResetsTheButton) {
  Window f;
  f.CastNumber("58");
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  f.CastNumber("123");  // another cast: the old code must go
  EXPECT_EQ(f.history()->Picture(), nullptr);
  EXPECT_EQ(f.history()->QrButton()->text(), "用手机查看");
  EXPECT_TRUE(f.history()->QrButton()->isEnabled());

  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  QTest::mouseClick(f.cast()->ResetButton(), Qt::LeftButton);
  EXPECT_EQ(f.history()->Picture(), nullptr);
  EXPECT_EQ(f.history()->QrButton()->text(), "用手机查看");
  EXPECT_FALSE(f.history()->QrButton()->isEnabled());
}

TEST(QrView, TheScaledCodeOnScreenDecodes) {
  EXPECT_EQ(QrScale(QSize(97, 97), QSize(340, 300)), 3);
  EXPECT_EQ(QrScale(QSize(97, 97), QSize(97, 500)), 1);
  EXPECT_EQ(QrScale(QSize(97, 97), QSize(96, 500)), 0);

  Window f;
  f.CastNumber("2024060112", 3);
  QTest::mouseClick(f.history()->QrButton(), Qt::LeftButton);
  ASSERT_NE(f.history()->Picture(), nullptr);
  QImage shown = f.history()->Picture()->pixmap().toImage();
  int modules = 0;
  QrModules(f.history()->ResultBox()->Text().toStdString(), modules);
  const int factor = shown.width() / modules;
  ASSERT_GE(factor, 2);
  EXPECT_EQ(shown.width(), modules * factor);
  // Nearest neighbour: only black and white, no smoothed greys.
  for (int y = 0; y < shown.height(); y += 3) {
    for (int x = 0; x < shown.width(); x += 3) {
      const QRgb p = shown.pixel(x, y);
      ASSERT_TRUE(qGray(p) == 0 || qGray(p) == 255) << x << "," << y;
    }
  }
  // The picture exactly as shown, with the quiet zone a reader needs.
  QImage framed(shown.width() + 8 * factor, shown.height() + 8 * factor, QImage::Format_RGB32);
  framed.fill(Qt::white);
  for (int y = 0; y < shown.height(); ++y) {
    for (int x = 0; x < shown.width(); ++x)
      framed.setPixel(x + 4 * factor, y + 4 * factor, shown.pixel(x, y));
  }
  TempDir dir;
  const QString file = QString::fromStdString((dir.path() / "shown.png").string());
  ASSERT_TRUE(framed.save(file));
  QProcess zbar;
  zbar.start("zbarimg", {"--quiet", "--raw", "-Sbinary", file});
  ASSERT_TRUE(zbar.waitForFinished(20000));
  QByteArray decoded = zbar.readAllStandardOutput();
  const QByteArray text = f.history()->ResultBox()->Text().toUtf8();
  if (decoded.endsWith('\n') && !text.endsWith('\n')) decoded.chop(1);
  EXPECT_EQ(decoded, text);
}

TEST(ResultPanel, SaveAndDeleteStateFollowTheList) {
  Window f;
  Messages messages;
  f.CastNumber("58");
  for (const char* name : {"一", "二", "三"}) f.Save(name);
  f.history()->List()->setCurrentIndex(f.history()->Model().index(1));
  f.history()->Model().setData(f.history()->Model().index(0), Qt::Checked, Qt::CheckStateRole);
  f.history()->Model().setData(f.history()->Model().index(2), Qt::Checked, Qt::CheckStateRole);
  ASSERT_TRUE(f.history()->DeleteButton()->isEnabled());
  QTest::mouseClick(f.history()->DeleteButton(), Qt::LeftButton);
  f.WaitForDelete();
  ASSERT_EQ(f.history()->Model().rowCount(), 1);
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());  // nothing ticked is left
  EXPECT_FALSE(f.history()->SelectAll()->isChecked());

  QTest::mouseClick(f.history()->SelectAll(), Qt::LeftButton);
  EXPECT_TRUE(f.history()->SelectAll()->isChecked());
  f.Save("四");  // a refill brings every item back unticked
  EXPECT_FALSE(f.history()->SelectAll()->isChecked());
  EXPECT_FALSE(f.history()->DeleteButton()->isEnabled());
}

TEST(StatusBar, CastingAndNetworkTextsDoNotHideEachOther) {
  rg_NetworkScope network;
  Window f(false);
  rg_Settings(f.home.path() / "config.ini").Write(u"net", u"probe_host", u"no-such-host.invalid");
  f.Create();
  f.cast()->MethodChoice()->Select(1);
  QTest::keyClicks(f.cast()->NumberEntry(), "58");
  QTest::mouseClick(f.cast()->CalculateButton(), Qt::LeftButton);
  EXPECT_EQ(f.Status(0), "未选择卦主生肖");
  rg_MainPanel* panel = f.window->MainPanel();
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  EXPECT_EQ(f.Status(1), "未连网");
  EXPECT_EQ(f.Status(0), "未选择卦主生肖");
  // The long draw message fits its part.
  const QFontMetrics metrics(f.window->StatusPart(1)->font());
  EXPECT_GE(f.window->StatusPart(1)->width(),
            metrics.horizontalAdvance(ui::Q(std::u16string(kDrawUpdatedMessage))));
}

TEST(DrawRefresh, AFailedRefreshKeepsTheLastGoodDrawAndSaysWhy) {
  XYH_SKIP_WITHOUT_PING();
  rg_NetworkScope network;
  TempDir root;
  TestServer server{root.path()};
  std::filesystem::copy_file(std::string(XYH_TEST_DATA) + "/results_home.gb18030.html",
                             root.path() / "home.html");
  std::ofstream(root.path() / "other.html") << "<html><body><p>a new layout</p></body></html>";
  Window f(false);
  rg_DrawSources sources;
  sources.resultsHome = FromUtf8(server.Url("/files/home.html"));
  sources.probeHost = u"127.0.0.1";
  rg_Settings settings(f.home.path() / "config.ini");
  settings.Write(u"net", u"results_home", sources.resultsHome);
  f.Create();
  rg_MainPanel* panel = f.window->MainPanel();
  const auto refresh = [&] {
    QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  };
  const auto balls = [&] {
    QStringList texts;
    for (QLabel* l : panel->DrawPanel()->Balls()) texts << l->text();
    return texts;
  };
  refresh();
  const QStringList good = balls();
  ASSERT_EQ(good, QStringList({"03", "09", "16", "19", "25", "29", "07"}));

  sources.resultsHome = FromUtf8(server.Url("/status/404"));
  panel->SetDrawSources(sources);
  refresh();
  EXPECT_EQ(balls(), good);
  EXPECT_EQ(panel->DrawPanel()->Captions()[2]->text(), "2024062");
  EXPECT_EQ(f.Status(1), "开奖数据刷新失败:无法下载开奖网页,仍显示上一次的开奖数据");

  sources.resultsHome = FromUtf8(server.Url("/files/other.html"));
  panel->SetDrawSources(sources);
  refresh();
  EXPECT_EQ(balls(), good);
  EXPECT_EQ(f.Status(1), "开奖数据刷新失败:无法识别开奖网页,仍显示上一次的开奖数据");

  sources.probeHost = u"no-such-host.invalid";
  panel->SetDrawSources(sources);
  refresh();
  EXPECT_EQ(balls(), good);
  EXPECT_EQ(f.Status(1), "开奖数据刷新失败:未连网,仍显示上一次的开奖数据");
}

TEST(HistoryFile, ADamagedFileIsShownAsFarAsItReadsAndNeverWritten) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  {
    rg_EasyDb db;
    db.Open(home.path());
    rg_YsModel r = NumberCast();
    for (int i = 1; i <= 60; ++i) {
      r.ysname = u"第" + DecimalText(i) + u"次,名称写得长一些好让表占用好几页(2024年6月1日8时30分)";
      db.Save(r);
    }
  }
  const auto file = rg_EasyDb::FileIn(home.path());
  const std::string bytes = BreakFirstLeaf(file);  // the oldest rows' page

  FixedClock clock(MakeDate(2024, 6, 1, 8, 30));
  rg_EasyDb store;
  ASSERT_EQ(store.Open(home.path()), rg_EasyDb::OpenResult::Damaged);
  rg_XyhWin window(TestWindowOptions(home.path(), &clock, &store));
  window.Create();
  rg_HistoryPanel* history = window.MainPanel()->HistoryPanel();
  EXPECT_GT(history->Model().rowCount(), 0);
  EXPECT_LT(history->Model().rowCount(), 60);
  EXPECT_TRUE(window.StatusPart(0)->text().contains("历史记录文件已损坏"))
      << window.StatusPart(0)->text().toStdString();

  rg_CastPanel* cast = window.MainPanel()->CastPanel();
  cast->MethodChoice()->Select(1);
  QTest::keyClicks(cast->NumberEntry(), "58");
  cast->ZodiacChoice()->Select(1);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  qobject_cast<QLineEdit*>(history->Name()->Box())->insert("新的");
  QTest::mouseClick(history->SaveButton(), Qt::LeftButton);
  EXPECT_TRUE(window.StatusPart(0)->text().startsWith("保存失败:历史记录文件已损坏"));
  EXPECT_EQ(history->Name()->Text(), "新的");  // what was typed stays
  store.Close();
  EXPECT_EQ(Bytes(file), bytes);
}

TEST(HistoryFile, ALockedFileSaysWhyAndWorksOnceItIsFree) {
  Window f;
  f.CastNumber("58");
  f.Save("甲");
  ASSERT_EQ(f.history()->Model().rowCount(), 1);
  {
    LockHolder lock(rg_EasyDb::FileIn(f.home.path()));
    ASSERT_TRUE(lock.Locked());
    f.Save("乙");
    EXPECT_EQ(f.Status(0), "保存失败:历史记录文件正被其他程序使用,请稍后再试");
    EXPECT_EQ(f.history()->Name()->Text(), "乙");
    f.history()->Model().setData(f.history()->Model().index(0), Qt::Checked, Qt::CheckStateRole);
    f.window->FillHistory();
    EXPECT_EQ(f.Status(0), "历史记录读取不全:历史记录文件正被其他程序使用,请稍后再试");
    ASSERT_EQ(f.history()->Model().rowCount(), 1);  // the list shown stays
    EXPECT_TRUE(f.history()->Model().Checked(0));
  }
  QTest::mouseClick(f.history()->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(f.Status(0), "保存成功");
  EXPECT_EQ(f.history()->Model().rowCount(), 2);
}

TEST(HistoryFile, ALockAtStartLeavesTheHistoryUsable) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  {
    rg_EasyDb db;
    db.Open(home.path());
  }
  rg_EasyDb store;
  {
    LockHolder lock(rg_EasyDb::FileIn(home.path()));
    ASSERT_TRUE(lock.Locked());
    EXPECT_EQ(store.Open(home.path()), rg_EasyDb::OpenResult::Busy);
  }
  FixedClock clock(MakeDate(2024, 6, 1, 8, 30));
  rg_XyhWin window(TestWindowOptions(home.path(), &clock, &store));
  window.Create();
  rg_CastPanel* cast = window.MainPanel()->CastPanel();
  cast->MethodChoice()->Select(1);
  QTest::keyClicks(cast->NumberEntry(), "58");
  cast->ZodiacChoice()->Select(1);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
  rg_HistoryPanel* history = window.MainPanel()->HistoryPanel();
  qobject_cast<QLineEdit*>(history->Name()->Box())->insert("甲");
  QTest::mouseClick(history->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(window.StatusPart(0)->text(), "保存成功");
  EXPECT_EQ(history->Model().rowCount(), 1);
}

TEST(Layout, EveryControlIsAsTallAsItsStyleNeeds) {
  Window f;
  f.cast()->MethodChoice()->Select(1);
  Messages messages;
  rg_GuaWin dialog(f.window.get(), f.window->MainFont(), f.clock, f.cast()->Request());
  for (QWidget* top : {static_cast<QWidget*>(f.window.get()), static_cast<QWidget*>(&dialog)}) {
    for (QComboBox* combo : top->findChildren<QComboBox*>()) {
      EXPECT_GE(combo->height(), combo->sizeHint().height()) << combo->currentText().toStdString();
    }
    for (QLineEdit* line : top->findChildren<QLineEdit*>()) {
      if (line->parent()->inherits("QComboBox")) continue;
      EXPECT_GE(line->height(), line->minimumSizeHint().height());
    }
    for (QPushButton* button : top->findChildren<QPushButton*>()) {
      EXPECT_GE(button->height(), button->minimumSizeHint().height())
          << button->text().toStdString();
    }
  }
  // The captions' text stands level with the lists' text.
  for (rg_LabeledChoice* choice : {f.cast()->MethodChoice(), f.cast()->ZodiacChoice()}) {
    const QRect list = choice->Combo()->geometry();
    const QLabel* caption = choice->findChild<QLabel*>();
    ASSERT_NE(caption, nullptr);
    EXPECT_LE(std::abs(caption->geometry().center().y() - list.center().y()), 1);
    EXPECT_LE(list.bottom(), choice->height() - 1);
  }
}

TEST(Translations, StandardButtonsSpeakChinese) {
  ASSERT_TRUE(ui::InstallTranslations(*QCoreApplication::instance()));
  QMessageBox box(QMessageBox::Question, "询问:", "?",
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
  EXPECT_TRUE(box.button(QMessageBox::Yes)->text().startsWith("是"))
      << box.button(QMessageBox::Yes)->text().toStdString();
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith("否"));
  EXPECT_TRUE(box.button(QMessageBox::Ok)->text().startsWith("确定"));
}

TEST(Startup, ALockThatCannotBeMadeSaysWhereAndWhy) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  TempDir data;
  std::ofstream(data.path() / "not-a-folder") << "x";
  Messages messages;
  const auto lockFile = data.path() / "not-a-folder" / "xyh.sq";
  rg_startup_class startup({home.path(), lockFile, false});
  EXPECT_FALSE(startup.Start());
  EXPECT_EQ(startup.ExitCode(), 1);
  ASSERT_EQ(messages.shown.size(), 1);
  EXPECT_TRUE(messages.Last().contains(QString::fromStdString(lockFile.string())));
  EXPECT_TRUE(messages.Last().contains("原因:"));
  EXPECT_EQ(messages.shown.back().kind, ui::MessageKind::Critical);
  EXPECT_EQ(startup.Window(), nullptr);
}

TEST(Startup, ASecondStartBringsTheFirstWindowForward) {
  TempDir home;
  PointNetworkAtLoopback(home.path());
  TempDir data;
  // Where the program itself puts its lock with XDG_DATA_HOME set to data.
  const auto lockFile = data.path() / PathFromUtf8("星衍推号") / "xyh.sq";
  // The bell of a copy that crashed is still there.
  std::filesystem::create_directories(lockFile.parent_path());
  {
    const int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, rg_BellSocket::PathFor(lockFile).c_str());
    ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    close(fd);
  }
  rg_startup_class first({home.path(), lockFile, false});
  ASSERT_TRUE(first.Start());
  ASSERT_NE(first.Bell(), nullptr);
  QSignalSpy rung(first.Bell(), &rg_InstanceBell::rung);
  first.Window()->showMinimized();

  QProcess second;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_DATA_HOME", QString::fromStdString(data.path().string()));
  env.insert("QT_QPA_PLATFORM", "offscreen");
  second.setProcessEnvironment(env);
  second.start(QStringLiteral(XYH_GUI_PATH),
               {"--home", QString::fromStdString(home.path().string())});
  QTRY_COMPARE_WITH_TIMEOUT(rung.count(), 1, 10000);
  QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 10000);
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_FALSE(first.Window()->isMinimized());
  EXPECT_TRUE(first.Window()->isVisible());
}
