#!/usr/bin/env bash
# Builds the fuzzers with clang and runs each for the given number of seconds
# (default 60), or until it has run the given number of inputs if that comes
# first: scripts/fuzz.sh [SECONDS [RUNS]]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
runs=${2:--1}
mkdir -p build
mkdir -p build/fuzz
CC=clang-14 CXX=clang++-14 cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DQUANDREL_FUZZ=ON -DQUANDREL_BENCH=OFF > build/fuzz/configure.log 2>&1 || { cat build/fuzz/configure.log; exit 1; }
# Only the fuzzers: the tests and tools have their own builds.
targets=()
for src in tests/fuzz/fuzz_*.cpp; do targets+=("$(basename "$src" .cpp)"); done
cmake --build build/fuzz --parallel "$(nproc)" --target "${targets[@]}"
export QT_QPA_PLATFORM=offscreen
for src in tests/fuzz/fuzz_*.cpp; do
  name=$(basename "$src" .cpp)
  corpus=tests/fuzz/corpus/${name#fuzz_}
  work=build/fuzz/corpus-$name
  log=build/fuzz/$name.log
  mkdir -p "$work"
  # New inputs go to the work directory; the seeds in the tree stay as they are.
  dirs=("$work")
  if [ -d "$corpus" ]; then dirs+=("$corpus"); fi
  if [ "$runs" -ge 0 ]; then echo "-- $name for ${seconds}s or $runs runs"; else echo "-- $name for ${seconds}s"; fi
  status=0
  ASAN_OPTIONS=detect_leaks=0 build/fuzz/$name -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 \
    "${dirs[@]}" > "$log" 2>&1 || status=$?
  grep -E '^(stat::number_of_executed_units|stat::average_exec_per_sec|Done|INFO: fuzzed)' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "$name failed with status $status:"
    tail -n 60 "$log"
    exit "$status"
  fi
done
