#include "shell/panels/BarChartModule.h"

namespace rg_com_ptl_xyh {

namespace {

const rg_BarChartApi* loaded = nullptr;

}  // namespace

const rg_BarChartApi* LoadBarCharts(QString* error) {
  if (loaded != nullptr) return loaded;
  QString why;
  const auto entry = reinterpret_cast<rg_BarChartEntry>(ChartModuleEntry(kBarChartEntry, &why));
  const rg_BarChartApi* api = entry != nullptr ? entry() : nullptr;
  if (api == nullptr || api->abi != kBarChartAbi || api->make == nullptr || api->fill == nullptr ||
      api->values == nullptr) {
    if (error != nullptr) *error = api == nullptr ? why : QStringLiteral("版本不符");
    return nullptr;
  }
  loaded = api;
  return loaded;
}

bool BarChartsLoaded() { return loaded != nullptr; }

}  // namespace rg_com_ptl_xyh
