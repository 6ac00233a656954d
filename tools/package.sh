#!/usr/bin/env bash
# Installs what is missing, builds the Linux and the Windows program for release, and writes
# their packages: a Debian package and a Windows zip. Prints where they are.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# Debian's hardening flags, and its games section keeps its programs in /usr/games.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-package -DCMAKE_BUILD_TYPE=Release -DTOLVAREN_TESTS=OFF -DTOLVAREN_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" -DCMAKE_INSTALL_BINDIR=games >/dev/null
cmake --build build-package -j "$(nproc)" >/dev/null
tools/build-windows.sh >/dev/null
for build in build-package build-windows; do
    (cd "$build" && cpack -B packages >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
done
echo "$PWD/build-package/packages/tolvaren_1.0.0_amd64.deb"
echo "$PWD/build-windows/packages/tolvaren-1.0.0-win64.zip"
