#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need.
# Quick when everything is present: it only asks dpkg, and calls apt-get
# only for what is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  # Qt Charts' CMake files ask for Qt OpenGL, which its package does not pull in.
  qt6-charts-dev libqt6opengl6-dev
  libsqlite3-dev sqlite3
  libcurl4-openssl-dev libssl-dev openssl
  libqrencode-dev libjsoncpp-dev libgumbo-dev
  # tl::expected, the core's one result type (header only).
  libexpected-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei
  iputils-ping zbar-tools hyperfine
  # bench/chart_cost.sh counts instructions with callgrind.
  valgrind
  clang libclang-rt-14-dev
  # scripts/format.sh and scripts/tidy.sh (run by check.sh).
  clang-format clang-tidy
  python3 xvfb xauth desktop-file-utils dpkg-dev file
  lintian help2man appstream
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# Node runs the calendar library the solar-term test compares against; it
# may come from elsewhere than Debian, so ask for the commands.
if ! command -v node >/dev/null || ! command -v npm >/dev/null; then
  missing+=(nodejs npm)
fi

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
