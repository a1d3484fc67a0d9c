#!/usr/bin/env bash
# Runs the Windows pourwise-dose.exe under Wine and the Linux pourwise-dose on the same
# participants and rosters and requires the same bytes on standard output, the same messages
# and the same exit status: the worked examples, sessions with their readings, booster and band,
# the usage and value errors, and random rosters of ordinary and hostile values in both kinds of
# units, from a file and from standard input.
#
# Usage: dose_cli.sh LINUX_POURWISE_DOSE RUN_WINDOWS   (RUN_WINDOWS: scripts/run-windows)
set -euo pipefail
linux=$1
run_windows=$2
here="$(cd "$(dirname "$0")" && pwd)"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

python3 "$here/make_roster.py" 20000 1 >"$work/roster.csv"
python3 "$here/make_roster.py" 20000 2 metric >"$work/metric.csv"
# CRLF line ends and a byte-order mark, as a roster saved by a Windows spreadsheet has.
printf '\xef\xbb\xbf' >"$work/crlf.csv"
python3 "$here/make_roster.py" 500 3 | sed 's/$/\r/' >>"$work/crlf.csv"

cases=(
    "--gender male --height 70 --weight 160 --age 25"
    "--gender male --height 70 --weight 160 --age 25 --explain"
    "--gender male --height 70 --weight 160 --age 25 --plan"
    "--gender f --height 65 --weight 130 --age 30 --plan --portions 12 --release 0.05"
    "--gender male --height-cm 178 --weight-kg 80 --age 25 --explain"
    "--gender male --height 178 --weight 160 --age 25"
    "--gender female --height 62.5 --weight 118.25 --age 21 --bal 0.06 --dd 30 --proof 80 --ratio 3"
    "--gender male --height 70 --weight 160 --age 25 --plan --band --reading 70=0.06 --reading 85=0.057 --reading 100=0.054 --reading 130=0.07 --reading 160=0.075 --booster-dd 10 --booster-served 110"
    "--gender male --height 70 --weight 160 --age 25 --plan --level-unit mg/L --reading -5=0 --reading 60=0.4 --reading 90=0.3 --reading 120=0.2 --reading 150=0.09"
    "--gender male --height 70 --weight 160 --age 25 --plan --placebo --float 5 --reading 70=0.17 --booster-dd 10"
    "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=-0.01"
    "--gender male --height 70 --weight 160 --age 25 --plan --reading 70=0.06 --booster-dd 121"
    "--gender m --height 70 --weight 160 --age 25 --proof 0"
    "--gender m --height 70 --weight 160"
    "--gender m --height 70,5 --weight 160 --age 25"
    "--height 70 --height-cm 178 --gender m --weight 160 --age 25"
    "--nonsense"
    "--help"
    "--version"
    "--csv $work/roster.csv"
    "--csv $work/roster.csv --check --plan --release 0.03"
    "--csv $work/metric.csv --check"
    "--csv $work/crlf.csv --plan"
    "--csv $work/missing.csv"
)

compare() {
    local name=$1 input=$2
    shift 2
    local linux_status=0 windows_status=0
    "$linux" "$@" <"$input" >"$work/linux.out" 2>"$work/linux.err" || linux_status=$?
    "$run_windows" pourwise-dose "$@" <"$input" >"$work/windows.out" 2>"$work/windows.err" ||
        windows_status=$?
    # A Windows console program's messages end their lines with "\r\n"; its output does not.
    sed -i 's/\r$//' "$work/windows.err"
    # A file that cannot be opened is named as given; the system's reason is in its own words.
    sed -i 's/\(cannot open [^:]*\): .*/\1/' "$work/linux.err" "$work/windows.err"
    if [ "$linux_status" != "$windows_status" ] || ! cmp -s "$work/linux.out" "$work/windows.out" ||
        ! cmp -s "$work/linux.err" "$work/windows.err"; then
        echo "FAIL: $name: Linux exits $linux_status, Windows $windows_status"
        diff "$work/linux.out" "$work/windows.out" | head -n 10 || true
        diff "$work/linux.err" "$work/windows.err" | head -n 10 || true
        failures=$((failures + 1))
    else
        echo "PASS: $name (exit $linux_status, $(wc -l <"$work/linux.out") lines)"
    fi
}

for arguments in "${cases[@]}"; do
    # shellcheck disable=SC2086 # each case is a list of words
    compare "pourwise-dose $arguments" /dev/null $arguments
done
compare "pourwise-dose --csv - (standard input)" "$work/roster.csv" --csv - --plan

[ "$failures" -eq 0 ] || {
    echo "$failures of $((${#cases[@]} + 1)) cases differ"
    exit 1
}
