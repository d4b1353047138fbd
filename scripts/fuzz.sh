#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer, and
# runs each of them for a fixed time.
#   scripts/fuzz.sh [builddir] [seconds per target]
#   FUZZ_TARGETS="fuzz_replies fuzz_settings_file"   only these targets
#   FUZZ_JOBS=2                                       this many targets at once (one per core)
#
# Targets: fuzz_replies (the receive path into the reply handlers of a window that is never
# shown), fuzz_settings_file (the settings-file reader, from memory) and fuzz_receive (the
# receive path into a shown window that paints: the slow integration target).
#
# Each target starts from the seeds it writes itself (what the simulated interface answers to
# the program's commands, what the program saves), and the settings-file reader also from the
# JSON parsing corpus beside the project. Each runs under a memory limit: a resident size past
# the target's limit, or a single allocation past its malloc limit, is a finding. So is a
# crash, a sanitizer report, a leak, an input that runs over 10 s, or a broken invariant: any
# finding makes the script fail, and the input is kept in <builddir>/findings/. Every run's
# log stays in <builddir>/fuzz-logs/.
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$(pwd)
build=${1:-build-fuzz}
seconds=${2:-60}
jobs=${FUZZ_JOBS:-1}
json_corpus="$repo/../shared/corpus/json-test-suite/test_parsing"
read -r -a targets <<<"${FUZZ_TARGETS:-fuzz_replies fuzz_settings_file fuzz_receive}"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTANDOR_FUZZ=ON -DTANDOR_BUILD_TESTS=OFF -DTANDOR_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target "${targets[@]}"

findings="$build/findings"
logs="$build/fuzz-logs"
mkdir -p "$findings" "$logs"
work=$(mktemp -d "${TMPDIR:-/tmp}/tandor-fuzz-run-XXXXXX")
trap 'rm -rf "$work"' EXIT

export QT_QPA_PLATFORM=offscreen
# UndefinedBehaviorSanitizer only reports and goes on unless told to stop: every report is a
# finding. Leaks are found by libFuzzer's own leak check; Qt's and the font libraries' caches
# that live until exit are not the program's.
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
# Freed memory is held back from reuse up to 64 MB (not the default 256 MB): a use after free
# is still caught thousands of inputs later, and the allocator stops mapping fresh pages for
# every allocation, which was a third of the time of the fast targets.
export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1:detect_stack_use_after_return=1:quarantine_size_mb=64${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export LSAN_OPTIONS="suppressions=$repo/scripts/lsan.supp:print_suppressions=0${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

# stat NAME LOG: the value of libFuzzer's final statistic stat::NAME.
stat() {
    sed -n "s/^stat::$1: *//p" "$2" | tail -n 1
}

# run TARGET: one fuzzing run; leaves its one-line summary in $work/TARGET.summary and fails
# on a finding.
run() {
    local target=$1
    local program="$build/fuzz/$target"
    local seeds="$work/$target-seeds"
    local corpus="$work/$target-corpus"
    local log="$logs/$target.log"
    mkdir -p "$corpus"
    "$program" --write-seeds="$seeds"

    local dirs=("$corpus" "$seeds")
    local max_len rss_mb malloc_mb dict
    case $target in
    fuzz_replies)
        # Short inputs keep it fast: a few replies each, and the window's state (a partial
        # line among it) carries them on from one input to the next. The harness streams a
        # line past the framer's bound ahead of every 1024th input.
        max_len=128
        # The process holds Qt and a window, about 150 MB resident under the sanitizers with
        # their quarantine; nothing in the receive path needs more than a few kilobytes. In a
        # quarter-hour campaign libFuzzer's own corpus and feature tables grow past 14 million
        # runs until the process reaches about 390 MB (the heap it has live is some 25 MB, all
        # libFuzzer's), hence the room above that.
        rss_mb=512
        malloc_mb=16
        dict="$repo/fuzz/receive.dict"
        ;;
    fuzz_receive)
        # Long enough for a line past the framer's bound, spread over many receive events.
        # A paint of the shown window takes a few megabytes.
        max_len=16384
        rss_mb=384
        malloc_mb=32
        dict="$repo/fuzz/receive.dict"
        ;;
    fuzz_settings_file)
        # Settings files are well under a kilobyte; the deepest corpus files still nest far
        # past the reader's limit when cut to this length. Reading one takes a few copies of
        # its text at most. The process holds Qt, the harness's table of checked texts (up to
        # some 30 MB) and, in a quarter-hour campaign, libFuzzer's growing corpus and feature
        # tables: a campaign ended at 236 MB resident, hence the room above that.
        max_len=2048
        rss_mb=384
        malloc_mb=8
        dict="$repo/fuzz/settings.dict"
        if [ -d "$json_corpus" ]; then
            dirs+=("$json_corpus")
        else
            echo "note: $json_corpus not found; $target runs on its own seeds only" >&2
        fi
        ;;
    *)
        echo "unknown fuzz target $target" >&2
        return 2
        ;;
    esac

    local status=0
    # The CPU time it got: on a shared machine the rate per second of wall time says more
    # about the other load than about the target.
    local TIMEFORMAT='%U %S'
    # The outer limit only matters when the program hangs outside an input (start-up, exit).
    # libFuzzer empties the allocator's caches and quarantine every second once the resident
    # size passes half the limit, and every page given back faults in again on the next
    # inputs: that was half the time of the settings-file target. The quarantine's own bound
    # keeps the resident size steady, and the limit still catches a blow-up.
    {
        time timeout --kill-after=10 $((seconds + 120)) \
            "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb="$rss_mb" \
            -purge_allocator_interval=-1 -malloc_limit_mb="$malloc_mb" -max_len="$max_len" -dict="$dict" \
            -print_final_stats=1 -artifact_prefix="$findings/$target-" "${dirs[@]}" \
            >"$log" 2>&1
    } 2>"$work/$target.cpu" || status=$?

    local runs rate cov ft rss inputs cpu cpu_rate
    runs=$(stat number_of_executed_units "$log")
    cpu=$(awk '{ printf "%.1f", $1 + $2 }' "$work/$target.cpu" 2>/dev/null || true)
    cpu_rate=$(awk -v r="${runs:-0}" -v c="${cpu:-0}" 'BEGIN { if (c > 0) printf "%.0f", r / c; else print "?" }')
    rate=$(stat average_exec_per_sec "$log")
    rss=$(stat peak_rss_mb "$log")
    cov=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    ft=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    inputs=$(find "$corpus" -type f | wc -l)
    if [ "$status" -ne 0 ] || grep -q -e '^==[0-9]*==ERROR' -e 'runtime error:' "$log"; then
        {
            echo "---- $target log (last 80 lines) ----"
            tail -n 80 "$log"
            echo "$target: FINDING (exit $status) after ${runs:-?} runs; log $log, input in $findings/"
        } >"$work/$target.summary"
        return 1
    fi
    echo "$target: ${runs:-?} runs in ${seconds} s (${rate:-?} exec/s; ${cpu:-?} s of CPU," \
        "${cpu_rate} per CPU second), coverage ${cov:-?} edges ${ft:-?} features," \
        "corpus ${inputs} inputs, peak RSS ${rss:-?} MB, no findings" >"$work/$target.summary"
}

failed=0
running=0
for target in "${targets[@]}"; do
    if [ "$running" -ge "$jobs" ]; then
        wait -n || failed=1
        running=$((running - 1))
    fi
    run "$target" &
    running=$((running + 1))
done
while [ "$running" -gt 0 ]; do
    wait -n || failed=1
    running=$((running - 1))
done
for target in "${targets[@]}"; do
    cat "$work/$target.summary" 2>/dev/null || {
        echo "$target: no result"
        failed=1
    }
done
exit $failed
