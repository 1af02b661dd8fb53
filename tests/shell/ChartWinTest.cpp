// The chart window as a user meets it: the button, the grid's double-click,
// copying and saving the picture.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
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

// 58 cast at 2026-12-06 15:07:03.250, its chart window open.
rg_ChartWin* OpenChartOf58(WindowFixture& f) {
  f.clock.Set(MakeDate(2026, 12, 6, 15, 7, 3, 250));
  CastNumber(f, "58");
  f.window->MainPanel()->ShowChart();
  return f.window->MainPanel()->ChartWin();
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
  rg_ChartWin* chart = OpenChartOf58(f);
  ASSERT_NE(chart, nullptr);
  QTest::mouseClick(chart->CopyButton(), Qt::LeftButton);
  EXPECT_EQ(QApplication::clipboard()->text(),
            ui::Q(ChartText(chart->View()->Sheet(), chart->View()->Options())));
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
  // A folder at the name stays a folder.
  std::filesystem::create_directory(f.home.path() / "dir.png");
  EXPECT_FALSE(chart->ExportPng(QString::fromStdString((f.home.path() / "dir.png").string())));
  EXPECT_TRUE(std::filesystem::is_directory(f.home.path() / "dir.png"));
}

TEST(ChartWindow, TheQuestionAndThePalaceOfTheChangedRelatives) {
  WindowFixture f;
  rg_ChartWin* chart = OpenChartOf58(f);
  ASSERT_NE(chart, nullptr);
  // 求财 and 按本宫 to begin with; the bottom line 父母乙未 moves into 庚子,
  // 子孙 from the primary's 金 palace.
  EXPECT_EQ(chart->TopicChoice()->currentText(), QStringLiteral("求财"));
  EXPECT_TRUE(chart->ByPrimaryButton()->isChecked());
  const auto copied = [chart] {
    QTest::mouseClick(chart->CopyButton(), Qt::LeftButton);
    return QApplication::clipboard()->text();
  };
  QString text = copied();
  EXPECT_TRUE(text.contains(QStringLiteral("用神(求财): 妻财 三爻、六爻"))) << qPrintable(text);
  EXPECT_TRUE(text.contains(QStringLiteral("化子孙庚子水 化空")));
  EXPECT_TRUE(text.contains(QStringLiteral("◎初六：童观，小人无咎，君子吝。")));
  EXPECT_TRUE(text.contains(QStringLiteral("变卦 益")));

  // The palace switch, clicked as a user does.
  QTest::mouseClick(chart->ByChangedButton(), Qt::LeftButton);
  EXPECT_FALSE(chart->View()->Options().byPrimary);
  text = copied();
  EXPECT_TRUE(text.contains(QStringLiteral("化父母庚子水 化空")));
  EXPECT_TRUE(text.contains(QStringLiteral("变卦六亲按变卦宫")));

  // Another question marks other lines.
  chart->TopicChoice()->setCurrentIndex(1);
  EXPECT_EQ(chart->View()->Options().topic, 1);
  text = copied();
  EXPECT_TRUE(text.contains(QStringLiteral("用神(功名): 官鬼 二爻、五爻")));

  // The window opens at a size the screen holds; the rest scrolls, and the
  // picture still holds all of it.
  const QRect screen = chart->screen()->availableGeometry();
  EXPECT_LE(chart->height(), screen.height());
  EXPECT_GT(chart->View()->height(), chart->Scroll()->viewport()->height());
  const auto path = f.home.path() / "whole.png";
  ASSERT_TRUE(chart->ExportPng(QString::fromStdString(path.string())));
  EXPECT_EQ(QImage(QString::fromStdString(path.string())).height(), chart->View()->height());
  // The main grid keeps the changed palace's relatives.
  EXPECT_EQ(f.window->MainPanel()->GuaPanel()->Report().Cells()[5][7], u"父母");
}
