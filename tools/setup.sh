#!/usr/bin/env bash
# Sets up a Debian 12 machine for VORTALIX-Revision-, builds it, and then either starts the
# game or runs every test.
#
#   bash tools/setup.sh run    install what is missing, build, start the game
#   bash tools/setup.sh test   install what is missing, build, run all tests, build the Debian
#                              package and play the installed game, then build again with
#                              AddressSanitizer and UndefinedBehaviorSanitizer and run the
#                              unit tests there, and last build the browser version and test it
#                              in headless Chromium (tools/web.sh test), and the Windows
#                              build and its tests under Wine (tools/windows.sh test)
#
# Packages are installed with apt-get, directly as root or through sudo otherwise. The build
# goes to build/ in the source folder (BUILD_DIR overrides it). "run" starts the game in the
# current directory, which keeps the ranking file score.vtx: a first one is copied there from
# the build when none exists, and an existing one is never overwritten.
set -euo pipefail

mode=${1:-}
case "$mode" in
run | test) ;;
*)
    echo "usage: bash tools/setup.sh run|test" >&2
    exit 2
    ;;
esac

src=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$src/build}
jobs=$(nproc 2>/dev/null || echo 2)

# Every stage of the test run is timed, and the times are printed at the end, also when a
# stage fails, so that a slow or broken stage is seen at once.
stage_names=()
stage_seconds=()
run_start=$SECONDS
stage_started=$SECONDS
current_stage=""
print_stage_times() {
    local status=$?
    if [ -n "$current_stage" ]; then
        stage_names+=("$current_stage (failed)")
        stage_seconds+=($((SECONDS - stage_started)))
    fi
    echo
    echo "stage times:"
    local i
    for i in "${!stage_names[@]}"; do
        printf '  %-28s %5d s\n' "${stage_names[$i]}" "${stage_seconds[$i]}"
    done
    printf '  %-28s %5d s\n' "total (this script)" $((SECONDS - run_start))
    return $status
}
if [ "$mode" = test ]; then trap print_stage_times EXIT; fi
# stage NAME COMMAND...: runs one stage and keeps its time.
stage() {
    current_stage=$1
    stage_started=$SECONDS
    shift
    "$@"
    stage_names+=("$current_stage")
    stage_seconds+=($((SECONDS - stage_started)))
    current_stage=""
}

# What the game needs to build and run: compiler and build tools, SDL2 and SDL2_mixer,
# FluidSynth and a General MIDI soundfont, TurboJPEG, SimpleIni with ICU, libpng for the
# icons, zlib for the replays, GoogleTest, zenity for the picture dialog, and fonts that show
# the Japanese texts: core X fonts for SDL's warning box, a TrueType font for zenity.
packages=(build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev
    fluid-soundfont-gm libturbojpeg0-dev libsimpleini-dev libicu-dev libpng-dev zlib1g-dev
    libgtest-dev zenity xfonts-base fonts-ipafont-gothic)
# libcurl and nlohmann-json for sending finished games to a scoreboard (without them the game
# builds a sender that never connects).
packages+=(libcurl4-openssl-dev nlohmann-json3-dev)
# What the end-to-end tests drive the real window with (Mesa's OpenGL so that SDL's renderer
# can be checked on a machine without a GPU), what makes and checks the Debian
# package, and Google Benchmark, so that the benchmarks are built (not run) with the tests.
# weston gives the end-to-end tests a high-DPI screen: an output of scale 2 under Wayland.
if [ "$mode" = test ]; then
    packages+=(xvfb xauth xdotool x11-utils imagemagick python3 libgl1-mesa-dri libglx-mesa0
        dpkg-dev lintian desktop-file-utils appstream man-db groff-base libbenchmark-dev weston)
    # The scoreboard server: HTTP (with OpenSSL for TLS), JSON, SQLite and PostgreSQL client
    # libraries; and for its tests a PostgreSQL 15 server, the sqlite3 shell for the integrity
    # check, wrk for the load test, curl for the hostile clients and openssl for a test
    # certificate.
    packages+=(libcpp-httplib-dev nlohmann-json3-dev libpqxx-dev libsqlite3-dev libssl-dev
        postgresql wrk sqlite3 curl openssl)
    # systemd-analyze checks the scoreboard's unit in the package test (cpp-httplib above also
    # serves the game's sending tests a small scoreboard).
    packages+=(systemd)
fi

install_missing() {
    missing=()
    for p in "${packages[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "installing: ${missing[*]}"
        if [ "$(id -u)" -eq 0 ]; then
            as_root=()
        elif command -v sudo >/dev/null; then
            as_root=(sudo)
        else
            echo "these packages are missing and neither root nor sudo is at hand: ${missing[*]}" >&2
            exit 1
        fi
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
        "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends \
            "${missing[@]}"
    fi
}
stage "install packages" install_missing

werror=()
# Warnings are errors where we develop; a plain "run" build must never fail on one.
# The test run also insists on the scoreboard server being built.
if [ "$mode" = test ]; then werror=(-DVORTALIX_WERROR=ON -DVORTALIX_REQUIRE_SERVER=ON); fi
stage "configure" cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${werror[@]}"

if [ "$mode" = run ]; then
    cmake --build "$build" -j "$jobs" --target vortalix assets
    if [ ! -e score.vtx ]; then
        cp "$build/score.vtx" score.vtx
        echo "a first ranking file score.vtx was put in $(pwd)"
    fi
    exec "$build/vortalix"
fi

stage "build" cmake --build "$build" -j "$jobs"
stage "unit tests" ctest --test-dir "$build" --output-on-failure -j "$jobs" -LE "e2e|golden"
stage "golden replays" ctest --test-dir "$build" --output-on-failure -j "$jobs" -L golden
# The scoreboard server on real databases: PostgreSQL, races, hostile clients, kill -9, load.
stage "server" bash "$src/tools/server_tests.sh" "$build"
stage "end-to-end" ctest --test-dir "$build" --output-on-failure -j "$jobs" -L e2e

# The Debian package: a Release build with Debian's flags checked by lintian, the layout that
# `cmake --install` makes, and the package installed, played and removed again.
package_stage() {
    BUILD_DIR=${build}-deb bash "$src/tools/package.sh" -DVORTALIX_REQUIRE_SERVER=ON
    bash "$src/tests/package/layout.sh" "${build}-deb"
    bash "$src/tests/package/installed_game.sh" "$(ls "${build}"-deb/vortalix_*.deb)"
    bash "$src/tests/package/scores_service.sh" "$(ls "${build}"-deb/vortalix_*.deb)" \
        "$(ls "${build}"-deb/vortalix-scores_*.deb)" "$src"
}
stage "package" package_stage

sanitized=${build}-sanitize
sanitizer_stage() {
    cmake -S "$src" -B "$sanitized" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTALIX_SANITIZE=ON \
        -DVORTALIX_WERROR=ON -DVORTALIX_REQUIRE_SERVER=ON
    # Only what the unit tests and the golden replays run: the window program, the gamepad
    # and window-surface checks (end-to-end) and the package's documents are not needed here.
    cmake --build "$sanitized" -j "$jobs" --target vortalix_tests vortalix_server_tests \
        vortalix-headless
    UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$sanitized" --output-on-failure -j "$jobs" -LE e2e
}
stage "sanitizers" sanitizer_stage

# The browser build and its tests in headless Chromium, with this build's data files and
# headless runner.
stage "browser" env NATIVE_BUILD_DIR="$build" WEB_BUILD_DIR="${build}-web" VORTALIX_WERROR=ON \
    bash "$src/tools/web.sh" test

# The Windows build, cross-compiled with MinGW-w64, and its tests under Wine on Xvfb, with
# this build's data files and headless runner.
stage "windows" env NATIVE_BUILD_DIR="$build" WIN_BUILD_DIR="${build}-win" VORTALIX_WERROR=ON \
    bash "$src/tools/windows.sh" test
echo "all tests passed"
