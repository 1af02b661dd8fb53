// The window reads its own PNG pictures without Qt's image-format plugins,
// which a guessing reader opens (with libjpeg) only to ask whether they know
// the file.
#include <QImage>
#include <QPixmap>
#include <QTest>

#include <string>

#include "support/GuiTest.h"
#include "ui/Ui.h"

using namespace test_support;

namespace {

bool PluginsMapped() { return Mapped("/imageformats/") || Mapped("libjpeg"); }

}  // namespace

TEST(LazyImageFormats, TheShownWindowHasOpenedNoImageFormatPlugin) {
  if (PluginsMapped()) GTEST_SKIP() << "an earlier test in this process read a picture by guessing";
  WindowFixture f;
  QTest::qWait(50);
  ASSERT_TRUE(f.window->isVisible());
  EXPECT_FALSE(f.window->windowIcon().isNull());
  EXPECT_FALSE(PluginsMapped()) << "the window's start opened an image-format plugin";
}

TEST(LazyImageFormats, ReadPngGivesWhatAGuessingReaderGives) {
  for (const char* name : {":/images/icon-64.png", ":/images/refresh.png",
                           ":/images/refresh-hover.png", ":/images/refresh-disabled.png"}) {
    const QPixmap read = ui::ReadPng(QString::fromLatin1(name));
    ASSERT_FALSE(read.isNull()) << name;
    EXPECT_EQ(read.toImage(), QPixmap(QString::fromLatin1(name)).toImage()) << name;
  }
  // PNG and nothing else: no guessing, so another format is not read.
  EXPECT_TRUE(ui::ReadPng(QStringLiteral(":/images/splash.jpg")).isNull());
  EXPECT_TRUE(ui::ReadPng(QStringLiteral(":/images/missing.png")).isNull());
}

// The pictures built into the program decoded are the files' pixels, and
// any other is still read from its file.
TEST(LazyImageFormats, OwnPicturesAreWhatTheirFilesGive) {
  for (const char* name :
       {":/images/icon-64.png", ":/images/refresh.png", ":/images/refresh-hover.png",
        ":/images/refresh-disabled.png", ":/images/icon-32.png", ":/images/icon-256.png"}) {
    const QPixmap own = ui::OwnPicture(QString::fromLatin1(name));
    const QPixmap file = ui::ReadPng(QString::fromLatin1(name));
    ASSERT_FALSE(own.isNull()) << name;
    EXPECT_EQ(own.toImage(), file.toImage()) << name;
    EXPECT_EQ(own.toImage().dotsPerMeterX(), file.toImage().dotsPerMeterX()) << name;
    EXPECT_EQ(own.hasAlphaChannel(), file.hasAlphaChannel()) << name;
  }
  EXPECT_TRUE(ui::OwnPicture(QStringLiteral(":/images/missing.png")).isNull());
}
