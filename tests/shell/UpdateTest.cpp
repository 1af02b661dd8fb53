#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <fstream>
#include <thread>

#include "net/HttpClient.h"
#include "platform/Utf.h"
#include "support/GuiTest.h"
#include "support/TestServer.h"
#include "support/UpdateFixture.h"
#include "update/UpdateService.h"
#include "update/UpdateWin.h"

using namespace test_support;

TEST(Update, NothingOfferedForTheSameBuild) {
  UpdateFixture u;
  u.Manifest(1, "X", u"6800");
  u.f.Create();
  EXPECT_TRUE(u.f.window->UpdateTimer().isActive());
  u.Check();
  EXPECT_FALSE(u.f.window->UpdateTimer().isActive());
  EXPECT_EQ(u.f.window->UpdateWindow(), nullptr);
  EXPECT_EQ(u.Setting(u"update_day"), u"");
  EXPECT_EQ(u.Setting(u"update_file"), u"");
  EXPECT_EQ(u.ManifestRequests(), 1);
}

TEST(Update, AManifestWithoutABodyIsRejected) {
  UpdateFixture u;
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800", false);
  u.f.Create();
  u.Check();
  EXPECT_EQ(u.f.window->UpdateWindow(), nullptr);
  EXPECT_EQ(u.Setting(u"update_day"), u"");
}

TEST(Update, NoHostNoRequest) {
  UpdateFixture u;
  rg_Settings(u.f.home.path() / "config.ini").Write(u"net", u"update_host", u"");
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800");
  u.f.Create();
  u.f.window->CheckForUpdate();
  EXPECT_FALSE(u.f.window->UpdateCheckRunning());
  EXPECT_EQ(u.ManifestRequests(), 0);
}

TEST(Update, AnUntrustedServerIsNotAsked) {
  UpdateFixture u(false);
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800");
  u.f.Create();
  u.Check();
  EXPECT_EQ(u.f.window->UpdateWindow(), nullptr);
  EXPECT_EQ(u.ManifestRequests(), 0);  // the handshake failed: no request
}

TEST(Update, AnOfferOpensTheWindowAndIsNotMadeTwiceADay) {
  UpdateFixture u;
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800");
  u.f.Create();
  u.Check();
  rg_updateWin* win = u.f.window->UpdateWindow();
  ASSERT_NE(win, nullptr);
  EXPECT_EQ(win->windowTitle(), "发现新版本");
  EXPECT_EQ(win->State(), 0);
  rg_UpdatePanel* p = win->Panel();
  EXPECT_EQ(p->Line(1)->text(), "软件名称:星衍推号");
  EXPECT_EQ(p->Line(2)->text(), "当前版本:V1.0.0");
  EXPECT_EQ(p->Line(3)->text(), "最新版本:V1.1.0");
  EXPECT_EQ(p->Line(4)->text(), "发布日期:2026-12-01");
  EXPECT_EQ(p->Line(5)->text(), "文件大小:3MB");
  EXPECT_EQ(p->Body()->toPlainText(), "更新内容:修正了若干问题\n更快");
  EXPECT_EQ(p->Address(), "h");
  rg_UpdateOffer offered;
  offered.md5 = u"0123456789ABCDEF0123456789ABCDEF";
  EXPECT_EQ(u.Setting(u"update_file"), InstallerName(offered));  // .run, or .exe on Windows
  EXPECT_EQ(u.Setting(u"update_day"), u"2024年6月1日");

  // Layout from the measured "新": P = 2W x length of the day.
  const QSize unit = ui::CharExtent(u.f.window->MainFont(), "新");
  const int w = unit.width(), h = unit.height();
  const int pw = 2 * w * 10;
  EXPECT_EQ(p->size(), QSize(pw, 16 * h + 82));
  EXPECT_EQ(p->Line(3)->geometry(), QRect(5, 2 * h + 18, pw - 10, h));
  EXPECT_EQ(p->Body()->geometry(), QRect(5, 5 * h + 36, pw - 30, 8 * h));
  EXPECT_EQ(p->Progress()->geometry(), QRect(5, 13 * h + 42, pw - 30, h + 8));
  EXPECT_EQ(p->LaterButton()->geometry(),
            QRect((pw - 12 * w - 10) / 2, 15 * h + 62, 6 * w, h + 12));
  EXPECT_EQ(p->DownloadButton()->x(), p->LaterButton()->x() + 6 * w + 10);

  // The address "h" is no https address: a failed download, tried again at will.
  QTest::mouseClick(p->DownloadButton(), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(win->State(), -2, 5000);
  EXPECT_EQ(p->Status()->text(), "对不起！下载失败请检查网络稍候再试");
  EXPECT_EQ(p->DownloadButton()->text(), "立即下载");
  EXPECT_TRUE(p->DownloadButton()->isEnabled());
  EXPECT_TRUE(p->LaterButton()->isEnabled());

  // "下次再说" closes it without a question.
  QTest::mouseClick(p->LaterButton(), Qt::LeftButton);
  QTRY_VERIFY(u.f.window->UpdateWindow() == nullptr);
  EXPECT_TRUE(u.messages.shown.isEmpty());

  // A restart on the same day makes no request.
  u.f.window.reset();
  u.f.Create();
  EXPECT_FALSE(u.f.window->UpdateTimer().isActive());
  EXPECT_EQ(u.ManifestRequests(), 1);
}

// The fingerprint is compared exactly, so a lower-case one never matches.
TEST(Update, DownloadVerifyAndStartTheInstallerOfTheExactFingerprint) {
  for (const bool lower : {true, false}) {  // a started installer closes the windows: last
    SCOPED_TRACE(lower ? "lower-case" : "as computed");
    UpdateFixture u;
    TempDir markers;
    const auto marker = markers.path() / "installed";
    std::string md5 = u.Installer(marker);
    for (char& c : md5)
      c = lower ? static_cast<char>(std::tolower(static_cast<unsigned char>(c))) : c;
    u.Manifest(2, md5, u.InstallerUrlHex());
    u.f.Create();
    u.Check();
    rg_updateWin* win = u.f.window->UpdateWindow();
    ASSERT_NE(win, nullptr);
    rg_UpdatePanel* p = win->Panel();
    QTest::mouseClick(p->DownloadButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(win->State(), 2, 10000);
    EXPECT_EQ(p->Status()->text(), "恭喜您！更新已下载成功!");
    EXPECT_EQ(p->DownloadButton()->text(), "立即安装");
    EXPECT_EQ(p->Progress()->value(), 100);
    const auto installer = u.f.home.path() / (md5 + ".run");
    EXPECT_TRUE(std::filesystem::exists(installer));
    QTest::mouseClick(p->DownloadButton(), Qt::LeftButton);
    if (lower) {
      EXPECT_EQ(p->Status()->text(), "文件指纹不正确，请重新下载");
      EXPECT_FALSE(std::filesystem::exists(installer));
      EXPECT_EQ(p->DownloadButton()->text(), "立即下载");
      EXPECT_FALSE(std::filesystem::exists(marker));
      continue;
    }
    EXPECT_EQ(p->Status()->text(), "文件指纹正确，立即进行安装");
    QTRY_VERIFY_WITH_TIMEOUT(std::filesystem::exists(marker), 10000);
    QTRY_VERIFY(!u.f.window->isVisible());  // the program closes for the installer
    // Every window of it: nothing keeps the process alive.
    QTRY_VERIFY(u.f.window->UpdateWindow() == nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
      EXPECT_FALSE(w->isVisible()) << w->metaObject()->className();
  }
}

TEST(Update, ClosingWhileDownloadingAsksFirst) {
  UpdateFixture u;
  // The size announced is the size sent: the download runs until closed.
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF",
             HexOf(u.server->NamedUrl("/slow/100000000/1000/50")), true, 100000000);
  u.f.Create();
  u.Check();
  rg_updateWin* win = u.f.window->UpdateWindow();
  ASSERT_NE(win, nullptr);
  QTest::mouseClick(win->Panel()->DownloadButton(), Qt::LeftButton);
  EXPECT_EQ(win->State(), 1);
  EXPECT_EQ(win->Panel()->DownloadButton()->text(), "…下载中…");
  EXPECT_FALSE(win->Panel()->LaterButton()->isEnabled());
  u.messages.answer = ui::Answer::No;
  EXPECT_FALSE(win->close());
  EXPECT_EQ(u.messages.Last(), "未完成本次更新的安装，是否取消本次更新?");
  EXPECT_EQ(u.messages.shown.back().caption, "询问:");
  EXPECT_TRUE(win->isVisible());
  // Progress reaches the bar and the status line.
  QTRY_VERIFY_WITH_TIMEOUT(win->Panel()->Status()->text().startsWith("文件大小:95.37/已下载:"),
                           5000);
  u.messages.answer = ui::Answer::Yes;
  EXPECT_TRUE(win->close());
  QTRY_VERIFY(u.f.window->UpdateWindow() == nullptr);
}

TEST(Update, AnInstallerThatCannotStartIsReported) {
  UpdateFixture u;
  TempDir markers;
  // Not a program: starting it fails.
  const auto file = u.root.path() / "installer.run";
  std::ofstream(file) << "\x7F"
                         "ELF not really";
  u.Manifest(2, ToUtf8(FileMd5(file)), u.InstallerUrlHex());
  u.f.Create();
  u.Check();
  rg_UpdatePanel* p = u.f.window->UpdateWindow()->Panel();
  QTest::mouseClick(p->DownloadButton(), Qt::LeftButton);
  QTRY_COMPARE_WITH_TIMEOUT(u.f.window->UpdateWindow()->State(), 2, 10000);
  QTest::mouseClick(p->DownloadButton(), Qt::LeftButton);
  EXPECT_TRUE(u.messages.Last().startsWith("安装程序无法启动:"));
  EXPECT_EQ(u.messages.shown.back().caption, "信息:");
  EXPECT_TRUE(u.f.window->isVisible());
}
