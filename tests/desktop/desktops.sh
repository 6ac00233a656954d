# The program on private X servers (Xorg's dummy driver for real display switches, Xvfb for the
# rest), under a window manager, on two monitors, under keyboard layouts; and on weston. Sourced by
# desktop_test.sh.

case_controls() {
    start_xvfb 640x480
    start_program "$program"
    expect_scene start
    expect_centred start
    hold Up 0.25
    sleep 0.2; shot walked
    [ "$(green_count walked)" -gt "$(green_count start)" ] || fail "Up did not bring the triangle closer"
    move -40 0
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
    expect_ending Escape 0
}

case_layouts() {
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
    expect_ending Escape 0
}

case_window_manager() {
    # Under openbox, as on most X11 desktops: no frame, minimise and restore, focus away and back,
    # and the window manager's close.
    start_xorg
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    wm_pid=$!
    at_exit 'kill "$wm_pid" 2>/dev/null'
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
    move -40 0
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
    expect_ending "the window manager's close" 0
    check "first change on the way out" UnmapNotify "$(grep -m1 -o '^[A-Za-z]*Notify' "$work/events")"
}

case_wayland() {
    # weston runs on its X11 backend inside a private Xvfb: its headless backend offers no input
    # seat, and SDL 2.26 crashes at start without one. Keys reach weston through that X server.
    # Two outputs side by side: the program goes full screen on the first.
    start_xvfb 2048x768
    export XDG_RUNTIME_DIR="$work/runtime" WAYLAND_DISPLAY=tolvaren SDL_VIDEODRIVER=wayland
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    weston --backend=x11-backend.so --socket="$WAYLAND_DISPLAY" --width=1024 --height=768 --output-count=2 --debug \
        >"$work/weston.log" 2>&1 &
    weston_pid=$!
    at_exit 'kill "$debug_pid" "$weston_pid" 2>/dev/null'
    wait_for 10 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
    weston-debug proto >"$work/protocol" 2>&1 &  # --debug lets the screenshot and this log in
    debug_pid=$!
    shown_by=weston
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
    expect_ending Escape 0
    start_program "$program"
    kill -TERM "$program_pid"
    expect_ending SIGTERM 0
}

case_first_turn() {
    start_xorg  # Xvfb moves no pointer for xdotool
    cursor_start="420 240"  # 100 px right of the centre: the first frame turns 5 degrees right
    start_program "$program"
    shot start
    centre=$(green_centre start)
    # tan(5 degrees) across the half-width of a 45-degree, 4:3 view: 51 px to the left
    [ "$centre" -ge 265 ] && [ "$centre" -le 273 ] || fail "first frame did not turn right: column $centre"
    hold Escape 0.3
    expect_ending Escape 0
}

case_two_monitors() {
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
    before=$(layout) desktop_size=$(screen_size)
    shot_area=640x480+$primary_x+0
    cursor_start="$((primary_x + 320)) 240"  # the primary's centre
    start_program "$program"
    check "outputs while running" "DUMMY0 640x480+$primary_x+0 DUMMY1 1280x1024+$other_x+0" \
        "$(xrandr | awk '/ connected/ {print $1, ($3 == "primary" ? $4 : $3)}' | xargs)"
    check "window" "$primary_x 0 640 480" \
        "$(xdotool getwindowgeometry --shell "$(program_window)" | sed -n 's/^[XYWIDTHEG]*=//p' | xargs)"
    expect_scene start
    expect_centred start
    move -40 0
    sleep 0.3; shot turned
    # 2 degrees left moves the triangle right by 320 tan(2) / tan(hfov / 2) = 20 px
    shift=$(($(green_centre turned) - $(green_centre start)))
    [ "$shift" -ge 17 ] && [ "$shift" -le 23 ] && echo "ok: 40 px left moved the triangle $shift px" ||
        fail "40 px left moved the triangle $shift px, not 20"
    move "$push" 3000  # hard towards the other monitor, and down
    sleep 0.3
    check "pointer after hard pushes" "$((primary_x + (push > 0 ? 639 : 0))) 479" "$(pointer)"
    tap Escape
    expect_ending Escape 0
    check "layout after Escape" "$before" "$(layout)"
    start_program "$program"
    kill -KILL "$program_pid"
    finish_program
    layout_is() { [ "$(layout)" = "$1" ]; }
    wait_for 2 layout_is "$before"
    check "layout after SIGKILL" "$before" "$(layout)"
}
