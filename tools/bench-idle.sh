#!/usr/bin/env bash
# What a MIDI message costs kvMidi.exe in system calls while five devices of the virtual MIDI
# driver send 400 messages a second each, against as long a time idle after the stream: the
# sending thread's, the window thread's and the whole process's. The stream runs through
# tools/bench-midi.sh, which builds win64 and starts the native receiver.
# Then the idle cost of the program: the CPU time kvMidi.exe uses in 20 s with the COM switches
# on (four lines polled every 10 ms on a port linked to the Linux pseudo-terminal multiplexer)
# and nothing else happening, as a share of one core, beside the same figure, in the same run,
# for a program that does nothing but wake every 10 ms; and the size of the executables.
# Prints figures.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
seconds=${1:-20}
. tools/wine-env.sh
data=$(mktemp -d)
# set -e still holds in the trap: every step of it must succeed, or the rest is skipped.
trap 'rm -rf "$data" "$WINEPREFIX/dosdevices/com250"; kill $(jobs -p) 2>/dev/null || true; wine_env_stop' EXIT
# `wine` starts a program in a process of its own (start.exe's is the one it returns): the
# program's is found by its command line, the Windows path that no other worktree's matches.
pid_of() {
    local pid
    pid=$(pgrep -f "^\"?Z:$(tr / . <<<"$1")") && [[ $pid =~ ^[0-9]+$ ]] ||
        { echo "bench-idle: no single process of $1" >&2; exit 1; }
    echo "$pid"
}

# Every thread's system calls, one trace file each; the benchmark streams after a line on its
# input and ends kvMidi.exe after another. The sending thread is the one whose calls send the
# datagrams; the window thread is the process's first (tid = pid), which reads the X connection.
# The whole process includes the virtual driver's thread, which calls the MIDI callback.
window=8
mkfifo "$data/go"
tools/bench-midi.sh 1 -w $((window - 4)) 400 <"$data/go" >"$data/bench" 2>&1 &
bench=$!
exec 3>"$data/go"
wait_for() {   # line pattern, file: while the benchmark runs, for at most two minutes
    local deadline=$((SECONDS + 120))
    until grep -q "$1" "$2" 2>/dev/null; do
        kill -0 "$bench" && [ "$SECONDS" -lt "$deadline" ] || { echo "bench-idle: no \"$1\" in $2" >&2; exit 1; }
        sleep 0.1
    done
}
wait_for '^ready' "$data/bench"
pid=$(pid_of "$repo_root/build/win64/bin/virtual_midi/kvMidi.exe")
calls() { mkdir "$data/$1"; timeout -s INT "$window" strace -f -ff -o "$data/$1/tid" -p "$pid" 2>"$data/$1.log" || true; }
calls busy &
wait_for attached "$data/busy.log"
echo go >&3
wait $!
wait_for '^arrived' "$data/bench"
calls idle
exec 3>&-
awk -v n="$(awk '/^arrived/ { print $2 }' "$data/bench")" -v first="$pid" -v w="$window" '
    FNR == 1 { phase = FILENAME ~ /\/busy\// ? "busy" : "idle"; tid = FILENAME; sub(/.*\./, "", tid) }
    /^[a-z_0-9]+\(/ { calls[phase, tid]++; calls[phase, "all"]++ }
    phase == "busy" && /inet_addr\("127.255.255.255"\)/ && ++sent[tid] > most { most = sent[tid]; sender = tid }
    function row(what, tid) {
        printf "%-15s %8d %8d %10.2f\n", what, calls["busy", tid], calls["idle", tid],
               (calls["busy", tid] - calls["idle", tid]) / n
    }
    END { printf "system calls in %d s, %d messages of %d arrived (%d datagrams sent by one thread):\n%-15s %8s %8s %10s\n",
                 w, n, (w - 4) * 2000, most, "", "stream", "idle", "a message"
          row("sending thread", sender); row("window thread", first); row("whole process", "all") }' "$data"/{busy,idle}/tid.*
wait "$bench"   # its Wine environment ends before ours starts

wine_env_start
ln -sfn /dev/ptmx "$WINEPREFIX/dosdevices/com250"
mkdir -p "$data/cfg"
printf '%s\r\n' '[Network]' 'BroadcastAddress=127.255.255.255' 'Port=9871' '[Com]' 'Enable=1' 'Port=COM250' \
    'Device=10' 'Cts=1' 'Dcd=1' 'Dsr=1' 'Ri=1' 'RtsOn=1' 'DtrOn=1' >"$data/cfg/kvMidi.ini"
gcc -shared -fPIC -O2 -o "$data/modem_lines.so" tests/benchmark/modem_lines.c -ldl
printf '#include <windows.h>\nint main(void) { for (;;) Sleep(10); }\n' | x86_64-w64-mingw32-gcc-posix -x c -o "$data/tick.exe" -
LD_PRELOAD="$data/modem_lines.so" wine build/win64/bin/kvMidi.exe -a "$(winepath -w "$data")" >/dev/null 2>&1 &
wine "$data/tick.exe" >/dev/null 2>&1 &
sleep 8   # start-up and the About panel's five seconds are not idle time
pid=$(pid_of "$repo_root/build/win64/bin/kvMidi.exe")
tick=$(pid_of "$data/tick.exe")
# The run time of the threads in ns (the first field of schedstat, exact for threads asleep when
# read, as idle ones are; utime and stime count 10 ms ticks, about a tenth of 20 s idle).
cpu() { cat /proc/"$1"/task/*/schedstat | awk '{ ns += $1 } END { print ns }'; }
before=$(cpu "$pid") tick_before=$(cpu "$tick")
sleep "$seconds"
awk -v p=$(($(cpu "$pid") - before)) -v t=$(($(cpu "$tick") - tick_before)) -v s="$seconds" 'BEGIN {
    printf "idle CPU, four lines polled: %.2f %% of one core; a loop of Sleep(10): %.2f %% (%.2f x)\n", p / s / 1e7, t / s / 1e7, p / t }'

for file in build/win64/bin/{kvMidi.exe,KvCom.dll} $(ls build/win32/bin/kvMidi.exe 2>/dev/null); do
    x86_64-w64-mingw32-strip -o "$data/stripped" "$file"   # its binutils read i686 files too
    printf '%s: %s bytes, %s stripped\n' "$file" "$(stat -c %s "$file")" "$(stat -c %s "$data/stripped")"
done
