#!/usr/bin/env bash
# Installs what is missing, builds the Linux and the Windows program, and runs every test. Needs
# no display: the tests that show windows start their own X servers.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build-windows.sh
tools/build.sh -DTOLVAREN_WINDOWS_EXE="$PWD/build-windows/tolvaren.exe"
cd build
ctest --output-on-failure
