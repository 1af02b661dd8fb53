#pragma once
// The detailed chart of the cast on screen: month and day with the void
// branches, the grid with the hidden spirits beside their lines, the
// month-break and void lines marked, the related hexagrams and the stars.
// The chart itself is worked out and laid out in the engine; this only
// draws it, copies its text and saves its picture.
#include <QDialog>
#include <QImage>

#include "engine/Chart.h"

class QPushButton;

namespace rg_com_ptl_xyh {

class rg_ChartView : public QWidget {
  Q_OBJECT
 public:
  explicit rg_ChartView(QWidget* parent = nullptr);
  void SetSheet(const rg_ChartSheet& sheet);
  const rg_ChartSheet& Sheet() const { return sheet_; }
  QSize sizeHint() const override { return size_; }
  QImage Picture();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSize Layout() const;

  rg_ChartSheet sheet_;
  QSize size_{400, 300};
};

class rg_ChartWin : public QDialog {
  Q_OBJECT
 public:
  explicit rg_ChartWin(QWidget* parent = nullptr);
  void SetSheet(const rg_ChartSheet& sheet);
  rg_ChartView* View() const { return view_; }
  QPushButton* CopyButton() const { return copy_; }
  QPushButton* ExportButton() const { return export_; }

  // The chart as plain text onto the clipboard.
  void CopyText();
  // The chart as a PNG picture; false when it cannot be written.
  // *message: where it was saved, or why it was not.
  bool ExportPng(const QString& path, QString* message = nullptr);

 private:
  void AskAndExport();

  rg_ChartView* view_;
  QPushButton* copy_;
  QPushButton* export_;
};

}  // namespace rg_com_ptl_xyh
