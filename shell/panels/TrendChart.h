#pragma once
// The classic trend chart (走势图): one row per draw, oldest at the top, and
// a row "第N期 未收录" for each issue missing between them;
// one column per red and per blue number; a drawn number is a filled ball,
// every other cell shows how many draws it has been away, and a line joins
// the blue balls from draw to draw. Below the draws the header repeats and
// three rows sum up the window. The header row and the issue and date
// columns stay in view while it scrolls. Only the rows in view are painted,
// so a chart of thousands of draws scrolls as quickly as one of thirty.
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
  // The rows between the header and the footer: the draws and the holes.
  int BodyLines() const { return static_cast<int>(lines_.size()); }
  // The issue missing at that body line, empty where the line is a draw.
  std::u16string HoleAt(int line) const;
  // The draw whose row holds the height y of the widget; -1 for the
  // header, a hole and the footer.
  int DrawRowAt(int y) const;
  // The top of a draw's row in the widget.
  int RowTop(int row) const { return rowHeight_ * (1 + LineOf(row)); }
  // The centre of a number's cell in a draw's row; blue when `blue`.
  QPoint CellCentre(int row, int number, bool blue) const;

  // The whole chart as a picture, or its newest draws when the whole would
  // be taller than kMaxImageHeight; `rows` tells how many draws it holds.
  QImage Render(int* rows = nullptr) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  // Scrolled: the frozen header and columns move with the view, so the
  // whole view is painted again rather than shifted.
  void moveEvent(QMoveEvent* event) override;

 private:
  void Measure();
  void BuildLines();
  int LineOf(int row) const { return lineOfDraw_[static_cast<std::size_t>(row)]; }
  // Paints the header, the body lines from `firstLine` on and the footer,
  // laid out as if `firstLine` were the first; only what meets `clip`.
  void Paint(QPainter& p, int firstLine, const QRect& clip) const;
  // The row at layout line `line` (0 the header) without its balls.
  void PaintLine(QPainter& p, int line, int firstLine) const;
  // The header row and the 期号/开奖日期 columns again at the edges of
  // `view`, the part of the chart the scroll area shows.
  void PaintFrozen(QPainter& p, const QRect& view, const QRect& clip) const;
  void PaintHeader(QPainter& p, int top) const;
  void PaintSummary(QPainter& p, int top, int line) const;
  void PaintDrawRow(QPainter& p, int top, int row) const;
  void PaintHoleRow(QPainter& p, int top, int line) const;
  void PaintGrid(QPainter& p, int top, int bottom, int firstLine, int lastLine) const;
  void PaintBalls(QPainter& p, int firstLine, int first, int last) const;
  int NumberX(int number, bool blue) const;
  // The same few hundred short texts fill every row: laid out once each.
  const QStaticText& Count(int n) const;
  const QStaticText& TwoDigits(int n, bool bold) const;
  void DrawCentred(QPainter& p, const QStaticText& text, int x, int top) const;

  std::shared_ptr<const rg_DrawStats> stats_;
  // Body line by body line: the draw's row, or -1 - the hole's index.
  std::vector<int> lines_;
  std::vector<int> lineOfDraw_;
  std::vector<std::u16string> holes_;  // in line order
  int rowHeight_ = 20;
  int cellWidth_ = 22;
  int issueWidth_ = 70;
  int dateWidth_ = 80;
  int gap_ = 6;
  mutable std::vector<QStaticText> counts_;
  mutable std::array<QStaticText, kRedCount + 1> two_, twoBold_;
};

}  // namespace rg_com_ptl_xyh
