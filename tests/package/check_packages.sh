#!/usr/bin/env bash
# Makes the release packages with tools/package.sh and checks what a user gets: each zip
# holds exactly the guide, the readme and the programs, beside the setup. The programs' build
# for each Windows is the check of their PE tables in that preset; tools/package.sh strips
# each with that Windows' own tools, which refuse any other.
set -uo pipefail
cd "$(dirname "$0")/../.."
tools/package.sh >/dev/null || { echo "tools/package.sh failed"; exit 1; }
version=$(sed -n 's/^project(kvMidi VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
pictures=$(grep -o '](\([a-z0-9-]*\.png\))' docs/user-guide.md | tr -d '()]' | sed 's|^|guide/|')
expected=$(printf '%s\n' KvCom.dll guide/user-guide.html kvMidi.exe kvlisten.exe readme.txt $pictures | sort -u)
status=0
for zip in "dist/kvMidi-$version-win64.zip" "dist/kvMidi-$version-win32.zip"; do
    [ "$(unzip -Z1 "$zip" 2>/dev/null | grep -v '/$' | sort)" = "$expected" ] || { echo "$zip: wrong files"; status=1; }
done
[ -f "dist/kvMidi-$version-setup.exe" ] || { echo "no setup"; status=1; }
[ $status -eq 0 ] && echo "packages of kvMidi $version checked"
