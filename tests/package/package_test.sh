#!/usr/bin/env bash
# Checks the Debian package as a user's system would take it: lintian, the desktop entry, the
# manual page, and the unpacked program on a private Xvfb.
# Usage: package_test.sh PACKAGE.deb. Exit 0 passed, 1 failed.
set -u
package=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-package.XXXXXX)
source "$here/../desktop/lib.sh"

lintian --fail-on error --no-tag-display-limit "$package" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
grep -E '^[EW]:' "$work/lintian" | sed 's/^/lintian says: /'
root="$work/root"
dpkg-deb -x "$package" "$root"
check "desktop entry" "" "$(desktop-file-validate "$root/usr/share/applications/tolvaren.desktop" 2>&1)"
check "manual page" "" "$(zcat "$root/usr/share/man/man6/tolvaren.6.gz" | groff -man -ww -z 2>&1)"

start_xvfb 640x480
start_program "$root/usr/games/tolvaren"
expect_scene start
kill -TERM "$program_pid"
finish_program
check "exit code after SIGTERM" 0 "$exit_code"
[ "$failures" -eq 0 ]
