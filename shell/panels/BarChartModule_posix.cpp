#include "shell/panels/BarChartModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <dlfcn.h>

namespace rg_com_ptl_xyh {

namespace {

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

void* ChartModuleEntry(const char* entry, QString* error) {
  // Never unloaded: the charts' widgets run its code. Opened by its exact
  // path, so the loader guesses no other name.
  static void* handle = nullptr;
  const char* failure = nullptr;
  if (handle == nullptr) {
    handle = dlopen(QFile::encodeName(ModulePath()).constData(), RTLD_NOW | RTLD_LOCAL);
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
