#!/usr/bin/env bash
# Makes the two Windows packages from a build of the windows preset:
#   packaging/windows/package.sh BUILD_DIR SDK_DIR OUT_DIR
# -> OUT_DIR/xyh-VERSION-win64.zip        the portable program: unpacked
#                                          anywhere, it keeps its data beside
#                                          xyh.exe (src\data\xyh.db, config.ini)
#    OUT_DIR/xyh-VERSION-win64-setup.exe  the installer of the same files
# Both hold the programs, exactly the DLLs they load (their import tables,
# followed through every DLL, and the libraries the programs open on first
# use), the Qt plugins, Qt's Chinese texts, the help, the 周易 text and the
# licences.
set -euo pipefail
build=$(realpath "$1")
sdk=$(realpath "$2")
mkdir -p "$3"
out=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
objdump=x86_64-w64-mingw32-objdump
strip=x86_64-w64-mingw32-strip

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ -n "$version" ] || { echo "no project version in $build/CMakeCache.txt" >&2; exit 1; }
name=xyh-$version-win64
work=$out/.$name
stage=$work/$name
meta=$work/meta
rm -rf "$work"
mkdir -p "$stage" "$meta"

fail() { echo "package.sh: $*" >&2; exit 1; }

# The DLLs a PE file names in its import table.
imports() { "$objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p'; }
# The DLL names a program of ours holds as text (ASCII or UTF-16): the
# libraries it opens itself with LoadLibraryW, which no import table shows.
# A name may run on from the bytes before it (a QStringLiteral's header
# reads as a letter), so the longest tail of it that names a DLL is taken.
opened() {
  local word i
  { strings -a "$1"; strings -a -el "$1"; } | grep -oiE '[A-Za-z0-9_.+-]+\.dll' | sort -u |
    while read -r word; do
      for ((i = 0; i < ${#word} - 4; i++)); do
        if [ -n "$(locate "${word:i}")" ]; then
          echo "${word:i}"
          break
        fi
      done
    done
}
# Where a DLL of that name comes from: our build (the programs' folder, or the
# top of the build for a module), else the SDK. A name found
# in neither is Windows' own (kernel32, user32, …) and is not shipped.
locate() {
  local f
  for f in "$build/bin/$1" "$build/$1" "$sdk/bin/$1"; do
    [ -f "$f" ] && { echo "$f"; return; }
  done
  # Windows matches DLL names without regard to case.
  find "$build/bin" "$build" "$sdk/bin" -maxdepth 1 -iname "$1" -print -quit
}

declare -A shipped=()
queue=()
add_dll() {
  local path key
  path=$(locate "$1")
  [ -n "$path" ] || return 0
  key=$(basename "$path" | tr '[:upper:]' '[:lower:]')
  [ -z "${shipped[$key]:-}" ] || return 0
  shipped[$key]=1
  install -m644 "$path" "$stage/$(basename "$path")"
  queue+=("$stage/$(basename "$path")")
}

for exe in xyh.exe xyh-cli.exe; do
  [ -f "$build/bin/$exe" ] || fail "$build/bin/$exe is missing: build the windows preset first"
  install -m755 "$build/bin/$exe" "$stage/$exe"
  queue+=("$stage/$exe")
  while read -r dll; do add_dll "$dll"; done < <(opened "$build/bin/$exe")
done
# The platform plugin, the native style and the JPEG reader of the splash
# picture; the window's other pictures are built in.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qjpeg.dll; do
  install -D -m644 "$sdk/plugins/$plugin" "$stage/$plugin"
  queue+=("$stage/$plugin")
done
# Windows' own DLLs are those mingw-w64 has an import library for; an import
# that is neither ours, the SDK's nor Windows' would make the program fail
# to start (with exit code 53 and no message), so it stops the packaging.
windows_dll() {
  local n
  n=$(tr '[:upper:]' '[:lower:]' <<<"${1%.*}")
  [[ $n == api-ms-win-* ]] || [ -f "/usr/x86_64-w64-mingw32/lib/lib$n.a" ]
}
while [ ${#queue[@]} -gt 0 ]; do
  pe=${queue[0]}
  queue=("${queue[@]:1}")
  while read -r dll; do
    if [ -n "$(locate "$dll")" ]; then
      add_dll "$dll"
    elif ! windows_dll "$dll"; then
      fail "$(basename "$pe") needs $dll, which is neither built, in the SDK nor part of Windows"
    fi
  done < <(imports "$pe")
done
# What our build made is stripped here; the SDK's DLLs come stripped.
"$strip" --strip-unneeded "$stage/xyh.exe" "$stage/xyh-cli.exe"
for f in "$stage"/*.dll; do
  if [ -f "$build/bin/$(basename "$f")" ] || [ -f "$build/$(basename "$f")" ]; then
    "$strip" --strip-unneeded "$f"
  fi
done

# Qt finds its plugins beside the program and its texts in translations\;
# without this file it would look for them one folder up.
printf '[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n' >"$stage/qt.conf"
install -D -m644 /usr/share/qt6/translations/qtbase_zh_CN.qm "$stage/translations/qtbase_zh_CN.qm"
install -m644 "$src/resources/help/help.html" "$src/engine/canon/zhouyi.tsv" "$stage/"

# The licences: ours, the full texts the others refer to, and each library's
# copyright file from the Debian package it was built from.
lic=$stage/licenses
mkdir -p "$lic"
install -m644 "$here/licenses.txt" "$lic/README.txt"
install -m644 "$src/LICENSE" "$lic/xyh-MIT.txt"
for text in GPL-3 LGPL-3 LGPL-2.1 Apache-2.0; do
  install -m644 "/usr/share/common-licenses/$text" "$lic/$text.txt"
done
while read -r file pkg; do
  [ -f "/usr/share/doc/$pkg/copyright" ] || fail "/usr/share/doc/$pkg/copyright is missing (scripts/deps.sh --windows installs it)"
  install -m644 "/usr/share/doc/$pkg/copyright" "$lic/$file.txt"
done <<'EOF'
qt6-base libqt6core6
qt6-charts libqt6charts6
qt6-translations qt6-translations-l10n
sqlite3 libsqlite3-0
jsoncpp libjsoncpp25
gumbo-parser libgumbo1
qrencode libqrencode4
curl libcurl4
openssl libssl3
gcc-runtime gcc-mingw-w64-base
mingw-w64-runtime mingw-w64-common
EOF

# The zip: one folder of the package's name (ASCII, as zip tools differ on
# how they read other names).
rm -f "$out/$name.zip"
(cd "$work" && LC_ALL=C find "$name" -type f | LC_ALL=C sort | zip -q -X -9 "$out/$name.zip" -@)

# The installer: the licence page with a byte-order mark, so that it shows in
# Chinese on any system locale, the program's icon, and the file lists.
{ printf '\xef\xbb\xbf'; cat "$here/licenses.txt"; } >"$meta/license-page.txt"
install -m644 "$here/xyh.ico" "$meta/xyh.ico"
{
  (cd "$stage" && find . -type d | LC_ALL=C sort) | while read -r d; do
    d=${d#./}
    win=${d//\//\\}
    printf 'SetOutPath "$INSTDIR%s"\n' "${d:+\\$win}"
    find "$stage/$d" -maxdepth 1 -type f | LC_ALL=C sort | while read -r f; do
      printf 'File "%s"\n' "$f"
    done
  done
} >"$meta/files.nsh"
{
  (cd "$stage" && find . -type f | LC_ALL=C sort) | while read -r f; do
    f=${f#./}
    printf 'Delete "$INSTDIR\\%s"\n' "${f//\//\\}"
  done
  # Deepest first, and only when empty.
  (cd "$stage" && find . -mindepth 1 -type d | LC_ALL=C sort -r) | while read -r d; do
    d=${d#./}
    printf 'RMDir "$INSTDIR\\%s"\n' "${d//\//\\}"
  done
} >"$meta/unfiles.nsh"
size_kb=$(du -sk "$stage" | cut -f1)
makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSIZE_KB="$size_kb" -DSTAGE="$stage" \
  -DMETA="$meta" -DOUTFILE="$out/$name-setup.exe" "$here/xyh.nsi"

echo "Windows packages ($(ls "$stage"/*.dll | wc -l) DLLs):"
ls -l "$out/$name.zip" "$out/$name-setup.exe"
