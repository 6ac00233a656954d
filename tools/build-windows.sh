#!/usr/bin/env bash
# Cross-builds the Windows program with mingw-w64 into build-windows/tolvaren.exe.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-windows -j "$(nproc)"
