#!/usr/bin/env bash
# Builds kvMidi for i686, the build users install, and starts it under Wine with a data folder
# of its own inside the build folder, so it never touches another configuration. The first run
# seeds that folder's INI with the loopback broadcast address: a developer's run never
# broadcasts onto a network.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"

tools/install-deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target kvMidi KvCom

. tools/wine-env.sh
trap wine_env_stop EXIT
had_display=${DISPLAY:-}
wine_env_start

data="$repo_root/build/run-data"
mkdir -p "$data/cfg"
if [ ! -f "$data/cfg/kvMidi.ini" ]; then
    printf '[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\n' >"$data/cfg/kvMidi.ini"
fi

# A picture of the Wine desktop once kvMidi's icon shows in the notification area: the
# taskbar paints the first icon into the 20x20 slot at its right end, and the dial's pointer
# is green. Gives up after a minute.
picture_with_tray_icon() {
    local shot=$1 deadline=$((SECONDS + 60)) desktop green
    while [ $SECONDS -lt $deadline ]; do
        desktop=$(xwininfo -root -tree 2>/dev/null | awk '/ - Wine desktop"/ { print $1; exit }')
        if [ -n "$desktop" ] && import -window "$desktop" "$shot" 2>/dev/null; then
            green=$(convert "$shot" -gravity SouthEast -crop 20x20+0+0 +repage \
                    -fx '(g>0.58 && r<0.36 && b<0.36)' -format '%[fx:mean>0]' info: 2>/dev/null || true)
            [ "$green" = 1 ] && return 0
        fi
        sleep 0.5
    done
    return 1
}

echo "kvMidi runs with its settings in $data/cfg/kvMidi.ini; end it with Exit in its tray menu or Ctrl+C."
# The data folder is given as a Windows path; the option takes a word without blanks.
if [ -n "$had_display" ] && [ "$had_display" = "$DISPLAY" ]; then
    wine build/win32/bin/kvMidi.exe -a "$(winepath -w "$data")"
    exit
fi

echo "No display found: kvMidi runs on the virtual X server $DISPLAY."
wine build/win32/bin/kvMidi.exe -a "$(winepath -w "$data")" &
program=$!
shot="$data/desktop.png"
if picture_with_tray_icon "$shot"; then
    echo "A picture of the Wine desktop with kvMidi's tray icon: $shot"
else
    echo "kvMidi's tray icon did not show within a minute; the last picture of the desktop: $shot"
fi
wait "$program"
