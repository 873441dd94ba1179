#!/usr/bin/env bash
# The scoreboard server's own test stage: what only a running server on a real database can
# show. It starts a PostgreSQL cluster on a Unix socket in a temporary folder (removed again
# at the end), then:
#   - runs the store and API tests against PostgreSQL;
#   - races the same replay to two servers on one PostgreSQL database: one entry;
#   - sends hostile submissions (garbage, truncated, oversized, forged score, a body claiming
#     a huge unpacked size, a slow-drip client): all 4xx, the server up, its memory flat;
#   - kills the server with SIGKILL during bursts of submissions, 20 times: every 201 is in
#     the SQLite file afterwards and the file passes its integrity check;
#   - a bounded load test with wrk (board reads and submissions mixed), and the figures of
#     the README: board reads per second with p50/p99, eight-minute games verified per second
#     per core, submission latency, idle memory.
#
#   bash tools/server_tests.sh BUILD_DIR
set -euo pipefail

build=$(cd "${1:?usage: tools/server_tests.sh BUILD_DIR}" && pwd)
src=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
scores=$build/vortalix-scores
# Debian's own Python: it starts in a fraction of the time of a wrapper earlier in the PATH.
py=/usr/bin/python3
[ -x "$py" ] || py=python3
client=("$py" "$src/tools/server_client.py")
golden=$src/tests/replays
work=$(mktemp -d /tmp/vortalix-server-tests.XXXXXX)
chmod 755 "$work"
figures=$build/server-figures.txt
: >"$figures"

server_pids=()
pg_started=""
pgbin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
as_pg=()
if [ "$(id -u)" -eq 0 ]; then
    # initdb refuses to run as root.
    as_pg=(runuser -u postgres --)
fi
cleanup() {
    for pid in "${server_pids[@]}"; do kill -9 "$pid" 2>/dev/null || true; done
    if [ -n "$pg_started" ]; then
        "${as_pg[@]}" "$pgbin/pg_ctl" -D "$work/pg/data" -m immediate stop >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "server tests: $*" >&2
    exit 1
}
figure() {
    echo "$*" | tee -a "$figures"
}

# start_server NAME ARGS...: starts vortalix-scores on a free port; sets $port and $pid.
start_server() {
    local name=$1
    shift
    # The log of an earlier server of this name goes first: the new one's redirection empties
    # it only once its process runs, and until then the old "serving" line would name the
    # port of a server that is gone.
    rm -f "$work/$name.log"
    "$scores" --port 0 --data "$build" "$@" >"$work/$name.log" 2>&1 &
    pid=$!
    server_pids+=("$pid")
    for _ in $(seq 200); do
        if grep -q "serving" "$work/$name.log" 2>/dev/null; then
            port=$(sed -n 's|.*://127.0.0.1:\([0-9]*\)/.*|\1|p' "$work/$name.log" | head -n 1)
            return 0
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.05
    done
    cat "$work/$name.log" >&2
    fail "the server $name did not start"
}
stop_server() {
    kill "$1"
    wait "$1" 2>/dev/null || true
}
rss_kb() {
    awk '/^VmRSS/ {print $2}' "/proc/$1/status"
}

# --- PostgreSQL on a socket in the temporary folder ---
mkdir -p "$work/pg"
if [ "${#as_pg[@]}" -gt 0 ]; then chown postgres "$work/pg"; fi
"${as_pg[@]}" "$pgbin/initdb" -D "$work/pg/data" -U vortalix --auth=trust -E UTF8 --no-sync \
    >"$work/initdb.log" 2>&1 || { cat "$work/initdb.log" >&2; fail "initdb failed"; }
"${as_pg[@]}" "$pgbin/pg_ctl" -D "$work/pg/data" -w -l "$work/pg/log" \
    -o "-k $work/pg -c listen_addresses='' -c fsync=off" start >/dev/null
pg_started=1
"${as_pg[@]}" "$pgbin/createdb" -h "$work/pg" -U vortalix vortalix
pg="postgresql:///vortalix?host=$work/pg&user=vortalix"

echo "== store and API tests on PostgreSQL"
VORTALIX_TEST_PG=$pg "$build/vortalix_server_tests" --gtest_filter='*PostgreSQL*' \
    --gtest_brief=1

echo "== two servers on one PostgreSQL database, the same replay at the same moment"
"${as_pg[@]}" "$pgbin/psql" -q -h "$work/pg" -U vortalix vortalix \
    -c "DROP TABLE IF EXISTS entries, schema_version" >/dev/null
"${client[@]}" variants "$golden/levelups_name.vtr" "$work/race" 5
# The two also start together: the schema is made once, under the advisory lock.
start_server pg1 --db "$pg" --rate 0
pid1=$pid port1=$port
start_server pg2 --db "$pg" --rate 0
pid2=$pid port2=$port
for f in "$work"/race/*.vtr; do
    got=$("${client[@]}" race "http://127.0.0.1:$port1" "http://127.0.0.1:$port2" "$f")
    case "$got" in
    "201 200" | "200 201") ;;
    *) fail "racing $(basename "$f") to two servers gave $got" ;;
    esac
done
total=$(curl -sf "http://127.0.0.1:$port2/api/v1/scores" | "$py" -c 'import json,sys; print(json.load(sys.stdin)["total"])')
[ "$total" = 5 ] || fail "five raced replays left $total entries"
echo "five races, five entries"
stop_server "$pid1"
stop_server "$pid2"

echo "== hostile submissions"
mkdir -p "$work/hostile"
good=$golden/levelups_name.vtr
size=$(stat -c %s "$good")
for cut in 0 1 7 8 12 30 $((size / 2)) $((size - 4)) $((size - 1)); do
    head -c "$cut" "$good" >"$work/hostile/cut$cut.vtr"
done
for i in $(seq 20); do head -c $((i * 97)) /dev/urandom >"$work/hostile/random$i.vtr"; done
{ cat "$good"; echo trailing; } >"$work/hostile/trailing.vtr"
"${client[@]}" forge-score "$good" "$work/hostile/forged_score.vtr"
"${client[@]}" forge-body "$good" "$work/hostile/huge_body.vtr"
"$py" - "$good" "$work/hostile/newer.vtr" <<'PY'
import sys, struct, zlib
d = bytearray(open(sys.argv[1], "rb").read()[:-4])
struct.pack_into("<H", d, 8, 200)
open(sys.argv[2], "wb").write(bytes(d) + struct.pack("<I", zlib.crc32(bytes(d)) & 0xFFFFFFFF))
PY
cp "$golden/speed_toggles_abandoned.vtr" "$work/hostile/abandoned.vtr"
if [ -d "$src/tests/fuzz/corpus" ]; then cp "$src"/tests/fuzz/corpus/* "$work/hostile/" 2>/dev/null || true; fi
start_server hostile --db "$work/hostile.db" --rate 0 --timeout 1
hpid=$pid hport=$port
hurl=http://127.0.0.1:$hport
hostile_round() {
    "${client[@]}" post "$hurl" "$work"/hostile/* >"$work/hostile.txt"
    while read -r s f; do
        if [ "$s" -lt 400 ] || [ "$s" -gt 499 ]; then fail "$(basename "$f") was answered $s"; fi
    done <"$work/hostile.txt"
    [ "$(wc -l <"$work/hostile.txt")" = "$(ls "$work/hostile" | wc -l)" ] ||
        fail "some hostile submissions got no answer"
    s=$("${client[@]}" oversize "$hurl" 200000)
    [ "$s" = 413 ] || [ "$s" = closed ] || fail "an oversized body was answered $s"
}
hostile_round
rss_warm=$(rss_kb "$hpid")
for _ in 1 2 3; do hostile_round; done
read -r drip_status drip_seconds < <("${client[@]}" drip "$hurl")
[ "$drip_status" = 408 ] || [ "$drip_status" = closed ] ||
    fail "a slow-drip client was answered $drip_status"
curl -sf "$hurl/healthz" >/dev/null || fail "the server is down after the hostile submissions"
rss_after=$(rss_kb "$hpid")
echo "$(ls "$work/hostile" | wc -l) hostile files 4 times: all 4xx; slow drip: $drip_status after ${drip_seconds}s;" \
    "RSS ${rss_warm} kB after the first round, ${rss_after} kB after four"
[ $((rss_after - rss_warm)) -lt 8192 ] || fail "memory grew by $((rss_after - rss_warm)) kB"
total=$(curl -sf "$hurl/api/v1/scores" | "$py" -c 'import json,sys; print(json.load(sys.stdin)["total"])')
[ "$total" = 0 ] || fail "a hostile submission was stored"
stop_server "$hpid"

echo "== kill -9 during bursts of submissions, 20 times"
"${client[@]}" variants "$good" "$work/crash" 200
crashdb=$work/crash.db
: >"$work/acked.log"
for round in $(seq 0 19); do
    files=()
    for i in $(seq 0 9); do files+=("$(printf '%s/crash/v%04d.vtr' "$work" $((round * 10 + i)))"); done
    start_server crash --db "$crashdb" --rate 0
    before=$(wc -l <"$work/acked.log")
    "${client[@]}" burst "http://127.0.0.1:$port" "$work/acked.log" "${files[@]}" &
    burst_pid=$!
    # The kill comes once the server has acknowledged something in this round, while the
    # rest of the burst is still on its way or being verified.
    for _ in $(seq 600); do
        [ "$(wc -l <"$work/acked.log")" -gt "$before" ] && break
        kill -0 "$burst_pid" 2>/dev/null || break
        sleep 0.05
    done
    [ "$(wc -l <"$work/acked.log")" -gt "$before" ] || fail "round $round: nothing was accepted"
    sleep "0.$((RANDOM % 4))"
    kill -9 "$pid"
    wait "$pid" 2>/dev/null || true
    wait "$burst_pid"
    ok=$(sqlite3 "$crashdb" "PRAGMA integrity_check")
    [ "$ok" = ok ] || fail "round $round: integrity check says $ok"
    sqlite3 "$crashdb" "SELECT sha256 FROM entries" | sort >"$work/stored.txt"
    missing=$(awk '{print $2}' "$work/acked.log" | sort | comm -23 - "$work/stored.txt" | wc -l)
    [ "$missing" = 0 ] || fail "round $round: $missing acknowledged entries are missing"
done
echo "$(wc -l <"$work/acked.log") submissions answered 201 over 20 kills, all stored;" \
    "integrity check ok; $(sqlite3 "$crashdb" 'SELECT COUNT(*) FROM entries') entries"

echo "== built-in TLS"
openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1 \
    -addext subjectAltName=IP:127.0.0.1 \
    -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1
start_server tls --db "$work/tls.db" --tls-cert "$work/cert.pem" --tls-key "$work/key.pem"
grep -q "https://" "$work/tls.log" || fail "the TLS server does not say https"
[ "$(curl -sf --cacert "$work/cert.pem" "https://127.0.0.1:$port/healthz")" = ok ] ||
    fail "no answer over TLS"
s=$(curl -s -o /dev/null -w '%{http_code}' --cacert "$work/cert.pem" \
    --data-binary @"$good" "https://127.0.0.1:$port/api/v1/replays")
[ "$s" = 201 ] || fail "a submission over TLS was answered $s"
if curl -sf "http://127.0.0.1:$port/healthz" >/dev/null 2>&1; then fail "plain HTTP was served"; fi
echo "healthz and a submission over HTTPS; plain HTTP refused"
stop_server "$pid"

echo "== load and figures"
cores=$(nproc)
start_server idle --db "$work/idle.db"
sleep 0.5
figure "idle RSS: $(rss_kb "$pid") kB (vortalix-scores --db EMPTY.db, nothing sent yet)"
stop_server "$pid"

cp "$crashdb" "$work/load.db"
start_server load --db "$work/load.db" --rate 0
lpid=$pid lurl=http://127.0.0.1:$port
known=$(printf '%s/crash/v%04d.vtr' "$work" 0)
curl -s -o /dev/null --data-binary @"$known" "$lurl/api/v1/replays"
cat >"$work/post.lua" <<'LUA'
wrk.method = "POST"
wrk.headers["Content-Type"] = "application/octet-stream"
local f = io.open(os.getenv("VTR_FILE"), "rb")
wrk.body = f:read("*a")
f:close()
LUA
VTR_FILE=$known wrk -t1 -c2 -d4s -s "$work/post.lua" "$lurl/api/v1/replays" \
    >"$work/wrk-post.txt" 2>&1 &
wrk_post=$!
wrk -t2 -c16 -d4s --latency "$lurl/api/v1/scores?limit=10" >"$work/wrk-read.txt" 2>&1
wait "$wrk_post"
reads=$(awk '/^Requests\/sec/ {print $2}' "$work/wrk-read.txt")
p50=$(awk '$1 == "50%" {print $2}' "$work/wrk-read.txt")
p99=$(awk '$1 == "99%" {print $2}' "$work/wrk-read.txt")
posts=$(awk '/^Requests\/sec/ {print $2}' "$work/wrk-post.txt")
errors=$(grep -h "Non-2xx" "$work"/wrk-*.txt || true)
[ -z "$errors" ] || fail "the load test saw errors: $errors"
figure "board reads: $reads/s, p50 $p50, p99 $p99 (wrk -t2 -c16 -d4s --latency /api/v1/scores?limit=10, $(sqlite3 "$work/load.db" 'SELECT COUNT(*) FROM entries') entries, SQLite) while resubmitting a known replay at $posts/s (wrk -t1 -c2 POST)"
stop_server "$lpid"

# Eight-minute games: long_zigzag is 29,100 frames, 7.8 minutes at 62.5 frames a second.
"${client[@]}" variants "$golden/long_zigzag.vtr" "$work/long" "$cores"
start_server verify --db "$work/verify.db" --rate 0 --workers "$cores" --queue 64
vurl=http://127.0.0.1:$port
began=$(date +%s.%N)
"${client[@]}" burst "$vurl" "$work/long.log" "$work"/long/*.vtr
ended=$(date +%s.%N)
accepted=$(wc -l <"$work/long.log")
[ "$accepted" = "$cores" ] || fail "only $accepted of $cores long games were accepted"
figure "eight-minute games verified: $("$py" -c "print('%.2f' % ($accepted / ($ended - $began) / $cores))")/s per core ($accepted games of 29,100 frames on $cores workers in $("$py" -c "print('%.1f' % ($ended - $began))") s)"
one=$(printf '%s/crash/v%04d.vtr' "$work" 199)
t_short=$(curl -s -o /dev/null -w '%{time_total}' --data-binary @"$one" "$vurl/api/v1/replays")
t_long=$(curl -s -o /dev/null -w '%{time_total}' --data-binary @"$golden/long_zigzag.vtr" "$vurl/api/v1/replays")
t_known=$(curl -s -o /dev/null -w '%{time_total}' --data-binary @"$one" "$vurl/api/v1/replays")
figure "submission latency: ${t_short}s for a 27-second game (1,711 frames), ${t_long}s for an eight-minute game, ${t_known}s for a replay already known (curl --data-binary, one at a time)"
stop_server "$pid"
echo "server tests passed; figures in $figures"
