#!/usr/bin/env bash
# The MIDI benchmark's official runs: builds the win64 preset and runs kvmidi_midi_benchmark
# (tests/benchmark/midi_benchmark.cpp) RUNS times in a row (default 3) with its defaults,
# printing the load before each; any further arguments go to the benchmark
# ([seconds per rate] [rate per device ...], for a short look: tools/bench-midi.sh 1 2 400).
# Run it on a quiet machine: the figures of a shared one mean nothing.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
runs=${1:-3}
shift || true
cmake --preset win64 >/dev/null && cmake --build --preset win64 --target kvmidi_midi_benchmark >/dev/null
. tools/wine-env.sh
trap wine_env_stop EXIT
wine_env_start
cd build/win64/bin/virtual_midi
for run in $(seq "$runs"); do
    echo "== run $run of $runs; load average $(cut -d' ' -f1-3 /proc/loadavg)"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b" wine kvmidi_midi_benchmark.exe "$@"
done
