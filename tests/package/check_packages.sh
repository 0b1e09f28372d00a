#!/usr/bin/env bash
# Makes the release packages with tools/package.sh and checks what a user gets: each zip
# holds exactly the guide, the readme and the programs, built for its Windows.
set -uo pipefail
cd "$(dirname "$0")/../.."
tools/package.sh >/dev/null || { echo "tools/package.sh failed"; exit 1; }
version=$(sed -n 's/^project(kvMidi VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
pictures=$(grep -o '](\([a-z0-9-]*\.png\))' docs/user-guide.md | tr -d '()]' | sed 's|^|guide/|')
expected=$(printf '%s\n' KvCom.dll guide/user-guide.md kvMidi.exe kvlisten.exe readme.txt $pictures | sort -u)
failures=()
unpacked=$(mktemp)
trap 'rm -f "$unpacked"' EXIT
for zip_format in win64:pei-x86-64 win32:pei-i386; do
    zip="dist/kvMidi-$version-${zip_format%%:*}.zip"
    [ "$(unzip -Z1 "$zip" 2>/dev/null | grep -v '/$' | sort)" = "$expected" ] || failures+=("$zip: wrong files")
    for binary in kvMidi.exe KvCom.dll kvlisten.exe; do
        unzip -p "$zip" "$binary" >"$unpacked" 2>/dev/null
        objdump -f "$unpacked" 2>/dev/null | grep -q "format ${zip_format#*:}" || failures+=("$zip: $binary")
    done
done
[ -f "dist/kvMidi-$version-setup.exe" ] || failures+=("no setup")
printf '%s\n' "${failures[@]}"
[ ${#failures[@]} -eq 0 ] && echo "packages of kvMidi $version checked"
