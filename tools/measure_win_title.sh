#!/usr/bin/env bash
# Measures the Windows game on its title screen under Wine and Xvfb: the share of one
# processor core that vortalix.exe takes over a span of seconds, and that of wineserver beside
# it, from /proc. Compare with tools/measure_title.sh for the Linux game.
#
# Usage: bash tools/measure_win_title.sh <unpacked zip folder> [seconds]
set -euo pipefail
game=$(cd "$1" && pwd)
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib.bash"
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)

e2e_require Xvfb xwininfo
e2e_workdir measure-win
cp -r "$game"/. "$E2E_WORK/game/"
export WINEPREFIX=$E2E_WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    SDL_AUDIODRIVER=dummy
finish() {
    "$wineserver" -k 2>/dev/null || true
    e2e_cleanup
}
trap finish EXIT
e2e_start_xvfb
"$wine" wineboot -i >/dev/null 2>&1
(cd "$E2E_WORK/game" && exec "$wine" ./vortalix.exe >"$E2E_WORK/out.txt" 2>&1) &
E2E_GAME_PID=$!
e2e_find_window
sleep 2 # start-up done
server=$(pgrep -n wineserver || true)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
g0=$(ticks "$E2E_GAME_PID")
s0=$([ -n "$server" ] && ticks "$server" || echo 0)
sleep "$seconds"
g1=$(ticks "$E2E_GAME_PID")
s1=$([ -n "$server" ] && ticks "$server" || echo 0)
awk -v g=$((g1 - g0)) -v s=$((s1 - s0)) -v hz="$hz" -v t="$seconds" 'BEGIN {
    printf "title, %d s: vortalix.exe %.1f%% of a core, wineserver %.1f%%\n", t, 100 * g / hz / t, 100 * s / hz / t }'
