#!/usr/bin/env bash
# The main job. For now: builds the media tool and shows it compressing, testing and expanding a sample file.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" --target zemcmp >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp README.md "$work/README.TXT"
zemcmp=build/native/bin/zemcmp
echo "\$ zemcmp compress README.TXT"
"$zemcmp" compress "$work/README.TXT"
echo "\$ zemcmp test README.TX_"
"$zemcmp" test "$work/README.TX_"
echo "\$ zemcmp expand README.TX_ -o README.OUT"
"$zemcmp" expand "$work/README.TX_" -o "$work/README.OUT"
ls -l "$work"
cmp "$work/README.TXT" "$work/README.OUT" && echo "expanded file is identical to the original"
