#!/usr/bin/env bash
# Installs what is missing, builds the normal and the sanitizer configuration,
# runs every test in both, builds the Debian package and checks it with the
# unpacked game run end to end, and runs each fuzzer briefly.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
export QT_QPA_PLATFORM=offscreen
mkdir -p build

echo "== normal build"
bash scripts/build.sh build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== normal tests"
ctest --test-dir build/release --output-on-failure --parallel "$(nproc)"

echo "== sanitizer build (AddressSanitizer, UndefinedBehaviorSanitizer)"
bash scripts/build.sh build/asan -DCMAKE_BUILD_TYPE=Debug -DQUANDREL_SANITIZE=ON -DQUANDREL_BENCH=OFF
echo "== sanitizer tests"
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/asan --output-on-failure --parallel "$(nproc)"

echo "== Debian package"
bash scripts/package.sh
echo "== package checks"
bash tests/package/check_package.sh build/package/quandrel3d_*.deb

if ls tests/fuzz/fuzz_*.cpp >/dev/null 2>&1; then
  echo "== fuzzers (a few seconds each)"
  bash scripts/fuzz.sh 5
fi
