#!/usr/bin/env bash
# Makes tests/fuzz/corpus/ again: damaged replays that the replay fuzzer grows from the short
# golden games, each with its checksum made right so that the damage reaches the packed body
# and the key streams, and each one the headless runner refuses or finds not to verify. The
# fuzzer starts from them; the scoreboard's hostile round (tools/server_tests.sh) sends them
# all and wants a 4xx for every one.
#
#   bash tools/make_replay_corpus.sh FUZZ_BUILD NATIVE_BUILD [SECONDS]
#
# FUZZ_BUILD is a build with -DVORTALIX_FUZZ=ON and clang (its replay_fuzz is built here),
# NATIVE_BUILD a normal build with vortalix-headless and the data files. The fuzzer's run is
# seeded, but libFuzzer's path still depends on timing, so a new corpus differs from the last.
set -euo pipefail
fuzz_build=$(cd "$1" && pwd)
native=$(cd "$2" && pwd)
seconds=${3:-120}
src=$(cd "$(dirname "$0")/.." && pwd)
out=$src/tests/fuzz/corpus
keep=64

cmake --build "$fuzz_build" --target replay_fuzz
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/seeds" "$work/grown" "$work/merged" "$work/fixed"
cp "$src/tests/replays/levelups_name.vtr" "$src/tests/replays/speed_toggles_abandoned.vtr" \
    "$work/seeds/"
"$fuzz_build/replay_fuzz" -max_total_time="$seconds" -max_len=4096 -seed=20261210 \
    "$work/grown" "$work/seeds" >"$work/fuzz.log" 2>&1
"$fuzz_build/replay_fuzz" -merge=1 "$work/merged" "$work/grown" "$work/seeds" \
    >>"$work/fuzz.log" 2>&1
python3 - "$work/merged" "$work/fixed" <<'PY'
import hashlib, os, struct, sys, zlib
src, dst = sys.argv[1], sys.argv[2]
for name in sorted(os.listdir(src)):
    data = bytearray(open(os.path.join(src, name), "rb").read())
    if len(data) >= 4:
        struct.pack_into("<I", data, len(data) - 4, zlib.crc32(bytes(data[:-4])) & 0xFFFFFFFF)
    digest = hashlib.sha256(bytes(data)).hexdigest()[:16]
    open(os.path.join(dst, "fuzz-" + digest + ".vtr"), "wb").write(bytes(data))
PY
rm -rf "$out"
mkdir -p "$out"
count=0
# Smallest first: they are the quickest for the server to refuse.
while read -r f; do
    [ "$count" -lt "$keep" ] || break
    status=0
    timeout 20 "$native/vortalix-headless" --verify "$f" --exe-dir "$native" >/dev/null 2>&1 ||
        status=$?
    # 0 would be a game that still proves its score; 124 one the runner did not finish.
    if [ "$status" = 1 ] || [ "$status" = 2 ]; then
        cp "$f" "$out/"
        count=$((count + 1))
    fi
done < <(find "$work/fixed" -type f -printf '%s %p\n' | sort -n | cut -d' ' -f2-)
echo "$count damaged replays in $out"
