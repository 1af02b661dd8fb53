#include "shell/panels/ChartLabels.h"

namespace rg_com_ptl_xyh {

void KeepLabelsWhole(QBarCategoryAxis* axis) { axis->setTruncateLabels(false); }

}  // namespace rg_com_ptl_xyh
