#!/usr/bin/env bash
# Builds the four presets and runs every test tier; ends with one line "N passed, N failed",
# counted as CTest counts its tests, with a preset that did not build as one failure and the
# native tests' line coverage of the platform-free library as one test more, failed below 90 %.
set -uo pipefail
cd "$(dirname "$0")/.."
repo_root=$PWD

tools/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
. tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

mkdir -p build && passed=0 failed=0
count() { passed=$((passed + $1)) failed=$((failed + $2)); }
for preset in native fuzz win64 win32; do
    echo "== build $preset"
    if { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"build/$preset.log" 2>&1; then
        find "build/$preset" -name '*.gcda' -delete   # the coverage counts only this run's native tests
        ctest --preset "$preset" | grep -vE '^\s*$' | tee "build/$preset/ctest.log"
        # CTest ends with "...% tests passed, F tests failed out of T"; a run without it is one failure.
        read -r bad all < <(awk '/ tests failed out of / { print $4, $NF }' "build/$preset/ctest.log")
        count $((${all:-1} - ${bad:-1})) "${bad:-1}"
    else
        tail -n 40 "build/$preset.log"
        echo "build $preset FAILED (full log: build/$preset.log)" && count 0 1
    fi
done

percent=$(gcovr --root . --object-directory build/native --exclude 'tests/' --exclude 'build/' \
    --print-summary build/native 2>build/native/coverage.log | sed -n 's/^lines: \([0-9.]*\)%.*/\1/p')
echo "coverage: ${percent:-not measured} % of lines of the platform-free library"
awk -v percent="${percent:-0}" 'BEGIN { exit !(percent >= 90) }' && count 1 0 || count 0 1
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
