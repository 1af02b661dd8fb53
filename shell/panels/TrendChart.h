#pragma once
// The classic trend chart (走势图): one row per draw, oldest at the top,
// one column per red and per blue number; a drawn number is a filled ball,
// every other cell shows how many draws it has been away, and a line joins
// the blue balls from draw to draw. Below the draws the header repeats and
// three rows sum up the window. Only the rows in view are painted, so a
// chart of thousands of draws scrolls as quickly as one of thirty.
#include <QImage>
#include <QStaticText>
#include <QWidget>

#include <array>
#include <memory>
#include <vector>

#include "history/DrawStats.h"

namespace rg_com_ptl_xyh {

class rg_TrendChart : public QWidget {
  Q_OBJECT
 public:
  // Rows below the draws: the repeated header and the three summary rows.
  static constexpr int kFooterRows = 4;
  // A picture taller than this holds only the newest draws that fit.
  static constexpr int kMaxImageHeight = 12000;

  explicit rg_TrendChart(QWidget* parent = nullptr);

  void SetStats(std::shared_ptr<const rg_DrawStats> stats);
  const rg_DrawStats* Stats() const { return stats_.get(); }

  QSize sizeHint() const override;
  int RowHeight() const { return rowHeight_; }
  // The top of a draw's row in the widget.
  int RowTop(int row) const { return rowHeight_ * (1 + row); }
  // The centre of a number's cell in a draw's row; blue when `blue`.
  QPoint CellCentre(int row, int number, bool blue) const;

  // The whole chart as a picture, or its newest draws when the whole would
  // be taller than kMaxImageHeight; `rows` tells how many draws it holds.
  QImage Render(int* rows = nullptr) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void Measure();
  // Paints the header, the draws from `firstRow` on and the footer, laid
  // out as if `firstRow` were the first draw; only what meets `clip`.
  void Paint(QPainter& p, int firstRow, const QRect& clip) const;
  void PaintHeader(QPainter& p, int top) const;
  void PaintSummary(QPainter& p, int top, int line) const;
  void PaintDrawRow(QPainter& p, int top, int row) const;
  void PaintGrid(QPainter& p, int top, int bottom, int firstLine, int lastLine) const;
  void PaintBalls(QPainter& p, int firstRow, int first, int last, int shown) const;
  int NumberX(int number, bool blue) const;
  // The same few hundred short texts fill every row: laid out once each.
  const QStaticText& Count(int n) const;
  const QStaticText& TwoDigits(int n, bool bold) const;
  void DrawCentred(QPainter& p, const QStaticText& text, int x, int top) const;

  std::shared_ptr<const rg_DrawStats> stats_;
  int rowHeight_ = 20;
  int cellWidth_ = 22;
  int issueWidth_ = 70;
  int dateWidth_ = 80;
  int gap_ = 6;
  mutable std::vector<QStaticText> counts_;
  mutable std::array<QStaticText, kRedCount + 1> two_, twoBold_;
};

}  // namespace rg_com_ptl_xyh
