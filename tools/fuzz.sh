#!/usr/bin/env bash
# Builds every libFuzzer target with clang (the libraries instrumented and sanitized too) and
# runs each for a short while, so that the targets keep building and a crash the fuzzers find
# quickly stops the test run. Longer runs are for a quiet machine: give more seconds.
#
#   bash tools/fuzz.sh BUILD_DIR [SECONDS_EACH]
#
# The replay fuzzer starts from tests/fuzz/corpus/ and the golden replays; what the fuzzers
# find goes to BUILD_DIR/corpus-NAME/, and a crashing input to BUILD_DIR/crash-NAME-*.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-15}
jobs=$(nproc 2>/dev/null || echo 2)
targets=(replay_fuzz ogg_check_fuzz server_answer_fuzz request_fuzz)

cmake -S "$src" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
    -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON -DVORTALIX_TESTS=OFF \
    -DVORTALIX_REQUIRE_SERVER=ON -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"
for t in "${targets[@]}"; do
    corpus=$build/corpus-${t%_fuzz}
    mkdir -p "$corpus"
    seeds=()
    if [ "$t" = replay_fuzz ]; then seeds=("$src/tests/fuzz/corpus" "$src/tests/replays"); fi
    # One process, no forks: a finding ends the run with the input that caused it.
    if ! "$build/$t" -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$build/crash-${t%_fuzz}-" "$corpus" "${seeds[@]}" \
        >"$build/$t.log" 2>&1; then
        tail -n 40 "$build/$t.log"
        echo "$t found a fault: its input is $(ls "$build"/crash-"${t%_fuzz}"-* 2>/dev/null)" >&2
        exit 1
    fi
    echo "$t: $(grep -E '^Done [0-9]+ runs' "$build/$t.log"), $(ls "$corpus" | wc -l) inputs kept"
done
