#!/usr/bin/env bash
# Installs what building and testing kvMidi needs on Debian 12, and nothing that is there.
set -euo pipefail

packages=(cmake ninja-build g++ googletest libgtest-dev libgmock-dev binutils
          mingw-w64 wine64 xvfb x11-utils xdotool imagemagick python3)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
