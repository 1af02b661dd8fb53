#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include "engine/Casting.h"
#include "shell/panels/HandCastPanel.h"
#include "support/GuiTest.h"

using namespace test_support;

namespace {

struct HandFixture {
  FixedClock clock{MakeDate(2026, 12, 6, 15, 7, 3), -480};
  QFont font = ui::FontFromDescription(ui::MainFontDescription());
  rg_QiGuaModel request;
  rg_GuaWin dialog{nullptr, font, clock, request};
  Messages messages;

  rg_HandCastPanel* panel() { return dialog.Panel(); }
  void SetLines(const int (&bottomFirst)[6]) {
    for (int line = 1; line <= 6; ++line)
      panel()->LineChoice(6 - line)->setCurrentIndex(bottomFirst[line - 1]);
  }
  void Confirm() { QTest::mouseClick(panel()->ConfirmButton(), Qt::LeftButton); }
};

}  // namespace

TEST(HandCast, TheGivenExample) {
  HandFixture f;
  f.request.upstr = u"111";
  f.SetLines({3, 2, 1, 4, 1, 2});
  f.Confirm();
  EXPECT_TRUE(f.messages.shown.isEmpty());
  EXPECT_EQ(f.dialog.result(), QDialog::Accepted);
  EXPECT_EQ(f.request.downstr, u"101");
  EXPECT_EQ(f.request.upstr, u"010");
  EXPECT_EQ(f.request.dong, (std::vector<int>{1, 0, 0, -1, 0, 0}));
  EXPECT_EQ(f.request.castTime, MakeDate(2026, 12, 6, 15, 7, 3));
}

TEST(HandCast, UnsetLinesAreReportedLowestFirst) {
  HandFixture f;
  f.SetLines({0, 1, 1, 1, 1, 1});
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "在第:1爻没有设定!");
  EXPECT_EQ(f.messages.shown.back().caption, "信息:");
  f.SetLines({1, 1, 1, 1, 1, 0});
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "在第:6爻没有设定!");
  f.SetLines({1, 0, 1, 0, 1, 0});
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "在第:2爻没有设定!");
  EXPECT_TRUE(f.request.dong.empty());  // nothing written
}

TEST(HandCast, UnsetTimePartsUseTheirOwnWords) {
  HandFixture f;
  f.SetLines({1, 1, 1, 2, 2, 2});
  f.panel()->TimeChoice(4)->setCurrentIndex(0);
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "时间的分钟未设定");
  f.panel()->TimeChoice(4)->setCurrentIndex(8);
  f.panel()->TimeChoice(5)->setCurrentIndex(0);
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "时间的秒种未设定");
  f.panel()->TimeChoice(0)->setCurrentIndex(0);
  f.Confirm();
  EXPECT_EQ(f.messages.Last(), "时间的年份未设定");
  EXPECT_TRUE(f.request.upstr.empty());
}

TEST(HandCast, TimeChoicesOfferTodayAndPreselectNow) {
  HandFixture f;
  QComboBox* year = f.panel()->TimeChoice(0);
  ASSERT_EQ(year->count(), 2);
  EXPECT_EQ(year->itemText(0), "年份");
  EXPECT_EQ(year->currentText(), "2026年");
  EXPECT_EQ(f.panel()->TimeChoice(1)->currentText(), "12月");
  EXPECT_EQ(f.panel()->TimeChoice(2)->currentText(), "6日");
  EXPECT_EQ(f.panel()->TimeChoice(3)->count(), 25);
  EXPECT_EQ(f.panel()->TimeChoice(3)->currentText(), "15时");
  EXPECT_EQ(f.panel()->TimeChoice(4)->currentText(), "7分");
  EXPECT_EQ(f.panel()->TimeChoice(5)->currentText(), "3秒");
  EXPECT_EQ(f.panel()->TimeChoice(5)->itemText(0), "秒钟");
  for (int row = 0; row < 6; ++row)
    EXPECT_EQ(f.panel()->LineChoice(row)->currentText(), "选择爻相");
}

TEST(HandCast, CancelChangesNothing) {
  HandFixture f;
  f.request.upstr = u"111";
  f.request.castTime = 5.0;
  f.SetLines({1, 1, 1, 1, 1, 1});
  QTest::mouseClick(f.panel()->CancelButton(), Qt::LeftButton);
  EXPECT_EQ(f.dialog.result(), QDialog::Rejected);
  EXPECT_EQ(f.request.upstr, u"111");
  EXPECT_EQ(f.request.castTime, 5.0);
}

TEST(HandCast, LayoutFromTheMeasuredCharacter) {
  HandFixture f;
  const QSize unit = ui::CharExtent(f.font, "四");
  const int w = unit.width();
  const int h = unit.height();
  // Lists as tall as their style needs, each centred on its label; rows
  // H + 10 apart unless the lists need more.
  const int boxHeight = f.panel()->LineChoice(0)->height();
  EXPECT_GE(boxHeight, f.panel()->LineChoice(0)->sizeHint().height());
  const int step = std::max(h + 10, boxHeight + 4);
  for (int row = 0; row < 6; ++row) {
    EXPECT_EQ(f.panel()->LineChoice(row)->x(), 3 * w);
    EXPECT_EQ(f.panel()->LineChoice(row)->y(), 10 + row * step - (boxHeight - h) / 2);
    EXPECT_EQ(f.panel()->LineChoice(row)->width(), 8 * w);
  }
  QLabel* tip = f.panel()->Tip();
  EXPECT_EQ(tip->geometry(), QRect(11 * w + 10, 10 - (boxHeight - h) / 2, 24 * w + 20, 4 * h));
  EXPECT_EQ(tip->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(f.panel()->TimeChoice(0)->width(), 6 * w);
  EXPECT_EQ(f.panel()->TimeChoice(1)->x(), f.panel()->TimeChoice(0)->geometry().right() + 1 + 10);
  EXPECT_EQ(f.panel()->TimeChoice(3)->x(), f.panel()->TimeChoice(0)->x());
  QPushButton* ok = f.panel()->ConfirmButton();
  EXPECT_EQ(ok->size(), QSize(5 * w, 2 * h));
  EXPECT_EQ(ok->x(), (f.panel()->width() - 10 * w - 10) / 2);
  EXPECT_EQ(f.panel()->CancelButton()->x(), ok->x() + 5 * w + 10);
  EXPECT_EQ(f.panel()->height(), ok->y() + 2 * h + 40);
  // Nothing sticks out of the panel.
  for (QWidget* child : f.panel()->findChildren<QWidget*>()) {
    EXPECT_TRUE(f.panel()->rect().contains(child->geometry())) << child->metaObject()->className();
  }
}
