"""Installation media for the scenarios of setup.exe: a directory in drive C: with setup.exe, a resource library,
SETUP.LST, the stand-in main module as _SETUP.EXE and whatever else a scenario puts there, and the means to run
setup.exe from it under the UI driver and look at what the run left: the setup log, WIN.INI, the registry, the
temporary directory, and what the main module received (main_module_report).

The stand-in main module (examples/medium/main_module) writes its command line and the files beside it to the
file that ZS_MAIN_MODULE_REPORT names; run() points it at a file of the medium. It leaves a restart request when
ZS_MAIN_MODULE_RESTART is set, runs a second program while it runs with ZS_MAIN_MODULE_RUN, and keeps a file
open after it has ended with ZS_MAIN_MODULE_HOLD.
"""

import contextlib
import os
import subprocess
import tempfile
import unittest
from dataclasses import dataclass, field
from pathlib import Path
from typing import Dict, Iterator, List, Optional, Sequence, Tuple, Union

from winharness import (WIN_INI_ENCODING, DriverRun, MediaDir, bin_dir, drive, drive_c, program_bits, reg_delete,
                        remove_win_ini_section, win_ini_path, windows_path)

# Exit status of setup.exe.
EXIT_COMPLETED = 0
EXIT_CANCELLED = 1
EXIT_STOPPED = 2
EXIT_RESTART_NEEDED = 3
EXIT_NOT_PUT_BACK = 4

MAIN_MODULE = "_SETUP.EXE"
MAIN_MODULE_STAND_IN = "main_module_stand_in.exe"
# Where setup.exe looks for a restart request: HKEY_LOCAL_MACHINE, "Software\Zemrova\" + AppName + "\Setup",
# in the registry view of its bitness (restart_key_view).
RESTART_KEY_ROOT = "HKEY_LOCAL_MACHINE\\Software\\Zemrova"

# Time limits of one scenario run: generous, since the machine may be busy with builds, and only a scenario that
# fails runs into them.
WAIT_LIMIT_MS = 30000
TOTAL_LIMIT_MS = 120000

LANGUAGE_DIALOG_CAPTION = "Select Language"
LOCATION_DIALOG_CAPTION = "Select Location"
LANGUAGE_LIST = 1002
LANGUAGE_LABEL = 1005
WAIT_TEXT = 1000

LAUNCHER_SECTION = "ZemStpLauncher"
HAND_OFF_SECTION = "Zemsetup32"

# The catalogue of the shipped ZSRES.DLL as the log shows it.
CATALOGUE = ["English0101", "Deutsch0201", "Magyar0301", "Italiano0401", "Francais1001", "Nederlands1301",
             "Espanol1401", "Brasileiro0801", "Cesky1501", "Hrvatski1201", "Polski1601", "Romana1701"]

ListFile = Sequence[Tuple[str, Sequence[Tuple[str, str]]]]


def list_file(languages: Sequence[str] = ("English,E",), filter_code: Optional[str] = "E",
              edition: Optional[str] = None, app_name: Optional[str] = "Demo",
              tmp_dir_size: Optional[str] = "1000", tmp_dir_name: Optional[str] = None,
              start_up: Sequence[str] = ("_SETUP.EXE",)) -> ListFile:
    """The sections of a SETUP.LST; a value of None leaves its key out."""
    setup_lang = [] if filter_code is None else [("0", filter_code)]
    setup_lang += [(str(i), entry) for i, entry in enumerate(languages, 1)]
    if edition is not None:
        setup_lang.append(("100", edition))
    startup = [(key, value) for key, value in
               (("AppName", app_name), ("TmpDirSize", tmp_dir_size), ("TmpDirName", tmp_dir_name))
               if value is not None]
    startup += [(str(i), name) for i, name in enumerate(start_up, 1)]
    return [("SetupLang", setup_lang), ("StartUp", startup)]


def ini_text(sections: ListFile) -> str:
    lines = []
    for name, entries in sections:
        lines.append(f"[{name}]")
        lines += [f"{key}={value}" for key, value in entries]
    return "\r\n".join(lines) + "\r\n"


@contextlib.contextmanager
def environment(**variables: Optional[str]) -> Iterator[None]:
    """Sets (or, for None, removes) environment variables for the programs started inside the block."""
    saved = {name: os.environ.get(name) for name in variables}
    try:
        for name, value in variables.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value
        yield
    finally:
        for name, value in saved.items():
            if value is None:
                os.environ.pop(name, None)
            else:
                os.environ[name] = value


# ---------------------------------------------------------------------------------------------------------------
# The setup log in the Windows directory


def setup_log_path() -> Path:
    return drive_c() / "windows" / "ZEMSETUP.LOG"


def switch_log(on: bool) -> None:
    """Creates an empty ZEMSETUP.LOG (the trace is on) or removes it (off)."""
    path = setup_log_path()
    if on:
        path.write_bytes(b"")
    else:
        path.unlink(missing_ok=True)


def log_bytes() -> Optional[bytes]:
    path = setup_log_path()
    return path.read_bytes() if path.exists() else None


def log_lines() -> List[str]:
    """The lines of the setup log, each of which must end in CR LF."""
    data = log_bytes() or b""
    if not data:
        return []
    assert data.endswith(b"\r\n"), f"the log does not end with CR LF: {data[-20:]!r}"
    lines = data[:-2].split(b"\r\n")
    assert not any(b"\n" in line or b"\r" in line for line in lines), f"a line end other than CR LF: {data!r}"
    return [line.decode(WIN_INI_ENCODING) for line in lines]


def catalogue_log_lines() -> List[str]:
    return ["Number of setup languages:12"] + ["\t" + entry for entry in CATALOGUE]


# ---------------------------------------------------------------------------------------------------------------
# Media


def fnv1a64(data: bytes) -> str:
    """The stand-in main module's hash of a file it received, as it writes it."""
    value = 14695981039346656037
    for byte in data:
        value = ((value ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return f"{value:016x}"


@dataclass
class MainModuleReport:
    """What the stand-in main module received: its command line, its own path, its current directory, the files
    beside it (name: (size, hash)), the restart request it left, if any, and the exit status of the program it
    ran (ZS_MAIN_MODULE_RUN)."""
    command_line: str = ""
    program: str = ""
    current_directory: str = ""
    files: Dict[str, Tuple[int, str]] = field(default_factory=dict)
    restart_request: Optional[str] = None
    run_exit: Optional[str] = None

    @classmethod
    def parse(cls, text: str) -> "MainModuleReport":
        report = cls()
        for line in text.splitlines():
            key, _, value = line.partition("=")
            if key == "file":
                name, size, digest = value.split("\t")
                report.files[name] = (int(size), digest)
            elif key in ("command_line", "program", "current_directory", "restart_request", "run_exit"):
                setattr(report, key, value)
        return report

    def received(self, name: str, contents: bytes) -> bool:
        """The module found NAME beside it with exactly these CONTENTS."""
        return self.files.get(name) == (len(contents), fnv1a64(contents))


class SetupMedium(MediaDir):
    """A medium with setup.exe, a resource library (the real one, or a test variant from bin/VARIANT) and the
    stand-in main module stored as _SETUP.EXE (unless main_module is False)."""

    def __init__(self, name: str = "m", library: Optional[str] = "", program_dir: str = "",
                 main_module: bool = True):
        super().__init__(name)
        self.library = library
        self.program_dir = program_dir
        self.main_module = main_module

    def __enter__(self) -> "SetupMedium":
        super().__enter__()
        self.copy(bin_dir() / "setup.exe", self._in_program_dir("setup.exe"))
        if self.library is not None:
            source = bin_dir() / self.library / "ZSRES.DLL" if self.library else bin_dir() / "ZSRES.DLL"
            self.copy(source, self._in_program_dir("ZSRES.DLL"))
        if self.main_module:
            self.copy(bin_dir() / MAIN_MODULE_STAND_IN, self._in_program_dir(MAIN_MODULE))
        return self

    def _in_program_dir(self, name: str) -> str:
        return f"{self.program_dir}/{name}" if self.program_dir else name

    @property
    def program_path(self) -> Path:
        """The directory of setup.exe."""
        return self.path / self.program_dir if self.program_dir else self.path

    @property
    def program_windows_dir(self) -> str:
        """The directory of setup.exe as the program sees it, with its trailing backslash."""
        return windows_path(self.path / self.program_dir) + "\\" if self.program_dir else self.windows_path + "\\"

    @property
    def temp_dir(self) -> Path:
        """A temporary directory for TmpDirName inside the medium (removed with it); not created here."""
        return self.path / "TMP"

    @property
    def report_path(self) -> Path:
        return self.path / "main-module-report.txt"

    def write_program_file(self, name: str, content: Union[str, bytes]) -> Path:
        """Writes a file beside setup.exe (a start-up file of the medium)."""
        return self.write(self._in_program_dir(name), content)

    def write_list(self, sections: Union[ListFile, str]) -> None:
        text = sections if isinstance(sections, str) else ini_text(sections)
        self.write(self._in_program_dir("SETUP.LST"), text)

    def write_profile(self, sections: ListFile) -> None:
        self.write(self._in_program_dir("ZSPROFIL.INI"), ini_text(sections))

    def run(self, steps: List[str], args: Sequence[str] = (), env: Optional[Dict[str, Optional[str]]] = None,
            command_line: Optional[str] = None, cwd: Optional[str] = None, **options) -> DriverRun:
        """Runs setup.exe from this medium under the driver (or COMMAND_LINE in CWD, for the medium seen through
        another path); the main module reports to report_path."""
        self.report_path.unlink(missing_ok=True)
        variables = {"ZS_MAIN_MODULE_REPORT": windows_path(self.report_path), "ZS_MAIN_MODULE_RESTART": None,
                     "ZS_MAIN_MODULE_SHOW": None, "ZS_MAIN_MODULE_EXIT": None,
                     "ZS_MAIN_MODULE_DELAY_MS": None, "ZS_MAIN_MODULE_WRITE": None, "ZS_MAIN_MODULE_RUN": None,
                     "ZS_MAIN_MODULE_HOLD": None}
        variables.update(env or {})
        options.setdefault("wait_limit_ms", WAIT_LIMIT_MS)
        options.setdefault("total_limit_ms", TOTAL_LIMIT_MS)
        with environment(**variables):
            return drive(command_line or self.command(self._in_program_dir("setup.exe"), *args), steps,
                         cwd=cwd or self.windows_path, **options)

    def main_module_report(self) -> Optional[MainModuleReport]:
        """What the main module received in the last run, or None when it did not run."""
        if not self.report_path.exists():
            return None
        return MainModuleReport.parse(self.report_path.read_bytes().decode(WIN_INI_ENCODING))


def screen_centre() -> Tuple[int, int]:
    """The centre of the virtual screen (ZS_WINE_SCREEN, as the Wine scripts start it), where the work area is the
    whole screen."""
    width, height = os.environ.get("ZS_WINE_SCREEN", "1024x768x24").split("x")[:2]
    return int(width) // 2, int(height) // 2


def window_centre(window) -> Tuple[int, int]:
    rect = window["rect"]
    return rect["x"] + rect["width"] // 2, rect["y"] + rect["height"] // 2


def add_win_ini_section(name: str, entries: Sequence[Tuple[str, str]]) -> None:
    """Appends a section to WIN.INI, as a launcher would have left it. Only while no Wine program runs."""
    path = win_ini_path()
    text = path.read_bytes() if path.exists() else b""
    if text and not text.endswith(b"\n"):
        text += b"\r\n"
    text += ini_text([(name, entries)]).encode(WIN_INI_ENCODING)
    path.write_bytes(text)


def restart_key(app_name: str = "Demo") -> str:
    return f"{RESTART_KEY_ROOT}\\{app_name}\\Setup"


def restart_key_view() -> int:
    """The registry view in which setup.exe and the main module of the build under test see the restart key: an
    i686 setup.exe reads it through Software\\Wow6432Node. Pass it as VIEW to the registry functions."""
    return program_bits()


def clean_wine_state(registry: bool = False) -> None:
    """What a setup.exe run may leave in the prefix: the log switch, the two WIN.INI sections and (with REGISTRY,
    for scenarios that leave restart requests) the registry keys under Software\\Zemrova."""
    switch_log(False)
    remove_win_ini_section(LAUNCHER_SECTION)
    remove_win_ini_section(HAND_OFF_SECTION)
    if registry:
        reg_delete(RESTART_KEY_ROOT, view=restart_key_view())


def mount_small_tmpfs(test: unittest.TestCase, size: str, prefix_name: str) -> Path:
    """A tmpfs of `size` (mount's notation, such as 4m) in a new directory, unmounted and removed when the test
    ends: a small drive for "not enough space" and "disk full" runs. Mounting needs root; the test is skipped
    otherwise."""
    if os.geteuid() != 0:
        test.skipTest("mounting a small drive needs root")
    small = Path(tempfile.mkdtemp(prefix=prefix_name))
    test.addCleanup(small.rmdir)
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", f"size={size}", "tmpfs", str(small)],
                             capture_output=True)
    if mounted.returncode != 0:
        test.skipTest(f"cannot mount a tmpfs: {mounted.stderr.decode(errors='replace').strip()}")
    test.addCleanup(subprocess.run, ["umount", "--lazy", str(small)], check=True)
    return small
