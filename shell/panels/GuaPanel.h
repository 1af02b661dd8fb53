#pragma once
// The hexagram analysis panel: header, titles, the 6 x 12 grid and the
// reading text, drawn from the engine's report.
#include <QPlainTextEdit>
#include <QWidget>

#include "engine/Report.h"

class QLabel;
class QPushButton;

namespace rg_com_ptl_xyh {

// The six rows of the grid; line cells are drawn as bars.
class rg_GuaGrid : public QWidget {
  Q_OBJECT
 public:
  explicit rg_GuaGrid(QWidget* parent = nullptr) : QWidget(parent) {}
  void Setup(const QFont& font, const QVector<int>& columnX, const QVector<int>& columnWidth,
             int rowHeight, int rowPitch);
  void SetCells(const rg_GuaReport::Grid& cells);
  const rg_GuaReport::Grid& Cells() const { return cells_; }
  // The rectangle of a cell, for drawing and for checks.
  QRect CellRect(int row, int column) const;

 signals:
  void doubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  rg_GuaReport::Grid cells_;
  QVector<int> x_;
  QVector<int> width_;
  int rowHeight_ = 0;
  int rowPitch_ = 0;
};

// The reading box keeps a 20-pixel margin on its left.
class rg_ReadingBox : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit rg_ReadingBox(QWidget* parent = nullptr);
  int LeftMargin() const { return viewportMargins().left(); }
};

class rg_GuaPanel : public QWidget {
  Q_OBJECT
 public:
  explicit rg_GuaPanel(QWidget* parent = nullptr);
  // Sizes itself from the font: the panel is as wide as the reading needs
  // and at least minWidth.
  void Build(const QFont& font, int minWidth);
  // Stretches the reading box so the panel is height pixels high.
  void SetHeight(int height);

  rg_GuaReport& Report() { return report_; }
  // The reading box emptied (the casting panel's reset).
  void ClearReading();

  QLabel* Header() const { return header_; }
  QLabel* PrimaryTitle() const { return primaryTitle_; }
  QLabel* ChangedTitle() const { return changedTitle_; }
  QLabel* Heading() const { return heading_; }
  rg_GuaGrid* Grid() const { return grid_; }
  rg_ReadingBox* ReadingBox() const { return reading_; }
  QList<QLabel*> ColumnHeadings() const { return headings_; }
  // "详细排盘": usable once a cast is on screen.
  QPushButton* ChartButton() const { return chartButton_; }

 signals:
  // The detailed chart of the cast on screen is asked for.
  void chartRequested();
  // The reading is on screen; the record is complete up to its number
  // profile.
  void analysisDone(rg_GuaAnalysis* analysis);

 private:
  void Render();

  rg_GuaReport report_;
  QLabel* header_;
  QLabel* primaryTitle_;
  QLabel* changedTitle_;
  QList<QLabel*> headings_;
  rg_GuaGrid* grid_;
  QLabel* heading_;
  rg_ReadingBox* reading_;
  QPushButton* chartButton_;
};

}  // namespace rg_com_ptl_xyh
