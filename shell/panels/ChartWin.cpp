#include "shell/panels/ChartWin.h"

#include <QBuffer>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/FileDialogs.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr int kPad = 16;
// Column widths in character widths: 六神 伏神 本卦 卦象 世应 动爻 变卦 卦象 世应 备注.
constexpr int kColumnChars[] = {2, 5, 5, 4, 2, 2, 5, 4, 2, 6};
constexpr int kColumns = 10;

struct Geometry {
  int charWidth;
  int lineHeight;
  int pitch;
  int gap;
  int x[kColumns];
  int width[kColumns];
  int tableWidth;
};

Geometry Measure(const QFont& font) {
  const QFontMetrics m(font);
  Geometry g{};
  g.charWidth = m.horizontalAdvance(QStringLiteral("长"));
  g.lineHeight = m.height();
  g.pitch = g.lineHeight + 10;
  g.gap = g.charWidth;
  int x = kPad;
  for (int c = 0; c < kColumns; ++c) {
    g.x[c] = x;
    g.width[c] = kColumnChars[c] * g.charWidth;
    x += g.width[c] + g.gap;
  }
  g.tableWidth = x - g.gap - kPad;
  return g;
}

struct Inks {
  QColor ink{Qt::black};
  QColor muted{70, 90, 150};
  QColor alert{190, 30, 30};
};

// Lines of text from y down, across the view; the y below the last.
int DrawLines(QPainter& p, const std::vector<std::u16string>& lines, int y, int viewWidth,
              int lineHeight) {
  for (const auto& line : lines) {
    p.drawText(QRect(kPad, y, viewWidth - 2 * kPad, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
               ui::Q(line));
    y += lineHeight + 4;
  }
  return y;
}

// A line drawn as a bar: whole for yang ("1"), broken for yin ("0").
void DrawLineBar(QPainter& p, const Geometry& g, const QColor& ink, int column, int top,
                 const std::u16string& value) {
  const QRect cell(g.x[column], top + g.lineHeight / 5, g.width[column],
                   g.lineHeight - 2 * (g.lineHeight / 5));
  if (value == u"1") {
    p.fillRect(cell, ink);
  } else if (value == u"0") {
    const int part = cell.width() * 2 / 5;
    p.fillRect(QRect(cell.left(), cell.top(), part, cell.height()), ink);
    p.fillRect(QRect(cell.right() + 1 - part, cell.top(), part, cell.height()), ink);
  }
}

// One line of the table, its note running to the view's right edge.
void DrawRow(QPainter& p, const Geometry& g, const Inks& inks, const rg_ChartRow& row, int y,
             int viewWidth) {
  const auto text = [&p, &g, y](int column, const std::u16string& value, const QColor& color) {
    p.setPen(color);
    p.drawText(QRect(g.x[column], y, g.width[column], g.lineHeight), Qt::AlignCenter, ui::Q(value));
  };
  text(0, row.spirit, inks.ink);
  text(1, row.hidden, inks.muted);
  text(2, row.primary, inks.ink);
  DrawLineBar(p, g, inks.ink, 3, y, row.primaryLine);
  text(4, row.primaryMark, inks.ink);
  text(5, row.moving, inks.alert);
  text(6, row.changed, inks.ink);
  DrawLineBar(p, g, inks.ink, 7, y, row.changedLine);
  text(8, row.changedMark, inks.ink);
  p.setPen(inks.alert);
  p.drawText(QRect(g.x[9], y, viewWidth - g.x[9], g.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             ui::Q(row.note));
}

}  // namespace

rg_ChartView::rg_ChartView(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void rg_ChartView::SetSheet(const rg_ChartSheet& sheet) {
  sheet_ = sheet;
  size_ = Layout();
  resize(size_);
  updateGeometry();
  update();
}

QSize rg_ChartView::Layout() const {
  const Geometry g = Measure(font());
  const QFontMetrics m(font());
  int width = g.tableWidth;
  for (const auto& line : sheet_.head) width = std::max(width, m.horizontalAdvance(ui::Q(line)));
  for (const auto& line : sheet_.foot) width = std::max(width, m.horizontalAdvance(ui::Q(line)));
  const int lines = static_cast<int>(sheet_.head.size() + sheet_.foot.size());
  // Head and foot lines, the titles, the headings and six rows.
  const int height = kPad * 2 + lines * (g.lineHeight + 4) + 2 * 10 + (2 + 6) * g.pitch;
  return {width + 2 * kPad, height};
}

QImage rg_ChartView::Picture() {
  QImage image(size_, QImage::Format_RGB32);
  image.fill(Qt::white);
  render(&image);
  return image;
}

void rg_ChartView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  p.setFont(font());
  const Geometry g = Measure(font());
  const Inks inks;
  p.setPen(inks.ink);

  int y = DrawLines(p, sheet_.head, kPad, width(), g.lineHeight);
  y += 10;
  p.drawText(QRect(g.x[1], y, g.x[6] - g.x[1], g.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             ui::Q(sheet_.primaryTitle));
  p.drawText(QRect(g.x[6], y, width() - g.x[6], g.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             ui::Q(sheet_.changedTitle));
  y += g.pitch;
  const auto headings = rg_ChartSheet::Headings();
  p.setPen(inks.muted);
  for (int c = 0; c < kColumns; ++c) {
    p.drawText(QRect(g.x[c], y, g.width[c], g.lineHeight), Qt::AlignCenter,
               ui::Q(headings[static_cast<size_t>(c)]));
  }
  p.setPen(inks.ink);
  y += g.pitch;

  for (const rg_ChartRow& row : sheet_.rows) {
    DrawRow(p, g, inks, row, y, width());
    y += g.pitch;
  }
  p.setPen(inks.ink);
  y += 10;
  DrawLines(p, sheet_.foot, y, width(), g.lineHeight);
}

rg_ChartWin::rg_ChartWin(QWidget* parent)
    : QDialog(parent),
      view_(new rg_ChartView(this)),
      copy_(new QPushButton(QStringLiteral("复制排盘"), this)),
      export_(new QPushButton(QStringLiteral("导出图片"), this)) {
  setWindowTitle(QStringLiteral("详细排盘"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(copy_);
  buttons->addWidget(export_);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
  connect(copy_, &QPushButton::clicked, this, &rg_ChartWin::CopyText);
  connect(export_, &QPushButton::clicked, this, &rg_ChartWin::AskAndExport);
}

void rg_ChartWin::SetSheet(const rg_ChartSheet& sheet) {
  view_->setFont(font());
  view_->SetSheet(sheet);
  const bool any = !sheet.head.empty();
  copy_->setEnabled(any);
  export_->setEnabled(any);
}

void rg_ChartWin::CopyText() {
  QGuiApplication::clipboard()->setText(ui::Q(ChartText(view_->Sheet())));
}

bool rg_ChartWin::ExportPng(const QString& path, QString* message) {
  if (path.isEmpty()) return false;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!view_->Picture().save(&buffer, "PNG")) {
    if (message != nullptr) *message = ui::NotSavedText(path, QStringLiteral("图片无法生成"));
    return false;
  }
  return ui::SaveUserFile(path, png, message);
}

void rg_ChartWin::AskAndExport() {
  QString path = ui::AskSaveFile(this, ui::FileKind::Picture, QStringLiteral("导出图片"),
                                 QStringLiteral("排盘.png"), QStringLiteral("PNG 图片 (*.png)"));
  if (path.isEmpty()) return;
  if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
  QString message;
  const bool saved = ExportPng(path, &message);
  if (saved) ui::RememberFolder(ui::FileKind::Picture, path);
  ui::TellSaved(this, saved, message);
}

}  // namespace rg_com_ptl_xyh
