#!/usr/bin/env bash
# The game and a real scoreboard (vortalix-scores on 127.0.0.1): with `[Online] Server` set,
# a whole game played with real keys in the X window is sent when it ends and appears on the
# board. With the server stopped, the next game lands in the outbox; at the start after the
# server is back, the outbox is sent and emptied, and the board holds both games.
#
# Usage: online_scoreboard.sh <build dir> <source dir>
set -euo pipefail
build=$(cd "$1" && pwd)
source "$(cd "$(dirname "$0")" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo python3 curl
[ -x "$build/vortalix-scores" ] || e2e_fail "no $build/vortalix-scores: the server is not built"
e2e_workdir scoreboard
e2e_copy_game "$build"
e2e_zero_ranking "$E2E_WORK/cwd/score.vtx"

port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
url="http://127.0.0.1:$port"
server_pid=""
start_server() {
    "$build/vortalix-scores" --db "$E2E_WORK/scores.db" --port "$port" \
        >>"$E2E_WORK/server.txt" 2>&1 &
    server_pid=$!
    for _ in $(seq 100); do
        curl -fs "$url/healthz" >/dev/null 2>&1 && return 0
        kill -0 "$server_pid" 2>/dev/null || break
        sleep 0.1
    done
    e2e_fail "the scoreboard did not start: $(cat "$E2E_WORK/server.txt")"
}
stop_server() {
    [ -z "$server_pid" ] && return 0
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
}
trap 'stop_server; e2e_cleanup' EXIT
entries() { curl -fs "$url/api/v1/scores?limit=100" | python3 -c 'import json,sys; print(json.load(sys.stdin)["total"])'; }
# Waits up to 30 s for the game's log of the scoreboard's answers to hold $1 lines.
wait_answers() {
    for _ in $(seq 300); do
        [ "$(grep -c 'scoreboard:' "$E2E_WORK/out.txt" 2>/dev/null || true)" -ge "$1" ] && return 0
        sleep 0.1
    done
    e2e_fail "the game did not report $1 answer(s) of the scoreboard"
}
quit_game() {
    xdotool key --window "$E2E_WINDOW" Escape || true
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"
}
outbox() { find "$E2E_WORK/game/replays/outbox" -name '*.vtr' 2>/dev/null | wc -l; }

printf '[Online]\nServer=%s\n' "$url" >"$E2E_WORK/game/VORTALIX.ini"
start_server
e2e_start_xvfb

# 1. Sent as it ends, and on the board.
e2e_start_game
e2e_find_window
e2e_play_to_name_ab
wait_answers 1
grep -q 'scoreboard: .*: world rank 1 with ' "$E2E_WORK/out.txt" || e2e_fail "no world rank said"
quit_game
[ "$(entries)" = 1 ] || e2e_fail "the board holds $(entries) entries, expected 1"
curl -fs "$url/api/v1/scores?limit=1" | grep -q '"name": *"AB"' || e2e_fail "AB is not on the board"
[ "$(outbox)" = 0 ] || e2e_fail "the outbox still holds a sent game"
grep -q 'world rank 1' "$E2E_WORK/game/replays/online.log" || e2e_fail "no answer in online.log"
echo "sent: $(grep 'scoreboard:' "$E2E_WORK/out.txt")"

# 2. The server is down: the game waits in the outbox.
stop_server
e2e_start_game
e2e_find_window
e2e_play_to_name_ab
wait_answers 1
quit_game
[ "$(outbox)" = 1 ] || e2e_fail "the outbox holds $(outbox) games, expected 1"
echo "server down: $(grep 'scoreboard:' "$E2E_WORK/out.txt")"

# 3. Back up: the next start sends it without a game being played.
start_server
e2e_start_game
e2e_find_window
wait_answers 1
quit_game
[ "$(outbox)" = 0 ] || e2e_fail "the outbox was not emptied at the start"
[ "$(entries)" = 2 ] || e2e_fail "the board holds $(entries) entries, expected 2"
echo "at the next start: $(grep 'scoreboard:' "$E2E_WORK/out.txt")"
echo "scoreboard: games sent, kept while the server was down, and sent at the next start"
