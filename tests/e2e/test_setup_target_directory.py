"""setup.exe leaves every target directory as it found it: a user's folder, the Windows directory or a drive's
root named as the temporary directory, a start-up file listed twice, a second run on the same directory, a file held open at the
clean-up, names too long to set aside, a directory left by a killed run, start-up entries that name devices,
relative directory names, and what the main module leaves behind."""

import os
import re
import shutil
import time
import unittest
import uuid
from pathlib import Path

from setupmedium import (EXIT_COMPLETED, EXIT_NOT_PUT_BACK, EXIT_STOPPED, MAIN_MODULE, WAIT_LIMIT_MS, WIN_INI_ENCODING,
                         SetupMedium, clean_wine_state, list_file, log_bytes, log_lines, switch_log)
from winharness import WineTestCase, drive_c, windows_command_line, windows_path

CORRUPTED = "SETUP.LST is corrupted."
TEMP_DIR_FAILED = "Could not create temporary directory for Setup."
NOT_FOUND = "Could not find required initialization file:\n{}"
# A time long past, so that a file's time shows whether anything wrote it.
OLD_TIME = 1_000_000_000


def listing(directory: Path):
    """Name -> (bytes, modification time) of every file in a directory."""
    return {p.name: (p.read_bytes(), p.stat().st_mtime) for p in sorted(directory.iterdir()) if p.is_file()}


def wait_for_log_line(start: str, limit_s: float = WAIT_LIMIT_MS / 1000 - 5) -> None:
    """Waits (bounded, within the driver's wait for a sync answer) until a line of the setup log starts with
    START. The log is read as bytes: setup.exe may be writing its next line."""
    wanted = b"\r\n" + start.encode(WIN_INI_ENCODING)
    deadline = time.monotonic() + limit_s
    while wanted not in b"\r\n" + (log_bytes() or b"") and time.monotonic() < deadline:
        time.sleep(0.1)


class TargetDirectoryScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)
        switch_log(True)

    def medium(self, start_up, tmp_dir: str, **files) -> SetupMedium:
        medium = SetupMedium()
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        medium.write_list(list_file(start_up=list(start_up), tmp_dir_name=tmp_dir))
        for name, contents in files.items():
            medium.write_program_file(name, contents)
        return medium

    def user_folder(self, **files) -> Path:
        """A folder of the user's in drive C: with files of an old time."""
        folder = drive_c() / f"zs-e2e-user-{uuid.uuid4().hex[:8]}"
        folder.mkdir()
        self.addCleanup(shutil.rmtree, folder, True)
        for name, contents in files.items():
            path = folder / name
            path.write_bytes(contents)
            os.utime(path, (OLD_TIME, OLD_TIME))
        return folder

    def run_through(self, medium: SetupMedium, **options):
        run = medium.run(["wait-exit"], **options)
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        return medium.main_module_report()

    def run_to_a_message(self, medium: SetupMedium, text: str):
        run = medium.run(["wait setup", "dump", "press OK", "wait-exit"])
        self.assertDriverOk(run)
        self.assertMessageBox(run, text, icon="stop")
        self.assertExitCode(run, EXIT_STOPPED)
        return run


class UsersFilesTest(TargetDirectoryScenario):
    def test_a_users_file_of_a_start_up_files_name_is_untouched_after_success_and_failure(self):
        folder = self.user_folder(**{"DATA.BIN": b"the user's own", "NOTES.TXT": b"also the user's"})
        before = listing(folder)
        medium = self.medium([MAIN_MODULE, "DATA.BIN"], windows_path(folder), **{"DATA.BIN": b"the medium's"})
        report = self.run_through(medium)
        self.assertTrue(report.received("DATA.BIN", b"the medium's"))
        self.assertEqual(listing(folder), before)

        failing = self.medium([MAIN_MODULE, "DATA.BIN", "MISSING.DLL"], windows_path(folder),
                              **{"DATA.BIN": b"the medium's"})
        self.run_to_a_message(failing, NOT_FOUND.format("MISSING.DLL"))
        self.assertEqual(listing(folder), before)

    def test_the_windows_directory_with_win_ini_listed_is_unchanged(self):
        windows = drive_c() / "windows"
        names_before = sorted(p.name for p in windows.iterdir())
        win_ini = windows / "win.ini"
        win_ini_before = (win_ini.read_bytes(), win_ini.stat().st_mtime)
        medium = self.medium([MAIN_MODULE, "WIN.INI"], "C:\\WINDOWS", **{"WIN.INI": b"[medium]\r\n"})
        report = self.run_through(medium)
        self.assertTrue(report.received("WIN.INI", b"[medium]\r\n"))
        self.assertEqual((win_ini.read_bytes(), win_ini.stat().st_mtime), win_ini_before)
        self.assertEqual(sorted(p.name for p in windows.iterdir()), names_before)

    def test_a_start_up_file_listed_twice_sets_the_users_file_aside_once(self):
        folder = self.user_folder(**{"DATA.BIN": b"the user's own"})
        before = listing(folder)
        medium = self.medium([MAIN_MODULE, "DATA.BIN", "data.bin."], windows_path(folder),
                             **{"DATA.BIN": b"the medium's"})
        report = self.run_through(medium)
        self.assertTrue(report.received("DATA.BIN", b"the medium's"))
        self.assertEqual(listing(folder), before)

    def test_a_second_run_on_the_directory_stops_before_it_touches_anything(self):
        folder = self.user_folder(**{"DATA.BIN": b"the user's own"})
        before = listing(folder)
        medium = self.medium([MAIN_MODULE, "DATA.BIN"], windows_path(folder), **{"DATA.BIN": b"the medium's"})
        # The main module starts the second run while the first one waits for it.
        second = windows_command_line([windows_path(medium.path / "setup.exe"), "/QUIET"])
        report = self.run_through(medium, env={"ZS_MAIN_MODULE_RUN": second})
        self.assertEqual(report.run_exit, str(EXIT_STOPPED))
        self.assertIn(f"Message (stop):Another Setup is using the temporary directory\\n{windows_path(folder)}"
                      "\\nWait until it has ended, then start Setup again.", log_lines())
        self.assertEqual(listing(folder), before)

    def test_a_file_held_open_at_the_clean_up_is_waited_for_and_else_reported(self):
        for hold_ms, status in ((1500, EXIT_COMPLETED), (9000, EXIT_NOT_PUT_BACK)):
            with self.subTest(hold_ms=hold_ms):
                switch_log(True)
                folder = self.user_folder(**{"DATA.BIN": b"the user's own"})
                before = listing(folder)
                medium = self.medium([MAIN_MODULE, "DATA.BIN"], windows_path(folder),
                                     **{"DATA.BIN": b"the medium's"})
                started = time.monotonic()
                run = medium.run(["wait-exit"], args=["/QUIET"], env={"ZS_MAIN_MODULE_HOLD": f"DATA.BIN:{hold_ms}"})
                self.assertDriverOk(run)
                self.assertExitCode(run, status)
                if status == EXIT_COMPLETED:
                    self.assertEqual(listing(folder), before)
                    continue
                # The run's copy could not go, so the user's file stays set aside, whole, and the log says so.
                left = listing(folder)
                aside = [name for name in left if re.fullmatch(r"DATA\.BIN\.setup-saved-\d+", name)]
                self.assertEqual(len(aside), 1, sorted(left))
                self.assertEqual(left[aside[0]][0], b"the user's own")
                self.assertEqual(left["DATA.BIN"][0], b"the medium's")
                lines = log_lines()
                path = windows_path(folder)
                self.assertIn(f"Not put back:{path}\\DATA.BIN is set aside as {path}\\{aside[0]}", lines)
                self.assertTrue(lines[-1].startswith("Message (exclamation):Setup could not put its temporary "
                                                     "directory back as it was:"), lines[-1])
                # Let the holder end before the folder goes.
                time.sleep(max(0.0, hold_ms / 1000 + 1 - (time.monotonic() - started)))

    def test_a_users_file_too_long_to_set_aside_stops_the_run_before_anything_moves(self):
        folder = self.user_folder()
        # TmpDirName "T" is taken in a deep current directory: T\DATA.BIN's path takes 250 characters, and its
        # set-aside name would pass MAX_PATH.
        work = folder / ("D" * (250 - len(windows_path(folder)) - len("\\T\\DATA.BIN") - 1))
        (work / "T").mkdir(parents=True)
        (work / "T" / "DATA.BIN").write_bytes(b"the user's own")
        before = listing(work / "T")
        medium = self.medium([MAIN_MODULE, "DATA.BIN"], "T", **{"DATA.BIN": b"the medium's"})
        run = medium.run(["wait setup", "dump", "press OK", "wait-exit"], cwd=windows_path(work))
        self.assertDriverOk(run)
        self.assertMessageBox(run, TEMP_DIR_FAILED, icon="stop")
        self.assertExitCode(run, EXIT_STOPPED)
        self.assertIn(f"Name too long to set aside:{windows_path(work)}\\T\\DATA.BIN", log_lines())
        self.assertEqual(listing(work / "T"), before)

    def test_a_run_after_a_killed_run_works_and_leaves_what_the_killed_run_left(self):
        folder = self.user_folder(**{"DATA.BIN": b"the user's own"})
        medium = self.medium([MAIN_MODULE, "DATA.BIN"], windows_path(folder), **{"DATA.BIN": b"the medium's"})
        # setup.exe is killed while it waits for the main module (as soon as its log says the module started,
        # however long that takes on a busy machine); the module ends by itself later.
        killed = medium.run(["sync started", "kill"], env={"ZS_MAIN_MODULE_DELAY_MS": "6000"},
                            on_sync=lambda _name, _events: wait_for_log_line("CreateProcess ok with "))
        self.assertTrue(killed.killed, killed.describe())
        deadline = time.monotonic() + 60
        while medium.main_module_report() is None and time.monotonic() < deadline:
            time.sleep(0.2)
        self.assertIsNotNone(medium.main_module_report())
        time.sleep(1)
        left = listing(folder)
        # The user's file waits under its set-aside name, whole, beside the run's copy.
        aside = [name for name in left if re.fullmatch(r"DATA\.BIN\.setup-saved-\d+", name)]
        self.assertEqual(len(aside), 1, sorted(left))
        self.assertEqual(left[aside[0]][0], b"the user's own")
        self.assertEqual(left["DATA.BIN"][0], b"the medium's")

        report = self.run_through(medium)
        self.assertTrue(report.received("DATA.BIN", b"the medium's"))
        self.assertEqual(listing(folder), left)


class DeviceNamesTest(TargetDirectoryScenario):
    def test_a_start_up_entry_that_names_a_device_is_a_corrupted_list(self):
        for name in ("CON", "PRN", "AUX", "NUL", "COM1", "LPT1", "CONIN$", "CONOUT$", "nul.txt", "Com9.log",
                     "AUX.", '"LPT2 "', "COM\u00b9", "lpt\u00b3.txt"):
            with self.subTest(name=name):
                switch_log(True)
                folder = self.user_folder()
                medium = self.medium([MAIN_MODULE, name], windows_path(folder / "TMP"))
                self.run_to_a_message(medium, CORRUPTED)
                self.assertEqual(log_lines()[-1], "Initializing setup files...")
                self.assertFalse((folder / "TMP").exists())


class NoDirectoryTest(TargetDirectoryScenario):
    def test_a_target_that_is_a_file_a_device_or_the_medium_stops_before_anything_is_staged(self):
        folder = self.user_folder(**{"F.TXT": b"the user's file"})
        # The medium's directory is the current directory of the run.
        for name, tmp_dir in (("a file", windows_path(folder / "F.TXT")), ("a device", "NUL"),
                              ("the medium's directory", ".")):
            with self.subTest(name=name):
                switch_log(True)
                before = listing(folder)
                medium = self.medium([MAIN_MODULE, "DATA.BIN"], tmp_dir, **{"DATA.BIN": b"the medium's"})
                medium_before = listing(medium.program_path)
                self.run_to_a_message(medium, TEMP_DIR_FAILED)
                self.assertEqual(log_lines()[-1], "[local,admin] Creating tmp directory...")
                self.assertEqual(listing(folder), before)
                self.assertEqual(listing(medium.program_path), medium_before)
                self.assertIsNone(medium.main_module_report())


class DirectoryNamesTest(TargetDirectoryScenario):
    def test_a_relative_directory_name_is_made_full_once(self):
        unrelated = drive_c() / "ADVREL"
        for tmp_dir in ("ADVREL", "C:ADVREL"):
            with self.subTest(tmp_dir=tmp_dir):
                unrelated.mkdir(exist_ok=True)
                self.addCleanup(lambda: unrelated.rmdir() if unrelated.exists() else None)
                medium = self.medium([MAIN_MODULE], tmp_dir)
                report = self.run_through(medium)
                # setup.exe starts in the medium's directory, so that is where the directory is made.
                full = medium.windows_path + "\\ADVREL\\"
                self.assertEqual(report.program, full + MAIN_MODULE)
                self.assertIn(f"CMD:{full}{MAIN_MODULE} {medium.program_windows_dir},English", log_lines())
                self.assertFalse((medium.path / "ADVREL").exists())
                self.assertTrue(unrelated.is_dir())

    def test_a_bare_drive_is_that_drives_root_and_is_left_as_it_was(self):
        # Not the drive's current directory, which is the medium's when it lies on C: (the run starts there).
        root = drive_c()
        before = sorted(p.name for p in root.iterdir())
        medium = self.medium([MAIN_MODULE, "DATA.BIN"], "C:", **{"DATA.BIN": b"the medium's"})
        report = self.run_through(medium)
        self.assertEqual(report.program, "C:\\" + MAIN_MODULE)
        self.assertTrue(report.received("DATA.BIN", b"the medium's"))
        self.assertEqual(sorted(p.name for p in root.iterdir()), before)

    def test_an_existing_directory_keeps_what_the_module_wrote_and_a_created_one_goes_whole(self):
        # Only the files the run staged go from a directory that existed; it stays, empty or not.
        for files in ({}, {"USER.TXT": b"kept"}):
            folder = self.user_folder(**files)
            before = listing(folder)
            self.run_through(self.medium([MAIN_MODULE], windows_path(folder)),
                             env={"ZS_MAIN_MODULE_WRITE": "UNPACKED.DAT"})
            self.assertEqual(sorted(listing(folder)), sorted(list(before) + ["UNPACKED.DAT"]))
            self.assertEqual({name: listing(folder)[name] for name in before}, before)

        parent = self.user_folder()
        self.run_through(self.medium([MAIN_MODULE], windows_path(parent / "NEW")),
                         env={"ZS_MAIN_MODULE_WRITE": "UNPACKED.DAT"})
        self.assertEqual(list(parent.iterdir()), [])


if __name__ == "__main__":
    unittest.main()
