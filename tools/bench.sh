#!/usr/bin/env bash
# Installs what is missing, builds, and runs the frame benchmark on a private 640 x 480 Xvfb, then
# the direct path's and the scaled picture's rows on 1280 x 720 to 3840 x 2160 ones.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
tools/build.sh -DTOLVAREN_TESTS=ON -DTOLVAREN_BENCH=ON >/dev/null
work=$(mktemp -d /tmp/tolvaren-bench.XXXXXX)
source tests/desktop/lib.sh
start_xvfb 640x480
echo "machine: $(nproc) cores, $(sed -n 's/^model name\s*: //p' /proc/cpuinfo | head -1), $(uname -sr)"
build/frame_bench
echo
echo "| path | CPU ms/frame paced | CPU ms/frame unpaced | fps paced | fps unpaced | p99 interval ms | missed at 60 Hz |"
echo "|---|---|---|---|---|---|---|"
build/frame_bench direct 640x480
for size in 1280x720 1920x1080 2560x1440 3840x2160; do
    kill "$server_pid" && wait "$server_pid" 2>/dev/null
    start_xvfb "$size"
    build/frame_bench picture "$size"
done
