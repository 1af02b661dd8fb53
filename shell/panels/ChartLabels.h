#pragma once
// The bar charts' number labels ("01" … "33") shown whole, never cut to
// "…": by Qt Charts itself where it can be asked (ChartLabels_whole.cpp),
// else by standing them upright, where a narrow bar still has the height
// for them (ChartLabels_upright.cpp). CMake picks the file by what the
// Charts it builds against offers.
#include <QtCharts/QBarCategoryAxis>

namespace rg_com_ptl_xyh {

void KeepLabelsWhole(QBarCategoryAxis* axis);

}  // namespace rg_com_ptl_xyh
