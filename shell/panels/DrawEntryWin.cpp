#include "shell/panels/DrawEntryWin.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "history/DrawArchive.h"
#include "history/DrawPrizes.h"
#include "history/DrawStats.h"
#include "history/EasyDb.h"
#include "platform/Clock.h"
#include "platform/DateTime.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

constexpr LotteryCode kDoubleColor = LotteryCode::DoubleColor;

// A number box that holds nothing out of range; 0 shows as empty, "not
// chosen yet".
QSpinBox* NumberBox(int high, const QColor& colour, QWidget* parent) {
  auto* box = new QSpinBox(parent);
  box->setRange(0, high);
  box->setSpecialValueText(QStringLiteral("--"));
  box->setAlignment(Qt::AlignCenter);
  // Two digits and the arrows, whatever the style makes of the range.
  box->setMinimumWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("000")) + 28);
  QPalette palette = box->palette();
  palette.setColor(QPalette::Text, colour);
  box->setPalette(palette);
  return box;
}

}  // namespace

rg_DrawEntryWin::rg_DrawEntryWin(QWidget* parent, const QFont& font, rg_EasyDb& store,
                                 const Clock& clock, const QString& issue, double date)
    : QDialog(parent),
      store_(store),
      clock_(clock),
      lead_(new QLabel(QStringLiteral("补录一期未收录的开奖号码:"), this)),
      issue_(new QLineEdit(this)),
      date_(new QDateEdit(this)),
      blue_(NumberBox(kBlueCount, QColor(0x10, 0x40, 0xd0), this)),
      first_(new QLineEdit(this)),
      second_(new QLineEdit(this)),
      message_(new QLabel(this)),
      save_(new QPushButton(QStringLiteral("保存"), this)) {
  setWindowTitle(QStringLiteral("录入开奖 - 双色球"));
  setFont(font);
  issue_->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,16}")), issue_));
  issue_->setMaxLength(16);
  issue_->setPlaceholderText(QStringLiteral("例如 2026051"));
  issue_->setText(issue);
  const DateParts day = SplitDate(date);
  date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date_->setCalendarPopup(true);
  date_->setDate(QDate(day.year, day.month, day.day));

  auto* numbers = new QHBoxLayout;
  for (QSpinBox*& red : reds_) {
    red = NumberBox(kRedCount, QColor(0xd0, 0x10, 0x10), this);
    numbers->addWidget(red);
  }
  numbers->addSpacing(12);
  numbers->addWidget(new QLabel(QStringLiteral("蓝球"), this));
  numbers->addWidget(blue_);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("期号:"), issue_);
  form->addRow(QStringLiteral("开奖日期:"), date_);
  form->addRow(QStringLiteral("红球:"), numbers);
  // The floating prizes the draw announced, per bet; left empty until known.
  for (QLineEdit* amount : {first_, second_}) {
    amount->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[1-9][0-9]{0,7}")), amount));
    amount->setPlaceholderText(QStringLiteral("未知可不填"));
  }
  form->addRow(QStringLiteral("一等奖(元/注):"), first_);
  form->addRow(QStringLiteral("二等奖(元/注):"), second_);

  message_->setTextFormat(Qt::PlainText);
  message_->setWordWrap(true);
  QPalette palette = message_->palette();
  palette.setColor(QPalette::WindowText, QColor(0xc0, 0x10, 0x10));
  message_->setPalette(palette);
  message_->hide();

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(save_, QDialogButtonBox::AcceptRole);
  QPushButton* cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
  save_->setDefault(true);
  connect(save_, &QPushButton::clicked, this, [this] { Submit(); });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lead_);
  layout->addLayout(form);
  layout->addWidget(message_);
  layout->addWidget(buttons);
  // Left to right, as the numbers are read out: the blue box was made first.
  QWidget* previous = date_;
  for (QSpinBox* red : reds_) {
    setTabOrder(previous, red);
    previous = red;
  }
  setTabOrder(previous, blue_);
  setTabOrder(blue_, first_);
  setTabOrder(first_, second_);
  setTabOrder(second_, save_);
  // A refusal stays only while what it spoke of stays.
  const auto clear = [this] { message_->hide(); };
  connect(issue_, &QLineEdit::textChanged, this, clear);
  connect(date_, &QDateEdit::dateChanged, this, clear);
  for (QSpinBox* box : reds_) connect(box, &QSpinBox::valueChanged, this, clear);
  connect(blue_, &QSpinBox::valueChanged, this, clear);
  connect(first_, &QLineEdit::textChanged, this, clear);
  connect(second_, &QLineEdit::textChanged, this, clear);
  if (issue.isEmpty()) {
    issue_->setFocus();
  } else {
    reds_[0]->setFocus();
  }
}

void rg_DrawEntryWin::Correct(const rg_DrawEntry& stored) {
  correcting_ = ui::Q(stored.issue);
  setWindowTitle(QStringLiteral("修改开奖 - 双色球"));
  lead_->setText(QStringLiteral("修改已收录的第%1期开奖号码:").arg(correcting_));
  issue_->setText(correcting_);
  const DateParts day = SplitDate(stored.date);
  date_->setDate(QDate(day.year, day.month, day.day));
  for (std::size_t i = 0; i < reds_.size() && i < stored.numbers.size(); ++i)
    reds_[i]->setValue(stored.numbers[i]);
  if (!stored.extra.empty()) blue_->setValue(stored.extra.front());
  // Its amounts too: a correction stores the draw anew, and they go with it.
  if (const auto amounts = rg_DrawPrizes(store_).All(kDoubleColor)) {
    const rg_FloatingAmounts known = AmountsOf(*amounts, stored.issue);
    first_->setText(known.first ? QString::number(*known.first) : QString());
    second_->setText(known.second ? QString::number(*known.second) : QString());
  }
  message_->hide();
  date_->setFocus();
}

QString rg_DrawEntryWin::Message() const {
  return message_->isHidden() ? QString() : message_->text();
}

void rg_DrawEntryWin::Refuse(const QString& why) {
  message_->setText(why);
  message_->show();
}

bool rg_DrawEntryWin::ReadAmounts(rg_FloatingAmounts& out) {
  const std::pair<QLineEdit*, QString> fields[] = {{first_, QStringLiteral("一等奖")},
                                                   {second_, QStringLiteral("二等奖")}};
  for (const auto& [box, name] : fields) {
    const QString text = box->text().trimmed();
    if (text.isEmpty()) continue;
    const auto amount = ParsePrizeAmount(text.toStdString());
    if (!amount) {
      Refuse(name + QStringLiteral("奖金应是 1 到 10000000 之间的整数(元/注)"));
      return false;
    }
    (box == first_ ? out.first : out.second) = *amount;
  }
  return true;
}

bool rg_DrawEntryWin::Submit() {
  if (issue_->text().isEmpty()) {
    Refuse(QStringLiteral("请填写期号"));
    return false;
  }
  QStringList red;
  for (QSpinBox* box : reds_) {
    if (box->value() == 0) {
      Refuse(QStringLiteral("请选择六个红球"));
      return false;
    }
    red << QString::number(box->value());
  }
  if (blue_->value() == 0) {
    Refuse(QStringLiteral("请选择蓝球"));
    return false;
  }
  // The rules a user meets most, said in the window's own words; the
  // archive still checks everything (its words are the import's).
  const auto issue = NormalIssue(kDoubleColor, issue_->text().toStdU16String());
  if (!issue) {
    Refuse(QStringLiteral("期号应是七位数字:年份加三位序号,例如 2026051"));
    return false;
  }
  for (std::size_t i = 0; i < reds_.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (reds_[i]->value() == reds_[j]->value()) {
        Refuse(QStringLiteral("红球 %1 重复了,六个红球应各不相同")
                   .arg(reds_[i]->value(), 2, 10, QLatin1Char('0')));
        return false;
      }
    }
  }
  rg_FloatingAmounts amounts;
  if (!ReadAmounts(amounts)) return false;
  const bool amountsGiven = amounts.first || amounts.second;
  const QDate picked = date_->date();
  const double day = MakeDate(picked.year(), picked.month(), picked.day());
  if (!CheckDrawDate(kDoubleColor, day, clock_.Now()).empty()) {
    Refuse(day > clock_.Now() ? QStringLiteral("开奖日期 %1 晚于明天,这一期还没有开奖")
                                    .arg(picked.toString(QStringLiteral("yyyy-MM-dd")))
                              : QStringLiteral("双色球第一期在 2003-02-23 开奖,开奖日期不能更早"));
    return false;
  }
  rg_DrawArchive archive(store_, DrawWording::Chinese);
  // A draw that cannot be read now is left to the store below, which says
  // so; the draw a correction replaces is no obstacle.
  if (const auto found = archive.Find(kDoubleColor, *issue);
      found && *found && ui::Q(*issue) != correcting_) {
    const rg_DrawEntry* stored = &**found;
    std::vector<int> typed;
    for (QSpinBox* box : reds_) typed.push_back(box->value());
    if (stored->numbers != typed || stored->extra != std::vector<int>{blue_->value()} ||
        stored->date != day) {
      Refuse(QStringLiteral("第%1期已收录为 %2 %3 + %4,与所填不同,未保存")
                 .arg(ui::Q(*issue), ui::Q(DrawDateText(stored->date)),
                      QString::fromStdString(NumbersText(stored->numbers)),
                      QString::fromStdString(NumbersText(stored->extra))));
      return false;
    }
  }
  const auto result =
      archive.Replace(kDoubleColor, correcting_.toStdU16String(), issue_->text().toStdString(),
                      date_->date().toString(QStringLiteral("yyyy-MM-dd")).toStdString(),
                      red.join(QLatin1Char(' ')).toStdString(),
                      QString::number(blue_->value()).toStdString(), clock_.Now());
  if (!result) {
    const std::u16string store = StoreStatusText(result.error().status);
    // A damaged archive is named by its row; a locked file by the store.
    Refuse(QStringLiteral("未保存:") +
           (!result.error().refused && archive.BadRow().empty() && !store.empty()
                ? ui::Q(store)
                : QString::fromStdString(result.error().message)));
    return false;
  }
  if (result->added == 0 && !amountsGiven) {
    Refuse(correcting_.isEmpty()
               ? QStringLiteral("第%1期已收录,号码相同,无需再录").arg(issue_->text())
               : QStringLiteral("与已收录的相同,未作修改"));
    return false;
  }
  QStringList issues;
  for (const std::u16string& added : result->addedIssues) issues << ui::Q(added);
  if (!issues.isEmpty()) emit drawsAdded(issues);
  if (amountsGiven) {
    const auto set = rg_DrawPrizes(store_).Set(kDoubleColor, *issue, amounts);
    if (!set) {
      const std::u16string store = StoreStatusText(set.error().status);
      Refuse((issues.isEmpty() ? QStringLiteral("奖金未保存:")
                               : QStringLiteral("开奖号码已保存,奖金未保存:")) +
             (!set.error().refused && !store.empty()
                  ? ui::Q(store)
                  : QString::fromStdString(set.error().message)));
      return false;
    }
    emit prizesStored(ui::Q(*issue));
  }
  accept();
  return true;
}

}  // namespace rg_com_ptl_xyh
