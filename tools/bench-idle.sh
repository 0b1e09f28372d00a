#!/usr/bin/env bash
# Idle cost of the program: the CPU time kvMidi.exe uses in 20 s with the COM switches on
# (four lines polled every 10 ms on a port linked to a Linux pseudo-terminal) and nothing
# else happening, as a share of one core (KVMIDI_BENCH_COM=0: switches off, for comparison);
# and the size of the executables. Prints figures.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
seconds=${1:-20}
. tools/wine-env.sh
data=$(mktemp -d)
pty_log="$data/pty"
cleanup() { wine_env_stop; kill "${holder:-0}" 2>/dev/null || true; rm -rf "$data"; }
trap cleanup EXIT
wine_env_start

# A pseudo-terminal held open by a small helper, linked as COM250 of the prefix.
python3 -c 'import os, pty, sys, time
master, slave = pty.openpty()
print(os.ttyname(slave), flush=True)
time.sleep(3600)' >"$pty_log" &
holder=$!
for _ in $(seq 50); do [ -s "$pty_log" ] && break; sleep 0.1; done
ln -sf "$(head -n1 "$pty_log")" "$WINEPREFIX/dosdevices/com250"

mkdir -p "$data/cfg"
printf '%s\r\n' '[Network]' 'BroadcastAddress=127.255.255.255' 'Port=9871' '[Com]' 'Enable=1' 'Port=COM250' \
    'Device=10' 'Cts=1' 'Dcd=1' 'Dsr=1' 'Ri=1' 'RtsOn=1' 'DtrOn=1' >"$data/cfg/kvMidi.ini"
com=${KVMIDI_BENCH_COM:-1}
sed -i "s/^Enable=1/Enable=$com/" "$data/cfg/kvMidi.ini"
wine build/win64/bin/kvMidi.exe -a "$(winepath -w "$data")" >/dev/null 2>&1 &
sleep 8   # start-up and the About panel's five seconds are not idle time
pid=$(pgrep -f 'kvMidi.exe -a' | tail -n1)
ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
before=$(ticks "$pid"); sleep "$seconds"; after=$(ticks "$pid")
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
    -v com="$com" 'BEGIN { printf "idle CPU (COM switches %s): %.2f %% of one core\n", com ? "on, four lines polled" : "off", 100 * t / hz / s }'
rm -f "$WINEPREFIX/dosdevices/com250"
stripped=$(mktemp)
for file in build/win64/bin/kvMidi.exe build/win64/bin/KvCom.dll build/win32/bin/kvMidi.exe; do
    [ -f "$file" ] || continue
    case "$file" in build/win32/*) strip=i686-w64-mingw32-strip ;; *) strip=x86_64-w64-mingw32-strip ;; esac
    "$strip" -o "$stripped" "$file"
    printf '%s: %s bytes, %s stripped\n' "$file" "$(stat -c %s "$file")" "$(stat -c %s "$stripped")"
done
rm -f "$stripped"
