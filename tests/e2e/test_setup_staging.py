"""The staging of the start-up files by setup.exe: plain files copied and compressed ones expanded into the
temporary directory, the ",1" mark of workstation runs, and every failure with its message in the chosen language,
what the failure leaves on disk, and the sound behaviour where a failure used to pass or to reach too far: names
that are not plain file names, a full disk, a compressed body that ends early, a temporary directory that held
other files before the run."""

import hashlib
import tempfile
import unittest
from pathlib import Path
from typing import List, Optional

from setupmedium import (mount_small_tmpfs, EXIT_COMPLETED, EXIT_STOPPED, MAIN_MODULE, SetupMedium, bin_dir, clean_wine_state,
                         ini_text, list_file, log_lines, switch_log)
from winharness import WineTestCase, prefix, run_program, windows_path

ANSWER_MESSAGE = ["wait setup", "dump", "press OK", "wait-exit"]

# The German block (the only language of these media, so it is chosen without a dialog).
NOT_FOUND = "Konnte Initialisierungsdatei:\n{} nicht finden."
NOT_EXPANDED = "Konnte Initialisierungsdatei:\n{} nicht dekomprimieren."
CORRUPTED = "SETUP.LST Datei ist beschädigt."
ENGLISH_NOT_EXPANDED = "Could not decompress required initialization file:\n{}"


def pattern_bytes(size: int, seed: int = 1) -> bytes:
    """Bytes that hardly compress, so that a file takes its whole size on disk and in the code stream."""
    state, out = 2463534242 ^ seed, bytearray()
    while len(out) < size:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        out += state.to_bytes(4, "little")
    return bytes(out[:size])


class StagingScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        self.require_program("zemcmp.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)
        switch_log(True)

    def medium(self, start_up, languages=("Deutsch,E",), tmp_dir: Optional[str] = None, **options) -> SetupMedium:
        medium = SetupMedium(**options)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        medium.write_list(list_file(languages=list(languages), start_up=list(start_up),
                                    tmp_dir_name=tmp_dir or windows_path(medium.temp_dir)))
        return medium

    def compress(self, medium: SetupMedium, name: str, contents: bytes, compressed_name: str) -> bytes:
        """Stores CONTENTS on the medium under COMPRESSED_NAME in the compressed format; returns the stored bytes."""
        with tempfile.TemporaryDirectory(prefix="zs-plain-", dir=medium.path) as work:
            plain = Path(work) / name
            plain.write_bytes(contents)
            target = medium.program_path / compressed_name
            result = run_program(bin_dir() / "zemcmp.exe", "compress", windows_path(plain), "-o",
                                 windows_path(target), "-f")
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        return target.read_bytes()

    def write_start_up_keys(self, medium: SetupMedium, keys) -> None:
        """A list file whose start-up entries are exactly KEYS, numbered as given."""
        sections = list_file(languages=["Deutsch,E"], start_up=[], tmp_dir_name=windows_path(medium.temp_dir))
        sections[1][1].extend(keys)
        medium.write_list(sections)

    def main_module_bytes(self) -> bytes:
        return (bin_dir() / "main_module_stand_in.exe").read_bytes()

    def run_to_the_end(self, medium: SetupMedium, args=()):
        run = medium.run(["wait-exit"], args=args)
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        report = medium.main_module_report()
        self.assertIsNotNone(report, run.describe())
        return report

    def run_to_a_message(self, medium: SetupMedium, text: str):
        run = medium.run(ANSWER_MESSAGE)
        self.assertDriverOk(run)
        self.assertMessageBox(run, text, icon="stop", caption="setup", buttons=["OK"])
        self.assertEqual(len(run.message_boxes()), 1, run.describe())
        self.assertExitCode(run, EXIT_STOPPED)
        self.assertIsNone(medium.main_module_report())
        return run

    def staged_paths(self) -> List[str]:
        """The source paths that the last run logged after "Initializing setup files...", up to the launch."""
        lines = log_lines()
        start = len(lines) - lines[::-1].index("Initializing setup files...")
        launch = "Attempting to launch main setup module..."
        end = lines.index(launch, start) if launch in lines[start:] else len(lines)
        return lines[start:end]


class StagingTest(StagingScenario):
    def test_compressed_files_are_expanded_and_plain_ones_copied(self):
        medium = self.medium([MAIN_MODULE, "DATA.BIN", "README.TXT", "README", "A.HL"], main_module=False)
        self.compress(medium, MAIN_MODULE, self.main_module_bytes(), "_SETUP.EX_")
        data = pattern_bytes(100000)  # several blocks of the plain copy
        medium.write_program_file("DATA.BIN", data)
        readme = b"Read me.\r\n" * 5000
        self.compress(medium, "README.TXT", readme, "README.TX_")
        self.compress(medium, "README", b"", "README._")
        self.compress(medium, "A.HL", b"x", "A.HL_")

        report = self.run_to_the_end(medium)
        self.assertTrue(report.received(MAIN_MODULE, self.main_module_bytes()))
        self.assertTrue(report.received("DATA.BIN", data))
        self.assertTrue(report.received("README.TXT", readme))
        self.assertTrue(report.received("README", b""))
        self.assertTrue(report.received("A.HL", b"x"))
        self.assertEqual(len(report.files), 5)
        # The log names each file under its plain name, in the order of the entries.
        source = medium.program_windows_dir
        self.assertEqual(self.staged_paths(), [source + name for name in
                                               (MAIN_MODULE, "DATA.BIN", "README.TXT", "README", "A.HL")])
        self.assertFalse(medium.temp_dir.exists())

    def test_a_plain_file_wins_over_its_compressed_name(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"])
        medium.write_program_file("FILE.DLL", b"plain copy")
        self.compress(medium, "FILE.DLL", b"compressed copy", "FILE.DL_")
        report = self.run_to_the_end(medium)
        self.assertTrue(report.received("FILE.DLL", b"plain copy"))

    def test_marked_entries_are_skipped_only_in_workstation_runs(self):
        local = self.medium([MAIN_MODULE, "HELP.HLP,1", "FILE.DLL,10"])
        local.write_program_file("HELP.HLP", b"help")
        local.write_program_file("FILE.DLL", b"dll")
        report = self.run_to_the_end(local)
        self.assertEqual(sorted(report.files), ["FILE.DLL", "HELP.HLP", MAIN_MODULE])

        # HELP.HLP and FILE.DLL are not even on this medium: their entries are not looked at.
        workstation = self.medium([MAIN_MODULE, "HELP.HLP,1", "FILE.DLL,10"])
        workstation.write("ADMIN.INF", "")
        before = sorted(p.name for p in workstation.path.iterdir())
        report = self.run_to_the_end(workstation)
        self.assertEqual(report.program, workstation.program_windows_dir + MAIN_MODULE)
        self.assertEqual(self.staged_paths(), [workstation.program_windows_dir + MAIN_MODULE])
        self.assertEqual(sorted(p.name for p in workstation.path.iterdir()),
                         sorted(before + ["main-module-report.txt"]))

    def test_entries_after_a_gap_in_the_numbering_are_not_read(self):
        medium = self.medium([MAIN_MODULE])
        self.write_start_up_keys(medium, [("1", MAIN_MODULE), ("3", "MISSING.DLL")])
        report = self.run_to_the_end(medium)
        self.assertEqual(list(report.files), [MAIN_MODULE])

    def test_a_file_of_its_name_in_an_existing_directory_is_back_after_the_run(self):
        medium = self.medium([MAIN_MODULE, "DATA.BIN"])
        medium.write_program_file("DATA.BIN", b"new")
        medium.temp_dir.mkdir()
        (medium.temp_dir / "DATA.BIN").write_bytes(b"old contents")
        (medium.temp_dir / "OTHER.TXT").write_bytes(b"not setup's")
        report = self.run_to_the_end(medium)
        self.assertTrue(report.received("DATA.BIN", b"new"))
        self.assertEqual(sorted(p.name for p in medium.temp_dir.iterdir()), ["DATA.BIN", "OTHER.TXT"])
        self.assertEqual((medium.temp_dir / "DATA.BIN").read_bytes(), b"old contents")


class StagingFailureTest(StagingScenario):
    """One scenario per failure: the message in the chosen language, the stop icon, no main module, and what is
    left on disk."""

    def test_no_first_entry(self):
        medium = self.medium([])
        self.write_start_up_keys(medium, [("2", MAIN_MODULE)])
        self.run_to_a_message(medium, CORRUPTED)
        self.assertEqual(log_lines()[-2:], ["[local,admin] Creating tmp directory...", "Initializing setup files..."])
        self.assertFalse(medium.temp_dir.exists())

    def test_every_entry_marked_in_a_workstation_run(self):
        medium = self.medium([f"{MAIN_MODULE},1", "FILE.DLL,1"])
        medium.write("ADMIN.INF", "")
        self.run_to_a_message(medium, CORRUPTED)
        self.assertEqual(log_lines()[-2:], ["[workstation] No tmp directory", "Initializing setup files..."])
        self.assertTrue((medium.path / MAIN_MODULE).exists())

    def test_missing_file_is_named_as_listed(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"])
        self.run_to_a_message(medium, NOT_FOUND.format("FILE.DLL"))
        source = medium.program_windows_dir
        self.assertEqual(self.staged_paths(), [source + MAIN_MODULE, source + "FILE.DLL"])
        # The directory goes with the file staged before the failure.
        self.assertFalse(medium.temp_dir.exists())

    def test_source_that_cannot_be_opened(self):
        medium = self.medium([MAIN_MODULE, "DATA.BIN"])
        (medium.path / "DATA.BIN").mkdir()  # exists, but is no file to read
        self.run_to_a_message(medium, NOT_FOUND.format("DATA.BIN"))
        self.assertFalse(medium.temp_dir.exists())

    def test_destination_that_cannot_be_created(self):
        medium = self.medium([MAIN_MODULE, "DATA.BIN", "LATER.BIN"])
        medium.write_program_file("DATA.BIN", b"data")
        medium.write_program_file("LATER.BIN", b"later")
        medium.temp_dir.mkdir()
        (medium.temp_dir / "DATA.BIN").mkdir()
        (medium.temp_dir / "OLD.TXT").write_bytes(b"kept")
        self.run_to_a_message(medium, NOT_EXPANDED.format("DATA.BIN"))
        # A directory that existed before keeps what was there; the file staged before the failure goes.
        self.assertEqual(sorted(p.name for p in medium.temp_dir.iterdir()), ["DATA.BIN", "OLD.TXT"])
        self.assertEqual(self.staged_paths()[-1], medium.program_windows_dir + "DATA.BIN")

    def test_compressed_name_that_holds_no_compressed_file(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"])
        medium.write_program_file("FILE.DL_", b"MZ this is not a compressed file" + bytes(100))
        self.run_to_a_message(medium, NOT_EXPANDED.format("FILE.DLL"))
        self.assertFalse(medium.temp_dir.exists())

    def test_compressed_file_whose_body_ends_early(self):
        # Only the header is checked by the format's rules, but a file that cannot be expanded completely is
        # not staged as if it had been.
        medium = self.medium([MAIN_MODULE, "DATA.BIN"])
        stored = self.compress(medium, "DATA.BIN", pattern_bytes(20000), "DATA.BI_")
        (medium.path / "DATA.BI_").write_bytes(stored[:len(stored) // 2])
        self.run_to_a_message(medium, NOT_EXPANDED.format("DATA.BIN"))
        self.assertFalse(medium.temp_dir.exists())

    def test_a_file_that_is_not_what_its_seal_says(self):
        # Hashed as it is staged; the seal does not hold: the file is taken for damaged, the log names both
        # hashes, and the clean-up takes what was staged. The next entry is never looked at.
        medium = self.medium([MAIN_MODULE, "DATA.BIN", "LATER.BIN"])
        medium.write_program_file("DATA.BIN", b"dada")
        sealed, staged = (f"sha256:{hashlib.sha256(data).hexdigest()}" for data in (b"data", b"dada"))
        main_module = hashlib.sha256(self.main_module_bytes()).hexdigest()
        medium.write_list(ini_text(list_file(languages=["Deutsch,E"], start_up=[MAIN_MODULE, "DATA.BIN", "LATER.BIN"],
                                             tmp_dir_name=windows_path(medium.temp_dir)))
                          + f"[StartUpSeals]\r\n{MAIN_MODULE}=sha256:{main_module}\r\nDATA.BIN={sealed}\r\n")
        self.run_to_a_message(medium, NOT_EXPANDED.format("DATA.BIN"))
        self.assertEqual(log_lines()[-1], f"Seal mismatch:DATA.BIN expected {sealed} got {staged}")
        self.assertEqual(self.staged_paths()[-2:],
                         [medium.program_windows_dir + "DATA.BIN", log_lines()[-1]])
        self.assertFalse(medium.temp_dir.exists())

    def test_entries_that_are_not_plain_file_names_touch_no_file(self):
        for name in ("..\\OUT.TXT", "SUB\\OUT.TXT", "C:OUT.TXT", "/OUT.TXT", ".", "..", ""):
            with self.subTest(name=name):
                switch_log(True)
                # The first entry is fine; the second is refused before the first is staged.
                medium = self.medium([MAIN_MODULE, name], program_dir="prog")
                work = medium.path / "work"
                work.mkdir()
                medium.write_list(list_file(languages=["Deutsch,E"], start_up=[MAIN_MODULE, name],
                                            tmp_dir_name=windows_path(work / "TMP")))
                (medium.path / "OUT.TXT").write_bytes(b"outside")
                (medium.program_path / "SUB").mkdir()
                (medium.program_path / "SUB" / "OUT.TXT").write_bytes(b"in a subdirectory")
                self.run_to_a_message(medium, CORRUPTED)
                self.assertEqual(log_lines()[-1], "Initializing setup files...")
                self.assertEqual(sorted(p.name for p in work.iterdir()), [])

    def test_failure_in_a_workstation_run_deletes_nothing(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"])
        medium.write("ADMIN.INF", "")
        before = sorted(p.name for p in medium.path.iterdir())
        self.run_to_a_message(medium, NOT_FOUND.format("FILE.DLL"))
        self.assertEqual(sorted(p.name for p in medium.path.iterdir()), before)

    def test_failure_with_an_existing_directory_removes_only_the_staged_files(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"])
        medium.temp_dir.mkdir()
        (medium.temp_dir / "OLD.TXT").write_bytes(b"kept")
        self.run_to_a_message(medium, NOT_FOUND.format("FILE.DLL"))
        self.assertEqual(sorted(p.name for p in medium.temp_dir.iterdir()), ["OLD.TXT"])

    def test_message_in_another_chosen_language(self):
        medium = self.medium([MAIN_MODULE, "FILE.DLL"], languages=["Magyar,E"])
        self.run_to_a_message(medium, "A(z) \nFILE.DLL inicializációs fájl nem található.")


class FullDiskTest(StagingScenario):
    """A write that fails because the disk is full fails the file, for a plain copy and for an expansion alike.
    The temporary directory lies on drive D:, a small tmpfs; needs the right to mount (root), skipped otherwise."""

    def setUp(self) -> None:
        super().setUp()
        small = mount_small_tmpfs(self, "256k", "zs-small-d-")
        link = prefix() / "dosdevices" / "d:"
        if link.exists() or link.is_symlink():
            self.skipTest("drive D: is taken in this prefix")
        link.symlink_to(small)
        self.addCleanup(link.unlink)
        self.small = small

    def test_plain_copy_and_expansion_that_fill_the_disk(self):
        for name, stored_as in (("BIG.BIN", "BIG.BIN"), ("ZEROS.BIN", "ZEROS.BI_")):
            with self.subTest(name=name):
                switch_log(True)
                medium = self.medium([name], languages=["English,E"], tmp_dir="D:\\TMP")
                contents = pattern_bytes(400 * 1024) if name == stored_as else bytes(400 * 1024)
                if name == stored_as:
                    medium.write_program_file(name, contents)
                else:
                    self.compress(medium, name, contents, stored_as)
                self.run_to_a_message(medium, ENGLISH_NOT_EXPANDED.format(name))
                self.assertEqual(list(self.small.iterdir()), [])


if __name__ == "__main__":
    unittest.main()
