#!/usr/bin/env bash
# The MIDI benchmark's official runs: builds the win64 preset and runs kvmidi_midi_benchmark
# (tests/benchmark/midi_benchmark.cpp) RUNS times in a row (default 3) with its defaults,
# printing the load before each, with a native receiver (native_receiver.cpp) for the
# datagrams; any further arguments go to the benchmark
# ([seconds per rate] [rate per device ...], for a short look: tools/bench-midi.sh 1 2 400;
# tools/bench-idle.sh traces the first rate of tools/bench-midi.sh 1 4 400). Run it on a quiet
# machine: the figures of a shared one mean nothing.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
runs=${1:-3}
shift || true
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target kvmidi_midi_benchmark >/dev/null
g++ -O2 -std=c++20 -o build/native_receiver tests/benchmark/native_receiver.cpp
. tools/wine-env.sh
# The datagrams arrive at a native receiver, so that receiving under Wine costs neither side.
arrivals=$(mktemp -d)
coproc receiver { exec build/native_receiver "$arrivals/arrivals"; }   # a job of its own
trap 'kill $(jobs -p) 2>/dev/null || true; wine_env_stop; rm -rf "$arrivals"' EXIT
trap 'exit 130' INT TERM
wine_env_start
read -r port <&"${receiver[0]}"   # its first line; none when it could not start
KVMIDI_RECEIVER="$port $(winepath -w "$arrivals/arrivals")"
export KVMIDI_RECEIVER
cd build/win64/bin/virtual_midi
for run in $(seq "$runs"); do
    echo "== run $run of $runs; load average $(cut -d' ' -f1-3 /proc/loadavg)"
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b" wine kvmidi_midi_benchmark.exe "$@"
done
