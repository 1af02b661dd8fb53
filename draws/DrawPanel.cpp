#include "draws/DrawPanel.h"

#include <QEnterEvent>
#include <QLabel>
#include <QPainter>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

// Text colours as COLORREF values.
constexpr unsigned int kRed = 0x0000FF;
constexpr unsigned int kBlue = 0xFF0000;
constexpr unsigned int kOrange = 0x0080FF;

struct Row {
  QString caption;  // empty: aligned under the row above, no caption
  int cells;
  int width;   // characters per cell
  int offset;  // first character
};

struct Layout {
  QList<Row> rows;
  // Colour of cell k of the whole layout.
  std::function<unsigned int(int)> color;
};

Layout LayoutOf(int typeIndex, bool initial) {
  const QString drawn = QStringLiteral("开奖号码:");
  const auto all = [](unsigned int c) { return [c](int) { return c; }; };
  if (initial || typeIndex == 0) return {{{drawn, 10, 2, 0}, {QString(), 10, 2, 20}}, all(kRed)};
  switch (typeIndex) {
    case 1: return {{{drawn, 7, 2, 0}}, [](int k) { return k < 6 ? kRed : kBlue; }};
    case 2: return {{{drawn, 8, 2, 0}}, [](int k) { return k < 7 ? kRed : kBlue; }};
    case 3: return {{{drawn, 3, 1, 0}}, all(kRed)};
    case 4: return {{{drawn, 7, 2, 0}}, [](int k) { return k < 5 ? kOrange : kBlue; }};
    case 5:
      return {{{QStringLiteral("排列五:"), 5, 1, 0}, {QStringLiteral("排列三:"), 3, 1, 0}},
              all(kOrange)};
    case 6: return {{{drawn, 7, 1, 0}}, [](int k) { return k < 6 ? kOrange : kBlue; }};
    default: return {{}, all(kRed)};
  }
}

}  // namespace

rg_RefreshButton::rg_RefreshButton(QWidget* parent) : QAbstractButton(parent) {
  pictures_[0] = ui::OwnPicture(QStringLiteral(":/images/refresh.png"));
  pictures_[1] = ui::OwnPicture(QStringLiteral(":/images/refresh-hover.png"));
  pictures_[3] = ui::OwnPicture(QStringLiteral(":/images/refresh-disabled.png"));
  setCursor(Qt::PointingHandCursor);
  setToolTip(QStringLiteral("刷新最新开奖"));
  resize(32, 32);
}

int rg_RefreshButton::PictureState() const {
  if (!isEnabled()) return 3;
  return hovered_ || isDown() ? 1 : 0;
}

void rg_RefreshButton::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawPixmap(rect(), pictures_[PictureState()]);
}

void rg_RefreshButton::enterEvent(QEnterEvent* event) {
  hovered_ = true;
  update();
  QAbstractButton::enterEvent(event);
}

void rg_RefreshButton::leaveEvent(QEvent* event) {
  hovered_ = false;
  update();
  QAbstractButton::leaveEvent(event);
}

rg_DrawPanel::rg_DrawPanel(QWidget* parent)
    : QWidget(parent), refresh_(new rg_RefreshButton(this)) {
  connect(refresh_, &QAbstractButton::clicked, this, [this] { emit refresh(1); });
}

QString rg_DrawPanel::Title(int typeIndex) {
  static const QStringList titles = {
      QStringLiteral("快乐8最新开奖:"),  QStringLiteral("双色球最新开奖:"),
      QStringLiteral("七乐彩最新开奖:"), QStringLiteral("福彩3D最新开奖:"),
      QStringLiteral("大乐透最新开奖:"), QStringLiteral("排列三五最新开奖:"),
      QStringLiteral("七星彩最新开奖:")};
  return titles.value(typeIndex);
}

QLabel* rg_DrawPanel::AddCaption(const QString& text, int x, int y, const QSize& unit) {
  auto* label = new QLabel(this);
  // Dates and issues come from a web page: text, never markup or images.
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setFont(font());
  label->setGeometry(x, y, unit.width() * static_cast<int>(text.size()), unit.height());
  label->show();
  captions_.append(label);
  return label;
}

QLabel* rg_DrawPanel::AddBall(const QString& text, int x, int y, const QSize& unit,
                              const QColor& color) {
  auto* label = new QLabel(this);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  label->setFont(font());
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, color);
  label->setPalette(palette);
  label->setGeometry(x, y, unit.width(), unit.height());
  label->show();
  balls_.append(label);
  return label;
}

void rg_DrawPanel::layoutDraw(int typeIndex, const QString& numbers, const QString& date,
                              const QString& issue, const QString& fontDescription, int initial) {
  qDeleteAll(captions_);
  qDeleteAll(balls_);
  captions_.clear();
  balls_.clear();
  setFont(ui::FontFromDescription(fontDescription));
  const QSize unit = ui::CharExtent(font(), QStringLiteral("款"));
  const int w = unit.width();
  const int h = unit.height();

  QLabel* title = AddCaption(Title(typeIndex), 10, 10, unit);
  QLabel* dateLabel = AddCaption(date, title->geometry().right() + 1 + 10, 10, unit);
  QLabel* issueLabel = AddCaption(issue, dateLabel->geometry().right() + 1 + 10, 10, unit);

  const Layout layout = LayoutOf(typeIndex, initial == 1);
  int y = h + 20;
  int cell = 0;
  int firstBallX = 0;
  QLabel* last = title;
  for (const Row& row : layout.rows) {
    int x = firstBallX;
    if (!row.caption.isEmpty()) {
      QLabel* caption = AddCaption(row.caption, 10, y, unit);
      x = caption->geometry().right() + 1 + 10;
      firstBallX = x;
    }
    for (int k = 0; k < row.cells; ++k, ++cell) {
      // A slice past the end of the text shows what is left, maybe nothing.
      last = AddBall(numbers.mid(row.offset + k * row.width, row.width), x, y, unit,
                     ui::FromColorRef(layout.color(cell)));
      x += w + 10;
    }
    y += h + 10;
  }

  refresh_->setGeometry(issueLabel->x() + issueLabel->width() + 50, issueLabel->y(), 32, 32);
  refresh_->setFont(font());
  refresh_->raise();
  resize(refresh_->geometry().right() + 1 + 10, last->geometry().bottom() + 1 + 10);
}

}  // namespace rg_com_ptl_xyh
