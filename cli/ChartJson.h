#pragma once
// The "chart" object of `cast --json`.
#include <json/json.h>

#include "engine/Chart.h"

namespace xyh_cli {

Json::Value ChartJson(const rg_com_ptl_xyh::rg_ChartModel& chart);

}  // namespace xyh_cli
