#pragma once
// A caption and an edit box; raises emptiness(1) when the text is blank
// after every change, emptiness(0) otherwise.
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace rg_com_ptl_xyh {

class rg_LabeledText : public QWidget {
  Q_OBJECT
 public:
  explicit rg_LabeledText(QWidget* parent = nullptr);

  void Build(const QString& caption, const QFont& font, bool readOnly, bool multiLine);
  // Caption above: the box fills the width below it. Caption left: the box
  // stands 3 pixels right of it. The component becomes height pixels high.
  void Arrange(bool captionAbove, int height);

  QString Text() const;
  void SetText(const QString& text);
  // Long lines of a multi-line box break only after a comma (or at a
  // blank or between Chinese characters), never inside a number; the text
  // itself, as read and as copied, stays as it was set.
  void BreakOnlyBetweenNumbers();
  // A balloon on the box titled "提示:", then the focus with all selected.
  void ShowHint(const QString& text);
  const QString& LastHint() const { return lastHint_; }

  QWidget* Box() const;
  QLabel* Caption() const { return caption_; }

 signals:
  void emptiness(int flag);

 private:
  void RaiseEmptiness();

  QLabel* caption_;
  QLineEdit* line_ = nullptr;
  QPlainTextEdit* multi_ = nullptr;
  QSize unit_;
  QString lastHint_;
  bool breakAfterCommas_ = false;
};

}  // namespace rg_com_ptl_xyh
