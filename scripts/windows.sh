#!/usr/bin/env bash
# Builds the Windows programs (preset windows, in build-win/) and makes the
# two packages, the portable zip and the installer:
#   scripts/windows.sh            build everything of the preset, then package
#   scripts/windows.sh --sdk      only unpack the SDK and print its folder
# The SDK is $XYH_WIN_SDK: an unpacked SDK folder or its tarball; by default
# the tarball ../shared/win-sdk/xyh-win-sdk-qt6.4.2-mingw64.tar.xz beside the
# project. A tarball is unpacked into build-win/sdk/ (once). scripts/win-sdk.sh
# makes an SDK from Debian's sources.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

sdk_name=xyh-win-sdk-qt6.4.2-mingw64
given=${XYH_WIN_SDK:-$root/../shared/win-sdk/$sdk_name.tar.xz}
if [ -d "$given" ]; then
  sdk=$(realpath "$given")
elif [ -f "$given" ]; then
  sdk=$root/build-win/sdk/$sdk_name
  if [ ! -f "$sdk/mingw-w64-x86_64.cmake" ] || [ "$given" -nt "$sdk/mingw-w64-x86_64.cmake" ]; then
    rm -rf "$root/build-win/sdk"
    mkdir -p "$root/build-win/sdk"
    tar -C "$root/build-win/sdk" -xJf "$given"
    touch "$sdk/mingw-w64-x86_64.cmake"
  fi
else
  echo "no Windows SDK at $given (set XYH_WIN_SDK to the SDK folder or its tarball)" >&2
  exit 1
fi
[ -f "$sdk/mingw-w64-x86_64.cmake" ] || { echo "$sdk is not the Windows SDK" >&2; exit 1; }

if [ "${1:-}" = --sdk ]; then
  echo "$sdk"
  exit 0
fi

export XYH_WIN_SDK=$sdk
cmake --preset windows >/dev/null
nice cmake --build --preset windows -j"$(nproc)"
packaging/windows/package.sh build-win "$sdk" build-win/packages
echo "The packages are in $root/build-win/packages/"
