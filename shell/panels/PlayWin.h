#pragma once
// The 投注 dialog: the user toggles the reds (and 胆) and blues of a ticket
// actually bought with a saved cast, sees what it costs as it grows, and
// saves it. The numbers can be filled from the cast's own lists.
#include <QDialog>
#include <QVector>

#include "derive/Derive.h"
#include "derive/Play.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace rg_com_ptl_xyh {

class rg_PlayWin : public QDialog {
  Q_OBJECT
 public:
  // The fill buttons, in the order they stand.
  enum Fill {
    Ticket1,
    Ticket2,
    Ticket3,
    Ticket4,
    Ticket5,
    RedAnalysis,
    RedReference,
    BlueAnalysis
  };
  static constexpr int kFills = 8;

  // subject: the saved cast's name; numbers: its eight derived texts.
  rg_PlayWin(QWidget* parent, const QFont& font, const QString& subject,
             const DerivedNumbers& numbers);

  // What is toggled now.
  rg_Play Play() const;
  // "N注 M元" for the play as toggled.
  static QString CostText(const rg_Play& play);

  QPushButton* RedToggle(int n) const { return reds_.value(n - 1); }
  QPushButton* BlueToggle(int n) const { return blues_.value(n - 1); }
  QCheckBox* DanMode() const { return danMode_; }
  QSpinBox* MultipleBox() const { return multiple_; }
  QLabel* CostLine() const { return cost_; }
  QLabel* MessageLine() const { return message_; }
  QPushButton* FillButton(int fill) const { return fills_.value(fill); }
  QPushButton* SaveButton() const { return save_; }

 public slots:
  // The owner's answer to saveRequested: what became of it.
  void ShowMessage(const QString& text, bool refused);

 signals:
  void saveRequested(const rg_Play& play);

 private:
  enum class Mark { None, Red, Dan };
  void Toggle(int n);
  void ApplyFill(int fill);
  void SetRedMark(int n, Mark mark);
  void Follow();

  DerivedNumbers numbers_;
  QVector<Mark> marks_;
  QVector<QPushButton*> reds_;
  QVector<QPushButton*> blues_;
  QVector<QPushButton*> fills_;
  QCheckBox* danMode_ = nullptr;
  QSpinBox* multiple_ = nullptr;
  QLabel* cost_ = nullptr;
  QLabel* message_ = nullptr;
  QPushButton* save_ = nullptr;
};

}  // namespace rg_com_ptl_xyh
