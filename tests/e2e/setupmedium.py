"""Installation media for the scenarios of setup.exe: a directory in drive C: with setup.exe, a resource library,
SETUP.LST and whatever else a scenario puts there, and the means to run setup.exe from it under the UI driver
and look at what the run left: the setup log, WIN.INI, the temporary directory.

Until setup.exe stages its start-up files, a run that gets past the temporary directory ends there with exit
status 3 and, when ZS_SETUP_STAGING_REPORT names a file, writes its run state to it (read_staging_report).
"""

import contextlib
import os
from pathlib import Path
from typing import Dict, Iterator, List, Optional, Sequence, Tuple, Union

from winharness import (WIN_INI_ENCODING, DriverRun, MediaDir, bin_dir, drive, drive_c, remove_win_ini_section,
                        win_ini_path, windows_path)

# Exit status of setup.exe.
EXIT_COMPLETED = 0
EXIT_CANCELLED = 1
EXIT_STOPPED = 2
EXIT_REACHED_STAGING = 3

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


class SetupMedium(MediaDir):
    """A medium with setup.exe and a resource library (the real one, or a test variant from bin/VARIANT)."""

    def __init__(self, name: str = "m", library: Optional[str] = "", program_dir: str = ""):
        super().__init__(name)
        self.library = library
        self.program_dir = program_dir

    def __enter__(self) -> "SetupMedium":
        super().__enter__()
        self.copy(bin_dir() / "setup.exe", self._in_program_dir("setup.exe"))
        if self.library is not None:
            source = bin_dir() / self.library / "ZSRES.DLL" if self.library else bin_dir() / "ZSRES.DLL"
            self.copy(source, self._in_program_dir("ZSRES.DLL"))
        return self

    def _in_program_dir(self, name: str) -> str:
        return f"{self.program_dir}/{name}" if self.program_dir else name

    @property
    def program_windows_dir(self) -> str:
        """The directory of setup.exe as the program sees it, with its trailing backslash."""
        return windows_path(self.path / self.program_dir) + "\\" if self.program_dir else self.windows_path + "\\"

    @property
    def temp_dir(self) -> Path:
        """A temporary directory for TmpDirName inside the medium (removed with it); not created here."""
        return self.path / "TMP"

    def write_list(self, sections: Union[ListFile, str]) -> None:
        text = sections if isinstance(sections, str) else ini_text(sections)
        self.write(self._in_program_dir("SETUP.LST"), text)

    def write_profile(self, sections: ListFile) -> None:
        self.write(self._in_program_dir("ZSPROFIL.INI"), ini_text(sections))

    def run(self, steps: List[str], args: Sequence[str] = (), env: Optional[Dict[str, Optional[str]]] = None,
            **options) -> DriverRun:
        """Runs setup.exe from this medium under the driver, with the staging report switched on."""
        report = self.path / "staging-report.txt"
        report.unlink(missing_ok=True)
        variables = {"ZS_SETUP_STAGING_REPORT": windows_path(report)}
        variables.update(env or {})
        with environment(**variables):
            return drive(self.command(self._in_program_dir("setup.exe"), *args), steps, cwd=self.windows_path,
                         **options)

    def staging_report(self) -> Optional[Dict[str, str]]:
        """The run state that a run which reached the staging step reported, or None."""
        report = self.path / "staging-report.txt"
        if not report.exists():
            return None
        text = report.read_bytes().decode(WIN_INI_ENCODING)
        return dict(line.split("=", 1) for line in text.splitlines() if "=" in line)


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


def clean_wine_state() -> None:
    """What a setup.exe run may leave in the prefix: the log switch and the two WIN.INI sections."""
    switch_log(False)
    remove_win_ini_section(LAUNCHER_SECTION)
    remove_win_ini_section(HAND_OFF_SECTION)
