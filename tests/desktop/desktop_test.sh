#!/usr/bin/env bash
# Runs the built program on a private X server as a user would and checks what the screen shows.
# Usage: desktop_test.sh CASE PROGRAM [SIGNAL]. Exit 0 passed, 1 failed, 77 skipped.
set -u
case_name=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-desktop.XXXXXX)
source "$here/lib.sh"

case $case_name in
switch-escape)
    start_xorg
    check "desktop size" 1024x768 "$(screen_size)"
    start_program "$program"
    check "screen size while running" 640x480 "$(screen_size)"
    expect_scene start
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    expect_desktop_back
    ;;
sigterm | sigint | sighup | sigquit)
    # Closing the terminal, Ctrl+C, Ctrl+\ and kill end it through its tear-down; INT and TERM
    # close it as a close request does, the others end it by their own signal once the desktop is back.
    declare -A ends=([sigterm]=0 [sigint]=0 [sighup]=129 [sigquit]=131)
    start_xorg
    start_program "$program"
    kill -"${case_name#sig}" "$program_pid"
    finish_program
    check "exit status after ${case_name^^}" "${ends[$case_name]}" "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    expect_desktop_back
    ;;
sigkill | xkill)
    # No handler sees these: the desktop comes back all the same.
    start_xorg
    start_program "$program"
    if [ "$case_name" = sigkill ]; then kill -KILL "$program_pid"; else xkill -id "$(program_window)" >/dev/null; fi
    finish_program
    expect_desktop_back
    sleep 0.2
    check "watcher still running" "" "$(ps -eo stat=,comm= | awk '$2 == "tolvaren-watch" && $1 !~ /Z/')"
    ;;
window-destroyed)
    start_xorg
    start_program "$program"
    xdotool windowclose "$(program_window)"
    started=$SECONDS
    finish_program
    check "exit code" 1 "$exit_code"
    [ $((SECONDS - started)) -le 5 ] || fail "took $((SECONDS - started)) s to end"
    check "stderr" "tolvaren: the window was destroyed by another program" "$(cat "$work/stderr")"
    expect_desktop_back
    ;;
two-instances)
    start_xorg
    start_program "$program"
    env --default-signal "$program" >"$work/stdout" 2>"$work/stderr"
    check "second start's exit code" 1 "$?"
    check "second start's stderr" "tolvaren: already running on $DISPLAY" "$(cat "$work/stderr")"
    check "screen size with the first still running" 640x480 "$(screen_size)"
    hold Escape 0.3
    finish_program
    check "first one's exit code after Escape" 0 "$exit_code"
    expect_desktop_back
    ;;
bad-display)
    expect_refusal() { # expect_refusal WHAT PATTERN [ENV...]
        local what=$1 pattern=$2
        shift 2
        env --default-signal "$@" "$program" >"$work/stdout" 2>"$work/stderr"
        check "$what: exit code" 1 "$?"
        check "$what: lines on stderr" 1 "$(wc -l <"$work/stderr")"
        grep -q "$pattern" "$work/stderr" || fail "$what: stderr says: $(cat "$work/stderr")"
    }
    expect_refusal "no display" "neither DISPLAY nor WAYLAND_DISPLAY is set" -u DISPLAY -u WAYLAND_DISPLAY \
        -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR
    nobody=:$(free_display)
    expect_refusal "nothing listens" "cannot reach the display $nobody" DISPLAY=$nobody
    export DISPLAY=:$(free_display) XAUTHORITY="$work/cookie"  # a server that takes only this cookie
    xauth -q add "$DISPLAY" . "$(mcookie)" 2>/dev/null
    start_xvfb_on_display 1024x768 -auth "$XAUTHORITY"
    expect_refusal "refused" "the display $DISPLAY refused the connection" XAUTHORITY=/dev/null
    ;;
no-mode)
    start_xvfb 1024x768
    env --default-signal "$program" >"$work/stdout" 2>"$work/stderr"
    check "exit code" 1 "$?"
    check "one line on stderr" 1 "$(wc -l <"$work/stderr")"
    grep -q '640 x 480' "$work/stderr" || fail "stderr does not name the mode: $(cat "$work/stderr")"
    check "screen size" 1024x768 "$(screen_size)"
    ;;
controls)
    start_xvfb 640x480
    start_program "$program"
    expect_scene start
    expect_centred start
    hold Up 0.25
    sleep 0.2; shot walked
    [ "$(green_count walked)" -gt "$(green_count start)" ] || fail "Up did not bring the triangle closer"
    xdotool mousemove_relative -- -40 0
    sleep 0.3; shot turned
    [ "$(green_centre turned)" -gt "$(green_centre walked)" ] || fail "moving left did not turn the view left"
    xdotool keydown End; sleep 0.3; shot crouched; xdotool keyup End
    sleep 0.3; shot standing
    [ "$(horizon crouched)" -lt "$(horizon standing)" ] || fail "End did not lower the eye"
    hold a 0.15
    sleep 0.2; shot jumped
    [ "$(horizon jumped)" -gt "$(horizon standing)" ] || fail "A did not raise the eye"
    echo "horizon rows: standing $(horizon standing), crouched $(horizon crouched), jumped $(horizon jumped)"
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    ;;
unmap)
    start_xvfb 640x480
    start_program "$program"
    shot start
    window=$(xdotool search --name '^TOLVAREN$' | head -1)
    # Jump past the top, then hide the window while the eye comes down: the descent runs half
    # a second on its own, so if frames went on while hidden it would have landed by the time
    # the window is back.
    hold a 0.75  # the top comes after 32 frames, the landing 32 frames later
    xdotool windowunmap "$window"; sleep 1.0
    xdotool windowmap "$window"; xdotool windowfocus "$window"  # as a window manager would
    shot after
    [ "$(horizon after)" -gt $(($(horizon start) + 20)) ] || fail "frames ran while the window was unmapped"
    echo "horizon rows: standing $(horizon start), after the unmapped second $(horizon after)"
    sleep 1.0; shot landed
    # Landing is not clamped: it stops a quarter step below standing, a few rows off.
    [ $(($(horizon landed) - $(horizon start))) -ge -10 ] && [ "$(horizon landed)" -le "$(horizon start)" ] ||
        fail "the eye did not land once frames resumed: rows $(horizon start) and $(horizon landed)"
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    ;;
first-turn)
    start_xorg  # Xvfb moves no pointer for xdotool
    cursor_start="420 240"  # 100 px right of the centre: the first frame turns 5 degrees right
    start_program "$program"
    shot start
    centre=$(green_centre start)
    # tan(5 degrees) across the half-width of a 45-degree, 4:3 view: 51 px to the left
    [ "$centre" -ge 265 ] && [ "$centre" -le 273 ] || fail "first frame did not turn right: column $centre"
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    ;;
crash) # crash PROGRAM SIGNAL REPEATS: the first run looked at, then more, quicker ones
    start_xorg
    declare -A numbers=([segv]=11 [abrt]=6 [bus]=7 [fpe]=8)
    TOLVAREN_CRASH=$3 TOLVAREN_CRASH_FRAME=60 start_program "$program"
    check "screen size while running" 640x480 "$(screen_size)"
    finish_program
    check "ended by SIG${3^^}" $((128 + numbers[$3])) "$exit_code"
    expect_desktop_back
    for run in $(seq 2 "${4:-1}"); do
        TOLVAREN_CRASH=$3 TOLVAREN_CRASH_FRAME=3 env --default-signal "$program" 2>/dev/null
        status=$?
        [ "$status" -eq $((128 + numbers[$3])) ] || fail "run $run ended with $status"
        wait_for_desktop || fail "run $run left the screen at $(screen_size)"
    done
    echo "$run crashes, each ended by SIG${3^^} with the desktop back"
    ;;
*)
    echo "unknown case $case_name"; exit 2 ;;
esac

[ "$failures" -eq 0 ]
