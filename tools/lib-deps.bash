# Shared by tools/web.sh and tools/windows.sh, the two cross builds: their packages, the
# libraries they compile themselves from Debian's source packages, and the data files. Sourced,
# not run. The sourcing script sets, before calling these:
#
#   src, build, native, deps, prefix, jobs   the folders and the parallel job count
#   target                                   "the browser" or "Windows", for messages
#   cross_cmake    (array)                   how CMake configures for the target
#   zlib_configure (array), zlib_make (array) how zlib's own configure script and make run
#
#   as_root CMD...                      CMD as root, directly or through sudo
#   find_missing NAME...                fills the array missing with the packages not installed
#   add_deb_src_entry                   a deb-src entry for the archive the machine uses
#   fetch_debian_sources DIR NAME...    apt-get source NAME... into DIR
#   cmake_library NAME OPTION...        one library built with CMake into the prefix, once
#   zlib_library                        zlib built with its own configure script, once
#   make_data_files FLUIDSYNTH_OPTION...  the desktop's data files with the music rendered

apt=(env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600)
sources=(libsdl2 libsdl2-mixer libjpeg-turbo zlib)

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

find_missing() {
    missing=()
    local p
    for p in "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$p")
        fi
    done
}

# True when it added an entry (the package lists must then be read again).
add_deb_src_entry() {
    if grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
        return 1
    fi
    local uri
    uri=$(grep -rhsE '^URIs:.*debian/?$' /etc/apt/sources.list.d/ | head -n1 | awk '{print $2}')
    [ -n "$uri" ] || uri=$(grep -hsE '^deb .*debian/? ' /etc/apt/sources.list | grep -v security |
        head -n1 | awk '{print $2}')
    [ -n "$uri" ] || uri=http://deb.debian.org/debian
    echo "adding a deb-src entry for $uri"
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm bookworm-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
        "$uri" | as_root tee /etc/apt/sources.list.d/vortalix-deb-src.sources >/dev/null
}

# True when the source package lists have been read since a deb-src entry exists.
have_source_lists() {
    ls /var/lib/apt/lists/*_Sources* >/dev/null 2>&1
}

# Installs the packages in missing and makes the sources of the libraries not yet built
# fetchable, with one package list update for both.
install_and_fetch() {
    mkdir -p "$deps/src" "$prefix"
    local fetch=() s update=no
    for s in "${sources[@]}"; do
        [ -e "$prefix/.built-$s" ] || [ -n "$(srcdir "$s")" ] || fetch+=("$s")
    done
    [ "${#missing[@]}" -eq 0 ] || update=yes
    if [ "${#fetch[@]}" -gt 0 ] && add_deb_src_entry; then update=yes; fi
    if [ "${#fetch[@]}" -gt 0 ] && ! have_source_lists; then update=yes; fi
    if [ "$update" = yes ]; then as_root "${apt[@]}" update; fi
    if [ "${#missing[@]}" -gt 0 ]; then
        echo "installing: ${missing[*]}"
        as_root "${apt[@]}" install -y --no-install-recommends "${missing[@]}"
    fi
    [ "${#fetch[@]}" -eq 0 ] || (cd "$deps/src" && apt-get source -q "${fetch[@]}")
}

srcdir() { find "$deps/src" -mindepth 1 -maxdepth 1 -type d -name "$1-[0-9]*" | head -n1; }

cmake_library() {
    local name=$1
    shift
    [ -e "$prefix/.built-$name" ] && return
    echo "building $name for $target"
    local started=$SECONDS
    rm -rf "$deps/b-$name"
    "${cross_cmake[@]}" -S "$(srcdir "$name")" -B "$deps/b-$name" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_FIND_ROOT_PATH="$prefix" "$@" >"$deps/$name.log"
    cmake --build "$deps/b-$name" -j "$jobs" >>"$deps/$name.log"
    cmake --install "$deps/b-$name" >>"$deps/$name.log"
    touch "$prefix/.built-$name"
    echo "built $name for $target in $((SECONDS - started)) s"
}

# The same four libraries, with the same options, for both targets; only what the target has
# or lacks differs (extra_sdl_options, extra_jpeg_options).
build_libraries() {
    cmake_library libsdl2 -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF "${extra_sdl_options[@]}"
    # WAV and Ogg Vorbis (through the stb decoder inside SDL_mixer) are all the game plays.
    cmake_library libsdl2-mixer -DSDL2_DIR="$prefix/lib/cmake/SDL2" -DBUILD_SHARED_LIBS=OFF \
        -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
        -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF -DSDL2MIXER_MP3=OFF \
        -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB -DSDL2MIXER_WAVE=ON
    # Without its SIMD parts libjpeg-turbo needs no assembler; one picture at start-up is all
    # it decodes.
    cmake_library libjpeg-turbo -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=ON \
        -DWITH_JAVA=OFF -DWITH_SIMD=OFF "${extra_jpeg_options[@]}"
    if [ ! -e "$prefix/.built-zlib" ]; then
        # zlib's own configure script makes the static library alone.
        echo "building zlib for $target"
        rm -rf "$deps/b-zlib"
        cp -r "$(srcdir zlib)" "$deps/b-zlib"
        (cd "$deps/b-zlib" && "${zlib_configure[@]}" --static --prefix="$prefix" &&
            "${zlib_make[@]}" -j "$jobs" libz.a && "${zlib_make[@]}" install) >"$deps/zlib.log" 2>&1
        touch "$prefix/.built-zlib"
    fi
}

# The desktop's data files, freshly generated by the native build's assetgen (not taken from
# beside the native program, where a player's game may have changed the settings), into
# $build/assets and $build/data, with the three MIDI pieces rendered into Ogg Vorbis, into
# $music_dir when it is set, else beside the effects in $build/data/sound.
make_data_files() {
    if [ -z "${NATIVE_BUILD_DIR:-}" ]; then
        cmake -S "$src" -B "$native" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORTALIX_TESTS=OFF >/dev/null
    fi
    cmake --build "$native" -j "$jobs" --target assetgen vortalix-headless >/dev/null
    assets=$build/assets
    rm -rf "$assets"
    "$native/tools/bin/assetgen" "$assets" >/dev/null
    data=$build/data
    mkdir -p "$data/sound"
    rm -rf "$data/image"
    cp -r "$assets/image" "$data/image"
    cp "$assets/score.vtx" "$assets/VORTALIX.ini" "$data/"
    cp "$assets"/sound/*.wav "$data/sound/"
    local soundfont=/usr/share/sounds/sf2/FluidR3_GM.sf2
    local rendered=$build/rendered-from # the MIDI files the .ogg files were rendered from
    mkdir -p "$rendered"
    local mid ogg music=${music_dir:-$data/sound}
    mkdir -p "$music"
    for mid in "$assets"/sound/*.mid; do
        ogg=$music/$(basename "$mid" .mid).ogg
        # The same notes give the same MIDI file, which need not be rendered again.
        if [ -e "$ogg" ] && cmp -s "$mid" "$rendered/$(basename "$mid")"; then continue; fi
        echo "rendering $(basename "$mid") to $(basename "$ogg")"
        fluidsynth -q -ni "$@" -r 44100 -F "$build/render.wav" "$soundfont" "$mid" >/dev/null
        # A fixed stream serial number: the same notes give the same bytes.
        oggenc -Q -q 3 --serial 1 -o "$ogg" "$build/render.wav"
        rm -f "$build/render.wav"
        cp "$mid" "$rendered/"
    done
}
