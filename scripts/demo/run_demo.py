#!/usr/bin/env python3
"""Runs setup.exe under Wine on the built example medium and shows what happened (scripts/demo.sh calls it).

    python3 scripts/demo/run_demo.py --medium DIR --bin BIN_DIR --bits 32|64 --out OUT_DIR [--language NAME]
                                     [--interactive]

Without --interactive the run happens on a virtual display: the UI driver waits for the Select Language dialog,
takes its screenshot, chooses the language and lets setup.exe go on. The stand-in main module leaves a restart
request, so the restart check is seen to act (under Wine the restart request is accepted and restarts nothing).
With --interactive (needs DISPLAY) setup.exe runs on the user's display and the user chooses; the stand-in main
module then shows what it received in a message box.

Afterwards it prints the setup log, what the main module received (compared with the medium's sources), whether
the temporary directory is gone, whether Windows would have been restarted, and the screenshots it took. Exit
status 0 when the run went as it should.
"""

import argparse
import os
import re
import subprocess
import sys
from pathlib import Path
from typing import Dict, List, Optional, Tuple

# The scenarios' harness and the resource script reader, from the tests.
SOURCE_DIR = Path(__file__).resolve().parents[2]
sys.path[1:1] = [str(SOURCE_DIR / "tests" / "support" / "e2e"), str(SOURCE_DIR / "tests" / "support" / "images")]

import take_screenshots  # noqa: E402
import winharness  # noqa: E402
from rc_string_table import read_string_tables  # noqa: E402
from setupmedium import (MAIN_MODULE, MainModuleReport, environment, fnv1a64, log_bytes, reg_delete,  # noqa: E402
                         restart_key, restart_key_view, switch_log)
from winharness import WINE_RUN, WINE_SESSION, drive, parse_ini, windows_path  # noqa: E402

EXAMPLE_DIR = winharness.SOURCE_DIR / "examples" / "medium"
STRING_TABLE = winharness.SOURCE_DIR / "src" / "reslib" / "string_table.rc"
RESTART_TRACE = "InitiateSystemShutdownExA"
EXIT_MEANINGS = {0: "the main module ran", 1: "the user cancelled", 2: "setup stopped with a message"}


def heading(text: str) -> None:
    print(f"\n== {text}")


def read_list_file(medium: Path) -> Dict[str, Dict[str, str]]:
    return parse_ini((medium / "SETUP.LST").read_bytes().decode(winharness.WIN_INI_ENCODING))


def wine_path_on_host(windows: str) -> Path:
    """The host path of a C:\\ path of the prefix."""
    assert windows[:3].upper() == "C:\\", windows
    return winharness.drive_c() / Path(*windows[3:].split("\\"))


def expected_files(medium: Path, bin_dir: Path, start_up: List[str]) -> Dict[str, bytes]:
    """What each start-up file must hold once staged: the source it was made from."""
    sources = {MAIN_MODULE: bin_dir / "main_module_stand_in.exe"}
    for name in start_up:
        sources.setdefault(name, EXAMPLE_DIR / "files" / name)
    return {name: sources[name].read_bytes() for name in start_up if sources[name].exists()}


def describe_medium(medium: Path) -> None:
    heading(f"The medium: {medium} (setup.exe sees {windows_path(medium)})")
    for path in sorted(medium.iterdir(), key=lambda p: p.name.lower()):
        compressed = path.read_bytes()[:7] == b"ZemC32\0"
        print(f"  {path.name:14} {path.stat().st_size:8} bytes{'  compressed' if compressed else ''}")


class RunResult:
    """How a run of setup.exe ended: its exit status (None when it did not end by itself) and the lines in which
    Wine reported a shutdown request."""

    def __init__(self, status: Optional[int], output: str):
        self.status = status
        self.restart_trace = [line.strip() for line in output.splitlines() if RESTART_TRACE in line]


def run_driven(medium: Path, out: Path, language: str, env: Dict[str, Optional[str]]) -> RunResult:
    """Runs setup.exe under the UI driver on the session's virtual display, with a screenshot of the Select
    Language dialog before the driver chooses LANGUAGE."""
    display = winharness.session_display()
    shot = out / "select-language.png"

    def on_sync(_name, events):
        windows = [e for e in events if e.get("event") == "window" and e.get("caption") == "Select Language"]
        take_screenshots.capture(display, windows[-1], shot)

    steps = ["wait Select Language", "dump", "sync language", f"select {language}", "press OK", "wait-exit"]
    with environment(**env):
        run = drive(winharness.windows_command_line([windows_path(medium / "setup.exe")]), steps,
                    cwd=windows_path(medium), wait_limit_ms=60000, total_limit_ms=300000, on_sync=on_sync)
    if not run.ok:
        print(run.describe())
        return RunResult(None, run.output)
    offered = next(c for c in run.window("Select Language")["controls"] if c.get("id") == 1002)["items"]
    print(f"  the Select Language dialog offered: {', '.join(offered)}; the UI driver chose {language}")
    return RunResult(run.exit_code, run.output)


def run_interactive(medium: Path, env: Dict[str, Optional[str]]) -> RunResult:
    """Runs setup.exe on the user's display; the user chooses."""
    print("  setup.exe opens on your display: choose a language and press OK.")
    with environment(**env, ZS_MAIN_MODULE_SHOW="1", ZS_WINE_TIMEOUT="3600"):
        result = subprocess.run([str(WINE_RUN), str(medium / "setup.exe")], cwd=medium, stdin=subprocess.DEVNULL,
                                capture_output=True, text=True, errors="replace")
    return RunResult(None if result.returncode in (124, 125) else result.returncode, result.stderr)


def block_texts(language: str) -> Tuple[str, str]:
    """The chosen language's word for the setup program and its please-wait text, from the resource script of
    ZSRES.DLL: the catalogue entry "NameBBBB" gives the block's first string ID."""
    strings = read_string_tables(STRING_TABLE.read_text(encoding="utf-8"))
    catalogue = [strings[i] for i in range(2, 2 + int(strings[1]))]
    base = next((int(entry[-4:]) for entry in catalogue if entry[:-4] == language), 101)
    return strings[base], strings[base + 1]


def please_wait_screenshot(out: Path, app_name: str, language: str) -> Path:
    """The please-wait window is up only while the files are staged; the dialog viewer shows the same template
    of ZSRES.DLL with the caption and text of the chosen language."""
    word, text = block_texts(language)
    caption = f"{app_name} {word}"
    take_screenshots.take(winharness.session_display(), out, "please-wait.png", ["wait", caption, text], caption,
                          ["close"])
    return out / "please-wait.png"


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--medium", type=Path, required=True, help="the medium built by zemcmp build")
    parser.add_argument("--bin", type=Path, required=True, help="the Windows build's bin directory")
    parser.add_argument("--bits", type=int, choices=(32, 64), default=64,
                        help="the bitness of its programs (32: the shipped i686 build, run under WOW64)")
    parser.add_argument("--out", type=Path, required=True, help="where the screenshots and reports go")
    parser.add_argument("--language", default="Deutsch", help="the language the UI driver chooses")
    parser.add_argument("--interactive", action="store_true", help="run on $DISPLAY and let the user choose")
    args = parser.parse_args()
    os.environ["ZS_BIN_DIR"] = str(args.bin.resolve())
    os.environ["ZS_PROGRAM_BITS"] = str(args.bits)
    medium, out = args.medium.resolve(), args.out.resolve()
    out.mkdir(parents=True, exist_ok=True)

    list_file = read_list_file(medium)
    startup = list_file.get("startup", {})
    app_name, temp_dir = startup.get("appname", ""), startup.get("tmpdirname", "")
    start_up = [startup[str(i)].split(",")[0] for i in range(1, 100) if str(i) in startup]
    describe_medium(medium)

    interactive = args.interactive
    started_session = False
    if interactive:
        if not os.environ.get("DISPLAY"):
            print("--interactive needs a display (DISPLAY is not set)", file=sys.stderr)
            return 2
        # A session would put the program on its virtual display.
        subprocess.run([str(WINE_SESSION), "stop"], check=False, capture_output=True)
    elif winharness.session_display() is None:
        # A first run creates the prefix: done by a single program run, which leaves no Wine process behind
        # (wine-session.sh cannot start its wineserver while the one of the prefix's creation is still up).
        subprocess.run([str(WINE_RUN), "cmd", "/c", "exit"], check=True, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL)
        subprocess.run([str(WINE_SESSION), "start"], check=True)
        started_session = True

    failures: List[str] = []
    try:
        # A clean start: the trace switched on, no temporary directory or restart request left by an earlier run.
        temp_on_host = wine_path_on_host(temp_dir)
        if temp_on_host.exists():
            subprocess.run(["rm", "-rf", "--", str(temp_on_host)], check=True)
        reg_delete(restart_key(app_name), view=restart_key_view())
        switch_log(True)
        report_path = out / "main-module-report.txt"
        report_path.unlink(missing_ok=True)
        env = {"ZS_MAIN_MODULE_REPORT": windows_path(report_path), "ZS_MAIN_MODULE_RESTART": "1",
               "WINEDEBUG": "-all,fixme+advapi"}

        build = "the shipped i686 build, under WOW64" if args.bits == 32 else "the x86_64 build"
        if interactive:
            heading(f"Running setup.exe ({build}) under Wine on your display")
            result = run_interactive(medium, env)
        else:
            heading(f"Running setup.exe ({build}) under Wine on a virtual display "
                    f"({winharness.session_display()})")
            result = run_driven(medium, out, args.language, env)
        status = result.status
        print(f"  setup.exe ended with exit status {status}: {EXIT_MEANINGS.get(status, 'unexpected')}")
        if status != 0:
            failures.append(f"setup.exe ended with {status}")

        heading("The setup log (ZEMSETUP.LOG in the Windows directory)")
        log = (log_bytes() or b"").decode(winharness.WIN_INI_ENCODING)
        print("".join("  " + line.replace("\t", "    ") + "\n" for line in log.splitlines()), end="")
        chosen = re.findall(r"^Selected language:(.*)$", log, re.M)
        language = chosen[-1].rstrip("\r") if chosen else args.language

        heading("What the main module (the stand-in _SETUP.EXE) received")
        if not report_path.exists():
            failures.append("the main module did not run")
            print("  nothing: the main module did not run")
        else:
            report = MainModuleReport.parse(report_path.read_bytes().decode(winharness.WIN_INI_ENCODING))
            print(f"  command line:   {report.command_line}")
            print(f"  started as:     {report.program}")
            expected = expected_files(medium, args.bin, start_up)
            for name, (size, digest) in report.files.items():
                source = expected.get(name)
                verdict = "identical to its source" if source is not None and fnv1a64(source) == digest else \
                    "DIFFERS from its source"
                if source is None or fnv1a64(source) != digest:
                    failures.append(f"{name} arrived damaged")
                print(f"  file:           {name:14} {size:8} bytes, {verdict}")
            missing = sorted(set(expected) - set(report.files))
            if missing:
                failures.append(f"not staged: {', '.join(missing)}")
                print(f"  not staged:     {', '.join(missing)}")
            if report.restart_request:
                print(f"  it left:        {report.restart_request}")

        heading("After the main module ended")
        gone = not temp_on_host.exists()
        print(f"  the temporary directory {temp_dir}: {'gone' if gone else 'STILL THERE'}")
        if not gone:
            failures.append("the temporary directory is still there")
        trace = result.restart_trace
        if trace:
            print(f"  restart: setup.exe found the request and called Reboot; Wine accepted the shutdown request "
                  f"and restarts nothing ({trace[-1]})")
        else:
            print("  restart: setup.exe did not ask for a restart")
            if status == 0:
                failures.append("the restart request was not acted on")

        if not interactive:
            heading("Screenshots")
            print(f"  the Select Language dialog of the run: {out / 'select-language.png'}")
            shot = please_wait_screenshot(out, app_name, language)
            print(f"  the please-wait window (shown by the dialog viewer from the same template): {shot}")
    finally:
        reg_delete(restart_key(app_name), view=restart_key_view())
        if started_session:
            subprocess.run([str(WINE_SESSION), "stop"], check=False, capture_output=True)

    heading("Result")
    if failures:
        print("  NOT as expected: " + "; ".join(failures))
        return 1
    print("  the medium was staged, the main module ran with its files, and setup.exe cleaned up after it")
    return 0


if __name__ == "__main__":
    sys.exit(main())
