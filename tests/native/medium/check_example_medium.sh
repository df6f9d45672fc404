#!/usr/bin/env bash
# Assembles the example medium with ZEMCMP and checks it with `zemcmp check --strict --json`: no errors, no
# warnings, and every start-up file of the list present. Prints the report when it is not clean.
# usage: check_example_medium.sh ZEMCMP SOURCE_DIR
set -euo pipefail
zemcmp=$1 source=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'MZ stand-in for the main setup module\n' >"$work/main_module.exe"
printf 'MZ stand-in for setup.exe\n' >"$work/SETUP.EXE"
printf 'MZ stand-in for ZSRES.DLL\n' >"$work/ZSRES.DLL"
bash "$source/examples/medium/assemble.sh" "$work/medium" "$zemcmp" "$work/main_module.exe" \
    "$work/SETUP.EXE" "$work/ZSRES.DLL"

status=0
report=$("$zemcmp" check --strict --json "$work/medium") || status=$?
if [ "$status" -ne 0 ] || ! grep -q '"errors": 0,' <<<"$report" || ! grep -q '"warnings": 0,' <<<"$report"; then
    echo "the example medium does not check clean (exit status $status):"
    echo "$report"
    exit 1
fi
# Both ways of storing a start-up file are shown: two of them compressed, the others plain.
for name in _SETUP.EX_ SETUPMSG.TX_ LICENSE.TXT SETUPHLP.TXT; do
    [ -f "$work/medium/$name" ] || { echo "the assembled medium has no $name"; exit 1; }
done
"$zemcmp" check "$work/medium"
