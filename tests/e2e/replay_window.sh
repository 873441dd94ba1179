#!/usr/bin/env bash
# Replays of games played in a real X window with real key events, whose timing nobody
# controls: a game that enters the ranking, and a game paused and abandoned with Esc. Both are
# kept in replays/ beside the settings file; `vortalix-headless --verify` must reproduce each
# one's score, level and name exactly; `vortalix --replay` of the abandoned one must end on
# the very frame shown when the screenshot was taken (the play field; the status bar's colours
# are drawn at random every frame), without writing the ranking or the settings.
#
# Usage: replay_window.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo python3 convert compare
e2e_workdir replay
e2e_copy_game "$build"
cp "$build/vortalix-headless" "$E2E_WORK/game/"
e2e_zero_ranking "$E2E_WORK/cwd/score.vtx"
e2e_start_xvfb
replays="$E2E_WORK/game/replays"
verify() {
    (cd "$E2E_WORK/cwd" && "$E2E_WORK/game/vortalix-headless" --verify "$1")
}

# A game that enters the ranking as "AB".
e2e_start_game
e2e_find_window
e2e_play_to_name_ab
xdotool key --window "$E2E_WINDOW" Escape || true
e2e_wait_exit
ranked=$(ls "$replays"/*.vtr 2>/dev/null | head -1)
[ -n "$ranked" ] || e2e_fail "no replay was kept in $replays"
out=$(verify "$ranked") || e2e_fail "the ranked game's replay does not verify: $out"
echo "ranked game: $out"
grep -q 'name=AB$' <<<"$out" || e2e_fail "the replay's name is not AB: $out"

# A game paused, shot and abandoned.
cp "$E2E_WORK/cwd/score.vtx" "$E2E_WORK/ranking-before"
e2e_start_game
e2e_find_window
key() { xdotool key --window "$E2E_WINDOW" "$@"; }
sleep 1
key x
sleep 5
for k in z c c z z; do
    key "$k"
    sleep 0.3
done
key F7
sleep 3 # the effects of the last steps die out
key F1
sleep 0.5
key Escape || true
e2e_wait_exit
abandoned=$(ls -t "$replays"/*.vtr | head -1)
[ "$abandoned" != "$ranked" ] || e2e_fail "the abandoned game was not kept"
out=$(verify "$abandoned") || e2e_fail "the abandoned game's replay does not verify: $out"
echo "abandoned game: $out"
grep -q '(abandoned)' <<<"$out" || e2e_fail "the replay is not marked abandoned"

# Watched again: it ends frozen on its last frame, which is the one the F1 shot holds.
cp "$E2E_WORK/game/VORTALIX.ini" "$E2E_WORK/settings-before"
(cd "$E2E_WORK/cwd" && exec env SDL_AUDIODRIVER=dummy "$E2E_WORK/game/vortalix" --replay \
    "$abandoned" >"$E2E_WORK/out.txt" 2>&1) &
E2E_GAME_PID=$!
e2e_find_window
sleep 14 # the game lasted about ten seconds
xdotool key --window "$E2E_WINDOW" F1
sleep 0.5
xdotool key --window "$E2E_WINDOW" Escape || true
e2e_wait_exit
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "--replay ended with $E2E_EXIT, expected 0"
[ -s "$E2E_WORK/game/g_sc1.bmp" ] || e2e_fail "no screenshot was taken while watching"
field() { convert "$1" -crop 240x240+0+0 +repage "$2"; }
field "$E2E_WORK/game/g_sc0.bmp" "$E2E_WORK/live.png"
field "$E2E_WORK/game/g_sc1.bmp" "$E2E_WORK/watched.png"
differ=$(compare -metric AE "$E2E_WORK/live.png" "$E2E_WORK/watched.png" null: 2>&1 || true)
[ "$differ" = 0 ] || e2e_fail "the watched replay's last frame differs from the live shot in $differ pixels"
cmp -s "$E2E_WORK/cwd/score.vtx" "$E2E_WORK/ranking-before" || e2e_fail "watching changed the ranking"
cmp -s "$E2E_WORK/game/VORTALIX.ini" "$E2E_WORK/settings-before" || e2e_fail "watching changed the settings"
echo "replay test passed"
