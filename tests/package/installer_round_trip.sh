#!/usr/bin/env bash
# The real setup under Wine, as users install it silently:
# - it installs the i686 program into the 32-bit Program Files, with the Start-menu entries,
#   the start at log-on, the Apps entry and a settings folder every user may change; the
#   installed program loads a stand-in for the maker's KvCom.dll by its decorated names and
#   calls it as it would the maker's (the lines it sends are those every end-to-end test sees);
# - the uninstaller ends a running copy and removes everything but the INI;
# - installed into a folder chosen with /D=, an upgrade while a copy runs ends the copy,
#   replaces the files in that folder and starts kvMidi again through the desktop's shell.
# A copy the script starts runs with the stand-in, whose first call says that it is up.
# Runs in the tests' prefix and wineserver (tools/wine-env.sh), after tools/package.sh.
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
setup="$repo/dist/kvMidi-$(sed -n 's/^project(kvMidi VERSION \([0-9.]*\) .*/\1/p' "$repo/CMakeLists.txt")-setup.exe"
maker="$repo/build/win32/bin/maker_dll"
drive="$WINEPREFIX/drive_c"
menu="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs"
config="$drive/ProgramData/Karvo/cfg"
calls="$drive/kvmidi-calls.txt"
status=0
fail() { echo "$*"; status=1; }
wait_for() { local deadline=$((SECONDS + 30)); until eval "$1"; do [ $SECONDS -lt $deadline ] || return 1; sleep 0.2; done; }
silent() { wine "$1" /S "${@:2}" >/dev/null 2>&1 </dev/null; }   # the setup or an uninstaller
# The setup writes to the registry's native view, which the 32-bit reg.exe sees with /reg:64.
registry() { wine reg "$1" "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\$2" "${@:3}" /reg:64 2>/dev/null | tr -d '\r'; }
run_entry() { registry query Run /v kvMidi | grep -qF "$1"; }
# Starts the program installed in $1 (C:\...) and $2 (its Linux path) with the stand-in as its
# KvCom.dll; false when it does not close the library and then initialise it on the INI's
# address and port, with the controller's window and its network message.
start_with_stand_in() {
    cp "$maker/maker_kvcom.dll" "$2/KvCom.dll"
    rm -f "$calls"
    KVMIDI_MAKER_DLL_LOG='C:\kvmidi-calls.txt' wine "$1\\kvMidi.exe" >/dev/null 2>&1 </dev/null &
    wait_for '[ "$(head -n2 "$calls" 2>/dev/null)" = "$(printf "close\ninit #32770 1027 127.255.255.255 9871")" ]'
}
# The name of the running kvMidi's parent process.
parent() {
    wine wmic process get Name,ParentProcessId,ProcessId 2>/dev/null | iconv -f utf-16 -t utf-8 | tr -d '\r' |
        awk '{ name[$3] = $1; parent[$1] = $2 } END { print name[parent["kvMidi.exe"]] }'
}
ended() { wait_for '[ "$(tail -n1 "$calls" 2>/dev/null)" = close ]'; }

[ -f "$setup" ] || { echo "no $setup: run tools/package.sh"; exit 1; }
# The prefix is shared with the other tests: the INI is put back as it was. The folder is
# made writable by its owner only, so that the rule found below is the setup's.
mkdir -p "$config" && chmod 755 "$config"
saved=$(mktemp)
cp -p "$config/kvMidi.ini" "$saved" 2>/dev/null || rm -f "$saved"
trap '[ -f "$saved" ] && mv "$saved" "$config/kvMidi.ini" || rm -f "$config/kvMidi.ini"; rm -f "$calls"' EXIT
# What a failed run may have left: an installation in either folder.
rm -rf "$drive/Program Files (x86)/kvMidi" "$drive/Tools"
registry delete 'Uninstall\kvMidi' /f >/dev/null
printf '[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\n' >"$config/kvMidi.ini"

win='C:\Program Files (x86)\kvMidi'
folder="$drive/Program Files (x86)/kvMidi"
silent "$setup" || fail "the setup failed"
for file in kvMidi.exe KvCom.dll kvlisten.exe readme.txt guide/user-guide.html; do
    cmp -s "$repo/build/package/win32/$file" "$folder/$file" || fail "not installed: $file"
done
[ -f "$menu/kvMidi.lnk" ] && [ -f "$menu/kvMidi user guide.lnk" ] && run_entry "$win\\kvMidi.exe" ||
    fail "a Start-menu entry or the Run entry is missing"
apps=$(registry query 'Uninstall\kvMidi')
grep -q 'Publisher *REG_SZ *kvMidi$' <<<"$apps" && grep -q 'EstimatedSize *REG_DWORD *0x[1-9a-f]' <<<"$apps" ||
    fail "the Apps entry lacks Publisher or EstimatedSize: $apps"
# Wine keeps a folder's rules as its mode: the Users' rule makes it writable for the group
# (the other bits follow the parent folder, which the end-to-end tests may have made first).
[ "$(stat -c %A "$config" | cut -c6)" = w ] || fail "the settings folder is not for every user: $(stat -c %A "$config")"

start_with_stand_in "$win" "$folder" ||
    fail "the installed program did not call the stand-in as the maker's library: $(cat "$calls")"
silent "$win\\uninstall.exe"   # runs from a copy of itself and returns at once
wait_for '[ ! -e "$folder" ]' || fail "left behind: $(cd "$folder" 2>/dev/null && ls -R | tr '\n' ' ')"
ended || fail "the running copy did not end: $(cat "$calls")"
[ ! -e "$menu/kvMidi.lnk" ] && ! run_entry kvMidi || fail "the shortcut or the Run entry remains"
grep -q '^BroadcastAddress=127.255.255.255' "$config/kvMidi.ini" 2>/dev/null || fail "the INI is gone"

win='C:\Tools\kvMidi'
folder="$drive/Tools/kvMidi"
silent "$setup" "/D=$win" && start_with_stand_in "$win" "$folder" || fail "no copy running from $win"
silent "$setup" || fail "the upgrade failed while a copy ran"
ended || fail "the running copy did not end for the upgrade: $(cat "$calls")"
cmp -s "$repo/build/package/win32/KvCom.dll" "$folder/KvCom.dll" && [ ! -e "$drive/Program Files (x86)/kvMidi" ] ||
    fail "the upgrade did not replace the files in $win"
# The copy started again is the shell's child, not the elevated setup's.
wait_for '[ "$(parent)" = explorer.exe ]' || fail "kvMidi was not started again through the shell: $(parent)"
silent "$win\\uninstall.exe"
wait_for '[ ! -e "$folder" ]' || fail "the uninstaller did not end the copy started again"
[ $status -eq 0 ] && echo "installed, run with the maker's library, uninstalled while running, upgraded in its folder while running"
