#!/usr/bin/env bash
# Builds the Debian package from a release build of its own, with Debian's
# layout for a game (the program in /usr/games) and its hardening flags:
#   package.sh   → build/package/quandrel3d_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/package
mkdir -p "$dir"
export CFLAGS="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
export LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
# Only the game and its installed files are built; the tests have their own builds.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUANDREL_BENCH=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
  -DQUANDREL_INSTALL_DATADIR=share/games/quandrel3d \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" --parallel "$(nproc)" --target quandrel3d install_data
rm -f "$dir"/quandrel3d_*.deb
(cd "$dir" && cpack -G DEB > cpack.log 2>&1) || { cat "$dir/cpack.log"; exit 1; }
ls "$dir"/quandrel3d_*.deb
