#!/bin/bash
# The recipe for the Windows SDK the program is cross-built against: Qt 6.4.2
# (Core, Gui, Widgets, Test), Qt Charts, SQLite, jsoncpp, libqrencode, Gumbo,
# curl (Schannel), OpenSSL libcrypto, GoogleTest and tl::expected, built for
# x86_64-w64-mingw32 with Debian's mingw-w64 (posix threads) from Debian 12's
# own source packages (apt-get source; this script enables deb-src). Gumbo's
# and Qt Charts 6's Debian tarballs are missing from the archive, so Gumbo
# comes from the npm package that vendors the same upstream release, and Qt
# Charts is Debian's Qt 5.15 Charts source ported to Qt 6 here (see step 3).
#
# Run as root on a fresh Debian 12; about 25 minutes on 2 cores:
#   scripts/win-sdk.sh                    # every step, finished steps skipped
#   scripts/win-sdk.sh s04_curl           # one step again
#   WINSDK_ROOT=/somewhere scripts/win-sdk.sh
# The result: $WINSDK_ROOT/prefix (use it as XYH_WIN_SDK) and the tarball
# $WINSDK_ROOT/out/xyh-win-sdk-qt6.4.2-mingw64.tar.xz.
# Layout: $W/src (sources) $W/build (build trees) $W/prefix (the SDK)
#         $W/logs (logs + timings.txt) $W/stamps $W/out (tarball)
set -euo pipefail

W=${WINSDK_ROOT:-$HOME/.cache/xyh-winsdk}
P=$W/prefix
SRC=$W/src
BLD=$W/build
LOG=$W/logs
STAMP=$W/stamps
OUT=$W/out
JOBS=${JOBS:-2}
NICE="nice -n ${XYH_NICE:-19}"
T=x86_64-w64-mingw32
TC=$P/mingw-w64-x86_64.cmake
TARBALL=$OUT/xyh-win-sdk-qt6.4.2-mingw64.tar.xz
export WINEPREFIX=${WINEPREFIX:-$W/wine}   # wine prefix used by the smoke tests
QT_HOST_CMAKE=/usr/lib/x86_64-linux-gnu/cmake
export DEBIAN_FRONTEND=noninteractive
# an interrupted s07_verify may have left the prefix hidden
if [ -d "$P.hidden" ] && [ ! -e "$P" ]; then mv "$P.hidden" "$P"; fi
mkdir -p "$SRC" "$BLD" "$P" "$LOG" "$STAMP" "$OUT"

log() { echo "[$(date +%H:%M:%S)] $*"; }

# run_step NAME FUNC: skip when stamped (unless FORCE=1), record wall time.
run_step() {
  local name=$1 fn=$2
  if [ -e "$STAMP/$name" ] && [ "${FORCE:-0}" != 1 ]; then log "skip $name (done)"; return 0; fi
  log "start $name"
  local s; s=$(date +%s)
  # run in a background subshell so that "set -e" really applies inside the step
  # (it is ignored in functions called from an "||" / "if" context)
  ( set -e; "$fn" ) > "$LOG/$name.log" 2>&1 &
  if ! wait $!; then log "FAILED $name, see $LOG/$name.log"; tail -n 30 "$LOG/$name.log"; exit 1; fi
  local e; e=$(date +%s)
  echo "$name $((e - s))s" >> "$LOG/timings.txt"
  touch "$STAMP/$name"
  log "done  $name ($((e - s))s)"
}

# apt_source PKG DIRGLOB: apt-get source into $SRC unless already unpacked
apt_source() {
  local pkg=$1 dirglob=$2
  cd "$SRC"
  if ! compgen -G "$dirglob" > /dev/null; then apt-get source "$pkg"; fi
}

# Rewrite a .pc file so that it is relocatable (prefix from ${pcfiledir}).
pc_relocatable() {
  local f
  for f in "$@"; do
    sed -i -e "s|^prefix=.*|prefix=\${pcfiledir}/../..|" \
           -e "s|^exec_prefix=.*|exec_prefix=\${prefix}|" \
           -e "s|^libdir=.*|libdir=\${prefix}/lib|" \
           -e "s|^includedir=.*|includedir=\${prefix}/include|" \
           -e "s|$P|\${prefix}|g" "$f"
  done
}

cmake_cross() { # cmake_cross SRC BUILD [args...]: configure+build+install a CMake project
  local s=$1 b=$2; shift 2
  $NICE cmake -G Ninja -S "$s" -B "$b" -DCMAKE_TOOLCHAIN_FILE="$TC" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$P" "$@"
  $NICE cmake --build "$b" -j"$JOBS"
  cmake --install "$b"
}

###############################################################################
# Step 1: host packages + CMake toolchain file
###############################################################################
# deb-src beside every deb entry of the machine's sources, so that apt-get
# source finds the very versions the binary packages come from.
enable_deb_src() {
  local f out=/etc/apt/sources.list.d/xyh-deb-src.sources
  : > "$out.tmp"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && [ "$f" != "$out" ] || continue
    awk 'BEGIN{RS="";ORS="\n\n"} /(^|\n)Types:[^\n]*deb/ && /deb.debian.org|debian-security|\/debian/ {
           sub(/Types:[^\n]*/, "Types: deb-src"); print }' "$f" >> "$out.tmp"
  done
  if [ -f /etc/apt/sources.list ]; then
    sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list > /etc/apt/sources.list.d/xyh-deb-src.list
  fi
  mv "$out.tmp" "$out"
}

s01_packages() {
  enable_deb_src
  apt-get update
  apt-get install -y -o DPkg::Lock::Timeout=600 --no-install-recommends \
    g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 \
    mingw-w64-tools cmake ninja-build pkg-config dpkg-dev perl python3 tcl xz-utils \
    wine wine64 xvfb x11-apps imagemagick fonts-wqy-microhei \
    qt6-base-dev qt6-base-dev-tools libgtest-dev libgmock-dev googletest libexpected-dev locales
  # npm (only for Gumbo's source): Debian's npm conflicts with a nodesource nodejs
  command -v npm > /dev/null || apt-get install -y --no-install-recommends npm
  # wine derives the Windows code page AND the Unix file-name encoding from the
  # locale: without a real zh_CN.UTF-8 glibc locale, LANG=zh_CN.UTF-8 gives
  # code page 1252 and non-ASCII file names fail to open.
  locale -a | grep -qix 'zh_CN.utf8' || localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
}

s01_toolchain() {
  cat > "$TC" <<'EOF'
# CMake toolchain file: cross-compile for 64-bit Windows with Debian's mingw-w64
# (posix thread model: std::thread / std::mutex work) against this SDK prefix.
#
# Relocatable: the SDK prefix is the directory this file lives in, so the
# unpacked SDK can sit anywhere.
#   cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE=<sdk>/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_VERSION 10)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(XYH_MINGW_TRIPLE x86_64-w64-mingw32)
get_filename_component(XYH_WIN_SDK_PREFIX "${CMAKE_CURRENT_LIST_DIR}" ABSOLUTE)

set(CMAKE_C_COMPILER   ${XYH_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${XYH_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${XYH_MINGW_TRIPLE}-windres)
# CMake cannot derive the binutils prefix from the "-posix" compiler names.
set(CMAKE_AR      ${XYH_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB  ${XYH_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")
set(CMAKE_NM      ${XYH_MINGW_TRIPLE}-gcc-nm-posix CACHE FILEPATH "")
set(CMAKE_OBJCOPY ${XYH_MINGW_TRIPLE}-objcopy CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${XYH_MINGW_TRIPLE}-objdump CACHE FILEPATH "")
set(CMAKE_STRIP   ${XYH_MINGW_TRIPLE}-strip CACHE FILEPATH "")
set(CMAKE_DLLTOOL ${XYH_MINGW_TRIPLE}-dlltool CACHE FILEPATH "")

# Look for target libraries/headers/packages ONLY in the SDK prefix
# (and the mingw sysroot); programs (moc, rcc, pkg-config...) on the host.
set(CMAKE_FIND_ROOT_PATH "${XYH_WIN_SDK_PREFIX}" /usr/${XYH_MINGW_TRIPLE})
list(APPEND CMAKE_PREFIX_PATH "${XYH_WIN_SDK_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config: only the SDK's .pc files (they are relocatable via ${pcfiledir}).
set(ENV{PKG_CONFIG_LIBDIR} "${XYH_WIN_SDK_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# The SDK's Qt is a cross build: its moc/rcc/uic come from the host Qt 6.4.2
# (Debian: qt6-base-dev-tools). Override on the command line if elsewhere.
if(NOT DEFINED QT_HOST_PATH)
  set(QT_HOST_PATH "/usr" CACHE PATH "Host Qt prefix (moc/rcc/uic)")
endif()
if(NOT DEFINED QT_HOST_PATH_CMAKE_DIR)
  set(QT_HOST_PATH_CMAKE_DIR "/usr/lib/x86_64-linux-gnu/cmake" CACHE PATH "Host Qt CMake dir")
endif()
EOF
}

###############################################################################
# Step 2: Qt 6.4.2 qtbase (Debian qt6-base 6.4.2+dfsg-10), cross, shared, Release
###############################################################################
# Debian's dfsg tarball removes src/3rdparty/wintab (Wacom headers), but the
# qwindows platform plugin #includes <wintab.h> whenever the Gui feature
# "tabletevent" is on. Build the (legacy Wacom) wintab support only if the
# headers exist; QTabletEvent and WM_POINTER pen input stay available.
qtbase_patch_wintab() {
  local w=$1/src/plugins/platforms/windows
  grep -q QT_WINDOWS_WINTAB "$w/CMakeLists.txt" && return 0
  sed -i 's/^#if QT_CONFIG(tabletevent)$/#if QT_CONFIG(tabletevent) \&\& QT_WINDOWS_WINTAB/' "$w/qwindowscontext.cpp"
  sed -i '10s/^#if QT_CONFIG(tabletevent)$/#if QT_CONFIG(tabletevent) \&\& QT_WINDOWS_WINTAB/' "$w/qwindowspointerhandler.cpp"
  python3 - "$w/CMakeLists.txt" <<'PYEOF'
import sys
p = sys.argv[1]; s = open(p).read()
old = """qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent
    SOURCES
        qwindowstabletsupport.cpp qwindowstabletsupport.h
    INCLUDE_DIRECTORIES"""
new = """qt_internal_extend_target(QWindowsIntegrationPlugin CONDITION QT_FEATURE_tabletevent AND EXISTS "${QtBase_SOURCE_DIR}/src/3rdparty/wintab/wintab.h"
    SOURCES
        qwindowstabletsupport.cpp qwindowstabletsupport.h
    DEFINES
        QT_WINDOWS_WINTAB=1
    INCLUDE_DIRECTORIES"""
assert old in s
open(p, 'w').write(s.replace(old, new))
PYEOF
}

s02_qtbase() {
  apt_source qt6-base 'qt6-base-6.4.2*'
  local s; s=$(ls -d "$SRC"/qt6-base-6.4.2*/ | head -1)
  qtbase_patch_wintab "$s"
  # Notes on the flags (Qt 6.4.2 + mingw pitfalls found while building):
  #  - no OpenGL: use INPUT_opengl=no (= configure -no-opengl). FEATURE_opengl=OFF
  #    alone leaves "dynamicgl" on and qwindows.dll fails to compile.
  #  - keep FEATURE_direct2d ON: in 6.4 it also gates Gui's DirectWrite font
  #    engine/database; with it OFF qwindows.dll fails to link
  #    (QWindowsDirectWriteFontDatabase). direct2d1_1=OFF only skips the
  #    qdirect2d platform plugin.
  #  - bundled 3rdparty libs (zlib, pcre2, harfbuzz, libpng, libjpeg, freetype,
  #    double-conversion, md4c) from the dfsg tarball.
  rm -rf "$BLD/qtbase"
  $NICE cmake -G Ninja -S "$s" -B "$BLD/qtbase" \
    -DCMAKE_TOOLCHAIN_FILE="$TC" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=$QT_HOST_CMAKE \
    -DCMAKE_INSTALL_PREFIX="$P" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF -DQT_BUILD_MANUAL_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_direct2d1_1=OFF -DFEATURE_zstd=OFF -DFEATURE_icu=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF \
    -DFEATURE_system_doubleconversion=OFF
  $NICE ninja -C "$BLD/qtbase" -j"$JOBS"
  cmake --install "$BLD/qtbase"
}

###############################################################################
# Step 3: Qt Charts. Debian's qt6-charts 6.4.2-3 source is NOT downloadable from
# the archive mirror used here (404 for the .orig and .debian tarballs), so the
# module is built from Debian's qtcharts-opensource-src 5.15.8-2 sources, ported
# to Qt 6.4.2 (mechanical edits + the patch below) and built with Qt 6's own
# module machinery (Qt6BuildInternals of the cross Qt) -> Qt6Charts.dll,
# Qt6::Charts CMake package, <QtCharts/...> headers. What it lacks against the
# real Qt Charts 6.4.2 (a call to it fails to compile, never silently):
# QColorAxis, QXYSeries point selection/markerSize/best-fit line, QBarSet bar
# selection, QLegend::setInteractive, QAbstractAxis::setTruncateLabels.
###############################################################################
# qtcharts 5.15 -> Qt 6 mechanical port, run inside the port tree (src/charts).
qtcharts_mechanical_port() {
  local d=$1
  ( cd "$d"
    # 1. no QtCharts namespace in Qt 6: classes live in Qt's namespace
    grep -rlE 'QT_CHARTS_(BEGIN|END)_NAMESPACE|QtCharts::|QT_CHARTS_NAMESPACE::' --include='*.h' --include='*.cpp' . \
      | grep -v '^./qchartglobal.h$' \
      | xargs sed -i -e 's/\bQT_CHARTS_BEGIN_NAMESPACE\b/QT_BEGIN_NAMESPACE/' -e 's/\bQT_CHARTS_END_NAMESPACE\b/QT_END_NAMESPACE/' \
                     -e 's/QT_CHARTS_NAMESPACE:://g' -e 's/QtCharts:://g'
    # 2. Qt 6 headers no longer pull in QObject transitively
    python3 - <<'EOF'
import glob, re
for p in glob.glob('**/*.h', recursive=True):
    s = open(p).read()
    if re.search(r'public QObject\b', s) and not re.search(r'#include <(QtCore/)?(QObject|qobject\.h)>', s):
        i = s.index('\nQT_BEGIN_NAMESPACE')
        open(p, 'w').write(s[:i] + '\n#include <QtCore/QObject>' + s[i:])
# 3. Qt 6 moc needs complete types for pointer properties: Q_MOC_INCLUDE
m = {'QAbstractBarSeries': 'QtCharts/qabstractbarseries.h', 'QAbstractItemModel': 'QtCore/qabstractitemmodel.h',
     'QCandlestickSeries': 'QtCharts/qcandlestickseries.h', 'QBoxPlotSeries': 'QtCharts/qboxplotseries.h',
     'QPieSeries': 'QtCharts/qpieseries.h', 'QXYSeries': 'QtCharts/qxyseries.h'}
for p in glob.glob('**/*modelmapper.h', recursive=True):
    s = open(p).read()
    types = [t for t in re.findall(r'Q_PROPERTY\((Q\w+) \*', s) if t in m]
    if types:
        inc = ''.join('    Q_MOC_INCLUDE(<%s>)\n' % m[t] for t in dict.fromkeys(types))
        open(p, 'w').write(s.replace('    Q_OBJECT\n', '    Q_OBJECT\n' + inc, 1))
EOF
  )
}

s03_qtcharts() {
  cd "$SRC"
  [ -d qtcharts-opensource-src-5.15.8 ] || apt-get source qtcharts-opensource-src
  local o=$SRC/qtcharts-opensource-src-5.15.8 port=$SRC/qtcharts-6port
  rm -rf "$port"; mkdir -p "$port/src"
  cp -a "$o/src/charts" "$port/src/"
  cp -a "$o/sync.profile" "$o/LICENSE.GPL3" "$o/README" "$port/"
  rm -rf "$port/src/charts/doc" "$port/src/charts/charts.pro"
  find "$port/src" -name '*.pri' -delete
  qtcharts_mechanical_port "$port/src/charts"
  (cd "$port" && patch -p1 --no-backup-if-mismatch) <<'QTCHARTS_PATCH_EOF'
diff -ruN a/.cmake.conf b/.cmake.conf
--- a/.cmake.conf
+++ b/.cmake.conf
@@ -0,0 +1,2 @@
+set(QT_REPO_MODULE_VERSION "6.4.2")
+set(QT_REPO_MODULE_PRERELEASE_VERSION_SEGMENT "")
diff -ruN a/CMakeLists.txt b/CMakeLists.txt
--- a/CMakeLists.txt
+++ b/CMakeLists.txt
@@ -0,0 +1,13 @@
+# Qt Charts for Qt 6.4.2, built from Debian's qtcharts-opensource-src 5.15.8
+# sources ported to Qt 6 (see scripts/win-sdk.sh). Uses Qt's own module build
+# machinery (Qt6BuildInternals), like the upstream Qt 6 qtcharts repository.
+cmake_minimum_required(VERSION 3.16)
+include(.cmake.conf)
+project(QtCharts
+    VERSION "${QT_REPO_MODULE_VERSION}"
+    DESCRIPTION "Qt Charts Libraries (5.15.8 sources ported to Qt 6)"
+    HOMEPAGE_URL "https://qt.io/"
+    LANGUAGES CXX C)
+find_package(Qt6 ${PROJECT_VERSION} CONFIG REQUIRED COMPONENTS BuildInternals Core Gui Widgets)
+find_package(Qt6 ${PROJECT_VERSION} QUIET CONFIG OPTIONAL_COMPONENTS OpenGL OpenGLWidgets)
+qt_build_repo()
diff -ruN a/src/CMakeLists.txt b/src/CMakeLists.txt
--- a/src/CMakeLists.txt
+++ b/src/CMakeLists.txt
@@ -0,0 +1 @@
+add_subdirectory(charts)
diff -ruN a/src/charts/CMakeLists.txt b/src/charts/CMakeLists.txt
--- a/src/charts/CMakeLists.txt
+++ b/src/charts/CMakeLists.txt
@@ -0,0 +1,27 @@
+file(GLOB_RECURSE charts_sources RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}"
+     CONFIGURE_DEPENDS "*.cpp" "*.h")
+list(FILTER charts_sources EXCLUDE REGEX "^glwidget")
+file(GLOB charts_subdirs LIST_DIRECTORIES true RELATIVE "${CMAKE_CURRENT_SOURCE_DIR}" "*")
+set(charts_include_dirs)
+foreach(d IN LISTS charts_subdirs)
+    if(IS_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}/${d}")
+        list(APPEND charts_include_dirs "${d}")
+    endif()
+endforeach()
+
+qt_internal_add_module(Charts
+    SOURCES ${charts_sources}
+    INCLUDE_DIRECTORIES ${charts_include_dirs}
+    PUBLIC_LIBRARIES
+        Qt::Core
+        Qt::Gui
+        Qt::Widgets
+)
+
+qt_internal_extend_target(Charts CONDITION QT_FEATURE_opengl AND TARGET Qt::OpenGLWidgets
+    SOURCES glwidget.cpp glwidget_p.h
+    PUBLIC_LIBRARIES Qt::OpenGL Qt::OpenGLWidgets
+)
+qt_internal_extend_target(Charts CONDITION WIN32
+    LIBRARIES user32
+)
diff -ruN a/src/charts/areachart/qareaseries.cpp b/src/charts/areachart/qareaseries.cpp
--- a/src/charts/areachart/qareaseries.cpp
+++ b/src/charts/areachart/qareaseries.cpp
@@ -701,7 +701,7 @@
     QLineSeries *lowerSeries = q->lowerSeries();
 
     if (upperSeries) {
-        const QVector<QPointF> &points = upperSeries->pointsVector();
+        const QVector<QPointF> &points = upperSeries->points();
 
         if (!points.isEmpty()) {
             minX = points[0].x();
@@ -720,7 +720,7 @@
         }
     }
     if (lowerSeries) {
-        const QVector<QPointF> &points = lowerSeries->pointsVector();
+        const QVector<QPointF> &points = lowerSeries->points();
 
         if (!points.isEmpty()) {
             if (!upperSeries) {
diff -ruN a/src/charts/domain/abstractdomain_p.h b/src/charts/domain/abstractdomain_p.h
--- a/src/charts/domain/abstractdomain_p.h
+++ b/src/charts/domain/abstractdomain_p.h
@@ -43,8 +43,8 @@
 #include <QtCore/QRectF>
 #include <QtCore/QSizeF>
 #include <QtCore/QDebug>
-
 #include <QtCore/QObject>
+
 QT_BEGIN_NAMESPACE
 
 class QAbstractAxis;
diff -ruN a/src/charts/glwidget.cpp b/src/charts/glwidget.cpp
--- a/src/charts/glwidget.cpp
+++ b/src/charts/glwidget.cpp
@@ -32,9 +32,9 @@
 #include "private/glwidget_p.h"
 #include "private/glxyseriesdata_p.h"
 #include "private/qabstractseries_p.h"
-#include <QtGui/QOpenGLShaderProgram>
+#include <QtOpenGL/QOpenGLShaderProgram>
 #include <QtGui/QOpenGLContext>
-#include <QtGui/QOpenGLBuffer>
+#include <QtOpenGL/QOpenGLBuffer>
 
 //#define QDEBUG_TRACE_GL_FPS
 #ifdef QDEBUG_TRACE_GL_FPS
diff -ruN a/src/charts/glwidget_p.h b/src/charts/glwidget_p.h
--- a/src/charts/glwidget_p.h
+++ b/src/charts/glwidget_p.h
@@ -41,12 +41,12 @@
 
 #ifndef QT_NO_OPENGL
 
-#include <QtWidgets/QOpenGLWidget>
+#include <QtOpenGLWidgets/QOpenGLWidget>
 #include <QtWidgets/QGraphicsView>
 #include <QtGui/QOpenGLFunctions>
-#include <QtGui/QOpenGLVertexArrayObject>
-#include <QtGui/QOpenGLBuffer>
-#include <QtGui/QOpenGLFramebufferObject>
+#include <QtOpenGL/QOpenGLVertexArrayObject>
+#include <QtOpenGL/QOpenGLBuffer>
+#include <QtOpenGL/QOpenGLFramebufferObject>
 #include <QtCore/QHash>
 #include <QtCharts/QAbstractSeries>
 #include <QtCharts/QXYSeries>
diff -ruN a/src/charts/qchartglobal.h b/src/charts/qchartglobal.h
--- a/src/charts/qchartglobal.h
+++ b/src/charts/qchartglobal.h
@@ -54,24 +54,11 @@
 
 #define Q_CHARTS_AUTOTEST_EXPORT Q_AUTOTEST_EXPORT
 
-#ifndef Q_CLANG_QDOC
-#define QT_CHARTS_NAMESPACE QtCharts
-#endif
-
-#ifdef QT_CHARTS_NAMESPACE
-#  define QT_CHARTS_BEGIN_NAMESPACE namespace QT_CHARTS_NAMESPACE {
-#  define QT_CHARTS_END_NAMESPACE }
-#  define QT_CHARTS_USE_NAMESPACE using namespace QT_CHARTS_NAMESPACE;
-#else
-#  define QT_CHARTS_BEGIN_NAMESPACE
-#  define QT_CHARTS_END_NAMESPACE
-#  define QT_CHARTS_USE_NAMESPACE
-#endif
-
-// Make sure we have used the namespace at least once to avoid compile errors when including
-// the QtCharts umbrella header.
-QT_CHARTS_BEGIN_NAMESPACE
-QT_CHARTS_END_NAMESPACE
+// Qt 6: the QtCharts namespace is gone, the classes live in Qt's namespace.
+// The old macros stay defined for source compatibility with Qt 5 code.
+#define QT_CHARTS_BEGIN_NAMESPACE QT_BEGIN_NAMESPACE
+#define QT_CHARTS_END_NAMESPACE QT_END_NAMESPACE
+#define QT_CHARTS_USE_NAMESPACE
 
 /*
     On Windows min and max conflict with standard macros
diff -ruN a/src/charts/xychart/glxyseriesdata.cpp b/src/charts/xychart/glxyseriesdata.cpp
--- a/src/charts/xychart/glxyseriesdata.cpp
+++ b/src/charts/xychart/glxyseriesdata.cpp
@@ -99,7 +99,7 @@
     QMatrix4x4 matrix;
     if (logAxis) {
         // Use domain to resolve geometry points. Not as fast as shaders, but simpler that way
-        QVector<QPointF> geometryPoints = domain->calculateGeometryPoints(series->pointsVector());
+        QVector<QPointF> geometryPoints = domain->calculateGeometryPoints(series->points());
         const float height = domain->size().height();
         if (geometryPoints.size()) {
             for (int i = 0; i < count; i++) {
@@ -129,7 +129,7 @@
         const qreal yd = domain->maxY() - my;
 
         if (!qFuzzyIsNull(xd) && !qFuzzyIsNull(yd)) {
-            const QVector<QPointF> seriesPoints = series->pointsVector();
+            const QVector<QPointF> seriesPoints = series->points();
             for (const QPointF &point : seriesPoints) {
                 array[index++] = float((point.x() - mx) / xd);
                 array[index++] = float((point.y() - my) / yd);
diff -ruN a/src/charts/xychart/qxyseries.cpp b/src/charts/xychart/qxyseries.cpp
--- a/src/charts/xychart/qxyseries.cpp
+++ b/src/charts/xychart/qxyseries.cpp
@@ -592,18 +592,6 @@
     }
 }
 
-/*!
-  Replaces the current points with the points specified by \a points.
-  \note This is much faster than replacing data points one by one,
-  or first clearing all data, and then appending the new data. Emits QXYSeries::pointsReplaced()
-  when the points have been replaced. However, note that using the overload that takes
-  \c{QVector<QPointF>} as parameter is faster than using this overload.
-  \sa pointsReplaced()
-*/
-void QXYSeries::replace(QList<QPointF> points)
-{
-    replace(points.toVector());
-}
 
 /*!
   Replaces the current points with the points specified by \a points.
@@ -612,7 +600,7 @@
   when the points have been replaced.
   \sa pointsReplaced()
 */
-void QXYSeries::replace(QVector<QPointF> points)
+void QXYSeries::replace(const QList<QPointF> &points)
 {
     Q_D(QXYSeries);
     d->m_points = points;
@@ -695,23 +683,24 @@
 
 /*!
     Returns the points in the series as a list.
-    Use pointsVector() for better performance.
 */
 QList<QPointF> QXYSeries::points() const
 {
     Q_D(const QXYSeries);
-    return d->m_points.toList();
+    return d->m_points;
 }
 
 /*!
     Returns the points in the series as a vector.
     This is more efficient than calling points().
 */
-QVector<QPointF> QXYSeries::pointsVector() const
+#if QT_DEPRECATED_SINCE(6, 0)
+QList<QPointF> QXYSeries::pointsVector() const
 {
     Q_D(const QXYSeries);
     return d->m_points;
 }
+#endif
 
 /*!
     Returns the data point at the position specified by \a index in the internal
@@ -938,7 +927,7 @@
 
     Q_Q(QXYSeries);
 
-    const QVector<QPointF> &points = q->pointsVector();
+    const QVector<QPointF> &points = q->points();
 
     if (!points.isEmpty()) {
         minX = points[0].x();
diff -ruN a/src/charts/xychart/qxyseries.h b/src/charts/xychart/qxyseries.h
--- a/src/charts/xychart/qxyseries.h
+++ b/src/charts/xychart/qxyseries.h
@@ -76,7 +76,10 @@
 
     int count() const;
     QList<QPointF> points() const;
-    QVector<QPointF> pointsVector() const;
+#if QT_DEPRECATED_SINCE(6, 0)
+    QT_DEPRECATED_X("Use points() instead")
+    QList<QPointF> pointsVector() const;
+#endif
     const QPointF &at(int index) const;
 
     QXYSeries &operator << (const QPointF &point);
@@ -109,8 +112,7 @@
     void setPointLabelsClipping(bool enabled = true);
     bool pointLabelsClipping() const;
 
-    void replace(QList<QPointF> points);
-    void replace(QVector<QPointF> points);
+    void replace(const QList<QPointF> &points);
 
 Q_SIGNALS:
     void clicked(const QPointF &point);
diff -ruN a/src/charts/xychart/xychart.cpp b/src/charts/xychart/xychart.cpp
--- a/src/charts/xychart/xychart.cpp
+++ b/src/charts/xychart/xychart.cpp
@@ -147,10 +147,10 @@
     } else {
         QVector<QPointF> points;
         if (m_dirty || m_points.isEmpty()) {
-            points = domain()->calculateGeometryPoints(m_series->pointsVector());
+            points = domain()->calculateGeometryPoints(m_series->points());
         } else {
             points = m_points;
-            QPointF point = domain()->calculateGeometryPoint(m_series->pointsVector().at(index),
+            QPointF point = domain()->calculateGeometryPoint(m_series->points().at(index),
                                                              m_validData);
             if (!m_validData)
                 m_points.clear();
@@ -171,7 +171,7 @@
     } else {
         QVector<QPointF> points;
         if (m_dirty || m_points.isEmpty()) {
-            points = domain()->calculateGeometryPoints(m_series->pointsVector());
+            points = domain()->calculateGeometryPoints(m_series->points());
         } else {
             points = m_points;
             points.remove(index);
@@ -190,7 +190,7 @@
     } else {
         QVector<QPointF> points;
         if (m_dirty || m_points.isEmpty()) {
-            points = domain()->calculateGeometryPoints(m_series->pointsVector());
+            points = domain()->calculateGeometryPoints(m_series->points());
         } else {
             points = m_points;
             points.remove(index, count);
@@ -209,9 +209,9 @@
     } else {
         QVector<QPointF> points;
         if (m_dirty || m_points.isEmpty()) {
-            points = domain()->calculateGeometryPoints(m_series->pointsVector());
+            points = domain()->calculateGeometryPoints(m_series->points());
         } else {
-            QPointF point = domain()->calculateGeometryPoint(m_series->pointsVector().at(index),
+            QPointF point = domain()->calculateGeometryPoint(m_series->points().at(index),
                                                              m_validData);
             if (!m_validData)
                 m_points.clear();
@@ -229,7 +229,7 @@
         updateGlChart();
     } else {
         // All the points were replaced -> recalculate
-        QVector<QPointF> points = domain()->calculateGeometryPoints(m_series->pointsVector());
+        QVector<QPointF> points = domain()->calculateGeometryPoints(m_series->points());
         updateChart(m_points, points, -1);
     }
 }
@@ -240,7 +240,7 @@
         updateGlChart();
     } else {
         if (isEmpty()) return;
-        QVector<QPointF> points = domain()->calculateGeometryPoints(m_series->pointsVector());
+        QVector<QPointF> points = domain()->calculateGeometryPoints(m_series->points());
         updateChart(m_points, points);
     }
 }
diff -ruN a/sync.profile b/sync.profile
--- a/sync.profile
+++ b/sync.profile
@@ -1,5 +1,5 @@
 %modules = ( # path to module name map
-    "QtCharts" => "$basedir/src/charts;^$basedir/src/chartsqml2",
+    "QtCharts" => "$basedir/src/charts",
 );
 %moduleheaders = ( # restrict the module headers to those found in relative path
 );
QTCHARTS_PATCH_EOF
  rm -rf "$BLD/qtcharts"
  $NICE cmake -G Ninja -S "$port" -B "$BLD/qtcharts" -DCMAKE_TOOLCHAIN_FILE="$TC" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=$QT_HOST_CMAKE \
    -DCMAKE_INSTALL_PREFIX="$P" -DCMAKE_BUILD_TYPE=Release \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  $NICE ninja -C "$BLD/qtcharts" -j"$JOBS"
  cmake --install "$BLD/qtcharts"
}

###############################################################################
# Step 4: small libraries
###############################################################################
# SQLite 3.40.1 (Debian sqlite3 3.40.1-2+deb12u2) as a DLL (libsqlite3-0.dll),
# amalgamation generated on the host (needs tclsh), Debian's compile options.
SQLITE_DEFS="-DSQLITE_SECURE_DELETE -DSQLITE_ENABLE_COLUMN_METADATA \
 -DSQLITE_ENABLE_FTS3 -DSQLITE_ENABLE_FTS3_PARENTHESIS -DSQLITE_ENABLE_FTS4 -DSQLITE_ENABLE_FTS5 \
 -DSQLITE_ENABLE_RTREE=1 -DSQLITE_SOUNDEX=1 -DSQLITE_ENABLE_UNLOCK_NOTIFY \
 -DSQLITE_OMIT_LOOKASIDE=1 -DSQLITE_ENABLE_DBSTAT_VTAB -DSQLITE_ALLOW_ROWID_IN_VIEW \
 -DSQLITE_ENABLE_UPDATE_DELETE_LIMIT=1 -DSQLITE_ENABLE_LOAD_EXTENSION -DSQLITE_ENABLE_JSON1 \
 -DSQLITE_LIKE_DOESNT_MATCH_BLOBS -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_FTS3_TOKENIZER=1 \
 -DSQLITE_USE_URI=1 -DSQLITE_MAX_SCHEMA_RETRY=25 -DSQLITE_ENABLE_PREUPDATE_HOOK \
 -DSQLITE_ENABLE_SESSION -DSQLITE_ENABLE_STMTVTAB -DSQLITE_MAX_VARIABLE_NUMBER=250000"
s04_sqlite() {
  apt_source sqlite3 'sqlite3-3.40.1'
  local b=$BLD/sqlite
  rm -rf "$b"; mkdir -p "$b"; cd "$b"
  $NICE "$SRC/sqlite3-3.40.1/configure" --disable-tcl
  $NICE make -j"$JOBS" sqlite3.c sqlite3.h sqlite3ext.h
  # shellcheck disable=SC2086
  $NICE $T-gcc-posix -O2 -fno-strict-aliasing $SQLITE_DEFS -shared sqlite3.c \
    -o libsqlite3-0.dll -Wl,--out-implib,libsqlite3.dll.a
  install -D -m644 sqlite3.h sqlite3ext.h -t "$P/include"
  install -D -m755 libsqlite3-0.dll -t "$P/bin"
  install -D -m644 libsqlite3.dll.a -t "$P/lib"
  mkdir -p "$P/lib/pkgconfig"
  cat > "$P/lib/pkgconfig/sqlite3.pc" <<'EOF'
prefix=${pcfiledir}/../..
exec_prefix=${prefix}
libdir=${prefix}/lib
includedir=${prefix}/include

Name: SQLite
Description: SQL database engine (Debian sqlite3 3.40.1-2+deb12u2, mingw-w64 DLL libsqlite3-0.dll)
Version: 3.40.1
Libs: -L${libdir} -lsqlite3
Cflags: -I${includedir}
EOF
}

# jsoncpp 1.9.5 (Debian libjsoncpp 1.9.5-4), DLL
s04_jsoncpp() {
  apt_source libjsoncpp 'libjsoncpp-1.9.5'
  rm -rf "$BLD/jsoncpp"
  cmake_cross "$SRC/libjsoncpp-1.9.5" "$BLD/jsoncpp" \
    -DBUILD_SHARED_LIBS=ON -DBUILD_STATIC_LIBS=OFF -DBUILD_OBJECT_LIBS=OFF \
    -DJSONCPP_WITH_TESTS=OFF -DJSONCPP_WITH_POST_BUILD_UNITTEST=OFF \
    -DJSONCPP_WITH_PKGCONFIG_SUPPORT=ON -DJSONCPP_WITH_CMAKE_PACKAGE=ON
  pc_relocatable "$P/lib/pkgconfig/jsoncpp.pc"
}

# libqrencode 4.1.1 (Debian qrencode 4.1.1-1; only the .orig tarball could be
# downloaded here, the Debian diff was 404 - it carries no source patches we need)
s04_qrencode() {
  cd "$SRC"
  if [ ! -d qrencode-4.1.1 ]; then
    apt-get source --download-only qrencode || true   # .debian.tar.xz may be missing
    tar xjf qrencode_4.1.1.orig.tar.bz2
  fi
  rm -rf "$BLD/qrencode"
  cmake_cross "$SRC/qrencode-4.1.1" "$BLD/qrencode" \
    -DBUILD_SHARED_LIBS=ON -DWITH_TOOLS=NO -DWITH_TESTS=NO
  # upstream installs the DLL into lib/: move it to bin/
  if [ -f "$P/lib/libqrencode.dll" ]; then mv -f "$P/lib/libqrencode.dll" "$P/bin/"; fi
  pc_relocatable "$P/lib/pkgconfig/libqrencode.pc"
}

# Gumbo 0.10.1. Debian's gumbo-parser 0.10.1+dfsg-5 source was 404 on the
# archive mirror; the identical upstream 0.10.1 tree is vendored in the npm
# package gumbo-parser@0.3.0 (deps/gumbo-parser). Built as libgumbo-1.dll with
# a small CMakeLists (upstream uses autotools).
s04_gumbo() {
  cd "$SRC"
  if [ ! -d gumbo-0.10.1 ]; then
    if ! apt-get source gumbo-parser; then
      [ -f gumbo-parser-0.3.0.tgz ] || npm pack gumbo-parser@0.3.0
      echo "d47101b5182186c4646f7eba5107308dbf93392621ae8c12bd35a7d867c8e913  gumbo-parser-0.3.0.tgz" | sha256sum -c
      mkdir -p gumbo-0.10.1
      tar xzf gumbo-parser-0.3.0.tgz -C gumbo-0.10.1 --strip-components=3 package/deps/gumbo-parser
    else
      mv gumbo-parser-0.10.1 gumbo-0.10.1
    fi
  fi
  cat > "$SRC/gumbo-0.10.1/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.16)
project(gumbo VERSION 0.10.1 LANGUAGES C)
file(GLOB gumbo_src src/*.c)
add_library(gumbo SHARED ${gumbo_src})
set_target_properties(gumbo PROPERTIES C_STANDARD 99 RUNTIME_OUTPUT_NAME gumbo-1)
target_include_directories(gumbo PUBLIC $<BUILD_INTERFACE:${CMAKE_CURRENT_SOURCE_DIR}/src> $<INSTALL_INTERFACE:include>)
include(GNUInstallDirs)
install(TARGETS gumbo EXPORT gumboTargets RUNTIME DESTINATION bin ARCHIVE DESTINATION lib LIBRARY DESTINATION lib)
install(FILES src/gumbo.h src/tag_enum.h DESTINATION include)
install(EXPORT gumboTargets NAMESPACE gumbo:: DESTINATION lib/cmake/gumbo FILE gumboConfig.cmake)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/gumbo.pc "prefix=\${pcfiledir}/../..\nexec_prefix=\${prefix}\nlibdir=\${prefix}/lib\nincludedir=\${prefix}/include\n\nName: gumbo\nDescription: Google's HTML5 parser library (0.10.1)\nVersion: 0.10.1\nLibs: -L\${libdir} -lgumbo\nCflags: -I\${includedir}\n")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/gumbo.pc DESTINATION lib/pkgconfig)
EOF
  rm -rf "$BLD/gumbo"
  cmake_cross "$SRC/gumbo-0.10.1" "$BLD/gumbo"
}

# curl 7.88.1 (Debian curl 7.88.1-10+deb12u15) as libcurl-4.dll with Schannel
s04_curl() {
  apt_source curl 'curl-7.88.1'
  rm -rf "$BLD/curl"
  cmake_cross "$SRC/curl-7.88.1" "$BLD/curl" \
    -DBUILD_SHARED_LIBS=ON -DBUILD_CURL_EXE=OFF -DBUILD_TESTING=OFF -DENABLE_MANUAL=OFF \
    -DCURL_USE_SCHANNEL=ON -DCURL_USE_OPENSSL=OFF -DCURL_USE_LIBSSH2=OFF -DCURL_USE_LIBPSL=OFF \
    -DCURL_ZLIB=OFF -DCURL_BROTLI=OFF -DCURL_ZSTD=OFF -DUSE_NGHTTP2=OFF -DUSE_LIBIDN2=OFF \
    -DCURL_DISABLE_LDAP=ON -DCURL_DISABLE_LDAPS=ON -DENABLE_UNICODE=ON \
    -DCURL_CA_BUNDLE=none -DCURL_CA_PATH=none
  pc_relocatable "$P/lib/pkgconfig/libcurl.pc"
  rm -f "$P/bin/curl-config"
}

# GoogleTest/GoogleMock 1.12.1 from /usr/src/googletest (Debian googletest
# 1.12.1-0.2), static libraries (gtest, gtest_main, gmock, gmock_main)
s04_gtest() {
  [ -d /usr/src/googletest ] || apt-get install -y googletest
  rm -rf "$BLD/googletest"
  cmake_cross /usr/src/googletest "$BLD/googletest" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
  pc_relocatable "$P"/lib/pkgconfig/gtest*.pc "$P"/lib/pkgconfig/gmock*.pc
}

# tl::expected 1.0.0 header-only (Debian libexpected-dev 1.0.0~dfsg-3) + CMake config
s04_expected() {
  dpkg -s libexpected-dev > /dev/null 2>&1 || apt-get install -y libexpected-dev
  install -D -m644 /usr/include/tl/expected.hpp "$P/include/tl/expected.hpp"
  mkdir -p "$P/share/cmake/tl-expected"
  cp /usr/share/cmake/tl-expected/*.cmake "$P/share/cmake/tl-expected/"
}

# Optional: OpenSSL 3.0.20 libcrypto (Debian openssl 3.0.20-1~deb12u2) as
# libcrypto-3-x64.dll; no libssl, no apps/tests (3.0 has no "no-apps"/"no-docs").
s04_openssl() {
  # The newest security release's source may not be on the mirror yet (404):
  # then the next older version the archive lists.
  cd "$SRC"
  if ! compgen -G 'openssl-3.0.*' > /dev/null; then
    local v
    for v in $(apt-cache showsrc openssl | sed -n 's/^Version: //p' | sort -rV); do
      apt-get source "openssl=$v" && break
    done
  fi
  local s; s=$(ls -d "$SRC"/openssl-3.0.*/ | head -1)
  rm -rf "$BLD/openssl"; mkdir -p "$BLD/openssl"; cd "$BLD/openssl"
  $NICE "$s/Configure" mingw64 --cross-compile-prefix=$T- --prefix="$P" --libdir=lib \
    shared no-tests no-module no-legacy
  $NICE make -j"$JOBS" build_generated
  $NICE make -j"$JOBS" libcrypto-3-x64.dll libcrypto.dll.a
  install -D -m755 libcrypto-3-x64.dll -t "$P/bin"
  install -D -m644 libcrypto.dll.a -t "$P/lib"
  mkdir -p "$P/include/openssl"
  cp "$s"/include/openssl/*.h "$P/include/openssl/"
  cp include/openssl/*.h "$P/include/openssl/"            # generated ones (opensslv.h, ...)
  local v; v=$(sed -n 's/^# *define OPENSSL_VERSION_STR "\(.*\)"/\1/p' include/openssl/opensslv.h)
  printf '%s\n' 'prefix=${pcfiledir}/../..' 'exec_prefix=${prefix}' 'libdir=${prefix}/lib' \
    'includedir=${prefix}/include' '' 'Name: OpenSSL-libcrypto' \
    'Description: OpenSSL cryptography library (libcrypto-3-x64.dll)' "Version: $v" \
    'Libs: -L${libdir} -lcrypto' 'Libs.private: -lws2_32 -lgdi32 -lcrypt32' \
    'Cflags: -I${includedir}' > "$P/lib/pkgconfig/libcrypto.pc"
}

###############################################################################
# Step 5: mingw runtime DLLs (posix thread model)
###############################################################################
s05_runtime() {
  local d
  d=$(dirname "$($T-g++-posix -print-libgcc-file-name)")
  cp -f "$d/libstdc++-6.dll" "$d/libgcc_s_seh-1.dll" "$P/bin/"
  cp -f /usr/$T/lib/libwinpthread-1.dll "$P/bin/"
}

###############################################################################
# Step 6: a smoke test under wine: one program that uses every library
###############################################################################
# smoke SDK_DIR WORK: builds the program against SDK_DIR and runs it under wine
# with only SDK_DIR/bin on the DLL path, so a missing or misnamed DLL fails here.
smoke() {
  local sdk=$1 work=$2
  rm -rf "$work"; mkdir -p "$work/src"
  cat > "$work/src/CMakeLists.txt" <<'CMEOF'
cmake_minimum_required(VERSION 3.16)
project(sdk_smoke LANGUAGES C CXX)
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_AUTOMOC ON)
find_package(Qt6 REQUIRED COMPONENTS Widgets Charts Test)
find_package(SQLite3 REQUIRED)
find_package(CURL CONFIG REQUIRED)
find_package(GTest CONFIG REQUIRED)
find_package(tl-expected CONFIG REQUIRED)
find_package(PkgConfig REQUIRED)
pkg_check_modules(DEPS REQUIRED IMPORTED_TARGET jsoncpp gumbo libqrencode libcrypto)
add_executable(sdk_smoke smoke.cpp)
target_link_libraries(sdk_smoke PRIVATE Qt6::Widgets Qt6::Charts SQLite::SQLite3 CURL::libcurl
                      GTest::gtest tl::expected PkgConfig::DEPS)
CMEOF
  cat > "$work/src/smoke.cpp" <<'CPPEOF'
// Each library once, the way the program uses it; Chinese text through each.
#include <QApplication>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChartView>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <gumbo.h>
#include <json/json.h>
#include <openssl/evp.h>
#include <qrencode.h>
#include <sqlite3.h>
#include <tl/expected.hpp>
#include <string>

TEST(Sdk, SqliteChineseFileName) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open("\xE6\x95\xB0\xE6\x8D\xAE.db", &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, "PRAGMA journal_mode=WAL; CREATE TABLE IF NOT EXISTS t(x)", nullptr,
                         nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
}
TEST(Sdk, CurlSchannel) {
  const curl_version_info_data* v = curl_version_info(CURLVERSION_NOW);
  EXPECT_NE(std::string(v->ssl_version).find("Schannel"), std::string::npos) << v->ssl_version;
}
TEST(Sdk, Md5) {
  unsigned char d[16]; unsigned n = 0;
  ASSERT_EQ(EVP_Digest("abc", 3, d, &n, EVP_md5(), nullptr), 1);
  EXPECT_EQ(n, 16u); EXPECT_EQ(d[0], 0x90); EXPECT_EQ(d[15], 0x72);
}
TEST(Sdk, JsonGumboQr) {
  Json::Value v; v["k"] = "\xE7\xBA\xA2"; EXPECT_EQ(v["k"].asString().size(), 3u);
  GumboOutput* out = gumbo_parse("<td>\xE7\xBA\xA2</td>");
  ASSERT_NE(out, nullptr); gumbo_destroy_output(&kGumboDefaultOptions, out);
  QRcode* qr = QRcode_encodeString("58", 0, QR_ECLEVEL_M, QR_MODE_8, 1);
  ASSERT_NE(qr, nullptr); EXPECT_GT(qr->width, 0); QRcode_free(qr);
  tl::expected<int, int> e = 1; EXPECT_TRUE(e.has_value());
}
TEST(Sdk, ChartRenders) {
  auto* set = new QBarSet(QString::fromUtf8("\xE7\xBA\xA2\xE7\x90\x83"));
  *set << 1 << 2 << 3;
  auto* series = new QBarSeries; series->append(set);
  QChartView view; view.chart()->addSeries(series); view.resize(320, 200);
  EXPECT_FALSE(view.grab().isNull());
  EXPECT_EQ(set->count(), 3);
}
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
CPPEOF
  cmake -G Ninja -S "$work/src" -B "$work/build" -DCMAKE_TOOLCHAIN_FILE="$sdk/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release
  $NICE cmake --build "$work/build"
  mkdir -p "$work/wine"
  ( cd "$work/build" && WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=d" \
      WINEPATH="$(WINEPREFIX="$work/wine" winepath -w "$sdk/bin")" \
      WINEQT_PLUGIN_PATH="$(WINEPREFIX="$work/wine" winepath -w "$sdk/plugins")" \
      WINEQT_QPA_PLATFORM=minimal LANG=zh_CN.UTF-8 timeout 300 wine ./sdk_smoke.exe )
}

s06_smoke() { smoke "$P" "$W/smoke-run"; }

###############################################################################
# Step 7: relocatable, stripped tarball + check it from another folder
###############################################################################
PKGNAME=xyh-win-sdk-qt6.4.2-mingw64
s07_package() {
  local st=$BLD/pkg/$PKGNAME f
  rm -rf "$BLD/pkg"; mkdir -p "$st"
  cp -a "$P/." "$st/"
  # not needed to build/run Qt 6 programs with CMake (qmake is not supported)
  rm -rf "$st/doc" "$st/share/doc" "$st/share/man"
  find "$st/bin" -maxdepth 1 -type f ! -name '*.dll' ! -name qt-cmake -delete
  find "$st/mkspecs" -mindepth 1 -maxdepth 1 -type d \
    ! -name common ! -name features ! -name modules ! -name win32-g++ -exec rm -rf {} +
  # strip: DLLs and plugins, static libs (debug sections only)
  find "$st" -name '*.dll' -exec $T-strip --strip-unneeded {} +
  find "$st" -name '*.a' ! -name '*.dll.a' -exec $T-strip --strip-debug {} +
  # relocatable: all .pc files use ${pcfiledir}; Qt's qt.toolchain.cmake
  # (used by bin/qt-cmake) chain-loads our toolchain file relative to itself
  for f in "$st"/lib/pkgconfig/*.pc; do
    sed -i -e "s|^prefix=.*|prefix=\${pcfiledir}/../..|" -e "s|$P|\${prefix}|g" "$f"
  done
  # Qt 6.4 writes a broken generator expression into Qt6Platform.pc ("-D_UNICODE>")
  sed -i 's/ -D_UNICODE>$/ -DUNICODE -D_UNICODE/' "$st/lib/pkgconfig/Qt6Platform.pc"
  sed -i "s|\"$P/mingw-w64-x86_64.cmake\"|\"\${CMAKE_CURRENT_LIST_DIR}/../../../mingw-w64-x86_64.cmake\"|" \
    "$st/lib/cmake/Qt6/qt.toolchain.cmake"
  # fail if a CMake/pkg-config file still points at the build prefix
  # (QtBuildInternalsExtra.cmake only keeps it to detect relocation)
  if grep -rIl "$P" "$st" --include='*.cmake' --include='*.pc' | grep -v QtBuildInternalsExtra.cmake; then
    echo "absolute build paths left (see above)"; return 1
  fi
  mkdir -p "$OUT"
  XZ_OPT="-9 -T$JOBS" tar -C "$BLD/pkg" -cJf "$TARBALL" "$PKGNAME"
  du -sh --apparent-size "$st" "$TARBALL"
  du -sh "$st"
}

s07_verify() {
  # unpack elsewhere, hide the build prefix so any absolute reference fails,
  # then rebuild + run smoke tests (a) console libs and (c) Qt Widgets/Charts.
  local v=$W/verify/any/other/place
  rm -rf "$W/verify"; mkdir -p "$v"
  tar -C "$v" -xJf "$TARBALL"
  mv "$P" "$P.hidden"
  local rc=0
  smoke "$v/$PKGNAME" "$W/verify/run" || rc=$?
  mv "$P.hidden" "$P"
  return $rc
}

###############################################################################
main() {
  if [ $# -gt 0 ]; then
    for s in "$@"; do FORCE=1 run_step "$s" "$s"; done
    return
  fi
  run_step s01_packages s01_packages
  run_step s01_toolchain s01_toolchain
  run_step s02_qtbase s02_qtbase
  run_step s03_qtcharts s03_qtcharts
  run_step s04_sqlite s04_sqlite
  run_step s04_jsoncpp s04_jsoncpp
  run_step s04_qrencode s04_qrencode
  run_step s04_gumbo s04_gumbo
  run_step s04_curl s04_curl
  run_step s04_gtest s04_gtest
  run_step s04_expected s04_expected
  run_step s04_openssl s04_openssl
  run_step s05_runtime s05_runtime
  run_step s06_smoke s06_smoke
  run_step s07_package s07_package
  run_step s07_verify s07_verify
  cat "$LOG/timings.txt"
}
main "$@"
