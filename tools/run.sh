#!/usr/bin/env bash
# Installs what building and running need, builds the program alone, and runs the walk-through on
# this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh run
tools/build.sh -DTOLVAREN_TESTS=OFF -DTOLVAREN_BENCH=OFF
exec build/tolvaren
