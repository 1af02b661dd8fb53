#pragma once
// A row of option buttons; raises changed(n) with the 1-based option.
#include <QList>
#include <QStringList>
#include <QWidget>

class QRadioButton;

namespace rg_com_ptl_xyh {

class rg_OptionGroup : public QWidget {
  Q_OBJECT
 public:
  explicit rg_OptionGroup(QWidget* parent = nullptr) : QWidget(parent) {}

  // Option 2 starts checked, without raising changed.
  void Build(const QFont& font, const QStringList& captions);
  // Checks option n and raises changed(n), as a click would.
  void Choose(int n);
  int Checked() const;
  QRadioButton* Option(int n) const { return options_.value(n - 1); }

 signals:
  void changed(int n);

 private:
  QList<QRadioButton*> options_;
};

}  // namespace rg_com_ptl_xyh
