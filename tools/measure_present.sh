#!/usr/bin/env bash
# Times whole presents (conversion, scaling, the hand-over to the X server and its answer) on
# a 1280x1024 Xvfb screen, through the window surface and through SDL's renderer (llvmpipe
# there, so the renderer's figures say nothing of a GPU).
#
# Usage: bash tools/measure_present.sh <build dir> [repetitions]
set -euo pipefail
build=$(cd "$1" && pwd)
repetitions=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../tests/e2e/lib.bash"

e2e_require Xvfb
[ -x "$build/vortalix_present_bench" ] ||
    e2e_fail "no $build/vortalix_present_bench (needs libbenchmark-dev)"
e2e_workdir present
E2E_SCREEN=1280x1024x24
e2e_start_xvfb
"$build/vortalix_present_bench" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_min_time=1
