#!/usr/bin/env bash
# Builds the document fuzzer with clang and runs it from the stored seeds.
#   tests/fuzz/run_document_fuzzer.sh [SECONDS] [extra libFuzzer flags]
# The growing corpus and any finding stay in build-fuzz/, out of the source tree.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQE_FUZZ=ON -DQE_TESTS=OFF >/dev/null
ninja -C build-fuzz document_fuzzer
mkdir -p build-fuzz/corpus build-fuzz/artifacts
exec build-fuzz/tests/fuzz/document_fuzzer build-fuzz/corpus tests/fuzz/seeds \
    -dict=tests/fuzz/document.dict -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix=build-fuzz/artifacts/ -print_final_stats=1 "$@"
