#!/usr/bin/env bash
# Installs what is missing, builds, and runs the frame benchmark on a private 640 x 480 Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh >/dev/null
work=$(mktemp -d /tmp/tolvaren-bench.XXXXXX)
source tests/desktop/lib.sh
start_xvfb 640x480
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(uname -sr)"
build/frame_bench
