#!/usr/bin/env bash
# Checks the Debian package as a user's system would take it: lintian, the desktop entry, the
# software centres' metainfo, the licence, the manual page, and the unpacked program on a private
# Xvfb, with the class and the icon its window gives the desktop.
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
start_program "$root/usr/games/tolvaren"
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
[ "$failures" -eq 0 ]
