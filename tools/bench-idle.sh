#!/usr/bin/env bash
# What a MIDI message costs kvMidi.exe in system calls while five devices of the virtual MIDI
# driver send 400 messages a second each: the sending thread's, the window thread's and the
# whole process's. The stream is the first rate of a short run of tools/bench-midi.sh, which
# builds win64 and starts the native receiver.
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
pid_of() { pgrep -f "^\"?Z:$(tr / . <<<"$1")"; }

# Every thread's system calls, in order in one file, each line with its thread and time, from
# the start of kvMidi.exe until the benchmark has measured its first rate; counted from the
# stream's first datagram for its 4 s. The sending thread is the one whose calls send the
# datagrams; the window thread is the process's first (tid = pid), which reads the X connection.
# The whole process includes the virtual driver's thread, which calls the MIDI callback.
tools/bench-midi.sh 1 4 400 >"$data/bench" 2>&1 &
bench=$!
running() { kill -0 "$bench" 2>/dev/null || { cat "$data/bench" >&2; exit 1; }; }
until pid=$(pid_of "$repo_root/build/win64/bin/virtual_midi/kvMidi.exe"); do running; sleep 0.1; done
strace -f -ttt -o "$data/trace" -p "$pid" 2>/dev/null &
until grep -q '^400/s' "$data/bench"; do running; sleep 0.1; done
kill -INT $!
wait $! || true   # strace detaches
awk -v n="$(awk '/^400\/s/ { print $7 - $8 }' "$data/bench")" -v pid="$pid" -v w=4 '
    !t0 && /inet_addr\("127.255.255.255"\)/ { t0 = $2 }
    t0 && $2 < t0 + w && $3 ~ /^[a-z_0-9]+\(/ {   # a call, also one that another thread interrupted
        calls[$1]++; calls["all"]++
        if (/inet_addr\("127.255.255.255"\)/ && ++sent[$1] > most) { most = sent[$1]; sender = $1 }
    }
    function row(what, tid) { printf "%-15s %8d calls, %6.2f a message\n", what, calls[tid], calls[tid] / n }
    END {
        printf "system calls in %d s of stream, %d of %d messages arrived (%d datagrams by one thread):\n",
               w, n, w * 2000, most
        row("sending thread", sender); row("window thread", pid); row("whole process", "all") }' "$data/trace"
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
