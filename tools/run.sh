#!/usr/bin/env bash
# Builds kvMidi for x86_64 and starts it under Wine with a data folder of its own inside the
# build folder, so it never touches another configuration. The first run seeds that folder's
# INI with the loopback broadcast address: a developer's run never broadcasts onto a network.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"

tools/install-deps.sh
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target kvMidi KvCom

. tools/wine-env.sh
trap wine_env_stop EXIT
had_display=${DISPLAY:-}
wine_env_start

data="$repo_root/build/run-data"
mkdir -p "$data/cfg"
if [ ! -f "$data/cfg/kvMidi.ini" ]; then
    printf '[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\n' >"$data/cfg/kvMidi.ini"
fi

if [ -z "$had_display" ] || [ "$had_display" != "$DISPLAY" ]; then
    echo "No display found: kvMidi runs on the virtual X server $DISPLAY."
fi
echo "kvMidi runs with its settings in $data/cfg/kvMidi.ini; end it with Exit in its tray menu or Ctrl+C."
# The data folder is given as a Windows path; the option takes a word without blanks.
wine build/win64/bin/kvMidi.exe -a "$(winepath -w "$data")"
