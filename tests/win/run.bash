#!/usr/bin/env bash
# The Windows build under Wine, as a player and a packager meet it:
#   0. the Windows parts' own unit tests (vortalix_win_tests.exe) pass;
#   1. the portable zip holds the programs (no DLLs), the data, a README and the licences;
#   2. vortalix-headless.exe verifies the golden replays;
#   3. its scripted frames (title, play, ranking, zoom) equal the Linux headless runner's,
#      byte for byte;
#   4. the installer installs silently into a fresh Wine prefix, with its Start-menu entry and
#      its entry among the installed programs;
#   5. the installed vortalix.exe runs in a real window on Xvfb: it copies the first ranking to
#      %APPDATA%\vortalix\, plays a game with real key events through the name entry, its F1
#      shot equals the window's picture, Esc keeps the settings, and the ranking and a replay
#      land in %APPDATA%\vortalix\; the replay verifies on Linux;
#   6. the portable zip, unpacked into a folder whose path has spaces and Japanese characters,
#      starts and keeps its files beside itself; F2's open dialog chooses a picture there;
#   7. the uninstaller removes everything it installed and leaves the player's files.
#
# Usage: run.bash --game DIR --native DIR --zip FILE --setup FILE --work DIR
# (tools/windows.sh test passes them). E2E_KEEP=1 keeps the work folder.
set -euo pipefail

game="" native="" zip="" setup="" work=""
while [ $# -gt 0 ]; do
    case "$1" in
    --game) game=$2 ;;
    --native) native=$2 ;;
    --zip) zip=$2 ;;
    --setup) setup=$2 ;;
    --work) work=$2 ;;
    *)
        echo "run.bash: unknown option $1" >&2
        exit 2
        ;;
    esac
    shift 2
done
for given in "$game" "$native" "$zip" "$setup" "$work"; do
    [ -n "$given" ] || {
        echo "usage: run.bash --game DIR --native DIR --zip FILE --setup FILE --work DIR" >&2
        exit 2
    }
done
game=$(realpath "$game") native=$(realpath "$native") zip=$(realpath "$zip")
setup=$(realpath "$setup") work=$(realpath -m "$work")
here=$(cd "$(dirname "$0")" && pwd)
src=$(cd "$here/../.." && pwd)
source "$src/tests/e2e/lib.bash"
e2e_require Xvfb xdotool xwininfo import python3 unzip
wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
[ -x "$wine" ] || e2e_fail "wine64 is not installed"

rm -rf "$work"
mkdir -p "$work"
work=$(cd "$work" && pwd)
E2E_WORK=$work
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko: the game needs neither, and Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
# The machine has no sound card; SDL's dummy driver keeps ALSA's complaints out of the logs.
export SDL_AUDIODRIVER=dummy
# Without a window manager xdotool warns about the focus at every key; the keys still arrive.
xdotool() { command xdotool "$@" 2>/dev/null; }
cleanup() {
    "$wineserver" -k 2>/dev/null || true
    E2E_KEEP=${E2E_KEEP:-1} e2e_cleanup
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

# A private X server that does not reset when Wine's first client leaves.
start_xvfb() {
    local said="$work/xvfb-display" n="" _
    : >"$said"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$said" \
        >"$work/xvfb.txt" 2>&1 &
    E2E_XPID=$!
    for _ in $(seq 200); do
        if [ "$(wc -l <"$said")" -ge 1 ]; then
            n=$(head -n1 "$said")
            break
        fi
        sleep 0.05
    done
    [[ "$n" =~ ^[0-9]+$ ]] || e2e_fail "no X server could be started: $(cat "$work/xvfb.txt")"
    export DISPLAY=":$n"
}

# A Unix path as Wine's Z: drive sees it.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

passed() { echo "  ok: $*"; }

start_xvfb
started=$SECONDS
"$wine" wineboot -i >"$work/wineboot.txt" 2>&1 || e2e_fail "wineboot failed: $(cat "$work/wineboot.txt")"
"$wineserver" -w
echo "a fresh Wine prefix in $((SECONDS - started)) s"
drive_c=$WINEPREFIX/drive_c
appdata=""
for d in "$drive_c"/users/*/AppData/Roaming; do appdata=$d; done
[ -d "$appdata" ] || e2e_fail "the Wine prefix has no AppData\\Roaming folder"

# --- the Windows parts' own tests ---
"$wine" "$game/vortalix_win_tests.exe" --gtest_brief=1 >"$work/unit.txt" 2>&1 ||
    e2e_fail "the Windows unit tests failed: $(tr -d '\r' <"$work/unit.txt")"
passed "the Windows unit tests: $(tr -d '\r' <"$work/unit.txt" | grep -o '[0-9]* tests\? from [0-9]* test suites\? ran' | head -n1)"

# --- 1. the zip ---
unzip -q "$zip" -d "$work/zip"
zipped=$(ls -d "$work"/zip/vortalix-*-win64)
for f in vortalix.exe vortalix-headless.exe image/bonus01.bmp image/t_back.jpg sound/get.wav \
    sound/main.ogg sound/ranking.ogg sound/gameover.ogg score.vtx VORTALIX.ini README.txt \
    LICENSE.txt licences/SDL2.txt; do
    [ -e "$zipped/$f" ] || e2e_fail "the zip has no $f"
done
[ -z "$(find "$zipped" -iname '*.dll')" ] || e2e_fail "the zip has DLLs: the programs should need none"
[ ! -e "$zipped/installed.txt" ] || e2e_fail "the zip carries the installer's marker"
passed "the zip holds the programs without DLLs, the data, README.txt and the licences"
version=$("$wine" "$zipped/vortalix.exe" --version | tr -d '\r')
[[ "$version" =~ ^vortalix\ [0-9]+\.[0-9]+\.[0-9]+$ ]] || e2e_fail "--version said '$version'"
"$wine" "$zipped/vortalix.exe" --help | grep -q -- '--replay FILE' || e2e_fail "--help shows no usage"
code=0
"$wine" "$zipped/vortalix.exe" --bogus >/dev/null 2>&1 || code=$?
[ "$code" -eq 2 ] || e2e_fail "an unknown option ended with $code, expected 2"
passed "vortalix.exe --version says '$version', --help the usage, an unknown option exits with 2"
code=0
said=$("$wine" "$zipped/vortalix.exe" --submit "$zipped/score.vtx" --server http://127.0.0.1:9/ 2>&1 |
    tr -d '\r') || code=$?
[ "$code" -eq 2 ] || e2e_fail "--submit ended with $code, expected 2 (this build cannot send)"
[[ "$said" == *"cannot send games"* ]] || e2e_fail "--submit said '$said'"
passed "vortalix.exe --submit says that this build cannot send games, and exits with 2"

# --- 2. the golden replays ---
mkdir -p "$work/verify"
for replay in "$src"/tests/replays/*.vtr; do
    out=$( (cd "$work/verify" && "$wine" "$zipped/vortalix-headless.exe" --verify "$(winpath "$replay")") 2>&1) ||
        e2e_fail "vortalix-headless.exe does not verify $(basename "$replay"): $out"
    passed "vortalix-headless.exe verifies $(basename "$replay"): ${out//$'\r'/}"
done

# --- 3. scripted frames, Linux against Windows ---
frames_case() {
    local name=$1 zoom=$2
    shift 2
    local dir=$work/frames/$name side
    for side in linux windows; do
        mkdir -p "$dir/$side/data" "$dir/$side/cwd"
        cp -r "$zipped/image" "$zipped/sound" "$zipped/VORTALIX.ini" "$dir/$side/data/"
        sed -i "s/^\[Zoom\]\r\?$/[Zoom]/; /^\[Zoom\]/{n;s/^Enable=.*/Enable=$zoom/}" \
            "$dir/$side/data/VORTALIX.ini"
        cp "$zipped/score.vtx" "$dir/$side/cwd/"
    done
    cp "$zipped/vortalix-headless.exe" "$dir/windows/data/"
    local said_linux said_windows
    said_linux=$(cd "$dir/linux/cwd" && "$native/vortalix-headless" --exe-dir "$dir/linux/data" \
        --out "$dir/linux.bmp" "$@") || e2e_fail "$name: the Linux runner failed"
    said_windows=$(cd "$dir/windows/cwd" && "$wine" "$dir/windows/data/vortalix-headless.exe" \
        --out "$(winpath "$dir/windows.bmp")" "$@") || e2e_fail "$name: the Windows runner failed"
    said_windows=${said_windows//$'\r'/}
    [ "$said_linux" = "$said_windows" ] ||
        e2e_fail "$name: Linux says '$said_linux', Windows '$said_windows'"
    cmp -s "$dir/linux.bmp" "$dir/windows.bmp" ||
        e2e_fail "$name: the Windows frame differs from the Linux one ($dir)"
    passed "$name: the frames are the same, byte for byte ($said_linux)"
}
frames_case title 0 --frames 150
frames_case play 0 --frames 700 --key 10:x --hold 300-360:up --key 400:z --key 520:c
frames_case ranking 0 --frames 200 --key 20:f3
frames_case zoom 1 --frames 600 --key 10:x --key 300:c

# --- 4. the installer ---
"$wine" "$setup" /S >"$work/setup.txt" 2>&1 || e2e_fail "the silent install failed: $(cat "$work/setup.txt")"
"$wineserver" -w
installed="$drive_c/Program Files/vortalix"
for f in vortalix.exe vortalix-headless.exe installed.txt Uninstall.exe image/bonus01.bmp \
    sound/main.ogg score.vtx README.txt; do
    [ -e "$installed/$f" ] || e2e_fail "the installer put no $f in Program Files\\vortalix"
done
menu=$(find "$drive_c" -path '*Start Menu/Programs*' -name 'VORTALIX-Revision-.lnk' | head -n1)
[ -n "$menu" ] || e2e_fail "no Start-menu entry VORTALIX-Revision-"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\vortalix'
"$wine" reg query "$uninstall_key" >"$work/reg.txt" 2>&1 ||
    e2e_fail "no entry among the installed programs: $(cat "$work/reg.txt")"
grep -q 'vortalix.exe' "$work/reg.txt" || e2e_fail "the uninstall entry shows no crown icon"
passed "the silent install put the game in Program Files, a Start-menu entry and an uninstall entry"

# --- 5. the installed game in a window ---
player=$appdata/vortalix
E2E_PROGRAM="$installed/vortalix.exe"
mkdir -p "$work/cwd"
run_installed() {
    (cd "$work/cwd" && exec "$wine" "$E2E_PROGRAM" >"$work/out.txt" 2>&1) &
    E2E_GAME_PID=$!
    e2e_find_window
}
quit_game() {
    xdotool key --window "$E2E_WINDOW" Escape || true
    e2e_wait_exit
    [ "$E2E_EXIT" -eq 1 ] || e2e_fail "exit code $E2E_EXIT after Esc, expected 1"
    "$wineserver" -w
}
run_installed
sleep 2
quit_game
cmp -s "$player/score.vtx" "$installed/score.vtx" ||
    e2e_fail "the first ranking in %APPDATA%\\vortalix is not a copy of the installed one"
[ -e "$player/VORTALIX.ini" ] || e2e_fail "no settings in %APPDATA%\\vortalix"
passed "the installed game copies the first ranking and keeps its settings in %APPDATA%\\vortalix"

e2e_zero_ranking "$player/score.vtx"
run_installed
shot_and_compare() {
    [ "$1" = paused ] || return 0
    sleep 4 # the effects die out; the paused game stands still
    xdotool key --window "$E2E_WINDOW" F1
    sleep 1
    import -window root -depth 8 "$work/screen.ppm"
    [ -s "$player/g_sc0.bmp" ] || e2e_fail "no screenshot g_sc0.bmp in %APPDATA%\\vortalix after F1"
    python3 "$here/find_frame.py" "$player/g_sc0.bmp" "$work/screen.ppm" ||
        e2e_fail "the F1 shot is not what the window shows"
}
e2e_play_to_name_ab shot_and_compare
quit_game
python3 - "$player/score.vtx" <<'PY' || e2e_fail "the ranking in %APPDATA%\\vortalix is wrong"
import sys
data = open(sys.argv[1], 'rb').read()
assert len(data) == 2670, f"ranking file has {len(data)} bytes"
name = data[257:257 + min(data[256], 10)].decode('latin-1')
score = data[1:1 + data[0]].decode('latin-1')
assert name == "AB" and score.isdigit() and not score.startswith("0"), f"first rank {name!r} {score!r}"
PY
replay=$(ls "$player"/replays/*.vtr 2>/dev/null | tail -n1)
[ -n "$replay" ] || e2e_fail "no replay in %APPDATA%\\vortalix\\replays"
out=$("$native/vortalix-headless" --verify "$replay" --exe-dir "$zipped") ||
    e2e_fail "the replay of the Windows game does not verify on Linux: $out"
passed "a game with real keys: AB ranks first in %APPDATA%\\vortalix\\score.vtx, the F1 shot is the window's picture, the replay verifies on Linux ($out)"

# --- 6. the portable zip in a folder with spaces and Japanese characters ---
portable="$work/ポータブル 版 テスト/vortalix"
mkdir -p "$portable"
cp -r "$zipped"/. "$portable/"
rm -f "$portable/VORTALIX.ini"
before=$(find "$player" | sort)
(cd "$portable" && exec "$wine" ./vortalix.exe >"$work/out.txt" 2>&1) &
E2E_GAME_PID=$!
e2e_find_window
sleep 1
xdotool key --window "$E2E_WINDOW" F1
sleep 1
# F2: Windows' open dialog, under its Japanese title; the picture is chosen by typing its
# name, and the backdrop's path, Japanese folder and all, goes into the settings.
xdotool key --window "$E2E_WINDOW" F2
dialog=$(e2e_window_named "背景画像読み込み") || e2e_fail "F2 opened no dialog titled 背景画像読み込み"
sleep 1
xdotool type --window "$dialog" 'image\bonus01.bmp'
sleep 0.5
xdotool key --window "$dialog" Return
for _ in $(seq 50); do
    [ -z "$(e2e_lookup_window "背景画像読み込み")" ] && break
    sleep 0.2
done
[ -z "$(e2e_lookup_window "背景画像読み込み")" ] || e2e_fail "the open dialog did not close"
sleep 1
quit_game
[ -e "$portable/VORTALIX.ini" ] || e2e_fail "the portable game kept no settings beside itself"
grep -qF 'ポータブル 版 テスト\vortalix\image\bonus01.bmp' "$portable/VORTALIX.ini" ||
    e2e_fail "the picture chosen in the dialog is not in the settings: $(cat "$portable/VORTALIX.ini")"
[ -e "$portable/g_sc0.bmp" ] || e2e_fail "the portable game's screenshot is not beside it"
[ "$before" = "$(find "$player" | sort)" ] || e2e_fail "the portable game wrote into %APPDATA%"
passed "the portable game runs from '$(basename "$(dirname "$portable")")', keeps its files beside itself, and takes a picture from the open dialog"

# A start without a ranking in the working folder ends after the warning box, Japanese text
# and all, with exit code 0.
mkdir -p "$work/no-ranking"
(cd "$work/no-ranking" && exec "$wine" "$portable/vortalix.exe" >"$work/out.txt" 2>&1) &
E2E_GAME_PID=$!
box=$(e2e_window_named "オープンエラー") || e2e_fail "no warning box オープンエラー without a ranking file"
grep -q 'スコアランキング(score.vtx)が見つかりません！' "$work/out.txt" ||
    e2e_fail "the warning does not say that score.vtx is missing"
sleep 1
xdotool key --window "$box" Return
e2e_wait_exit
[ "$E2E_EXIT" -eq 0 ] || e2e_fail "exit code $E2E_EXIT after the warning, expected 0"
"$wineserver" -w
passed "without score.vtx the warning box オープンエラー comes up, and OK ends the game with 0"

# --- 7. the uninstaller ---
"$wine" "$installed/Uninstall.exe" /S >"$work/uninstall.txt" 2>&1 ||
    e2e_fail "the uninstaller failed: $(cat "$work/uninstall.txt")"
# The uninstaller runs on from a copy of itself; it is done when the folder has gone.
for _ in $(seq 100); do
    [ -e "$installed" ] || break
    sleep 0.2
done
"$wineserver" -w
[ ! -e "$installed" ] || e2e_fail "left in Program Files: $(cd "$installed" && find . | head)"
[ -z "$(find "$drive_c" -path '*Start Menu/Programs*' -name 'VORTALIX-Revision-.lnk')" ] ||
    e2e_fail "the Start-menu entry is still there"
! "$wine" reg query "$uninstall_key" >/dev/null 2>&1 || e2e_fail "the uninstall entry is still there"
[ -s "$player/score.vtx" ] && [ -e "$player/VORTALIX.ini" ] && [ -n "$(ls "$player"/replays/*.vtr)" ] ||
    e2e_fail "the uninstaller took the player's files"
passed "the uninstaller removed the game, its menu entry and its uninstall entry, and left the player's files"
echo "the Windows build passed under Wine"
