#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configure and build one tree with Ninja.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths inside the checkout count relative to it, so every clone shares the cache.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
