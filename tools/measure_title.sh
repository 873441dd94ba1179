#!/usr/bin/env bash
# Measures the game on its title screen under Xvfb: the share of one processor core it takes
# over a span of seconds (from /proc), then the intervals between the frames it sends to the
# X server, from `strace -f -ttt -e trace=writev` attached for another such span, and as the
# game itself logged them (VORTALIX_PRESENT_LOG).
#
# With MEASURE_PROXY=1 the game talks to the X server through a small pass-through proxy
# (tools/xrequest_times.py) that times every request as the server would receive it; the
# proxy adds its own jitter of a few tenths of a millisecond and slows the server's replies.
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
display=$E2E_DISPLAY
proxy_pid=""
if [ "${MEASURE_PROXY:-0}" = 1 ]; then
    display=$(e2e_free_display)
    python3 "$here/xrequest_times.py" "${display#:}" "${E2E_DISPLAY#:}" \
        "$E2E_WORK/requests.txt" &
    proxy_pid=$!
    for _ in $(seq 100); do [ -S "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.05; done
    [ -S "/tmp/.X11-unix/X${display#:}" ] || e2e_fail "the timing proxy did not start"
fi
e2e_start_game DISPLAY="$display" VORTALIX_PRESENT_LOG="$E2E_WORK/presents.txt"
e2e_find_window
sleep 2 # past the start-up

hz=$(getconf CLK_TCK)
ticks() { awk '{print $14 + $15}' "/proc/$E2E_GAME_PID/stat"; }
a=$(ticks)
t0=$(date +%s%N)
sleep "$seconds"
b=$(ticks)
t1=$(date +%s%N)
echo "processor time on the title: $(awk -v d=$((b - a)) -v hz="$hz" -v ns=$((t1 - t0)) \
    'BEGIN { printf "%.2f", d / hz * 1e9 / ns * 100 }')% of one core over ${seconds} s"

if command -v strace >/dev/null; then
    strace -f -ttt -e trace=writev -o "$E2E_WORK/strace.txt" -p "$E2E_GAME_PID" 2>/dev/null &
    strace_pid=$!
    sleep "$seconds"
    kill -INT "$strace_pid"
    wait "$strace_pid" || true
fi

xdotool key --window "$E2E_WINDOW" Escape
e2e_wait_exit
# The proxy ends with the game's connection.
[ -z "$proxy_pid" ] || wait "$proxy_pid" || true
if [ -s "$E2E_WORK/strace.txt" ]; then
    echo -n "frames written to the X server (strace): "
    python3 "$here/frame_intervals.py" "$E2E_WORK/strace.txt" 10
fi
if [ -s "$E2E_WORK/requests.txt" ]; then
    echo -n "frames at the X server (proxy): "
    python3 "$here/frame_intervals.py" "$E2E_WORK/requests.txt" 60
fi
echo -n "frames as the game logged them: "
python3 "$here/frame_intervals.py" "$E2E_WORK/presents.txt" 60
