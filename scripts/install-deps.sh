#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine: the native toolchain and test libraries,
# clang's libFuzzer and clang-format, the MinGW-w64 cross compilers, Wine, a virtual display and screenshot
# tools. Only missing packages are installed; run as root (or with sudo available).
#
# Wine: the 64-bit Wine always. The 32-bit Wine (wine32:i386, for the shipped i686 build) only where this
# machine runs 32-bit programs, which scripts/can-run-32bit.sh finds out by running one; elsewhere it would be
# of no use. The scripts run the x86_64 programs with the wine64 loader by name, so the 32-bit Wine changes
# nothing for them.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake g++ make python3
    clang libclang-rt-14-dev clang-format-14
    googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
    wine wine64 xvfb xauth xdotool imagemagick
    zip gzip
    osslsigncode openssl
)
mkdir -p build
if bash scripts/can-run-32bit.sh build; then
    packages+=(wine32:i386)
fi

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
case " ${missing[*]} " in
*:i386*)
    dpkg --print-foreign-architectures | grep -qx i386 || "${as_root[@]}" dpkg --add-architecture i386
    ;;
esac
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
echo "install-deps: done"
