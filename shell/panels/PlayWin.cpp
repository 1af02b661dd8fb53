#include "shell/panels/PlayWin.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

#include "derive/PrizeCheck.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

QString Two(int n) { return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0')); }

// A toggle's look: the ball's colour when chosen, a darker one with a
// frame for a 胆.
QString ToggleStyle(const QColor& color, const QColor& dan, int radius) {
  return QStringLiteral(
             "QPushButton{color:%1;background:white;border:1px solid %1;border-radius:%3px}"
             "QPushButton:checked{color:white;background:%1}"
             "QPushButton[dan=\"true\"]{color:#ffe080;background:%2;border:2px solid #e8b020}")
      .arg(color.name(), dan.name())
      .arg(radius);
}

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

}  // namespace

QString rg_PlayWin::CostText(const rg_Play& play) {
  return QStringLiteral("%1注 %2元").arg(PlayBets(play)).arg(PlayCost(play));
}

rg_PlayWin::rg_PlayWin(QWidget* parent, const QFont& font, const QString& subject,
                       const DerivedNumbers& numbers)
    : QDialog(parent), numbers_(numbers), marks_(33, Mark::None) {
  setWindowTitle(QStringLiteral("投注"));
  setFont(font);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PlainLabel(QStringLiteral("演算: ") + subject, this));

  const QSize unit = ui::CharExtent(font, QStringLiteral("数"));
  const QSize ball(unit.width() * 2 + 8, unit.height() + 10);
  const auto toggles = [&](int count, int perRow, const QColor& color, const QColor& dan,
                           QVector<QPushButton*>& out) {
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    const QString style = ToggleStyle(color, dan, ball.height() / 2);
    for (int n = 1; n <= count; ++n) {
      auto* b = new QPushButton(Two(n), this);
      b->setCheckable(true);
      b->setFixedSize(ball);
      b->setFocusPolicy(Qt::NoFocus);
      b->setStyleSheet(style);
      grid->addWidget(b, (n - 1) / perRow, (n - 1) % perRow);
      out.append(b);
    }
    grid->setColumnStretch(perRow, 1);
    return grid;
  };
  layout->addWidget(PlainLabel(QStringLiteral("红球 (胆码模式下点选为胆码):"), this));
  layout->addLayout(toggles(33, 11, QColor(0xd0, 0x10, 0x10), QColor(0x80, 0x00, 0x00), reds_));
  layout->addWidget(PlainLabel(QStringLiteral("蓝球:"), this));
  layout->addLayout(toggles(16, 8, QColor(0x10, 0x40, 0xd0), QColor(0x10, 0x40, 0xd0), blues_));
  for (int n = 1; n <= 33; ++n) {
    // The click has already flipped the button; Toggle decides what it shows.
    connect(reds_[n - 1], &QPushButton::clicked, this, [this, n] { Toggle(n); });
  }
  for (QPushButton* b : blues_) connect(b, &QPushButton::toggled, this, &rg_PlayWin::Follow);

  auto* options = new QHBoxLayout;
  danMode_ = new QCheckBox(QStringLiteral("胆码模式"), this);
  danMode_->setToolTip(QStringLiteral("勾选后点选的红球作为胆码(胆拖投注),其余选中的红球为拖码"));
  options->addWidget(danMode_);
  options->addSpacing(16);
  options->addWidget(PlainLabel(QStringLiteral("倍数:"), this));
  multiple_ = new QSpinBox(this);
  multiple_->setRange(1, kPlayMaxMultiple);
  multiple_->setValue(1);
  connect(multiple_, &QSpinBox::valueChanged, this, &rg_PlayWin::Follow);
  options->addWidget(multiple_);
  options->addSpacing(16);
  cost_ = PlainLabel(QString(), this);
  QFont bold = font;
  bold.setBold(true);
  cost_->setFont(bold);
  options->addWidget(cost_);
  options->addStretch();
  layout->addLayout(options);

  auto* fillRow = new QHBoxLayout;
  fillRow->addWidget(PlainLabel(QStringLiteral("填入:"), this));
  static const QString kFillNames[kFills] = {
      QStringLiteral("一注"),     QStringLiteral("二注"),    QStringLiteral("三注"),
      QStringLiteral("四注"),     QStringLiteral("五注"),    QStringLiteral("红球分析"),
      QStringLiteral("红球参考"), QStringLiteral("蓝球分析")};
  for (int f = 0; f < kFills; ++f) {
    auto* b = new QPushButton(kFillNames[f], this);
    b->setAutoDefault(false);  // Enter saves, it never refills
    const std::u16string& list = numbers_[static_cast<std::size_t>(f <= Ticket5        ? f
                                                                   : f == RedAnalysis  ? 5
                                                                   : f == RedReference ? 7
                                                                                       : 6)];
    b->setEnabled(!list.empty());
    b->setToolTip(list.empty() ? QStringLiteral("本次演算没有这组号码") : ui::Q(list));
    connect(b, &QPushButton::clicked, this, [this, f] { ApplyFill(f); });
    fills_.append(b);
    fillRow->addWidget(b);
  }
  auto* clear = new QPushButton(QStringLiteral("清空"), this);
  clear->setAutoDefault(false);
  connect(clear, &QPushButton::clicked, this, [this] {
    for (int n = 1; n <= 33; ++n) SetRedMark(n, Mark::None);
    for (QPushButton* b : blues_) b->setChecked(false);
    Follow();
  });
  fillRow->addWidget(clear);
  fillRow->addStretch();
  layout->addLayout(fillRow);

  message_ = PlainLabel(QString(), this);
  message_->setWordWrap(true);
  layout->addWidget(message_);

  auto* buttons = new QDialogButtonBox(this);
  save_ = buttons->addButton(QStringLiteral("保存投注"), QDialogButtonBox::ActionRole);
  QPushButton* close = buttons->addButton(QStringLiteral("关闭"), QDialogButtonBox::RejectRole);
  connect(save_, &QPushButton::clicked, this, [this] { emit saveRequested(Play()); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  layout->addWidget(buttons);
  Follow();
}

rg_Play rg_PlayWin::Play() const {
  rg_Play play;
  for (int n = 1; n <= 33; ++n) {
    if (marks_[n - 1] == Mark::Dan) play.dan.push_back(n);
    if (marks_[n - 1] == Mark::Red) play.red.push_back(n);
  }
  for (int n = 1; n <= 16; ++n) {
    if (blues_[n - 1]->isChecked()) play.blue.push_back(n);
  }
  play.multiple = multiple_->value();
  return play;
}

void rg_PlayWin::SetRedMark(int n, Mark mark) {
  QPushButton* b = reds_[n - 1];
  marks_[n - 1] = mark;
  b->setChecked(mark != Mark::None);
  b->setProperty("dan", mark == Mark::Dan);
  // The style sheet reads the property only when polished again.
  b->style()->unpolish(b);
  b->style()->polish(b);
}

void rg_PlayWin::Toggle(int n) {
  const Mark now = marks_[n - 1];
  SetRedMark(n, now != Mark::None ? Mark::None : danMode_->isChecked() ? Mark::Dan : Mark::Red);
  Follow();
}

void rg_PlayWin::ApplyFill(int fill) {
  const std::size_t list = static_cast<std::size_t>(fill <= Ticket5        ? fill
                                                    : fill == RedAnalysis  ? 5
                                                    : fill == RedReference ? 7
                                                                           : 6);
  const std::vector<int> numbers = DerivedList(numbers_[list]);
  if (fill == BlueAnalysis) {
    for (int n = 1; n <= 16; ++n)
      blues_[n - 1]->setChecked(std::find(numbers.begin(), numbers.end(), n) != numbers.end());
  } else {
    // The reds are replaced; the 胆 chosen stay.
    for (int n = 1; n <= 33; ++n) {
      if (marks_[n - 1] == Mark::Dan) continue;
      const bool in = std::find(numbers.begin(), numbers.end(), n) != numbers.end();
      SetRedMark(n, in ? Mark::Red : Mark::None);
    }
  }
  Follow();
}

void rg_PlayWin::Follow() {
  const rg_Play play = Play();
  // A choice that is no play yet (too few reds, six 胆) costs nothing, and
  // the rule it still breaks is said as it is picked.
  if (const std::u16string why = PlayRefusal(play); !why.empty()) {
    cost_->setText(QStringLiteral("0注 0元"));
    // Nothing chosen yet is no mistake.
    if (play.red.empty() && play.dan.empty() && play.blue.empty()) {
      message_->clear();
    } else {
      ShowMessage(ui::Q(why), true);
    }
    return;
  }
  cost_->setText(CostText(play));
  message_->clear();
}

void rg_PlayWin::ShowMessage(const QString& text, bool refused) {
  QPalette pal = message_->palette();
  pal.setColor(QPalette::WindowText, refused ? QColor(0xd0, 0x10, 0x10) : QColor(0x10, 0x80, 0x10));
  message_->setPalette(pal);
  message_->setText(text);
}

}  // namespace rg_com_ptl_xyh
