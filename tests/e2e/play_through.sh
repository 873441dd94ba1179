#!/usr/bin/env bash
# A whole game in a real X window with real key events: start on the title, wait out the
# count-down, turn back onto the trail (during a pause, so both turns surely land between two
# steps), enter the name "AB" and find the new first rank in score.vtx.
#
# Turning back onto the trail scores exactly one scratch (the trail pixel ahead of the new
# position), so the game ends with the score 1, which beats a ranking of ten zero scores.
set -euo pipefail
build=$(cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null || { echo "missing $tool"; exit 1; }
done
[ -x "$build/vortalix" ] || { echo "no $build/vortalix"; exit 1; }
[ -d "$build/image" ] && [ -d "$build/sound" ] || { echo "data files not generated"; exit 1; }

work=$(mktemp -d /tmp/vortalix-play-XXXXXX)
xpid=""
gpid=""
cleanup() {
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null || true
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# The game runs from a copy, so the build folder's settings file stays as it is.
mkdir -p "$work/game" "$work/cwd"
cp "$build/vortalix" "$work/game/"
cp -r "$build/image" "$build/sound" "$work/game/"
python3 - "$work/cwd/score.vtx" <<'PY'
import sys
rec = bytearray(267)
rec[0] = 1; rec[1] = ord('0')            # score "0"
rec[256] = 4; rec[257:261] = b'ZERO'     # name "ZERO"
open(sys.argv[1], 'wb').write(bytes(rec) * 10)
PY

# Xvfb picks a display number nobody uses and reports it, so scripts running side by side
# never share a server (and never type into each other's game).
exec 3>"$work/display.txt"
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xpid=$!
exec 3>&-
for _ in $(seq 100); do [ -s "$work/display.txt" ] && break; sleep 0.1; done
[ -s "$work/display.txt" ] || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n1 "$work/display.txt")"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

cd "$work/cwd"
SDL_AUDIODRIVER=dummy "$work/game/vortalix" >"$work/out.txt" 2>&1 &
gpid=$!

win=""
for _ in $(seq 100); do
    win=$(xdotool search --name '^VORTALIX-Revision-$' 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
[ -n "$win" ] || { echo "window not found"; cat "$work/out.txt"; exit 1; }

key() { xdotool key --window "$win" "$@"; }

sleep 1
# The pause stays on across the count-down, so nothing below depends on how fast the
# count-down and the first steps run on a busy machine.
key F7         # pause, already on the title
sleep 0.3
key x          # start: the count-down takes about four seconds, then play begins paused
sleep 6
key F7         # run to the right for a while
sleep 0.7
key F7         # pause again
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/paused.png"
sleep 0.3
key z          # left twice: the point now faces its own trail
sleep 0.2
key z
sleep 0.3
key F7         # the next step lands on the trail
sleep 5        # game over (126 frames), then the name entry
[ -n "${E2E_SHOTS:-}" ] && import -window root "$E2E_SHOTS/entry.png"
for k in x c x z z x; do   # A, cursor to B, B, back past A to '#', finish
    key "$k"
    sleep 0.25
done
sleep 1
key Escape
for _ in $(seq 50); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.1; done
set +e
wait "$gpid"
code=$?
set -e
gpid=""
[ "$code" -eq 1 ] || { echo "exit code $code, expected 1"; cat "$work/out.txt"; exit 1; }

python3 - "$work/cwd/score.vtx" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
assert len(data) == 2670, f"ranking file has {len(data)} bytes"
recs = [data[i*267:(i+1)*267] for i in range(10)]
def text(b, at, cap): return b[at+1:at+1+min(b[at], cap)].decode('latin-1')
first = recs[0]
score, name = text(first, 0, 255), text(first, 256, 10)
assert (name, score) == ("AB", "1"), f"first rank is {name!r} {score!r}"
assert all(text(r, 256, 10) == "ZERO" and text(r, 0, 255) == "0" for r in recs[1:]), "older ranks changed"
print("ranking: 1ST AB 1; the nine ZERO ranks moved down")
PY
echo "play-through passed"
