#!/usr/bin/env bash
# Measures the game with its main theme playing, under Xvfb with SDL's disk audio driver (which
# writes the mixed sound to a file at the pace of a real device): the peak resident memory,
# the processor time while the theme plays, and the recording's peak and clipped samples.
#
# Usage: bash tools/measure_music.sh <build dir> [seconds] [effects 0|1]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-10}
effects=${3:-0}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib.bash"

e2e_require Xvfb xdotool xwininfo python3
e2e_workdir music
e2e_copy_game "$build"
printf '[BackGround]\nPath=none\nEnable=1\n[Sound]\nSE=%s\nBGM=1\n[Zoom]\nEnable=0\n' \
    "$effects" >"$E2E_WORK/game/VORTALIX.ini"
e2e_start_xvfb
e2e_start_game SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$E2E_WORK/out.raw"
e2e_find_window
sleep 1.5 # past the start-up

status() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$E2E_GAME_PID/status"; }
ticks() { awk '{print $14 + $15}' "/proc/$E2E_GAME_PID/stat"; }
echo "on the title: peak resident $(status VmHWM) kB"
hz=$(getconf CLK_TCK)
xdotool key --window "$E2E_WINDOW" x
a=$(ticks); t0=$(date +%s%N)
sleep "$seconds"
b=$(ticks); t1=$(date +%s%N)
echo "with the theme: peak resident $(status VmHWM) kB, resident now $(status VmRSS) kB" \
    "(anonymous $(status RssAnon) kB)"
echo "processor time while the theme plays: $(awk -v d=$((b - a)) -v hz="$hz" -v ns=$((t1 - t0)) \
    'BEGIN { printf "%.2f", d / hz * 1e9 / ns * 100 }')% of one core over ${seconds} s"
xdotool key --window "$E2E_WINDOW" Escape
e2e_wait_exit
python3 - "$E2E_WORK/out.raw" <<'PY'
import array, math, sys
samples = array.array('h', open(sys.argv[1], 'rb').read())
peak = max((abs(s) for s in samples), default=0)
clipped = sum(1 for s in samples if s in (32767, -32768))
db = 20 * math.log10(peak / 32768) if peak else float('-inf')
print(f"recording: {len(samples) / 2 / 44100:.1f} s, peak {peak} ({db:.2f} dBFS), "
      f"clipped samples {clipped}")
PY
