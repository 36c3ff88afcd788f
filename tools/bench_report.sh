#!/bin/sh
# Runs the benchmarks the ratio table needs and prints the table.
#
#   tools/bench_report.sh [extra benchmark flags]
#
# Environment: BUILD_DIR (default build/release; configured and built with the
# release preset when its orvane_bench is missing), REPETITIONS (default 3; each
# figure is the median of the repetitions' CPU times).
#
# Needs only a POSIX shell, cmake and awk (no python3 or jq, which a fresh Debian
# 12 lacks): the JSON report is read line by line, one key per line, as Google
# Benchmark writes it.
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build/release}
repetitions=${REPETITIONS:-3}
bench=$build/bench/orvane_bench

# One row per ratio: label | numerator | denominator | comparison | target.
# ratio = CPU time of numerator / CPU time of denominator, so a row reads
# "numerator takes ratio times the denominator's time". Rows for "faster"
# targets put the peer first; "at most" targets put ours first. Benchmarks that
# are not in the binary show as missing, so rows can be added before their
# benchmark exists.
table() {
    cat <<'ROWS'
rotozoom, changing angles: pixman / ours (dispatched)|BM_RotozoomChangingAnglesPixman|BM_RotozoomChangingAnglesDispatched|>=|5
rotozoom, worst angle: pixman / ours (dispatched)|BM_RotozoomFixedAnglePixman/WORST|BM_RotozoomFixedAngleDispatched/WORST|>=|3.5
rotozoom, changing angles: pixman / ours (AVX2)|BM_RotozoomChangingAnglesPixman|BM_RotozoomChangingAnglesAvx2|>=|3.3
rotozoom, changing angles: pixman / ours (SSE2)|BM_RotozoomChangingAnglesPixman|BM_RotozoomChangingAnglesSse2|>=|1.9
rotozoom, changing angles: pixman / ours (scalar)|BM_RotozoomChangingAnglesPixman|BM_RotozoomChangingAnglesScalar|info|
whole frame at 29 s: fast paths / scalar|BM_FrameAt29s|BM_FrameAt29sScalar|<=|0.25
53 sprites: ours / SDL RLE colour key|BM_SpriteBlit/demo|BM_SdlColourKeyBlit/demo|<=|1.3
53 sprites, scattered alpha: ours / SDL RLE colour key|BM_SpriteBlit/scattered|BM_SdlColourKeyBlit/scattered|<=|0.3
doubling: ours / pixman nearest x2|BM_ScaledBlitDoubling|BM_PixmanNearestScale2|<=|0.5
Scale2x: ours / pixman nearest x2|BM_ScaledBlitScale2x|BM_PixmanNearestScale2|<=|0.5
Scale3x: ours / pixman nearest x3|BM_ScaledBlitScale3x|BM_PixmanNearestScale3|<=|0.5
Eagle: ours / pixman nearest x2|BM_ScaledBlitEagle|BM_PixmanNearestScale2|<=|0.5
present / memcpy of a page|BM_Present|BM_PageMemcpy|<=|1.15
present / memset of a page (the write limit)|BM_Present|BM_PageMemset|info|
ROWS
}

# The slowest fixed angle of the rotozoomer, in degrees (see rotozoom_bench.cpp).
worst=$(sed -n 's/^constexpr int kWorstAngleDegrees = \([0-9]*\);.*/\1/p' "$root/bench/rotozoom_bench.cpp")
rows=$(table | sed "s|/WORST|/$worst|g")

if [ ! -x "$bench" ]; then
    if [ -n "${BUILD_DIR:-}" ]; then
        echo "bench_report: no benchmark program at $bench" >&2
        exit 1
    fi
    (cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j2 --target orvane_bench)
fi

# Only the benchmarks the table names, as one anchored alternation.
filter=$(printf '%s\n' "$rows" | awk -F'|' '{ print $2; print $3 }' | sort -u |
         sed 's/[][().*+?^$]/\\&/g' | awk '{ printf "%s%s", (NR > 1 ? "|" : ""), $0 } END { print "" }')
report=$(mktemp)
trap 'rm -f "$report"' EXIT
"$bench" --benchmark_filter="^($filter)\$" --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true --benchmark_format=json "$@" >"$report"

printf '%s\n' "$rows" | awk -F'|' -v report="$report" '
function nanoseconds(value, unit) {
    return value * (unit == "ms" ? 1e6 : unit == "us" ? 1e3 : unit == "s" ? 1e9 : 1)
}
BEGIN {
    # Median CPU time of each run, in ns.
    while ((getline line < report) > 0) {
        if (match(line, /"run_name": "[^"]*"/)) name = substr(line, RSTART + 13, RLENGTH - 14)
        else if (match(line, /"aggregate_name": "[^"]*"/)) aggregate = substr(line, RSTART + 19, RLENGTH - 20)
        else if (match(line, /"cpu_time": [-0-9.e+]*/)) cpu = substr(line, RSTART + 12, RLENGTH - 12)
        else if (match(line, /"time_unit": "[^"]*"/)) {
            unit = substr(line, RSTART + 14, RLENGTH - 15)
            if (aggregate == "median") time[name] = nanoseconds(cpu, unit)
            else if (aggregate == "" && !(name in single)) single[name] = nanoseconds(cpu, unit)
            aggregate = ""
        }
    }
    # A single repetition has no aggregates: its one run stands.
    for (name in single) if (!(name in time)) time[name] = single[name]
    printf "| %-58s | %9s | %-8s | %s |\n", "ratio (CPU time, median)", "value", "target", "met"
    printf "|%s|%s|%s|%s|\n", "------------------------------------------------------------", "-----------", "----------", "-----"
}
{
    label = $1; top = $2; bottom = $3; comparison = $4; target = $5
    if (!(top in time) || !(bottom in time) || time[bottom] <= 0) {
        printf "| %-58s | %9s | %-8s | %s |\n", label, "missing", comparison " " target, "?"
        next
    }
    ratio = time[top] / time[bottom]
    if (comparison == "info") { met = ""; shown = "" }
    else {
        met = (comparison == ">=" ? ratio >= target : ratio <= target) ? "yes" : "NO"
        shown = comparison " " target "x"
    }
    printf "| %-58s | %8.2fx | %-8s | %s |\n", label, ratio, shown, met
}'
