#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds every benchmark program and runs them one after another, headless.
#   scripts/bench.sh [builddir] [benchmark options...]
# e.g. scripts/bench.sh build --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
# BENCH_ARGS in the environment adds options too.
set -euo pipefail

build=${1:-build}
shift || true

cmake --build "$build" --target benchmarks
list="$build/bench/benchmarks.txt"
if [ ! -s "$list" ]; then
    echo "no benchmarks listed in $list" >&2
    exit 1
fi

export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# shellcheck disable=SC2206 # BENCH_ARGS is meant to split into words
extra=(${BENCH_ARGS:-})
status=0
while IFS= read -r program; do
    [ -n "$program" ] || continue
    echo "== $(basename "$program")"
    "$program" "${extra[@]}" "$@" || status=1
done <"$list"
exit $status
