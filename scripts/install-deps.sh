#!/usr/bin/env bash
# Installs what building and testing need on a Debian 12 machine: the native toolchain and test libraries,
# clang's libFuzzer and clang-format, the MinGW-w64 cross compilers, Wine, a virtual display and screenshot
# tools. Only missing packages are installed; run as root (or with sudo available).
#
# Wine: the 64-bit Wine always. The 32-bit Wine (wine32:i386, for the shipped i686 build) only where this
# machine runs 32-bit programs, which scripts/can-run-32bit.sh finds out by running one; elsewhere it would be
# of no use. The scripts run the x86_64 programs with the wine64 loader by name, so the 32-bit Wine changes
# nothing for them.
#
# A package index that cannot be brought up to date (a mirror in the middle of a sync) is tried again a few
# times when packages that every build needs are missing; then the script says so in one line and goes on with
# the indexes there are. The packages every build
# needs are installed in one step, and when that fails the script fails with apt's message. The 32-bit Wine is
# installed in a step of its own that may fail (on a day when the i386 index lags the amd64 one it cannot be
# had at all): the script then says why in one line, leaves the machine as it was, records the reason in
# build/wine32-missing (which scripts/i686-runs-here.sh reads for the demo and the test run) and ends with
# success. The next run tries again.
#
# Environment:
#   ZS_WINE32_PACKAGE     the 32-bit Wine's package (default wine32:i386). A name that cannot be installed
#                         (ZS_WINE32_PACKAGE=zs-no-such-package:i386) shows the fallback without a broken mirror.
#   ZS_APT_UPDATE_TRIES   how often the package index is fetched before the script goes on without it (3)
#   ZS_APT_RETRY_SECONDS  the pause between two tries (15)
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
wine32_package=${ZS_WINE32_PACKAGE:-wine32:i386}
update_tries=${ZS_APT_UPDATE_TRIES:-3}
retry_seconds=${ZS_APT_RETRY_SECONDS:-15}
wine32_status=build/wine32-missing

say() { echo "install-deps: $*"; }

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# apt's reason in one line: its first error (or warning) without the "E: " and the mirror's address, cut to
# a readable length.
apt_reason() {
    sed -nE '/^(E|W): /{s/^[EW]: //; s/ *\[IP: [^]]*\]//; s/[[:space:]]+/ /g; p; q}' "$1" | cut -c1-200
}

mkdir -p build
want_wine32=
if bash scripts/can-run-32bit.sh build && ! { installed "$wine32_package" && [ -x /usr/lib/wine/wine ]; }; then
    want_wine32=1
fi
missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ] && [ -z "$want_wine32" ]; then
    rm -f "$wine32_status"
    say "everything is installed"
    exit 0
fi

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp "${TMPDIR:-/tmp}/zs-install-deps.XXXXXX")
trap 'rm -f "$log"' EXIT

# The i386 architecture only for the 32-bit Wine; taken away again when nothing of it got installed, since an
# architecture there for nothing makes every later index update fetch its lists.
added_i386=
if [ -n "$want_wine32" ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
    added_i386=1
fi
# No half-installed or half-configured package, no broken dependency.
apt_is_sound() {
    "${as_root[@]}" apt-get check >/dev/null 2>&1 && [ -z "$("${as_root[@]}" dpkg --audit 2>&1)" ]
}
take_back_i386() {
    [ -n "$added_i386" ] || return 0
    local architectures
    architectures=$(dpkg-query -W -f='${Architecture}\n' 2>/dev/null) || return 0
    # dpkg refuses while it still knows a package of the architecture (one removed but configured, say).
    grep -qx i386 <<<"$architectures" || "${as_root[@]}" dpkg --remove-architecture i386 2>/dev/null || true
}

# The pauses are for the packages every build needs; for the 32-bit Wine alone one try is enough (it is
# tried again on the next run anyway).
[ ${#missing[@]} -gt 0 ] || update_tries=1
for try in $(seq "$update_tries"); do
    if "${as_root[@]}" apt-get update -qq >"$log" 2>&1; then
        break
    fi
    if [ "$try" -lt "$update_tries" ]; then
        say "the package index could not be updated ($(apt_reason "$log")); trying again in ${retry_seconds} s"
        sleep "$retry_seconds"
    else
        say "some package indexes could not be updated ($(apt_reason "$log")); going on with the indexes there are"
    fi
done

if [ ${#missing[@]} -gt 0 ]; then
    say "installing ${missing[*]}"
    if ! "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
        cat "$log" >&2
        take_back_i386
        say "could not install the packages every build needs"
        exit 1
    fi
fi

if [ -n "$want_wine32" ]; then
    say "installing the 32-bit Wine ($wine32_package)"
    if "${as_root[@]}" apt-get install -y -qq --no-install-recommends "$wine32_package" >"$log" 2>&1 &&
        [ -x /usr/lib/wine/wine ]; then
        rm -f "$wine32_status"
    else
        reason=$(apt_reason "$log")
        reason=${reason:+apt: $reason}
        reason=${reason:-$wine32_package did not bring /usr/lib/wine/wine}
        # A failure half-way through unpacking must not leave apt broken for the next install.
        if ! apt_is_sound; then
            "${as_root[@]}" dpkg --configure -a >/dev/null 2>&1 || true
            "${as_root[@]}" apt-get install -y -qq -f >/dev/null 2>&1 || true
            apt_is_sound || say "apt is left with unfinished packages: run 'dpkg --configure -a' and 'apt-get -f install'"
        fi
        take_back_i386
        printf '%s\n' "$reason" >"$wine32_status"
        say "the 32-bit Wine could not be installed ($reason); the x86_64 build runs instead, and the next run" \
            "tries again"
    fi
fi
say "done"
