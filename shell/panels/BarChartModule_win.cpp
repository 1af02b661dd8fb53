#include "shell/panels/BarChartModule.h"

#include <QCoreApplication>
#include <QDir>

#include <windows.h>

namespace rg_com_ptl_xyh {

namespace {

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

void* ChartModuleEntry(const char* entry, QString* error) {
  // Never unloaded: the charts' widgets run its code. Opened by its exact
  // path, its own DLLs (Qt Charts) from the same folder first.
  static HMODULE handle = nullptr;
  DWORD failure = 0;
  if (handle == nullptr) {
    const std::wstring wide = QDir::toNativeSeparators(ModulePath()).toStdWString();
    handle = LoadLibraryExW(wide.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (handle == nullptr) failure = GetLastError();
  }
  void* symbol = handle != nullptr
                     ? reinterpret_cast<void*>(  // NOLINT(bugprone-casting-through-void)
                           GetProcAddress(handle, entry))
                     : nullptr;
  if (symbol == nullptr && error != nullptr) {
    *error = handle == nullptr
                 ? QStringLiteral("无法载入 %1(错误 %2)").arg(ModulePath()).arg(failure)
                 : QStringLiteral("缺少入口 ") + QString::fromLatin1(entry);
  }
  return symbol;
}

}  // namespace rg_com_ptl_xyh
