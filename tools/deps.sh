#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need (run as root).
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-dev clang-format googletest libboost-dev
    g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb xdotool x11-utils imagemagick nsis zip)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
