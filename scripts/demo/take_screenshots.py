#!/usr/bin/env python3
"""Takes the PNG screenshots for docs/screenshots/: the two dialog templates of ZSRES.DLL, and setup.exe's own
Select Language dialog at 96 and at 144 DPI.

    python3 scripts/demo/take_screenshots.py [--bin build/win64/bin] [--out docs/screenshots]

dialog_viewer.exe shows each template, and setup.exe runs on a small medium, under the UI driver; at the
driver's "sync" step the dialog is on the session's virtual display, and ImageMagick's import copies the window's
rectangle from it. The DPI is Wine's LogPixels setting (HKCU\Control Panel\Desktop), set for the shot and
removed again afterwards. Uses the running Wine session or starts one (and stops it again). Needs a Windows
build and the imagemagick package; the demo (run_demo.py) uses it for the screenshots of its run.
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
sys.path.insert(1, str(Path(__file__).resolve().parents[2] / "tests" / "support" / "e2e"))

import winharness  # noqa: E402
from setupmedium import LANGUAGE_DIALOG_CAPTION, SetupMedium, clean_wine_state, list_file  # noqa: E402
from winharness import WINE_SESSION, drive, program_command, reg_add, reg_delete, windows_path  # noqa: E402

SCREENSHOTS = [
    # file name, viewer arguments, caption, steps that end the dialog
    ("dialog-103-please-wait.png", ["wait", "Demo Setup", "Initializing Setup. Please wait..."], "Demo Setup",
     ["close"]),
    ("dialog-105-select-language.png",
     ["language", "English", "Deutsch", "Magyar", "Italiano", "Francais", "Nederlands"], "Select Language",
     ["escape"]),
]

# setup.exe's Select Language dialog: file name, LogPixels. Windows draws a program that declares itself DPI aware
# (setup.exe's manifest does) at the session's DPI instead of stretching a 96-DPI bitmap.
SETUP_SCREENSHOTS = [("setup-select-language-96dpi.png", 96), ("setup-select-language-144dpi.png", 144)]
SETUP_LANGUAGES = ["English,E", "Deutsch,E", "Magyar,E", "Italiano,E", "Francais,E", "Nederlands,E"]
DESKTOP_KEY = "HKCU\\Control Panel\\Desktop"


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


def take_setup(display: str, out_dir: Path, name: str, dpi: int) -> None:
    """setup.exe's Select Language dialog on a medium that offers six languages, at DPI."""
    target = out_dir / name

    def on_sync(_name, events):
        windows = [e for e in events if e.get("event") == "window" and e.get("caption") == LANGUAGE_DIALOG_CAPTION]
        capture(display, windows[-1], target)

    reg_add(DESKTOP_KEY, "LogPixels", dpi)
    clean_wine_state()
    try:
        with SetupMedium() as medium:
            medium.write_list(list_file(languages=SETUP_LANGUAGES, tmp_dir_name=windows_path(medium.temp_dir)))
            run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "dump", "sync shot", "escape", "wait-exit"],
                             on_sync=on_sync)
    finally:
        reg_delete(DESKTOP_KEY, "LogPixels")
        clean_wine_state()
    if not run.ok:
        raise SystemExit(f"{name}: the setup.exe scenario failed\n{run.describe()}")
    print(f"wrote {target}")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", type=Path, help="a Windows build's bin directory (default: ZS_BIN_DIR or "
                                                 "build/win64/bin)")
    parser.add_argument("--out", type=Path, default=winharness.SOURCE_DIR / "docs" / "screenshots")
    args = parser.parse_args()
    if args.bin:
        os.environ["ZS_BIN_DIR"] = str(args.bin.resolve())
    for needed in ("dialog_viewer.exe", "uidriver.exe", "ZSRES.DLL", "setup.exe"):
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
        for name, dpi in SETUP_SCREENSHOTS:
            take_setup(display, args.out, name, dpi)
    finally:
        if started_session:
            subprocess.run([str(WINE_SESSION), "stop"], check=False)
    return 0


if __name__ == "__main__":
    sys.exit(main())
