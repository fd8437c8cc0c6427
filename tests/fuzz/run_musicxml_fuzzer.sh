#!/usr/bin/env bash
# Builds the MusicXML fuzzer with clang and runs it from the project's own small scores and,
# when it is beside the project, the public MusicXML test suite.
#   tests/fuzz/run_musicxml_fuzzer.sh [SECONDS] [extra libFuzzer flags]
# The growing corpus and any finding stay in build-fuzz/, out of the source tree.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${1:-300}
shift || true
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQE_FUZZ=ON -DQE_TESTS=OFF >/dev/null
ninja -C build-fuzz musicxml_fuzzer
mkdir -p build-fuzz/musicxml_corpus build-fuzz/musicxml_artifacts
seeds=(tests/musicxml/data tests/musicxml/data/songs tests/fuzz/musicxml_seeds)
suite=${QE_MUSICXML_SUITE:-../shared/data/musicxml-testsuite}
if [ -d "$suite" ]; then seeds+=("$suite"); else echo "no MusicXML test suite at $suite"; fi
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
exec build-fuzz/tests/fuzz/musicxml_fuzzer build-fuzz/musicxml_corpus "${seeds[@]}" \
    -dict=tests/fuzz/musicxml.dict -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 \
    -artifact_prefix=build-fuzz/musicxml_artifacts/ -print_final_stats=1 "$@"
