#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for the given number of seconds
# (default 60): scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
mkdir -p build
CC=clang-14 CXX=clang++-14 bash scripts/build.sh build/fuzz -DCMAKE_BUILD_TYPE=Debug -DQUANDREL_FUZZ=ON -DQUANDREL_BENCH=OFF
export QT_QPA_PLATFORM=offscreen
for src in tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  corpus=tests/fuzz/corpus/${name#fuzz_}
  work=build/fuzz/corpus-$name
  mkdir -p "$work"
  echo "-- $name for ${seconds}s"
  ASAN_OPTIONS=detect_leaks=0 build/fuzz/$name -max_total_time="$seconds" -print_final_stats=1 \
    "$work" "$corpus" 2>&1 | grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done|==|SUMMARY|INFO: fuzzed)' || true
  test "${PIPESTATUS[0]}" -eq 0
done
