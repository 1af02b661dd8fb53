#include "shell/panels/ChartWin.h"

#include <QBuffer>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/FileDialogs.h"
#include "ui/ScreenFit.h"
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
  QColor use{20, 90, 200};
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
void DrawRow(QPainter& p, const Geometry& g, const Inks& inks, const rg_ChartRow& row,
             const rg_ChartOptions& options, int y, int viewWidth) {
  const auto text = [&p, &g, y](int column, const std::u16string& value, const QColor& color) {
    p.setPen(color);
    p.drawText(QRect(g.x[column], y, g.width[column], g.lineHeight), Qt::AlignCenter, ui::Q(value));
  };
  const std::u16string& role = row.roles[static_cast<size_t>(options.topic)];
  text(0, row.spirit, inks.ink);
  text(1, row.hidden, inks.muted);
  text(2, row.primary, role == u"用神" ? inks.use : inks.ink);
  DrawLineBar(p, g, inks.ink, 3, y, row.primaryLine);
  text(4, row.primaryMark, inks.ink);
  text(5, row.moving, inks.alert);
  text(6, ChangedCell(row, options), inks.ink);
  DrawLineBar(p, g, inks.ink, 7, y, row.changedLine);
  text(8, row.changedMark, inks.ink);
  p.setPen(inks.alert);
  p.drawText(QRect(g.x[9], y, viewWidth - g.x[9], g.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
             ui::Q(row.note));
}

// Column widths of the judgement table in character widths: 爻位 本爻 旺衰
// 月建 日辰 长生 标记 用神, and 变化 running on.
constexpr int kJudgementChars[] = {2, 4, 2, 5, 5, 2, 5, 2};
constexpr int kJudgementColumns = 9;

struct JudgementGeometry {
  int x[kJudgementColumns];
  int width[kJudgementColumns - 1];
};

JudgementGeometry MeasureJudgement(const Geometry& g) {
  JudgementGeometry j{};
  int x = kPad;
  for (int c = 0; c < kJudgementColumns - 1; ++c) {
    j.x[c] = x;
    j.width[c] = kJudgementChars[c] * g.charWidth;
    x += j.width[c] + g.gap;
  }
  j.x[kJudgementColumns - 1] = x;
  return j;
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

void rg_ChartView::SetOptions(const rg_ChartOptions& options) {
  options_ = options;
  if (options_.topic < 0 || options_.topic >= static_cast<int>(judgement::kTopics.size()))
    options_.topic = 0;
  size_ = Layout();
  resize(size_);
  updateGeometry();
  update();
}

QSize rg_ChartView::Layout() const {
  const Geometry g = Measure(font());
  const QFontMetrics m(font());
  int width = g.tableWidth;
  const auto widen = [&width, &m](const std::vector<std::u16string>& lines) {
    for (const auto& line : lines) width = std::max(width, m.horizontalAdvance(ui::Q(line)));
  };
  widen(sheet_.head);
  widen(sheet_.foot);
  widen(sheet_.whole);
  widen(sheet_.useGod[static_cast<size_t>(options_.topic)]);
  // The judgement table's last column runs on.
  const JudgementGeometry j = MeasureJudgement(g);
  for (const auto& row : sheet_.rows) {
    const auto cells = JudgementCells(row, options_);
    width = std::max(width, j.x[kJudgementColumns - 1] - kPad +
                                m.horizontalAdvance(ui::Q(cells[kJudgementColumns - 1])));
  }
  width += 2 * kPad;
  return {width, Draw(nullptr, width)};
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
  Draw(&p, width());
}

int rg_ChartView::Draw(QPainter* p, int viewWidth) const {
  const Geometry g = Measure(font());
  const QFontMetrics m(font());
  const Inks inks;
  if (p != nullptr) {
    p->setFont(font());
    p->setPen(inks.ink);
  }
  const int lineStep = g.lineHeight + 4;
  int y = kPad;
  const auto lines = [&](const std::vector<std::u16string>& texts) {
    if (p != nullptr) {
      DrawLines(*p, texts, y, viewWidth, g.lineHeight);
    }
    y += static_cast<int>(texts.size()) * lineStep;
  };
  const auto sectionTitle = [&](const QString& title) {
    y += 10;
    if (p != nullptr) {
      QFont bold = font();
      bold.setBold(true);
      p->setFont(bold);
      p->setPen(inks.muted);
      p->drawText(QRect(kPad, y, viewWidth - 2 * kPad, g.lineHeight),
                  Qt::AlignLeft | Qt::AlignVCenter, title);
      p->setFont(font());
      p->setPen(inks.ink);
    }
    y += lineStep;
  };

  lines(sheet_.head);
  y += 10;
  if (p != nullptr) {
    p->drawText(QRect(g.x[1], y, g.x[6] - g.x[1], g.lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                ui::Q(sheet_.primaryTitle));
    p->drawText(QRect(g.x[6], y, viewWidth - g.x[6], g.lineHeight),
                Qt::AlignLeft | Qt::AlignVCenter, ui::Q(sheet_.changedTitle));
  }
  y += g.pitch;
  if (p != nullptr) {
    const auto headings = rg_ChartSheet::Headings();
    p->setPen(inks.muted);
    for (int c = 0; c < kColumns; ++c) {
      p->drawText(QRect(g.x[c], y, g.width[c], g.lineHeight), Qt::AlignCenter,
                  ui::Q(headings[static_cast<size_t>(c)]));
    }
  }
  y += g.pitch;
  for (const rg_ChartRow& row : sheet_.rows) {
    if (p != nullptr) DrawRow(*p, g, inks, row, options_, y, viewWidth);
    y += g.pitch;
  }
  if (p != nullptr) p->setPen(inks.ink);
  y += 10;
  lines(sheet_.foot);
  judgementTop_ = sheet_.whole.empty() ? 0 : y;
  if (sheet_.whole.empty()) return y + kPad;

  sectionTitle(
      QStringLiteral("旺衰生克 (变卦六亲%1)")
          .arg(options_.byPrimary ? QStringLiteral("按本宫") : QStringLiteral("按变卦宫")));
  const JudgementGeometry j = MeasureJudgement(g);
  const auto tableRow = [&](const std::array<std::u16string, 9>& cells, bool heading) {
    if (p != nullptr) {
      for (int c = 0; c < kJudgementColumns; ++c) {
        const std::u16string& cell = cells[static_cast<size_t>(c)];
        QColor color = heading ? inks.muted : inks.ink;
        if (!heading && c == 6) color = inks.alert;  // 旬空 暗动 日破
        if (!heading && c == 7 && cell == u"用神") color = inks.use;
        p->setPen(color);
        const bool last = c == kJudgementColumns - 1;
        const Qt::Alignment align = (last ? Qt::AlignLeft : Qt::AlignHCenter) | Qt::AlignVCenter;
        p->drawText(QRect(j.x[c], y, last ? viewWidth - j.x[c] : j.width[c], g.lineHeight),
                    static_cast<int>(align.toInt()), ui::Q(cell));
      }
      p->setPen(inks.ink);
    }
    y += g.pitch;
  };
  tableRow(rg_ChartSheet::JudgementHeadings(), true);
  for (const rg_ChartRow& row : sheet_.rows) tableRow(JudgementCells(row, options_), false);
  y += 4;
  lines(sheet_.whole);
  if (p != nullptr) p->setPen(inks.use);
  lines(sheet_.useGod[static_cast<size_t>(options_.topic)]);
  if (p != nullptr) p->setPen(inks.ink);

  sectionTitle(QStringLiteral("卦辞爻辞  ") + ui::Q(sheet_.readingRule));
  const int textWidth = viewWidth - 2 * kPad - 3 * g.charWidth;
  for (const rg_CanonLine& line : sheet_.canon) {
    QFont f = font();
    f.setBold(line.heading || line.pointed);
    const QFontMetrics fm(f);
    const QString text = ui::Q(line.text);
    const QRect box = fm.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text);
    const int height = std::max(box.height(), g.lineHeight);
    if (line.heading) y += 6;
    if (p != nullptr) {
      p->setFont(f);
      p->setPen(line.pointed ? inks.alert : line.heading ? inks.muted : inks.ink);
      if (line.pointed) {
        p->drawText(QRect(kPad, y, 3 * g.charWidth, g.lineHeight), Qt::AlignLeft | Qt::AlignTop,
                    line.main ? QStringLiteral("◎主") : QStringLiteral("◎"));
      }
      p->drawText(QRect(kPad + 3 * g.charWidth, y, textWidth, height),
                  Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
      p->setFont(font());
      p->setPen(inks.ink);
    }
    y += height + 4;
  }
  return y + kPad;
}

rg_ChartWin::rg_ChartWin(QWidget* parent)
    : QDialog(parent),
      view_(new rg_ChartView),
      scroll_(new QScrollArea(this)),
      topic_(new QComboBox(this)),
      byPrimary_(new QRadioButton(QStringLiteral("按本宫"), this)),
      byChanged_(new QRadioButton(QStringLiteral("按变卦宫"), this)),
      copy_(new QPushButton(QStringLiteral("复制排盘"), this)),
      export_(new QPushButton(QStringLiteral("导出图片"), this)) {
  setWindowTitle(QStringLiteral("详细排盘"));
  auto* layout = new QVBoxLayout(this);
  auto* choices = new QHBoxLayout;
  choices->addWidget(new QLabel(QStringLiteral("用神:"), this));
  for (const auto topic : judgement::kTopics) topic_->addItem(ui::Q(std::u16string(topic)));
  choices->addWidget(topic_);
  choices->addSpacing(24);
  choices->addWidget(new QLabel(QStringLiteral("变卦六亲:"), this));
  // The common teaching counts the changed lines from the primary palace;
  // the main grid keeps the changed hexagram's own.
  byPrimary_->setChecked(true);
  auto* group = new QButtonGroup(this);
  group->addButton(byPrimary_);
  group->addButton(byChanged_);
  choices->addWidget(byPrimary_);
  choices->addWidget(byChanged_);
  choices->addStretch();
  layout->addLayout(choices);
  scroll_->setWidget(view_);
  scroll_->setBackgroundRole(QPalette::Base);
  layout->addWidget(scroll_, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(copy_);
  buttons->addWidget(export_);
  layout->addLayout(buttons);
  connect(topic_, &QComboBox::currentIndexChanged, this, &rg_ChartWin::OptionsChanged);
  connect(byPrimary_, &QRadioButton::toggled, this, &rg_ChartWin::OptionsChanged);
  connect(copy_, &QPushButton::clicked, this, &rg_ChartWin::CopyText);
  connect(export_, &QPushButton::clicked, this, &rg_ChartWin::AskAndExport);
}

void rg_ChartWin::OptionsChanged() {
  view_->SetOptions({topic_->currentIndex(), byPrimary_->isChecked()});
}

void rg_ChartWin::SetSheet(const rg_ChartSheet& sheet) {
  const bool first = view_->Sheet().head.empty();
  view_->setFont(font());
  view_->SetSheet(sheet);
  const bool any = !sheet.head.empty();
  copy_->setEnabled(any);
  export_->setEnabled(any);
  if (first && any) {
    // Wide enough for the whole width of the chart, and as tall as the
    // screen comfortably allows; the rest scrolls.
    const QSize hint = view_->sizeHint();
    const QRect screen =
        this->screen() != nullptr ? this->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    const int frame = 2 * layout()->contentsMargins().left() + 2 * scroll_->frameWidth() +
                      scroll_->verticalScrollBar()->sizeHint().width();
    ui::OpenWithinScreen(
        this, QSize(hint.width() + frame + 4,
                    std::min(hint.height() + 120, std::max(480, screen.height() * 4 / 5))));
  }
}

void rg_ChartWin::CopyText() {
  QGuiApplication::clipboard()->setText(ui::Q(ChartText(view_->Sheet(), view_->Options())));
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
