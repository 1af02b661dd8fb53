#pragma once
// The strip where a cast is set up: method, its input, the person's zodiac
// sign, "演算" and "重设".
#include <QWidget>

#include "engine/Casting.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace rg_com_ptl_xyh {

class rg_LabeledChoice;
class rg_OptionGroup;

class rg_CastPanel : public QWidget {
  Q_OBJECT
 public:
  // The panel's own buttons, by the codes they have always pressed with.
  enum class Button : int { Calculate = 1, Reset = 2, HandCast = 3 };

  explicit rg_CastPanel(QWidget* parent = nullptr);
  ~rg_CastPanel() override;
  void Build(const QString& fontDescription);

  // The hand-cast dialog writes its lines and time straight into this.
  rg_QiGuaModel& Request() { return request_; }
  const rg_QiGuaModel& Request() const { return request_; }

  // The review: puts a stored cast back and presses "演算". Its id, method,
  // sign, time, entries, time choice and marks are taken; the caption and
  // the empty flag stay the panel's own.
  void Restore(const rg_QiGuaModel& cast);

  // The widest this panel gets (with the time options shown).
  static int MaxWidth(const QFont& font);
  // The same for this panel once built, from its own lists: building a
  // pair of lists only to measure them costs the window's start about as
  // much as building these did.
  int MaxWidth() const;

  rg_LabeledChoice* MethodChoice() const { return method_; }
  rg_LabeledChoice* ZodiacChoice() const { return zodiac_; }
  QPushButton* CalculateButton() const { return calculate_; }
  QPushButton* ResetButton() const { return reset_; }
  QLabel* Disclaimer() const { return disclaimer_; }
  // The control of the input area: the number entry, the hand-cast button
  // or the time options; null before a method is chosen.
  QWidget* Input() const { return input_; }
  QLineEdit* NumberEntry() const;
  rg_OptionGroup* TimeOptions() const;

 public slots:
  void Press(rg_CastPanel::Button code);

 signals:
  void resetRequested();
  void handCastRequested();
  // code 1..3 with the panel's request, or a refusal -1..-5 with a fresh
  // request whose empty flag is set.
  void castRequested(int code, const QString& message, rg_QiGuaModel* request);

 private:
  void OnChoice(int group, int index, const QString& caption);
  // The method's input control, at left on the panel's first row.
  void ReplaceInput(QWidget* next);
  QLineEdit* MakeNumberEntry(int left, int height);
  QPushButton* MakeHandCastButton(int left, int height);
  rg_OptionGroup* MakeTimeOptions(int left, int height);
  void PlaceAfterInput();
  QPushButton* MakeButton(const QString& caption, Button code);

  QFont font_;
  QString fontDescription_;
  rg_LabeledChoice* method_ = nullptr;
  QWidget* input_ = nullptr;
  rg_LabeledChoice* zodiac_ = nullptr;
  QPushButton* calculate_ = nullptr;
  QPushButton* reset_ = nullptr;
  QLabel* disclaimer_ = nullptr;
  rg_QiGuaModel request_;
  rg_QiGuaModel refusal_;
};

}  // namespace rg_com_ptl_xyh

Q_DECLARE_METATYPE(rg_com_ptl_xyh::rg_QiGuaModel*)
