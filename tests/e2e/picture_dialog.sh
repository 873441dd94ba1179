#!/usr/bin/env bash
# F2 on the title opens zenity's file dialog (title "背景画像読み込み") while the game waits;
# a chosen BMP becomes the background and is kept in VORTALIX.ini, a cancelled dialog changes
# nothing, and without zenity the game says so on stderr and goes on.
#
# Usage: picture_dialog.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo convert zenity
e2e_workdir picture
e2e_copy_game "$build"
convert -size 64x64 gradient:red-blue "BMP3:$E2E_WORK/pic.bmp"
e2e_start_xvfb
default_path="Path=$E2E_WORK/game/image/t_back.jpg"

# Plays one round: F2, then $1 in the dialog ("choose" or "cancel"), then Esc.
round() {
    e2e_start_game
    e2e_find_window
    sleep 0.5
    xdotool key --window "$E2E_WINDOW" F2
    local dialog
    dialog=$(e2e_window_named "背景画像読み込み") || e2e_fail "no file dialog appeared"
    # The game is held while the dialog is open: Esc to its window does not end it.
    xdotool key --window "$E2E_WINDOW" Escape
    sleep 0.5
    kill -0 "$E2E_GAME_PID" || e2e_fail "the game ended while its dialog was open"
    # No window manager gives the dialog the keyboard; ask for it.
    xdotool windowfocus --sync "$dialog"
    if [ "$1" = choose ]; then
        xdotool key ctrl+l
        sleep 0.3
        xdotool type --delay 5 "$E2E_WORK/pic.bmp"
        sleep 0.3
        xdotool key Return
    else
        xdotool key Escape
    fi
    for _ in $(seq 50); do [ -z "$(e2e_lookup_window "背景画像読み込み")" ] && break; sleep 0.1; done
    sleep 0.5
    xdotool key --window "$E2E_WINDOW" Escape
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"
}

round cancel
grep -qxF "$default_path" "$E2E_WORK/game/VORTALIX.ini" ||
    e2e_fail "a cancelled dialog changed the picture: $(grep Path "$E2E_WORK/game/VORTALIX.ini")"
echo "cancelled dialog: picture unchanged"

round choose
grep -qxF "Path=$E2E_WORK/pic.bmp" "$E2E_WORK/game/VORTALIX.ini" ||
    e2e_fail "the chosen picture was not kept: $(grep Path "$E2E_WORK/game/VORTALIX.ini")"
echo "chosen picture kept in VORTALIX.ini"

# Without zenity on the PATH.
rm "$E2E_WORK/game/VORTALIX.ini"
e2e_start_game PATH=/nonexistent
e2e_find_window
sleep 0.5
xdotool key --window "$E2E_WINDOW" F2
sleep 0.5
xdotool key --window "$E2E_WINDOW" Escape
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT without zenity, expected 1"
grep -q 'cannot start zenity' "$E2E_WORK/out.txt" || e2e_fail "no word on stderr about zenity"
grep -qxF "$default_path" "$E2E_WORK/game/VORTALIX.ini" || e2e_fail "the picture changed"
echo "without zenity: said so, picture unchanged"
echo "picture dialog test passed"
