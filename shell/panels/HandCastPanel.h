#pragma once
// rg_GuaWin: the hand-cast dialog.
// Six hand-cast lines and the time they were cast, in a modal dialog.
#include <QDialog>
#include <QList>
#include <QWidget>

#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace rg_com_ptl_xyh {

class Clock;
struct rg_QiGuaModel;

class rg_HandCastPanel : public QWidget {
  Q_OBJECT
 public:
  enum class Button : int { Confirm = 1, Cancel = 2 };

  explicit rg_HandCastPanel(QWidget* parent = nullptr) : QWidget(parent) {}
  // Every opening starts with the lines unset and the time at "now".
  void Build(const QFont& font, const Clock& clock);

  // Row 0 is the top line (六爻), row 5 the bottom line (初爻).
  QComboBox* LineChoice(int row) const { return lines_.value(row); }
  // year, month, day, hour, minute, second
  QComboBox* TimeChoice(int index) const { return times_.value(index); }
  QPushButton* ConfirmButton() const { return confirm_; }
  QPushButton* CancelButton() const { return cancel_; }
  QLabel* Tip() const { return tip_; }

 public slots:
  void Press(rg_HandCastPanel::Button code);

 signals:
  // (1, upper, lower, marks, time) on a confirmed entry; (2, "", "", {}, 0)
  // on cancel.
  void result(rg_HandCastPanel::Button code, const QString& upper, const QString& lower,
              const std::vector<int>& dong, double castTime);

 private:
  QList<QComboBox*> lines_;
  QList<QComboBox*> times_;
  QLabel* tip_ = nullptr;
  QPushButton* confirm_ = nullptr;
  QPushButton* cancel_ = nullptr;
};

class rg_GuaWin : public QDialog {
  Q_OBJECT
 public:
  // Confirming writes the lines and the time into request.
  rg_GuaWin(QWidget* owner, const QFont& font, const Clock& clock, rg_QiGuaModel& request);
  rg_HandCastPanel* Panel() const { return panel_; }

 private:
  rg_HandCastPanel* panel_;
  rg_QiGuaModel& request_;
};

}  // namespace rg_com_ptl_xyh
