#!/usr/bin/env bash
# Finds out whether the shipped i686 build can run here under Wine: the machine must run 32-bit programs
# (scripts/can-run-32bit.sh runs one) and have the 32-bit Wine (wine32:i386, whose loader is /usr/lib/wine/wine).
#
# usage: i686-runs-here.sh [DIR]   DIR as for can-run-32bit.sh
# Exit status: 0 it can; 1 this machine cannot run 32-bit programs; 2 the 32-bit Wine is missing, and standard
# output says why: apt's reason as scripts/install-deps.sh recorded it in build/wine32-missing on its last run.
set -u

bash "$(dirname "$0")/can-run-32bit.sh" "$@" || exit 1
status=$(dirname "$0")/../build/wine32-missing
if [ -f "$status" ]; then
    head -n1 "$status"
    exit 2
fi
if [ ! -x /usr/lib/wine/wine ]; then
    echo "wine32:i386 is not installed"
    exit 2
fi
exit 0
