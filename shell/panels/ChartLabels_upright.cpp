#include "shell/panels/ChartLabels.h"

namespace rg_com_ptl_xyh {

// This Charts cuts a label wider than its bar and cannot be told not to;
// upright, a two-digit label needs only its height.
void KeepLabelsWhole(QBarCategoryAxis* axis) { axis->setLabelsAngle(-90); }

}  // namespace rg_com_ptl_xyh
