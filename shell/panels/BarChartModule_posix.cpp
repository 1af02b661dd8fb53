#include "shell/panels/BarChartModule.h"

#include <QFile>

#include <dlfcn.h>

namespace rg_com_ptl_xyh {

void* ChartModuleEntry(const char* entry, QString* error) {
  // Never unloaded: the charts' widgets run its code. Opened by its exact
  // path, so the loader guesses no other name.
  static void* handle = nullptr;
  const char* failure = nullptr;
  if (handle == nullptr) {
    handle = dlopen(QFile::encodeName(ChartModulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) failure = dlerror();
  }
  void* symbol = handle != nullptr ? dlsym(handle, entry) : nullptr;
  if (symbol == nullptr && error != nullptr) {
    *error = failure != nullptr ? QString::fromLocal8Bit(failure)
                                : QStringLiteral("缺少入口 ") + QString::fromLatin1(entry);
  }
  return symbol;
}

}  // namespace rg_com_ptl_xyh
