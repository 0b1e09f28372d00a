#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given seconds (default 60), one
# after the other, in its corpus under build/fuzz/corpus. Prints each target's executions.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
seconds=${1:-60}
case "$seconds" in ''|*[!0-9]*) echo "usage: tools/fuzz.sh [seconds]" >&2; exit 2 ;; esac

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
for target in build/fuzz/*_fuzz; do
    name=$(basename "$target")
    mkdir -p "build/fuzz/corpus/$name"
    log="build/fuzz/$name.log"
    if ! "$target" -max_total_time="$seconds" -print_final_stats=1 \
            "build/fuzz/corpus/$name" "tests/fuzz/regressions/$name" >"$log" 2>&1; then
        tail -n 30 "$log"
        echo "$name: FAILED (log: $log; the input that failed is saved as crash-* in $PWD)"
        exit 1
    fi
    echo "$name: $(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | grep -o '[0-9]*$') runs in ${seconds} s"
done
