#!/usr/bin/env bash
# Builds the tests of what runs on several threads (request intake, HTTP
# listener, the code page table filled at first use) under ThreadSanitizer in
# a tree of their own (build-tsan/) and runs them.
set -euo pipefail
cd "$(dirname "$0")/.."
tests=(service/test_service_intake service/test_service_listener base/test_base)
targets=("${tests[@]##*/}")
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths inside the checkout count relative to it, so every clone shares the cache.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true
cmake -S . -B build-tsan -G Ninja "${launcher[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLY_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=thread -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
cmake --build build-tsan --target "${targets[@]}" -j "$(nproc)"
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
for t in "${tests[@]}"; do
  "build-tsan/tests/$t" --gtest_brief=1
done
