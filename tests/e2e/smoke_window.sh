#!/usr/bin/env bash
# The real program in a real X window: it opens its one window with the right caption, client
# size and place, draws the title, and Esc ends it with exit code 1 after writing VORTALIX.ini
# beside the program. Then, with zoom on, the window is 480x546; and a termination signal, the
# system's close request, also saves and ends with 1.
#
# Usage: smoke_window.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo xprop import convert
e2e_workdir smoke
e2e_copy_game "$build"
e2e_start_xvfb
e2e_start_game
e2e_find_window

geometry=$(e2e_geometry "$E2E_WINDOW")
echo "window $E2E_WINDOW at ${geometry}"
[ "${geometry%%+*}" = "240x273" ] || e2e_fail "client area ${geometry%%+*}, expected 240x273"
# No window manager runs here, so nothing moves the window from where it asked to be.
[ "${geometry#*+}" = "200+107" ] || e2e_fail "window at ${geometry#*+}, expected 200+107"

# A tool window that stays on top and cannot be resized, as the window manager is told.
props=$(xprop -id "$E2E_WINDOW")
grep -q '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_UTILITY' <<<"$props" ||
    e2e_fail "the window is not a utility window"
grep -q '_NET_WM_STATE(ATOM) = .*_NET_WM_STATE_ABOVE' <<<"$props" || e2e_fail "not on top"
grep -q 'program specified minimum size: 240 by 273' <<<"$props" &&
    grep -q 'program specified maximum size: 240 by 273' <<<"$props" ||
    e2e_fail "the window's size is not fixed"

sleep 1.5 # the title's opening animation is under way
import -window root -crop 240x273+200+107 +repage "$E2E_WORK/title.png"
lit=$(convert "$E2E_WORK/title.png" -fill white +opaque black -format '%[fx:mean]' info:)
echo "share of lit pixels on the title: $lit"
awk -v v="$lit" 'BEGIN { exit !(v > 0.01) }' || e2e_fail "the title is black"

[ ! -e "$E2E_WORK/game/VORTALIX.ini" ] || e2e_fail "VORTALIX.ini exists before the end"
xdotool key --window "$E2E_WINDOW" Escape
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after Esc, expected 1"
ini="$E2E_WORK/game/VORTALIX.ini"
[ -s "$ini" ] || e2e_fail "no VORTALIX.ini beside the program after Esc"
for line in '[BackGround]' "Path=$E2E_WORK/game/image/t_back.jpg" 'Enable=0' '[Sound]' 'SE=0' \
    'BGM=0' '[Zoom]'; do
    grep -qxF "$line" "$ini" || e2e_fail "VORTALIX.ini lacks the line '$line'"
done
cmp -s "$build/score.vtx" "$E2E_WORK/cwd/score.vtx" || e2e_fail "score.vtx changed"
echo "Esc: exit code 1, VORTALIX.ini written"

# Zoom on: the doubled window, still at 200,107, and the doubled title.
sed -i 's/^Enable=0$/Enable=1/' "$ini" # the backdrop and the zoom
e2e_start_game
e2e_find_window
geometry=$(e2e_geometry "$E2E_WINDOW")
echo "zoomed window at $geometry"
[ "$geometry" = "480x546+200+107" ] || e2e_fail "zoomed window at $geometry, expected 480x546+200+107"
sleep 1.5
import -window root -crop 480x546+200+107 +repage "$E2E_WORK/zoomed.png"
lit=$(convert "$E2E_WORK/zoomed.png" -fill white +opaque black -format '%[fx:mean]' info:)
awk -v v="$lit" 'BEGIN { exit !(v > 0.01) }' || e2e_fail "the zoomed title is black"

# A termination signal is a close request: saved, exit code 1.
rm "$ini"
kill -TERM "$E2E_GAME_PID"
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after a close request, expected 1"
grep -qxF '[Zoom]' "$ini" || e2e_fail "no VORTALIX.ini after a close request"
echo "close request: exit code 1, VORTALIX.ini written"
echo "smoke test passed"
