#!/usr/bin/env bash
# Builds the example medium with `zemcmp build` from a source folder laid out as a media author keeps one:
# examples/medium's SETUP.LST and files/, and the main module (an image from WRITE_TEST_IMAGES) as _SETUP.EXE.
# The tool stands in the layout of the release package (tools/linux/zemcmp beside medium/ with setup.exe and
# ZSRES.DLL), so setup.exe and ZSRES.DLL come from there by default. The build must check clean; a second build
# with another -j must give the same files, byte for byte and with the same time stamps; and the list file must
# be the source's followed by the SHA-256 of each start-up file.
# usage: build_example_medium.sh ZEMCMP WRITE_TEST_IMAGES SOURCE_DIR
set -euo pipefail
zemcmp=$1 write_images=$2 source=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "$*"
    exit 1
}

mkdir -p "$work/package/tools/linux" "$work/package/medium" "$work/images" "$work/source"
cp "$zemcmp" "$work/package/tools/linux/zemcmp"
"$write_images" "$source/src/reslib/string_table.rc" "$work/images"
cp "$work/images/setup.exe" "$work/images/ZSRES.DLL" "$work/package/medium/"
cp "$source/examples/medium/SETUP.LST" "$source/examples/medium/files/"* "$work/source/"
cp "$work/images/main_module.exe" "$work/source/_SETUP.EXE"

for jobs in 2 1; do
    status=0
    "$work/package/tools/linux/zemcmp" build "$work/source" "$work/medium-j$jobs" --plain LICENSE.TXT \
        --plain SETUPHLP.TXT --strict -q -j "$jobs" || status=$?
    [ "$status" -eq 0 ] || fail "the build with -j $jobs ended with $status"
done
diff -r "$work/medium-j2" "$work/medium-j1" || fail "two builds of one source differ"
stamps() { (cd "$1" && find . -type f -printf '%p %T@\n' | sort); }
[ "$(stamps "$work/medium-j2")" = "$(stamps "$work/medium-j1")" ] || fail "the time stamps of two builds differ"

medium=$work/medium-j1
[ "$(cd "$medium" && echo *)" = "LICENSE.TXT SETUP.LST SETUPHLP.TXT SETUPMSG.TX_ ZSRES.DLL _SETUP.EX_ setup.exe" ] ||
    fail "the medium holds: $(cd "$medium" && echo *)"
head -c "$(stat -c %s "$work/source/SETUP.LST")" "$medium/SETUP.LST" | cmp -s - "$work/source/SETUP.LST" ||
    fail "the built SETUP.LST does not start with the source's"
grep -q '^\[StartUpSeals\]' "$medium/SETUP.LST" || fail "no seal section"
for name in _SETUP.EXE SETUPMSG.TXT LICENSE.TXT SETUPHLP.TXT; do
    seal="$name=sha256:$(sha256sum <"$work/source/$name" | cut -d' ' -f1)"
    grep -qF "$seal" "$medium/SETUP.LST" || fail "no seal $seal"
done
