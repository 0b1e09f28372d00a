#!/usr/bin/env bash
# The installer under Wine, as a user's silent installation: installs into Program Files with
# the Start-menu entry and the start at log-on, starts the installed kvMidi once (its INI
# broadcasts to 127.255.255.255), uninstalls, and finds the program gone and the INI kept.
# Runs in the tests' prefix and wineserver (tools/wine-env.sh); the setup is the 64-bit one
# that tools/package.sh makes for this test.
set -uo pipefail
repo_root=$(cd "$(dirname "$0")/../.." && pwd)
setup="$repo_root/build/package/setup-x64-for-wine.exe"
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/kvMidi"
shortcut="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/kvMidi.lnk"
config="$drive_c/ProgramData/Karvo/cfg"
run_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Run'
failures=()
fail() { failures+=("$1"); }

# Waits up to 30 seconds for a condition.
wait_for() {
    local deadline=$((SECONDS + 30))
    until eval "$1"; do
        [ $SECONDS -lt $deadline ] || return 1
        sleep 0.2
    done
}
# The controller, which doubles as the About panel, exists once the start-up is through.
running() { winedbg --command "info wnd" 2>/dev/null | grep -q "kvMidi version"; }

[ -f "$setup" ] || { echo "no $setup: run tools/package.sh"; exit 1; }
ini_before=""
[ -f "$config/kvMidi.ini" ] && ini_before=$(cat "$config/kvMidi.ini")
mkdir -p "$config"
printf '[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\n' >"$config/kvMidi.ini"

wine "$setup" /S >/dev/null 2>&1 </dev/null || fail "the setup failed"
for file in kvMidi.exe KvCom.dll kvlisten.exe readme.txt guide/user-guide.md uninstall.exe; do
    [ -f "$folder/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
wine reg query "$run_key" /v kvMidi 2>/dev/null | grep -qi 'Program Files\\kvMidi\\kvMidi.exe' || fail "no Run entry"

wine "C:\\Program Files\\kvMidi\\kvMidi.exe" >/dev/null 2>&1 </dev/null &
wait_for running || fail "the installed kvMidi.exe did not start"
# It ends only through its tray menu; a close message does not end it.
wine taskkill /F /IM kvMidi.exe >/dev/null 2>&1
wait_for '! running' || fail "kvMidi.exe did not end"

wine "C:\\Program Files\\kvMidi\\uninstall.exe" /S >/dev/null 2>&1 </dev/null
# The uninstaller runs from a copy of itself and returns at once.
wait_for '[ ! -e "$folder" ]' || fail "left behind: $(cd "$folder" 2>/dev/null && ls -R | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut remains"
! wine reg query "$run_key" /v kvMidi >/dev/null 2>&1 || fail "the Run entry remains"
grep -q '^BroadcastAddress=127.255.255.255' "$config/kvMidi.ini" 2>/dev/null || fail "the INI is gone"

# The prefix is shared with the other tests: the INI is put back as it was.
if [ -n "$ini_before" ]; then printf '%s' "$ini_before" >"$config/kvMidi.ini"; else rm -f "$config/kvMidi.ini"; fi
printf '%s\n' "${failures[@]}"
[ ${#failures[@]} -eq 0 ] && echo "installed, started, uninstalled; the INI kept"
[ ${#failures[@]} -eq 0 ]
