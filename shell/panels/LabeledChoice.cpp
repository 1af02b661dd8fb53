#include "shell/panels/LabeledChoice.h"

#include <QComboBox>
#include <QLabel>

#include <algorithm>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

rg_LabeledChoice::rg_LabeledChoice(QWidget* parent)
    : QWidget(parent), caption_(new QLabel(this)), combo_(new QComboBox(this)) {
  connect(combo_, qOverload<int>(&QComboBox::activated), this, [this](int index) {
    emit changed(combo_->itemData(index).toInt(), combo_->itemText(index));
  });
}

void rg_LabeledChoice::Build(const QFont& font, const QString& caption, const QStringList& items) {
  const QSize unit = ui::CharExtent(font, QStringLiteral("数"));
  const int w = unit.width();
  const int h = unit.height();
  charWidth_ = w;
  setFont(font);
  int longest = 0;
  for (const QString& item : items) longest = std::max(longest, static_cast<int>(item.size()));
  const int captionWidth = w * static_cast<int>(caption.size());

  caption_->setText(caption);
  caption_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  combo_->setFont(font);
  combo_->clear();
  for (int i = 0; i < items.size(); ++i) combo_->addItem(items[i], i);
  // One character's room for the arrow is not enough in every style; the
  // list grows rather than cut its items short.
  combo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  const int listWidth = std::max(w * (longest + 1) + 10, combo_->sizeHint().width());
  // As tall as the style needs for frame and text: cut short, the list
  // loses its lower border and its text drops below the caption's.
  const int listHeight = std::max(combo_->sizeHint().height(), h + 6);
  combo_->setGeometry(captionWidth + 10, 2, listWidth, listHeight);
  // The caption centred on the list, so both texts stand on one line; at
  // the smallest list height this is (0, 5).
  caption_->setGeometry(0, 2 + (listHeight - h) / 2, captionWidth, h);
  resize(captionWidth + 10 + listWidth + 10, std::max(h + 10, listHeight + 4));
  if (!items.isEmpty()) Select(0);
}

void rg_LabeledChoice::Select(int index) {
  combo_->setCurrentIndex(index);
  if (combo_->currentIndex() < 0) return;
  emit changed(combo_->currentData().toInt(), combo_->currentText());
}

int rg_LabeledChoice::CurrentIndex() const { return combo_->currentIndex(); }

}  // namespace rg_com_ptl_xyh
