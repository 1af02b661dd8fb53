#include "shell/panels/TrendChart.h"

#include <QEvent>
#include <QMoveEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QColor kRed(0xd8, 0x2c, 0x2c);
const QColor kBlue(0x1f, 0x5f, 0xc8);
const QColor kGrid(0xd6, 0xd6, 0xd6);
const QColor kZone(0x9a, 0x9a, 0x9a);
const QColor kOmission(0x9a, 0x9a, 0x9a);
const QColor kStripe(0xf6, 0xf6, 0xf2);
const QColor kHeader(0xec, 0xe8, 0xdc);
const QColor kHole(0xfb, 0xee, 0xd8);
const QColor kHoleText(0xa0, 0x60, 0x10);

QString Two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

}  // namespace

rg_TrendChart::rg_TrendChart(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  Measure();
}

void rg_TrendChart::changeEvent(QEvent* event) {
  if (event->type() == QEvent::FontChange) {
    Measure();
    resize(sizeHint());
  }
  QWidget::changeEvent(event);
}

void rg_TrendChart::Measure() {
  const QFontMetrics fm(font());
  rowHeight_ = std::max(20, fm.height() + 6);
  cellWidth_ = std::max(rowHeight_, fm.horizontalAdvance(QStringLiteral("000")) + 6);
  issueWidth_ = fm.horizontalAdvance(QStringLiteral("最大遗漏")) + 14;
  dateWidth_ = fm.horizontalAdvance(QStringLiteral("2026-12-06")) + 14;
  if (stats_ != nullptr) {
    for (const rg_DrawShape& d : stats_->perDraw) {
      issueWidth_ = std::max(issueWidth_, fm.horizontalAdvance(ui::Q(d.issue)) + 14);
    }
    if (!holes_.empty()) {
      issueWidth_ =
          std::max(issueWidth_,
                   fm.horizontalAdvance(QStringLiteral("第0000000期 未收录")) + 20 - dateWidth_);
    }
  }
  counts_.clear();
  two_ = {};
  twoBold_ = {};
}

namespace {
QStaticText Prepared(const QString& text, const QFont& font) {
  QStaticText t(text);
  t.setTextFormat(Qt::PlainText);
  t.prepare(QTransform(), font);
  return t;
}
}  // namespace

const QStaticText& rg_TrendChart::Count(int n) const {
  const auto index = static_cast<std::size_t>(n);
  if (index >= counts_.size()) counts_.resize(index + 1);
  if (counts_[index].text().isEmpty()) counts_[index] = Prepared(QString::number(n), font());
  return counts_[index];
}

const QStaticText& rg_TrendChart::TwoDigits(int n, bool bold) const {
  QStaticText& t = (bold ? twoBold_ : two_)[static_cast<std::size_t>(n)];
  if (t.text().isEmpty()) {
    QFont f = font();
    f.setBold(bold);
    t = Prepared(Two(n), f);
  }
  return t;
}

void rg_TrendChart::DrawCentred(QPainter& p, const QStaticText& text, int x, int top) const {
  const QSizeF size = text.size();
  p.drawStaticText(
      QPointF(x + (cellWidth_ - size.width()) / 2, top + (rowHeight_ - size.height()) / 2), text);
}

void rg_TrendChart::SetStats(std::shared_ptr<const rg_DrawStats> stats) {
  stats_ = std::move(stats);
  BuildLines();
  Measure();
  resize(sizeHint());
  update();
}

void rg_TrendChart::BuildLines() {
  lines_.clear();
  lineOfDraw_.clear();
  holes_.clear();
  if (stats_ == nullptr) return;
  for (int row = 0; row < stats_->draws; ++row) {
    const auto r = static_cast<std::size_t>(row);
    if (row > 0 && r < stats_->holesBefore.size() && stats_->holesBefore[r] > 0) {
      const std::size_t from = holes_.size();
      MissingBetween(stats_->perDraw[r - 1].issue, stats_->perDraw[r].issue, holes_);
      for (std::size_t h = from; h < holes_.size(); ++h) lines_.push_back(-1 - static_cast<int>(h));
    }
    lineOfDraw_.push_back(static_cast<int>(lines_.size()));
    lines_.push_back(row);
  }
}

std::u16string rg_TrendChart::HoleAt(int line) const {
  if (line < 0 || line >= BodyLines() || lines_[static_cast<std::size_t>(line)] >= 0) return {};
  return holes_[static_cast<std::size_t>(-1 - lines_[static_cast<std::size_t>(line)])];
}

int rg_TrendChart::DrawRowAt(int y) const {
  if (y < rowHeight_) return -1;
  const int line = y / rowHeight_ - 1;
  if (line >= BodyLines()) return -1;
  return std::max(lines_[static_cast<std::size_t>(line)], -1);
}

void rg_TrendChart::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  update();
}

QSize rg_TrendChart::sizeHint() const {
  const int rows = 1 + BodyLines() + kFooterRows;
  return {NumberX(kBlueCount, true) + cellWidth_ + 1, rows * rowHeight_ + 1};
}

int rg_TrendChart::NumberX(int number, bool blue) const {
  const int reds = issueWidth_ + dateWidth_;
  if (!blue) return reds + (number - 1) * cellWidth_;
  return reds + kRedCount * cellWidth_ + gap_ + (number - 1) * cellWidth_;
}

QPoint rg_TrendChart::CellCentre(int row, int number, bool blue) const {
  return {NumberX(number, blue) + cellWidth_ / 2, RowTop(row) + rowHeight_ / 2};
}

void rg_TrendChart::paintEvent(QPaintEvent* event) {
  QPainter p(this);
  Paint(p, 0, event->rect());
  // The part the scroll area shows, in the chart's own coordinates.
  if (const QWidget* viewport = parentWidget()) {
    const QRect view = QRect(mapFromParent(QPoint(0, 0)), viewport->size()) & rect();
    if (view.isValid()) PaintFrozen(p, view, event->rect());
  }
}

QImage rg_TrendChart::Render(int* rows) const {
  const int lines = BodyLines();
  const int fit = std::max(1, (kMaxImageHeight - 1) / rowHeight_ - 1 - kFooterRows);
  const int shown = std::min(lines, fit);
  if (rows != nullptr) {
    *rows = static_cast<int>(
        std::count_if(lines_.end() - shown, lines_.end(), [](int line) { return line >= 0; }));
  }
  const QSize size(sizeHint().width(), (1 + shown + kFooterRows) * rowHeight_ + 1);
  QImage image(size, QImage::Format_RGB32);
  QPainter p(&image);
  p.setFont(font());
  Paint(p, lines - shown, image.rect());
  return image;
}

void rg_TrendChart::PaintLine(QPainter& p, int line, int firstLine) const {
  const int shown = BodyLines() - firstLine;
  const int top = line * rowHeight_;
  if (line == 0 || line == shown + 1) {
    PaintHeader(p, top);
  } else if (line > shown + 1) {
    PaintSummary(p, top, line - shown - 2);
  } else if (const int body = firstLine + line - 1; lines_[static_cast<std::size_t>(body)] >= 0) {
    PaintDrawRow(p, top, lines_[static_cast<std::size_t>(body)]);
  } else {
    PaintHoleRow(p, top, body);
  }
}

void rg_TrendChart::PaintFrozen(QPainter& p, const QRect& view, const QRect& clip) const {
  if (stats_ == nullptr || stats_->Empty()) return;
  const int h = rowHeight_;
  const int left = issueWidth_ + dateWidth_;
  const int last = BodyLines() + kFooterRows;
  p.setRenderHint(QPainter::Antialiasing, false);
  const auto edges = [&](int x, int top, int bottom) {
    p.setPen(kZone);
    p.drawLine(x + issueWidth_, top, x + issueWidth_, bottom);
    p.drawLine(x + left, top, x + left, bottom);
  };
  if (view.left() > 0) {
    // The issue and date columns, drawn again over what scrolled under them.
    p.save();
    p.setClipRect(QRect(view.left(), clip.top(), left + 1, clip.height()));
    p.translate(view.left(), 0);
    const int first = std::max(0, clip.top() / h);
    const int end = std::min(last, clip.bottom() / h);
    for (int line = first; line <= end; ++line) {
      PaintLine(p, line, 0);
      p.setPen(kGrid);
      p.drawLine(0, line * h, left, line * h);
    }
    edges(0, first * h, (end + 1) * h);
    p.restore();
  }
  if (view.top() > 0) {
    // The header row, drawn as at the top with its grid, over the view's top.
    p.save();
    p.setClipRect(QRect(clip.left(), view.top(), clip.width(), h + 1));
    p.translate(0, view.top());
    PaintHeader(p, 0);
    PaintGrid(p, 0, h, 0, -1);
    p.setPen(kZone);
    p.drawLine(0, h, sizeHint().width(), h);
    if (view.left() > 0) {
      p.translate(view.left(), 0);
      p.setClipRect(QRect(0, 0, left + 1, h + 1));
      PaintHeader(p, 0);
      p.setPen(kGrid);
      p.drawLine(0, 0, left, 0);
      edges(0, 0, h);
      p.setPen(kZone);
      p.drawLine(0, h, left, h);
    }
    p.restore();
  }
}

void rg_TrendChart::PaintHeader(QPainter& p, int top) const {
  const int width = sizeHint().width();
  p.fillRect(0, top, width, rowHeight_, kHeader);
  p.setPen(Qt::black);
  p.drawText(QRect(0, top, issueWidth_, rowHeight_), Qt::AlignCenter, QStringLiteral("期号"));
  p.drawText(QRect(issueWidth_, top, dateWidth_, rowHeight_), Qt::AlignCenter,
             QStringLiteral("开奖日期"));
  for (int n = 1; n <= kRedCount; ++n) {
    p.setPen(kRed);
    DrawCentred(p, TwoDigits(n, false), NumberX(n, false), top);
  }
  for (int n = 1; n <= kBlueCount; ++n) {
    p.setPen(kBlue);
    DrawCentred(p, TwoDigits(n, false), NumberX(n, true), top);
  }
}

void rg_TrendChart::PaintSummary(QPainter& p, int top, int line) const {
  static const QString kTitles[] = {QStringLiteral("出现次数"), QStringLiteral("当前遗漏"),
                                    QStringLiteral("最大遗漏")};
  const auto value = [line](const rg_NumberStat& s) {
    return line == 0 ? s.count : line == 1 ? s.omission : s.maxOmission;
  };
  p.fillRect(0, top, sizeHint().width(), rowHeight_, line % 2 == 0 ? QColor(Qt::white) : kStripe);
  p.setPen(Qt::black);
  p.drawText(QRect(0, top, issueWidth_ + dateWidth_, rowHeight_), Qt::AlignCenter, kTitles[line]);
  for (int n = 1; n <= kRedCount; ++n) {
    DrawCentred(p, Count(value(stats_->red[static_cast<std::size_t>(n - 1)])), NumberX(n, false),
                top);
  }
  for (int n = 1; n <= kBlueCount; ++n) {
    DrawCentred(p, Count(value(stats_->blue[static_cast<std::size_t>(n - 1)])), NumberX(n, true),
                top);
  }
}

void rg_TrendChart::Paint(QPainter& p, int firstBody, const QRect& clip) const {
  p.fillRect(clip, Qt::white);
  if (stats_ == nullptr || stats_->Empty()) return;
  const int h = rowHeight_;
  const int shown = BodyLines() - firstBody;
  // Layout rows: 0 the header, 1..shown the body lines, then the footer.
  const int firstLine = std::max(0, clip.top() / h);
  const int lastLine = std::min(shown + kFooterRows, clip.bottom() / h);

  p.setRenderHint(QPainter::Antialiasing, false);
  for (int line = firstLine; line <= lastLine; ++line) PaintLine(p, line, firstBody);
  PaintGrid(p, firstLine * h, std::min((lastLine + 1) * h, (shown + 1 + kFooterRows) * h),
            firstLine, lastLine);
  PaintBalls(p, firstBody, std::max(1, firstLine), std::min(shown, lastLine));
}

// An issue the archive lacks: its number, "未收录", and nothing drawn.
void rg_TrendChart::PaintHoleRow(QPainter& p, int top, int line) const {
  const int h = rowHeight_;
  p.fillRect(0, top, sizeHint().width(), h, kHole);
  p.setPen(kHoleText);
  p.drawText(QRect(0, top, issueWidth_ + dateWidth_, h), Qt::AlignCenter,
             QStringLiteral("第%1期 未收录").arg(ui::Q(HoleAt(line))));
}

// A draw's issue and date, and the omission counts in the cells it missed.
void rg_TrendChart::PaintDrawRow(QPainter& p, int top, int row) const {
  const int h = rowHeight_;
  const rg_DrawShape& d = stats_->perDraw[static_cast<std::size_t>(row)];
  p.fillRect(0, top, sizeHint().width(), h, row % 2 == 0 ? QColor(Qt::white) : kStripe);
  p.setPen(Qt::black);
  p.drawText(QRect(0, top, issueWidth_, h), Qt::AlignCenter, ui::Q(d.issue));
  p.drawText(QRect(issueWidth_, top, dateWidth_, h), Qt::AlignCenter, ui::Q(DrawDateText(d.date)));
  p.setPen(kOmission);
  for (int n = 1; n <= kRedCount; ++n) {
    if (const int cell = stats_->RedCell(row, n); cell != 0) {
      DrawCentred(p, Count(cell), NumberX(n, false), top);
    }
  }
  for (int n = 1; n <= kBlueCount; ++n) {
    if (const int cell = stats_->BlueCell(row, n); cell != 0) {
      DrawCentred(p, Count(cell), NumberX(n, true), top);
    }
  }
}

// The grid: row lines, the zone lines after 11 and 22, the blue divide.
void rg_TrendChart::PaintGrid(QPainter& p, int top, int bottom, int firstLine, int lastLine) const {
  const int width = sizeHint().width();
  const int h = rowHeight_;
  p.setPen(kGrid);
  for (int line = firstLine; line <= lastLine + 1; ++line)
    p.drawLine(0, line * h, width - 1, line * h);
  for (int n = 1; n <= kRedCount + 1; ++n) {
    const int x = NumberX(n, false);
    p.setPen(n == 12 || n == 23 ? kZone : kGrid);
    p.drawLine(x, top, x, bottom);
  }
  for (int n = 1; n <= kBlueCount + 1; ++n)
    p.drawLine(NumberX(n, true), top, NumberX(n, true), bottom);
  p.setPen(kZone);
  p.drawLine(issueWidth_, top, issueWidth_, bottom);
  p.drawLine(NumberX(1, false), top, NumberX(1, false), bottom);
  p.fillRect(NumberX(kRedCount + 1, false) + 1, top, gap_ - 1, bottom - top, kHeader);
}

// The balls of the layout lines first..last, over the line that joins the
// blues from draw to draw across any hole; that line reaches one draw
// beyond the view at either end so that lines entering the view are drawn.
void rg_TrendChart::PaintBalls(QPainter& p, int firstBody, int first, int last) const {
  const int h = rowHeight_;
  const auto layoutLine = [&](int row) { return LineOf(row) - firstBody + 1; };
  const auto centre = [&](int line, int number, bool blue) {
    return QPoint(NumberX(number, blue) + cellWidth_ / 2, line * h + h / 2);
  };
  // The draws whose rows are in view, and one more on either side.
  const auto rowFrom = [&](int line) {
    const auto it = std::lower_bound(lineOfDraw_.begin(), lineOfDraw_.end(), firstBody + line - 1);
    return static_cast<int>(it - lineOfDraw_.begin());
  };
  const int firstRow = rowFrom(first);
  const int endRow = rowFrom(last + 1);  // past the last in view
  const auto blueOf = [&](int row) { return stats_->perDraw[static_cast<std::size_t>(row)].blue; };
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setPen(QPen(kBlue, 1.5));
  const int from = std::max(0, firstRow - 1);
  const int to = std::min(stats_->draws - 1, endRow);
  for (int row = from; row < to; ++row) {
    // A row before the picture's first line (an image of the newest draws) has no place.
    if (LineOf(row) < firstBody) continue;
    p.drawLine(centre(layoutLine(row), blueOf(row), true),
               centre(layoutLine(row + 1), blueOf(row + 1), true));
  }
  const int radius = std::min(cellWidth_, h) / 2 - 1;
  QFont ballFont = p.font();
  ballFont.setBold(true);
  p.setFont(ballFont);
  const auto ball = [&](QPoint c, int number, const QColor& colour) {
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawEllipse(c, radius, radius);
    p.setPen(Qt::white);
    DrawCentred(p, TwoDigits(number, true), c.x() - cellWidth_ / 2, c.y() - h / 2);
  };
  for (int row = firstRow; row < endRow; ++row) {
    const rg_DrawShape& d = stats_->perDraw[static_cast<std::size_t>(row)];
    const int line = layoutLine(row);
    for (int n : d.red) ball(centre(line, n, false), n, kRed);
    ball(centre(line, d.blue, true), d.blue, kBlue);
  }
  p.setBrush(Qt::NoBrush);
  ballFont.setBold(false);
  p.setFont(ballFont);
}

}  // namespace rg_com_ptl_xyh
