#include "shell/panels/BarChartModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace rg_com_ptl_xyh {

namespace {

const rg_BarChartApi* loaded = nullptr;

// The module sits in the program's library folder (lib/<multiarch>/xyh/ or
// lib/xyh/, XYH_MODULE_DIR from bin/), in the build tree and installed
// alike. XYH_CHARTS_MODULE may name another file in that folder (a bare
// name; anything with a separator is ignored), so that a test can make the
// module missing.
QString ModulePath() {
  QString name = QStringLiteral("libxyh_charts.so");
  const QString wanted = qEnvironmentVariable("XYH_CHARTS_MODULE");
  if (!wanted.isEmpty() && !wanted.contains(QLatin1Char('/')) &&
      !wanted.contains(QLatin1Char('\\')) && wanted != QLatin1String(".") &&
      wanted != QLatin1String("..")) {
    name = wanted;
  }
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/" XYH_MODULE_DIR "/") + name);
}

}  // namespace

const rg_BarChartApi* LoadBarCharts(QString* error) {
  if (loaded != nullptr) return loaded;
  // Never unloaded: the charts' widgets run its code. Opened by its exact
  // path, so the loader guesses no other name.
  const QString path = ModulePath();
  void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
  const char* failure = handle == nullptr ? dlerror() : nullptr;
  const auto entry = handle != nullptr
                         ? reinterpret_cast<rg_BarChartEntry>(dlsym(handle, kBarChartEntry))
                         : nullptr;
  const QString why = failure != nullptr ? QString::fromLocal8Bit(failure)
                                         : QStringLiteral("缺少入口 ") + kBarChartEntry;
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
