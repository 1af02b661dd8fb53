// The window starts without the network libraries and loads them when its
// first network action starts.
#include <QAbstractButton>
#include <QTest>

#include <string>

#include "draws/DrawPanel.h"
#include "net/CurlShim.h"
#include "net/HttpClient.h"
#include "shell/MainPanel.h"
#include "support/GuiTest.h"
#include "support/TestServer.h"

using namespace test_support;

TEST(LazyNetwork, TheWindowLoadsLibcurlOnlyWhenItsFirstRefreshStarts) {
  // Other tests of this program fetch; run alone (as CTest runs it), the
  // process has loaded nothing of the network yet.
  if (CurlLoaded()) GTEST_SKIP() << "an earlier test in this process loaded libcurl";
  const rg_NetworkScope network;                // as the program's entry sets it up
  const bool qrBefore = Mapped("libqrencode");  // another test's QR code
  WindowFixture f;
  QTest::qWait(50);
  ASSERT_TRUE(f.window->isVisible());
  EXPECT_FALSE(CurlLoaded());
  for (const char* library : {"libcurl", "libssl", "libcrypto", "libgnutls", "libgumbo"}) {
    EXPECT_FALSE(Mapped(library)) << library
                                  << " is mapped by a window that has not fetched anything";
  }
  if (!qrBefore) {
    EXPECT_FALSE(Mapped("libqrencode")) << "a window without a QR code maps it";
  }

  XYH_SKIP_WITHOUT_PING();
  rg_MainPanel* panel = f.window->MainPanel();
  QTest::mouseClick(panel->DrawPanel()->RefreshButton(), Qt::LeftButton);
  QTRY_VERIFY_WITH_TIMEOUT(!panel->RefreshRunning(), 10000);
  EXPECT_TRUE(CurlLoaded());
  EXPECT_TRUE(Mapped("libcurl"));
}
