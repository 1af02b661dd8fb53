#pragma once
// The 账本 window's chart of money over time, in the Qt Charts module of
// the trend window's bars (see BarChartModule.h): the window and the module
// share only this table of plain functions.
#include <QString>

class QFont;
class QWidget;

namespace rg_com_ptl_xyh {

struct rg_LedgerChartApi {
  int abi;
  // An empty chart of cumulative spent and won; a widget with no parent yet.
  QWidget* (*make)(const QFont& font);
  // `count` points: x in milliseconds since 1970 (UTC), the cumulative
  // spent and won in yuan; `marks` of them (indexes) are wins of a floating
  // tier whose amount is not stored, marked on the won line.
  void (*fill)(QWidget* chart, const double* x, const double* spent, const double* won, int count,
               const int* marks, int markCount);
  // How many points each line shows and how many marks: out[0..2].
  void (*shown)(const QWidget* chart, int* out);
};

inline constexpr int kLedgerChartAbi = 1;
inline constexpr char kLedgerChartEntry[] = "xyh_ledger_chart_api";
using rg_LedgerChartEntry = const rg_LedgerChartApi* (*)();

// The table, loaded on the first call; nullptr, `error` saying why, when
// the module cannot be loaded.
const rg_LedgerChartApi* LoadLedgerChart(QString* error = nullptr);

}  // namespace rg_com_ptl_xyh
