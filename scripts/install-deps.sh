#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the service need.
# Skips apt entirely when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config clang libclang-rt-14-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libgl-dev libcups2-dev
  libpugixml-dev nlohmann-json3-dev libcpp-httplib-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-arphic-uming fonts-arphic-ukai fonts-wqy-zenhei
  poppler-utils curl xvfb wrk python3 clang-format clang-tidy
  cups printer-driver-cups-pdf
  libxlsxwriter-dev python3-xlrd python3-openpyxl
  # The PDF writer: font subsets and stream compression.
  libharfbuzz-dev zlib1g-dev libfontconfig-dev
  # The query dataset: Qt SQL's SQLite driver (embedded default), and a
  # throwaway PostgreSQL cluster with Qt's driver for the same tests.
  libqt6sql6-sqlite libqt6sql6-psql postgresql
  # The browser test, and bench/printing/pdfspeed.py, which compares our PDF output with a browser's.
  chromium
  # The cross build of the Gridora control and its tests under Wine
  # (scripts/activex.sh): the compiler, widl, the Windows IDL files and
  # stdole2.tlb, and Wine itself.
  g++-mingw-w64-x86-64-posix mingw-w64-tools wine64-tools wine64 wine
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
