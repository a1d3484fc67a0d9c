#!/usr/bin/env bash
# Start-up of pourwise against minimal Qt Widgets windows, all linked with Print Support, under a
# virtual X server with the openbox window manager: milliseconds to the first window mapped,
# processor time used by then and peak resident memory, median of RUNS runs each, the programs
# taking turns. The yardsticks are a window with a line of text and a button ("minimal") and a
# bare window that loads no fonts ("empty").
#
# Usage: bench/startup_bench.sh [BUILD_FOLDER [RUNS]]     (defaults: build, 20)
# Needs Xvfb and openbox (scripts/install-deps test installs them). Not a test: timings depend on
# the machine and on what else runs on it; the processor time and the memory depend far less.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
runs=${2:-20}
bench=$build/bench/pourwise-startup-bench
minimal=$build/bench/pourwise-minimal-window
for file in "$bench" "$minimal" "$build/forms/pourwise"; do
    [ -x "$file" ] || { echo "ERROR: $file is missing; build first (scripts/build)" >&2; exit 2; }
done
names=(empty minimal pourwise)
declare -A commands=([empty]="$minimal --empty" [minimal]="$minimal"
    [pourwise]="$build/forms/pourwise")

source "$root/tests/e2e/x11_session.sh"
wait_until 15 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
    fail "the window manager did not start"

# One warm-up run each, so that all start from the same file cache.
for name in "${names[@]}"; do
    # shellcheck disable=SC2086 # the command's words
    "$bench" ${commands[$name]} >/dev/null
done
for ((run = 1; run <= runs; run++)); do
    for name in "${names[@]}"; do
        # shellcheck disable=SC2086
        "$bench" ${commands[$name]} >>"$work/$name.txt"
    done
done

median() { # column $2 of file $1
    sort -n -k"$2" "$1" | awk -v column="$2" '{ v[NR] = $column } END {
        if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}
printf '%-22s %14s %16s %16s\n' "median of $runs runs" "first window" "processor time" \
    "peak resident"
for name in "${names[@]}"; do
    printf '%-22s %11s ms %13s ms %13s kB\n' "$name" "$(median "$work/$name.txt" 1)" \
        "$(median "$work/$name.txt" 2)" "$(median "$work/$name.txt" 3)"
done
