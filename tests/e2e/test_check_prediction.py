"""The media tool's prediction against setup.exe itself: broken media, each checked with `zemcmp check --json` and run
through setup.exe under Wine with a user who presses OK in every window (so the Select Language dialog keeps its
first item, as the check assumes). The message the check predicts (its text, and the step of the run it names, seen
in the setup log) is the message box setup.exe shows, or both say that the main module starts, or that the run
ends as cancelled.

Where Wine's profile reader or loader reads a medium differently from Windows, the check follows Windows: such a
case is marked with the difference, the check's Windows prediction is asserted, and that Wine indeed differs.

The media tool is the native one (ZS_ZEMCMP, else build/native/bin/zemcmp of this source tree); without it,
zemcmp.exe of the Windows build runs under Wine."""

import hashlib
import json
import os
import random
import subprocess
import tempfile
import unittest
from dataclasses import dataclass, field
from pathlib import Path
from typing import Dict, List, Optional, Tuple

from setupmedium import (EXIT_CANCELLED, EXIT_COMPLETED, EXIT_STOPPED, MAIN_MODULE, MAIN_MODULE_STAND_IN, SetupMedium,
                         clean_wine_state, log_lines, switch_log)
from winharness import SOURCE_DIR, WineTestCase, bin_dir, run_program, windows_path

CLEAN = {"SetupLang": [("0", "E"), ("1", "English,E")],
         "StartUp": [("AppName", "Demo"), ("TmpDirSize", "1000"), ("TmpDirName", "{tmp}"), ("1", MAIN_MODULE)]}

# The step of the run the check names, as the setup log shows it: the lines the run wrote before it stopped.
PHASE_SEEN_IN_LOG = {
    "resource-library": lambda lines: lines == [],
    "list-file": lambda lines: lines[-1:] == ["Checking list file..."],
    "languages": lambda lines: lines[-1] == "Checking available languages:SETUPLANG"
    or lines[-1].startswith("Supported languages:"),
    "application-name": lambda lines: lines[-1:] == ["Checking list file structure:APPNAME"],
    "space-requirement": lambda lines: lines[-1:] == ["Checking list file structure:TMPDIR_SIZE"],
    "selection": lambda lines: "Preparing for display Select Language dialog..." in lines
    and not any(line.startswith("Selected language:") for line in lines),
    "temporary-directory": lambda lines: lines[-1:] == ["[local,admin] Creating tmp directory..."],
    "staging": lambda lines: "Initializing setup files..." in lines
    and "Attempting to launch main setup module..." not in lines,
    "launch": lambda lines: lines[-1].startswith("CreateProcess failed with error code: "),
}


def list_text(sections=None, **replace) -> str:
    """SETUP.LST with CR LF line ends: the clean list, with keys of SECTIONS replaced ({"StartUp": {"2": "X"}},
    a value None removes the key)."""
    lines = []
    for name, entries in CLEAN.items():
        changes = dict((sections or {}).get(name, {}))
        lines.append(f"[{name}]")
        for key, value in entries:
            value = changes.pop(key, value)
            if value is not None:
                lines.append(f"{key}={value}")
        lines += [f"{key}={value}" for key, value in changes.items() if value is not None]
    return "\r\n".join(lines) + "\r\n"


@dataclass
class Case:
    name: str
    list_file: object = None  # text (str, {tmp} for the temporary directory) or bytes; None: the clean list
    files: Dict[str, bytes] = field(default_factory=dict)  # beside setup.exe
    compressed: Dict[str, bytes] = field(default_factory=dict)  # stored name -> plain contents, compressed
    cut_compressed: bool = False  # the compressed files lose the second half of their bytes
    remove: List[str] = field(default_factory=list)
    profile: Optional[bytes] = None  # ZSPROFIL.INI
    program_dir: str = ""
    library: str = ""  # a test variant of ZSRES.DLL (bin/VARIANT); empty: the one built
    # [StartUpSeals]: file name -> the contents it seals (bytes), or the value as written (str).
    seals: Dict[str, object] = field(default_factory=dict)
    # One byte of the compressed files' code stream changed where the body still decodes, to other bytes.
    damage_compressed: bool = False
    codes: Tuple[str, ...] = ()  # findings the check must report besides its prediction
    # A known difference of Wine: (why, the check's prediction on Windows as (outcome, message text or None)).
    wine_differs: Optional[tuple] = None


def seal(contents: bytes) -> str:
    return "sha256:" + hashlib.sha256(contents).hexdigest()


def sealed_text(size: int) -> bytes:
    """Lines of words: a text that compresses as text does."""
    words = "setup medium file seal staged compressed window language start module directory list value".split()
    rng, lines, number = random.Random(7), [], 0
    while sum(map(len, lines)) < size:
        lines.append(f"Line {number}: " + " ".join(rng.choice(words) for _ in range(8)) + ".\r\n")
        number += 1
    return "".join(lines).encode()[:size]


LOCATION = {"SetupLang": {"100": "Zem Standard Edition"}}
PROFILE = b"[Wien]\r\nName=Austria\r\nSetup=English\r\n"


def other_build_library() -> Optional[bytes]:
    """ZSRES.DLL of the other Windows build of this source tree (the other machine type), when it is built."""
    other = "win32" if bin_dir().parent.name == "win64" else "win64"
    path = bin_dir().parent.parent / other / "bin" / "ZSRES.DLL"
    return path.read_bytes() if path.is_file() else None


def cases() -> List[Case]:
    stand_in = (bin_dir() / MAIN_MODULE_STAND_IN).read_bytes()
    text = sealed_text(200000)
    data_list = list_text({"StartUp": {"2": "DATA.BIN"}})
    other_library = other_build_library()
    machine_cases = [Case("ZSRES.DLL of the other machine type", files={"ZSRES.DLL": other_library})] \
        if other_library else []
    return machine_cases + [
        Case("a clean medium"),
        Case("a second [StartUp] section is never read",
             "[SetupLang]\r\n0=E\r\n1=English,E\r\n[StartUp]\r\nAppName=Demo\r\nTmpDirSize=1000\r\n"
             "TmpDirName={tmp}\r\n[StartUp]\r\n1=_SETUP.EXE\r\n"),
        Case("a header written with two brackets names another section",
             list_text().replace("[StartUp]", "[[StartUp]]")),
        Case("lines that end with CR alone", list_text().replace("\r\n", "\r")),
        Case("a UTF-16 file with its byte-order mark", b"\xff\xfe" + list_text().encode("utf-16-le")),
        Case("a Ctrl-Z at the end and after a value",
             list_text({"StartUp": {"1": MAIN_MODULE + "\x1a"}}) + "\x1a"),
        Case("a form feed after a value", list_text({"StartUp": {"AppName": "Demo\f"}})),
        Case("blanks around names and values", list_text().replace("1=_SETUP.EXE", "  1  =  _SETUP.EXE  ")),
        Case("a key written twice: the first counts",
             list_text({"StartUp": {"1": "MISSING.DLL"}}) + "1=_SETUP.EXE\r\n"),
        Case("a start-up entry longer than 31 characters is staged cut",
             list_text({"StartUp": {"2": "A_VERY_LONG_FILE_NAME_OF_40_CHARS.DAT"}}),
             files={"A_VERY_LONG_FILE_NAME_OF_40_CHA": b"cut"}),
        Case("a name with a trailing dot", list_text({"StartUp": {"2": "DATA.BIN."}}), files={"DATA.BIN": b"d"}),
        Case("a quoted name with a trailing blank", list_text({"StartUp": {"2": '"DATA.BIN "'}}),
             files={"DATA.BIN": b"d"}),
        Case("NUL is a device", list_text({"StartUp": {"2": "NUL"}})),
        Case("COM1 is a device", list_text({"StartUp": {"2": "COM1"}})),
        Case("aux.txt is a device", list_text({"StartUp": {"2": "aux.txt"}})),
        Case("a medium file whose name Windows cannot hold", list_text({"StartUp": {"2": "DATA|1.BIN"}}),
             files={"DATA|1.BIN": b"d"}),
        Case("a name without a dot in a directory with one: the whole path's last dot",
             list_text({"StartUp": {"2": "README"}}), compressed={"READM_": b"read me"}, program_dir="SETUP.V2"),
        Case("the same file stored under the file name's own compressed name",
             list_text({"StartUp": {"2": "README"}}), compressed={"README._": b"read me"}, program_dir="SETUP.V2"),
        Case("a path among the entries stops the run before a missing file",
             list_text({"StartUp": {"2": "MISSING.DLL", "3": "..\\OUT.TXT"}})),
        Case("AppName is read before the location profile",
             list_text({"SetupLang": {"100": "Zem Standard Edition"}, "StartUp": {"AppName": None}})),
        Case("a main module that is no program", files={MAIN_MODULE: b"this is no program"}),
        Case("a main module cut in half", files={MAIN_MODULE: stand_in[:len(stand_in) // 2]}),
        Case("no entry names the main module", list_text({"StartUp": {"1": "DATA.BIN"}}), files={"DATA.BIN": b"d"}),
        Case("ZSRES.DLL empty", files={"ZSRES.DLL": b""}),
        Case("ZSRES.DLL cut", files={"ZSRES.DLL": (bin_dir() / "ZSRES.DLL").read_bytes()[:1000]}),
        Case("ZSRES.DLL missing", remove=["ZSRES.DLL"]),
        Case("the filter code sends the user elsewhere", list_text({"SetupLang": {"0": "05"}})),
        Case("no filter code", list_text({"SetupLang": {"0": None}})),
        Case("a language entry without a comma", list_text({"SetupLang": {"2": "Deutsch"}})),
        Case("no TmpDirSize", list_text({"StartUp": {"TmpDirSize": None}})),
        Case("no TmpDirName", list_text({"StartUp": {"TmpDirName": None}})),
        # A TmpDirName that can hold no start-up file, and one that Windows cannot create.
        Case("TmpDirName names a file", list_text({"StartUp": {"TmpDirName": "DATA.BIN"}}), files={"DATA.BIN": b"d"},
             codes=("tmp-dir-not-directory",)),
        Case("TmpDirName names NUL", list_text({"StartUp": {"TmpDirName": "NUL"}}), codes=("tmp-dir-not-directory",)),
        Case("TmpDirName is the medium's directory", list_text({"StartUp": {"TmpDirName": "."}}),
             codes=("tmp-dir-is-medium",)),
        Case("TmpDirName holds a character Windows refuses", list_text({"StartUp": {"TmpDirName": "C:\\ZS|T"}}),
             codes=("tmp-dir-name-unusable",)),
        Case("TmpDirName passes through a device", list_text({"StartUp": {"TmpDirName": "C:\\COM1\\T"}}),
             codes=("tmp-dir-name-unusable",)),
        # What the check cannot know it says as a warning.
        Case("a library whose GetHookName shows its text only when it runs", library="test_reslib",
             codes=("resource-library-hook",)),
        Case("an entry written as a short 8.3 alias", list_text({"StartUp": {"2": "DATAFI~1.BIN"}}),
             files={"DATAFILE.BIN": b"long name"}, codes=("start-up-entry-short-name",)),
        # The seals: an intact medium runs as before (a seal of a file that is not listed is ignored); a file
        # that is not what its seal says, or a seal that is no seal, stops the run.
        Case("a sealed medium, intact", data_list, files={"DATA.BIN": b"data"},
             seals={MAIN_MODULE: stand_in, "DATA.BIN": b"data", "GONE.DLL": b"gone"}, codes=("seal-of-unlisted-file",)),
        Case("one byte changed in a sealed plain file", data_list, files={"DATA.BIN": b"dada"},
             seals={MAIN_MODULE: stand_in, "DATA.BIN": b"data"}, codes=("start-up-file-seal-mismatch",)),
        Case("one byte changed in a sealed compressed file whose body still decodes", data_list,
             compressed={"DATA.BI_": text}, damage_compressed=True, seals={"DATA.BIN": text},
             codes=("start-up-file-seal-mismatch",)),
        Case("a seal in upper-case hex is no seal", data_list, files={"DATA.BIN": b"data"},
             seals={"DATA.BIN": seal(b"data").upper()}, codes=("start-up-file-seal-mismatch",)),
        Case("no start-up entry 1", list_text({"StartUp": {"1": None, "2": MAIN_MODULE}})),
        Case("a missing start-up file", list_text({"StartUp": {"2": "FILE.DLL"}})),
        Case("a compressed name that holds no compressed file", list_text({"StartUp": {"2": "FILE.DLL"}}),
             files={"FILE.DL_": b"MZ no compressed file" + bytes(40)}),
        Case("a compressed file whose body is cut", list_text({"StartUp": {"2": "DATA.BIN"}}),
             compressed={"DATA.BI_": bytes(range(256)) * 200}, cut_compressed=True),
        Case("the message in the first language offered, in catalogue order",
             list_text({"SetupLang": {"1": "Magyar,E", "2": "Deutsch,E"}, "StartUp": {"2": "FILE.DLL"}})),
        Case("two languages: the dialog keeps English", list_text({"SetupLang": {"2": "Deutsch,E"}})),
        Case("no language offered", list_text({"SetupLang": {"0": "X"}})),
        Case("location mode without ZSPROFIL.INI", list_text(LOCATION)),
        Case("a location without a name", list_text(LOCATION), profile=b"[Wien]\r\nSetup=English\r\n"),
        Case("a location profile with CR line ends", list_text(LOCATION), profile=PROFILE.replace(b"\r\n", b"\r")),
        Case("a location profile in UTF-16", list_text(LOCATION),
             profile=b"\xff\xfe" + PROFILE.decode().encode("utf-16-le")),
        # Wine's profile reader departs from Windows' here; the check follows Windows.
        Case("a header without its closing bracket", list_text().replace("[StartUp]", "[StartUp"),
             wine_differs=("Wine takes a line without \"]\" for no header", ("starts-main-module", None))),
        Case("a comment with a bracket after a header", list_text().replace("[StartUp]", "[StartUp] ; see [notes]"),
             wine_differs=("Wine ends a header at its last \"]\"", ("starts-main-module", None))),
        Case("a line without \"=\" before the key of its name",
             list_text().replace("1=_SETUP.EXE", "1\r\n1=_SETUP.EXE"),
             wine_differs=("Wine reads a line without \"=\" as the key with an empty value",
                           ("starts-main-module", None))),
        Case("a UTF-8 byte-order mark", b"\xef\xbb\xbf" + list_text().encode(),
             wine_differs=("Wine skips a UTF-8 byte-order mark", ("stops", "SETUP.LST is corrupted."))),
    ]


def native_zemcmp() -> Optional[Path]:
    path = Path(os.environ.get("ZS_ZEMCMP", SOURCE_DIR / "build" / "native" / "bin" / "zemcmp"))
    return path if path.is_file() and os.access(path, os.X_OK) else None


class CheckPredictionTest(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)

    def zemcmp(self, *args: str) -> subprocess.CompletedProcess:
        """The media tool with ARGS, whose paths are given as Linux paths and converted for zemcmp.exe."""
        native = native_zemcmp()
        if native:
            return subprocess.run([str(native), *args], capture_output=True)
        converted = [windows_path(arg) if arg.startswith("/") else arg for arg in args]
        result = run_program(bin_dir() / "zemcmp.exe", *converted, timeout=120)
        return subprocess.CompletedProcess(result.args, result.returncode, result.stdout.encode(),
                                           result.stderr.encode())

    def medium(self, case: Case) -> SetupMedium:
        medium = SetupMedium(program_dir=case.program_dir, library=case.library)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        text = case.list_file if case.list_file is not None else list_text()
        if case.seals:
            values = {name: seal(value) if isinstance(value, bytes) else value for name, value in case.seals.items()}
            text += "[StartUpSeals]\r\n" + "".join(f"{name}={value}\r\n" for name, value in values.items())
        if isinstance(text, str):
            text = text.replace("{tmp}", windows_path(medium.temp_dir)).encode("cp1252")
        else:
            text = text.replace("{tmp}".encode("utf-16-le"), windows_path(medium.temp_dir).encode("utf-16-le"))
            text = text.replace(b"{tmp}", windows_path(medium.temp_dir).encode())
        medium.write_program_file("SETUP.LST", text)
        for name in case.remove:
            (medium.program_path / name).unlink()
        for name, contents in case.files.items():
            medium.write_program_file(name, contents)
        for stored, contents in case.compressed.items():
            self.store_compressed(medium, stored, contents, cut=case.cut_compressed, damage=case.damage_compressed)
        if case.profile is not None:
            medium.write_program_file("ZSPROFIL.INI", case.profile)
        return medium

    def store_compressed(self, medium: SetupMedium, stored: str, contents: bytes, cut: bool, damage: bool) -> None:
        with tempfile.TemporaryDirectory(prefix="zs-plain-", dir=medium.path) as work:
            plain = Path(work) / "plain"
            plain.write_bytes(contents)
            target = medium.program_path / stored
            result = self.zemcmp("compress", str(plain), "-o", str(target), "-f")
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
            if damage:
                self.damage_where_it_still_decodes(target, contents, Path(work))
        if cut:
            data = target.read_bytes()
            target.write_bytes(data[:len(data) // 2])

    def damage_where_it_still_decodes(self, target: Path, contents: bytes, work: Path) -> None:
        """Changes one bit of the code stream a tenth into the file, or the first place after it where the codec
        still decodes the whole body, to other bytes: damage that only a seal can tell."""
        stored = target.read_bytes()
        for offset in range(len(stored) // 10, len(stored)):
            damaged = bytearray(stored)
            damaged[offset] ^= 1
            target.write_bytes(bytes(damaged))
            expanded = work / "expanded"
            if self.zemcmp("expand", str(target), "-o", str(expanded), "-f").returncode == 0 \
                    and expanded.read_bytes() != contents:
                return
        self.fail("no change of one bit leaves the body decodable")

    def predict(self, medium: SetupMedium) -> dict:
        result = self.zemcmp("check", "--json", "--medium-path", medium.program_windows_dir, str(medium.program_path))
        self.assertIn(result.returncode, (0, 1, 2), result.stderr)
        return json.loads(result.stdout.decode("utf-8"))

    def assertSameEnd(self, prediction: dict, run, medium: SetupMedium, description: str) -> None:
        outcome = prediction["outcome"]
        boxes = [box["text"] for box in run.message_boxes()]
        report = medium.main_module_report()
        if outcome == "starts-main-module":
            self.assertEqual((run.exit_code, boxes), (EXIT_COMPLETED, []), description)
            self.assertIsNotNone(report, description)
        elif outcome == "cancelled":
            self.assertEqual((run.exit_code, boxes), (EXIT_CANCELLED, []), description)
        else:
            self.assertEqual(run.exit_code, prediction["exitStatus"], description)
            self.assertEqual(boxes[:1], [prediction["message"]["text"]], description)
            self.assertEqual(run.message_boxes()[0]["icon"], prediction["message"]["icon"], description)
            self.assertIsNone(report, description)
        if outcome != "starts-main-module":
            lines = log_lines()
            self.assertTrue(PHASE_SEEN_IN_LOG[prediction["phase"]](lines),
                            f"{description}: the log does not end in step {prediction['phase']}: {lines}")

    def test_the_check_predicts_what_setup_exe_does(self):
        compared = 0
        for case in cases():
            with self.subTest(case=case.name):
                switch_log(True)
                medium = self.medium(case)
                check = self.predict(medium)
                prediction = check["prediction"]
                run = medium.run(["ok-until-exit"])
                self.assertDriverOk(run)
                description = f"{case.name}:\n{json.dumps(check, indent=1, ensure_ascii=False)}\n{run.describe()}"
                codes = {finding["code"] for finding in check["findings"]}
                self.assertLessEqual(set(case.codes), codes, description)
                if not case.library and "ZSRES.DLL" not in case.files:
                    # The library built hands nothing over, and the check sees that in its code.
                    self.assertNotIn("resource-library-hook", codes, description)
                if case.wine_differs is None:
                    self.assertSameEnd(prediction, run, medium, description)
                    compared += 1
                    continue
                why, (outcome, message) = case.wine_differs
                self.assertEqual((prediction["outcome"], (prediction["message"] or {}).get("text")),
                                 (outcome, message), description)
                with self.assertRaises(AssertionError, msg=f"Wine no longer differs: {why}"):
                    self.assertSameEnd(prediction, run, medium, description)
        self.assertGreaterEqual(compared, 30)


if __name__ == "__main__":
    unittest.main()
