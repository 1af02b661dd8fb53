#include "shell/panels/BarChartModule.h"

#include <QDir>

#include <windows.h>

namespace rg_com_ptl_xyh {

void* ChartModuleEntry(const char* entry, QString* error) {
  // Never unloaded: the charts' widgets run its code. Opened by its exact
  // path, its own DLLs (Qt Charts) from the same folder first.
  static HMODULE handle = nullptr;
  DWORD failure = 0;
  if (handle == nullptr) {
    const std::wstring wide = QDir::toNativeSeparators(ChartModulePath()).toStdWString();
    handle = LoadLibraryExW(wide.c_str(), nullptr,
                            LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (handle == nullptr) failure = GetLastError();
  }
  void* symbol = handle != nullptr
                     ? reinterpret_cast<void*>(  // NOLINT(bugprone-casting-through-void)
                           GetProcAddress(handle, entry))
                     : nullptr;
  if (symbol == nullptr && error != nullptr) {
    *error = handle == nullptr ? QStringLiteral("无法载入 %1(错误 %2)")
                                     .arg(QDir::toNativeSeparators(ChartModulePath()))
                                     .arg(failure)
                               : QStringLiteral("缺少入口 ") + QString::fromLatin1(entry);
  }
  return symbol;
}

}  // namespace rg_com_ptl_xyh
