#!/usr/bin/env bash
# Runs the Windows build under Wine on a private Xvfb and checks what the screen shows.
# Usage: wine_test.sh CASE PROGRAM.EXE WINEPREFIX. Exit 0 passed, 1 failed, 77 skipped.
set -u
command -v wine >/dev/null || { echo "SKIP: windows.$1: Wine is not installed (not packaged in this release)"; exit 77; }
case_name=$1
program=$2
export WINEPREFIX=$3
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-wine.XXXXXX)
source "$here/../desktop/lib.sh"
export WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=fixme-all
at_exit 'wineserver -k 2>/dev/null'

case $case_name in
prefix)
    start_xvfb 640x480
    rm -rf "$WINEPREFIX"
    wineboot -i >"$work/wineboot.log" 2>&1
    wineserver -w
    [ -d "$WINEPREFIX/drive_c/windows" ] || fail "no Wine prefix in $WINEPREFIX"
    ;;
smoke)
    start_xvfb 640x480
    start_program wine "$program"
    sleep 1
    expect_scene start
    expect_centred start
    hold Up 0.25
    sleep 0.2; shot walked
    echo "green pixels: at the start $(green_count start), after the step $(green_count walked)"
    [ "$(green_count walked)" -gt "$(green_count start)" ] || fail "Up did not bring the triangle closer"
    xdotool mousemove_relative -- -40 0
    sleep 0.3; shot turned
    check "cursor put back" "320 240" "$(pointer)"
    [ "$(green_centre turned)" -gt "$(green_centre walked)" ] || fail "moving left did not turn the view left"
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    ;;
no-mode)
    start_xvfb 1024x768
    WINEDEBUG=fixme-all,+debugstr wine "$program" >"$work/stdout" 2>"$work/stderr"
    check "exit code" 1 "$?"
    grep -q 'tolvaren: cannot switch the display to 640 x 480' "$work/stderr" ||
        fail "no reason written to the debugger: $(grep -i tolvaren "$work/stderr")"
    check "screen size" 1024x768 "$(screen_size)"
    ;;
*)
    echo "unknown case $case_name"; exit 2 ;;
esac

[ "$failures" -eq 0 ]
