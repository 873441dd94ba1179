#!/usr/bin/env bash
# The scoreboard's Debian package as an administrator gets it: installed with apt-get beside
# the game's, its systemd unit checked (`systemd-analyze verify`, and `systemd-analyze
# security` must rate it "OK" or better), then started as the unit starts it: the unit's own
# ExecStart command line, run as a throwaway user that owns nothing but the state folder (this
# is what DynamicUser and StateDirectory give it; systemd does not run in CI). A golden replay
# is sent with curl and must be on the board, and the package is purged again.
#
# Usage: scores_service.sh <vortalix_VERSION_ARCH.deb> <vortalix-scores_VERSION_ARCH.deb> <source dir>
#        (as root, or with sudo at hand)
set -euo pipefail
game_deb=$(realpath "$1")
scores_deb=$(realpath "$2")
src=$(cd "$3" && pwd)
work=$(mktemp -d /tmp/vortalix-scores-XXXXXX)
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
server_pid=""
fail() {
    echo "FAIL: $*" >&2
    [ -s "$work/server.txt" ] && sed 's/^/  server said: /' "$work/server.txt" >&2
    exit 1
}
cleanup() {
    if [ -n "$server_pid" ]; then
        "${as_root[@]}" kill "$server_pid" 2>/dev/null || true
        wait "$server_pid" 2>/dev/null || true
    fi
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get purge -y vortalix-scores vortalix \
        >/dev/null 2>&1 || true
    "${as_root[@]}" rm -rf "$work"
}
trap cleanup EXIT
for tool in apt-get curl python3 setpriv systemd-analyze; do
    command -v "$tool" >/dev/null || fail "$tool is not installed"
done

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "$game_deb" "$scores_deb" >"$work/apt.txt" 2>&1 ||
    fail "apt-get install failed: $(tail -5 "$work/apt.txt")"
unit=/lib/systemd/system/vortalix-scores.service
conf=/etc/vortalix-scores/vortalix-scores.conf
for f in /usr/sbin/vortalix-scores "$unit" "$conf" /usr/share/man/man8/vortalix-scores.8.gz \
    /usr/share/doc/vortalix-scores/copyright; do
    [ -s "$f" ] || fail "the package put nothing at $f"
done
dpkg-query --control-show vortalix-scores conffiles 2>/dev/null | grep -qx "$conf" ||
    dpkg-query -W -f='${Conffiles}\n' vortalix-scores | grep -q "$conf" ||
    fail "$conf is not a conffile"
/usr/sbin/vortalix-scores --version >/dev/null || fail "--version failed"

systemd-analyze verify "$unit" >"$work/verify.txt" 2>&1 ||
    fail "systemd-analyze verify: $(cat "$work/verify.txt")"
systemd-analyze security --offline=yes "$unit" >"$work/security.txt" 2>&1 || true
rating=$(grep -o 'Overall exposure level for vortalix-scores.service: .*' "$work/security.txt" |
    sed 's/.*: //')
echo "systemd-analyze security: $rating"
case "$rating" in
*SAFE* | *OK*) ;;
*) fail "the unit is rated '$rating', not OK or better: $(tail -20 "$work/security.txt")" ;;
esac

# The unit's command line, as systemd would run it, with a free port added at its end (later
# options win) so that the test never meets another server.
exec_start=$(sed -n 's/^ExecStart=//p' "$unit")
[ -n "$exec_start" ] || fail "the unit has no ExecStart"
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
state=/var/lib/vortalix-scores
"${as_root[@]}" mkdir -p "$state"
# A user id nobody has, as DynamicUser picks one.
uid=$((61184 + RANDOM % 800))
"${as_root[@]}" chown "$uid:$uid" "$state"
"${as_root[@]}" chmod 0700 "$state"
# shellcheck disable=SC2086 # the command line is split as systemd splits it (no quotes in it)
(cd "$state" && exec "${as_root[@]}" setpriv --reuid="$uid" --regid="$uid" --clear-groups \
    --no-new-privs $exec_start --port "$port") >"$work/server.txt" 2>&1 &
server_pid=$!
url="http://127.0.0.1:$port"
for _ in $(seq 100); do
    curl -fs "$url/healthz" >/dev/null 2>&1 && break
    kill -0 "$server_pid" 2>/dev/null || fail "the server ended at start"
    sleep 0.1
done
curl -fs "$url/healthz" | grep -qx ok || fail "no /healthz from the server"

code=$(curl -s -o "$work/answer.json" -w '%{http_code}' -H 'Content-Type: application/octet-stream' \
    --data-binary "@$src/tests/replays/levelups_name.vtr" "$url/api/v1/replays")
[ "$code" = 201 ] || fail "sending a golden replay gave HTTP $code: $(cat "$work/answer.json")"
curl -fs "$url/api/v1/scores?limit=10" >"$work/board.json" || fail "no board"
python3 - "$work/answer.json" "$work/board.json" <<'PY' || fail "the replay is not on the board"
import json, sys
entry = json.load(open(sys.argv[1]))
board = json.load(open(sys.argv[2]))
assert entry["rank"] == 1, entry
assert any(e["id"] == entry["id"] and e["score"] == entry["score"] for e in board["entries"]), board
print(f"on the board: rank {entry['rank']}, {entry['name']} {entry['score']}")
PY
curl -fs "$url/" | grep -q "$(python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["score"])' "$work/answer.json")" ||
    fail "the board page does not show the score"
"${as_root[@]}" test -s "$state/scores.db" || fail "no database in $state"
echo "scoreboard package: installed, unit verified, served the board from $state"
