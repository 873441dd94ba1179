#!/usr/bin/env bash
# Builds the Debian package of VORTALIX-Revision-: a Release build with Debian's own build
# flags (hardening included), installed under /usr with the program in /usr/games, packed by
# CPack, then checked with lintian; the scoreboard server's package vortalix-scores comes from
# the same run when the server is built. Prints the path of the game's .deb as its last line
# (the server's on the line before).
#
#   bash tools/package.sh            build into build-deb/ (BUILD_DIR overrides it)
#
# Needs cmake, a compiler, the game's -dev packages, dpkg-dev (dpkg-shlibdeps, dpkg-buildflags)
# and lintian; `bash tools/setup.sh test` installs them all. Lintian errors fail the script;
# its warnings are printed and listed, with the reason each one stays, in README.md.
set -euo pipefail

src=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$src/build-deb}
jobs=$(nproc 2>/dev/null || echo 2)

# Debian's flags: optimisation, fortify, stack protector, relro and immediate binding.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

# Given on the command line rather than through the environment, so that a build folder
# configured before takes them too.
cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DVORTALIX_TESTS=OFF -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" "$@"
cmake --build "$build" -j "$jobs"
rm -f "$build"/vortalix_*.deb "$build"/vortalix-scores_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/vortalix_*.deb)
# The scoreboard's package comes from the same run when the server is built.
debs=("$deb")
scores_deb=$(ls "$build"/vortalix-scores_*.deb 2>/dev/null || true)
[ -z "$scores_deb" ] || debs+=("$scores_deb")

if command -v lintian >/dev/null; then
    # Run as root lintian refuses to unpack unless told it may.
    lintian_args=(--info --display-info)
    [ "$(id -u)" -ne 0 ] || lintian_args+=(--allow-root)
    for d in "${debs[@]}"; do
        report=$(lintian "${lintian_args[@]}" "$d" 2>&1 || true)
        [ -z "$report" ] || printf '%s\n' "$report" | sed 's/^/lintian: /' >&2
        if printf '%s\n' "$report" | grep -q '^E:'; then
            echo "lintian reports errors on $d" >&2
            exit 1
        fi
    done
else
    echo "lintian is not installed: the packages were not checked" >&2
fi
[ -z "$scores_deb" ] || echo "$scores_deb"
echo "$deb"
