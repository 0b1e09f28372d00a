#!/usr/bin/env bash
# Builds the four presets and runs every test tier; ends with one line "N passed, N failed".
set -uo pipefail
cd "$(dirname "$0")/.."
repo_root=$PWD

tools/install-deps.sh || { echo "0 passed, 1 failed"; exit 1; }
. tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start

mkdir -p build && build_failures=0
for preset in native fuzz win64 win32; do
    echo "== build $preset"
    rm -rf "build/$preset/test-results"
    if { cmake --preset "$preset" && cmake --build --preset "$preset"; } >"build/$preset.log" 2>&1; then
        mkdir -p "build/$preset/test-results"
        find "build/$preset" -name '*.gcda' -delete   # the coverage counts only this run's native tests
        ctest --preset "$preset" --output-junit test-results/ctest.xml | grep -vE '^\s*$'
    else
        tail -n 40 "build/$preset.log"
        echo "build $preset FAILED (full log: build/$preset.log)" && build_failures=$((build_failures + 1))
    fi
done

# Line coverage of the platform-free library by the native tests, for the summary.
[ -d build/native/test-results ] && gcovr --root . --object-directory build/native --exclude 'tests/' --exclude 'build/' \
    --json-summary build/native/test-results/coverage.json build/native >/dev/null 2>build/native/coverage.log

/usr/bin/python3 tools/summarize-tests.py "$build_failures" build/native build/fuzz build/win64 build/win32
