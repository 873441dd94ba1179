#!/usr/bin/env bash
# The window at any size and fullscreen, on a 1280x1024 screen. [Display] Scale=3 gives a
# 720x819 window whose picture is the F1 shot with every pixel a 3x3 block; F11 covers the
# screen with that frame centred and black around it, F11 again brings the window back to its
# size and place. Both ways of drawing (the window surface, SDL's renderer) are checked so.
# Without a [Display] section the window is the usual 240x273 one; fullscreen is kept in the
# settings and comes back at the next start, where Alt+Enter leaves it.
#
# Usage: display_window.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo import convert compare
e2e_workdir display
e2e_copy_game "$build"
E2E_SCREEN=1280x1024x24
e2e_start_xvfb
ini="$E2E_WORK/game/VORTALIX.ini"
key() { xdotool key --window "$E2E_WINDOW" "$@"; }
expect_geometry() {
    local got
    got=$(e2e_geometry "$E2E_WINDOW")
    [ "$got" = "$1" ] || e2e_fail "$2: window at $got, expected $1"
    echo "$2: $got"
}
# Starts a game and leaves it paused once the effects have died out, so the picture stands.
paused_game() {
    sleep 1
    key x
    sleep 5 # the count-down
    key F7
    sleep 4 # the effects die out; the paused game stands still
}
# The number of pixels in which two pictures differ.
differing() { compare -metric AE "$1" "$2" null: 2>&1 || true; }
# The level and combo bars take a fresh random colour every frame, paused or not, so a shot
# and a picture taken a moment later never agree there once a bar holds anything. Both bars
# are painted black (in a picture of the frame x3 placed at +x+y) before pictures are compared:
# a full bar covers frame columns 82..238 (level) and 210..238 (combo), the last inclusive.
without_bars() {
    local x=$2 y=$3
    convert "$1" -fill black \
        -draw "rectangle $((x + 246)),$((y + 777)) $((x + 716)),$((y + 788))" \
        -draw "rectangle $((x + 630)),$((y + 801)) $((x + 716)),$((y + 812))" "$1"
}

# Takes an F1 shot and the screen's picture (cropped to $1, in which the frame x3 should lie
# at +$2+$3) and leaves in d the number of pixels in which they differ, bars left out. They
# are taken a moment apart; should anything still have moved in between, the pair is taken
# again. No shot may be there before (each F1 writes g_sc0.bmp); the shot x3 stays in shot3.png.
compare_with_shot() {
    local crop=$1 x=$2 y=$3 try shot="$E2E_WORK/game/g_sc0.bmp"
    for try in 0 1 2; do
        key F1
        sleep 0.5
        import -window root -crop "$crop" +repage "$E2E_WORK/screen.png"
        [ -s "$shot" ] || e2e_fail "no screenshot after F1"
        convert "$shot" -sample 300% "$E2E_WORK/shot3.png"
        convert -size "${crop%%+*}" xc:black "$E2E_WORK/shot3.png" -geometry "+$x+$y" \
            -composite "$E2E_WORK/want.png"
        without_bars "$E2E_WORK/screen.png" "$x" "$y"
        without_bars "$E2E_WORK/want.png" "$x" "$y"
        d=$(differing "$E2E_WORK/screen.png" "$E2E_WORK/want.png")
        [ "$d" = 0 ] && return 0
        echo "the picture moved between the shot and the screen's picture ($d pixels); again"
        rm -f "$shot"
    done
}

# --- three times the frame, through the window surface and through SDL's renderer ---
# $1 is the value of VORTALIX_PRESENT. Xvfb has no GPU, so left to itself the game must keep
# to the window surface and never start OpenGL; asked for the renderer, it draws through
# llvmpipe, and the pixels must be the same.
scaled_and_fullscreen() {
    local how=$1 d
    printf '[BackGround]\nEnable=0\n[Sound]\nSE=0\nBGM=0\n[Display]\nScale=3\n' >"$ini"
    rm -f "$E2E_WORK/game/g_sc"*.bmp
    # The dynamic loader lists every library the game loads, even one unloaded again later.
    e2e_start_game VORTALIX_PRESENT="$how" LD_DEBUG=files
    e2e_find_window
    expect_geometry 720x819+200+107 "Scale=3 ($how)"
    if [ "$how" = renderer ]; then
        grep -q 'opengl.* renderer' "$E2E_WORK/out.txt" || e2e_fail "the renderer was not used"
    elif grep -qE 'file=[^ ]*(libGLX|libEGL|swrast_dri|libLLVM)' "$E2E_WORK/out.txt"; then
        e2e_fail "OpenGL was started on a display without a GPU"
    fi
    paused_game
    compare_with_shot 720x819+200+107 0 0
    [ "$d" = 0 ] || e2e_fail "the 3x window ($how) differs from the F1 shot scaled 3x in $d pixels"
    echo "Scale=3 ($how): the window is the F1 shot, block for block"

    key F11
    sleep 1
    expect_geometry 1280x1024+0+0 "fullscreen ($how)"
    import -window root "$E2E_WORK/full.png"
    convert -size 1280x1024 xc:black "$E2E_WORK/shot3.png" -geometry +280+102 -composite \
        "$E2E_WORK/full-want.png"
    without_bars "$E2E_WORK/full.png" 280 102
    without_bars "$E2E_WORK/full-want.png" 280 102
    d=$(differing "$E2E_WORK/full.png" "$E2E_WORK/full-want.png")
    [ "$d" = 0 ] ||
        e2e_fail "fullscreen ($how) differs from the 3x shot centred on black in $d pixels"
    echo "fullscreen ($how): the 3x frame centred, black around it"
    key F11
    sleep 1
    expect_geometry 720x819+200+107 "back from fullscreen ($how)"
    key Escape || true
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after Esc, expected 1"
    grep -A2 -xF '[Display]' "$ini" | grep -qxF 'Scale=3' || e2e_fail "Scale=3 was not kept"
    grep -A2 -xF '[Display]' "$ini" | grep -qxF 'Fullscreen=0' || e2e_fail "no Fullscreen=0"
}
scaled_and_fullscreen auto
scaled_and_fullscreen renderer

# --- no [Display] section: today's window, and fullscreen kept for the next start ---
printf '[BackGround]\nEnable=0\n[Sound]\nSE=0\nBGM=0\n' >"$ini"
rm -f "$E2E_WORK/game/g_sc"*.bmp
e2e_start_game
e2e_find_window
expect_geometry 240x273+200+107 "no [Display]"
paused_game
key F11
sleep 1
expect_geometry 1280x1024+0+0 "fullscreen from 240x273"
compare_with_shot 1280x1024+0+0 280 102
[ "$d" = 0 ] || e2e_fail "fullscreen from 240x273 differs from the 3x shot in $d pixels"
key F11
sleep 1
expect_geometry 240x273+200+107 "back from fullscreen"
key F11
sleep 1
key Escape || true
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after Esc in fullscreen, expected 1"
grep -A2 -xF '[Display]' "$ini" | grep -qxF 'Scale=1' || e2e_fail "the new section lacks Scale=1"
grep -A2 -xF '[Display]' "$ini" | grep -qxF 'Fullscreen=1' || e2e_fail "fullscreen was not kept"

e2e_start_game
e2e_find_window
sleep 1
expect_geometry 1280x1024+0+0 "started fullscreen"
key alt+Return # the other fullscreen key
sleep 1
expect_geometry 240x273+200+107 "left the restored fullscreen"
key Escape || true
e2e_wait_exit
grep -qxF 'Fullscreen=0' "$ini" || e2e_fail "leaving fullscreen was not kept"
echo "display test passed"
