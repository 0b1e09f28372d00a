#!/usr/bin/env bash
# Builds the release packages of the version in CMakeLists.txt into dist/:
#   kvMidi-<version>-win64.zip, kvMidi-<version>-win32.zip  the programs, the guide, a readme
#   kvMidi-<version>-setup.exe                              the installer (NSIS) of the i686 program
set -euo pipefail
repo_root=$(cd "$(dirname "$0")/.." && pwd)
cd "$repo_root"

tools/install-deps.sh
version=$(sed -n 's/^project(kvMidi VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "package: no version in CMakeLists.txt" >&2; exit 1; }

stage="$repo_root/build/package"
rm -rf "$stage"
mkdir -p "$stage" dist
declare -A triple=([win64]=x86_64-w64-mingw32 [win32]=i686-w64-mingw32)
for preset in win64 win32; do
    # A configured build stays as it is: the test run calls this script from inside it.
    [ -f "build/$preset/build.ninja" ] || cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target kvMidi KvCom kvlisten >/dev/null
    folder="$stage/$preset"
    mkdir -p "$folder/guide"
    for binary in kvMidi.exe KvCom.dll kvlisten.exe; do
        "${triple[$preset]}-strip" -o "$folder/$binary" "build/$preset/bin/$binary"
    done
    # The guide as a web page, which every PC opens, with the pictures it shows.
    { printf '<!DOCTYPE html>\n<html><head><meta charset="utf-8"><title>kvMidi user guide</title>\n'
      printf '<style>table{border-collapse:collapse}th,td{border:1px solid #999;padding:2px 6px}</style></head><body>\n'
      markdown_py -x tables -o html docs/user-guide.md
      printf '</body></html>\n'; } >"$folder/guide/user-guide.html"
    for picture in $(grep -o '](\([a-z0-9-]*\.png\))' docs/user-guide.md | tr -d '()]' | sort -u); do
        cp "docs/$picture" "$folder/guide/"
    done
    sed 's/$/\r/' >"$folder/readme.txt" <<TEXT
kvMidi $version

kvMidi lives in the notification area and turns MIDI notes and controls (devices 0 to 4)
and foot switches on a serial port into REMOTE commands for the logging application,
broadcast over UDP on the local network.

  kvMidi.exe    the program; its first start opens the settings
  KvCom.dll     its network library (keep it beside kvMidi.exe)
  kvlisten.exe  a console receiver that prints what arrives:  kvlisten -p 9871
  guide\\        the user guide (user-guide.html)

Which package to take:
  kvMidi-$version-setup.exe  installs the 32-bit program, on every Windows.
  kvMidi-$version-win32.zip  the same 32-bit program, for any folder: the one to take. It runs
                          on 32-bit and 64-bit Windows alike, and it is the one the maker's
                          own KvCom.dll fits, should you put it in place of ours: that DLL
                          is 32-bit, and a 64-bit program cannot load it.
  kvMidi-$version-win64.zip  the 64-bit program, only for a Windows that runs no 32-bit
                          programs; it works with the KvCom.dll it comes with only.

The settings live in one file, kvMidi.ini, in the application-data folder of all users:
C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini. Removing kvMidi does not remove it.
TEXT
    rm -f "dist/kvMidi-$version-$preset.zip"
    (cd "$folder" && zip -qrX "$repo_root/dist/kvMidi-$version-$preset.zip" .)
done

makensis -V2 "-DVERSION=$version" "-DSTAGE=$stage/win32" "-DICON=$repo_root/res/kvMidi.ico" \
    "-DOUTFILE=$repo_root/dist/kvMidi-$version-setup.exe" tools/installer/kvMidi.nsi
echo "Packages of kvMidi $version:"
ls -l "dist/kvMidi-$version-win64.zip" "dist/kvMidi-$version-win32.zip" "dist/kvMidi-$version-setup.exe"
