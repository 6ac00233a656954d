#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test. Needs no display: the tests that show
# windows start their own X servers.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
cd build
ctest --output-on-failure
