#!/usr/bin/env bash
# Installs what is missing, builds, and runs the walk-through on this desktop.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh
exec build/tolvaren
