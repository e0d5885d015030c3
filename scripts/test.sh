#!/usr/bin/env bash
# Installs what is needed, builds, and runs the whole test suite twice: once in
# an optimised build and once under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen

# The include graph of src/ follows the layers, and the sources their format,
# before anything is built.
python3 scripts/check-layers.py
bash scripts/check-format.sh

bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build && ctest --output-on-failure -j "$(nproc)")

bash scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTALLY_SANITIZE=ON -DTALLY_BENCH=OFF
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/scripts/lsan.supp
(cd build-asan && ctest --output-on-failure -j "$(nproc)")

bash scripts/tsan.sh

# The Gridora control cross-built for Windows and tested under Wine.
bash scripts/activex.sh
