#!/usr/bin/env bash
# Runs the built program as a user would, on a private X server or a headless compositor, and checks
# what the screen shows: one case a run, each a function case_NAME in the files sourced here.
# Usage: desktop_test.sh CASE PROGRAM [THE CASE'S ARGUMENTS]. Exit 0 passed, 1 failed, 77 skipped.
set -u
case_name=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-desktop.XXXXXX)
source "$here/lib.sh"
source "$here/endings.sh"      # every way it ends, and every bad start
source "$here/desktops.sh"     # X servers, a window manager, monitors, layouts; weston
source "$here/compositors.sh"  # sway, mutter and KWin, through Xwayland and natively

declare -F "case_${case_name//-/_}" >/dev/null || { echo "unknown case $case_name"; exit 2; }
"case_${case_name//-/_}" "$@"
[ "$failures" -eq 0 ]
