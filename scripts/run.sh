#!/usr/bin/env bash
# Installs what is needed, builds, and runs the main job.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
./build/tools/tallytool/tallytool packet samples/packets/order-items.xml
