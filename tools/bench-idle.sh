#!/usr/bin/env bash
# Idle cost of the program: the CPU time kvMidi.exe uses in 20 s with the COM switches on
# (four lines polled every 10 ms on a port linked to the Linux pseudo-terminal multiplexer) and
# nothing else happening, as a share of one core, beside the same figure, in the same run, for
# a program that does nothing but wake every 10 ms.
# Then the system calls of its window thread per MIDI message while five devices of the
# virtual MIDI driver send 400 messages a second each, against as long a time idle; and the
# size of the executables. Prints figures. Needs the win64 build of kvmidi_midi_benchmark; the
# datagrams go to the native receiver, as in tools/bench-midi.sh.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
seconds=${1:-20}
. tools/wine-env.sh
data=$(mktemp -d)
trap 'wine_env_stop; kill $(jobs -p) 2>/dev/null; rm -rf "$data" "$WINEPREFIX/dosdevices/com250"' EXIT
wine_env_start
wait_for() {   # text, file: up to a minute
    timeout 60 bash -c 'until grep -q "$0" "$1" 2>/dev/null; do sleep 0.1; done' "$1" "$2" || { echo "bench-idle: no \"$1\" in $2" >&2; exit 1; }
}

ln -sfn /dev/ptmx "$WINEPREFIX/dosdevices/com250"
mkdir -p "$data/cfg"
printf '%s\r\n' '[Network]' 'BroadcastAddress=127.255.255.255' 'Port=9871' '[Com]' 'Enable=1' 'Port=COM250' \
    'Device=10' 'Cts=1' 'Dcd=1' 'Dsr=1' 'Ri=1' 'RtsOn=1' 'DtrOn=1' >"$data/cfg/kvMidi.ini"
gcc -shared -fPIC -O2 -o "$data/modem_lines.so" tests/benchmark/modem_lines.c -ldl
printf '#include <windows.h>\nint main(void) { for (;;) Sleep(10); }\n' | x86_64-w64-mingw32-gcc-posix -x c -o "$data/tick.exe" -
# Wine's loader runs a program in the process it was started as.
LD_PRELOAD="$data/modem_lines.so" wine build/win64/bin/kvMidi.exe -a "$(winepath -w "$data")" >/dev/null 2>&1 &
pid=$!
wine "$data/tick.exe" &
tick=$!
sleep 8   # start-up and the About panel's five seconds are not idle time
cpu() { cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { print ns }'; }   # all threads, ns
before=$(cpu "$pid") tick_before=$(cpu "$tick")
sleep "$seconds"
awk -v p=$(($(cpu "$pid") - before)) -v t=$(($(cpu "$tick") - tick_before)) -v s="$seconds" 'BEGIN {
    printf "idle CPU, four lines polled: %.2f %% of one core; a loop of Sleep(10): %.2f %% (%.2f x)\n", p / s / 1e7, t / s / 1e7, p / t }'
kill "$pid" "$tick" && wait "$pid" "$tick" || true

# The window thread is the process's first one (tid = pid): the thread that reads the X
# connection of the program's windows. The benchmark's copy of kvMidi.exe is told from other
# worktrees' by its path. The benchmark streams after a line on its input; the idle time is
# taken after the stream, as start-up is not idle.
window=8
g++ -O2 -std=c++20 -o "$data/native_receiver" tests/benchmark/native_receiver.cpp
"$data/native_receiver" 0 "$data/arrivals" >"$data/port" &
wait_for . "$data/port"
KVMIDI_RECEIVER="$(cat "$data/port") $(winepath -w "$data/arrivals")"
export KVMIDI_RECEIVER
mkfifo "$data/go"
(cd build/win64/bin/virtual_midi && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b" \
    wine kvmidi_midi_benchmark.exe -w $((window - 4)) 400 <"$data/go" >"$data/bench" 2>&1) &
exec 3>"$data/go"
wait_for ready "$data/bench"
tid=$(pgrep -f "$(tr / . <<<"$repo_root").build.win64.bin.virtual_midi.kvMidi.exe -a")
calls() { timeout -s INT "$window" strace -c -U calls -p "$tid" -o "$data/$1" 2>"$data/$1.log" || true; }
total() { awk '$2 == "total" { print $1 }' "$data/$1"; }
calls busy &
wait_for attached "$data/busy.log"
echo go >&3
wait $!
wait_for arrived "$data/bench"
calls idle
exec 3>&-
awk -v b="$(total busy)" -v i="$(total idle)" -v n="$(awk '/^arrived/ { print $2 }' "$data/bench")" -v w="$window" \
    'BEGIN { printf "window thread, %d s: %d system calls, %d messages of %d arrived (%.2f calls a message); idle: %d (%.2f)\n",
             w, b, n, (w - 4) * 2000, b / n, i, i / n }'

for file in build/win64/bin/{kvMidi.exe,KvCom.dll} $(ls build/win32/bin/kvMidi.exe 2>/dev/null); do
    x86_64-w64-mingw32-strip -o "$data/stripped" "$file"   # its binutils read i686 files too
    printf '%s: %s bytes, %s stripped\n' "$file" "$(stat -c %s "$file")" "$(stat -c %s "$data/stripped")"
done
