#!/usr/bin/env bash
# Assembles the example medium with ZEMCMP and images from WRITE_TEST_IMAGES (setup.exe and ZSRES.DLL as i386
# images with the shipped string table, a main module that starts), and checks it with
# `zemcmp check --strict --json`: no errors, no warnings, the main module predicted to start, and every
# start-up file of the list present. Prints the report when it is not clean.
# usage: check_example_medium.sh ZEMCMP WRITE_TEST_IMAGES SOURCE_DIR
set -euo pipefail
zemcmp=$1 write_images=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$write_images" "$source/src/reslib/string_table.rc" "$work"
bash "$source/examples/medium/assemble.sh" "$work/medium" "$zemcmp" "$work/main_module.exe" \
    "$work/setup.exe" "$work/ZSRES.DLL"

status=0
report=$("$zemcmp" check --strict --json "$work/medium") || status=$?
if [ "$status" -ne 0 ] || ! grep -q '"errors": 0,' <<<"$report" || ! grep -q '"warnings": 0,' <<<"$report" ||
    ! grep -q '"prediction": {"outcome": "starts-main-module"' <<<"$report"; then
    echo "the example medium does not check clean (exit status $status):"
    echo "$report"
    exit 1
fi
# Both ways of storing a start-up file are shown: two of them compressed, the others plain.
for name in _SETUP.EX_ SETUPMSG.TX_ LICENSE.TXT SETUPHLP.TXT; do
    [ -f "$work/medium/$name" ] || { echo "the assembled medium has no $name"; exit 1; }
done
"$zemcmp" check "$work/medium"
