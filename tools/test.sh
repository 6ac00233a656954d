#!/usr/bin/env bash
# Installs what is missing, then: static analysis; the Linux and the Windows program built and
# every test run; the Debian package built and checked as a user's system takes it; everything
# again built with AddressSanitizer and UndefinedBehaviorSanitizer, with the fuzz target's saved
# inputs and a bounded search for new ones; then the program built and its unit and desktop tests
# run again inside chroots of Debian 13 and Debian testing. Needs no display: the tests that show
# windows start their own X servers.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/analyze.sh
tools/build-windows.sh
tools/build.sh -DTOLVAREN_TESTS=ON -DTOLVAREN_BENCH=ON -DTOLVAREN_WINDOWS_EXE="$PWD/build-windows/tolvaren.exe"
(cd build && ctest --output-on-failure)
tools/package.sh >/dev/null
bash tests/package/package_test.sh build-package/packages/tolvaren_1.0.0_amd64.deb \
    build-windows/packages/tolvaren-1.0.0-win64.zip

CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOLVAREN_SANITIZE=ON -DTOLVAREN_FUZZ=ON -DTOLVAREN_TESTS=ON >/dev/null
cmake --build build-sanitize -j "$(nproc)"
(cd build-sanitize && ctest --output-on-failure)

for release in trixie testing; do tools/test-release.sh "$release"; done
