#include "shell/panels/LedgerChartModule.h"

#include "shell/panels/BarChartModule.h"

namespace rg_com_ptl_xyh {

const rg_LedgerChartApi* LoadLedgerChart(QString* error) {
  static const rg_LedgerChartApi* loaded = nullptr;
  if (loaded != nullptr) return loaded;
  QString why;
  const auto entry =
      reinterpret_cast<rg_LedgerChartEntry>(ChartModuleEntry(kLedgerChartEntry, &why));
  const rg_LedgerChartApi* api = entry != nullptr ? entry() : nullptr;
  if (api == nullptr || api->abi != kLedgerChartAbi || api->make == nullptr ||
      api->fill == nullptr || api->shown == nullptr) {
    if (error != nullptr) *error = api == nullptr ? why : QStringLiteral("版本不符");
    return nullptr;
  }
  loaded = api;
  return loaded;
}

}  // namespace rg_com_ptl_xyh
