#!/usr/bin/env bash
# Builds the example medium as the demo builds it: a source folder with examples/medium's SETUP.LST and files/
# and the main module as _SETUP.EXE, made into a medium by `zemcmp build --program DIR` (setup.exe and ZSRES.DLL
# as i386 images with the shipped string table, from WRITE_TEST_IMAGES) with LICENSE.TXT and SETUPHLP.TXT kept
# plain. Then checks it with `zemcmp check --strict --json`: no errors, no warnings, the main module predicted to
# start, and every start-up file of the list stored as the demo shows it. Prints the report when it is not clean.
# usage: check_example_medium.sh ZEMCMP WRITE_TEST_IMAGES SOURCE_DIR
set -euo pipefail
zemcmp=$1 write_images=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/images" "$work/source"
"$write_images" "$source/src/reslib/string_table.rc" "$work/images"
cp "$source/examples/medium/SETUP.LST" "$source/examples/medium/files/"* "$work/source/"
cp "$work/images/main_module.exe" "$work/source/_SETUP.EXE"
"$zemcmp" build "$work/source" "$work/medium" --program "$work/images" --plain LICENSE.TXT --plain SETUPHLP.TXT -q

status=0
report=$("$zemcmp" check --strict --json "$work/medium") || status=$?
if [ "$status" -ne 0 ] || ! grep -q '"errors": 0,' <<<"$report" || ! grep -q '"warnings": 0,' <<<"$report" ||
    ! grep -q '"prediction": {"outcome": "starts-main-module"' <<<"$report" ||
    grep -q '"code": "start-up-files-unsealed"' <<<"$report"; then
    echo "the example medium does not check clean and sealed (exit status $status):"
    echo "$report"
    exit 1
fi
# Both ways of storing a start-up file are shown: two of them compressed, the others plain.
for name in _SETUP.EX_ SETUPMSG.TX_ LICENSE.TXT SETUPHLP.TXT; do
    [ -f "$work/medium/$name" ] || { echo "the built medium has no $name"; exit 1; }
done
"$zemcmp" check "$work/medium"
