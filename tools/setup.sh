#!/usr/bin/env bash
# Sets up a Debian 12 machine for VORTALIX-Revision-, builds it, and then either starts the
# game or runs every test.
#
#   bash tools/setup.sh run    install what is missing, build, start the game
#   bash tools/setup.sh test   install what is missing, build, run all tests, build the Debian
#                              package and play the installed game, then build again with
#                              AddressSanitizer and UndefinedBehaviorSanitizer and run the
#                              unit tests there, build the fuzz targets with clang and run each
#                              briefly, and last build the browser version and test it
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
    # A failed stage ends the run; the libraries being built beside it end with it.
    if [ -n "${libs_pid:-}" ]; then kill -- "-$libs_pid" 2>/dev/null || true; fi
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
    # clang with its libFuzzer runtime builds the fuzz targets.
    packages+=(clang libclang-rt-14-dev)
fi

# The browser's and the Windows build's packages too, and the sources of the libraries they
# compile themselves, so that one package list update serves all of it and those libraries can
# be built early, beside the native stages (below).
if [ "$mode" = test ]; then
    mapfile -t -O "${#packages[@]}" packages < <(bash "$src/tools/web.sh" packages)
    mapfile -t -O "${#packages[@]}" packages < <(bash "$src/tools/windows.sh" packages)
fi

# shellcheck source=tools/lib-deps.bash
source "$src/tools/lib-deps.bash"
install_missing() {
    find_missing "${packages[@]}"
    local update=no
    [ "${#missing[@]}" -eq 0 ] || update=yes
    if [ "$mode" = test ]; then
        if add_deb_src_entry || ! have_source_lists; then update=yes; fi
    fi
    if [ "$update" = yes ]; then as_root "${apt[@]}" update; fi
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "installing: ${missing[*]}"
        as_root "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
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

# The cross builds' libraries (SDL2, SDL2_mixer, libjpeg-turbo and zlib from Debian's sources,
# for the browser and for Windows, and Emscripten's own libraries) take a quarter of an hour of
# compiling that depends on nothing built here. They are built beside the native stages at the
# idle scheduling class, so that they only take the processor time those stages leave unused
# (the end-to-end tests wait on real time) and never slow the timed games under test.
libs_log=${build}-libs.log
libs_pid=""
libs_started=$SECONDS
# In a process group of its own, so that a failed run ends all of it.
setsid chrt --idle 0 bash -c 'set -e
    WEB_BUILD_DIR="$2-web" bash "$1/tools/web.sh" libs
    WIN_BUILD_DIR="$2-win" bash "$1/tools/windows.sh" libs' libraries "$src" "$build" \
    >"$libs_log" 2>&1 </dev/null &
libs_pid=$!
# wait_for_libraries: waits for them, and fails with their log when they failed.
wait_for_libraries() {
    [ -n "$libs_pid" ] || return 0
    local status=0
    wait "$libs_pid" || status=$?
    libs_pid=""
    echo "the cross builds' libraries: built in $((SECONDS - libs_started)) s beside the native stages"
    grep -E '^(built|the libraries) ' "$libs_log" || true
    if [ "$status" -ne 0 ]; then
        tail -n 40 "$libs_log"
        echo "building the cross builds' libraries failed (the whole log: $libs_log)" >&2
        return 1
    fi
}

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
    # -O1 with line tables alone compiles in half the time of -O2 with full debugging data
    # under the sanitizers, and their reports still name file and line.
    cmake -S "$src" -B "$sanitized" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTALIX_SANITIZE=ON \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DVORTALIX_WERROR=ON -DVORTALIX_REQUIRE_SERVER=ON
    # Only what the unit tests and the golden replays run: the window program, the gamepad
    # and window-surface checks (end-to-end) and the package's documents are not needed here.
    cmake --build "$sanitized" -j "$jobs" --target vortalix_tests vortalix_server_tests \
        vortalix-headless
    UBSAN_OPTIONS=print_stacktrace=1 \
        ctest --test-dir "$sanitized" --output-on-failure -j "$jobs" -LE e2e
}
stage "sanitizers" sanitizer_stage

# Every libFuzzer target built with clang and run for a short while: they keep building, and a
# fault the fuzzers find at once stops the run.
stage "fuzz targets" bash "$src/tools/fuzz.sh" "${build}-fuzz" 15

# The browser build and its tests in headless Chromium, with this build's data files and
# headless runner.
stage "libraries (wait)" wait_for_libraries
stage "browser" env NATIVE_BUILD_DIR="$build" WEB_BUILD_DIR="${build}-web" VORTALIX_WERROR=ON \
    bash "$src/tools/web.sh" test

# The Windows build, cross-compiled with MinGW-w64, and its tests under Wine on Xvfb, with
# this build's data files and headless runner.
stage "windows" env NATIVE_BUILD_DIR="$build" WIN_BUILD_DIR="${build}-win" VORTALIX_WERROR=ON \
    bash "$src/tools/windows.sh" test
echo "all tests passed"
