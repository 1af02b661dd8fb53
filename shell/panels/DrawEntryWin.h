#pragma once
// 录入开奖: one 双色球 draw typed in by hand, for the draws a refresh never
// saw. It is stored exactly as an imported line is: the same checks, the
// same refusals. The same dialog corrects a stored draw (修改).
#include <QDialog>
#include <QStringList>

#include <array>

#include "derive/PrizeAmounts.h"

class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace rg_com_ptl_xyh {

class Clock;
class rg_EasyDb;
struct rg_DrawEntry;

class rg_DrawEntryWin : public QDialog {
  Q_OBJECT
 public:
  // issue and date: what the dialog starts with (the issue may be empty).
  rg_DrawEntryWin(QWidget* parent, const QFont& font, rg_EasyDb& store, const Clock& clock,
                  const QString& issue, double date);

  QLineEdit* Issue() const { return issue_; }
  QDateEdit* Date() const { return date_; }
  QSpinBox* Red(int i) const { return reds_[static_cast<std::size_t>(i)]; }
  QSpinBox* Blue() const { return blue_; }
  QPushButton* SaveButton() const { return save_; }
  // 一等奖 and 二等奖 per bet, whole yuan; empty while not known.
  QLineEdit* FirstPrize() const { return first_; }
  QLineEdit* SecondPrize() const { return second_; }
  // Makes it the correction of a stored draw: its fields filled in, and
  // 保存 replaces that draw.
  void Correct(const rg_DrawEntry& stored);
  // Why the last 保存 was refused; empty after none.
  QString Message() const;

  // What 保存 does: true when the draw was stored (the dialog then closes).
  bool Submit();

 signals:
  // A draw was stored: its issue.
  void drawsAdded(const QStringList& issues);
  // Prize amounts were stored for a draw already stored.
  void prizesStored(const QString& issue);

 private:
  void Refuse(const QString& why);
  // The two amounts as typed; false, after saying which, for one out of range.
  bool ReadAmounts(rg_FloatingAmounts& out);

  rg_EasyDb& store_;
  const Clock& clock_;
  QString correcting_;  // the stored issue a correction replaces
  QLabel* lead_;
  QLineEdit* issue_;
  QDateEdit* date_;
  std::array<QSpinBox*, 6> reds_{};
  QSpinBox* blue_;
  QLineEdit* first_;
  QLineEdit* second_;
  QLabel* message_;
  QPushButton* save_;
};

}  // namespace rg_com_ptl_xyh
