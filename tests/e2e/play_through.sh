#!/usr/bin/env bash
# A whole game in a real X window with real key events: start on the title, wait out the
# count-down, turn back onto the trail (during a pause, so both turns surely land between two
# steps), enter the name "AB" and find the new first rank in score.vtx.
#
# Turning back onto the trail scores at least one scratch (the trail pixel ahead of the new
# position; an item on the way adds more), so the game ends with a positive score, which
# beats a ranking of ten zero scores.
#
# Usage: play_through.sh <build dir> <source dir>; E2E_SHOTS=<folder> keeps two screenshots.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo python3
e2e_workdir play
e2e_copy_game "$build"
e2e_zero_ranking "$E2E_WORK/cwd/score.vtx"
e2e_start_xvfb
e2e_start_game
e2e_find_window

shot() { [ -z "${E2E_SHOTS:-}" ] || import -window root -crop 240x273+200+107 +repage "$E2E_SHOTS/$1.png"; }
e2e_play_to_name_ab shot
# The game may be gone before the key's release reaches it; the exit code tells.
xdotool key --window "$E2E_WINDOW" Escape || true
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"

python3 - "$E2E_WORK/cwd/score.vtx" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
assert len(data) == 2670, f"ranking file has {len(data)} bytes"
recs = [data[i*267:(i+1)*267] for i in range(10)]
def text(b, at, cap): return b[at+1:at+1+min(b[at], cap)].decode('latin-1')
score, name = text(recs[0], 0, 255), text(recs[0], 256, 10)
assert name == "AB" and score.isdigit() and not score.startswith("0"), \
    f"first rank is {name!r} {score!r}"
assert all(text(r, 256, 10) == "ZERO" and text(r, 0, 255) == "0" for r in recs[1:]), \
    "the older ranks changed"
print(f"ranking: 1ST AB {score}; the nine ZERO ranks moved down")
PY
echo "play-through passed"
