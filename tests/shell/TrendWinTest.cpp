// The trend window against xyh-cli stats for the same archive.
#include <gtest/gtest.h>
#include <json/json.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <algorithm>

#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <array>
#include <fstream>
#include <sstream>

#include "history/DrawArchive.h"
#include "platform/Utf.h"
#include "shell/MainPanel.h"
#include "shell/panels/DrawEntryWin.h"
#include "shell/panels/HistoryPanel.h"
#include "shell/panels/TrendChart.h"
#include "shell/panels/TrendWin.h"
#include "support/Child.h"
#include "support/GuiTest.h"
#include "support/Records.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

constexpr auto Parse = &test_support::ParseJsonText;

// 120 made-up draws, three a week, written out of order (newest first) so
// that only the dates order them.
std::string DrawFile() {
  std::uint32_t seed = 20261207;
  const auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return seed >> 8;
  };
  std::vector<std::string> lines;
  double date = MakeDate(2025, 1, 5);  // a Sunday: then Tuesday, Thursday, Sunday
  for (int i = 0; i < 120; ++i) {
    std::vector<int> reds;
    while (reds.size() < 6) {
      const int n = static_cast<int>(next() % 33) + 1;
      if (std::find(reds.begin(), reds.end(), n) == reds.end()) reds.push_back(n);
    }
    const int blue = static_cast<int>(next() % 16) + 1;
    char line[96];
    std::snprintf(line, sizeof line, "%d,%s,%s,%02d\n", 2025001 + i,
                  ToUtf8(DrawDateText(date)).c_str(), NumbersText(reds).c_str(), blue);
    lines.emplace_back(line);
    date += i % 3 == 2 ? 3 : 2;
  }
  std::string csv = "issue,date,red,blue\n";
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) csv += *it;
  return csv;
}

struct TrendFixture : ::testing::Test {
  TempDir home;
  rg_EasyDb store;
  QWidget owner;
  QFont font = ui::FontFromDescription(ui::MainFontDescription());
  std::string h = " --home '" + home.path().string() + "'";

  void Import() {
    const auto file = home.path() / "ssq.csv";
    std::ofstream(file, std::ios::binary) << DrawFile();
    ASSERT_EQ(Cli("draws import '" + file.string() + "'" + h, CliStderr::kDropped).code, 0);
  }
  void SetUp() override { ASSERT_NE(store.Open(home.path()), rg_EasyDb::OpenResult::Failed); }
};

void ExpectBars(const std::vector<int>& bars, const Json::Value& list, const char* field) {
  ASSERT_EQ(bars.size(), static_cast<std::size_t>(list.size()));
  for (Json::ArrayIndex i = 0; i < list.size(); ++i) {
    EXPECT_EQ(bars[i], list[i][field].asInt()) << field << " of " << i + 1;
  }
}

TEST_F(TrendFixture, EveryRangeShowsWhatTheCommandLinePrints) {
  Import();
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(win->ShowsCharts());
  EXPECT_EQ(win->RangeBox()->currentText(), QStringLiteral("最近50期"));
  EXPECT_EQ(win->RangeBox()->count(), 4);

  const std::array<const char*, 4> options = {" --last 30", " --last 50", " --last 100", ""};
  for (int index = 0; index < 4; ++index) {
    SCOPED_TRACE(index);
    win->RangeBox()->setCurrentIndex(index);  // as the user picks it
    const Json::Value want =
        Parse(Cli(std::string("stats --json") + options[static_cast<std::size_t>(index)] + h,
                  CliStderr::kDropped)
                  .out);
    const rg_DrawStats& got = win->Stats();
    EXPECT_EQ(got.draws, want["draws"].asInt());
    EXPECT_EQ(ToUtf8(got.FirstIssue()), want["first"].asString());
    EXPECT_EQ(ToUtf8(got.LastIssue()), want["last"].asString());
    ExpectBars(win->RedCounts(), want["red"], "count");
    ExpectBars(win->BlueCounts(), want["blue"], "count");
    ExpectBars(win->RedOmissions(), want["red"], "omission");
    ExpectBars(win->BlueOmissions(), want["blue"], "omission");

    // The chart: a row per draw in the same order, its newest row the
    // current omission and its longest run the longest omission.
    const rg_DrawStats* chart = win->Chart()->Stats();
    ASSERT_EQ(chart, &got);
    ASSERT_EQ(static_cast<Json::ArrayIndex>(chart->perDraw.size()), want["perDraw"].size());
    for (Json::ArrayIndex r = 0; r < want["perDraw"].size(); ++r) {
      EXPECT_EQ(ToUtf8(chart->perDraw[r].issue), want["perDraw"][r]["issue"].asString());
      EXPECT_EQ(chart->perDraw[r].sum, want["perDraw"][r]["sum"].asInt());
    }
    for (int n = 1; n <= kRedCount; ++n) {
      int longest = 0;
      for (int row = 0; row < chart->draws; ++row)
        longest = std::max(longest, chart->RedCell(row, n));
      EXPECT_EQ(chart->RedCell(chart->draws - 1, n), want["red"][n - 1]["omission"].asInt());
      EXPECT_EQ(longest, want["red"][n - 1]["maxOmission"].asInt());
    }
    for (int n = 1; n <= kBlueCount; ++n) {
      EXPECT_EQ(chart->BlueCell(chart->draws - 1, n), want["blue"][n - 1]["omission"].asInt());
    }
    QString hot;
    for (const auto& n : want["hot"])
      hot += QStringLiteral("%1 ").arg(n.asInt(), 2, 10, QLatin1Char('0'));
    EXPECT_TRUE(win->Summary()->text().contains(QStringLiteral("热号: ") + hot.trimmed()))
        << win->Summary()->text().toStdString();
    EXPECT_EQ(win->Chart()->height(),
              (1 + got.draws + rg_TrendChart::kFooterRows) * win->Chart()->RowHeight() + 1);
  }
}

TEST_F(TrendFixture, TheChartShowsBallsWhereNumbersWereDrawnAndOpensAtTheNewest) {
  Import();
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  win->SetRange(0);
  QApplication::processEvents();
  const QScrollBar* bar = win->ChartArea()->verticalScrollBar();
  EXPECT_EQ(bar->value(), bar->maximum());

  const rg_TrendChart* chart = win->Chart();
  const QImage image = chart->Render();
  ASSERT_EQ(image.size(), chart->size());
  const rg_DrawShape& newest = chart->Stats()->perDraw.back();
  const int row = chart->Stats()->draws - 1;
  // A ball's rim is solid colour (the number is written in its middle).
  const auto rim = [&](int number, bool blue) {
    const QPoint c = chart->CellCentre(row, number, blue);
    return image.pixelColor(c.x(), c.y() - chart->RowHeight() / 2 + 3);
  };
  for (int n : newest.red) {
    const QColor c = rim(n, false);
    EXPECT_GT(c.red(), 150) << n;
    EXPECT_LT(c.blue(), 100) << n;
  }
  const QColor blue = rim(newest.blue, true);
  EXPECT_GT(blue.blue(), 150);
  EXPECT_LT(blue.red(), 100);
  // A number not drawn in that row is no ball.
  int absent = 1;
  while (std::find(newest.red.begin(), newest.red.end(), absent) != newest.red.end()) ++absent;
  EXPECT_GT(rim(absent, false).green(), 200);
}

// A number never drawn in the range has a bar of height 0, labelled "0"
// where a value label stands.
TEST_F(TrendFixture, ZeroBarsAreLabelled) {
  // Five draws: blues 6 to 16 and reds 31 to 33 never came.
  std::vector<rg_DrawEntry> draws;
  draws.reserve(5);
  for (int i = 0; i < 5; ++i) {
    draws.push_back(SsqDraw(ui::U(QString::number(2026001 + i)), MakeDate(2026, 1, 1) + 2 * i,
                            {1 + i, 7 + i, 13 + i, 19 + i, 25 + i, 30}, 1 + i));
  }
  rg_TrendWin win(draws, font);
  win.show();
  win.Tabs()->setCurrentIndex(rg_TrendWin::CountPage);
  QApplication::processEvents();
  const std::vector<int> blues = win.BlueCounts();
  const auto zeros = std::count(blues.begin(), blues.end(), 0);
  ASSERT_EQ(zeros, 11);
  auto* view = qobject_cast<QGraphicsView*>(win.ChartView(1));
  ASSERT_NE(view, nullptr);
  int labels = 0;
  for (QGraphicsItem* item : view->scene()->items()) {
    const auto* text = qgraphicsitem_cast<QGraphicsSimpleTextItem*>(item);
    if (text != nullptr && text->text() == QStringLiteral("0") && text->isVisible()) ++labels;
  }
  EXPECT_EQ(labels, zeros);
}

TEST_F(TrendFixture, ExportWritesThePictureOfTheCurrentTab) {
  Import();
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  win->show();
  QApplication::processEvents();
  QString message;
  const QString trend = QString::fromStdString((home.path() / "trend.png").string());
  ASSERT_TRUE(win->ExportImage(trend, &message));
  EXPECT_EQ(message, QStringLiteral("已保存到:") + trend);
  QImage saved(trend, "PNG");
  EXPECT_EQ(saved.size(), win->Chart()->size());

  win->Tabs()->setCurrentIndex(rg_TrendWin::CountPage);
  QApplication::processEvents();
  const QString bars = QString::fromStdString((home.path() / "bars.png").string());
  ASSERT_TRUE(win->ExportImage(bars, &message));
  EXPECT_EQ(QImage(bars, "PNG").size(), win->Tabs()->currentWidget()->size());

  // A folder that is not there: said plainly, nothing claimed.
  const QString nowhere = QString::fromStdString((home.path() / "no" / "such" / "x.png").string());
  EXPECT_FALSE(win->ExportImage(nowhere, &message));
  EXPECT_EQ(message,
            QStringLiteral("无法保存到:") + nowhere + QStringLiteral("\n原因:文件夹不存在"));
}

TEST_F(TrendFixture, ATallChartIsSavedWithItsNewestDraws) {
  // 700 draws are taller than a picture may be; the picture keeps the
  // header, the newest draws that fit and the summary rows.
  std::vector<rg_DrawEntry> draws;
  for (int i = 0; i < 700; ++i) {
    const int n = i % 28;
    draws.push_back(SsqDraw(ui::U(QString::number(2000001 + i)), MakeDate(2000, 1, 1) + i,
                            {1 + n, 2 + n, 3 + n, 4 + n, 5 + n, 6 + n}, 1 + i % 16));
  }
  rg_TrendWin win(draws, font);
  win.SetRange(3);
  ASSERT_EQ(win.Stats().draws, 700);
  int rows = 0;
  const QImage image = win.Chart()->Render(&rows);
  EXPECT_LT(rows, 700);
  EXPECT_GT(rows, 100);
  EXPECT_LE(image.height(), rg_TrendChart::kMaxImageHeight);
  QString message;
  const QString path = QString::fromStdString((home.path() / "tall.png").string());
  ASSERT_TRUE(win.ExportImage(path, &message));
  EXPECT_TRUE(message.contains(QStringLiteral("已保存最近%1期").arg(rows)))
      << message.toStdString();
}

TEST_F(TrendFixture, WithoutDrawsTheWindowSaysSo) {
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  EXPECT_FALSE(win->ShowsCharts());
  EXPECT_TRUE(win->EmptyNote()->text().contains(QStringLiteral("还没有保存任何双色球开奖数据")));
  EXPECT_EQ(win->EmptyNote()->textFormat(), Qt::PlainText);
  EXPECT_FALSE(win->ExportButton()->isEnabled());
  EXPECT_FALSE(win->ExportImage(QString::fromStdString((home.path() / "x.png").string())));
  EXPECT_FALSE(std::filesystem::exists(home.path() / "x.png"));

  // Draws arrive; opening again refreshes the same window.
  Import();
  EXPECT_EQ(rg_TrendWin::Open(&owner, store, font), win);
  EXPECT_TRUE(win->ShowsCharts());
  EXPECT_EQ(win->Stats().draws, 50);
}

}  // namespace

namespace {

TEST(TrendButton, SitsBesideCheckAndOpensTheWindowOverTheStore) {
  WindowFixture f;
  const auto result = rg_DrawArchive(f.store).Import(kSsq, DrawFile(), Clock::System().Now());
  ASSERT_TRUE(result) << result.error().message;
  rg_HistoryPanel* panel = f.window->MainPanel()->HistoryPanel();
  QPushButton* trend = panel->TrendButton();
  ASSERT_NE(trend, nullptr);
  EXPECT_EQ(trend->text(), QStringLiteral("走势"));
  EXPECT_EQ(trend->y(), panel->CheckButton()->y());
  // 投注 stands between 对奖 and 走势.
  QPushButton* play = f.window->MainPanel()->PlayButton();
  EXPECT_EQ(play->x(), panel->CheckButton()->geometry().right() + 1 + 10);
  EXPECT_EQ(trend->x(), play->geometry().right() + 1 + 10);
  EXPECT_LE(trend->geometry().right(), panel->width());

  trend->click();
  auto* win = f.window->findChild<rg_TrendWin*>();
  ASSERT_NE(win, nullptr);
  EXPECT_TRUE(win->isVisible());
  EXPECT_TRUE(win->isWindow());
  EXPECT_EQ(win->Stats().draws, 50);
  EXPECT_EQ(ToUtf8(win->Stats().LastIssue()), "2025120");
  // A second press brings back the same window.
  trend->click();
  EXPECT_EQ(f.window->findChildren<rg_TrendWin*>().size(), 1);
}

}  // namespace

// A stored draw that does not read back: the trend window does not open
// over the rest, and says which row.
TEST_F(TrendFixture, ADamagedDrawRowIsSaidAndNoPartialChartShown) {
  Import();
  test_support::RunSqlScript(rg_EasyDb::FileIn(home.path()),
                             "UPDATE xyh_draws SET numbers='abc' WHERE rowid=7;");
  Messages messages;
  EXPECT_EQ(rg_TrendWin::Open(&owner, store, font), nullptr);
  EXPECT_TRUE(messages.Last().contains(QStringLiteral("开奖记录已损坏")))
      << messages.Last().toStdString();
  EXPECT_TRUE(messages.Last().contains(QStringLiteral("\"abc\""))) << messages.Last().toStdString();
  // In the window's language, in an error box.
  EXPECT_FALSE(messages.Last().contains(QStringLiteral("stored"))) << messages.Last().toStdString();
  EXPECT_EQ(messages.shown.back().caption, QStringLiteral("错误:"));
  EXPECT_EQ(messages.shown.back().kind, ui::MessageKind::Critical);
}

namespace {

// The draw file without some issues: the holes of the archive.
std::string DrawFileWithout(const std::vector<int>& issues) {
  std::stringstream in(DrawFile());
  std::string line, out;
  while (std::getline(in, line)) {
    const bool dropped = std::any_of(issues.begin(), issues.end(), [&](int issue) {
      return line.rfind(std::to_string(issue) + ",", 0) == 0;
    });
    if (!dropped) out += line + "\n";
  }
  return out;
}

TEST_F(TrendFixture, EachHoleIsARowOfItsOwnAndTheHeaderCountsThem) {
  // 2025118 within the last 50 draws, 2025010 before them.
  ASSERT_TRUE(rg_DrawArchive(store).Import(kSsq, DrawFileWithout({2025010, 2025118}),
                                           Clock::System().Now()));
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  const rg_TrendChart* chart = win->Chart();
  EXPECT_EQ(win->Stats().draws, 50);
  EXPECT_EQ(win->Stats().missingIssues, std::vector<std::u16string>{u"2025118"});
  EXPECT_TRUE(win->Summary()->text().contains("缺1期未收录"))
      << win->Summary()->text().toStdString();
  ASSERT_EQ(chart->BodyLines(), 51);
  // Oldest first: ..., 2025117, the hole, 2025119, 2025120.
  EXPECT_EQ(ToUtf8(chart->HoleAt(48)), "2025118");
  EXPECT_TRUE(chart->HoleAt(47).empty());
  EXPECT_EQ(chart->RowTop(48), chart->RowHeight() * 50);  // 2025119, after the hole
  const QImage image = chart->Render();
  // No ball in the hole's row: its cells keep the row's own colour.
  const int top = chart->RowHeight() * 49;
  for (int n : {1, 17, 33}) {
    const QPoint c = chart->CellCentre(47, n, false);
    EXPECT_EQ(image.pixelColor(c.x(), top + chart->RowHeight() / 2), QColor(0xfb, 0xee, 0xd8)) << n;
  }
  // The whole archive's range counts the older hole too.
  win->SetRange(3);
  EXPECT_EQ(win->Stats().missingIssues.size(), 2u);
  EXPECT_TRUE(win->Summary()->text().contains("缺2期未收录"));
}

TEST_F(TrendFixture, TheHeaderAndTheIssueColumnsStayInViewWhileScrolling) {
  Import();
  rg_TrendWin* win = rg_TrendWin::Open(&owner, store, font);
  win->SetRange(3);       // all 120 draws: taller than the window
  win->resize(600, 500);  // narrower than the chart too
  QApplication::processEvents();
  QScrollBar* down = win->ChartArea()->verticalScrollBar();
  QScrollBar* across = win->ChartArea()->horizontalScrollBar();
  ASSERT_GT(down->maximum(), 0);
  ASSERT_GT(across->maximum(), 0);
  const rg_TrendChart* chart = win->Chart();
  const int row = chart->RowHeight();
  QWidget* view = win->ChartArea()->viewport();
  const QRect header(0, 0, view->width(), row);
  const QRect columns(0, row + 1, chart->CellCentre(0, 1, false).x() - row / 2 - 2,
                      view->height() - row - 1);

  across->setValue(0);
  down->setValue(0);
  const QImage top = view->grab().toImage();
  down->setValue(down->maximum() / 2);
  const QImage middle = view->grab().toImage();
  across->setValue(across->maximum());
  const QImage right = view->grab().toImage();
  // The header row at the top wherever the view stands.
  EXPECT_EQ(middle.copy(header), top.copy(header));
  EXPECT_EQ(right.copy(header.intersected(QRect(0, 0, columns.width(), row))),
            top.copy(header.intersected(QRect(0, 0, columns.width(), row))));
  // The issue and date columns at the left however far it scrolled across.
  EXPECT_EQ(right.copy(columns), middle.copy(columns));
  EXPECT_NE(middle.copy(columns), top.copy(columns));  // scrolled down: other draws
}

TEST(TrendButton, TheWindowFillsTheArchiveWithoutTheCommandLine) {
  WindowFixture f;
  f.clock.Set(Clock::System().Now());  // the 2025 draws are not after its tomorrow
  f.window->Command(rg_HistoryPanel::Button::Trend);
  auto* win = f.window->findChild<rg_TrendWin*>();
  ASSERT_NE(win, nullptr);
  EXPECT_EQ(win->EnterButton()->text(), QStringLiteral("录入开奖"));
  EXPECT_EQ(win->ImportButton()->text(), QStringLiteral("导入开奖…"));
  EXPECT_TRUE(win->EmptyNote()->text().contains(QStringLiteral("录入开奖")));
  EXPECT_TRUE(win->EmptyNote()->text().contains(QStringLiteral("导入开奖…")));
  EXPECT_TRUE(win->ImportButton()->isEnabled());

  const TempDir files;
  const auto file = files.path() / "ssq.csv";
  std::ofstream(file, std::ios::binary) << DrawFileWithout({2025118});
  const QString said = f.window->ImportDrawFile(QString::fromStdString(file.string()));
  EXPECT_EQ(said, QStringLiteral("已导入119期开奖数据"));
  // The open window follows at once.
  EXPECT_TRUE(win->ShowsCharts());
  EXPECT_TRUE(win->Summary()->text().contains("缺1期未收录"));
  // A refused file is said, and nothing is stored.
  std::ofstream(file, std::ios::binary)
      << "issue,date,red,blue\n2025118,2025-13-01,1 2 3 4 5 6,7\n";
  bool failed = false;
  EXPECT_TRUE(f.window->ImportDrawFile(QString::fromStdString(file.string()), &failed)
                  .startsWith(QStringLiteral(
                      "导入失败,未导入任何开奖数据:第 2 行:开奖日期 \"2025-13-01\" 不是写作 "
                      "YYYY-MM-DD 的真实日期")));
  EXPECT_TRUE(failed);  // said in an error box, not as information
  EXPECT_EQ(rg_DrawArchive(f.store).Count(kSsq), 119u);

  // 录入开奖 starts at the hole.
  win->EnterButton()->click();
  rg_DrawEntryWin* entry = f.window->DrawEntryWindow();
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->Issue()->text(), QStringLiteral("2025118"));
  EXPECT_EQ(entry->parentWidget(), win);
}

}  // namespace
