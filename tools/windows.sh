#!/usr/bin/env bash
# The Windows build of VORTALIX-Revision-, cross-compiled from Debian's packages alone.
#
#   bash tools/windows.sh build   install what is missing, build vortalix.exe,
#                                 vortalix-headless.exe, the portable zip and the installer
#                                 into build-win/
#   bash tools/windows.sh test    the same, then test them under Wine (tests/win/run.bash)
#
# Debian's MinGW-w64 compiles the game. SDL2, SDL2_mixer, libjpeg-turbo and zlib are built for
# it from their Debian source packages (apt-get source) into build-win/deps/prefix, once each,
# as static libraries, so that each program is one .exe without DLLs. The data files are made
# by a native build's assetgen; the three MIDI pieces are rendered with FluidSynth and the
# General MIDI soundfont into Ogg Vorbis, as for the browser. CPack makes the zip and, with
# NSIS, the installer.
#
# WIN_BUILD_DIR puts the build elsewhere (default build-win/ in the source folder);
# NATIVE_BUILD_DIR names an existing native build folder to take assetgen and the headless
# runner from (default: one of its own in build-win/native/).
set -euo pipefail

mode=${1:-}
case "$mode" in
build | test) ;;
*)
    echo "usage: bash tools/windows.sh build|test" >&2
    exit 2
    ;;
esac

src=$(cd "$(dirname "$0")/.." && pwd)
build=${WIN_BUILD_DIR:-$src/build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)
native=${NATIVE_BUILD_DIR:-$build/native}
deps=$build/deps
prefix=$deps/prefix
jobs=2
host=x86_64-w64-mingw32

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

# The cross compiler with POSIX threads (std::thread), NSIS for the installer, dpkg-dev for
# apt-get source, SimpleIni's header; FluidSynth, the soundfont and oggenc for the music; what
# the native build needs for assetgen and the headless runner; GoogleTest's sources for the
# Windows unit tests, Python for the icon. For the tests Wine, an X server and xdotool for the
# window, ImageMagick for its picture, unzip for the portable zip.
packages=(g++-mingw-w64-x86-64-posix nsis dpkg-dev fluidsynth fluid-soundfont-gm vorbis-tools
    build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev
    libturbojpeg0-dev libsimpleini-dev libicu-dev libpng-dev zlib1g-dev libx11-dev
    libgtest-dev python3)
if [ "$mode" = test ]; then
    packages+=(wine64 xvfb xauth xdotool x11-utils imagemagick unzip)
fi
apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
updated=no
if [ "${#missing[@]}" -gt 0 ]; then
    echo "installing: ${missing[*]}"
    as_root "${apt[@]}" update
    as_root "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
    updated=yes
fi

# --- the libraries, from Debian's sources, each built once ---
sources=(libsdl2 libsdl2-mixer libjpeg-turbo zlib)
srcdir() { find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$1-[0-9]*" | head -n1; }
mkdir -p "$deps/src" "$prefix"
fetch=()
for s in "${sources[@]}"; do
    [ -e "$prefix/.built-$s" ] || [ -n "$(srcdir "$s")" ] || fetch+=("$s")
done
# shellcheck source=tools/lib-deps.bash
source "$src/tools/lib-deps.bash"
fetch_debian_sources "$deps/src" "${fetch[@]}"
common=(-DCMAKE_TOOLCHAIN_FILE="$src/cmake/MingwW64.cmake" -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix")
# Builds one library with CMake into the prefix, once: name, then its configure options.
cmake_library() {
    local name=$1
    shift
    [ -e "$prefix/.built-$name" ] && return
    echo "building $name for Windows"
    rm -rf "$deps/b-$name"
    cmake -S "$(srcdir "$name")" -B "$deps/b-$name" "${common[@]}" "$@" >"$deps/$name.log"
    cmake --build "$deps/b-$name" -j "$jobs" >>"$deps/$name.log"
    cmake --install "$deps/b-$name" >>"$deps/$name.log"
    touch "$prefix/.built-$name"
}
# The game needs video, events, audio, timers and the game controllers; the rest of SDL is
# left out to keep the build short.
cmake_library libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_HAPTIC=OFF \
    -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF -DSDL_MISC=OFF -DSDL_VULKAN=OFF \
    -DSDL_OPENGLES=OFF -DSDL_RENDER_D3D=OFF -DSDL_DIRECTX=OFF -DSDL_WASAPI=ON
# WAV and Ogg Vorbis (through the stb decoder inside SDL_mixer) are all the game plays.
cmake_library libsdl2-mixer -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
    -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON
# Without its SIMD parts libjpeg-turbo needs no assembler; one picture at start-up is all it
# decodes.
cmake_library libjpeg-turbo -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON \
    -DWITH_JAVA=OFF -DWITH_SIMD=OFF
if [ ! -e "$prefix/.built-zlib" ]; then
    # zlib's own configure script cross-compiles for the host it is given and makes the
    # static library alone.
    echo "building zlib for Windows"
    rm -rf "$deps/b-zlib"
    cp -r "$(srcdir zlib)" "$deps/b-zlib"
    (cd "$deps/b-zlib" && CHOST=$host ./configure --static --prefix="$prefix" &&
        make -j "$jobs" libz.a && make install) >"$deps/zlib.log" 2>&1
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
    # At the desktop's music gain, so that the effects over the music never reach full scale.
    fluidsynth -q -ni -g 0.13 -r 44100 -F "$build/render.wav" "$soundfont" "$mid" >/dev/null
    # A fixed stream serial number: the same notes give the same bytes.
    oggenc -Q -q 3 --serial 1 -o "$ogg" "$build/render.wav"
    rm -f "$build/render.wav"
    cp "$mid" "$rendered/"
done
# The crown, in every size the desktop's icon theme has.
icon=$build/vortalix.ico
python3 "$src/tools/make_ico.py" "$icon" "$assets"/icons/hicolor/*/apps/vortalix.png
# The licences of what is linked into the programs, from the sources they were built from.
licences=$build/licences
rm -rf "$licences"
mkdir -p "$licences"
cp "$(srcdir libsdl2)/LICENSE.txt" "$licences/SDL2.txt"
cp "$(srcdir libsdl2-mixer)/LICENSE.txt" "$licences/SDL2_mixer.txt"
cp "$(srcdir libsdl2-mixer)/debian/copyright" "$licences/SDL2_mixer-and-stb_vorbis-debian-copyright.txt"
cp "$(srcdir libjpeg-turbo)/LICENSE.md" "$licences/libjpeg-turbo.md"
cp "$(srcdir libjpeg-turbo)/README.ijg" "$licences/libjpeg-turbo-README.ijg.txt"
cp "$(srcdir zlib)/debian/copyright" "$licences/zlib.txt"
cp /usr/share/doc/libsimpleini-dev/copyright "$licences/SimpleIni.txt"
cp /usr/share/doc/mingw-w64-common/copyright "$licences/mingw-w64-runtime.txt"
cp /usr/share/doc/gcc-mingw-w64-base/copyright "$licences/gcc-runtime.txt"

# --- the programs and the packages ---
game=$build/game
cmake -S "$src" -B "$game" -DCMAKE_TOOLCHAIN_FILE="$src/cmake/MingwW64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_FIND_ROOT_PATH="$prefix" \
    -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DSDL2_mixer_DIR="$prefix/lib/cmake/SDL2_mixer" \
    -DVORTALIX_WIN_DATA="$data" -DVORTALIX_WIN_ICON="$icon" -DVORTALIX_WIN_LICENCES="$licences" \
    -DVORTALIX_WERROR="${VORTALIX_WERROR:-OFF}" >/dev/null
cmake --build "$game" -j "$jobs"
(cd "$game" && cpack -C Release >"$game/cpack.log") || {
    cat "$game/cpack.log"
    exit 1
}
version=$(sed -n 's/^project(vortalix VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
zip=$game/vortalix-$version-win64.zip
setup=$game/vortalix-$version-win64-setup.exe
echo "the programs: $game/vortalix.exe, $game/vortalix-headless.exe"
echo "the portable zip: $zip ($(stat -c %s "$zip") bytes)"
echo "the installer: $setup ($(stat -c %s "$setup") bytes)"

[ "$mode" = test ] || exit 0

# --- the tests, under Wine ---
bash "$src/tests/win/run.bash" --game "$game" --native "$native" --zip "$zip" --setup "$setup" \
    --work "$build/test-work"
