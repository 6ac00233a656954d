# Helpers for running the built program on a private X server or a compositor and reading its
# screen. Sourced by the desktop, Windows and package tests, which set `work` and `case_name` first.
lib_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
server_pid=
program_pid=
failures=0
cleanups=()

at_exit() { cleanups+=("$1"); }  # at_exit COMMAND: run on the way out, the latest first

cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
    for ((i = ${#cleanups[@]} - 1; i >= 0; i--)); do eval "${cleanups[i]}"; done
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null
    if [ "$failures" -eq 0 ]; then rm -rf "$work"; else echo "screens and logs kept in $work"; fi
}
trap cleanup EXIT

wait_for() { # wait_for SECONDS COMMAND...: until the command succeeds (the command is run anew each time)
    local tries=$(($1 * 10))
    shift
    for _ in $(seq "$tries"); do "$@" 2>/dev/null && return 0; sleep 0.1; done
    return 1
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { # check WHAT EXPECTED ACTUAL
    if [ "$2" = "$3" ]; then echo "ok: $1 ($3)"; else fail "$1: expected $2, got $3"; fi
}

free_display() { # a random free number, so that a test never takes the one its predecessor just left
    for n in $(shuf -i 100-199); do
        [ -e /tmp/.X11-unix/X$n ] || [ -e /tmp/.X$n-lock ] || { echo $n; return; }
    done
}

wait_for_server() { # ours, not a server that held the number before
    local lock=/tmp/.X${DISPLAY#:}-lock
    for _ in $(seq 100); do
        [ "$(tr -d ' ' 2>/dev/null <"$lock")" = "$server_pid" ] && xrandr >/dev/null 2>&1 && return 0
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    echo "the X server did not start"; exit 1
}

start_xorg() { # a 1024 x 768 desktop that switches modes; Xorg runs as root
    [ "$(id -u)" -eq 0 ] || { echo "SKIP: the dummy Xorg server needs root"; exit 77; }
    export DISPLAY=:$(free_display)
    desktop_size=1024x768
    Xorg "$DISPLAY" -config "$lib_dir/xorg-dummy.conf" -noreset -nolisten tcp -novtswitch -sharevts \
        -logfile "$work/xorg.log" >"$work/xorg.out" 2>&1 &
    server_pid=$!
    wait_for_server
}

start_xvfb() { # start_xvfb WIDTHxHEIGHT [ARGUMENTS...]: a desktop with that one mode
    export DISPLAY=:$(free_display)
    start_xvfb_on_display "$@"
}

start_desktop() { # Xorg where it can run; without root, a 640 x 480 Xvfb, where nothing switches
    if [ "$(id -u)" -eq 0 ]; then start_xorg; else start_xvfb 640x480; fi
}

start_xvfb_on_display() { # the same on the DISPLAY already chosen
    local size=$1
    shift
    desktop_size=$size
    # -noreset: a server that resets when its last client leaves refuses connections meanwhile
    Xvfb "$DISPLAY" -screen 0 "${size}x24" -nolisten tcp -noreset "$@" >"$work/xvfb.out" 2>&1 &
    server_pid=$!
    wait_for_server
}

layout() { # the screen's size, and each output's mode, position, rotation and primary flag
    xrandr 2>/dev/null | sed -n 's/^Screen 0: .*current \([0-9]* x [0-9]*\),.*/screen \1/p; / connected/p'
}

screen_size() { xrandr 2>/dev/null | sed -n 's/.*current \([0-9]*\) x \([0-9]*\),.*/\1x\2/p'; }

# How the program's window is seen: by its X title (x11), in sway's tree (sway), in weston's protocol
# log (weston), or once the compositor's picture holds the scene in its own colours (picture): a
# window that is still fading in has none of them.
shown_by=x11
program_window_shown() {
    case $shown_by in
    x11) xdotool search --name '^TOLVAREN$' >/dev/null 2>&1 ;;
    sway) swaymsg -t get_tree | grep -q '"name": "TOLVAREN"' ;;
    weston) grep -q 'set_title("TOLVAREN")' "$work/protocol" ;;
    picture) picture shown && [ "$(colour_at shown 320 330)$(colour_at shown 20 470)" = greenblue ] ;;
    esac
}

start_program() { # start_program COMMAND...: waits up to 30 s for its window
    [ "${cursor_start:-}" = none ] || xdotool mousemove ${cursor_start:-320 240}  # where the first frame finds it
    env --default-signal "$@" >"$work/stdout" 2>"$work/stderr" &
    program_pid=$!
    local deadline=$((SECONDS + 30))
    while [ "$SECONDS" -lt "$deadline" ]; do
        program_window_shown && { sleep 0.5; return 0; }
        kill -0 "$program_pid" 2>/dev/null || break
        sleep 0.1
    done
    fail "no TOLVAREN window appeared: $(cat "$work/stderr") on $DISPLAY: $(xrandr 2>&1 | head -3)"; exit 1
}

finish_program() { # sets exit_code, or "running" after ten seconds (and kills it); once ended, keeps it
    [ -n "$program_pid" ] || return 0
    for _ in $(seq 100); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid"
            exit_code=$?
            program_pid=
            return
        fi
        sleep 0.1
    done
    exit_code=running  # a program left running would slow every later case on a small machine
    kill -KILL "$program_pid"
    wait "$program_pid" 2>/dev/null
    program_pid=
}

# The program's input: XTest (xtest), a Wayland virtual keyboard per command (wtype: each is a new
# keyboard, so a press and its release go in one), or a compositor's own service through a helper
# (remote, with keys by the codes in key_code).
input=xtest
key() { # key NAME 1|0: pressed or released
    case $input in
    xtest) xdotool "key$([ "$2" = 1 ] && echo down || echo up)" "$1" ;;
    remote) remote key "${key_code[$1]}" "$2" ;;
    esac
}
hold() { # hold KEY SECONDS
    if [ "$input" = wtype ]; then wtype -s 300 -P "$1" -s "$(awk "BEGIN {print $2 * 1000}")" -p "$1"; return; fi
    key "$1" 1; sleep "$2"; key "$1" 0
}
tap() { # tap KEY: pressed and released at once, within a frame
    case $input in
    xtest) xdotool key "$1" ;;
    wtype) wtype -s 300 -k "$1" ;;  # the pause lets the new keyboard's keymap arrive before the key
    remote) key "$1" 1; key "$1" 0 ;;
    esac
}
move() { # move DX DY: the pointer, relative
    case $input in
    xtest) xdotool mousemove_relative -- "$1" "$2" ;;
    remote) remote move "$1" "$2" ;;
    esac
}

shot() { xwd -root -silent | convert xwd:- ${shot_area:+-crop "$shot_area" +repage} "$work/$1.png"; }

# The scene's three colours as a compositor may give them back, a step off (weston 14 on draws the
# green as #00FE00), made exact again.
scene_colours=(-alpha off -fuzz 2% -fill '#00FF00' -opaque '#00FF00' -fill '#0000FF' -opaque '#0000FF'
    -fill '#000000' -opaque '#000000')

# Green pixels: count and mean column, of the whole screen.
green() { convert "$work/$1.png" "${scene_colours[@]}" txt:- | awk -F'[,:]' '/#00FF00/ {n++; s+=$1} END {printf "%d %d\n", n, n ? s/n : -1}'; }
green_count() { green "$1" | cut -d' ' -f1; }
green_centre() { green "$1" | cut -d' ' -f2; }

colour_at() { # colour_at SHOT X Y: black, green, blue or other
    case $(convert "$work/$1.png" -crop "1x1+$2+$3" "${scene_colours[@]}" txt:- | grep -o '#[0-9A-F]\{6\}') in
    '#000000') echo black ;; '#00FF00') echo green ;; '#0000FF') echo blue ;; *) echo other ;;
    esac
}

horizon() { # topmost blue row at the screen's left edge, 480 when the floor is below the view
    convert "$work/$1.png" -crop 1x480+2+0 +repage "${scene_colours[@]}" txt:- |
        awk -F'[,:]' '/#0000FF/ {print $2; found=1; exit} END {if (!found) print 480}'
}

pointer() { xdotool getmouselocation | sed 's/x:\([0-9]*\) y:\([0-9]*\).*/\1 \2/'; }

expect_centred() { # the triangle's green straddles the middle column (the mean of 0..639 is 319.5)
    local centre
    centre=$(green_centre "$1")
    [ "$centre" -ge 318 ] && [ "$centre" -le 321 ] || fail "triangle not centred: column $centre"
}

expect_scene() { # the start view on the screen
    shot "$1"
    expect_start_view "$1"
}

expect_start_view() { # expect_start_view PICTURE: triangle ahead on the floor, black sky
    check "triangle ahead" green "$(colour_at "$1" 320 330)"
    check "floor at the bottom" blue "$(colour_at "$1" 20 470)"
    check "black above the horizon" black "$(colour_at "$1" 320 40)"
}

program_window() { xdotool search --name '^TOLVAREN$' | head -1; }

desktop_size_back() { [ "$(screen_size)" = "$desktop_size" ]; }
wait_for_desktop() { wait_for 2 desktop_size_back; }  # the desktop's size back within two seconds

expect_desktop_back() {
    wait_for_desktop
    check "screen size after exit" "$desktop_size" "$(screen_size)"
    [ "$desktop_size" = 1024x768 ] || return 0  # Xvfb moves no pointer for xdotool
    xdotool mousemove 1000 700
    check "cursor free over the whole desktop" "1000 700" "$(pointer)"
}

# expect_ending WHAT STATUS [STDERR]: the program ended after WHAT with that exit status and that
# one line on stderr (none by default), and on an X server of ours the desktop is back.
expect_ending() {
    finish_program
    check "exit status after $1" "$2" "$exit_code"
    check "stderr after $1" "${3:-}" "$(cat "$work/stderr")"
    [ -z "${desktop_size:-}" ] || expect_desktop_back
}

