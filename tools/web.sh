#!/usr/bin/env bash
# The browser build of VORTALIX-Revision-, from Debian's packages alone.
#
#   bash tools/web.sh build   install what is missing, build the page into build-web/site/
#   bash tools/web.sh test    the same, then test the page in headless Chromium
#   bash tools/web.sh libs    install what is missing, build the libraries and fetch the
#                             tests' npm modules, and stop there (the test set-up does this
#                             early, beside the native tests)
#   bash tools/web.sh packages  print the Debian packages "test" needs
#
# Debian's Emscripten compiles the game. SDL2, SDL2_mixer, libjpeg-turbo and zlib are built
# for it from their Debian source packages (apt-get source; a deb-src entry is added when there
# is none) into build-web/deps/prefix, once each. The data files are the desktop's, made by a native
# build's assetgen; the three MIDI pieces are rendered with FluidSynth and the General MIDI
# soundfont into Ogg Vorbis, since a browser has no MIDI synthesiser. Packages are installed
# with apt-get, directly as root or through sudo otherwise, waiting for another apt-get that
# holds the lock.
#
# WEB_BUILD_DIR puts the build elsewhere (default build-web/ in the source folder);
# NATIVE_BUILD_DIR names an existing native build folder to take assetgen's data and the
# headless runner from (default: one of its own in build-web/native/).
set -euo pipefail

mode=${1:-}
case "$mode" in
build | test | libs | packages) ;;
*)
    echo "usage: bash tools/web.sh build|test|libs|packages" >&2
    exit 2
    ;;
esac

src=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/lib-deps.bash
source "$src/tools/lib-deps.bash"

# Emscripten and its node; dpkg-dev for apt-get source; FluidSynth, the soundfont and oggenc
# for the music; what the native build needs for assetgen and the headless runner; for the
# tests Chromium, npm and Python's web server.
packages=(emscripten dpkg-dev fluidsynth fluid-soundfont-gm vorbis-tools build-essential cmake
    pkg-config libsdl2-dev libsdl2-mixer-dev libturbojpeg0-dev libsimpleini-dev libicu-dev)
if [ "$mode" = test ] || [ "$mode" = packages ]; then
    packages+=(chromium python3)
    command -v npm >/dev/null || packages+=(npm)
fi
if [ "$mode" = packages ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

build=${WEB_BUILD_DIR:-$src/build-web}
mkdir -p "$build"
build=$(cd "$build" && pwd)
native=${NATIVE_BUILD_DIR:-$build/native}
deps=$build/deps
prefix=$deps/prefix
site=$build/site
jobs=2
target="the browser"
cross_cmake=(emcmake cmake)
zlib_configure=(emconfigure ./configure)
zlib_make=(emmake make)
extra_sdl_options=()
# No SIMD in WebAssembly, and the type sizes cannot be probed by running a test program.
extra_jpeg_options=(-DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE -DUNSIGNED_LONG=4)

find_missing "${packages[@]}"
install_and_fetch
# Debian's node does not look in its own module folder, where Emscripten's acorn lies.
export NODE_PATH=/usr/share/nodejs

# --- the libraries, from Debian's sources, each built once ---
started=$SECONDS
build_libraries
# Emscripten builds its own C and C++ libraries on their first use; a program that uses the
# C++ library and SDL's header does that now, with the libraries, rather than in the game's
# build.
if [ ! -e "$prefix/.built-system-libraries" ]; then
    echo "building Emscripten's system libraries"
    mkdir -p "$deps/warm"
    printf '#include <SDL.h>\n#include <string>\nint main(int c, char**) { SDL_Init(0); return (int)std::to_string(c).size(); }\n' \
        >"$deps/warm/warm.cpp"
    em++ -O2 -std=c++20 -fexceptions -I"$prefix/include/SDL2" "$deps/warm/warm.cpp" \
        -L"$prefix/lib" -lSDL2 -sALLOW_MEMORY_GROWTH=1 -o "$deps/warm/warm.js" >"$deps/system-libraries.log" 2>&1
    touch "$prefix/.built-system-libraries"
fi
echo "the libraries for the browser are ready ($((SECONDS - started)) s)"
# The tests' npm modules, as the lock file pins them.
npmdir=$build/npm
if [ "$mode" != build ]; then
    mkdir -p "$npmdir"
    if ! cmp -s "$src/tests/web/package-lock.json" "$npmdir/package-lock.json" ||
        [ ! -d "$npmdir/node_modules/puppeteer-core" ] || [ ! -d "$npmdir/node_modules/lighthouse" ]; then
        cp "$src/tests/web/package.json" "$src/tests/web/package-lock.json" "$npmdir/"
        (cd "$npmdir" && npm ci --no-audit --no-fund --ignore-scripts)
    fi
fi
[ "$mode" != libs ] || exit 0

# --- the data files: the desktop's, with the music rendered ---
# The music is fetched by the page after the game has started, not packed with the rest: it
# is half of the data, and nothing plays it before the player's first key.
music_dir=$build/music
make_data_files
rm -f "$data"/sound/*.ogg # left by an earlier build that packed them

# --- the game ---
emcmake cmake -S "$src" -B "$build/game" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DSDL2_DIR="$prefix/lib/cmake/SDL2" \
    -DSDL2_mixer_DIR="$prefix/lib/cmake/SDL2_mixer" -DVORTALIX_WEB_DATA="$data" \
    -DVORTALIX_WEB_ICONS="$assets/icons/hicolor" -DVORTALIX_WEB_MUSIC="$music_dir" \
    -DVORTALIX_SITE_DIR="$site" -DVORTALIX_WERROR="${VORTALIX_WERROR:-OFF}" >/dev/null
cmake --build "$build/game" -j "$jobs"
echo "the page is in $site: serve that folder with any static web server, e.g."
echo "  python3 -m http.server -d $site 8000"

[ "$mode" = test ] || exit 0

# --- the tests, in headless Chromium driven by puppeteer-core from npm ---
node "$src/tests/web/browser_test.js" --site "$site" --data "$data" --headless "$native/vortalix-headless" \
    --puppeteer "$npmdir/node_modules/puppeteer-core" --work "$build/test-work"
# The game's own clock at simulated refresh rates; watching replays; Lighthouse's scores.
node "$src/tests/web/pace_test.js" --site "$site" --puppeteer "$npmdir/node_modules/puppeteer-core"
node "$src/tests/web/watch_test.js" --site "$site" --data "$data" --headless "$native/vortalix-headless" \
    --replays "$src/tests/replays" --puppeteer "$npmdir/node_modules/puppeteer-core" \
    --work "$build/test-work/watch"
# Touch, offline and sound, each in a browser of its own.
for t in touch offline sound; do
    node "$src/tests/web/${t}_test.js" --site "$site" --data "$data" \
        --headless "$native/vortalix-headless" --puppeteer "$npmdir/node_modules/puppeteer-core" \
        --work "$build/test-work-$t" --source "$src"
done
# The page served by the scoreboard server at /play/, when the native build has the server.
if [ -x "$native/vortalix-scores" ]; then
    node "$src/tests/web/scoreboard_test.js" --site "$site" --server "$native/vortalix-scores" \
        --data "$native" --puppeteer "$npmdir/node_modules/puppeteer-core" \
        --work "$build/scoreboard-work"
else
    echo "no $native/vortalix-scores: the page with a scoreboard is not tested" >&2
fi
# Last, since its scores depend most on how busy the machine is.
node "$src/tests/web/lighthouse_test.js" --site "$site" --puppeteer "$npmdir/node_modules/puppeteer-core" \
    --lighthouse "$npmdir/node_modules/lighthouse" --work "$build/test-work/lighthouse"
