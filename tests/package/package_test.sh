#!/usr/bin/env bash
# Checks the Debian package as a user's system would take it: lintian, the desktop entry, the
# software centres' metainfo, the licence, the manual page, and the unpacked program on a private
# Xvfb.
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
kill -TERM "$program_pid"
finish_program
check "exit code after SIGTERM" 0 "$exit_code"
[ "$failures" -eq 0 ]
