#!/usr/bin/env bash
# What the real audio back end plays, written to a file by SDL's "disk" audio driver and
# measured: the main theme after the start key, the count-down's voices, the explosions of a
# death; silence on the title when effects are off; no sample at full scale, with music and
# effects together too. Then the game under SDL's dummy driver and with no usable audio
# driver at all, which must start, play and end normally.
#
# Each run presses keys into a real X window (Xvfb). The disk driver writes the mixed sound
# at the pace of a real device, so the file's size when a key is pressed marks that moment in
# the recording.
set -euo pipefail
build=$(cd "$1" && pwd)

skip() { echo "skipped: $*"; exit 0; }
for tool in Xvfb xdotool python3; do
    command -v "$tool" >/dev/null || skip "missing $tool"
done
[ -x "$build/vortalix" ] || skip "no $build/vortalix"
for f in main.mid gameover.mid ranking.mid get.wav lvup.wav count3.wav baku03.wav baku05.wav; do
    [ -f "$build/sound/$f" ] || skip "data file sound/$f not generated"
done
[ -d "$build/image" ] || skip "image files not generated"

work=$(mktemp -d /tmp/vortalix-audio-XXXXXX)
xpid=""
gpid=""
cleanup() {
    [ -n "$gpid" ] && kill "$gpid" 2>/dev/null || true
    # Waited for, so that the next script cannot find this server still answering on its
    # display number while it shuts down.
    if [ -n "$xpid" ]; then
        kill "$xpid" 2>/dev/null || true
        wait "$xpid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/game" "$work/cwd"
cp "$build/vortalix" "$work/game/"
cp -r "$build/image" "$build/sound" "$work/game/"
python3 - "$work/cwd/score.vtx" <<'PY'
import sys
rec = bytearray(267)
rec[0] = 1; rec[1] = ord('0')
rec[256] = 4; rec[257:261] = b'ZERO'
open(sys.argv[1], 'wb').write(bytes(rec) * 10)
PY

# A private X server, as the other scripts start theirs.
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"
E2E_WORK=$work
E2E_SCREEN=800x600x24
e2e_start_xvfb
xpid=$E2E_XPID

settings() { # effects, music
    printf '[BackGround]\nPath=none\nEnable=1\n[Sound]\nSE=%s\nBGM=%s\n[Zoom]\nEnable=0\n' \
        "$1" "$2" >"$work/game/VORTALIX.ini"
}

# Starts the game with the given audio driver; the recording goes to $work/<name>.raw.
start() { # name driver
    rm -f "$work/$1.raw"
    (cd "$work/cwd" && SDL_AUDIODRIVER=$2 SDL_DISKAUDIOFILE="$work/$1.raw" \
        exec "$work/game/vortalix") >"$work/$1.txt" 2>&1 &
    gpid=$!
    win=""
    for _ in $(seq 100); do
        win=$(xdotool search --name '^VORTALIX-Revision-$' 2>/dev/null | head -n1 || true)
        [ -n "$win" ] && return 0
        sleep 0.1
    done
    echo "$1: window not found"
    cat "$work/$1.txt"
    exit 1
}
# The window is looked up for every key: SDL may replace the first window it made while it
# sets up drawing, and a window id found too early is then gone.
key() {
    win=$(xdotool search --name '^VORTALIX-Revision-$' 2>/dev/null | tail -n1 || true)
    xdotool key --window "$win" "$@"
}
mark() { stat -c %s "$work/$1.raw" 2>/dev/null || echo 0; } # bytes recorded so far
finish() { # name
    # A game without audio to close ends so fast that its window is gone before the key's
    # release reaches it; the exit code below tells whether Esc was taken.
    key Escape 2>/dev/null || true
    for _ in $(seq 100); do kill -0 "$gpid" 2>/dev/null || break; sleep 0.1; done
    set +e
    wait "$gpid"
    local code=$?
    set -e
    gpid=""
    [ "$code" -eq 1 ] || { echo "$1: exit code $code, expected 1"; cat "$work/$1.txt"; exit 1; }
    # The server may still list the window for a moment; the next run must not find it.
    for _ in $(seq 50); do
        xdotool search --name '^VORTALIX-Revision-$' >/dev/null 2>&1 || break
        sleep 0.1
    done
}
# Waits out the count-down, then turns the point back onto its own trail (during a pause, so
# both turns land between two steps); the step after the pause is fatal.
die() { # name; prints the recording position of the fatal step
    sleep 5.5
    key F7
    sleep 0.2
    key z z
    sleep 0.2
    mark "$1"
    key F7
}

# Loudness of stretches of a recording (44.1 kHz, 16-bit stereo), from byte offsets.
measure() { # file from-byte seconds label min-rms min-share|max-rms
    python3 - "$@" <<'PY'
import array, math, sys
path, start, secs, label, mode, limit = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), \
    sys.argv[4], sys.argv[5], float(sys.argv[6])
data = open(path, 'rb').read()
start -= start % 4
end = min(len(data), start + int(secs * 44100) * 4)
if end - start < int(secs * 44100) * 4 * 0.9:
    sys.exit(f"{label}: recording too short ({len(data)} bytes)")
samples = array.array('h', data[start:end])
win = 4410 * 2  # 100 ms of both channels
rms = [math.sqrt(sum(x * x for x in samples[i:i + win]) / win)
       for i in range(0, len(samples) - win + 1, win)]
loud = sum(1 for r in rms if r > 200)
print(f"{label}: {len(rms)} windows, {loud} above 200 RMS, loudest {max(rms):.0f}")
if mode == 'audible' and loud < limit * len(rms):
    sys.exit(f"{label}: expected sound in at least {limit:.0%} of the windows")
if mode == 'silent' and max(rms) > limit:
    sys.exit(f"{label}: expected silence")
PY
}

# No sample of a recording may sit at full scale: SDL_mixer saturates the sum of music and
# effect there, which is heard as a crackle.
noclip() { # file label
    python3 - "$@" <<'PY'
import array, sys
path, label = sys.argv[1], sys.argv[2]
samples = array.array('h', open(path, 'rb').read())
if not samples:
    sys.exit(f"{label}: nothing recorded")
peak = max(abs(s) for s in samples)
clipped = sum(1 for s in samples if s in (32767, -32768))
print(f"{label}: peak {peak}, clipped samples {clipped}")
if clipped:
    sys.exit(f"{label}: {clipped} samples at full scale")
PY
}

# 1. Music only: silence on the title (its flash sound is switched off), then the main theme.
settings 0 1
start music disk
sleep 1.5
at=$(mark music)
key x
sleep 5
finish music
measure "$work/music.raw" 0 1.2 "music run, title" silent 20
measure "$work/music.raw" "$at" 4.5 "music run, main theme after the start key" audible 0.6
noclip "$work/music.raw" "music run"

# 2. Effects only: the count-down's voices after the start key, the explosions of a death.
settings 1 0
start effects disk
sleep 1.5
at=$(mark effects)
key x
fatal=$(die effects)
sleep 3
finish effects
measure "$work/effects.raw" "$at" 4.5 "effects run, count-down" audible 0.1
measure "$work/effects.raw" "$fatal" 1.5 "effects run, death" audible 0.6
noclip "$work/effects.raw" "effects run"

# 3. Both: the count-down's voices over the main theme, the explosions over the game-over
# piece, and neither may push the sum to full scale.
settings 1 1
start both disk
sleep 1.5
at=$(mark both)
key x
fatal=$(die both)
sleep 3
finish both
measure "$work/both.raw" "$at" 4.5 "both run, theme and count-down" audible 0.6
measure "$work/both.raw" "$fatal" 1.5 "both run, death" audible 0.6
noclip "$work/both.raw" "both run"

# 4. Both on under the dummy driver and with no usable driver: the game plays as usual.
settings 1 1
for driver in dummy no_such_driver; do
    start "$driver" "$driver"
    sleep 1
    key x
    sleep 2
    finish "$driver"
    lines=$(grep -c '^vortalix:' "$work/$driver.txt" || true)
    if [ "$driver" = dummy ]; then
        [ "$lines" -eq 0 ] || { echo "dummy driver: unexpected messages"; cat "$work/$driver.txt"; exit 1; }
    else
        [ "$lines" -eq 1 ] && grep -q 'runs silent' "$work/$driver.txt" ||
            { echo "no driver: expected one line saying so"; cat "$work/$driver.txt"; exit 1; }
    fi
    echo "$driver: started, played and ended with code 1"
done
echo "audio on disk passed"
