#pragma once
// A caption and a drop-down list; raises changed(index, text).
#include <QStringList>
#include <QWidget>

class QComboBox;
class QLabel;

namespace rg_com_ptl_xyh {

class rg_LabeledChoice : public QWidget {
  Q_OBJECT
 public:
  explicit rg_LabeledChoice(QWidget* parent = nullptr);

  // Lays itself out from the extent of "数"; selecting item 0 raises changed.
  void Build(const QFont& font, const QString& caption, const QStringList& items);
  void Select(int index);
  int CharWidth() const { return charWidth_; }
  int CurrentIndex() const;
  QComboBox* Combo() const { return combo_; }

 signals:
  void changed(int data, const QString& text);

 private:
  QLabel* caption_;
  QComboBox* combo_;
  int charWidth_ = 0;
};

}  // namespace rg_com_ptl_xyh
