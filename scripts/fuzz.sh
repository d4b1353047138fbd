#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each of them for a fixed time.
#   scripts/fuzz.sh [builddir] [seconds per target]
# Each target starts from the seeds it writes itself (what the interface sends, what the program
# saves), and the settings-file reader also from the JSON parsing corpus beside the project. Any
# finding (a crash, a sanitizer report, a leak, an input that runs over 10 s or 2 GB, a broken
# invariant) makes the script fail; the input is kept in <builddir>/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${1:-build-fuzz}
seconds=${2:-60}
json_corpus="$repo/../shared/corpus/json-test-suite/test_parsing"
targets=(fuzz_receive fuzz_settings_file)

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTANDOR_FUZZ=ON -DTANDOR_BUILD_TESTS=OFF -DTANDOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

findings="$build/findings"
mkdir -p "$findings"
work=$(mktemp -d "${TMPDIR:-/tmp}/tandor-fuzz-run-XXXXXX")
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen
# UndefinedBehaviorSanitizer only reports and goes on unless told to stop: every report is a
# finding. Leaks are found by libFuzzer's own leak check; Qt's and the font libraries' caches
# that live until exit are not the program's.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$repo/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# stat NAME LOG: the value of libFuzzer's final statistic stat::NAME.
stat() {
    sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

failed=0
for target in "${targets[@]}"; do
    program="$build/fuzz/$target"
    seeds="$work/$target-seeds"
    corpus="$work/$target-corpus"
    log="$work/$target.log"
    mkdir -p "$corpus"
    "$program" --write-seeds="$seeds"

    dirs=("$corpus" "$seeds")
    case $target in
    fuzz_receive)
        # Long enough for a line past the framer's bound, spread over many receive events.
        max_len=16384
        ;;
    fuzz_settings_file)
        # Settings files are well under a kilobyte; the deepest corpus files still nest far
        # past the reader's limit when cut to this length.
        max_len=8192
        if [ -d "$json_corpus" ]; then
            dirs+=("$json_corpus")
        else
            echo "note: $json_corpus not found; $target runs on its own seeds only" >&2
        fi
        ;;
    esac

    status=0
    # The outer limit only matters when the program hangs outside an input (start-up, exit).
    timeout --kill-after=10 $((seconds + 120)) \
        "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="$max_len" \
        -print_final_stats=1 -artifact_prefix="$findings/$target-" "${dirs[@]}" \
        >"$log" 2>&1 || status=$?

    runs=$(stat number_of_executed_units "$log")
    rate=$(stat average_exec_per_sec "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    inputs=$(find "$corpus" -type f | wc -l)
    if [ "$status" -ne 0 ] || grep -q -e '^==[0-9]*==ERROR' -e 'runtime error:' "$log"; then
        failed=1
        echo "---- $target log (last 80 lines) ----"
        tail -n 80 "$log"
        cp "$log" "$findings/$target.log"
        echo "$target: FINDING (exit $status) after ${runs:-?} runs; log and input in $findings/"
    else
        echo "$target: ${runs:-?} runs in ${seconds} s (${rate:-?} exec/s), coverage ${cov:-?}," \
            "corpus ${inputs} inputs, no findings"
    fi
done
exit $failed
