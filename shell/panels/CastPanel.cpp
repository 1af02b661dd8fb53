#include "shell/panels/CastPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "shell/panels/LabeledChoice.h"
#include "shell/panels/OptionGroup.h"
#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

const QStringList& MethodItems() {
  static const QStringList items = {QStringLiteral("选择起卦方式"), QStringLiteral("数字起卦"),
                                    QStringLiteral("自己装卦"), QStringLiteral("超时空起卦")};
  return items;
}

const QStringList& ZodiacItems() {
  static const QStringList items = {
      QStringLiteral("选择生肖"), QStringLiteral("子鼠"), QStringLiteral("丑牛"),
      QStringLiteral("寅虎"),     QStringLiteral("卯兔"), QStringLiteral("辰龙"),
      QStringLiteral("巳蛇"),     QStringLiteral("午马"), QStringLiteral("未羊"),
      QStringLiteral("申猴"),     QStringLiteral("酉鸡"), QStringLiteral("戌狗"),
      QStringLiteral("亥猪")};
  return items;
}

const QStringList& TimeCaptions() {
  static const QStringList captions = {QStringLiteral("当前时间"), QStringLiteral("开奖时间")};
  return captions;
}

constexpr int kNumberEntryWidth = 56;
constexpr int kHandCastButtonWidth = 140;
// The number column holds at most 32 characters.
constexpr int kNumberMaxLength = 32;

}  // namespace

rg_CastPanel::rg_CastPanel(QWidget* parent) : QWidget(parent) {}

rg_CastPanel::~rg_CastPanel() {
  // The input control dies with the panel's children, after this part of
  // the panel is gone: it must not report back any more.
  if (input_ != nullptr) input_->disconnect(this);
}

QPushButton* rg_CastPanel::MakeButton(const QString& caption, Button code) {
  auto* button = new QPushButton(caption, this);
  button->setFont(font_);
  connect(button, &QPushButton::clicked, this, [this, code] { Press(code); });
  return button;
}

void rg_CastPanel::Build(const QString& fontDescription) {
  fontDescription_ = fontDescription;
  font_ = ui::FontFromDescription(fontDescription);
  setFont(font_);

  method_ = new rg_LabeledChoice(this);
  connect(method_, &rg_LabeledChoice::changed, this,
          [this](int index, const QString& caption) { OnChoice(1, index, caption); });
  method_->Build(font_, QStringLiteral("起卦方式:"), MethodItems());

  zodiac_ = new rg_LabeledChoice(this);
  connect(zodiac_, &rg_LabeledChoice::changed, this,
          [this](int index, const QString& caption) { OnChoice(2, index, caption); });
  zodiac_->Build(font_, QStringLiteral("卦主生肖:"), ZodiacItems());

  calculate_ = MakeButton(QStringLiteral("演算"), Button::Calculate);
  reset_ = MakeButton(QStringLiteral("重设"), Button::Reset);

  disclaimer_ = new QLabel(
      QStringLiteral("————传统文化创新,仅为游戏娱乐,结果数据仅供参考,彩市有风险,切勿着迷————"),
      this);
  disclaimer_->setFont(font_);
  disclaimer_->setAlignment(Qt::AlignCenter);
  QPalette palette = disclaimer_->palette();
  palette.setColor(QPalette::WindowText, ui::FromColorRef(0xC0C0C0));
  disclaimer_->setPalette(palette);

  method_->move(0, 0);
  PlaceAfterInput();
}

void rg_CastPanel::PlaceAfterInput() {
  const int w = method_->CharWidth();
  int x = method_->geometry().right() + 1 + 10;
  if (input_ != nullptr) x = input_->geometry().right() + 1 + 10;
  zodiac_->move(x, 0);
  const int buttonHeight = zodiac_->height();
  calculate_->setGeometry(zodiac_->geometry().right() + 1 + 10, 0,
                          w * 2 * static_cast<int>(calculate_->text().size()), buttonHeight);
  reset_->setGeometry(calculate_->geometry().right() + 1 + 10, 0,
                      w * 2 * static_cast<int>(reset_->text().size()), buttonHeight);
  const int right = reset_->geometry().right() + 1;
  disclaimer_->setGeometry(0, calculate_->geometry().bottom() + 1 + 10, right + 10, buttonHeight);
  resize(right + 10, disclaimer_->geometry().bottom() + 1 + 10);
}

namespace {

// The panel's widest row around its two lists of the given widths.
int WidthAround(const QFont& font, int method, int zodiac) {
  const int w = ui::CharExtent(font, QStringLiteral("数")).width();
  const int u = ui::CharExtent(font, QStringLiteral("除")).width();
  const int options = 2 * (4 + 2) * u + 10;
  const int input = std::max({options, kNumberEntryWidth, kHandCastButtonWidth});
  return method + 10 + input + 10 + zodiac + 10 + 4 * w + 10 + 4 * w + 10;
}

}  // namespace

int rg_CastPanel::MaxWidth(const QFont& font) {
  rg_LabeledChoice probe;
  probe.Build(font, QStringLiteral("起卦方式:"), MethodItems());
  const int method = probe.width();
  probe.Build(font, QStringLiteral("卦主生肖:"), ZodiacItems());
  const int zodiac = probe.width();
  return WidthAround(font, method, zodiac);
}

int rg_CastPanel::MaxWidth() const {
  return WidthAround(font_, method_->width(), zodiac_->width());
}

QLineEdit* rg_CastPanel::NumberEntry() const { return qobject_cast<QLineEdit*>(input_); }
rg_OptionGroup* rg_CastPanel::TimeOptions() const { return qobject_cast<rg_OptionGroup*>(input_); }

void rg_CastPanel::OnChoice(int group, int index, const QString& caption) {
  emit resetRequested();
  if (group == 2) {
    request_.zodiac = index;
    return;
  }
  // Item 0 is the prompt: no method.
  request_.method = CastMethodOf(index).value_or(CastMethod::None);
  request_.methodCaption = ui::U(caption);
  // Another method is a new cast, no longer the reviewed one (the review
  // sets its id after choosing the method).
  request_.id = 0;
  const int left = method_->geometry().right() + 1 + 10;
  const int height = zodiac_ != nullptr ? zodiac_->height() : method_->height();
  switch (request_.method) {
    case CastMethod::Number:
      if (NumberEntry() == nullptr) {
        ReplaceInput(MakeNumberEntry(left, height));
      } else {
        input_->setFocus();
      }
      break;
    case CastMethod::HandLines:
      if (qobject_cast<QPushButton*>(input_) == nullptr) {
        ReplaceInput(MakeHandCastButton(left, height));
      }
      break;
    case CastMethod::Time:
      if (TimeOptions() == nullptr) {
        ReplaceInput(MakeTimeOptions(left, height));
        request_.timeChoice = TimeChoice::NextDraw;
      }
      break;
    default: return;  // the input area stays as it is
  }
  if (zodiac_ != nullptr) PlaceAfterInput();
}

void rg_CastPanel::ReplaceInput(QWidget* next) {
  if (input_ != nullptr) {
    // Destroyed now, so the time options' destruction clears the time
    // choice before the new control sets its own.
    delete input_;
  }
  input_ = next;
  input_->show();
}

QLineEdit* rg_CastPanel::MakeNumberEntry(int left, int height) {
  auto* entry = new QLineEdit(this);
  entry->setFont(font_);
  entry->setMaxLength(kNumberMaxLength);
  entry->setValidator(
      new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), entry));
  entry->setGeometry(left, 0, kNumberEntryWidth, height);
  connect(entry, &QLineEdit::textChanged, this,
          [this](const QString& text) { request_.numberText = ui::U(text.trimmed()); });
  // A number typed by the user is a new cast; the review's own setText is
  // not an edit.
  connect(entry, &QLineEdit::textEdited, this, [this] { request_.id = 0; });
  connect(entry, &QLineEdit::returnPressed, this, [this] { calculate_->click(); });
  return entry;
}

QPushButton* rg_CastPanel::MakeHandCastButton(int left, int height) {
  auto* button = new QPushButton(QStringLiteral("点击自己装卦"), this);
  button->setFont(font_);
  button->setGeometry(left, 0, kHandCastButtonWidth, height);
  connect(button, &QPushButton::clicked, this, [this] { Press(Button::HandCast); });
  return button;
}

rg_OptionGroup* rg_CastPanel::MakeTimeOptions(int left, int height) {
  auto* options = new rg_OptionGroup(this);
  options->Build(font_, TimeCaptions());
  // Centred on the row's height.
  options->move(left, (height - options->height()) / 2);
  // The options are numbered as the choices are (1 and 2).
  connect(options, &rg_OptionGroup::changed, this,
          [this](int n) { request_.timeChoice = TimeChoiceOf(n).value_or(TimeChoice::Unset); });
  connect(options, &QObject::destroyed, this, [this] { request_.timeChoice = TimeChoice::Unset; });
  return options;
}

void rg_CastPanel::Press(Button code) {
  switch (code) {
    case Button::Calculate: {
      const auto verdict = ValidateCast(request_);
      if (!verdict) return;
      if (verdict->Accepted()) {
        emit castRequested(verdict->Code(), ui::Q(verdict->message), &request_);
        return;
      }
      refusal_ = rg_QiGuaModel();
      refusal_.empty = true;
      if (verdict->refusal == CastRefusal::NoNumber && input_ != nullptr) input_->setFocus();
      emit castRequested(verdict->Code(), ui::Q(verdict->message), &refusal_);
      return;
    }
    case Button::Reset:
      emit resetRequested();
      method_->Select(0);
      zodiac_->Select(0);
      request_.methodCaption.clear();
      request_.upstr.clear();
      request_.downstr.clear();
      request_.numberText.clear();
      request_.zodiac = -1;
      request_.method = CastMethod::Reset;
      request_.id = 0;
      request_.dong.clear();
      return;
    case Button::HandCast:
      request_.id = 0;
      emit resetRequested();
      emit handCastRequested();
      return;
    default: return;
  }
}

void rg_CastPanel::Restore(const rg_QiGuaModel& cast) {
  request_.method = cast.method;
  method_->Select(NumberOf(cast.method));
  request_.zodiac = cast.zodiac;
  zodiac_->Select(cast.zodiac);
  request_.id = cast.id;
  request_.castTime = cast.castTime;
  request_.numberText = cast.numberText;
  request_.upstr = cast.upstr;
  request_.downstr = cast.downstr;
  request_.timeChoice = cast.timeChoice;
  request_.dong = cast.dong;
  if (cast.method == CastMethod::Number) {
    if (QLineEdit* entry = NumberEntry()) entry->setText(ui::Q(cast.numberText));
  } else if (cast.method == CastMethod::Time) {
    if (rg_OptionGroup* options = TimeOptions()) {
      // Only options 1 and 2 exist; an unset choice casts as the checked one.
      options->Choose(cast.timeChoice != TimeChoice::Unset ? NumberOf(cast.timeChoice)
                                                           : options->Checked());
    }
  }
  Press(Button::Calculate);
}

}  // namespace rg_com_ptl_xyh
