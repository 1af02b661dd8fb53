#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "shell/panels/OptionGroup.h"
#include "support/GuiTest.h"

using namespace test_support;

namespace {

struct CastPanelFixture {
  rg_CastPanel panel;
  QSignalSpy casts{&panel, &rg_CastPanel::castRequested};
  QSignalSpy resets{&panel, &rg_CastPanel::resetRequested};
  CastPanelFixture() { panel.Build(ui::MainFontDescription()); }

  // Presses "演算" and returns the code and message it raised.
  std::pair<int, QString> Calculate() {
    casts.clear();
    QTest::mouseClick(panel.CalculateButton(), Qt::LeftButton);
    if (casts.size() != 1) return {0, QString()};
    const auto args = casts.takeFirst();
    auto* request = args[2].value<rg_QiGuaModel*>();
    if (args[0].toInt() < 0) {
      EXPECT_TRUE(request->empty);
      EXPECT_NE(request, &panel.Request());
    } else {
      EXPECT_EQ(request, &panel.Request());
    }
    return {args[0].toInt(), args[1].toString()};
  }
};

}  // namespace

TEST(CastPanel, EveryRefusalWithItsCode) {
  CastPanelFixture f;
  using R = std::pair<int, QString>;
  EXPECT_EQ(f.Calculate(), R(-1, "未选择推算条件"));

  f.panel.MethodChoice()->Select(1);
  QTest::keyClicks(f.panel.NumberEntry(), "   ");
  EXPECT_EQ(f.Calculate(), R(-2, "未输入推算数字"));
  QTest::keyClicks(f.panel.NumberEntry(), "58");
  EXPECT_EQ(f.panel.Request().numberText, u"58");
  EXPECT_EQ(f.Calculate(), R(-3, "未选择卦主生肖"));
  f.panel.ZodiacChoice()->Select(1);
  EXPECT_EQ(f.Calculate(), R(1, "按卦主生肖与数字测算"));

  f.panel.MethodChoice()->Select(2);
  EXPECT_EQ(f.Calculate(), R(-4, "未装好线下卦"));  // a zodiac but no lines yet
  f.panel.Request().upstr = u"010";
  f.panel.Request().downstr = u"101";
  f.panel.Request().dong = {0, 0, 0, 0, 0, 0};
  EXPECT_EQ(f.Calculate(), R(2, "按卦主生肖与自己装载线下卦测算"));
  f.panel.ZodiacChoice()->Select(0);
  EXPECT_EQ(f.Calculate(), R(-4, "未选择卦主生肖"));

  f.panel.MethodChoice()->Select(3);
  EXPECT_EQ(f.Calculate(), R(-5, "未选择卦主生肖"));
  f.panel.ZodiacChoice()->Select(12);
  EXPECT_EQ(f.Calculate(), R(3, "按卦主生肖与超时空毫秒数测算"));
}

TEST(CastPanel, TheTimeMethodChoosesTheDrawTimeAtOnce) {
  CastPanelFixture f;
  f.panel.MethodChoice()->Select(3);
  ASSERT_NE(f.panel.TimeOptions(), nullptr);
  EXPECT_EQ(f.panel.TimeOptions()->Checked(), 2);
  EXPECT_EQ(f.panel.Request().timeChoice, TimeChoice::NextDraw);
  QTest::mouseClick(f.panel.TimeOptions()->Option(1), Qt::LeftButton);
  EXPECT_EQ(f.panel.Request().timeChoice, TimeChoice::Now);
  // Leaving the time method destroys the options and clears the choice.
  f.panel.MethodChoice()->Select(1);
  EXPECT_EQ(f.panel.TimeOptions(), nullptr);
  EXPECT_EQ(f.panel.Request().timeChoice, TimeChoice::Unset);
}

TEST(CastPanel, ResetKeepsTheInputButRefusesToCast) {
  CastPanelFixture f;
  f.panel.MethodChoice()->Select(1);
  QTest::keyClicks(f.panel.NumberEntry(), "58");
  f.panel.ZodiacChoice()->Select(3);
  f.resets.clear();
  QTest::mouseClick(f.panel.ResetButton(), Qt::LeftButton);
  EXPECT_GE(f.resets.size(), 1);
  EXPECT_NE(f.panel.NumberEntry(), nullptr);  // still there
  EXPECT_EQ(f.panel.MethodChoice()->CurrentIndex(), 0);
  EXPECT_EQ(f.panel.Request().method, CastMethod::Reset);
  EXPECT_EQ(f.panel.Request().zodiac, -1);
  EXPECT_EQ(f.panel.Request().numberText, u"");
  EXPECT_EQ(f.Calculate(), std::make_pair(-1, QString("未选择推算条件")));
}

TEST(CastPanel, EveryChoiceRaisesReset) {
  CastPanelFixture f;
  f.resets.clear();
  f.panel.MethodChoice()->Select(2);
  f.panel.ZodiacChoice()->Select(4);
  EXPECT_EQ(f.resets.size(), 2);
  QSignalSpy dialogs(&f.panel, &rg_CastPanel::handCastRequested);
  f.panel.Request().id = 9;
  QTest::mouseClick(qobject_cast<QPushButton*>(f.panel.Input()), Qt::LeftButton);
  EXPECT_EQ(dialogs.size(), 1);
  EXPECT_EQ(f.resets.size(), 3);
  EXPECT_EQ(f.panel.Request().id, 0);
}

TEST(CastPanel, LayoutFollowsTheMeasuredCharacters) {
  CastPanelFixture f;
  const QFont font = ui::FontFromDescription(ui::MainFontDescription());
  const QSize unit = ui::CharExtent(font, "数");
  const int w = unit.width();
  const int h = unit.height();
  rg_LabeledChoice* method = f.panel.MethodChoice();
  // At least the measured width; wider only when the style's arrow needs it.
  EXPECT_EQ(method->pos(), QPoint(0, 0));
  EXPECT_GE(method->width(), w * (6 + 5 + 1) + 20);
  // H + 10 high, or taller when the style's list needs it.
  EXPECT_EQ(method->height(), std::max(h + 10, method->Combo()->sizeHint().height() + 4));
  EXPECT_EQ(method->Combo()->x(), 5 * w + 10);
  EXPECT_EQ(method->width(), method->Combo()->geometry().right() + 1 + 10);
  EXPECT_GE(method->Combo()->width(), method->Combo()->sizeHint().width());
  rg_LabeledChoice* zodiac = f.panel.ZodiacChoice();
  EXPECT_GE(zodiac->width(), w * (4 + 5 + 1) + 20);
  EXPECT_EQ(zodiac->height(), method->height());
  EXPECT_EQ(zodiac->x(), method->geometry().right() + 1 + 10);
  EXPECT_EQ(f.panel.CalculateButton()->geometry(),
            QRect(zodiac->geometry().right() + 1 + 10, 0, 4 * w, zodiac->height()));
  EXPECT_EQ(f.panel.ResetButton()->x(), f.panel.CalculateButton()->geometry().right() + 1 + 10);
  EXPECT_EQ(f.panel.Disclaimer()->y(), f.panel.CalculateButton()->geometry().bottom() + 1 + 10);
  EXPECT_EQ(f.panel.width(), f.panel.ResetButton()->geometry().right() + 1 + 10);
  EXPECT_EQ(f.panel.height(), f.panel.Disclaimer()->geometry().bottom() + 1 + 10);

  // Every input control sits 10 pixels right of the method choice and
  // pushes the rest along.
  for (int m : {1, 2, 3}) {
    f.panel.MethodChoice()->Select(m);
    QWidget* input = f.panel.Input();
    ASSERT_NE(input, nullptr);
    EXPECT_EQ(input->x(), method->geometry().right() + 1 + 10);
    EXPECT_EQ(zodiac->x(), input->geometry().right() + 1 + 10);
    EXPECT_LE(f.panel.width(), rg_CastPanel::MaxWidth(font));
    // The built panel's own measure (the window's) agrees with a fresh pair of lists.
    EXPECT_EQ(f.panel.MaxWidth(), rg_CastPanel::MaxWidth(font));
  }
  const int u = ui::CharExtent(font, "除").width();
  EXPECT_EQ(f.panel.TimeOptions()->Option(1)->width(), 6 * u);
  EXPECT_EQ(f.panel.TimeOptions()->Option(2)->x(), 6 * u + 10);
}

TEST(CastPanel, DisclaimerIsGreyAndCentred) {
  CastPanelFixture f;
  EXPECT_EQ(f.panel.Disclaimer()->text(),
            "————传统文化创新,仅为游戏娱乐,结果数据仅供参考,彩市有风险,切勿着迷————");
  EXPECT_EQ(f.panel.Disclaimer()->palette().color(QPalette::WindowText), QColor(192, 192, 192));
  EXPECT_TRUE(f.panel.Disclaimer()->alignment() & Qt::AlignHCenter);
}
