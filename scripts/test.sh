#!/usr/bin/env bash
# Builds Chronark and runs every test headless:
#  0. the layer check (includes point downwards only) and the formatting check;
#  1. the whole project (Qt parts on the offscreen platform, the benchmarks compiled) with CTest;
#  2. everything once more under AddressSanitizer + UBSan, leak checking on, the windows
#     included (offscreen), so a dangling row or entry in a window is caught as well.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

bash scripts/check-layers.sh
git ls-files -co --exclude-standard '*.cpp' '*.h' | grep -v '^build' |
  xargs clang-format --dry-run -Werror

# Optimised without debug information, as scripts/run.sh builds it: the same build serves both,
# and debug information would cost this build almost half its time. The benchmarks are compiled
# with it (not run), so that they never fall behind the code they measure.
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHRONARK_TESTS=ON -DCHRONARK_BENCH=ON
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

# Line tables only (-g1): the sanitizers' reports keep file and line, the build stays quick.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DCHRONARK_SANITIZE=ON -DCHRONARK_TESTS=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
