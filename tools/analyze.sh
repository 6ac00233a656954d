#!/usr/bin/env bash
# Static analysis of the program's own code: cppcheck, and clang-tidy with the checks in .clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
sources=(app/*.cpp render/*.cpp platform/window_proc.cpp platform/gl_window.cpp platform/sdl/*.cpp)
cppcheck --enable=warning,performance,portability --std=c++17 --language=c++ --error-exitcode=1 \
    --inline-suppr --quiet -I . "${sources[@]}"
cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
status=0
clang-tidy -p build --quiet "${sources[@]}" >build/clang-tidy.log 2>&1 || status=$?
grep -vE '^[0-9]+ warnings? generated\.$' build/clang-tidy.log || true
[ "$status" -eq 0 ] && echo "static analysis: clean"
exit "$status"
