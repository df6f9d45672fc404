#!/usr/bin/env bash
# Builds the release package: the media tool for Linux (native build), then setup.exe, ZSRES.DLL and zemcmp.exe
# for 32-bit Windows (the shipping i686 build, which also packs the zip with CPack).
#
#   scripts/make-release.sh [DIR]      builds in DIR (default out/release) and writes DIR/zemsetup-<version>.zip
#
# Needs cmake, a native C++ compiler with GoogleTest installed (the native build configures its tests) and the
# MinGW-w64 i686 cross compiler. Works from a clean tree; the build directories are reused when present.
#
# Signing: with ZS_SIGN_PKCS12 (a PKCS#12 file with the code-signing certificate and key) and ZS_SIGN_PASSWORD
# (its password) in the environment, and optionally ZS_SIGN_TIMESTAMP_URL (an RFC 3161 time-stamp server),
# setup.exe, ZSRES.DLL and zemcmp.exe in the package carry an Authenticode signature (scripts/sign-files.sh,
# which needs osslsigncode). Without them the package is unsigned, as the script says. The password is never
# put on a command line or printed.
#
# ZS_SETUP_EXECUTION_LEVEL (requireAdministrator, the default; highestAvailable or asInvoker) is the execution
# level of setup.exe's manifest (README.md says what each level breaks).
set -euo pipefail
set +x  # never trace: a signing password may be in the environment

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=$(mkdir -p "${1:-$root/out/release}" && cd "${1:-$root/out/release}" && pwd)
jobs=${ZS_JOBS:-2}

if [ -n "${ZS_SIGN_PKCS12:-}" ]; then
    [ -f "$ZS_SIGN_PKCS12" ] || { echo "ZS_SIGN_PKCS12: no such file: $ZS_SIGN_PKCS12" >&2; exit 2; }
    [ -n "${ZS_SIGN_PASSWORD+set}" ] || { echo "ZS_SIGN_PKCS12 is set but ZS_SIGN_PASSWORD is not" >&2; exit 2; }
    command -v osslsigncode >/dev/null || { echo "signing needs osslsigncode (apt-get install osslsigncode)" >&2; exit 2; }
    signing="signed with the certificate of $ZS_SIGN_PKCS12${ZS_SIGN_TIMESTAMP_URL:+, time-stamped by $ZS_SIGN_TIMESTAMP_URL}"
    export ZS_SIGN_PKCS12 ZS_SIGN_PASSWORD
else
    [ -z "${ZS_SIGN_PASSWORD:-}" ] || { echo "ZS_SIGN_PASSWORD is set but ZS_SIGN_PKCS12 is not" >&2; exit 2; }
    signing="UNSIGNED (set ZS_SIGN_PKCS12 and ZS_SIGN_PASSWORD to sign the Windows files)"
fi
echo "== Release: the Windows files will be $signing"

echo "== Linux media tool"
# Linked with its C++ runtime, so that it runs on other distributions too.
cmake -S "$root" -B "$out/linux" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_EXE_LINKER_FLAGS="-static-libstdc++ -static-libgcc" >/dev/null
cmake --build "$out/linux" --target zemcmp -j "$jobs"
linux_tool="$out/linux/bin/zemcmp"
strip -o "$out/zemcmp-linux" "$linux_tool"

echo "== Windows i686: setup.exe, ZSRES.DLL, zemcmp.exe"
# Installing must not build everything first: only the release files are needed, not the Windows tests.
cmake -S "$root" -B "$out/win32" --toolchain "$root/cmake/toolchain-i686-w64-mingw32.cmake" \
    -DCMAKE_BUILD_TYPE=MinSizeRel -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON -DCMAKE_EXE_LINKER_FLAGS=-s \
    -DZS_SETUP_EXECUTION_LEVEL="${ZS_SETUP_EXECUTION_LEVEL:-requireAdministrator}" \
    -DZS_RELEASE_LINUX_TOOL="$out/zemcmp-linux" >/dev/null
targets=(zsres zemcmp)
available=$(cmake --build "$out/win32" --target help)
if grep -qx '\.\.\. setup' <<<"$available"; then
    targets+=(setup)
else
    echo "note: this tree does not build setup.exe yet: the package leaves it out" >&2
fi
cmake --build "$out/win32" --target "${targets[@]}" -j "$jobs"

echo "== Package"
# cpack's staging installation signs the copies it packs when ZS_SIGN_PKCS12 is set (cmake/Packaging.cmake).
(cd "$out/win32" && cpack -G ZIP -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
ls "$out"/*.zip
echo "The Windows files of the package are $signing."
