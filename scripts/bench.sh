#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks and prints one table: each figure is the median of several runs, with
# the smallest and largest beside it, and the target it is held to.
#   scripts/bench.sh [builddir]
# Environment: RUNS (runs per figure, default 5), FLOOD_SECONDS (length of one flood run,
# default 10), NORMAL_SECONDS (length of one run at the normal report rate, default 60),
# SOAK_SECONDS (length of the soak, default 600; three soaks run side by side,
# SOAK_SECONDS=0 leaves the soak out). RAW=1 also prints every run's figures.
# With cutecom, xdotool and xvfb-run installed, the flood also runs side by side under an X
# server: the program, CuteCom and the read-only reader in turns, RUNS rounds.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${RUNS:-5}
flood_seconds=${FLOOD_SECONDS:-10}
soak_seconds=${SOAK_SECONDS:-600}
normal_seconds=${NORMAL_SECONDS:-60}

cmake --build "$build" --target benchmarks >/dev/null
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
live="$build/bench/bench_live"
work=$(mktemp -d "${TMPDIR:-/tmp}/tandor-bench-run-XXXXXX")
trap 'rm -rf "$work"' EXIT

# gbench PROGRAM FILTER: Google Benchmark's CSV of RUNS repetitions, one row per repetition.
gbench() {
    "$build/bench/$1" --benchmark_filter="$2" --benchmark_repetitions="$runs" \
        --benchmark_format=csv 2>/dev/null | grep -v -e '_mean"' -e '_median"' -e '_stddev"' -e '_cv"'
}

# csv_column CSVFILE ROWNAME COLUMN [SCALE]: the values of COLUMN in the rows named ROWNAME.
csv_column() {
    awk -F, -v row="\"$2\"" -v col="$3" -v scale="${4:-1}" '
        /^name,/ { for (i = 1; i <= NF; i++) if ($i == col) c = i; next }
        c && $1 == row { print $c * scale }' "$1"
}

# live_runs MODE KEY [ARGS...]: KEY's value from RUNS runs of bench_live MODE.
live_runs() {
    local mode=$1 key=$2
    shift 2
    for _ in $(seq "$runs"); do
        "$live" "$mode" "$@" 2>/dev/null | tr ' ' '\n' | sed -n "s/^$key=//p"
    done
}

rows="$work/rows"
: >"$rows"
# row LABEL UNIT TARGET VALUES...: one table row from the values' median, min and max.
row() {
    local label=$1 unit=$2 target=$3
    shift 3
    [ "${RAW:-0}" = 1 ] && echo "  $label: $*" >&2
    printf '%s\n' "$@" | sort -g | awk -v label="$label" -v unit="$unit" -v target="$target" '
        { v[NR] = $1 }
        END {
            if (NR == 0) { printf "%s|%s|-|-|-|%s|no result\n", label, unit, target; exit }
            m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
            split(target, t, " ")
            verdict = (t[1] == ">=" && m >= t[2]) || (t[1] == "<=" && m <= t[2]) ||
                      (t[1] == "<" && m < t[2]) ? "met" : "MISSED"
            if (target == "-") verdict = ""
            printf "%s|%s|%.4g|%.4g|%.4g|%s|%s\n", label, unit, m, v[1], v[NR], target, verdict
        }' >>"$rows"
}

echo "benchmarking (${runs} runs per figure) ..." >&2
gbench bench_receive 'BM_(PurePath|FormPath)Mixed$' >"$work/receive.csv"
row "receive path, core (framing, fields, dispatch)" "lines/s" ">= 1000000" \
    $(csv_column "$work/receive.csv" BM_PurePathMixed items_per_second)
row "receive path with the window's handlers" "lines/s" "-" \
    $(csv_column "$work/receive.csv" BM_FormPathMixed items_per_second)

gbench bench_paint 'BM_(PaintDiagram|StatusReportRepaint)' >"$work/paint.csv"
row "paint one frame, s = 1.0" "ms" "<= 1" \
    $(csv_column "$work/paint.csv" BM_PaintDiagram/100/real_time real_time 0.001)
row "paint one frame, s = 1.5" "ms" "-" \
    $(csv_column "$work/paint.csv" BM_PaintDiagram/150/real_time real_time 0.001)
row "repaint for one status report, s = 1.0" "ms" "-" \
    $(csv_column "$work/paint.csv" BM_StatusReportRepaint/100/real_time real_time 0.001)
row "repaint for one status report, s = 1.5" "ms" "-" \
    $(csv_column "$work/paint.csv" BM_StatusReportRepaint/150/real_time real_time 0.001)

# One run gives both flood figures.
mapfile -t flood_lines < <(for _ in $(seq "$runs"); do "$live" flood "$flood_seconds" 2>/dev/null; done)
row "CPU per second of 115200-baud status flood" "s" "< 0.1" \
    $(printf '%s\n' "${flood_lines[@]}" | tr ' ' '\n' | sed -n 's/^flood_cpu_per_s=//p')
row "largest event-loop stall during the flood" "ms" "<= 50" \
    $(printf '%s\n' "${flood_lines[@]}" | tr ' ' '\n' | sed -n 's/^flood_stall_ms=//p')
row "parameter poll pace during the flood (1 = on time)" "-" ">= 0.9" \
    $(printf '%s\n' "${flood_lines[@]}" | tr ' ' '\n' | sed -n 's/^flood_poll_pace=//p')
row "  reference: plain serial terminal, same flood" "s" "-" \
    $(live_runs terminal terminal_cpu_per_s "$flood_seconds")

# The flood side by side under an X server, the three programs in turns within each round,
# so that the load of the machine weighs on all three alike; the ratios are taken per round.
# A script of its own: xvfb-run is a POSIX shell script, which drops exported functions.
cat >"$work/side.sh" <<'EOF'
live=$1 runs=$2 seconds=$3
value() { tr ' ' '\n' | sed -n "s/^$1=//p"; }
for _ in $(seq "$runs"); do
    p=$("$live" flood "$seconds" 2>/dev/null | value flood_cpu_per_s)
    c=$("$live" cutecom "$seconds" 2>/dev/null | value cutecom_cpu_per_s)
    t=$("$live" terminal "$seconds" 2>/dev/null | value terminal_cpu_per_s)
    echo "${p:-x} ${c:-x} ${t:-x}"
done
EOF
if command -v cutecom >/dev/null && command -v xdotool >/dev/null &&
    command -v xvfb-run >/dev/null; then
    echo "flood side by side under X: the program, CuteCom, the reader (${runs} rounds) ..." >&2
    xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
        bash "$work/side.sh" "$live" "$runs" "$flood_seconds" >"$work/side" 2>/dev/null || true
    [ "${RAW:-0}" = 1 ] && sed 's/^/  round (program cutecom reader): /' "$work/side" >&2
    complete=$(awk '$1 != "x" && $2 != "x" && $3 != "x"' "$work/side")
    row "side by side under X: the program, flood" "s" "-" $(awk '{ print $1 }' <<<"$complete")
    row "  CuteCom, same flood" "s" "-" $(awk '{ print $2 }' <<<"$complete")
    row "  read-only QSerialPort reader, same flood" "s" "-" $(awk '{ print $3 }' <<<"$complete")
    row "  ratio program / CuteCom" "-" "<= 1" $(awk '$2 > 0 { print $1 / $2 }' <<<"$complete")
    row "  ratio program / reader (aim)" "-" "<= 2" $(awk '$3 > 0 { print $1 / $3 }' <<<"$complete")
else
    echo "cutecom, xdotool or xvfb-run missing: no side-by-side figure (make deps installs them)" >&2
fi

row "CPU at the normal 10 status reports a second (${normal_seconds} s runs)" "s" "< 0.005" \
    $(live_runs normal normal_cpu_per_s "$normal_seconds")

mapfile -t start_lines < <(for _ in $(seq "$runs"); do "$live" startup 2>/dev/null; done)
row "start-up, process start to first painted frame" "ms" "< 300" \
    $(printf '%s\n' "${start_lines[@]}" | tr ' ' '\n' | sed -n 's/^startup_ms=//p')
row "resident memory after start-up" "MB" "< 60" \
    $(printf '%s\n' "${start_lines[@]}" | tr ' ' '\n' | sed -n 's/^startup_rss_kb=//p' |
        awk '{ print $1 / 1024 }')

# Settings files of any size: one of 50 MB (refused, beyond the 1 MiB bound) and one of
# exactly the bound (read), each one large kept array, the costliest shape to read.
for load_case in "50 MB:50000000" "1 MiB (the bound):1048576"; do
    label=${load_case%%:*}
    bytes=${load_case##*:}
    mapfile -t load_lines < <(for _ in $(seq "$runs"); do "$live" load "$bytes" 2>/dev/null; done)
    load_values() { printf '%s\n' "${load_lines[@]}" | tr ' ' '\n' | sed -n "s/^$1=//p"; }
    row "load of a $label settings file: peak resident memory" "MB" "< 400" \
        $(load_values load_peak_rss_kb | awk '{ print $1 / 1024 }')
    row "  load time (refused: $(load_values load_refused | sort -u | tr '\n' ' ' | sed 's/ $//'))" \
        "ms" "-" $(load_values load_ms)
    row "  window answers after the load" "ms" "<= 2000" $(load_values load_answer_ms)
done

if [ "$soak_seconds" != 0 ]; then
    echo "soaking for ${soak_seconds} s (three runs side by side) ..." >&2
    for n in 1 2 3; do
        "$live" soak "$soak_seconds" >"$work/soak$n" 2>/dev/null &
    done
    wait
    soak=$(cat "$work"/soak? | tr ' ' '\n')
    row "resident memory after the soak (20 reports/s)" "MB" "< 60" \
        $(sed -n 's/^soak_rss_end_kb=//p' <<<"$soak" | awk '{ print $1 / 1024 }')
    row "growth over a ${soak_seconds} s soak" "MB" "< 1" \
        $(sed -n 's/^soak_growth_kb=//p' <<<"$soak" | awk '{ print $1 / 1024 }')
fi

{
    echo "figure|unit|median|min|max|target|"
    cat "$rows"
} | awk -F'|' '
    { for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) } }
    END {
        for (r = 1; r <= NR; r++) {
            line = ""
            for (i = 1; i <= 7; i++) line = line sprintf("%-*s  ", w[i], cell[r, i])
            sub(/ +$/, "", line)
            print line
        }
    }'
# A missed target is a result like any other; only a figure that could not be taken fails.
! grep -q 'no result' "$rows"
