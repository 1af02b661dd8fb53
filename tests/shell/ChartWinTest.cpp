// The chart window as a user meets it: the button, the grid's double-click,
// copying and saving the picture.
#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "engine/Chart.h"
#include "shell/MainPanel.h"
#include "shell/panels/CastPanel.h"
#include "shell/panels/ChartWin.h"
#include "shell/panels/GuaPanel.h"
#include "shell/panels/LabeledChoice.h"
#include "support/GuiTest.h"

using namespace test_support;

namespace {

void CastNumber(WindowFixture& f, const char* number) {
  rg_CastPanel* cast = f.window->MainPanel()->CastPanel();
  cast->MethodChoice()->Select(1);
  cast->NumberEntry()->clear();
  QTest::keyClicks(cast->NumberEntry(), number);
  cast->ZodiacChoice()->Select(1);
  QTest::mouseClick(cast->CalculateButton(), Qt::LeftButton);
}

}  // namespace

TEST(ChartWindow, OpensForACastOnlyAndShowsItsChart) {
  WindowFixture f;
  rg_MainPanel* main = f.window->MainPanel();
  rg_GuaPanel* gua = main->GuaPanel();
  // Nothing cast yet: no chart to show, and a double-click does nothing.
  EXPECT_FALSE(gua->ChartButton()->isEnabled());
  QTest::mouseDClick(gua->Grid(), Qt::LeftButton);
  EXPECT_EQ(main->ChartWin(), nullptr);

  f.clock.Set(MakeDate(2026, 12, 6, 15, 7, 3, 250));
  CastNumber(f, "58");
  ASSERT_TRUE(gua->ChartButton()->isEnabled());
  // The button does not cover the header text.
  EXPECT_LE(gua->Header()->geometry().right(), gua->ChartButton()->geometry().left());
  QTest::mouseClick(gua->ChartButton(), Qt::LeftButton);
  rg_ChartWin* chart = main->ChartWin();
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(chart->isVisible());
  const rg_ChartSheet& sheet = chart->View()->Sheet();
  EXPECT_EQ(sheet.head.at(2), u"月建: 己亥  日辰: 甲寅  时辰: 壬申");
  EXPECT_EQ(sheet.rows[1].hidden, u"兄弟壬申金");
  EXPECT_EQ(sheet.rows[1].note, u"月破");

  // The chart follows the next cast while it is open; the main reading is
  // the engine's as ever.
  f.clock.Set(MakeDate(2026, 12, 8, 9, 0, 0, 0));
  CastNumber(f, "58");
  EXPECT_EQ(chart->View()->Sheet().head.at(2).substr(0, 6), u"月建: 庚子");
  chart->close();
  QTest::mouseDClick(gua->Grid(), Qt::LeftButton);
  EXPECT_TRUE(chart->isVisible());
}

TEST(ChartWindow, CopiesTheTextAndSavesThePicture) {
  WindowFixture f;
  f.clock.Set(MakeDate(2026, 12, 6, 15, 7, 3, 250));
  CastNumber(f, "58");
  rg_MainPanel* main = f.window->MainPanel();
  main->ShowChart();
  rg_ChartWin* chart = main->ChartWin();
  ASSERT_NE(chart, nullptr);
  QTest::mouseClick(chart->CopyButton(), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(), ui::Q(ChartText(chart->View()->Sheet())));
  EXPECT_TRUE(
      QApplication::clipboard()->text().contains(QStringLiteral("伏神: 兄弟壬申金伏于五爻辛巳下")));

  const auto path = f.home.path() / "chart.png";
  QString message;
  ASSERT_TRUE(chart->ExportPng(QString::fromStdString(path.string()), &message));
  EXPECT_EQ(message, "已保存到:" + QString::fromStdString(path.string()));
  QImage image(QString::fromStdString(path.string()));
  ASSERT_FALSE(image.isNull());
  EXPECT_EQ(image.size(), chart->View()->sizeHint());
  // Drawn, not blank: the yang bars are black.
  bool dark = false;
  for (int y = 0; y < image.height() && !dark; y += 2) {
    for (int x = 0; x < image.width() && !dark; x += 2) dark = qGray(image.pixel(x, y)) < 40;
  }
  EXPECT_TRUE(dark);
  // A folder that does not exist is a failure, not a silent success.
  const QString nowhere =
      QString::fromStdString((f.home.path() / "no" / "such" / "c.png").string());
  EXPECT_FALSE(chart->ExportPng(nowhere, &message));
  EXPECT_EQ(message, "无法保存到:" + nowhere + "\n原因:文件夹不存在");
  EXPECT_FALSE(chart->ExportPng(QString()));
}
