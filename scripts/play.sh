#!/usr/bin/env bash
# Installs what is missing, builds the game and launches it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
mkdir -p build
bash scripts/build.sh build/release -DCMAKE_BUILD_TYPE=Release -DQUANDREL_BENCH=OFF
exec build/release/quandrel3d "$@"
