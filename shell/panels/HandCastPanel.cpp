#include "shell/panels/HandCastPanel.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include <array>

#include "engine/Casting.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QStringList kLineLabels = {QStringLiteral("六爻:"), QStringLiteral("五爻:"),
                                 QStringLiteral("四爻:"), QStringLiteral("三爻:"),
                                 QStringLiteral("二爻:"), QStringLiteral("初爻:")};
const QStringList kLineForms = {QStringLiteral("选择爻相"), QStringLiteral("阳爻---"),
                                QStringLiteral("阴爻——"), QStringLiteral("阳动---○"),
                                QStringLiteral("阴动——×")};
// Placeholders and, for the messages, the names of the six time parts;
// the last message says "秒种" as it always has.
const QStringList kTimePlaceholders = {QStringLiteral("年份"), QStringLiteral("月份"),
                                       QStringLiteral("日期"), QStringLiteral("小时"),
                                       QStringLiteral("分钟"), QStringLiteral("秒钟")};
const QStringList kTimeMessageLabels = {QStringLiteral("年份"), QStringLiteral("月份"),
                                        QStringLiteral("日期"), QStringLiteral("小时"),
                                        QStringLiteral("分钟"), QStringLiteral("秒种")};
const QStringList kTimeUnits = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日"),
                                QStringLiteral("时"), QStringLiteral("分"), QStringLiteral("秒")};

// The first item from the top whose text begins with the number; with 1
// standing before 10 this is the exact item.
int FindItem(const QComboBox* box, int value) {
  const QString prefix = QString::number(value);
  for (int i = 1; i < box->count(); ++i) {
    if (box->itemText(i).startsWith(prefix)) return i;
  }
  return 0;
}

struct RowMetrics {
  int w;  // one full-width character
  int h;
  int boxHeight;  // a drop-down list
  int rowStep;    // from one line's row to the next
};

// One character's extent, and how tall a drop-down list and a row stand.
RowMetrics MeasureRows(const QFont& font) {
  const QSize unit = ui::CharExtent(font, QStringLiteral("四"));
  const int h = unit.height();
  // A drop-down list gets the height its style needs for frame and text
  // (cut short, it loses its lower border); rows stand H + 10 apart, or
  // further when the lists need it.
  QComboBox sample;
  sample.setFont(font);
  sample.addItem(QStringLiteral("阳动---○"));
  const int boxHeight = std::max(sample.sizeHint().height(), h + 6);
  return {unit.width(), h, boxHeight, std::max(h + 10, boxHeight + 4)};
}

// The six lines, 六爻 at the top, each a label and a list of line forms.
QList<QComboBox*> AddLineChoices(QWidget* parent, const RowMetrics& m) {
  QList<QComboBox*> lines;
  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(kLineLabels[i], parent);
    const int y = 10 + i * m.rowStep;
    label->setGeometry(0, y, 3 * m.w, m.h);
    auto* box = new QComboBox(parent);
    box->addItems(kLineForms);
    box->setCurrentIndex(0);
    // Centred on its label, so both texts stand on one line.
    box->setGeometry(3 * m.w, y - (m.boxHeight - m.h) / 2, 8 * m.w, m.boxHeight);
    lines.append(box);
  }
  return lines;
}

// How coins are thrown, in blue beside the lines.
QLabel* AddTip(QWidget* parent, const QRect& geometry) {
  auto* tip = new QLabel(
      QStringLiteral(
          "提示:线下摇卦此项属内行者知晓，古以三枚铜钱放入掌心合掌,心诚默念所测之事,摇动铜钱数下放到桌面上，"
          "如此六循，即成一卦象；其中字面为阳,反面为阴,三个正面为阳动,两个正为阳，两个反面为阴，三个反面为阴动;"),
      parent);
  tip->setWordWrap(true);
  tip->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = tip->palette();
  palette.setColor(QPalette::WindowText, ui::FromColorRef(0x0000FF));
  tip->setPalette(palette);
  tip->setGeometry(geometry);
  return tip;
}

// Year, month and day offer only today; hour, minute and second every
// value. Each starts at now.
QList<QComboBox*> AddTimeChoices(QWidget* parent, const DateParts& now) {
  const int values[6] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
  QList<QComboBox*> times;
  for (int t = 0; t < 6; ++t) {
    auto* box = new QComboBox(parent);
    box->addItem(kTimePlaceholders[t], -1);
    if (t < 3) {
      box->addItem(QString::number(values[t]) + kTimeUnits[t], values[t]);
    } else {
      const int count = t == 3 ? 24 : 60;
      for (int v = 0; v < count; ++v) box->addItem(QString::number(v) + kTimeUnits[t], v);
    }
    box->setCurrentIndex(t < 3 ? 1 : FindItem(box, values[t]));
    times.append(box);
  }
  return times;
}

// The date on the first row, the time of day on the second.
void PlaceTimeChoices(const QList<QComboBox*>& times, const RowMetrics& m, int left, int firstRow,
                      int secondRow) {
  const int w = m.w;
  const int boxHeight = m.boxHeight;
  times[0]->setGeometry(left, firstRow, 6 * w, boxHeight);
  times[1]->setGeometry(times[0]->geometry().right() + 1 + 10, firstRow, 5 * w, boxHeight);
  times[2]->setGeometry(times[1]->geometry().right() + 1 + 10, firstRow, 5 * w, boxHeight);
  times[3]->setGeometry(left, secondRow, 5 * w, boxHeight);
  times[4]->setGeometry(times[3]->geometry().right() + 1 + 10, secondRow, 5 * w, boxHeight);
  times[5]->setGeometry(times[4]->geometry().right() + 1 + 10, secondRow, 5 * w, boxHeight);
}

}  // namespace

void rg_HandCastPanel::Build(const QFont& font, const Clock& clock) {
  setFont(font);
  const RowMetrics m = MeasureRows(font);
  lines_ = AddLineChoices(this, m);

  const QRect first = lines_[0]->geometry();
  const int left = first.right() + 1 + 10;
  tip_ = AddTip(this, QRect(left, first.top(), 24 * m.w + 20, 4 * m.h));
  auto* caption = new QLabel(QStringLiteral("线下摇卦时间:"), this);
  caption->setGeometry(left, tip_->geometry().bottom() + 1 + 10, 24 * m.w + 20, m.h);

  const int firstRow = caption->geometry().bottom() + 1 + 10;
  const int secondRow = firstRow + m.boxHeight + 10;
  times_ = AddTimeChoices(this, SplitDate(clock.Now()));
  PlaceTimeChoices(times_, m, left, firstRow, secondRow);

  // Wide enough for the tip as well as the choices, so nothing is cut off.
  const int width = std::max(tip_->geometry().right(), times_[2]->geometry().right()) + 1 + 10;
  const int buttonsTop = secondRow + m.boxHeight + 10;
  confirm_ = new QPushButton(QStringLiteral("确定"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  confirm_->setGeometry((width - 10 * m.w - 10) / 2, buttonsTop, 5 * m.w, 2 * m.h);
  cancel_->setGeometry(confirm_->x() + 5 * m.w + 10, buttonsTop, 5 * m.w, 2 * m.h);
  connect(confirm_, &QPushButton::clicked, this, [this] { Press(Button::Confirm); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Press(Button::Cancel); });
  resize(width, buttonsTop + 2 * m.h + 40);
}

void rg_HandCastPanel::Press(Button code) {
  if (code == Button::Cancel) {
    emit result(Button::Cancel, QString(), QString(), {}, 0);
    return;
  }
  if (code != Button::Confirm) return;
  std::array<LineForm, 6> forms{};
  for (int line = 1; line <= 6; ++line) {
    forms[static_cast<size_t>(line - 1)] = static_cast<LineForm>(lines_[6 - line]->currentIndex());
  }
  const HandLines lines = LinesFromForms(forms);
  if (lines.unsetLine != 0) {
    ui::ShowMessage(
        this,
        QStringLiteral("在第:") + QString::number(lines.unsetLine) + QStringLiteral("爻没有设定!"),
        QStringLiteral("信息:"), ui::MessageKind::Information);
    return;
  }
  QString timeText;
  for (int t = 0; t < 6; ++t) {
    if (times_[t]->currentIndex() <= 0) {
      ui::ShowMessage(this,
                      QStringLiteral("时间的") + kTimeMessageLabels[t] + QStringLiteral("未设定"),
                      QStringLiteral("信息:"), ui::MessageKind::Information);
      return;
    }
    timeText += times_[t]->currentText();
  }
  emit result(Button::Confirm, ui::Q(lines.upper), ui::Q(lines.lower), lines.dong,
              ParseDateText(ui::U(timeText)));
}

rg_GuaWin::rg_GuaWin(QWidget* owner, const QFont& font, const Clock& clock, rg_QiGuaModel& request)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint),
      panel_(new rg_HandCastPanel(this)),
      request_(request) {
  setWindowTitle(QStringLiteral("自己装卦"));
  setFont(font);
  panel_->Build(font, clock);
  panel_->move(10, 10);
  setFixedSize(panel_->width() + 20, panel_->height() + 20);
  connect(panel_, &rg_HandCastPanel::result, this,
          [this](rg_HandCastPanel::Button code, const QString& upper, const QString& lower,
                 const std::vector<int>& dong, double castTime) {
            if (code == rg_HandCastPanel::Button::Confirm) {
              request_.dong = dong;
              request_.upstr = ui::U(upper);
              request_.downstr = ui::U(lower);
              request_.castTime = castTime;
              accept();
            } else if (code == rg_HandCastPanel::Button::Cancel) {
              reject();
            }
          });
}

}  // namespace rg_com_ptl_xyh
