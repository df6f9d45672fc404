"""End-to-end scenarios under Wine: run the Windows programs of a build (x86_64, or i686 under WOW64), drive their
dialogs through uidriver.exe, and look at what they left behind (files on drive C:, WIN.INI, the registry).

Standard library only. Every Wine run goes through scripts/wine/wine-run.sh (time limit, lock per prefix,
virtual display). Environment:
  ZS_BIN_DIR       the build's bin directory with the programs and ZSRES.DLL (default: build/win64/bin)
  ZS_PROGRAM_BITS  32 or 64: the bitness of those programs (default 64; ctest sets it)
  ZS_WINEPREFIX    the Wine prefix (default: see scripts/wine/wine-common.sh)

A scenario in short:

    run = drive(program_command("setup.exe"), ["wait Select Language", "dump", "press OK", "wait-exit"],
                cwd=media.windows_path)
    window = run.window("Select Language")
    self.assertListItems(window, 1002, ["English", "Deutsch"], selected=0)
"""

import json
import os
import shutil
import subprocess
import tempfile
import time
import unittest
import uuid
from dataclasses import dataclass, field
from functools import lru_cache
from pathlib import Path
from typing import Callable, Dict, List, Optional, Tuple, Union

SOURCE_DIR = Path(__file__).resolve().parents[3]
SCRIPTS_DIR = SOURCE_DIR / "scripts" / "wine"
WINE_RUN = SCRIPTS_DIR / "wine-run.sh"
WINE_TOOL = SCRIPTS_DIR / "wine-tool.sh"
WINE_SESSION = SCRIPTS_DIR / "wine-session.sh"

# WIN.INI as Wine writes it for ANSI programs; reg.exe writes its output in the OEM code page.
WIN_INI_ENCODING = "cp1252"
REG_OUTPUT_ENCODING = "cp437"


# ---------------------------------------------------------------------------------------------------------------
# Places


def bin_dir() -> Path:
    """The build's bin directory (ZS_BIN_DIR), where the programs, the test tools and ZSRES.DLL lie."""
    return Path(os.environ.get("ZS_BIN_DIR", SOURCE_DIR / "build" / "win64" / "bin")).resolve()


def program_bits() -> int:
    """32 or 64: the bitness of the programs in the bin directory (ZS_PROGRAM_BITS). In the 64-bit prefix a 32-bit
    program sees HKEY_LOCAL_MACHINE\\Software through Software\\Wow6432Node; pass it as the registry functions'
    VIEW to see what the program sees."""
    return int(os.environ.get("ZS_PROGRAM_BITS", "64"))


def _wine_tool(*args: str) -> str:
    return subprocess.run([str(WINE_TOOL), *args], check=True, capture_output=True, text=True).stdout.strip()


@lru_cache(maxsize=None)
def prefix() -> Path:
    """The Wine prefix the scripts use."""
    return Path(_wine_tool("prefix"))


def drive_c() -> Path:
    """The directory that Windows programs see as C:\\."""
    return prefix() / "drive_c"


def win_ini_path() -> Path:
    return drive_c() / "windows" / "win.ini"


def windows_path(path: Union[str, Path]) -> str:
    """The Windows path of a Linux path: C:\\... inside drive C:, Z:\\... (the root directory) elsewhere."""
    resolved = Path(os.path.realpath(path))
    drive = Path(os.path.realpath(drive_c()))
    if resolved == drive or drive in resolved.parents:
        return "C:\\" + "\\".join(resolved.relative_to(drive).parts)
    return "Z:" + str(resolved).replace("/", "\\")


def windows_command_line(args: List[str]) -> str:
    """Quotes arguments for CreateProcess the way the C runtime splits them again."""
    return subprocess.list2cmdline(args)


def program_command(program: str, *args: str) -> str:
    """The command line that starts PROGRAM of the bin directory with ARGS."""
    return windows_command_line([windows_path(bin_dir() / program), *args])


# ---------------------------------------------------------------------------------------------------------------
# Running programs


def run_program(program: Union[str, Path], *args: str, timeout: int = 60,
                cwd: Optional[Union[str, Path]] = None) -> subprocess.CompletedProcess:
    """Runs one Windows program under Wine and returns its exit status and output (text). A program that runs
    past TIMEOUT seconds is stopped and the status is 124; 125 means the Wine scripts themselves failed."""
    return subprocess.run([str(WINE_RUN), "--timeout", str(timeout), str(program), *args],
                          cwd=cwd, capture_output=True, text=True, errors="replace", stdin=subprocess.DEVNULL)


def session_display() -> Optional[str]:
    """The X display of the running Wine session, or None when no session runs."""
    result = subprocess.run([str(WINE_SESSION), "display"], capture_output=True, text=True)
    return result.stdout.strip() if result.returncode == 0 else None


# ---------------------------------------------------------------------------------------------------------------
# Media directories


class MediaDir:
    """A fresh directory inside drive C: for one scenario (an installation medium, say), removed afterwards.

        with MediaDir("plain") as media:
            media.write("SETUP.LST", "[Setup]\\r\\n...")
            media.copy(bin_dir() / "setup.exe")
            run = drive(media.command("setup.exe"), [...], cwd=media.windows_path)
    """

    def __init__(self, name: str = "medium"):
        self.path = drive_c() / "zs-e2e" / f"{name}-{uuid.uuid4().hex[:8]}"

    def __enter__(self) -> "MediaDir":
        self.path.mkdir(parents=True)
        return self

    def __exit__(self, *exc) -> None:
        shutil.rmtree(self.path, ignore_errors=True)

    @property
    def windows_path(self) -> str:
        return windows_path(self.path)

    def write(self, name: str, content: Union[str, bytes], encoding: str = WIN_INI_ENCODING) -> Path:
        """Writes a file (text in the ANSI code page, with the line ends as given)."""
        target = self.path / name
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content if isinstance(content, bytes) else content.encode(encoding))
        return target

    def copy(self, source: Union[str, Path], name: Optional[str] = None) -> Path:
        target = self.path / (name or Path(source).name)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        return target

    def command(self, program: str, *args: str) -> str:
        """The command line that starts PROGRAM from this directory."""
        return windows_command_line([windows_path(self.path / program), *args])


# ---------------------------------------------------------------------------------------------------------------
# WIN.INI


def parse_ini(text: str) -> Dict[str, Dict[str, str]]:
    """Sections of an INI text as the profile functions see them: names compared without case (the keys of the
    result are lower case), the first of two equal keys wins, blanks around names and values dropped."""
    sections: Dict[str, Dict[str, str]] = {}
    current: Optional[Dict[str, str]] = None
    for raw in text.splitlines():
        line = raw.strip()
        if line.startswith("["):
            name = line[1:line.index("]")] if "]" in line else line[1:]
            current = sections.setdefault(name.strip().lower(), {})
        elif current is not None and "=" in line and not line.startswith(";"):
            key, value = line.split("=", 1)
            current.setdefault(key.strip().lower(), value.strip())
    return sections


def read_win_ini() -> Dict[str, Dict[str, str]]:
    path = win_ini_path()
    text = path.read_bytes().decode(WIN_INI_ENCODING, errors="replace") if path.exists() else ""
    return parse_ini(text)


def win_ini_section(name: str) -> Optional[Dict[str, str]]:
    """One section of WIN.INI (keys in lower case), or None when it is absent."""
    return read_win_ini().get(name.lower())


def remove_win_ini_section(name: str) -> None:
    """Removes a section from WIN.INI, as a scenario's clean-up. Only while no Wine program runs."""
    path = win_ini_path()
    if not path.exists():
        return
    lines = path.read_bytes().decode(WIN_INI_ENCODING).splitlines(keepends=True)
    kept, skipping = [], False
    for line in lines:
        stripped = line.strip()
        if stripped.startswith("["):
            skipping = stripped[1:].split("]", 1)[0].strip().lower() == name.lower()
        if not skipping:
            kept.append(line)
    path.write_bytes("".join(kept).encode(WIN_INI_ENCODING))


# ---------------------------------------------------------------------------------------------------------------
# Registry, through Wine's reg.exe: the registry reaches the prefix's files only when the wineserver ends. Values
# are read from "reg export" (a UTF-16 file) rather than "reg query", which prints in the OEM code page.
# VIEW (32 or 64, None for reg.exe's own, the 64-bit one) chooses the registry view, as reg.exe's /reg:32 and
# /reg:64 do: program_bits() sees the registry as the build's programs see it.

RegValue = Union[str, int, bytes, List[str]]


def _reg(*args: str, view: Optional[int] = None) -> subprocess.CompletedProcess:
    view_args = [f"/reg:{view}"] if view is not None else []
    result = subprocess.run([str(WINE_RUN), "--timeout", "60", "reg", *args, *view_args], capture_output=True,
                            stdin=subprocess.DEVNULL)
    output = result.stdout.decode(REG_OUTPUT_ENCODING, errors="replace")
    if result.returncode == 125:
        raise RuntimeError(f"wine-run.sh failed: {result.stderr.decode(errors='replace')}")
    return subprocess.CompletedProcess(result.args, result.returncode, output,
                                       result.stderr.decode(errors="replace"))


def _unquote(text: str) -> Tuple[str, str]:
    """The string at the start of TEXT (which begins with a quote), unescaped, and the rest after it."""
    chars, i = [], 1
    while i < len(text) and text[i] != '"':
        if text[i] == "\\" and i + 1 < len(text):
            i += 1
        chars.append(text[i])
        i += 1
    return "".join(chars), text[i + 1:]


def _reg_data(data: str) -> RegValue:
    if data.startswith('"'):
        return _unquote(data)[0]
    if data.startswith("dword:"):
        return int(data[6:], 16)
    kind, _, hex_bytes = data.partition(":")
    raw = bytes(int(b, 16) for b in hex_bytes.split(",") if b)
    if kind == "hex(2)":  # REG_EXPAND_SZ
        return raw.decode("utf-16-le").rstrip("\0")
    if kind == "hex(7)":  # REG_MULTI_SZ
        return [item for item in raw.decode("utf-16-le").split("\0") if item]
    if kind == "hex(b)":  # REG_QWORD
        return int.from_bytes(raw, "little")
    return raw


def parse_reg_export(text: str) -> Dict[Optional[str], RegValue]:
    """The values of the first key of a .reg file: names in lower case (None for the default value)."""
    lines = text.replace("\\\r\n", "").replace("\\\n", "").splitlines()
    values: Dict[Optional[str], RegValue] = {}
    sections = 0
    for line in lines:
        line = line.strip()
        if line.startswith("["):
            sections += 1
        elif sections == 1 and line.startswith("@="):
            values[None] = _reg_data(line[2:])
        elif sections == 1 and line.startswith('"'):
            name, rest = _unquote(line)
            values[name.lower()] = _reg_data(rest[1:])
    return values


def reg_values(key: str, view: Optional[int] = None) -> Optional[Dict[Optional[str], RegValue]]:
    """All values of a key (see parse_reg_export), or None when the key does not exist."""
    with tempfile.TemporaryDirectory(prefix="zs-reg-") as work:
        exported = Path(work) / "key.reg"
        if _reg("export", key, windows_path(exported), "/y", view=view).returncode != 0 or not exported.exists():
            return None
        return parse_reg_export(exported.read_bytes().decode("utf-16"))


def reg_query(key: str, value: Optional[str] = None, view: Optional[int] = None) -> Optional[RegValue]:
    """A value of the registry (the default value when VALUE is None): str for REG_SZ and REG_EXPAND_SZ,
    int for REG_DWORD and REG_QWORD, bytes for REG_BINARY, list for REG_MULTI_SZ; None when it is absent."""
    values = reg_values(key, view)
    return None if values is None else values.get(None if value is None else value.lower())


def reg_key_exists(key: str, view: Optional[int] = None) -> bool:
    return _reg("query", key, view=view).returncode == 0


def reg_add(key: str, value: Optional[str], data: Union[str, int], kind: Optional[str] = None,
            view: Optional[int] = None) -> None:
    """Sets a value (the default value when VALUE is None); ints are written as REG_DWORD unless KIND says."""
    kind = kind or ("REG_DWORD" if isinstance(data, int) else "REG_SZ")
    args = ["add", key] + (["/v", value] if value is not None else ["/ve"]) + ["/t", kind, "/d", str(data), "/f"]
    result = _reg(*args, view=view)
    if result.returncode != 0:
        raise RuntimeError(f"reg add {key} failed: {result.stdout}{result.stderr}")


def reg_delete(key: str, value: Optional[str] = None, view: Optional[int] = None) -> None:
    """Deletes a value, or the whole key when VALUE is None; nothing happens when it is absent."""
    _reg("delete", key, *(["/v", value] if value is not None else []), "/f", view=view)


# ---------------------------------------------------------------------------------------------------------------
# The UI driver

Event = Dict[str, object]


@dataclass
class DriverRun:
    """What uidriver.exe reported about one scenario: its JSON lines in order, and its own exit status."""
    events: List[Event]
    returncode: int
    output: str = ""
    host_results: Dict[str, object] = field(default_factory=dict)

    @property
    def ok(self) -> bool:
        return self.returncode == 0 and any(e.get("event") == "done" and e.get("ok") for e in self.events)

    @property
    def errors(self) -> List[Event]:
        return [e for e in self.events if e.get("event") == "error"]

    @property
    def exit_code(self) -> Optional[int]:
        """The program's exit code when it ended by itself, else None."""
        for event in self.events:
            if event.get("event") == "exited":
                return int(event["code"])
        return None

    @property
    def killed(self) -> bool:
        return any(e.get("event") == "killed" for e in self.events)

    def windows(self, caption: Optional[str] = None) -> List[Event]:
        """Every window that a "dump" reported, in order, optionally only those with CAPTION."""
        return [e for e in self.events
                if e.get("event") == "window" and (caption is None or e.get("caption") == caption)]

    def window(self, caption: Optional[str] = None) -> Event:
        """The last report of a window with CAPTION (of any window when None)."""
        found = self.windows(caption)
        if not found:
            raise AssertionError(f"no window {caption!r} was reported; seen: "
                                 f"{[w.get('caption') for w in self.windows()]}\n{self.describe()}")
        return found[-1]

    def message_boxes(self) -> List[Event]:
        """The "message_box" part of every message box reported, in order (text, icon, buttons)."""
        return [dict(w["message_box"], caption=w.get("caption")) for w in self.windows() if "message_box" in w]

    def step(self, index: int) -> Event:
        for event in self.events:
            if event.get("event") in ("step", "error") and event.get("index") == index:
                return event
        raise AssertionError(f"step {index} has no report\n{self.describe()}")

    def describe(self) -> str:
        lines = [json.dumps(e, ensure_ascii=False) for e in self.events]
        return "uidriver exit status %d\n%s\n%s" % (self.returncode, "\n".join(lines), self.output)


def control(window: Event, control_id: int) -> Event:
    """The control with CONTROL_ID of a reported window."""
    for item in window.get("controls", []):
        if item.get("id") == control_id:
            return item
    raise AssertionError(f"window {window.get('caption')!r} has no control {control_id}: "
                         f"{[c.get('id') for c in window.get('controls', [])]}")


def static_texts(window: Event) -> Dict[int, str]:
    """The texts of a window's static controls by control ID."""
    return {c["id"]: c["text"] for c in window.get("controls", []) if c.get("class", "").lower() == "static"}


def button_texts(window: Event) -> List[str]:
    return [c["text"].replace("&", "") for c in window.get("controls", []) if c.get("class", "").lower() == "button"]


SyncHandler = Callable[[str, List[Event]], object]


def drive(command_line: str, steps: List[str], cwd: Optional[str] = None, wait_limit_ms: int = 10000,
          total_limit_ms: int = 60000, on_sync: Optional[SyncHandler] = None) -> DriverRun:
    """Runs COMMAND_LINE (a Windows command line, see program_command) under uidriver.exe with STEPS (see
    tests/win/README.md) and returns what it reported. At each "sync NAME" step ON_SYNC(NAME, events so far)
    runs on this side while the program waits; its result is kept in host_results[NAME]."""
    work = Path(tempfile.mkdtemp(prefix="zs-uidriver-"))
    report = work / "report.jsonl"
    report.touch()
    args = [str(WINE_RUN), "--timeout", str(total_limit_ms // 1000 + 30), str(bin_dir() / "uidriver.exe"),
            "--out", windows_path(report), "--sync-dir", windows_path(work),
            "--wait-limit", str(wait_limit_ms), "--total-limit", str(total_limit_ms),
            "--run", command_line]
    if cwd:
        args += ["--cwd", cwd]
    args += steps
    host_results: Dict[str, object] = {}
    try:
        # Output to files, not pipes: nothing can block on a full pipe while the scenario runs.
        with open(work / "stdout", "wb") as out, open(work / "stderr", "wb") as err, \
                subprocess.Popen(args, stdin=subprocess.DEVNULL, stdout=out, stderr=err) as proc:
            _answer_syncs(proc, report, work, on_sync, host_results)
        output = (work / "stdout").read_bytes() + (work / "stderr").read_bytes()
        return DriverRun(_read_events(report), proc.returncode, output.decode(errors="replace"), host_results)
    finally:
        shutil.rmtree(work, ignore_errors=True)


def _read_events(report: Path) -> List[Event]:
    """The complete lines of the report (the driver may be writing the next one)."""
    complete = report.read_bytes().rpartition(b"\n")[0] if report.exists() else b""
    return [json.loads(line) for line in complete.decode("utf-8", errors="replace").splitlines() if line.strip()]


def _answer_syncs(proc: subprocess.Popen, report: Path, work: Path, on_sync: Optional[SyncHandler],
                  host_results: Dict[str, object]) -> None:
    """Answers the driver's sync events while it runs."""
    answered = 0
    while True:
        running = proc.poll() is None
        events = _read_events(report)
        syncs = [e for e in events if e.get("event") == "sync"]
        for event in syncs[answered:]:
            name = str(event["name"])
            if on_sync is not None:
                host_results[name] = on_sync(name, events)
            (work / f"{name}.continue").touch()
            answered += 1
        if not running:
            return
        time.sleep(0.05)


# ---------------------------------------------------------------------------------------------------------------
# Assertions


class WineTestCase(unittest.TestCase):
    """Assertions for scenarios; each failure message carries the driver's whole report."""

    maxDiff = None

    @classmethod
    def setUpClass(cls) -> None:
        super().setUpClass()
        if not (bin_dir() / "uidriver.exe").exists():
            raise unittest.SkipTest(f"uidriver.exe not found in {bin_dir()} (set ZS_BIN_DIR)")

    def require_program(self, name: str) -> Path:
        path = bin_dir() / name
        if not path.exists():
            self.fail(f"{name} not found in {bin_dir()}")
        return path

    def assertDriverOk(self, run: DriverRun) -> None:
        if not run.ok:
            self.fail("the scenario did not run through:\n" + run.describe())

    def assertDriverFailed(self, run: DriverRun, message_part: str) -> Event:
        """The driver stopped at a failed step whose message contains MESSAGE_PART; returns that error."""
        errors = run.errors
        if run.returncode != 1 or not errors or message_part not in str(errors[0].get("message")):
            self.fail(f"expected a failed step with {message_part!r}:\n" + run.describe())
        return errors[0]

    def assertExitCode(self, run: DriverRun, code: int) -> None:
        if run.exit_code != code:
            self.fail(f"expected the program to end with {code}, got {run.exit_code}:\n" + run.describe())

    def assertStaticTexts(self, window: Event, expected: Dict[int, str]) -> None:
        """The static controls named in EXPECTED show those texts (others are not checked)."""
        texts = static_texts(window)
        self.assertEqual({k: texts.get(k) for k in expected}, expected,
                         f"static texts of {window.get('caption')!r}")

    def assertListItems(self, window: Event, control_id: int, items: List[str],
                        selected: Optional[int] = None) -> None:
        list_box = control(window, control_id)
        self.assertEqual(list_box.get("items"), items, f"items of list {control_id}")
        if selected is not None:
            self.assertEqual(list_box.get("selected"), selected, f"selection of list {control_id}")

    def assertMessageBox(self, run: DriverRun, text: str, icon: Optional[str] = None,
                         caption: Optional[str] = None, buttons: Optional[List[str]] = None) -> Event:
        """Some reported message box shows TEXT (and ICON, CAPTION, BUTTONS when given); returns it."""
        for box in run.message_boxes():
            if box["text"] != text:
                continue
            actual = {"icon": box["icon"], "caption": box["caption"], "buttons": box["buttons"]}
            wanted = {"icon": icon, "caption": caption, "buttons": buttons}
            self.assertEqual({k: actual[k] for k, v in wanted.items() if v is not None},
                             {k: v for k, v in wanted.items() if v is not None}, f"message box {text!r}")
            return box
        self.fail(f"no message box with text {text!r}:\n" + run.describe())
