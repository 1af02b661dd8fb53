#include "shell/panels/BarChartModule.h"

#include <QCoreApplication>
#include <QDir>

namespace rg_com_ptl_xyh {

namespace {

const rg_BarChartApi* loaded = nullptr;

}  // namespace

// The module sits in the program's library folder (XYH_MODULE_DIR from the
// programs' folder: lib/<multiarch>/xyh/ or lib/xyh/ beside bin/ on Linux,
// the programs' own folder on Windows, the only one a DLL of ours is loaded
// from), in the build tree and installed alike. XYH_CHARTS_MODULE may name
// another file in that folder (a bare name; anything with a separator is
// ignored), so that a test can make the module missing.
QString ChartModulePath() {
  QString name = QStringLiteral(XYH_CHARTS_MODULE_FILE);
  const QString wanted = qEnvironmentVariable("XYH_CHARTS_MODULE");
  if (!wanted.isEmpty() && !wanted.contains(QLatin1Char('/')) &&
      !wanted.contains(QLatin1Char('\\')) && wanted != QLatin1String(".") &&
      wanted != QLatin1String("..")) {
    name = wanted;
  }
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/" XYH_MODULE_DIR "/") + name);
}

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
