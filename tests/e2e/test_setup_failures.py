"""setup.exe's early exits, one scenario per row of its failure table: the message as the user sees it (text,
icon, caption, the OK button alone), the exit status, the setup log's lines up to the failure, and what is left on
disk (no temporary directory, no log file where there was none)."""

import os
import time
import unittest
from pathlib import Path

from setupmedium import (mount_small_tmpfs, EXIT_COMPLETED, EXIT_STOPPED, SetupMedium,
                         clean_wine_state, list_file, log_bytes, log_lines, setup_log_path, switch_log)
from winharness import WineTestCase, bin_dir, drive_c, prefix, windows_path

MISSING_LIBRARY = "Could not find ZSRES.DLL."
NO_WINDOWS_DIRECTORY = ("Setup was unable to locate your Windows directory.\t\t\t\nPlease verify that the PATH "
                        "statement in your AUTOEXEC.BAT file contains the full path of your Windows directory.")
NO_LIST_FILE = "Could not find required initialization file:\nSETUP.LST"
REDIRECT = "Please run SETUPKRN.EXE."
CORRUPTED = "SETUP.LST is corrupted."
TEMP_DIR_FAILED_GERMAN = "Konnte temporäres Verzeichnis für das Setup nicht erstellen."
CORRUPTED_GERMAN = "SETUP.LST Datei ist beschädigt."

ANSWER_MESSAGE = ["wait setup", "dump", "press OK", "wait-exit"]

LIST_CHECKS = ["Checking list file...", "Checking available languages:SETUPLANG"]


FREE_SPACE = "Setup needs about {} KB free space to initialize.\nPlease free some space on drive C:."


def rot47(text: str) -> str:
    """The hook text's scrambling, written out independently of the program's."""
    return "".join(chr(33 + (ord(c) - 33 + 47) % 94) if 33 <= ord(c) <= 126 else c for c in text)


class FailureScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)
        switch_log(True)

    def medium(self, **options) -> SetupMedium:
        medium = SetupMedium(**options)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        return medium

    def assertStoppedWith(self, run, text: str, icon: str) -> None:
        self.assertDriverOk(run)
        self.assertMessageBox(run, text, icon=icon, caption="setup", buttons=["OK"])
        self.assertEqual(len(run.message_boxes()), 1, run.describe())
        self.assertExitCode(run, EXIT_STOPPED)


class ResourceLibraryTest(FailureScenario):
    def test_missing_library_is_the_only_visible_effect(self):
        medium = self.medium(library=None)
        medium.write_list(list_file(tmp_dir_name="C:\\NOWHERE\\T"))
        run = medium.run(ANSWER_MESSAGE)
        self.assertStoppedWith(run, MISSING_LIBRARY, "exclamation")
        self.assertEqual(log_bytes(), b"")

    def test_library_in_the_current_directory_is_not_loaded(self):
        # setup.exe in a subdirectory, a ZSRES.DLL only in the current directory (the medium's root).
        medium = self.medium(library=None, program_dir="prog")
        medium.copy(bin_dir() / "ZSRES.DLL", "ZSRES.DLL")
        medium.write_list(list_file())
        run = medium.run(ANSWER_MESSAGE)
        self.assertStoppedWith(run, MISSING_LIBRARY, "exclamation")
        self.assertIsNone(medium.main_module_report())


class HookTest(FailureScenario):
    def test_hook_starts_the_unscrambled_program_and_ends_the_run(self):
        medium = self.medium(library="test_reslib")
        medium.write_list(list_file())
        program = medium.copy(bin_dir() / "record_command_line.exe", "hookprog.exe")
        received = medium.path / "received.txt"
        hook = rot47(windows_path(program))
        run = medium.run(["wait-exit"], env={"ZS_TEST_HOOK_TEXT": hook,
                                             "ZS_TEST_COMMAND_LINE_FILE": windows_path(received)})
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertEqual(run.windows(), [])
        # The hook's program runs on after setup.exe has ended: wait for its record (bounded, for a busy machine).
        deadline = time.monotonic() + 60
        while not (received.exists() and received.read_bytes().endswith(b"\n")) and time.monotonic() < deadline:
            time.sleep(0.1)
        # The unscrambled path, one blank and the hook text unchanged.
        self.assertEqual(received.read_bytes().decode().strip(), f"{windows_path(program)} {hook}")
        self.assertEqual(log_bytes(), b"")
        self.assertIsNone(medium.main_module_report())

    def test_hook_whose_command_does_not_fit_starts_nothing(self):
        medium = self.medium(library="test_reslib")
        medium.write_list(list_file())
        received = medium.path / "received.txt"
        run = medium.run(["wait-exit"], env={"ZS_TEST_HOOK_TEXT": "h" * 128,
                                             "ZS_TEST_COMMAND_LINE_FILE": windows_path(received)})
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_STOPPED)
        self.assertEqual(run.windows(), [])
        self.assertEqual(log_bytes(), b"")

    def test_empty_hook_changes_nothing(self):
        medium = self.medium(library="test_reslib")
        medium.write_list(list_file(tmp_dir_name=windows_path(medium.temp_dir)))
        run = medium.run(["wait-exit"], env={"ZS_TEST_HOOK_TEXT": None})
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertIsNotNone(medium.main_module_report())


class WindowsDirectoryTest(FailureScenario):
    # Wine always reports C:\windows; the test library makes setup.exe see another directory.
    def test_network_windows_directory_stops_the_run(self):
        medium = self.medium(library="test_reslib")
        medium.write_list(list_file(tmp_dir_name=windows_path(medium.temp_dir)))
        run = medium.run(ANSWER_MESSAGE, env={"ZS_TEST_WINDOWS_DIRECTORY": "\\\\SERVER\\WINDOWS"})
        self.assertStoppedWith(run, NO_WINDOWS_DIRECTORY, "exclamation")
        self.assertEqual(log_bytes(), b"")
        self.assertFalse(medium.temp_dir.exists())

    def test_drive_letter_windows_directory_passes(self):
        medium = self.medium(library="test_reslib")
        medium.write_list(list_file(tmp_dir_name=windows_path(medium.temp_dir)))
        run = medium.run(["wait-exit"], env={"ZS_TEST_WINDOWS_DIRECTORY": "D:\\WINNT"})
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertIsNotNone(medium.main_module_report())


class ListFileTest(FailureScenario):
    def run_list(self, sections, expected_text: str, icon: str = "stop"):
        medium = self.medium()
        if sections is not None:
            medium.write_list(sections)
        run = medium.run(ANSWER_MESSAGE)
        self.assertStoppedWith(run, expected_text, icon)
        self.assertIsNone(medium.main_module_report())
        return medium

    def test_missing_list_file(self):
        self.run_list(None, NO_LIST_FILE)
        self.assertEqual(log_lines(), ["Checking list file..."])

    def test_list_file_in_the_windows_directory_does_not_count(self):
        windows_list = setup_log_path().parent / "SETUP.LST"
        windows_list.write_bytes(b"[SetupLang]\r\n0=E\r\n1=English,E\r\n")
        self.addCleanup(windows_list.unlink)
        self.run_list(None, NO_LIST_FILE)

    def test_filter_code_beginning_with_zero_redirects(self):
        for code in ("0", "05"):
            with self.subTest(code=code):
                switch_log(True)
                self.run_list(list_file(filter_code=code), REDIRECT, icon="exclamation")
                self.assertEqual(log_lines(), LIST_CHECKS)

    def test_missing_or_empty_filter_code(self):
        for code in (None, ""):
            with self.subTest(code=code):
                switch_log(True)
                self.run_list(list_file(filter_code=code), CORRUPTED)
                self.assertEqual(log_lines(), LIST_CHECKS)

    def test_language_entry_without_comma(self):
        self.run_list(list_file(languages=["English,E", "Deutsch"]), CORRUPTED)
        self.assertEqual(log_lines(), LIST_CHECKS + ["\t\t***English,E", "\t\t***Deutsch",
                                                     "Supported languages:English"])

    def test_missing_first_language_entry(self):
        sections = list_file(languages=[])
        sections[0][1].append(("2", "Deutsch,E"))
        self.run_list(sections, CORRUPTED)
        self.assertEqual(log_lines(), LIST_CHECKS + ["\t\t***", "Supported languages:"])

    def test_missing_application_name(self):
        for name in (None, "NO ENTRY"):
            with self.subTest(name=name):
                switch_log(True)
                self.run_list(list_file(app_name=name), CORRUPTED)
                self.assertEqual(log_lines(), LIST_CHECKS + ["\t\t***English,E", "\t\t***",
                                                             "Supported languages:English",
                                                             "Checking list file structure:APPNAME"])

    def test_missing_space_requirement(self):
        self.run_list(list_file(tmp_dir_size=None), CORRUPTED)
        self.assertEqual(log_lines()[-2:], ["Checking list file structure:APPNAME",
                                            "Checking list file structure:TMPDIR_SIZE"])


class FreeSpaceTest(FailureScenario):
    """Drive C: becomes a small file system of known size for these runs: the prefix's C: link points at a tmpfs
    of 4 MB, in which the Windows directory and the media directories are links back to the real drive C:, so
    that they take no space on it. Needs the right to mount (root); skipped otherwise."""

    def setUp(self) -> None:
        super().setUp()
        small = mount_small_tmpfs(self, "4m", "zs-small-c-")
        (small / "windows").symlink_to(drive_c() / "windows")
        (small / "zs-e2e").symlink_to(drive_c() / "zs-e2e")
        self.small = small
        self.medium_ = self.medium()  # creates drive_c/zs-e2e before the link is followed

        link = prefix() / "dosdevices" / "c:"
        original = os.readlink(link)
        self.addCleanup(self.point_drive_c, link, original)
        self.point_drive_c(link, str(small))

    @staticmethod
    def point_drive_c(link: Path, target: str) -> None:
        temporary = link.with_name("c:.zs-swap")
        temporary.unlink(missing_ok=True)
        temporary.symlink_to(target)
        os.replace(temporary, link)

    def free_bytes(self) -> int:
        stat = os.statvfs(self.small)
        return stat.f_bavail * stat.f_frsize

    def test_requirement_equal_to_the_free_space_fails(self):
        free = self.free_bytes()
        self.medium_.write_list(list_file(tmp_dir_size=str(free), tmp_dir_name=windows_path(self.medium_.temp_dir)))
        run = self.medium_.run(ANSWER_MESSAGE)
        self.assertStoppedWith(run, FREE_SPACE.format(free // 1024), "stop")
        self.assertEqual(log_lines()[-2:], ["Checking list file structure:TMPDIR_SIZE", "Checking available space..."])
        self.assertFalse(self.medium_.temp_dir.exists())

    def test_one_byte_less_passes(self):
        free = self.free_bytes()
        self.medium_.write_list(list_file(tmp_dir_size=f"  {free - 1} bytes",
                                          tmp_dir_name=windows_path(self.medium_.temp_dir)))
        run = self.medium_.run(["wait-exit"])
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertIsNotNone(self.medium_.main_module_report())
        self.assertFalse(self.medium_.temp_dir.exists())


class TemporaryDirectoryTest(FailureScenario):
    """Failures after the language is chosen speak the chosen language, with the please-wait window still up."""

    def run_german(self, tmp_dir_name):
        medium = self.medium()
        medium.write_list(list_file(languages=["Deutsch,E"], tmp_dir_name=tmp_dir_name(medium)))
        run = medium.run(["wait setup", "dump", "press OK", "wait-exit"])
        return medium, run

    def test_directory_that_cannot_be_created(self):
        # One level is created at most: the parent must exist.
        medium, run = self.run_german(lambda medium: windows_path(medium.path / "none" / "T"))
        self.assertStoppedWith(run, TEMP_DIR_FAILED_GERMAN, "stop")
        # The please-wait window goes before the message, as on every stop.
        self.assertEqual([window["caption"] for window in run.windows()], ["setup"])
        self.assertFalse((medium.path / "none").exists())
        self.assertEqual(log_lines()[-2:], ["Selected language:Deutsch", "[local,admin] Creating tmp directory..."])

    def test_missing_directory_name_in_a_local_run(self):
        medium, run = self.run_german(lambda medium: None)
        self.assertStoppedWith(run, CORRUPTED_GERMAN, "stop")
        self.assertEqual(log_lines()[-2:], ["Selected language:Deutsch", "[local,admin] Creating tmp directory..."])

    def test_missing_directory_name_in_a_workstation_run_is_not_used(self):
        medium = self.medium()
        medium.write_list(list_file(tmp_dir_name=None))
        medium.write("ADMIN.INF", "")
        run = medium.run(["wait-exit"])
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertEqual(medium.main_module_report().program, medium.windows_path + "\\_SETUP.EXE")


if __name__ == "__main__":
    unittest.main()
