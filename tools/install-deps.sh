#!/usr/bin/env bash
# Installs what building, testing, running and packaging kvMidi need on Debian 12, then checks
# that every command the scripts call is really there: a package that installs under another
# name, or a command found only on the machine it was written on, stops here with its name
# rather than later in the middle of a test run.
set -euo pipefail

# wine64 holds the 64-bit loader only; wine brings the wine, wineserver, winepath and
# wineboot commands the scripts call; wine32 (architecture i386) runs the 32-bit program, the
# one users install, in the same prefix.
packages=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev binutils
          mingw-w64 wine wine64 wine32:i386 xvfb x11-utils xdotool imagemagick python3
          nsis python3-markdown zip unzip gcovr clang libclang-rt-14-dev strace procps git)

# Every command a script of tools/ or a CMake test runs (git: the revision line of the About
# panel, read at build time, and the mutation tool's scratch copy).
commands=(cmake ctest ninja g++ python3
          x86_64-w64-mingw32-gcc-posix x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres
          x86_64-w64-mingw32-dlltool x86_64-w64-mingw32-objdump
          i686-w64-mingw32-gcc-posix i686-w64-mingw32-g++-posix i686-w64-mingw32-windres
          i686-w64-mingw32-dlltool i686-w64-mingw32-objdump
          wine wineserver winepath wineboot Xvfb xdpyinfo xwininfo xdotool import convert
          makensis markdown_py zip unzip gcovr clang clang++ strace gcc pgrep git
          x86_64-w64-mingw32-strip i686-w64-mingw32-strip)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    if [ "$(id -u)" -ne 0 ]; then
        command -v sudo >/dev/null || { echo "install-deps: not root and no sudo; install as root: ${missing[*]}" >&2; exit 1; }
        sudo_cmd=(sudo)
    fi
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

absent=()
for command in "${commands[@]}"; do
    command -v "$command" >/dev/null 2>&1 || absent+=("$command")
done
if [ ${#absent[@]} -gt 0 ]; then
    echo "install-deps: these commands are still missing after installing: ${absent[*]}" >&2
    echo "install-deps: the build, the tests or the packaging need them; install the Debian 12 packages that provide them." >&2
    exit 1
fi
