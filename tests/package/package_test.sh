#!/usr/bin/env bash
# Checks the Debian package as a user's system would take it: lintian, the desktop entry, the
# software centres' metainfo, the licence, the manual page, and the unpacked program on a private
# Xvfb, with the class and the icon its window gives the desktop and the name it holds off the
# screen saver in; then the plain CMake build where only what running needs is installed.
# Usage: package_test.sh PACKAGE.deb [WINDOWS.zip]. Exit 0 passed, 1 failed.
set -u
package=$1
zip=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-package.XXXXXX)
source "$here/../desktop/lib.sh"

lintian --fail-on error --no-tag-display-limit "$package" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
check "lintian errors and warnings" "" "$(grep -E '^[EW]:' "$work/lintian")"
root="$work/root"
dpkg-deb -x "$package" "$root"
check "desktop entry" "" "$(desktop-file-validate "$root/usr/share/applications/org.tolvaren.Tolvaren.desktop" 2>&1)"
metainfo="$root/usr/share/metainfo/org.tolvaren.Tolvaren.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo" >"$work/appstream" 2>&1 || fail "metainfo: $(cat "$work/appstream")"
check "metainfo errors and warnings" "" "$(grep -E '^[EW]:' "$work/appstream")"
check "licence" "License: MIT" "$(grep -m1 '^License:' "$root/usr/share/doc/tolvaren/copyright")"
cmp -s <(sed -n '/^Permission/,$p' "$here/../../LICENSE") \
    <(sed -n '/^ Permission/,$p' "$root/usr/share/doc/tolvaren/copyright" | sed 's/^ //; s/^\.$//') ||
    fail "the copyright file's MIT text differs from LICENSE"
[ -z "$zip" ] || check "licence in the Windows zip" LICENSE.txt "$(cmake -E tar tf "$zip" | grep -o '^[^/]*/LICENSE.txt$' | cut -d/ -f2)"
check "manual page" "" "$(zcat "$root/usr/share/man/man6/tolvaren.6.gz" | groff -man -ww -z 2>&1)"

start_xvfb 640x480
# A private session bus, where the desktop's power and log-out dialogs would read the inhibitor.
dbus-daemon --session --fork --print-address=1 --print-pid=1 >"$work/bus"
export DBUS_SESSION_BUS_ADDRESS
DBUS_SESSION_BUS_ADDRESS=$(sed -n 1p "$work/bus")
at_exit 'kill "$monitor_pid" "$(sed -n 2p "$work/bus")" 2>/dev/null'
dbus-monitor --address "$DBUS_SESSION_BUS_ADDRESS" >"$work/bus.log" 2>&1 &
monitor_pid=$!
wait_for 5 grep -q NameAcquired "$work/bus.log"
start_program "$root/usr/games/tolvaren"
check "screen saver held off in the name of" '"TOLVAREN" "Running the walk-through"' \
    "$(grep -A2 'interface=org.freedesktop.ScreenSaver; member=Inhibit' "$work/bus.log" | sed -n 's/^ *string //p' | paste -sd' ')"
expect_scene start
# Desktops match a running window to its menu entry by its class; window managers show its icon.
entry=$root/usr/share/applications/org.tolvaren.Tolvaren.desktop
class=$(xprop -id "$(program_window)" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
check "window class, the entry's StartupWMClass" "$(sed -n 's/^StartupWMClass=//p' "$entry")" "$class"
check "window class, the entry's ID" "$(basename "$entry" .desktop)" "$class"
icon=$(convert "$root/usr/share/icons/hicolor/48x48/apps/tolvaren.png" -depth 8 RGBA:- | python3 -c '
import sys
rgba = sys.stdin.buffer.read()
argb = [rgba[i + 3] << 24 | rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2] for i in range(0, len(rgba), 4)]
print(", ".join(map(str, [48, 48] + argb)))')
[ "$(xprop -id "$(program_window)" -f _NET_WM_ICON 32c _NET_WM_ICON | sed 's/^[^=]* = //')" = "$icon" ] &&
    echo "ok: the window's icon is the menu icon" || fail "the window's icon (_NET_WM_ICON) is not the menu icon"
kill -TERM "$program_pid"
finish_program
check "exit code after SIGTERM" 0 "$exit_code"

# The plain CMake build, as packagers and users make it, with what only the tests and the
# benchmark need hidden: their packages' files are whited out in an overlay of /usr.
if [ "$(id -u)" -ne 0 ]; then
    echo "skipped: the plain build without the test packages needs root for its overlay of /usr"
else
    mkdir -p "$work/usr/upper" "$work/usr/work"
    dpkg -L googletest libgtest-dev libgmock-dev libxtst-dev 2>/dev/null | grep '^/usr/' | while read -r path; do
        [ -d "$path" ] && [ ! -L "$path" ] && continue
        mkdir -p "$work/usr/upper/$(dirname "${path#/usr/}")"
        mknod "$work/usr/upper/${path#/usr/}" c 0 0
    done
    unshare -m bash -c 'mount -t overlay overlay -o "lowerdir=/usr,upperdir=$1/usr/upper,workdir=$1/usr/work" /usr &&
        test ! -e /usr/include/gtest/gtest.h && test ! -e /usr/include/X11/extensions/XTest.h &&
        cmake -S "$2" -B "$1/plain" && cmake --build "$1/plain" -j "$(nproc)"' \
        -- "$work" "$here/../.." >"$work/plain.log" 2>&1 || fail "the plain build: $(tail -5 "$work/plain.log")"
    check "what the plain build leaves out" \
        "Left out for want of googletest libgtest-dev libegl-dev: the tests|Left out for want of libxtst-dev: the benchmark" \
        "$(sed -n 's/^-- \(Left out.*\)/\1/p' "$work/plain.log" | paste -sd'|')"
    check "the plain build's program" "TOLVAREN 1.0.0" "$("$work/plain/tolvaren" --version 2>&1)"
fi
[ "$failures" -eq 0 ]
