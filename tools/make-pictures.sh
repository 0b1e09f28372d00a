#!/usr/bin/env bash
# Pictures for the README and the user guide: the settings dialog with MIDI devices listed, at
# the usual 96 DPI (docs/settings-dialog.png) and at 150 %, 144 DPI (docs/settings-dialog-150.png).
# kvMidi runs beside the tests' virtual MIDI driver, which gives the devices their names, in a
# Wine prefix of its own; a double click on its tray icon opens the dialog, which is then cut
# out of a picture of the Wine desktop. Its INI broadcasts to 127.255.255.255 only.
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"
cmake --build --preset win64 --target virtual_midi_driver virtual_midi_program >/dev/null

# A screen larger than the desktop, so that the 150 % dialog fits whole.
desktop_size=1500x1100
fd_file=$(mktemp)
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$fd_file" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$fd_file")"
rm -f "$fd_file"
export KVMIDI_WINEPREFIX="$repo_root/build/wineprefix-pictures"
. tools/wine-env.sh
trap 'wine_env_stop; kill $xvfb' EXIT
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winmm=n,b"
export KVMIDI_VIRTUAL_MIDI="USB Keyboard,Drum Pads,Foot Controller FC-300"

data="$repo_root/build/pictures-data"
mkdir -p "$data/cfg"
printf '%s\r\n' '[Network]' 'BroadcastAddress=127.255.255.255' 'Port=9871' 'ApplicationId=MIDI' \
    '[RemoteCmd]' 'Destination=Stage' '[Midi]' 'FilterNoteOff=1' 'TextCmd=AUXMIDI' 'Devices=0 2 ' \
    '[Com]' 'Enable=0' 'Device=10' 'Cts=1' 'Dsr=1' 'DsrMute=1' 'RtsOn=1' \
    '[Profile1]' 'Name=Studio' '[Profile2]' 'Name=Rehearsal' '[Profile5]' 'Name=Live' >"$data/cfg/kvMidi.ini"

# The part of the Wine desktop that differs from its background, above the taskbar (whose
# rows differ from the background at the left edge), cut out; "none" when there is none.
desktop_content() {
    local desktop
    desktop=$(xwininfo -root -tree | awk '/ - Wine desktop"/ { print $1; exit }')
    [ -n "$desktop" ] && import -window "$desktop" "$1.full.png" 2>/dev/null || return 1
    local box
    box=$(convert "$1.full.png" ppm:- | python3 -c '
import sys
data = sys.stdin.buffer.read()
fields = data.split(maxsplit=4)
w, h, pixels = int(fields[1]), int(fields[2]), fields[4]
at = lambda x, y: pixels[3 * (y * w + x):3 * (y * w + x) + 3]
background = at(0, 0)
top = h
while top > 0 and at(0, top - 1) != background:
    top -= 1
rows = [y for y in range(top) if pixels[3 * y * w:3 * (y + 1) * w] != background * w]
cols = [x for x in range(w) if any(at(x, y) != background for y in rows[::4] + rows[-1:])] if rows else []
print(f"{cols[-1] - cols[0] + 1}x{rows[-1] - rows[0] + 1}+{cols[0]}+{rows[0]}" if rows else "none")')
    [ "$box" != none ] && convert "$1.full.png" -crop "$box" +repage "$1" || { convert -size 1x1 xc:white "$1"; }
}
width_of() { identify -format '%w' "$1"; }

picture() {
    local dpi=$1 out=$2 shot="$data/shot.png" last="" now deadline
    wine_env_stop
    wine_env_start
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$desktop_size" /f >/dev/null 2>&1
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
        /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wine_env_stop
    wine_env_start
    wine build/win64/bin/virtual_midi/kvMidi.exe -a "$(winepath -w "$data")" >/dev/null 2>&1 &
    # The About panel shows for five seconds at start: wait for it to come and go.
    deadline=$((SECONDS + 60))
    until desktop_content "$shot" && [ "$(width_of "$shot")" -gt 50 ]; do
        [ $SECONDS -lt $deadline ] || { echo "kvMidi did not start" >&2; return 1; }
        sleep 0.5
    done
    until desktop_content "$shot" && [ "$(width_of "$shot")" -lt 50 ]; do
        [ $SECONDS -lt $deadline ] || { echo "the About panel stays" >&2; return 1; }
        sleep 0.5
    done
    local w=${desktop_size%x*} h=${desktop_size#*x}
    deadline=$((SECONDS + 60))
    while :; do
        [ $SECONDS -lt $deadline ] || { echo "no settings dialog at $dpi DPI" >&2; return 1; }
        desktop=$(xwininfo -root -tree | awk '/ - Wine desktop"/ { print $1; exit }')
        if desktop_content "$shot" && [ "$(width_of "$shot")" -gt 400 ]; then
            now=$(convert "$shot" rgb:- | md5sum)
            [ "$now" = "$last" ] && break
            last=$now
        else
            xdotool mousemove --window "$desktop" $((w - 12)) $((h - 12)) click --repeat 2 --delay 100 1
            # Away from the icon, whose tooltip would be in the picture.
            xdotool mousemove --window "$desktop" 2 $((h - 80))
        fi
        sleep 0.5
    done
    convert "$shot" -strip -define png:exclude-chunks=date,time "$out"
    echo "$out: $(identify -format '%wx%h' "$out") at $dpi DPI"
}

picture 96 docs/settings-dialog.png
picture 144 docs/settings-dialog-150.png
