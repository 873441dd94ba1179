# Shared by the end-to-end scripts (sourced, never run alone): a private X server, a copy of
# the game to run from, and its window. The game is copied so that whatever it writes beside
# itself (VORTALIX.ini, screenshots) never lands in the build folder.

E2E_WORK=""
E2E_XPID=""
E2E_GAME_PID=""
E2E_DISPLAY=""
E2E_WINDOW=""
E2E_EXIT=""

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -n "$E2E_WORK" ] && [ -s "$E2E_WORK/out.txt" ]; then
        sed 's/^/  game said: /' "$E2E_WORK/out.txt" >&2
    fi
    exit 1
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null || e2e_fail "$tool is not installed"
    done
}

e2e_cleanup() {
    if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill "$E2E_GAME_PID" 2>/dev/null || true
        sleep 0.5
        kill -9 "$E2E_GAME_PID" 2>/dev/null || true
    fi
    if [ -n "$E2E_XPID" ]; then
        kill "$E2E_XPID" 2>/dev/null || true
        wait "$E2E_XPID" 2>/dev/null || true # gone before the next script looks for a display
    fi
    if [ -n "$E2E_WORK" ] && [ -z "${E2E_KEEP:-}" ]; then rm -rf "$E2E_WORK"; fi
}

# A fresh temporary folder: game/ holds the program and its data, cwd/ is where it runs.
e2e_workdir() {
    E2E_WORK=$(mktemp -d "/tmp/vortalix-$1-XXXXXX")
    mkdir -p "$E2E_WORK/game" "$E2E_WORK/cwd"
    trap e2e_cleanup EXIT
}

# Copies the program, image/, sound/ and the first ranking file out of the build folder.
e2e_copy_game() {
    local build=$1
    [ -x "$build/vortalix" ] || e2e_fail "no program $build/vortalix: build first"
    local missing=""
    for f in image sound score.vtx; do [ -e "$build/$f" ] || missing="$missing $f"; done
    [ -z "$missing" ] || e2e_fail "the data files are not generated in $build (missing:$missing)"
    cp "$build/vortalix" "$E2E_WORK/game/"
    cp -r "$build/image" "$build/sound" "$E2E_WORK/game/"
    cp "$build/score.vtx" "$E2E_WORK/cwd/"
}

# A private X server. The server picks a free display number itself and says which once it
# accepts connections (-displayfd): taking the number is atomic in the server, so no other
# script's server, starting or shutting down, can ever be mistaken for ours.
# -noreset: by default an X server resets itself whenever its last client leaves, and a client
# that connects during the reset is refused. The scripts poll with short-lived clients
# (xdotool, xwininfo) between two games, so without it a game started then now and then found
# no display at all, while the next poll reached the server again.
e2e_start_xvfb() {
    local said="$E2E_WORK/xvfb-display" n="" _
    : >"$said"
    Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-1024x768x24}" -nolisten tcp -noreset \
        3>"$said" >"$E2E_WORK/xvfb.txt" 2>&1 &
    E2E_XPID=$!
    for _ in $(seq 200); do
        # The number and its newline come in one write.
        if [ "$(wc -l <"$said")" -ge 1 ]; then
            n=$(head -n1 "$said")
            break
        fi
        kill -0 "$E2E_XPID" 2>/dev/null || break
        sleep 0.05
    done
    if ! [[ "$n" =~ ^[0-9]+$ ]]; then
        kill "$E2E_XPID" 2>/dev/null || true
        wait "$E2E_XPID" 2>/dev/null || true
        E2E_XPID=""
        e2e_fail "no X server could be started: $(cat "$E2E_WORK/xvfb.txt" 2>/dev/null)"
    fi
    E2E_DISPLAY=":$n"
    export DISPLAY=$E2E_DISPLAY
}

# A display number (":N") that no X server uses now, for a helper that listens as one.
e2e_free_display() {
    local n
    for n in $(seq $((100 + RANDOM % 400)) 600); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        echo ":$n"
        return 0
    done
    e2e_fail "no free X display number"
}

# Starts the game from cwd/ with the given extra environment (NAME=value ...), silent.
# E2E_PROGRAM names another program to start than the copy in game/ (an installed one).
e2e_start_game() {
    (cd "$E2E_WORK/cwd" && exec env SDL_AUDIODRIVER=dummy LANG="${LANG:-C.UTF-8}" "$@" \
        "${E2E_PROGRAM:-$E2E_WORK/game/vortalix}" >"$E2E_WORK/out.txt" 2>&1) &
    E2E_GAME_PID=$!
}

# The id of a mapped top-level window whose name is exactly $1, or nothing. xwininfo reads
# the UTF-8 name, so this also finds SDL's message box.
e2e_lookup_window() {
    local id
    id=$(xwininfo -root -children 2>/dev/null |
        awk -v want="\"$1\":" '$2 == want { print $1; exit }')
    if [ -n "$id" ] && xwininfo -id "$id" 2>/dev/null | grep -q 'Map State: IsViewable'; then
        echo "$id"
    fi
}

# Waits up to ten seconds for the window named $1 and prints its id; fails early when the
# game ends or, unless the window looked for is the warning itself, shows a start-up warning.
e2e_window_named() {
    local name=$1 _ id
    for _ in $(seq 100); do
        id=$(e2e_lookup_window "$name")
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        kill -0 "$E2E_GAME_PID" 2>/dev/null || return 1
        if [ "$name" != "オープンエラー" ] && grep -q 'オープンエラー' "$E2E_WORK/out.txt"; then
            return 1
        fi
        sleep 0.1
    done
    return 1
}

# Sets E2E_WINDOW to the game's window once it shows; a start-up warning instead fails.
e2e_find_window() {
    E2E_WINDOW=$(e2e_window_named "VORTALIX-Revision-") || true
    [ -n "$E2E_WINDOW" ] && return 0
    if grep -q 'オープンエラー' "$E2E_WORK/out.txt" 2>/dev/null; then
        e2e_fail "the game showed a start-up warning instead of its window (data files missing?)"
    fi
    e2e_fail "the game's window did not appear"
}

# Waits up to ten seconds for the game to end; its exit code goes to E2E_EXIT.
e2e_wait_exit() {
    local _
    for _ in $(seq 100); do
        kill -0 "$E2E_GAME_PID" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$E2E_GAME_PID" 2>/dev/null && e2e_fail "the game did not end"
    E2E_EXIT=0
    wait "$E2E_GAME_PID" || E2E_EXIT=$?
    E2E_GAME_PID=""
}

# "WIDTHxHEIGHT+X+Y" of a window's client area, from xwininfo.
e2e_geometry() {
    xwininfo -id "$1" | awk '
        /Absolute upper-left X:/ { x = $NF }
        /Absolute upper-left Y:/ { y = $NF }
        /^ *Width:/ { w = $NF }
        /^ *Height:/ { h = $NF }
        END { printf "%sx%s+%s+%s\n", w, h, x, y }'
}

# A whole game with real key events in E2E_WINDOW: start on the title, wait out the
# count-down, turn back onto the trail (during a pause, so both turns surely land between two
# steps), then enter the name "AB". The pause stays on across the count-down, so nothing
# depends on how fast the count-down and the first steps run on a busy machine. A command
# given as $1 is called with "paused" and "entry" at those two moments (for screenshots).
e2e_play_to_name_ab() {
    local shot=${1:-true} k
    sleep 1
    xdotool key --window "$E2E_WINDOW" F7 # pause, already on the title
    sleep 0.3
    xdotool key --window "$E2E_WINDOW" x # start: about four seconds, then play begins paused
    sleep 6
    xdotool key --window "$E2E_WINDOW" F7 # run to the right for a while
    sleep 0.7
    xdotool key --window "$E2E_WINDOW" F7 # pause again
    "$shot" paused
    sleep 0.3
    xdotool key --window "$E2E_WINDOW" z # left twice: the point now faces its own trail
    sleep 0.2
    xdotool key --window "$E2E_WINDOW" z
    sleep 0.3
    xdotool key --window "$E2E_WINDOW" F7 # the next step lands on the trail
    sleep 5                               # game over (126 frames), then the name entry
    "$shot" entry
    for k in x c x z z x; do # A, cursor to B, B, back past A to '#', finish
        xdotool key --window "$E2E_WINDOW" "$k"
        sleep 0.25
    done
    sleep 1
}

# A ranking file of ten ranks scoring "0" under the name "ZERO": any game with a positive score
# enters it.
e2e_zero_ranking() {
    python3 - "$1" <<'PY'
import sys
rec = bytearray(267)
rec[0] = 1; rec[1] = ord('0')            # score "0"
rec[256] = 4; rec[257:261] = b'ZERO'     # name "ZERO"
open(sys.argv[1], 'wb').write(bytes(rec) * 10)
PY
}
