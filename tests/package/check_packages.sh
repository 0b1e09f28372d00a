#!/usr/bin/env bash
# Makes the release packages with tools/package.sh and checks what a user gets: each zip holds
# exactly the programs for its Windows, the guide and the readme; the binaries carry the
# version and kvMidi.exe its manifest; the setup is there.
set -uo pipefail
repo_root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$repo_root"
tools/package.sh >/dev/null || { echo "tools/package.sh failed"; exit 1; }
version=$(sed -n 's/^project(kvMidi VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
failures=()
pictures=$(grep -o '](\([a-z0-9-]*\.png\))' docs/user-guide.md | tr -d '()]' | sort -u | sed 's|^|guide/|')
expected=$(printf '%s\n' KvCom.dll guide/user-guide.md kvMidi.exe kvlisten.exe readme.txt $pictures | sort)
declare -A format=([win64]=pei-x86-64 [win32]=pei-i386)
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
for preset in win64 win32; do
    zip="dist/kvMidi-$version-$preset.zip"
    listed=$(unzip -Z1 "$zip" 2>/dev/null | grep -v '/$' | sort)
    [ "$listed" = "$expected" ] || failures+=("$zip holds: $(echo $listed)")
    unzip -q -o "$zip" -d "$unpacked/$preset"
    for binary in kvMidi.exe KvCom.dll kvlisten.exe; do
        file="$unpacked/$preset/$binary"
        objdump -f "$file" 2>/dev/null | grep -q "file format ${format[$preset]}" || failures+=("$preset/$binary is not ${format[$preset]}")
    done
    for binary in kvMidi.exe KvCom.dll; do
        strings -el "$unpacked/$preset/$binary" | tr '\n' ' ' | grep -q "ProductName kvMidi .*ProductVersion $version" ||
            failures+=("$preset/$binary has no version resource of kvMidi $version")
    done
    grep -q "dpiAware" "$unpacked/$preset/kvMidi.exe" || failures+=("$preset/kvMidi.exe has no manifest")
done
objdump -f "dist/kvMidi-$version-setup.exe" 2>/dev/null | grep -q "file format pei-i386" ||
    failures+=("dist/kvMidi-$version-setup.exe is not a 32-bit Windows program")
printf '%s\n' "${failures[@]}"
[ ${#failures[@]} -eq 0 ] && echo "packages of kvMidi $version checked"
[ ${#failures[@]} -eq 0 ]
