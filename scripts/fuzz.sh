#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each target fuzz_<name>
# for the given number of seconds (default 60) on a copy of its seed corpus fuzz/corpus/<name>/.
# Fails as soon as a target finds a crash, hang, leak or failed check; the input that did it is
# left in build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
sanitizers="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHRONARK_FUZZ=ON -DCHRONARK_GUI=OFF -DCHRONARK_TESTS=OFF -DCHRONARK_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$sanitizers" >/dev/null
cmake --build build-fuzz -j 2 --target chronark_fuzzers

mkdir -p build-fuzz/artifacts
total=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target")
  seeds=fuzz/corpus/${name#fuzz_}
  work=fuzz/corpus-work/${name#fuzz_}
  rm -rf "$work"
  mkdir -p "$work"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$work"/
  log=build-fuzz/artifacts/$name.log
  # Documents grow costly only with many entries or ids: give that target room for them.
  max_len=16384
  [ "$name" = fuzz_document ] && max_len=1048576
  echo "== $name: $seconds s"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$target" -max_total_time="$seconds" -timeout=10 -max_len="$max_len" -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/"$name"- "$work" \
      2>"$log" || { tail -n 60 "$log"; echo "$name FAILED"; exit 1; }
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "   $runs executions"
  total=$((total + ${runs:-0}))
done
echo "fuzzing passed: $total executions in total"
