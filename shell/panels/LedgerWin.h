#pragma once
// 账本: the plays bought with saved casts by draw, month or year, what they
// cost and what came back, the totals, a chart of the money over time (in
// the Qt Charts module, as the trend window's bars) with the floating wins
// whose amount is not stored marked, and 导出CSV of the table. The owner
// calls Reload when a play, a draw or a prize amount changes.
#include <QWidget>

#include <optional>
#include <vector>

#include "history/Ledger.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace rg_com_ptl_xyh {

class rg_EasyDb;
struct rg_LedgerChartApi;

class rg_LedgerWin : public QWidget {
  Q_OBJECT
 public:
  // The choices of 统计方式, in order.
  static constexpr rg_LedgerBy kBys[] = {rg_LedgerBy::Draw, rg_LedgerBy::Month, rg_LedgerBy::Year};

  rg_LedgerWin(const QFont& font, QWidget* parent = nullptr);

  // Opens the window of `owner` (raising and reloading the one already
  // open) over the store's plays.
  static rg_LedgerWin* Open(QWidget* owner, rg_EasyDb& store, std::optional<std::int64_t> budget,
                            const QFont& font);

  // Reads the plays again; a store that cannot give all of them is said in
  // the window, and the table then shows nothing rather than part.
  void Reload(rg_EasyDb& store, std::optional<std::int64_t> budget);
  void SetPlays(std::vector<rg_LedgerPlay> plays, std::optional<std::int64_t> budget);
  void SetBy(rg_LedgerBy by);
  // Writes the table as CSV (LedgerCsv); `message` says where or why not.
  bool ExportCsv(const QString& path, QString* message = nullptr);

  const rg_Ledger& Ledger() const { return ledger_; }
  QTableWidget* Table() const { return table_; }
  QComboBox* ByBox() const { return by_; }
  QPushButton* ExportButton() const { return export_; }
  QLabel* Totals() const { return totals_; }
  // The chart, or null when the module could not be loaded (ChartMissing
  // then says why).
  QWidget* Chart() const { return chart_; }
  QLabel* ChartMissing() const { return chartMissing_; }
  // Points of the spent and won lines and the marks, as the chart shows them.
  std::array<int, 3> ChartShown() const;

 private:
  void Recompute();
  void FillTable();
  void FillChart();
  void AskAndExport();

  std::vector<rg_LedgerPlay> plays_;
  std::optional<std::int64_t> budget_;
  rg_Ledger ledger_;
  QComboBox* by_;
  QPushButton* export_;
  QTableWidget* table_;
  QLabel* totals_;
  QLabel* status_;
  QWidget* chart_ = nullptr;
  QLabel* chartMissing_ = nullptr;
  const rg_LedgerChartApi* api_ = nullptr;
};

}  // namespace rg_com_ptl_xyh
