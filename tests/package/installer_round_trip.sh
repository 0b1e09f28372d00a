#!/usr/bin/env bash
# The installer under Wine, as a user's silent installation: installs into Program Files with
# the Start-menu entry and the start at log-on, uninstalls, and finds the program gone and the
# INI kept.
# Runs in the tests' prefix and wineserver (tools/wine-env.sh); the setup is the 64-bit one
# that tools/package.sh makes for this test.
set -uo pipefail
setup="$(cd "$(dirname "$0")/../.." && pwd)/build/package/setup-x64-for-wine.exe"
folder="$WINEPREFIX/drive_c/Program Files/kvMidi"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/kvMidi.lnk"
config="$WINEPREFIX/drive_c/ProgramData/Karvo/cfg"
status=0
fail() { echo "$*"; status=1; }
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
run_entry() { wine reg query "$run_key" /v kvMidi 2>/dev/null | grep -qi 'Program Files\\kvMidi\\kvMidi.exe'; }

[ -f "$setup" ] || { echo "no $setup: run tools/package.sh"; exit 1; }
# The prefix is shared with the other tests: the INI is put back as it was.
mkdir -p "$config"
saved=$(mktemp)
cp -p "$config/kvMidi.ini" "$saved" 2>/dev/null || rm -f "$saved"
trap '[ -f "$saved" ] && mv "$saved" "$config/kvMidi.ini" || rm -f "$config/kvMidi.ini"' EXIT
printf '[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\n' >"$config/kvMidi.ini"

wine "$setup" /S >/dev/null 2>&1 </dev/null || fail "the setup failed"
for file in kvMidi.exe KvCom.dll kvlisten.exe readme.txt guide/user-guide.md uninstall.exe; do
    [ -f "$folder/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] && run_entry || fail "no Start-menu shortcut or no Run entry"

# The uninstaller runs from a copy of itself and returns at once: up to 30 s for it to end.
wine "C:\\Program Files\\kvMidi\\uninstall.exe" /S >/dev/null 2>&1 </dev/null
deadline=$((SECONDS + 30))
while [ -e "$folder" ] && [ $SECONDS -lt $deadline ]; do sleep 0.2; done
[ ! -e "$folder" ] || fail "left behind: $(cd "$folder" 2>/dev/null && ls -R | tr '\n' ' ')"
[ ! -e "$shortcut" ] && ! run_entry || fail "the shortcut or the Run entry remains"
grep -q '^BroadcastAddress=127.255.255.255' "$config/kvMidi.ini" 2>/dev/null || fail "the INI is gone"
[ $status -eq 0 ] && echo "installed, uninstalled; the INI kept"
