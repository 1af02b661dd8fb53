#include "shell/panels/OptionGroup.h"

#include <QRadioButton>

#include "ui/Ui.h"

namespace rg_com_ptl_xyh {

void rg_OptionGroup::Build(const QFont& font, const QStringList& captions) {
  const QSize unit = ui::CharExtent(font, QStringLiteral("除"));
  setFont(font);
  int x = 0;
  for (int i = 0; i < captions.size(); ++i) {
    auto* option = new QRadioButton(captions[i], this);
    const int width = (static_cast<int>(captions[i].size()) + 2) * unit.width();
    option->setGeometry(x, 0, width, unit.height() + 5);
    x += width + 10;
    connect(option, &QRadioButton::clicked, this, [this, i] { emit changed(i + 1); });
    options_.append(option);
  }
  if (options_.size() >= 2) options_[1]->setChecked(true);
  resize(captions.isEmpty() ? 0 : x - 10, unit.height() + 5);
}

void rg_OptionGroup::Choose(int n) {
  if (QRadioButton* option = Option(n)) option->setChecked(true);
  emit changed(n);
}

int rg_OptionGroup::Checked() const {
  for (int i = 0; i < options_.size(); ++i) {
    if (options_[i]->isChecked()) return i + 1;
  }
  return 0;
}

}  // namespace rg_com_ptl_xyh
