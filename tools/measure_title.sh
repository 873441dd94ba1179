#!/usr/bin/env bash
# Measures the game on its title screen under Xvfb: the processor time it takes over a span
# of seconds, and the intervals between the frames it sends to the X server, timed by a small
# pass-through proxy (tools/xrequest_times.py) as the server would receive them. Also prints
# the intervals the game itself logged (VORTALIX_PRESENT_LOG).
#
# Usage: bash tools/measure_title.sh <build dir> [seconds]
set -euo pipefail
build=$(cd "$1" && pwd)
seconds=${2:-10}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib.bash"

e2e_require Xvfb xdotool xwininfo python3
e2e_workdir measure
e2e_copy_game "$build"
e2e_start_xvfb
proxy=$(e2e_free_display)
nice -n -15 python3 "$here/xrequest_times.py" "${proxy#:}" "${E2E_DISPLAY#:}" "$E2E_WORK/requests.txt" &
proxy_pid=$!
for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X${proxy#:}" ] && break; sleep 0.05; done

[ -S "/tmp/.X11-unix/X${proxy#:}" ] || e2e_fail "the timing proxy did not start"
e2e_start_game DISPLAY="$proxy" VORTALIX_PRESENT_LOG="$E2E_WORK/presents.txt"
e2e_find_window
sleep 2 # past the start-up

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$E2E_GAME_PID/stat"; }
a=$(ticks); t0=$(date +%s%N)
sleep "$seconds"
b=$(ticks); t1=$(date +%s%N)
echo "processor time on the title: $(awk -v d=$((b - a)) -v hz="$hz" -v ns=$((t1 - t0)) \
    'BEGIN { printf "%.2f", d / hz * 1e9 / ns * 100 }')% of one core over ${seconds} s"

xdotool key --window "$E2E_WINDOW" Escape
e2e_wait_exit
wait "$proxy_pid" || true
echo -n "frames at the X server: "
python3 "$here/frame_intervals.py" "$E2E_WORK/requests.txt" 60
echo -n "frames as the game logged them: "
python3 "$here/frame_intervals.py" "$E2E_WORK/presents.txt" 60
echo -n "from the game's present to the proxy: "
python3 "$here/frame_intervals.py" --delay "$E2E_WORK/requests.txt" "$E2E_WORK/presents.txt"
