#!/usr/bin/env bash
# Installs what is missing, builds the game (only the game: the tests have
# their own builds) and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build/play
cmake -S . -B build/play -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUANDREL_BENCH=OFF \
  > build/play/configure.log 2>&1 || { cat build/play/configure.log; exit 1; }
cmake --build build/play --parallel "$(nproc)" --target quandrel3d
exec build/play/quandrel3d "$@"
