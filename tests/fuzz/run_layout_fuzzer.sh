#!/usr/bin/env bash
# Builds the layout fuzzer with clang and runs it from the stored seeds: documents laid out,
# painted and edited with keys and clicks.
#   tests/fuzz/run_layout_fuzzer.sh [SECONDS] [extra libFuzzer flags]
# For a long run that goes on past findings, add e.g. -fork=2 -ignore_crashes=1. With
# QE_FUZZ_PLAUSIBLE_SIZES=1 in the environment, page and font sizes near the int limits are
# brought into range first, so the run reaches the editing behind the layout's overflow on them.
# The growing corpus and any finding stay in build-fuzz/, out of the source tree.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQE_FUZZ=ON -DQE_TESTS=OFF >/dev/null
ninja -C build-fuzz layout_fuzzer
mkdir -p build-fuzz/layout_corpus build-fuzz/layout_artifacts
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec build-fuzz/tests/fuzz/layout_fuzzer build-fuzz/layout_corpus tests/fuzz/layout_seeds \
    tests/fuzz/seeds -dict=tests/fuzz/layout.dict -max_total_time="$seconds" -rss_limit_mb=2048 \
    -timeout=10 -artifact_prefix=build-fuzz/layout_artifacts/ -print_final_stats=1 "$@"
