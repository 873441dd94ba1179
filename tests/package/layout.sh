#!/usr/bin/env bash
# What `cmake --install` lays out, checked as a packager would: every file in its place, the
# desktop entry, the AppStream file and the manual page accepted by their validators, crisp
# icons of every size, nothing of the tests or the headless runner installed; and the
# installation still works after it is moved to another prefix.
#
# Usage: layout.sh <configured and built build dir>
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d /tmp/vortalix-layout-XXXXXX)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >/dev/null
root="$work/stage/usr"
for f in games/vortalix share/games/vortalix/score.vtx share/games/vortalix/VORTALIX.ini \
    share/games/vortalix/image/moji02.bmp share/games/vortalix/image/t_back.jpg \
    share/games/vortalix/sound/main.mid share/games/vortalix/sound/get.wav \
    share/applications/org.vortalix.vortalix.desktop \
    share/metainfo/org.vortalix.vortalix.metainfo.xml share/man/man6/vortalix.6.gz \
    share/doc/vortalix/copyright share/doc/vortalix/changelog.gz; do
    [ -s "$root/$f" ] || fail "missing: /usr/$f"
done
for n in 16 32 48 64 128 256; do
    icon="$root/share/icons/hicolor/${n}x${n}/apps/vortalix.png"
    [ "$(identify -format '%wx%h' "$icon")" = "${n}x${n}" ] || fail "icon $icon is not ${n}x${n}"
    # Crisp: scaled by whole numbers, so the big icon holds no colour the small one lacks.
    small=$(convert "$root/share/icons/hicolor/16x16/apps/vortalix.png" -unique-colors txt:- | wc -l)
    big=$(convert "$icon" -unique-colors txt:- | wc -l)
    [ "$big" -eq "$small" ] || fail "icon ${n}x${n} has $big colours, the 16x16 one $small: blurred"
done
for f in vortalix-headless vortalix_tests assetgen; do
    [ -z "$(find "$work/stage" -name "$f")" ] || fail "$f is installed"
done
desktop-file-validate "$root/share/applications/org.vortalix.vortalix.desktop" ||
    fail "desktop-file-validate"
appstreamcli validate --no-net "$root/share/metainfo/org.vortalix.vortalix.metainfo.xml" ||
    fail "appstreamcli validate"
warnings=$(zcat "$root/share/man/man6/vortalix.6.gz" | groff -man -ww -z -Tutf8 2>&1)
[ -z "$warnings" ] || fail "the manual page has groff warnings: $warnings"
for section in SYNOPSIS KEYS FILES ENVIRONMENT "EXIT STATUS"; do
    MANWIDTH=80 man -l "$root/share/man/man6/vortalix.6.gz" 2>/dev/null | grep -q "^$section" ||
        fail "the manual page has no $section"
done
echo "layout: files, icons, desktop entry, AppStream and manual page are in order"

# Moved: the program finds its data relative to itself, and still keeps the player's files
# in the home folders. SDL's dummy video runs it without a display.
mkdir -p "$work/moved" "$work/home" "$work/cwd"
mv "$work/stage/usr" "$work/moved/prefix"
(cd "$work/cwd" && exec env -u XDG_CONFIG_HOME -u XDG_DATA_HOME HOME="$work/home" \
    SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
    timeout -s TERM 3 "$work/moved/prefix/games/vortalix" >"$work/out.txt" 2>&1) || true
if grep -q 'オープンエラー' "$work/out.txt"; then
    cat "$work/out.txt" >&2
    fail "the moved installation did not find its data"
fi
[ -s "$work/home/.local/share/vortalix/score.vtx" ] || fail "the moved game gave no first ranking"
[ -s "$work/home/.config/vortalix/VORTALIX.ini" ] || fail "the moved game saved no settings"
echo "layout: a moved installation still finds its data"
