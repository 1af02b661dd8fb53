// The window starts without Qt Charts: the bar charts' module is loaded when
// a bar tab of the trend window is first shown, and a module that cannot be
// loaded leaves the tabs saying so.
#include <QLabel>
#include <QTabWidget>
#include <QTest>

#include <string>

#include "history/DrawArchive.h"
#include "platform/Utf.h"
#include "shell/panels/BarChartModule.h"
#include "shell/panels/TrendChart.h"
#include "shell/panels/TrendWin.h"
#include "support/GuiTest.h"
#include "support/Records.h"

using namespace rg_com_ptl_xyh;
using namespace test_support;

namespace {

// Sixty made-up draws, three a week.
void ImportDraws(rg_EasyDb& store) {
  std::string csv = "issue,date,red,blue\n";
  double date = MakeDate(2025, 1, 5);  // a Sunday: then Tuesday, Thursday, Sunday
  for (int i = 0; i < 60; ++i) {
    std::vector<int> reds;
    reds.reserve(6);
    for (int k = 0; k < 6; ++k) reds.push_back((i * 7 + k * 5) % 33 + 1);
    csv += std::to_string(2025001 + i) + "," + ToUtf8(DrawDateText(date)) + "," +
           NumbersText(reds) + "," + NumbersText({i % 16 + 1}) + "\n";
    date += i % 3 == 2 ? 3 : 2;
  }
  ASSERT_EQ(rg_DrawArchive(store).Import(kSsq, csv, MakeDate(2025, 6, 1)).value().added, 60);
}

struct ModuleName {
  explicit ModuleName(const char* name) { qputenv("XYH_CHARTS_MODULE", name); }
  ~ModuleName() { qunsetenv("XYH_CHARTS_MODULE"); }
};

}  // namespace

TEST(LazyCharts, QtChartsIsMappedOnlyWhenABarTabIsFirstShown) {
  // Run alone (as CTest runs it), the process has loaded no chart yet.
  if (BarChartsLoaded()) GTEST_SKIP() << "an earlier test in this process loaded the bar charts";
  WindowFixture f;
  ImportDraws(f.store);
  QTest::qWait(50);
  ASSERT_TRUE(f.window->isVisible());
  for (const char* library : {"libQt6Charts", "libQt6OpenGL", "libxyh_charts", "libQt6Network"}) {
    EXPECT_FALSE(Mapped(library)) << library << " is mapped by the window at start";
  }

  rg_TrendWin* trend = rg_TrendWin::Open(f.window.get(), f.store, f.window->font());
  QTest::qWait(50);
  ASSERT_EQ(trend->Tabs()->currentIndex(), rg_TrendWin::TrendPage);
  ASSERT_EQ(trend->Chart()->Stats()->draws, 50);
  EXPECT_FALSE(Mapped("libQt6Charts")) << "the trend chart needs no Qt Charts";
  EXPECT_FALSE(BarChartsLoaded());

  trend->Tabs()->setCurrentIndex(rg_TrendWin::CountPage);
  EXPECT_TRUE(BarChartsLoaded());
  EXPECT_TRUE(Mapped("libQt6Charts"));
  EXPECT_TRUE(Mapped("libxyh_charts"));
  EXPECT_EQ(trend->BarsMissing(), nullptr);
  EXPECT_EQ(trend->RedCounts().size(), 33u);
  EXPECT_EQ(trend->BlueOmissions().size(), 16u);
  QTRY_VERIFY_WITH_TIMEOUT(trend->ChartView(0)->isVisible(), 5000);
}

TEST(LazyCharts, AModuleThatCannotBeLoadedIsSaidPlainlyInTheBarTabs) {
  if (BarChartsLoaded()) GTEST_SKIP() << "an earlier test in this process loaded the bar charts";
  WindowFixture f(false);
  ImportDraws(f.store);
  QWidget owner;
  {
    const ModuleName missing("libxyh_no_such_module.so");
    rg_TrendWin* trend = rg_TrendWin::Open(&owner, f.store, owner.font());
    trend->Tabs()->setCurrentIndex(rg_TrendWin::OmissionPage);
    ASSERT_NE(trend->BarsMissing(), nullptr);
    EXPECT_TRUE(trend->BarsMissing()->text().startsWith(QStringLiteral("柱状图组件无法加载")))
        << trend->BarsMissing()->text().toStdString();
    EXPECT_EQ(trend->BarsMissing()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(trend->RedCounts().empty());
    EXPECT_EQ(trend->ChartView(2), nullptr);
    EXPECT_FALSE(Mapped("libQt6Charts"));
    // The rest of the window goes on working.
    trend->SetRange(3);  // all
    EXPECT_EQ(trend->Chart()->Stats()->draws, 60);
    delete trend;
  }
  {
    // Only a bare name is taken: one with a folder is ignored, and a failed
    // load is tried again.
    const ModuleName elsewhere("../../../tmp/libxyh_charts.so");
    rg_TrendWin* trend = rg_TrendWin::Open(&owner, f.store, owner.font());
    trend->Tabs()->setCurrentIndex(rg_TrendWin::CountPage);
    EXPECT_EQ(trend->BarsMissing(), nullptr);
    EXPECT_EQ(trend->BlueCounts().size(), 16u);
    EXPECT_TRUE(BarChartsLoaded());
  }
}
