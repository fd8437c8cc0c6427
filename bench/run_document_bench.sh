#!/usr/bin/env bash
# Runs the document benchmark with repetitions and prints the ratios of load and save to
# moving the same bytes as one block; fails when a ratio is above its target.
#   bench/run_document_bench.sh [BUILD_DIR] [extra Google Benchmark flags]
set -euo pipefail
build=${1:-build-bench}
shift || true
exec "$build/bench/document_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true "$@"
