#!/usr/bin/env bash
# fuzz.sh TARGET [SECONDS]: builds the libFuzzer targets with clang and runs one,
# with its seed corpus from fuzz/corpus/TARGET when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
target=$1; seconds=${2:-120}
CXX=clang++ CC=clang bash scripts/build.sh build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTALLY_FUZZ=ON -DTALLY_BENCH=OFF -DTALLY_WERROR=OFF >/dev/null
mkdir -p "build-fuzz/corpus/$target"
seeds=()
[ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
"build-fuzz/fuzz/$target" -max_total_time="$seconds" -rss_limit_mb=2048 \
  "build-fuzz/corpus/$target" "${seeds[@]}"
