#!/usr/bin/env bash
# Builds the Debian package from a release build of its own, with Debian's
# layout for a game (the program in /usr/games) and its hardening flags:
#   package.sh   → build/package/quandrel3d_VERSION_ARCH.deb
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build/package
mkdir -p "$dir"
# Every hardening feature, immediate binding included. Given as cache
# values, so that a build folder made before takes them too.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cflags="$(dpkg-buildflags --get CFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
# Only the game and its installed files are built; the tests have their own builds.
# Warnings stay warnings here: the developers' builds hold the code to no
# warning, and a package must not fail on what another compiler version or
# these flags newly suspect. They are printed in the build's log.
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUANDREL_BENCH=OFF -DQUANDREL_WERROR=OFF \
  -DCMAKE_C_FLAGS="$cflags" -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_INSTALL_BINDIR=games \
  -DQUANDREL_INSTALL_DATADIR=share/games/quandrel3d \
  -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON > "$dir/configure.log" 2>&1 || { cat "$dir/configure.log"; exit 1; }
cmake --build "$dir" --parallel "$(nproc)" --target quandrel3d install_data
rm -f "$dir"/quandrel3d_*.deb
(cd "$dir" && cpack -G DEB > cpack.log 2>&1) || { cat "$dir/cpack.log"; exit 1; }
ls "$dir"/quandrel3d_*.deb
