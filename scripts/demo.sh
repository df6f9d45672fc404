#!/usr/bin/env bash
# The main job: builds setup.exe, ZSRES.DLL, the media tool and the stand-in main module, builds the example
# medium (examples/medium) with zemcmp build in a temporary directory, runs setup.exe on it under Wine and shows
# what happened: the setup log, the main module's command line and the files it received, the temporary
# directory gone, the restart check, and screenshots of the two dialogs.
#
# The Windows programs are those of the shipped i686 build (preset win32, run under WOW64 in a 64-bit Wine
# prefix) where this machine runs 32-bit programs and has the 32-bit Wine (scripts/i686-runs-here.sh), else
# those of the x86_64 build (preset win64); the demo says which, and why. Its helpers are in scripts/demo/.
#
# usage: scripts/demo.sh [--interactive] [--language NAME]
#   --interactive    run setup.exe on your display (DISPLAY must be set) and choose the language yourself;
#                    without it the run happens on a virtual display and the UI driver chooses
#   --language NAME  the language the UI driver chooses (default Deutsch)
#
# Environment: ZS_BUILD_ROOT (default build: the builds go to build/native and build/win32 or build/win64, the
# screenshots and reports to build/demo), ZS_WINEPREFIX (default: a prefix of the demo's own, beside the tests'
# one), ZS_JOBS (default: all cores).
set -euo pipefail
cd "$(dirname "$0")/.."

interactive=()
language=Deutsch
while [ $# -gt 0 ]; do
    case $1 in
    --interactive) interactive=(--interactive) ;;
    --language)
        language=${2:?--language needs a name}
        shift
        ;;
    *)
        sed -n '2,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
        exit 2
        ;;
    esac
    shift
done
if [ ${#interactive[@]} -gt 0 ] && [ -z "${DISPLAY:-}" ]; then
    echo "demo: --interactive needs a display (DISPLAY is not set)" >&2
    exit 2
fi

build_root=${ZS_BUILD_ROOT:-build}
jobs=${ZS_JOBS:-$(nproc)}
export ZS_WINEPREFIX=${ZS_WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/zemsetup/demo-wineprefix}

bash scripts/install-deps.sh

mkdir -p "$build_root"
i686_runs=0
why_not_i686=$(bash scripts/i686-runs-here.sh "$build_root") || i686_runs=$?
case $i686_runs in
0)
    preset=win32 bits=32
    echo "demo: running the shipped i686 build (preset win32) under WOW64 in a 64-bit Wine prefix"
    ;;
1)
    preset=win64 bits=64
    echo "demo: running the x86_64 build (preset win64): this machine cannot run 32-bit programs, so the shipped" \
        "i686 build cannot run here"
    ;;
*)
    preset=win64 bits=64
    echo "demo: running the x86_64 build (preset win64), since the shipped i686 build cannot run here:"
    echo "demo: the 32-bit Wine could not be installed: $why_not_i686"
    ;;
esac

echo "demo: building the media tool ($build_root/native) and the Windows programs ($build_root/$preset)"
cmake --preset native -B "$build_root/native" >/dev/null
cmake --build "$build_root/native" -j "$jobs" --target zemcmp >/dev/null
cmake --preset "$preset" -B "$build_root/$preset" >/dev/null
cmake --build "$build_root/$preset" -j "$jobs" \
    --target setup zsres main_module_stand_in uidriver dialog_viewer >/dev/null

bin=$build_root/$preset/bin
work=$(mktemp -d "${TMPDIR:-/tmp}/zs-demo.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The medium's sources: the list file, the start-up files and the stand-in as the main module.
source=$work/source medium=$work/medium
mkdir "$source"
cp examples/medium/SETUP.LST examples/medium/files/* "$source/"
cp "$bin/main_module_stand_in.exe" "$source/_SETUP.EXE"

echo
echo "== zemcmp build: the medium made from its sources, sealed, and checked the way setup.exe reads it"
"$build_root/native/bin/zemcmp" build "$source" "$medium" --program "$bin" --plain LICENSE.TXT \
    --plain SETUPHLP.TXT | sed 's/^/  /'

python3 -B scripts/demo/run_demo.py --medium "$medium" --bin "$bin" --bits "$bits" --out "$build_root/demo" \
    --language "$language" "${interactive[@]}"
