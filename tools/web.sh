#!/usr/bin/env bash
# The browser build of VORTALIX-Revision-, from Debian's packages alone.
#
#   bash tools/web.sh build   install what is missing, build the page into build-web/site/
#   bash tools/web.sh test    the same, then test the page in headless Chromium
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
build | test) ;;
*)
    echo "usage: bash tools/web.sh build|test" >&2
    exit 2
    ;;
esac

src=$(cd "$(dirname "$0")/.." && pwd)
build=${WEB_BUILD_DIR:-$src/build-web}
mkdir -p "$build"
build=$(cd "$build" && pwd)
native=${NATIVE_BUILD_DIR:-$build/native}
deps=$build/deps
prefix=$deps/prefix
site=$build/site
jobs=2

as_root() {
    if [ "$(id -u)" -eq 0 ]; then
        "$@"
    elif command -v sudo >/dev/null; then
        sudo "$@"
    else
        echo "root is needed for: $*, and neither root nor sudo is at hand" >&2
        exit 1
    fi
}

# Emscripten and its node; dpkg-dev for apt-get source; FluidSynth, the soundfont and oggenc
# for the music; what the native build needs for assetgen and the headless runner; for the
# tests Chromium, npm and Python's web server.
packages=(emscripten dpkg-dev fluidsynth fluid-soundfont-gm vorbis-tools build-essential cmake
    pkg-config libsdl2-dev libsdl2-mixer-dev libturbojpeg0-dev libsimpleini-dev libicu-dev)
if [ "$mode" = test ]; then
    packages+=(chromium python3)
    command -v npm >/dev/null || packages+=(npm)
fi
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

# --- the libraries, from Debian's sources, each built once ---
sources=(libsdl2 libsdl2-mixer libjpeg-turbo zlib)
srcdir() { find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$1-[0-9]*" | head -n1; }
mkdir -p "$deps/src"
fetch=()
for s in "${sources[@]}"; do
    [ -e "$prefix/.built-$s" ] || [ -n "$(srcdir "$s")" ] || fetch+=("$s")
done
# shellcheck source=tools/lib-deps.bash
source "$src/tools/lib-deps.bash"
# The deb-src entry is added before the one package list update, so that a fresh machine
# reads the lists once for both the packages and their sources, not twice.
update=no
[ "${#missing[@]}" -eq 0 ] || update=yes
if [ "${#fetch[@]}" -gt 0 ] && add_deb_src_entry; then update=yes; fi
if [ "${#fetch[@]}" -gt 0 ] && ! ls /var/lib/apt/lists/*_Sources* >/dev/null 2>&1; then
    update=yes # the entry is there, but its lists were never read
fi
if [ "$update" = yes ]; then as_root "${apt[@]}" update; fi
if [ "${#missing[@]}" -gt 0 ]; then
    echo "installing: ${missing[*]}"
    as_root "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
fi
updated=yes

# Debian's node does not look in its own module folder, where Emscripten's acorn lies.
export NODE_PATH=/usr/share/nodejs

fetch_debian_sources "$deps/src" "${fetch[@]}"
common=(-DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix")
# Builds one library with CMake into the prefix, once: name, then its configure options.
cmake_library() {
    local name=$1
    shift
    [ -e "$prefix/.built-$name" ] && return
    echo "building $name for the browser"
    rm -rf "$deps/b-$name"
    emcmake cmake -S "$(srcdir "$name")" -B "$deps/b-$name" "${common[@]}" "$@" >"$deps/$name.log"
    cmake --build "$deps/b-$name" -j "$jobs" >>"$deps/$name.log"
    cmake --install "$deps/b-$name" >>"$deps/$name.log"
    touch "$prefix/.built-$name"
}
cmake_library libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF
# WAV and Ogg Vorbis (through the stb decoder inside SDL_mixer) are all the game plays.
cmake_library libsdl2-mixer -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON
# No SIMD in WebAssembly, and the type sizes cannot be probed by running a test program.
cmake_library libjpeg-turbo -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON \
    -DWITH_JAVA=OFF -DWITH_SIMD=OFF -DHAVE_SIZE_T=TRUE -DSIZE_T=4 -DHAVE_UNSIGNED_LONG=TRUE \
    -DUNSIGNED_LONG=4
if [ ! -e "$prefix/.built-zlib" ]; then
    # zlib's own configure script makes the static library alone.
    echo "building zlib for the browser"
    rm -rf "$deps/b-zlib"
    cp -r "$(srcdir zlib)" "$deps/b-zlib"
    (cd "$deps/b-zlib" && emconfigure ./configure --static --prefix="$prefix" &&
        emmake make -j "$jobs" libz.a && emmake make install) >"$deps/zlib.log" 2>&1
    touch "$prefix/.built-zlib"
fi

# --- the data files: the desktop's, with the music rendered ---
if [ -z "${NATIVE_BUILD_DIR:-}" ]; then
    cmake -S "$src" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTALIX_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j "$jobs" --target assetgen vortalix-headless >/dev/null
# Freshly generated, not taken from beside the native program, where a player's game may
# have changed the settings.
assets=$build/assets
rm -rf "$assets"
"$native/tools/bin/assetgen" "$assets" >/dev/null
data=$build/data
mkdir -p "$data/sound"
rm -rf "$data/image"
cp -r "$assets/image" "$data/image"
cp "$assets/score.vtx" "$assets/VORTALIX.ini" "$data/"
cp "$assets"/sound/*.wav "$data/sound/"
soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2
rendered=$build/rendered-from # the MIDI files the .ogg files were rendered from
mkdir -p "$rendered"
for mid in "$assets"/sound/*.mid; do
    ogg=$data/sound/$(basename "$mid" .mid).ogg
    # The same notes give the same MIDI file, which need not be rendered again.
    if [ -e "$ogg" ] && cmp -s "$mid" "$rendered/$(basename "$mid")"; then continue; fi
    echo "rendering $(basename "$mid") to $(basename "$ogg")"
    fluidsynth -q -ni -r 44100 -F "$build/render.wav" "$soundfont" "$mid" >/dev/null
    # A fixed stream serial number: the same notes give the same bytes.
    oggenc -Q -q 3 --serial 1 -o "$ogg" "$build/render.wav"
    rm -f "$build/render.wav"
    cp "$mid" "$rendered/"
done

# --- the game ---
emcmake cmake -S "$src" -B "$build/game" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_FIND_ROOT_PATH="$prefix" -DSDL2_DIR="$prefix/lib/cmake/SDL2" \
    -DSDL2_mixer_DIR="$prefix/lib/cmake/SDL2_mixer" -DVORTALIX_WEB_DATA="$data" \
    -DVORTALIX_WEB_ICONS="$assets/icons/hicolor" \
    -DVORTALIX_SITE_DIR="$site" -DVORTALIX_WERROR="${VORTALIX_WERROR:-OFF}" >/dev/null
cmake --build "$build/game" -j "$jobs"
echo "the page is in $site: serve that folder with any static web server, e.g."
echo "  python3 -m http.server -d $site 8000"

[ "$mode" = test ] || exit 0

# --- the tests, in headless Chromium driven by puppeteer-core from npm ---
npmdir=$build/npm
mkdir -p "$npmdir"
if ! cmp -s "$src/tests/web/package-lock.json" "$npmdir/package-lock.json" ||
    [ ! -d "$npmdir/node_modules/puppeteer-core" ] || [ ! -d "$npmdir/node_modules/lighthouse" ]; then
    cp "$src/tests/web/package.json" "$src/tests/web/package-lock.json" "$npmdir/"
    (cd "$npmdir" && npm ci --no-audit --no-fund --ignore-scripts)
fi
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
