#include "shell/panels/GuaPanel.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {
// The background of the fixed heading label (COLORREF 0xD3CB65).
constexpr unsigned int kHeadingColor = 13880165;
constexpr int kReadingMargin = 20;

// Where the grid's columns stand, from the grid's left edge.
struct GridColumns {
  QVector<int> xs;
  QVector<int> widths;
  int gap = 0;   // between two columns
  int left = 0;  // the grid's left edge in the panel
};

// Ten text cells and two line cells three times as wide, spread evenly
// over width.
GridColumns SpreadColumns(int width, int cellWidth) {
  GridColumns columns;
  const int cellsWidth = 10 * cellWidth + 2 * 3 * cellWidth;
  columns.gap = std::max(4, (width - 20 - cellsWidth) / 11);
  int x = 0;
  for (int c = 0; c < rg_GuaReport::kColumns; ++c) {
    const bool line =
        c == rg_GuaReport::kPrimaryLineColumn || c == rg_GuaReport::kChangedLineColumn;
    columns.xs.append(x);
    columns.widths.append(line ? 3 * cellWidth : cellWidth);
    x += columns.widths.back() + columns.gap;
  }
  columns.left = (width - (x - columns.gap)) / 2;
  return columns;
}

// The coloured band above the reading.
void StyleHeadingBand(QLabel* band) {
  band->setText(ui::Q(std::u16string(rg_GuaReport::kHeading)));
  band->setAlignment(Qt::AlignCenter);
  band->setAutoFillBackground(true);
  QPalette palette = band->palette();
  palette.setColor(QPalette::Window, ui::FromColorRef(kHeadingColor));
  band->setPalette(palette);
}

}  // namespace

void rg_GuaGrid::Setup(const QFont& font, const QVector<int>& columnX,
                       const QVector<int>& columnWidth, int rowHeight, int rowPitch) {
  setFont(font);
  x_ = columnX;
  width_ = columnWidth;
  rowHeight_ = rowHeight;
  rowPitch_ = rowPitch;
  resize(x_.back() + width_.back(), 5 * rowPitch_ + rowHeight_);
}

void rg_GuaGrid::SetCells(const rg_GuaReport::Grid& cells) {
  cells_ = cells;
  update();
}

QRect rg_GuaGrid::CellRect(int row, int column) const {
  return QRect(x_.value(column), row * rowPitch_, width_.value(column), rowHeight_);
}

void rg_GuaGrid::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  const QColor bar = palette().color(QPalette::WindowText);
  for (int row = 0; row < rg_GuaReport::kRows; ++row) {
    for (int column = 0; column < rg_GuaReport::kColumns; ++column) {
      const QRect cell = CellRect(row, column);
      const std::u16string& text = cells_[static_cast<size_t>(row)][static_cast<size_t>(column)];
      if (column == rg_GuaReport::kPrimaryLineColumn ||
          column == rg_GuaReport::kChangedLineColumn) {
        // One bar across for yang; two bars over the outer thirds for yin.
        if (text == u"1") {
          painter.fillRect(cell, bar);
        } else if (text == u"0") {
          const int third = cell.width() / 3;
          painter.fillRect(QRect(cell.left(), cell.top(), third, cell.height()), bar);
          painter.fillRect(QRect(cell.right() + 1 - third, cell.top(), third, cell.height()), bar);
        }
        continue;
      }
      painter.drawText(cell, Qt::AlignCenter, ui::Q(text));
    }
  }
}

void rg_GuaGrid::mouseDoubleClickEvent(QMouseEvent*) { emit doubleClicked(); }

rg_ReadingBox::rg_ReadingBox(QWidget* parent) : QPlainTextEdit(parent) {
  setReadOnly(true);
  setViewportMargins(kReadingMargin, 0, 0, 0);
  // The margin shows the box's own background, not the window's.
  setBackgroundRole(QPalette::Base);
  setAutoFillBackground(true);
  setLineWrapMode(QPlainTextEdit::NoWrap);
}

rg_GuaPanel::rg_GuaPanel(QWidget* parent)
    : QWidget(parent),
      header_(new QLabel(this)),
      primaryTitle_(new QLabel(this)),
      changedTitle_(new QLabel(this)),
      grid_(new rg_GuaGrid(this)),
      heading_(new QLabel(this)),
      reading_(new rg_ReadingBox(this)),
      chartButton_(new QPushButton(QStringLiteral("详细排盘"), this)) {
  // The header repeats what a saved record held: text, never markup.
  for (QLabel* label : {header_, primaryTitle_, changedTitle_, heading_})
    label->setTextFormat(Qt::PlainText);
  chartButton_->setEnabled(false);
  connect(chartButton_, &QPushButton::clicked, this, &rg_GuaPanel::chartRequested);
  connect(grid_, &rg_GuaGrid::doubleClicked, this, [this] {
    if (chartButton_->isEnabled()) emit chartRequested();
  });
  report_.SetReadyHandler([this](rg_GuaAnalysis& analysis) {
    Render();
    emit analysisDone(&analysis);
  });
}

void rg_GuaPanel::Build(const QFont& font, int minWidth) {
  setFont(font);
  const QFontMetrics metrics(font);
  const int cellWidth = metrics.horizontalAdvance(QStringLiteral("长度"));
  const int lineHeight = metrics.height();

  // The reading's widest fixed line decides the width.
  const QString widest = QStringLiteral(
      "----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------");
  const int readingWidth = metrics.horizontalAdvance(widest) + kReadingMargin +
                           reading_->verticalScrollBar()->sizeHint().width() +
                           2 * reading_->frameWidth() + 8;
  const int width = std::max(readingWidth, minWidth);

  const GridColumns columns = SpreadColumns(width, cellWidth);
  const QVector<int>& xs = columns.xs;
  const QVector<int>& widths = columns.widths;
  const int gap = columns.gap;
  const int gridLeft = columns.left;

  int y = 10;
  // The chart button sits at the right end of the header line, which
  // leaves it the room; it reaches a little into the gaps above and below.
  const int buttonWidth = metrics.horizontalAdvance(QStringLiteral("详细排盘")) + 16;
  chartButton_->setFont(font);
  const int buttonHeight = std::max(lineHeight + 8, chartButton_->minimumSizeHint().height());
  chartButton_->setGeometry(width - 10 - buttonWidth, y + (lineHeight - buttonHeight) / 2,
                            buttonWidth, buttonHeight);
  header_->setGeometry(10, y, width - 30 - buttonWidth, lineHeight);
  y += lineHeight + 10;
  primaryTitle_->setGeometry(gridLeft, y, xs[7] - gap, lineHeight);
  changedTitle_->setGeometry(gridLeft + xs[7], y, width - gridLeft - xs[7], lineHeight);
  y += lineHeight + 10;
  const auto headings = rg_GuaReport::ColumnHeadings();
  for (int c = 0; c < rg_GuaReport::kColumns; ++c) {
    auto* label = new QLabel(ui::Q(headings[static_cast<size_t>(c)]), this);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(gridLeft + xs[c], y, widths[c], lineHeight);
    headings_.append(label);
  }
  y += lineHeight + 10;
  grid_->Setup(font, xs, widths, lineHeight, lineHeight + 10);
  grid_->move(gridLeft, y);
  y += grid_->height() + 10;

  StyleHeadingBand(heading_);
  heading_->setGeometry(0, y, width, lineHeight + 6);
  y += heading_->height() + 4;

  reading_->setFont(font);
  reading_->setGeometry(0, y, width, lineHeight * 12);
  resize(width, reading_->geometry().bottom() + 1);
}

void rg_GuaPanel::SetHeight(int height) {
  reading_->resize(reading_->width(),
                   std::max(4 * QFontMetrics(font()).height(), height - reading_->y()));
  resize(width(), height);
}

void rg_GuaPanel::ClearReading() {
  report_.ClearReading();
  reading_->clear();
}

void rg_GuaPanel::Render() {
  header_->setText(ui::Q(report_.Header()));
  primaryTitle_->setText(ui::Q(report_.PrimaryTitle()));
  changedTitle_->setText(ui::Q(report_.ChangedTitle()));
  grid_->SetCells(report_.Cells());
  chartButton_->setEnabled(!report_.Analysis().dayPillar.empty());
  QString text = ui::Q(report_.Reading());
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  reading_->setPlainText(text);
}

}  // namespace rg_com_ptl_xyh
