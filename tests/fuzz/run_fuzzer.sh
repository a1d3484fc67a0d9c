#!/usr/bin/env bash
# Runs one fuzz target for a fixed time on its seed corpus. New inputs go to a scratch corpus in
# the build folder (libFuzzer writes to the first corpus folder it is given); an input that makes
# it fail is saved there too. Exits non-zero on a crash, a sanitizer report or a leak.
#
# Usage: run_fuzzer.sh FUZZER SECONDS WORK_FOLDER SEED_CORPUS[:SEED_CORPUS...] [LIBFUZZER_OPTIONS...]
set -euo pipefail

fuzzer=$1 seconds=$2 work=$3
IFS=: read -r -a seeds <<<"$4"
shift 4
rm -rf "$work/corpus"
mkdir -p "$work/corpus" "$work/failures"
"$fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$work/failures/" "$@" "$work/corpus" "${seeds[@]}"
