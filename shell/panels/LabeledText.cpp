#include "shell/panels/LabeledText.h"

#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocumentFragment>
#include <QToolTip>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

namespace {

// A break opportunity that takes no room: put after each comma of a box
// that breaks only between numbers, and taken out again whenever the text
// leaves the box.
constexpr QChar kBreak(0x200B);

QString WithoutBreaks(QString text) { return text.remove(kBreak); }

// Copies and drags give the text as it was set, without the breaks.
class BoxEdit : public QPlainTextEdit {
 public:
  using QPlainTextEdit::QPlainTextEdit;

 protected:
  QMimeData* createMimeDataFromSelection() const override {
    auto* mime = new QMimeData;
    mime->setText(WithoutBreaks(textCursor().selection().toPlainText()));
    return mime;
  }
};

}  // namespace

rg_LabeledText::rg_LabeledText(QWidget* parent) : QWidget(parent), caption_(new QLabel(this)) {}

void rg_LabeledText::Build(const QString& caption, const QFont& font, bool readOnly,
                           bool multiLine) {
  setFont(font);
  unit_ = ui::CharExtent(font, QStringLiteral("数"));
  caption_->setText(caption);
  caption_->setGeometry(0, 0, unit_.width() * static_cast<int>(caption.size()), unit_.height());
  if (multiLine) {
    multi_ = new BoxEdit(this);
    multi_->setReadOnly(readOnly);
    multi_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    multi_->document()->setDocumentMargin(5);
    connect(multi_, &QPlainTextEdit::textChanged, this, &rg_LabeledText::RaiseEmptiness);
  } else {
    line_ = new QLineEdit(this);
    line_->setReadOnly(readOnly);
    line_->setTextMargins(5, 0, 0, 0);
    connect(line_, &QLineEdit::textChanged, this, &rg_LabeledText::RaiseEmptiness);
  }
  Box()->setFont(font);
}

void rg_LabeledText::Arrange(bool captionAbove, int height) {
  if (captionAbove) {
    Box()->setGeometry(0, unit_.height() + 2, width(), height - unit_.height() - 2);
  } else {
    const int left = caption_->geometry().right() + 1 + 3;
    caption_->move(0, (height - unit_.height()) / 2);
    Box()->setGeometry(left, 0, width() - left, height);
  }
  resize(width(), height);
}

QWidget* rg_LabeledText::Box() const {
  return multi_ != nullptr ? static_cast<QWidget*>(multi_) : static_cast<QWidget*>(line_);
}

// A multi-line box holds its lines with CR LF ends, as edit boxes always
// have; the result text and notes keep them.
QString rg_LabeledText::Text() const {
  if (line_ != nullptr) return line_->text();
  QString text = multi_->toPlainText();
  if (breakAfterCommas_) text.remove(kBreak);
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return text;
}

void rg_LabeledText::BreakOnlyBetweenNumbers() {
  if (multi_ == nullptr) return;
  const QString text = Text();
  breakAfterCommas_ = true;
  // Only the break opportunities the breaks give: no line ends inside "24".
  multi_->setWordWrapMode(QTextOption::WordWrap);
  SetText(text);
}

void rg_LabeledText::SetText(const QString& text) {
  if (multi_ != nullptr) {
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (breakAfterCommas_) {
      shown.remove(kBreak);
      shown.replace(QLatin1Char(','), QStringLiteral(",") + kBreak);
    }
    multi_->setPlainText(shown);
  } else {
    line_->setText(text);
  }
  // Raised even when the text did not change.
  RaiseEmptiness();
}

void rg_LabeledText::ShowHint(const QString& text) {
  lastHint_ = text;
  QWidget* box = Box();
  QToolTip::showText(box->mapToGlobal(QPoint(box->width() / 4, box->height())),
                     QStringLiteral("<b>提示:</b><br>") + text.toHtmlEscaped(), box);
  box->setFocus();
  if (line_ != nullptr) {
    line_->selectAll();
  } else {
    multi_->selectAll();
  }
}

void rg_LabeledText::RaiseEmptiness() { emit emptiness(Text().trimmed().isEmpty() ? 1 : 0); }

}  // namespace rg_com_ptl_xyh
