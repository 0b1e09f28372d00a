#!/usr/bin/env bash
# Builds the fuzz target with clang and runs it for the given seconds (default 300) in its
# corpus, build/fuzz/corpus/input_fuzz. Prints its executions.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-300}
case "$seconds" in ''|*[!0-9]*) echo "usage: tools/fuzz.sh [seconds]" >&2; exit 2 ;; esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
log=build/fuzz/input_fuzz.log
build/fuzz/input_fuzz -max_total_time="$seconds" -print_final_stats=1 build/fuzz/corpus/input_fuzz tests/fuzz/regressions \
        >"$log" 2>&1 || {
    tail -n 30 "$log"
    echo "input_fuzz: FAILED (log: $log; the input that failed is saved as crash-* in $PWD)" && exit 1
}
echo "input_fuzz: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') runs in $seconds s"
