#include "shell/panels/BarChartModule.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

namespace rg_com_ptl_xyh {

namespace {

const rg_BarChartApi* loaded = nullptr;

// The module sits beside the program (XYH_MODULE_DIR, "."), in the build
// tree and installed alike: the program's own folder is the only one a DLL
// of ours is loaded from. XYH_CHARTS_MODULE may name another file in that folder (a bare
// name; anything with a separator is ignored), so that a test can make the
// module missing.
QString ModulePath() {
  QString name = QStringLiteral("libxyh_charts.dll");
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
  // Its own DLLs (Qt Charts) from the same folder first.
  const std::wstring wide = QDir::toNativeSeparators(path).toStdWString();
  HMODULE handle = LoadLibraryExW(
      wide.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  const DWORD failure = handle == nullptr ? GetLastError() : 0;
  const auto entry =
      handle != nullptr
          ? reinterpret_cast<rg_BarChartEntry>(  // NOLINT(bugprone-casting-through-void)
                reinterpret_cast<void*>(GetProcAddress(handle, kBarChartEntry)))
          : nullptr;
  const QString why = handle == nullptr
                          ? QStringLiteral("无法载入 %1(错误 %2)").arg(path).arg(failure)
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
