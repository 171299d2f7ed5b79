#!/usr/bin/env bash
# Installs what is missing, builds the game (only the game: the tests have
# their own builds) and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build/release
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUANDREL_BENCH=OFF \
  > build/release/configure.log 2>&1 || { cat build/release/configure.log; exit 1; }
cmake --build build/release --parallel "$(nproc)" --target quandrel3d
exec build/release/quandrel3d "$@"
