# Every way the program ends, and every bad start: the exit status, the line on stderr and the
# desktop given back. Sourced by desktop_test.sh.

case_switch_escape() {
    start_xorg
    check "desktop size" 1024x768 "$(screen_size)"
    start_program "$program"
    check "screen size while running" 640x480 "$(screen_size)"
    expect_scene start
    tap Escape  # pressed and released within a frame
    finish_program
    wait_for_desktop
    check "pointer where the program last put it" "320 240" "$(pointer)"
    expect_ending Escape 0
}

# Closing the terminal, Ctrl+C, Ctrl+\ and kill end it through its tear-down; INT and TERM close it
# as a close request does, the others end it by their own signal once the desktop is back.
case_sigterm() { end_by_signal TERM 0; }
case_sigint() { end_by_signal INT 0; }
case_sighup() { end_by_signal HUP 129; }
case_sigquit() { end_by_signal QUIT 131; }
end_by_signal() { # end_by_signal SIGNAL STATUS
    start_desktop
    start_program "$program"
    kill -"$1" "$program_pid"
    expect_ending "SIG$1" "$2"
}

# Ends the program cannot clean up after (killed, or its connection cut): the desktop comes back.
case_sigkill() { end_uncleanly 'kill -KILL "$program_pid"'; }
case_xkill() { end_uncleanly 'xkill -id "$(program_window)" >/dev/null'; }
end_uncleanly() { # end_uncleanly COMMAND: evaluated once the program runs
    start_desktop
    start_program "$program"
    eval "$1"
    finish_program
    expect_desktop_back
    sleep 0.2
    check "watcher still running" "" "$(ps -eo stat=,comm= | awk '$2 == "tolvaren-watch" && $1 !~ /Z/')"
}

case_window_destroyed() {
    start_desktop
    start_program "$program"
    xdotool windowclose "$(program_window)"
    local started=$SECONDS
    finish_program
    [ $((SECONDS - started)) -le 5 ] || fail "took $((SECONDS - started)) s to end"
    expect_ending "the window was destroyed" 1 "tolvaren: the window was destroyed by another program"
}

case_two_instances() {
    start_desktop
    start_program "$program"
    env --default-signal "$program" >"$work/second.stdout" 2>"$work/second.stderr"
    check "second start's exit code" 1 "$?"
    check "second start's stderr" "tolvaren: already running on $DISPLAY" "$(cat "$work/second.stderr")"
    check "screen size with the first still running" 640x480 "$(screen_size)"
    hold Escape 0.3
    expect_ending "Escape, the first one" 0
}

expect_refusal() { # expect_refusal WHAT PATTERN [ENV...]: a bad start, exit status 1, one line on stderr
    local what=$1 pattern=$2
    shift 2
    timeout 20 env --default-signal "$@" "$program" >"$work/stdout" 2>"$work/stderr"  # a start that runs fails
    check "$what: exit code" 1 "$?"
    check "$what: lines on stderr" 1 "$(wc -l <"$work/stderr")"
    grep -q "$pattern" "$work/stderr" || fail "$what: stderr says: $(cat "$work/stderr")"
}

case_bad_display() {
    expect_answers() { # expect_answers WHERE [ENV...]: --help, -h and --version answered on stdout, and
        # nothing started: a walk-through would still run when the timeout ends it
        local where=$1 option
        shift
        for option in --help -h --version; do
            timeout 5 env --default-signal "$@" "$program" "$option" >"$work/stdout" 2>"$work/stderr"
            check "$option, $where: exit code" 0 "$?"
            check "$option, $where: stderr" "" "$(cat "$work/stderr")"
            grep -qE '^(Usage: tolvaren |TOLVAREN [0-9]+\.[0-9]+\.[0-9]+$)' "$work/stdout" ||
                fail "$option, $where: stdout says: $(head -3 "$work/stdout")"
        done
    }
    expect_refusal "no display" "neither DISPLAY nor WAYLAND_DISPLAY is set" -u DISPLAY -u WAYLAND_DISPLAY \
        -u SDL_VIDEODRIVER -u XDG_RUNTIME_DIR
    expect_answers "no display" -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER
    nobody=:$(free_display)
    expect_refusal "nothing listens" "cannot reach the display $nobody" DISPLAY=$nobody
    export DISPLAY=:$(free_display) XAUTHORITY="$work/cookie"  # a server that takes only this cookie
    xauth -q add "$DISPLAY" . "$(mcookie)" 2>/dev/null
    start_xvfb_on_display 640x480 -auth "$XAUTHORITY"
    expect_refusal "refused" "the display $DISPLAY refused the connection" XAUTHORITY=/dev/null
    expect_answers "on a display"
    # Mesa's software renderer with no such driver (Mesa 25 on looks for its drivers nowhere else)
    expect_refusal "no OpenGL" "cannot create an OpenGL .*\(swrast\|drisw\)" LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=bogus
    expect_refusal "no such video driver" "cannot start the video system that SDL_VIDEODRIVER names: bogus" \
        SDL_VIDEODRIVER=bogus
    expect_refusal "a Wayland socket's path too long" "wayland not available (error: socket path .* exceeds" -u DISPLAY \
        XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY="$(printf 'w%.0s' $(seq 150))"
}

case_no_mode() {
    start_xvfb 1024x768
    expect_refusal "no 640 x 480 mode" '640 x 480'
    check "screen size" 1024x768 "$(screen_size)"
}

case_crash() {
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
}
