#!/usr/bin/env python3
"""Takes the PNG screenshots of the two dialog templates of ZSRES.DLL for docs/screenshots/.

    python3 scripts/demo/take_screenshots.py [--bin build/win64/bin] [--out docs/screenshots]

dialog_viewer.exe shows each dialog under the UI driver; at the driver's "sync" step the dialog is on the
session's virtual display, and ImageMagick's import copies the window's rectangle from it. Uses the running
Wine session or starts one (and stops it again). Needs a Windows build and the imagemagick package; the demo
(run_demo.py) uses it for the screenshots of its run.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

# The scenarios' harness, from the tests.
sys.path.insert(1, str(Path(__file__).resolve().parents[2] / "tests" / "e2e"))

import winharness  # noqa: E402
from winharness import WINE_SESSION, drive, program_command  # noqa: E402

SCREENSHOTS = [
    # file name, viewer arguments, caption, steps that end the dialog
    ("dialog-103-please-wait.png", ["wait", "Demo Setup", "Initializing Setup. Please wait..."], "Demo Setup",
     ["close"]),
    ("dialog-105-select-language.png",
     ["language", "English", "Deutsch", "Magyar", "Italiano", "Francais", "Nederlands"], "Select Language",
     ["escape"]),
]


def capture(display: str, window: dict, target: Path) -> None:
    rect = window["rect"]
    # Let Wine finish painting the window that has just appeared.
    time.sleep(0.5)
    geometry = f"{rect['width']}x{rect['height']}+{rect['x']}+{rect['y']}"
    subprocess.run(["import", "-display", display, "-window", "root", "-crop", geometry, "+repage", str(target)],
                   check=True)


def take(display: str, out_dir: Path, name: str, viewer_args, caption: str, closing_steps) -> None:
    target = out_dir / name
    report = Path(tempfile.mkdtemp(prefix="zs-shot-")) / "viewer.json"

    def on_sync(_name, events):
        windows = [e for e in events if e.get("event") == "window" and e.get("caption") == caption]
        capture(display, windows[-1], target)

    try:
        run = drive(program_command("dialog_viewer.exe", winharness.windows_path(report), *viewer_args),
                    [f"wait {caption}", "dump", "sync shot", *closing_steps, "wait-exit"], on_sync=on_sync)
    finally:
        shutil.rmtree(report.parent, ignore_errors=True)
    if not run.ok:
        raise SystemExit(f"{name}: the viewer scenario failed\n{run.describe()}")
    print(f"wrote {target}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", type=Path, help="a Windows build's bin directory (default: ZS_BIN_DIR or "
                                                 "build/win64/bin)")
    parser.add_argument("--out", type=Path, default=winharness.SOURCE_DIR / "docs" / "screenshots")
    args = parser.parse_args()
    if args.bin:
        os.environ["ZS_BIN_DIR"] = str(args.bin.resolve())
    for needed in ("dialog_viewer.exe", "uidriver.exe", "ZSRES.DLL"):
        if not (winharness.bin_dir() / needed).exists():
            raise SystemExit(f"{needed} not found in {winharness.bin_dir()}: build a Windows preset first")
    if shutil.which("import") is None:
        raise SystemExit("ImageMagick's import not found (apt-get install imagemagick)")
    args.out.mkdir(parents=True, exist_ok=True)

    started_session = winharness.session_display() is None
    if started_session:
        subprocess.run([str(WINE_SESSION), "start"], check=True)
    try:
        display = winharness.session_display()
        for name, viewer_args, caption, closing_steps in SCREENSHOTS:
            take(display, args.out, name, viewer_args, caption, closing_steps)
    finally:
        if started_session:
            subprocess.run([str(WINE_SESSION), "stop"], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
