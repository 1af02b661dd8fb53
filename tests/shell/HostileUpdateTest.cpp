// The update window and the strip against servers that answer to do harm.
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <chrono>
#include <fstream>
#include <map>

#include "draws/DrawPanel.h"
#include "shell/MainPanel.h"
#include "support/GuiTest.h"
#include "support/UpdateFixture.h"

using namespace test_support;

namespace {

constexpr auto Slurp = &test_support::FileBytes;

// Every file below a folder with its size.
std::map<std::string, std::uintmax_t> Listing(const std::filesystem::path& dir) {
  std::map<std::string, std::uintmax_t> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
    out[e.path().string()] = e.is_regular_file() ? e.file_size() : 0;
  }
  return out;
}

void WriteManifest(UpdateFixture& u, const std::string& md5Json, const std::u16string& urlHex,
                   double size, const std::string& verns = "V1.1.0") {
  std::ofstream out(u.root.path() / "update" / "xyh" / "index.json");
  out << R"({"name":"星衍推号","ver":2,"verns":")" << verns << R"(","day":"2026-12-01","url":")"
      << ToUtf8(urlHex) << R"(","md5":)" << md5Json << R"(,"size":)" << size
      << R"(,"body":"<b>粗</b>"})";
}

bool AnyWindowVisible() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->isVisible()) return true;
  }
  return false;
}

}  // namespace

TEST(HostileUpdate, AFingerprintThatIsAPathOrALineOffersNothingAndWritesNothing) {
  for (const char* md5 : {R"("../../escape")", R"("/tmp/xyh-victim\u0000")",
                          R"("0123456789ABCDEF\r\n[net]\r\nupdate_host=127.0.0.1:9")"}) {
    UpdateFixture u;
    WriteManifest(u, md5, u.InstallerUrlHex(), 100);
    u.f.Create();
    const std::string config = Slurp(u.f.home.path() / "config.ini");
    const auto files = Listing(u.f.home.path());
    u.Check();
    EXPECT_EQ(u.f.window->UpdateWindow(), nullptr) << md5;
    EXPECT_EQ(Slurp(u.f.home.path() / "config.ini"), config) << md5;
    EXPECT_EQ(Listing(u.f.home.path()), files) << md5;
    EXPECT_FALSE(
        std::filesystem::exists(u.f.home.path().parent_path().parent_path() / "escape.run"));
  }
}

TEST(HostileUpdate, AManifestThatRedirectsToHttpIsNotFollowed) {
  UpdateFixture u;
  TestServer plain(u.root.path());
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800");
  std::filesystem::copy_file(u.root.path() / "update" / "xyh" / "index.json",
                             u.root.path() / "index.json");
  std::ofstream(u.root.path() / "update" / "xyh" / "index.json.redirect")
      << plain.Url("/files/index.json");
  u.f.Create();
  u.Check();
  EXPECT_EQ(u.f.window->UpdateWindow(), nullptr);
  EXPECT_EQ(u.Setting(u"update_file"), u"");
  rg_WangLaoFangWenLei client;
  EXPECT_EQ(client.Access(plain.Url16("/count/files/index.json")).body, "0");
}

TEST(HostileUpdate, TheManifestIsBounded) {
  for (const std::int64_t size : {kMaxManifestBytes, kMaxManifestBytes + 1}) {
    UpdateFixture u;
    u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF", u"6800");
    const auto file = u.root.path() / "update" / "xyh" / "index.json";
    const auto length = static_cast<std::int64_t>(std::filesystem::file_size(file));
    std::ofstream(file, std::ios::app) << std::string(static_cast<size_t>(size - length), ' ');
    u.f.Create();
    u.Check();
    EXPECT_EQ(u.f.window->UpdateWindow() != nullptr, size == kMaxManifestBytes) << size;
  }
}

TEST(HostileUpdate, AnInstallerThatRedirectsToHttpOrGrowsPastItsSizeFails) {
  UpdateFixture u;
  TestServer plain(u.root.path());
  TempDir markers;
  const std::string md5 = u.Installer(markers.path() / "never");
  struct Case {
    std::u16string url;
    double size;
  };
  const auto installerSize =
      static_cast<double>(std::filesystem::file_size(u.root.path() / "installer.run"));
  const std::vector<Case> cases = {
      {HexOf(u.server->NamedUrl("/goto?" + plain.Url("/files/installer.run"))), installerSize},
      {HexOf(u.server->NamedUrl("/chunked/300000")), 1000},
      {HexOf(u.server->NamedUrl("/pad/300000")), 1000},
      {HexOf(u.server->NamedUrl("/endless")), 1000},
  };
  for (const Case& c : cases) {
    WriteManifest(u, "\"" + md5 + "\"", c.url, c.size);
    u.f.Create();
    u.Check();
    rg_updateWin* win = u.f.window->UpdateWindow();
    ASSERT_NE(win, nullptr);
    QTest::mouseClick(win->Panel()->DownloadButton(), Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(win->State(), -2, 20000);
    EXPECT_EQ(win->Panel()->Status()->text(), "对不起！下载失败请检查网络稍候再试");
    EXPECT_FALSE(std::filesystem::exists(u.f.home.path() / (md5 + ".run")));
    u.f.window.reset();
    rg_Settings(u.f.home.path() / "config.ini").Write(u"sys", u"update_day", u"");
  }
  rg_WangLaoFangWenLei client;
  EXPECT_EQ(client.Access(plain.Url16("/count/files/installer.run")).body, "0");
}

TEST(HostileUpdate, ManifestTextIsShownAsText) {
  UpdateFixture u;
  WriteManifest(u, R"("0123456789ABCDEF0123456789ABCDEF")", u"6800", 100,
                R"(<img src=\"/dev/zero\">)");
  u.f.Create();
  u.Check();
  rg_UpdatePanel* p = u.f.window->UpdateWindow()->Panel();
  for (int i = 1; i <= 5; ++i) EXPECT_EQ(p->Line(i)->textFormat(), Qt::PlainText) << i;
  EXPECT_EQ(p->Status()->textFormat(), Qt::PlainText);
  EXPECT_EQ(p->Line(3)->text(), "最新版本:<img src=\"/dev/zero\">");
  EXPECT_EQ(p->Body()->toPlainText(), "更新内容:<b>粗</b>");
}

TEST(HostileUpdate, ClosingTheMainWindowWithAnOfferOpenEndsTheProgram) {
  UpdateFixture u;
  u.Manifest(2, "0123456789ABCDEF0123456789ABCDEF",
             HexOf(u.server->NamedUrl("/slow/100000000/1000/50")));
  u.f.Create();
  u.Check();
  rg_updateWin* win = u.f.window->UpdateWindow();
  ASSERT_NE(win, nullptr);
  QTest::mouseClick(win->Panel()->DownloadButton(), Qt::LeftButton);  // even while downloading
  EXPECT_EQ(win->State(), 1);
  EXPECT_TRUE(u.f.window->close());
  QTRY_VERIFY(u.f.window->UpdateWindow() == nullptr);
  EXPECT_FALSE(AnyWindowVisible());
  EXPECT_TRUE(u.messages.shown.isEmpty());
}

TEST(HostileStrip, PageTextIsShownAsText) {
  WindowFixture f;
  rg_DrawPanel* strip = f.window->MainPanel()->DrawPanel();
  strip->layoutDraw(1, QStringLiteral("<img src=\"/dev/zero\">"),
                    QStringLiteral("<i>2024-06-02</i>"), QStringLiteral("<img src=\"/dev/zero\">"),
                    f.window->MainPanel()->FontDescription(), 0);
  bool sawIssue = false;
  for (QLabel* label : strip->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->text().toStdString();
    sawIssue = sawIssue || label->text() == "<img src=\"/dev/zero\">";
  }
  EXPECT_TRUE(sawIssue);
  strip->grab();  // painting reads no image
}

TEST(HostileStrip, ClosingDuringALongParseEndsAtOnce) {
  XYH_SKIP_WITHOUT_PING();
  TempDir root;
  TestServer server(root.path());
  WindowFixture f(false);
  rg_Settings(f.home.path() / "config.ini")
      .Write(u"net", u"results_home", server.Url16("/table/150000"));
  f.Create();
  QTest::mouseClick(f.window->MainPanel()->DrawPanel()->RefreshButton(), Qt::LeftButton);
  rg_WangLaoFangWenLei client;
  QTRY_VERIFY_WITH_TIMEOUT(client.Access(server.Url16("/count/table/150000")).body == "1", 10000);
  // The page is served; reading, scanning and parsing it still run.
  ASSERT_TRUE(f.window->MainPanel()->RefreshRunning());
  const auto start = std::chrono::steady_clock::now();
  f.window->close();
  f.window.reset();
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_LT(took, std::chrono::seconds(1));
}
