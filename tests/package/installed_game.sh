#!/usr/bin/env bash
# The Debian package as a player gets it: installed with apt-get, started as a desktop menu
# starts it (an empty working directory, a fresh home without any of the game's files), played
# with real key events in a real X window, then removed.
#
# First start: a few seconds of play, F1, Esc; the settings must be in ~/.config/vortalix/,
# the screenshot and the player's first ranking in ~/.local/share/vortalix/, private folders,
# nothing in the working directory, nothing changed under /usr. Second start, with a ranking
# of ten zero scores moved into the player's folder: a game to its end and the name "AB"
# entered, which must land in that ranking. Both games must be kept as replays.
#
# Usage: installed_game.sh <vortalix_VERSION_ARCH.deb>   (as root, or with sudo at hand)
set -euo pipefail
deb=$(realpath "$1")
source "$(cd "$(dirname "$0")/../e2e" && pwd)/lib.bash"

e2e_require Xvfb xdotool xwininfo python3 apt-get
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
e2e_workdir installed
E2E_PROGRAM=/usr/games/vortalix
home="$E2E_WORK/home"
mkdir -p "$home"

"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
    "$deb" >"$E2E_WORK/apt.txt" 2>&1 || e2e_fail "apt-get install failed: $(tail -5 "$E2E_WORK/apt.txt")"
remove_package() {
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y vortalix >/dev/null 2>&1 || true
    e2e_cleanup
}
trap remove_package EXIT
[ -x "$E2E_PROGRAM" ] || e2e_fail "the package put no program at $E2E_PROGRAM"
version=$("$E2E_PROGRAM" --version) || e2e_fail "--version failed"
echo "installed: $version"

snapshot() {
    find /usr -xdev -printf '%p %s %T@ %m\n' 2>/dev/null | sort >"$1"
}
snapshot "$E2E_WORK/usr-before.txt"

e2e_start_xvfb
# The XDG variables of whoever runs the test must not lead the game elsewhere.
unset XDG_CONFIG_HOME XDG_DATA_HOME
start() { e2e_start_game HOME="$home"; }
start
e2e_find_window
key() { xdotool key --window "$E2E_WINDOW" "$@"; }

sleep 1
key x # start; the count-down takes about four seconds
sleep 5
for k in z c c z; do # a few turns while the point runs
    key "$k"
    sleep 0.4
done
key F1
sleep 0.5
key Escape || true
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after Esc, expected 1"

config="$home/.config/vortalix"
data="$home/.local/share/vortalix"
[ -s "$config/VORTALIX.ini" ] || e2e_fail "no settings in $config"
grep -qxF '[Zoom]' "$config/VORTALIX.ini" || e2e_fail "the settings file lacks [Zoom]"
shot="$data/g_sc0.bmp"
[ -s "$shot" ] || e2e_fail "no screenshot in $data"
[ "$(head -c 2 "$shot")" = BM ] || e2e_fail "the screenshot is not a BMP"
[ "$(stat -c %s "$shot")" -eq $((54 + 240 * 273 * 3)) ] || e2e_fail "the screenshot has the wrong size"
cmp -s "$data/score.vtx" /usr/share/games/vortalix/score.vtx ||
    e2e_fail "the player's first ranking is not the shipped one"
for d in "$config" "$data" "$home/.config" "$home/.local" "$home/.local/share"; do
    [ "$(stat -c %a "$d")" = 700 ] || e2e_fail "$d has mode $(stat -c %a "$d"), expected 700"
done
[ -z "$(ls -A "$E2E_WORK/cwd")" ] || e2e_fail "the game wrote into its working directory: $(ls -A "$E2E_WORK/cwd")"
snapshot "$E2E_WORK/usr-after.txt"
if ! cmp -s "$E2E_WORK/usr-before.txt" "$E2E_WORK/usr-after.txt"; then
    diff "$E2E_WORK/usr-before.txt" "$E2E_WORK/usr-after.txt" | head -20 >&2
    e2e_fail "something under /usr changed while the game ran"
fi
echo "first start: settings, screenshot and ranking in the home folders; /usr untouched"

# A ranking the player brings along: ten zero scores, so any game enters it.
e2e_zero_ranking "$data/score.vtx"
start
e2e_find_window
e2e_play_to_name_ab
key Escape || true
e2e_wait_exit
[ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT, expected 1"
python3 - "$data/score.vtx" <<'PY'
import sys
data = open(sys.argv[1], 'rb').read()
rec = data[:267]
name = rec[257:257 + min(rec[256], 10)].decode('latin-1')
score = rec[1:1 + rec[0]].decode('latin-1')
assert name == "AB" and score.isdigit() and score != "0", f"first rank is {name!r} {score!r}"
print(f"ranking in the player's folder: 1ST AB {score}")
PY
[ -z "$(ls -A "$E2E_WORK/cwd")" ] || e2e_fail "the game wrote into its working directory"
# Both games were kept as replays beside the settings: the abandoned one and the ranked one.
count=$(find "$config/replays" -name '*.vtr' | wc -l)
[ "$count" -eq 2 ] || e2e_fail "$count replays in $config/replays, expected 2"
[ "$(stat -c %a "$config/replays")" = 700 ] || e2e_fail "the replays folder is not private"
echo "both games kept as replays in $config/replays"

trap e2e_cleanup EXIT
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get remove -y vortalix >/dev/null 2>&1 ||
    e2e_fail "apt-get remove failed"
[ ! -e "$E2E_PROGRAM" ] || e2e_fail "the program is still there after the removal"
[ ! -e /usr/share/games/vortalix ] || e2e_fail "the data are still there after the removal"
echo "installed game test passed"
