// Every window opens within the screen that shows it: the rule as a table
// of screens and windows, then a real window on the test screen.
#include <gtest/gtest.h>

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "ui/ScreenFit.h"

using namespace rg_com_ptl_xyh;

TEST(ScreenFit, AWindowLiesWithinItsScreenFrameIncluded) {
  const QMargins frame(4, 30, 4, 4);
  struct Row {
    const char* name;
    QRect room;
    QSize wanted;
    QPoint centre;
    QRect placed;  // frame excluded
  };
  const Row rows[] = {
      {"fits, centred", {0, 0, 1280, 1000}, {600, 400}, {640, 500}, {340, 313, 600, 400}},
      {"the 走势 window's 800 under a low owner",
       {0, 0, 1280, 1000},
       {1100, 800},
       {640, 900},
       {90, 196, 1100, 800}},
      {"the 对奖 dialog's 1 588 px",
       {0, 0, 1280, 1000},
       {700, 1588},
       {640, 500},
       {290, 30, 700, 966}},
      {"wider and taller than the screen",
       {0, 0, 1024, 768},
       {1300, 900},
       {512, 384},
       {4, 30, 1016, 734}},
      {"a panel above the free area",
       {0, 40, 1280, 960},
       {600, 990},
       {640, 500},
       {340, 70, 600, 926}},
      {"an owner past the left edge",
       {0, 0, 1280, 1000},
       {400, 300},
       {-300, 100},
       {4, 30, 400, 300}},
      {"an owner past the right edge",
       {0, 0, 1280, 1000},
       {400, 300},
       {1500, 990},
       {876, 696, 400, 300}},
      {"a second screen to the right",
       {1280, 0, 1920, 1080},
       {800, 600},
       {1000, 500},
       {1284, 213, 800, 600}},
      {"a screen too small even for the frame", {0, 0, 6, 20}, {300, 200}, {3, 10}, {4, 30, 1, 1}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const QRect placed = ui::FitWithin(row.room, frame, row.wanted, row.centre);
    const auto text = [](const QRect& r) {
      return QStringLiteral("%1,%2 %3x%4")
          .arg(r.x())
          .arg(r.y())
          .arg(r.width())
          .arg(r.height())
          .toStdString();
    };
    EXPECT_EQ(text(placed), text(row.placed));
    if (row.room.width() > 8 && row.room.height() > 34) {
      EXPECT_TRUE(row.room.contains(placed.marginsAdded(frame)));
    }
  }
}

TEST(ScreenFit, ADialogTallerThanTheScreenOpensWithinIt) {
  QWidget owner;
  owner.setGeometry(100, 600, 400, 300);
  owner.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
  QDialog dialog(&owner);
  ui::OpenWithinScreen(&dialog, QSize(500, 3000));
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  const QRect room = owner.screen()->availableGeometry();
  EXPECT_TRUE(room.contains(dialog.frameGeometry()))
      << dialog.frameGeometry().bottom() << " below " << room.bottom();
  EXPECT_EQ(dialog.width(), 500);
}
