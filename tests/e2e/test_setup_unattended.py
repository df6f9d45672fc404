"""setup.exe without a person at the keyboard: /LANG= chooses what the Select Language dialog would show,
/QUIET shows no window at all and logs what it would have shown, /LOG= names the log file (made a full path at
the start, never on the medium, kept through the clean-up), /NORESTART leaves a requested restart to the caller.
Without these switches a run is as it always was; the admin switch stays a plain "/a" substring beside them."""

import shutil
import unittest
import uuid
from pathlib import Path

from setupmedium import (EXIT_COMPLETED, EXIT_RESTART_NEEDED, EXIT_STOPPED, HAND_OFF_SECTION, LANGUAGE_DIALOG_CAPTION,
                         MAIN_MODULE, SetupMedium, clean_wine_state, list_file, log_lines, setup_log_path,
                         switch_log)
from test_setup_launch import RESTART_REQUESTED, TRACE_RESTART
from winharness import WineTestCase, drive_c, win_ini_section, windows_path


class UnattendedScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state(registry=True)
        self.addCleanup(clean_wine_state, registry=True)
        switch_log(True)

    def medium(self, languages=("English,E", "Deutsch,E"), start_up=(MAIN_MODULE,), **options) -> SetupMedium:
        medium = SetupMedium()
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        medium.write_list(list_file(languages=list(languages), start_up=list(start_up),
                                    tmp_dir_name=windows_path(medium.temp_dir), **options))
        return medium

    def scratch(self) -> Path:
        """A directory in drive C: outside the medium (a log path on the medium is not used), removed afterwards."""
        folder = drive_c() / f"zs-e2e-log-{uuid.uuid4().hex[:8]}"
        folder.mkdir()
        self.addCleanup(shutil.rmtree, folder, True)
        return folder

    def watch(self, medium, args, env=None, exit_code=EXIT_COMPLETED, cwd=None):
        # The arguments as written on a command line, double quotes included.
        command_line = " ".join([medium.command("setup.exe")] + list(args))
        run = medium.run(["watch-exit"], command_line=command_line, env=env, cwd=cwd)
        self.assertDriverOk(run)
        self.assertExitCode(run, exit_code)
        return run

    def assertNoWindow(self, run) -> None:
        self.assertEqual(run.windows(), [], run.describe())

    def assertLanguage(self, medium, language: str, admin: bool = False) -> None:
        report = medium.main_module_report()
        self.assertIsNotNone(report)
        ending = f"{medium.program_windows_dir},{language}" + (",ADMINMODE" if admin else "")
        self.assertEqual(report.command_line.rsplit(" ", 1)[1], ending)


class LanguageSwitchTest(UnattendedScenario):
    def test_an_offered_language_is_chosen_without_the_dialog(self):
        for args in (["/LANG=Deutsch"], ["/lang=deutsch"], ["/QUIET", "/LANG=Deutsch"]):
            with self.subTest(args=args):
                medium = self.medium()
                run = self.watch(medium, args)
                self.assertNotIn(LANGUAGE_DIALOG_CAPTION, [w["caption"] for w in run.windows()])
                if "/QUIET" in args:
                    self.assertNoWindow(run)
                self.assertLanguage(medium, "Deutsch")

    def test_a_location_is_chosen_by_its_name(self):
        medium = self.medium(edition="Zem Standard Edition")
        medium.write_profile([("London", [("Name", "United Kingdom"), ("Setup", "English")]),
                              ("Wien", [("Name", "Austria"), ("Setup", "Deutsch"), ("Messages", "ger.dll")])])
        self.assertNoWindow(self.watch(medium, ["/QUIET", '/LANG="Austria"']))
        self.assertLanguage(medium, "Deutsch")
        self.assertEqual(win_ini_section(HAND_OFF_SECTION),
                         {"stdprofile": "Wien", "stdmessages": "ger.dll", "stdhelp": "eng.hlp",
                          "stdlicenclang": "English"})

    def test_a_language_that_is_not_offered_leaves_the_choice_to_the_dialog(self):
        medium = self.medium()
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "press OK", "wait-exit"], args=["/LANG=Klingon"])
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        self.assertLanguage(medium, "English")
        self.assertIn("Language not offered:Klingon", log_lines())

    def test_a_quiet_run_that_cannot_choose_stops_without_a_window(self):
        for args, lines in ((["/QUIET", "/LANG=Klingon"],
                             ["Language not offered:Klingon", "No language chosen for a quiet run"]),
                            (["/QUIET"], ["No language chosen for a quiet run"])):
            with self.subTest(args=args):
                switch_log(True)
                medium = self.medium()
                self.assertNoWindow(self.watch(medium, args, exit_code=EXIT_STOPPED))
                self.assertEqual(log_lines()[-len(lines):], lines)
                self.assertIsNone(medium.main_module_report())
                self.assertFalse(medium.temp_dir.exists())


class QuietTest(UnattendedScenario):
    def test_a_message_goes_to_the_log_and_the_run_ends_with_2(self):
        medium = self.medium(languages=["English,E"], start_up=[MAIN_MODULE, "FILE.DLL"])
        self.assertNoWindow(self.watch(medium, ["/QUIET"], exit_code=EXIT_STOPPED))
        self.assertEqual(log_lines()[-1], "Message (stop):Could not find required initialization file:\\nFILE.DLL")
        self.assertIsNone(medium.main_module_report())
        self.assertFalse(medium.temp_dir.exists())

    def test_a_whole_quiet_run_starts_the_main_module_with_the_same_command_line(self):
        medium = self.medium()
        self.assertNoWindow(self.watch(medium, ["/QUIET", "/LANG=Deutsch"]))
        report = medium.main_module_report()
        self.assertEqual(report.command_line,
                         f"{windows_path(medium.temp_dir)}\\{MAIN_MODULE} {medium.program_windows_dir},Deutsch")
        self.assertFalse(medium.temp_dir.exists())

    def test_the_admin_switch_is_what_it_always_was(self):
        for args, admin in ((["/QUIET", "/LANG=English", "/NORESTART"], False), (["/QUIET", "/a"], True),
                            (["/QUIET", "/LOG=C:/admin.log"], True)):
            with self.subTest(args=args):
                medium = self.medium(languages=["English,E"])
                self.assertNoWindow(self.watch(medium, args))
                self.assertLanguage(medium, "English", admin=admin)


class LogAndRestartTest(UnattendedScenario):
    def test_the_log_goes_to_a_new_file_with_the_same_lines(self):
        medium = self.medium(languages=["English,E"])
        self.watch(medium, [])
        usual = log_lines()
        switch_log(False)
        log = self.scratch() / "logs dir" / "setup run.log"
        log.parent.mkdir()
        argument = f'/LOG="{windows_path(log)}"'
        self.watch(medium, [argument])
        self.assertFalse(setup_log_path().exists())
        lines = log.read_bytes().decode("cp1252").split("\r\n")
        self.assertEqual(lines[-1], "")
        self.assertEqual(lines[:-1], [f"Processing command line: {argument}"] + usual)

    def test_a_log_path_on_the_medium_leaves_the_run_without_a_log(self):
        medium = self.medium(languages=["English,E"])
        (medium.path / "logs").mkdir()
        list_file_bytes = (medium.path / "SETUP.LST").read_bytes()
        for argument in (f"/LOG={windows_path(medium.path / 'SETUP.LST')}", "/LOG=setup.lst", "/LOG=logs\\run.log"):
            with self.subTest(argument=argument):
                switch_log(True)
                self.watch(medium, [argument])
                self.assertIsNotNone(medium.main_module_report())
                self.assertEqual((medium.path / "SETUP.LST").read_bytes(), list_file_bytes)
                self.assertEqual(list((medium.path / "logs").iterdir()), [])
                self.assertEqual(log_lines(), [])

    def test_a_log_in_the_directory_the_run_creates_stays_there(self):
        temp_dir = self.scratch() / "TMP"
        medium = self.medium(languages=["English,E"])
        medium.write_list(list_file(languages=["English,E"], tmp_dir_name=windows_path(temp_dir)))
        log = temp_dir / "setup.log"
        self.watch(medium, [f"/LOG={windows_path(log)}"])
        self.assertEqual([p.name for p in temp_dir.iterdir()], ["setup.log"])
        lines = log.read_bytes().decode("cp1252").split("\r\n")
        self.assertTrue(lines[-2].startswith("CreateProcess ok with "), lines)

    def test_a_relative_log_path_is_made_full_at_the_start(self):
        # The last line comes after the clean-up has changed the current directory to C:\.
        medium = self.medium(languages=["English,E"])
        work = self.scratch()
        env = dict(TRACE_RESTART, ZS_MAIN_MODULE_RESTART="1")
        self.watch(medium, ["/NORESTART", "/LOG=relative.log"], env=env, exit_code=EXIT_RESTART_NEEDED,
                   cwd=windows_path(work))
        lines = (work / "relative.log").read_bytes().decode("cp1252").split("\r\n")
        self.assertEqual(lines[-2], "Restart requested:not made (/NORESTART)")
        self.assertFalse((drive_c() / "relative.log").exists())

    def test_a_requested_restart_is_logged_and_left_to_the_caller(self):
        medium = self.medium(languages=["English,E"])
        env = dict(TRACE_RESTART, ZS_MAIN_MODULE_RESTART="1")
        run = self.watch(medium, ["/NORESTART"], env=env, exit_code=EXIT_RESTART_NEEDED)
        self.assertNotIn(RESTART_REQUESTED, run.output)
        self.assertNotIn("InitiateSystemShutdown", run.output)
        self.assertEqual(log_lines()[-1], "Restart requested:not made (/NORESTART)")
        self.assertFalse(medium.temp_dir.exists())


if __name__ == "__main__":
    unittest.main()
