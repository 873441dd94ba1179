#!/usr/bin/env bash
# Without score.vtx in the working directory the real program shows its warning box over the
# X server (caption "オープンエラー", the text readable in a Japanese font), and once the box
# is acknowledged it ends with exit code 0, without a window of its own and without writing
# VORTALIX.ini: the settings were never read, so there is nothing of the player's to save.
#
# Usage: startup_warning.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo import convert
e2e_workdir warning
e2e_copy_game "$build"
rm "$E2E_WORK/cwd/score.vtx"
# A score.vtx beside the program does not count: only the working directory's does.
cp "$build/score.vtx" "$E2E_WORK/game/"
e2e_start_xvfb
e2e_start_game

box=$(e2e_window_named "オープンエラー") || e2e_fail "no warning box appeared"
grep -qF 'オープンエラー: スコアランキング(score.vtx)が見つかりません！' "$E2E_WORK/out.txt" ||
    e2e_fail "the warning's text is not the missing ranking file's"
[ -z "$(e2e_lookup_window "VORTALIX-Revision-")" ] || e2e_fail "the game's window shows"
geometry=$(e2e_geometry "$box")
echo "warning box $box at $geometry"
# The text is drawn: the upper part of the box, above the button, holds a line of light
# glyphs (about 5% of its pixels with a Japanese font; none when the glyphs are missing).
import -window "$box" "$E2E_WORK/box.png"
lit=$(convert "$E2E_WORK/box.png" -crop 100%x45%+0+0 +repage -colorspace gray -threshold 60% \
    -format '%[fx:mean]' info:)
echo "share of light pixels in the text line: $lit"
awk -v v="$lit" 'BEGIN { exit !(v > 0.02) }' || e2e_fail "the box shows no text"

xdotool key --window "$box" Return
e2e_wait_exit
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT after the warning, expected 0"
[ ! -e "$E2E_WORK/game/VORTALIX.ini" ] || e2e_fail "VORTALIX.ini was written"
echo "start-up warning test passed"
