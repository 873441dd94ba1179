#!/usr/bin/env bash
# The Windows build of VORTALIX-Revision-, cross-compiled from Debian's packages alone.
#
#   bash tools/windows.sh build   install what is missing, build vortalix.exe,
#                                 vortalix-headless.exe, the portable zip and the installer
#                                 into build-win/
#   bash tools/windows.sh test    the same, then test them under Wine (tests/win/run.bash)
#   bash tools/windows.sh libs    install what is missing and build the libraries alone (the
#                                 test set-up does this early, beside the native tests)
#   bash tools/windows.sh packages  print the Debian packages "test" needs
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
build | test | libs | packages) ;;
*)
    echo "usage: bash tools/windows.sh build|test|libs|packages" >&2
    exit 2
    ;;
esac

src=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=tools/lib-deps.bash
source "$src/tools/lib-deps.bash"

# The cross compiler with POSIX threads (std::thread), NSIS for the installer, dpkg-dev for
# apt-get source, SimpleIni's header; FluidSynth, the soundfont and oggenc for the music; what
# the native build needs for assetgen and the headless runner; GoogleTest's sources for the
# Windows unit tests, Python for the icon. For the tests Wine, an X server and xdotool for the
# window, ImageMagick for its picture, unzip for the portable zip.
packages=(g++-mingw-w64-x86-64-posix nsis dpkg-dev fluidsynth fluid-soundfont-gm vorbis-tools
    build-essential cmake pkg-config libsdl2-dev libsdl2-mixer-dev libfluidsynth-dev
    libturbojpeg0-dev libsimpleini-dev libicu-dev libpng-dev zlib1g-dev libx11-dev
    libgtest-dev python3)
if [ "$mode" = test ] || [ "$mode" = packages ]; then
    packages+=(wine64 xvfb xauth xdotool x11-utils imagemagick unzip)
fi
if [ "$mode" = packages ]; then
    printf '%s\n' "${packages[@]}"
    exit 0
fi

build=${WIN_BUILD_DIR:-$src/build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)
native=${NATIVE_BUILD_DIR:-$build/native}
deps=$build/deps
prefix=$deps/prefix
jobs=2
host=x86_64-w64-mingw32
target=Windows
cross_cmake=(cmake -DCMAKE_TOOLCHAIN_FILE="$src/cmake/MingwW64.cmake")
# zlib's own configure script cross-compiles for the host it is given.
zlib_configure=(env CHOST=$host ./configure)
zlib_make=(make)
# The game needs video, events, audio, timers and the game controllers; the rest of SDL is
# left out to keep the build short.
extra_sdl_options=(-DSDL_HAPTIC=OFF -DSDL_SENSOR=OFF -DSDL_POWER=OFF -DSDL_LOCALE=OFF
    -DSDL_MISC=OFF -DSDL_VULKAN=OFF -DSDL_OPENGLES=OFF -DSDL_RENDER_D3D=OFF -DSDL_DIRECTX=OFF
    -DSDL_WASAPI=ON)
extra_jpeg_options=()

find_missing "${packages[@]}"
install_and_fetch

# --- the libraries, from Debian's sources, each built once ---
started=$SECONDS
build_libraries
echo "the libraries for Windows are ready ($((SECONDS - started)) s)"
[ "$mode" != libs ] || exit 0

# --- the data files: the desktop's, with the music rendered at the desktop's music gain, so
# that the effects over the music never reach full scale ---
make_data_files -g 0.13
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
