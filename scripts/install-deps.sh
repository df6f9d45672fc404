#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine: the native toolchain and test libraries,
# clang's libFuzzer, the MinGW-w64 cross compilers, Wine (64-bit only: this kernel runs no 32-bit programs,
# and with wine32 present the wine wrapper picks the 32-bit loader), a virtual display and screenshot tools.
# Only missing packages are installed; run as root (or with sudo available).
set -euo pipefail

packages=(
    cmake g++ make python3
    clang libclang-rt-14-dev
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine64 xvfb xauth xdotool imagemagick
    zip gzip
    osslsigncode openssl
)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
