#!/usr/bin/env bash
# Installs what the Windows build, its packages and their tests under wine
# need on a Debian 12 machine, beside what scripts/deps.sh installs; quick
# when everything is there.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-tools ninja-build xz-utils binutils
  # The SDK's Qt is cross-built: moc, rcc and uic come from the host's Qt 6.4.2.
  qt6-base-dev-tools qt6-translations-l10n
  nsis zip unzip
  wine wine64 xvfb openbox xdotool x11-utils imagemagick fonts-wqy-microhei locales
  # The packages' licence files come from these packages' copyright files.
  libqt6core6 libqt6charts6 libsqlite3-0 libjsoncpp25 libgumbo1 libqrencode4 libcurl4 libssl3
  gcc-mingw-w64-base mingw-w64-common
  openssl python3
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# wine takes the Windows code page from the locale: without a real
# zh_CN.UTF-8 locale it falls back to 1252, and Chinese file names cannot be
# opened at all.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN.utf8'; then
  $sudo localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
fi
