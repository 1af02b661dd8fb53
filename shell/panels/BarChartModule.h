#pragma once
// The trend window's bar charts live in a module of their own
// (libxyh_charts.so in the program's library folder beside bin/), the only
// code that uses Qt Charts: the window starts without Qt Charts, and loads
// it when a bar chart is first shown. The window and the module share only
// this table of plain functions.
#include <QString>

class QFont;
class QWidget;

namespace rg_com_ptl_xyh {

struct rg_BarChartApi {
  int abi;
  // A chart of `count` bars captioned 01, 02, …, red or blue, with the
  // title above; a widget with no parent yet.
  QWidget* (*make)(const QString& title, bool blue, int count, const QFont& font);
  // Shows `count` values, the value axis in whole steps with headroom for
  // the labels above the bars.
  void (*fill)(QWidget* chart, const int* values, int count);
  // The values shown: how many were written to `out` (at most `capacity`).
  int (*values)(const QWidget* chart, int* out, int capacity);
};

inline constexpr int kBarChartAbi = 1;
// The module's one exported function, returning the table.
inline constexpr char kBarChartEntry[] = "xyh_bar_chart_api";
using rg_BarChartEntry = const rg_BarChartApi* (*)();

// The module's table, loaded on the first call; nullptr when the module
// cannot be loaded, `error` then says why. A failure is tried again on the
// next call, a success is kept for the life of the process.
const rg_BarChartApi* LoadBarCharts(QString* error = nullptr);
// Where the module is looked for: by its full path, never by a search.
QString ChartModulePath();
// The module's exported function `entry` (loading the module on the first
// call); nullptr, `error` saying why, when it cannot be had.
void* ChartModuleEntry(const char* entry, QString* error);
// True once the module has been loaded by this process.
bool BarChartsLoaded();

}  // namespace rg_com_ptl_xyh
