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

const QStringList kLineLabels = {QStringLiteral("六爻:"), QStringLiteral("五爻:"), QStringLiteral("四爻:"),
                                 QStringLiteral("三爻:"), QStringLiteral("二爻:"), QStringLiteral("初爻:")};
const QStringList kLineForms = {QStringLiteral("选择爻相"), QStringLiteral("阳爻---"), QStringLiteral("阴爻——"),
                                QStringLiteral("阳动---○"), QStringLiteral("阴动——×")};
// Placeholders and, for the messages, the names of the six time parts;
// the last message says "秒种" as it always has.
const QStringList kTimePlaceholders = {QStringLiteral("年份"), QStringLiteral("月份"), QStringLiteral("日期"),
                                       QStringLiteral("小时"), QStringLiteral("分钟"), QStringLiteral("秒钟")};
const QStringList kTimeMessageLabels = {QStringLiteral("年份"), QStringLiteral("月份"), QStringLiteral("日期"),
                                        QStringLiteral("小时"), QStringLiteral("分钟"), QStringLiteral("秒种")};
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

}  // namespace

void rg_HandCastPanel::Build(const QFont& font, const Clock& clock) {
  setFont(font);
  const QSize unit = ui::CharExtent(font, QStringLiteral("四"));
  const int w = unit.width();
  const int h = unit.height();
  // A drop-down list gets the height its style needs for frame and text
  // (cut short, it loses its lower border); rows stand H + 10 apart, or
  // further when the lists need it.
  QComboBox sample;
  sample.setFont(font);
  sample.addItem(QStringLiteral("阳动---○"));
  const int boxHeight = std::max(sample.sizeHint().height(), h + 6);
  const int rowStep = std::max(h + 10, boxHeight + 4);

  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(kLineLabels[i], this);
    const int y = 10 + i * rowStep;
    label->setGeometry(0, y, 3 * w, h);
    auto* box = new QComboBox(this);
    box->addItems(kLineForms);
    box->setCurrentIndex(0);
    // Centred on its label, so both texts stand on one line.
    box->setGeometry(3 * w, y - (boxHeight - h) / 2, 8 * w, boxHeight);
    lines_.append(box);
  }

  const QRect first = lines_[0]->geometry();
  const int left = first.right() + 1 + 10;
  tip_ = new QLabel(
      QStringLiteral("提示:线下摇卦此项属内行者知晓，古以三枚铜钱放入掌心合掌,心诚默念所测之事,摇动铜钱数下放到桌面上，"
                     "如此六循，即成一卦象；其中字面为阳,反面为阴,三个正面为阳动,两个正为阳，两个反面为阴，三个反面为阴动;"),
      this);
  tip_->setWordWrap(true);
  tip_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  QPalette palette = tip_->palette();
  palette.setColor(QPalette::WindowText, ui::FromColorRef(0x0000FF));
  tip_->setPalette(palette);
  tip_->setGeometry(left, first.top(), 24 * w + 20, 4 * h);

  auto* caption = new QLabel(QStringLiteral("线下摇卦时间:"), this);
  caption->setGeometry(left, tip_->geometry().bottom() + 1 + 10, 24 * w + 20, h);

  const DateParts now = SplitDate(clock.Now());
  const int values[6] = {now.year, now.month, now.day, now.hour, now.minute, now.second};
  const int firstRow = caption->geometry().bottom() + 1 + 10;
  const int secondRow = firstRow + boxHeight + 10;
  for (int t = 0; t < 6; ++t) {
    auto* box = new QComboBox(this);
    box->addItem(kTimePlaceholders[t], -1);
    if (t < 3) {
      box->addItem(QString::number(values[t]) + kTimeUnits[t], values[t]);
    } else {
      const int count = t == 3 ? 24 : 60;
      for (int v = 0; v < count; ++v) box->addItem(QString::number(v) + kTimeUnits[t], v);
    }
    box->setCurrentIndex(t < 3 ? 1 : FindItem(box, values[t]));
    times_.append(box);
  }
  times_[0]->setGeometry(left, firstRow, 6 * w, boxHeight);
  times_[1]->setGeometry(times_[0]->geometry().right() + 1 + 10, firstRow, 5 * w, boxHeight);
  times_[2]->setGeometry(times_[1]->geometry().right() + 1 + 10, firstRow, 5 * w, boxHeight);
  times_[3]->setGeometry(left, secondRow, 5 * w, boxHeight);
  times_[4]->setGeometry(times_[3]->geometry().right() + 1 + 10, secondRow, 5 * w, boxHeight);
  times_[5]->setGeometry(times_[4]->geometry().right() + 1 + 10, secondRow, 5 * w, boxHeight);

  // Wide enough for the tip as well as the choices, so nothing is cut off.
  const int width = std::max(tip_->geometry().right(), times_[2]->geometry().right()) + 1 + 10;
  confirm_ = new QPushButton(QStringLiteral("确定"), this);
  cancel_ = new QPushButton(QStringLiteral("取消"), this);
  const int buttonsTop = secondRow + boxHeight + 10;
  confirm_->setGeometry((width - 10 * w - 10) / 2, buttonsTop, 5 * w, 2 * h);
  cancel_->setGeometry(confirm_->x() + 5 * w + 10, buttonsTop, 5 * w, 2 * h);
  connect(confirm_, &QPushButton::clicked, this, [this] { Press(Confirm); });
  connect(cancel_, &QPushButton::clicked, this, [this] { Press(Cancel); });
  resize(width, buttonsTop + 2 * h + 40);
}

void rg_HandCastPanel::Press(int code) {
  if (code == Cancel) {
    emit result(Cancel, QString(), QString(), {}, 0);
    return;
  }
  if (code != Confirm) return;
  std::array<LineForm, 6> forms{};
  for (int line = 1; line <= 6; ++line) {
    forms[static_cast<size_t>(line - 1)] = static_cast<LineForm>(lines_[6 - line]->currentIndex());
  }
  const HandLines lines = LinesFromForms(forms);
  if (lines.unsetLine != 0) {
    ui::ShowMessage(this, QStringLiteral("在第:") + QString::number(lines.unsetLine) + QStringLiteral("爻没有设定!"),
                    QStringLiteral("信息:"), ui::MessageKind::Information);
    return;
  }
  QString timeText;
  for (int t = 0; t < 6; ++t) {
    if (times_[t]->currentIndex() <= 0) {
      ui::ShowMessage(this, QStringLiteral("时间的") + kTimeMessageLabels[t] + QStringLiteral("未设定"),
                      QStringLiteral("信息:"), ui::MessageKind::Information);
      return;
    }
    timeText += times_[t]->currentText();
  }
  emit result(Confirm, ui::Q(lines.upper), ui::Q(lines.lower), lines.dong,
              ParseDateText(ui::U(timeText)));
}

rg_GuaWin::rg_GuaWin(QWidget* owner, const QFont& font, const Clock& clock, rg_QiGuaModel& request)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      panel_(new rg_HandCastPanel(this)),
      request_(request) {
  setWindowTitle(QStringLiteral("自己装卦"));
  setFont(font);
  panel_->Build(font, clock);
  panel_->move(10, 10);
  setFixedSize(panel_->width() + 20, panel_->height() + 20);
  connect(panel_, &rg_HandCastPanel::result, this,
          [this](int code, const QString& upper, const QString& lower, const std::vector<int>& dong,
                 double castTime) {
            if (code == rg_HandCastPanel::Confirm) {
              request_.dong = dong;
              request_.upstr = ui::U(upper);
              request_.downstr = ui::U(lower);
              request_.castTime = castTime;
              accept();
            } else if (code == rg_HandCastPanel::Cancel) {
              reject();
            }
          });
}

}  // namespace rg_com_ptl_xyh
