#!/usr/bin/env bash
# Assembles the example medium in a directory: SETUP.LST, the start-up files plain or compressed as the list
# file expects them, and the main setup module. Only the sources are kept in git; the compressed files are made
# here, with the media tool.
#
# usage: assemble.sh MEDIUM_DIR ZEMCMP MAIN_MODULE [SETUP_EXE ZSRES_DLL]
#   MEDIUM_DIR   the directory to fill (created when missing)
#   ZEMCMP       the media tool (native build)
#   MAIN_MODULE  the program stored as _SETUP.EX_ (the stand-in main module of the Windows build)
#   SETUP_EXE, ZSRES_DLL   the bootstrapper and its resource library, copied beside SETUP.LST when given
set -euo pipefail

if [ $# -ne 3 ] && [ $# -ne 5 ]; then
    sed -n '2,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
medium=$1 zemcmp=$2 main_module=$3

mkdir -p "$medium"
cp "$here/SETUP.LST" "$medium/SETUP.LST"
# Stored under their own names: copied by setup.exe as they are.
cp "$here/files/LICENSE.TXT" "$here/files/SETUPHLP.TXT" "$medium/"
# Stored compressed under their compressed names: expanded by setup.exe.
"$zemcmp" compress "$here/files/SETUPMSG.TXT" -d "$medium" -f >/dev/null
"$zemcmp" compress "$main_module" -o "$medium/_SETUP.EX_" -f >/dev/null
if [ $# -eq 5 ]; then
    cp "$4" "$medium/setup.exe"
    cp "$5" "$medium/ZSRES.DLL"
fi
