#!/usr/bin/env bash
# The window on a high-DPI screen: weston with one output of scale 2 (1280x1024 points,
# 2560x2048 real pixels) and SDL's Wayland driver. At Scale=1 the window covers 240x273 points
# and every frame pixel is a 2x2 block of real pixels; at Scale=3 720x819 points in 6x6 blocks;
# fullscreen covers the whole output with the frame in the largest whole blocks of points that
# fit, centred on black. Each time the picture is weston's own screenshot of its output, and it
# must be the F1 shot block for block.
#
# weston runs nested in a private X server (its X11 back end): its headless back end offers
# no seat, and SDL 2.26's Wayland driver crashes in SDL_Init without one. The nesting also
# gives real key events: xdotool presses keys in weston's X window, and weston hands them to
# the game's Wayland window.
#
# Usage: hidpi_wayland.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.bash"

e2e_require Xvfb xdotool xwininfo weston weston-screenshooter convert python3
e2e_workdir hidpi
e2e_copy_game "$build"
E2E_SCREEN=2560x2048x24
e2e_start_xvfb
ini="$E2E_WORK/game/VORTALIX.ini"

export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
# No panel, no screen lock, and a plain grey desktop that tells the window from it.
printf '[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-color=0xff353535\nlocking=false\n' \
    >"$E2E_WORK/weston.ini"
# --debug lets weston-screenshooter read the output.
weston --config="$E2E_WORK/weston.ini" --backend=x11-backend.so --use-pixman --width=1280 \
    --height=1024 --scale=2 --socket=vortalix-hidpi --debug >"$E2E_WORK/weston.txt" 2>&1 &
wpid=$!
stop_weston() {
    kill "$wpid" 2>/dev/null || true
    wait "$wpid" 2>/dev/null || true
    e2e_cleanup
}
trap stop_weston EXIT
export WAYLAND_DISPLAY=vortalix-hidpi
weston_window=""
for _ in $(seq 300); do
    weston_window=$(xwininfo -root -children 2>/dev/null |
        awk '/ "Weston Compositor - screen0": / { print $1; exit }')
    [ -n "$weston_window" ] && [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && break
    kill -0 "$wpid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$weston_window" ] || e2e_fail "weston did not start: $(tail -5 "$E2E_WORK/weston.txt")"
# The pointer rests in the output's bottom right corner, where weston draws at most a few
# pixels of it; that corner is left out of the checks.
xdotool mousemove 1000 1000
sleep 0.2
xdotool mousemove 2559 2047

# Keys go to weston's X window, which passes them to the window it has given the focus. Each
# is held for a moment: weston passes a press and its release on together, and the game reads
# some keys as held down once a frame.
key() {
    local k
    xdotool windowfocus "$weston_window" 2>/dev/null || true
    for k in "$@"; do
        xdotool keydown "$k"
        sleep 0.1
        xdotool keyup "$k"
    done
}
shots="$E2E_WORK/shots"
mkdir -p "$shots"
# weston's picture of its whole output, in real pixels, as $1.ppm.
screenshot() {
    rm -f "$shots"/*.png
    (cd "$shots" && weston-screenshooter) || e2e_fail "weston-screenshooter failed"
    convert "$(ls "$shots"/*.png | head -n1)" "$1.ppm"
}

# run_case NAME SETTINGS WINDOW BLOCK: starts a game with these settings, pauses it once the
# effects have died out, and checks weston's picture of it against the F1 shot.
run_case() {
    local name=$1 settings=$2 window=$3 block=$4 try
    result=""
    printf '[BackGround]\nEnable=0\n[Sound]\nSE=0\nBGM=0\n%b' "$settings" >"$ini"
    rm -f "$E2E_WORK/game/g_sc"*.bmp
    e2e_start_game SDL_VIDEODRIVER=wayland
    # The window shows and weston gives it the keyboard after a time that grows with the
    # machine's load. A screenshot on the title proves the keys arrive, so F1 is pressed until
    # one appears rather than after a fixed wait that a busy machine can outlast.
    for try in $(seq 60); do
        kill -0 "$E2E_GAME_PID" 2>/dev/null || e2e_fail "$name: the game ended at once"
        key F1
        sleep 0.5
        [ -s "$E2E_WORK/game/g_sc0.bmp" ] && break
    done
    [ -s "$E2E_WORK/game/g_sc0.bmp" ] || e2e_fail "$name: no key reached the window in 30 s"
    rm -f "$E2E_WORK/game/g_sc"*.bmp
    key x
    sleep 6 # the count-down
    key F7
    sleep 4 # the effects die out; the paused game stands still
    # The shot and the screen's picture are taken a moment apart; should anything still have
    # moved in between, the pair is taken again.
    for try in 0 1 2; do
        rm -f "$E2E_WORK/game/g_sc0.bmp"
        key F1
        for _ in $(seq 50); do
            [ -s "$E2E_WORK/game/g_sc0.bmp" ] && break
            sleep 0.1
        done
        sleep 0.2 # the file is written whole
        [ -s "$E2E_WORK/game/g_sc0.bmp" ] || e2e_fail "$name: no screenshot after F1"
        screenshot "$E2E_WORK/screen"
        convert "$E2E_WORK/game/g_sc0.bmp" "$E2E_WORK/shot.ppm"
        if result=$(python3 "$here/frame_blocks.py" "$E2E_WORK/screen.ppm" "$E2E_WORK/shot.ppm" \
            --window "$window" --block "$block" --skip 2528 2016 32 32 2>&1); then
            break
        fi
        echo "$name: $result; again"
        result=""
    done
    [ -n "$result" ] || e2e_fail "$name: the window is not the F1 shot block for block"
    echo "$name: block $block, frame at, window, window at: ${result#* }"
    key Escape
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "$name: exit code $E2E_EXIT after Esc, expected 1"
    cp "$E2E_WORK/screen.ppm" "$E2E_WORK/$name.ppm"
}

run_case "Scale=1" '[Display]\nScale=1\nFullscreen=0\n' 480x546 2
run_case "Scale=3" '[Display]\nScale=3\nFullscreen=0\n' 1440x1638 6
# SDL 2.26's Wayland window surface counts points, not pixels, so the largest factor that
# fits 1280x1024 points is 3, shown by weston as 6x6 blocks (7x7 would fit the pixels).
run_case "fullscreen" '[Display]\nScale=1\nFullscreen=1\n' 2560x2048 6
case "$result" in
"6 560 204 "* | "6 560 206 "*) ;;
*) e2e_fail "fullscreen: the frame is not centred ($result)" ;;
esac
echo "high-DPI test passed"
