#!/usr/bin/env bash
# Runs the built program as a user would, on a private X server or a headless compositor, and checks
# what the screen shows.
# Usage: desktop_test.sh CASE PROGRAM [SIGNAL REPEATS | left|right | xwayland|wayland [WxH]].
# Exit 0 passed, 1 failed, 77 skipped.
set -u
case_name=$1
program=$2
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d /tmp/tolvaren-desktop.XXXXXX)
source "$here/lib.sh"

# The desktops users run, each through Xwayland and natively, on an output of $output_size: the
# compositor's case starts it and defines `picture NAME` (the compositor's own picture in
# NAME-output.png, and the program's in NAME.png), `move DX DY`, `hold KEY SECONDS` and `tap KEY`
# in the program's input, then `on_desktop` makes the checks every desktop passes.
on_desktop() {
    # An X client's first frame turns by where the pointer stands: at the screen's middle, not at all.
    [ "${SDL_VIDEODRIVER:-}" = wayland ] || cursor_start=$(xdotool getdisplaygeometry | awk '{print int($1 / 2), int($2 / 2)}')
    start_program "$program"
    picture start
    expect_start_view start
    expect_centred start
    expect_shape_kept start
    ! declare -F check_identity >/dev/null || check_identity
    ! declare -F warm_up >/dev/null || warm_up
    if declare -F move >/dev/null; then
        move 40 0; sleep 0.3; picture right
        move 0 -40; sleep 0.3; picture up
        # 2 degrees move the triangle 320 tan(2) / tan(hfov / 2) = 20 px, the floor's edge 20 rows
        expect_near "40 px right turns the view 2 degrees right" -20 $(($(green_centre right) - $(green_centre start)))
        expect_near "40 px up tilts the view 2 degrees down" -20 $(($(horizon up) - $(horizon right)))
    fi
    ! declare -F check_layout >/dev/null || check_layout
    picture before-walk
    hold Up 0.25
    sleep 0.3; picture walked
    [ "$(green_count walked)" -gt "$(green_count before-walk)" ] || fail "Up did not bring the triangle closer"
    tap Escape
    finish_program
    check "exit code after Escape" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    sleep 0.5; picture after
    check "the program's pixels after it ended" 0 "$(green_count after)"
    start_program "$program"
    kill -TERM "$program_pid"
    finish_program
    check "exit code after SIGTERM" 0 "$exit_code"
}

as_picture() { # as_picture NAME: the program's picture, the largest 4:3 middle of the output, at 640 x 480
    local w h
    read -r w h < <(identify -format '%w %h\n' "$work/$1-output.png")
    if [ $((w * 3)) -gt $((h * 4)) ]; then w=$(((h * 4 + 1) / 3)); else h=$(((w * 3 + 2) / 4)); fi
    convert "$work/$1-output.png" -alpha off -gravity center -crop "${w}x${h}+0+0" +repage -filter point \
        -resize '640x480!' "$work/$1.png"
}

expect_shape_kept() { # expect_shape_kept NAME: on the compositor's own picture, the triangle as wide as
    # high and in the middle, and black bars where the output is of another shape than 4:3
    local raw=$work/$1-output.png w h box bw bh bx
    read -r w h < <(identify -format '%w %h\n' "$raw")
    box=$(convert "$raw" -alpha off -fill black +opaque '#00FF00' -format '%@' info:)
    IFS='x+' read -r bw bh bx _ <<<"$box"
    awk "BEGIN {exit !($bw / $bh >= 0.96 && $bw / $bh <= 1.04)}" && echo "ok: triangle ${bw} x ${bh} on $w x $h" ||
        fail "the triangle is ${bw} x ${bh} on $w x $h: its shape is not kept"
    local off=$((2 * bx + bw - w))
    [ "${off#-}" -le $((w / 50)) ] || fail "triangle off the output's middle: columns $bx to $((bx + bw)) of $w"
    if [ $((w * 3)) -gt $((h * 4)) ]; then
        check "bars at the sides" blackblack "$(colour_at "$1-output" 2 $((h / 2)))$(colour_at "$1-output" $((w - 3)) $((h / 2)))"
    elif [ $((w * 3)) -lt $((h * 4)) ]; then
        check "bars above and below" blackblack "$(colour_at "$1-output" $((w / 2)) 2)$(colour_at "$1-output" $((w / 2)) $((h - 3)))"
    fi
}

expect_near() { # expect_near WHAT EXPECTED ACTUAL: within 3
    local off=$(($3 - $2))
    if [ "${off#-}" -le 3 ]; then echo "ok: $1 ($3 px)"; else fail "$1: expected $2 px, got $3"; fi
}

# A compositor that will not run as root runs as an unprivileged user: "${as_user[@]}" COMMAND.
as_user=()
unprivileged_user() {
    [ "$(id -u)" -eq 0 ] || return 0
    as_user=(setpriv --reuid=tolvaren-test --regid=tolvaren-test --init-groups --)
    # The X sockets' folder as root makes it: made by that user's Xwayland, no root server could use it.
    [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix
    id tolvaren-test >/dev/null 2>&1 || useradd --system --no-create-home tolvaren-test
}

runtime_dir() { # a private XDG_RUNTIME_DIR that the compositor's user owns
    XDG_RUNTIME_DIR=$(mktemp -d /tmp/tolvaren-runtime.XXXXXX)
    export XDG_RUNTIME_DIR
    [ ${#as_user[@]} -eq 0 ] || chown tolvaren-test: "$XDG_RUNTIME_DIR"
    compositor_cleanup() { rm -rf "$XDG_RUNTIME_DIR"; }
}

# A compositor that runs the checks as its session: this script's CASE-session case, whose verdict
# comes back through a file.
session_script() { # session_script CASE MODE: writes $work/session.sh
    printf '#!/bin/bash\nexec bash %q %q %q %q %q\n' "$0" "$1-session" "$program" "$2" "$work/session.status" \
        >"$work/session.sh"
    chmod +x "$work/session.sh"
    echo 1 >"$work/session.status"
}

wait_for_session() { # wait_for_session PID NAME: the compositor started, with its log in $work/NAME.log
    session_pid=$1
    extra_cleanup() {  # a compositor may outlive its D-Bus session, and mutter does not heed SIGTERM
        kill -KILL $(pgrep -P "$session_pid") "$session_pid" 2>/dev/null
        wait "$session_pid" 2>/dev/null
        compositor_cleanup
    }
    wait "$session_pid"
    cat "$work/session.status.out" 2>/dev/null
    [ "$(cat "$work/session.status")" = 0 ] || fail "in $2's session (its log: $work/$2.log)"
}

session_input() { # session_input STATUS_FILE HELPER...: inside the session, input through a helper that
    # answers each command ("move DX DY", "key CODE 1|0") with "done"; keys by the codes in key_code
    status_file=$1 remote_calls=0
    shift
    exec >"$status_file.out" 2>&1
    mkfifo "$work/remote.in"
    "$@" <"$work/remote.in" >"$work/remote.out" 2>&1 &
    remote_pid=$!
    exec 3>"$work/remote.in"
    session_cleanup() { exec 3>&-; kill "$remote_pid" 2>/dev/null; echo "$failures" >"$status_file"; }
    extra_cleanup() { session_cleanup; }
    answered() { [ "$(grep -c done "$work/remote.out")" -ge "$remote_calls" ]; }
    remote() { echo "$*" >&3; remote_calls=$((remote_calls + 1)); wait_for 2 answered; }
    move() { remote move "$1" "$2"; }
    hold() { remote key "${key_code[$1]}" 1; sleep "$2"; remote key "${key_code[$1]}" 0; }
    tap() { remote key "${key_code[$1]}" 1; remote key "${key_code[$1]}" 0; }
    warm_up() { move 1 0; move -1 0; tap Shift_L; sleep 0.3; }  # the new devices announce themselves first
    # Shown once the compositor's picture holds the scene in its own colours: a window that is
    # still fading in has none of them.
    program_window_shown() { picture shown && [ "$(colour_at shown 320 330)$(colour_at shown 20 470)" = greenblue ]; }
    [ "$mode" != wayland ] || export SDL_VIDEODRIVER=wayland cursor_start=none
}

xwayland_input() { # the program as an X11 client: input through XTest
    move() { xdotool mousemove_relative -- "$1" "$2"; }
    hold() { xdotool keydown "$1"; sleep "$2"; xdotool keyup "$1"; }
    tap() { xdotool key "$1"; }
}

case $case_name in
sway) # sway xwayland|wayland WxH[@SCALE]: headless, on Mesa's software renderer
    unprivileged_user
    runtime_dir
    output_size=${4%@*} scale=1  # WxH[@SCALE]
    [ "$4" = "$output_size" ] || scale=${4#*@}
    printf 'output HEADLESS-1 mode %s scale %s\nxwayland force\n' "$output_size" "$scale" >"$work/sway.config"
    chmod 755 "$work"
    "${as_user[@]}" env WLR_BACKENDS=headless WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 WLR_LIBINPUT_NO_DEVICES=1 \
        XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" sway -d -c "$work/sway.config" >"$work/sway.log" 2>&1 &
    sway_pid=$!
    extra_cleanup() {
        kill $(pgrep -f "^Xwayland $DISPLAY ") "$sway_pid" 2>/dev/null
        wait "$sway_pid" 2>/dev/null
        compositor_cleanup
    }
    wait_for 10 grep -q 'Starting Xwayland on' "$work/sway.log" || { fail "sway did not start: $(tail -3 "$work/sway.log")"; exit 1; }
    export WAYLAND_DISPLAY=wayland-1 SWAYSOCK DISPLAY
    SWAYSOCK=$(ls "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
    DISPLAY=$(sed -n 's/.*Starting Xwayland on \(:[0-9]*\).*/\1/p' "$work/sway.log" | head -1)
    picture() { grim -t png "$work/$1-output.png" && as_picture "$1"; }
    check_identity() { # the desktop entry's ID, as sway tells it: the app_id natively, the X11 class through Xwayland
        check "the window's identity" org.tolvaren.Tolvaren "$(swaymsg -t get_tree | python3 -c '
import json, sys
def windows(node):
    yield node
    for child in node.get("nodes", []) + node.get("floating_nodes", []):
        yield from windows(child)
for node in windows(json.load(sys.stdin)):
    if node.get("name") == "TOLVAREN":
        print(node.get("app_id") or node.get("window_properties", {}).get("class"))')"
    }
    if [ "$3" = wayland ]; then
        export SDL_VIDEODRIVER=wayland cursor_start=none
        program_window_shown() { swaymsg -t get_tree | grep -q '"name": "TOLVAREN"'; }
        # Each wtype is a new virtual keyboard: the pause lets its keymap arrive before the key.
        # The headless seat has no pointer for a tool to move.
        hold() { wtype -s 300 -P "$1" -s "$(awk "BEGIN {print $2 * 1000}")" -p "$1"; }
        tap() { wtype -s 300 -k "$1"; }
    else
        wait_for 10 "${as_user[@]}" xhost +si:localuser:root >/dev/null || { fail "Xwayland did not start on $DISPLAY"; exit 1; }
        xwayland_input
    fi
    on_desktop
    ;;
mutter) # mutter xwayland|wayland WxH: headless, on a virtual monitor; the checks run inside its session
    runtime_dir
    session_script mutter "$3"
    export output_size=$4
    GSETTINGS_BACKEND=memory dbus-run-session -- mutter --headless --virtual-monitor "$4" \
        --wayland-display tolvaren-mutter -- "$work/session.sh" >"$work/mutter.log" 2>&1 <&- &
    wait_for_session $! mutter
    ;;
mutter-session) # run by mutter with DISPLAY and WAYLAND_DISPLAY set: input and pictures through its
    # remote-desktop and screen-cast services, pictures read from PipeWire
    mode=$3
    declare -A key_code=([Up]=0xff52 [Escape]=0xff1b [Shift_L]=0xffe1)  # X keysyms
    pipewire >"$work/pipewire.log" 2>&1 &
    pipewire_pid=$!
    wait_for 5 test -S "$XDG_RUNTIME_DIR/pipewire-0"
    wireplumber >"$work/wireplumber.log" 2>&1 &
    wireplumber_pid=$!
    session_input "$4" "$here/mutter_remote.py"
    cast_pid=
    extra_cleanup() { kill $cast_pid "$wireplumber_pid" "$pipewire_pid" 2>/dev/null; session_cleanup; }
    wait_for 15 grep -q . "$work/remote.out"
    node=$(head -1 "$work/remote.out")
    [ "$node" != none ] || { fail "no screen cast: $(cat "$work/remote.out")"; exit 1; }
    # The cast, five frames a second while the screen changes: a picture is a frame that began after
    # it was asked for. A still screen sends no frames: the pointer is nudged to make one.
    mkdir "$work/cast"
    gst-launch-1.0 -q pipewiresrc path="$node" ! videorate ! video/x-raw,framerate=5/1 ! videoconvert ! \
        pngenc compression-level=0 ! multifilesink location="$work/cast/%06d.png" max-files=10 &
    cast_pid=$!
    frame_after() { [ "$(ls "$work/cast" | tail -3 | head -1)" \> "$1" ]; }  # and one more begun
    picture() {
        local asked
        asked=$(ls "$work/cast" | tail -1)
        wait_for 3 frame_after "$asked" || { move 1 0; move -1 0; move 1 0; move -1 0; wait_for 3 frame_after "$asked"; } ||
            return 1
        cp "$work/cast/$(ls "$work/cast" | tail -2 | head -1)" "$work/$1-output.png" && as_picture "$1"
    }
    on_desktop
    ;;
kwin) # kwin xwayland|wayland WxH: on a virtual output; the checks run inside its session
    runtime_dir
    # The packaged binary carries a file capability that a container without it cannot execute: a
    # copy, under its own name, can run.
    mkdir "$work/bin" "$work/config"
    cp /usr/bin/kwin_wayland "$work/bin/kwin_wayland"
    printf '[Plugins]\nscreenshotEnabled=true\n' >"$work/config/kwinrc"
    printf '[Layout]\nLayoutList=ru\nUse=true\n' >"$work/config/kxkbrc"  # a keyboard without Latin letters
    session_script kwin "$3"
    export output_size=$4
    # OpenGL compositing (Mesa's software renderer), which the screenshot service needs.
    XDG_CONFIG_HOME="$work/config" KWIN_COMPOSE=O2 KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
        KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 dbus-run-session -- "$work/bin/kwin_wayland" --virtual \
        --width "${4%x*}" --height "${4#*x}" --xwayland --socket tolvaren-kwin --exit-with-session "$work/session.sh" \
        >"$work/kwin.log" 2>&1 <&- &
    wait_for_session $! kwin
    ;;
kwin-session) # run by KWin with DISPLAY and WAYLAND_DISPLAY set: input through its fake-input
    # protocol (the tests' build of a client for it), pictures from its screenshot service
    mode=$3
    declare -A key_code=([Up]=103 [Escape]=1 [Shift_L]=42 [A_position]=30)  # evdev codes
    check_layout() { # on the Russian keyboard the key where A would be jumps, as on Windows
        picture before-jump
        hold A_position 0.7
        picture jumped
        [ "$(horizon jumped)" -gt $(($(horizon before-jump) + 20)) ] && echo "ok: ru: the key in the A position jumps" ||
            fail "ru: the key in the A position did not jump"
        sleep 0.8
    }
    session_input "$4" "$KWIN_FAKE_INPUT"
    wait_for 10 grep -q ready "$work/remote.out" || { fail "no fake input: $(cat "$work/remote.out")"; exit 1; }
    picture() {
        "$here/kwin_screenshot.py" "$work/$1-output.png" && as_picture "$1"
    }
    on_desktop
    ;;
switch-escape)
    start_xorg
    check "desktop size" 1024x768 "$(screen_size)"
    start_program "$program"
    check "screen size while running" 640x480 "$(screen_size)"
    expect_scene start
    xdotool key Escape  # a tap: pressed and released within a frame
    finish_program
    check "exit code" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    wait_for_desktop
    check "pointer where the program last put it" "320 240" "$(pointer)"
    expect_desktop_back
    ;;
sigterm | sigint | sighup | sigquit)
    # Closing the terminal, Ctrl+C, Ctrl+\ and kill end it through its tear-down; INT and TERM
    # close it as a close request does, the others end it by their own signal once the desktop is back.
    declare -A ends=([sigterm]=0 [sigint]=0 [sighup]=129 [sigquit]=131)
    start_desktop
    start_program "$program"
    kill -"${case_name#sig}" "$program_pid"
    finish_program
    check "exit status after ${case_name^^}" "${ends[$case_name]}" "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    expect_desktop_back
    ;;
sigkill | xkill)
    # Ends the program cannot clean up after (killed, or its connection cut): the desktop comes back.
    start_desktop
    start_program "$program"
    if [ "$case_name" = sigkill ]; then kill -KILL "$program_pid"; else xkill -id "$(program_window)" >/dev/null; fi
    finish_program
    expect_desktop_back
    sleep 0.2
    check "watcher still running" "" "$(ps -eo stat=,comm= | awk '$2 == "tolvaren-watch" && $1 !~ /Z/')"
    ;;
window-destroyed)
    start_desktop
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
    start_desktop
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
    expect_refusal "no OpenGL" "cannot create an OpenGL .*swrast" LIBGL_DRIVERS_PATH=/nonexistent
    expect_refusal "no such video driver" "cannot start the video system that SDL_VIDEODRIVER names: bogus" \
        SDL_VIDEODRIVER=bogus
    expect_refusal "a Wayland socket's path too long" "wayland not available (error: socket path .* exceeds" -u DISPLAY \
        XDG_RUNTIME_DIR="$work" WAYLAND_DISPLAY="$(printf 'w%.0s' $(seq 150))"
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
layouts)
    # Keys sent by their key codes, so that the layout decides what they mean, as on a real
    # keyboard: the key in the A position (38) is A on Russian, Q on French, where the key
    # labelled A (24) is A; a change of layout, or of the active one of two, counts from the next key.
    start_xvfb 640x480
    xkb() { # xkb KEYCODE SECONDS (held), or xkb group N (made the active layout)
        python3 - "$@" <<'PYTHON'
import ctypes, sys, time
x11, xtest = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
if sys.argv[1] == "group":
    x11.XkbLockGroup(display, 0x100, int(sys.argv[2]))  # the core keyboard
else:
    xtest.XTestFakeKeyEvent(display, int(sys.argv[1]), 1, 0)
    x11.XFlush(display)
    time.sleep(float(sys.argv[2]))
    xtest.XTestFakeKeyEvent(display, int(sys.argv[1]), 0, 0)
x11.XSync(display, 0)
PYTHON
    }
    expect_jump() { # expect_jump WHAT KEYCODE yes|no: held past the top of a jump, which then comes down
        shot before
        xkb "$2" 0.7
        shot key
        local jumped=no
        [ "$(horizon key)" -gt $(($(horizon before) + 20)) ] && jumped=yes
        check "$1 jumps" "$3" "$jumped"
        sleep 0.8  # landed
    }
    setxkbmap -layout ru
    start_program "$program"
    expect_jump "ru: the key in the A position" 38 yes
    setxkbmap -layout fr
    expect_jump "fr, set meanwhile: the key in the A position" 38 no
    expect_jump "fr: the key labelled A" 24 yes
    setxkbmap -layout fr,ru
    xkb group 1
    expect_jump "fr,ru with ru active: the key in the A position" 38 yes
    xkb group 0
    expect_jump "fr,ru switched to fr: the key in the A position" 38 no
    expect_jump "fr,ru switched to fr: the key labelled A" 24 yes
    shot standing
    xkb 24 0.7 & pressed=$!  # A pressed under fr, released under ru, where that key is Q
    sleep 0.2; xkb group 1; wait "$pressed"
    sleep 1.5; shot landed; sleep 0.35; shot still
    # A held would jump again and again; landing is not clamped and stops a few rows off standing.
    for picture in landed still; do
        [ "$(horizon $picture)" -le $(($(horizon standing) + 2)) ] || fail "A stayed held after its release ($picture)"
    done
    hold Escape 0.3
    finish_program
    check "exit code" 0 "$exit_code"
    ;;
window-manager)
    # Under openbox, as on most X11 desktops: no frame, minimise and restore, focus away and back,
    # and the window manager's close.
    start_xorg
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    extra_cleanup() { kill "$wm_pid" 2>/dev/null; }
    wait_for 5 wmctrl -m >/dev/null
    start_program "$program"
    window=$(program_window)
    expect_scene start
    check "frame" "0, 0, 0, 0" "$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.* = //')"
    # Jump past the top, then minimise while the eye comes down: the descent runs half a second
    # on its own, so if frames went on while minimised it would have landed before the restore.
    hold a 0.6  # the top comes after 32 frames, the landing 32 frames later
    xdotool windowminimize "$window"; sleep 1.0
    xdotool windowactivate --sync "$window"; sleep 0.3
    shot restored
    [ "$(horizon restored)" -gt $(($(horizon start) + 20)) ] || fail "frames ran while the window was minimised"
    sleep 1.0; shot landed
    # Landing is not clamped: it stops a quarter step below standing, a few rows off.
    [ $(($(horizon landed) - $(horizon start))) -ge -10 ] && [ "$(horizon landed)" -le "$(horizon start)" ] ||
        fail "the eye did not land once frames resumed: rows $(horizon start) and $(horizon landed)"
    xlogo & other=$!
    xdotool search --sync --name '^xlogo$' windowactivate --sync >/dev/null
    xdotool windowactivate --sync "$window"; sleep 0.3
    shot back
    xdotool mousemove_relative -- -40 0
    sleep 0.3; shot turned
    [ "$(green_centre turned)" -gt "$(green_centre back)" ] || fail "no mouse look after focus came back"
    kill "$other"
    # On the way out the window is hidden before anything else happens to it, so no frame of a
    # window at the program's size ever shows on the desktop.
    stdbuf -oL xev -id "$window" -event structure >"$work/events" 2>/dev/null &
    watcher_pid=$!
    sleep 0.3
    wmctrl -i -c "$window"
    finish_program
    kill "$watcher_pid"
    check "exit code after the window manager's close" 0 "$exit_code"
    expect_desktop_back
    check "first change on the way out" UnmapNotify "$(grep -m1 -o '^[A-Za-z]*Notify' "$work/events")"
    ;;
wayland)
    # weston runs on its X11 backend inside a private Xvfb: its headless backend offers no input
    # seat, and SDL 2.26 crashes at start without one. Keys reach weston through that X server.
    # Two outputs side by side: the program goes full screen on the first.
    start_xvfb 2048x768
    export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=tolvaren SDL_VIDEODRIVER=wayland
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --output-count=2 --debug \
        >"$work/weston.log" 2>&1 &
    weston_pid=$!
    extra_cleanup() { kill "$debug_pid" "$weston_pid" 2>/dev/null; }
    wait_for 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
    weston-debug proto >"$work/protocol" 2>&1 &  # --debug lets the screenshot and this log in
    debug_pid=$!
    program_window_shown() { grep -q 'set_title("TOLVAREN")' "$work/protocol"; }
    cursor_start="1000 700"  # far from the centre: weston tells no client where it stands
    start_program "$program"
    check "full-screen requests" 1 "$(grep -c 'xdg_toplevel@[0-9]*\.set_fullscreen' "$work/protocol")"
    (cd "$work" && weston-screenshooter)
    # weston's picture is of its two 1024 x 768 outputs, with an alpha byte that reads 0
    convert "$work"/wayland-screenshot-*.png -alpha off -crop 1024x768+0+0 +repage -filter point \
        -resize '640x480!' "$work/start.png"
    convert "$work"/wayland-screenshot-*.png -alpha off -crop 1024x768+1024+0 +repage "$work/second.png"
    expect_start_view start
    expect_centred start
    check "green on the second output" 0 "$(green_count second)"
    hold Escape 0.3
    finish_program
    check "exit code after Escape" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    start_program "$program"
    kill -TERM "$program_pid"
    finish_program
    check "exit code after SIGTERM" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
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
two-monitors) # two-monitors PROGRAM left|right: the primary 1024 x 768 on that side of a 1280 x 1024
    start_xorg
    xrandr --newmode 1280x1024 108.00 1280 1328 1440 1688 1024 1025 1028 1066 +hsync +vsync
    xrandr --addmode DUMMY1 1280x1024
    if [ "$3" = left ]; then
        primary_x=0 other_x=1024 push=5000
        xrandr --output DUMMY0 --primary --output DUMMY1 --mode 1280x1024 --pos 1024x0
    else
        primary_x=1280 other_x=0 push=-5000
        xrandr --output DUMMY1 --mode 1280x1024 --pos 0x0 --output DUMMY0 --primary --pos 1280x0
    fi
    before=$(layout)
    shot_area=640x480+$primary_x+0
    cursor_start="$((primary_x + 320)) 240"  # the primary's centre
    start_program "$program"
    check "outputs while running" "DUMMY0 640x480+$primary_x+0 DUMMY1 1280x1024+$other_x+0" \
        "$(xrandr | awk '/ connected/ {print $1, ($3 == "primary" ? $4 : $3)}' | xargs)"
    check "window" "$primary_x 0 640 480" \
        "$(xdotool getwindowgeometry --shell "$(program_window)" | sed -n 's/^[XYWIDTHEG]*=//p' | xargs)"
    expect_scene start
    expect_centred start
    xdotool mousemove_relative -- -40 0
    sleep 0.3; shot turned
    # 2 degrees left moves the triangle right by 320 tan(2) / tan(hfov / 2) = 20 px
    shift=$(($(green_centre turned) - $(green_centre start)))
    [ "$shift" -ge 17 ] && [ "$shift" -le 23 ] && echo "ok: 40 px left moved the triangle $shift px" ||
        fail "40 px left moved the triangle $shift px, not 20"
    xdotool mousemove_relative -- "$push" 3000  # hard towards the other monitor, and down
    sleep 0.3
    check "pointer after hard pushes" "$((primary_x + (push > 0 ? 639 : 0))) 479" "$(pointer)"
    xdotool key Escape
    finish_program
    check "exit code after Escape" 0 "$exit_code"
    check "stderr" "" "$(cat "$work/stderr")"
    check "layout after Escape" "$before" "$(layout)"
    start_program "$program"
    kill -KILL "$program_pid"
    finish_program
    layout_is() { [ "$(layout)" = "$1" ]; }
    wait_for 2 layout_is "$before"
    check "layout after SIGKILL" "$before" "$(layout)"
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
