"""A run of setup.exe that gets as far as the staging of the start-up files: the setup log switched on and off,
the command-line switch, workstation and local runs and the temporary directory."""

import unittest

from setupmedium import (EXIT_REACHED_STAGING, LANGUAGE_DIALOG_CAPTION, SetupMedium, catalogue_log_lines,
                         clean_wine_state, list_file, log_bytes, log_lines, setup_log_path, switch_log)
from winharness import WineTestCase, windows_path


class RunScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)

    def medium(self, languages=("English,E",), tmp_dir_name=None, **options) -> SetupMedium:
        medium = SetupMedium(**options)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        name = tmp_dir_name if tmp_dir_name is not None else windows_path(medium.temp_dir)
        medium.write_list(list_file(languages=list(languages), tmp_dir_name=name))
        return medium

    def run_through(self, medium, args=(), steps=("wait-exit",)):
        run = medium.run(list(steps), args=args)
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_REACHED_STAGING)
        return run, medium.staging_report()


class SetupLogTest(RunScenario):
    def test_every_step_is_logged_in_order_with_cr_lf(self):
        switch_log(True)
        medium = self.medium(["English,E", "Deutsch,E", "Magyar,H"])
        self.run_through(medium, args=["/A"], steps=[f"wait {LANGUAGE_DIALOG_CAPTION}", "select Deutsch",
                                                     "wait Sprachauswahl", "press OK", "wait-exit"])
        self.assertEqual(log_lines(), [
            "Processing command line: /A",
            "Checking list file...",
            "Checking available languages:SETUPLANG",
            "\t\t***English,E",
            "\t\t***Deutsch,E",
            "\t\t***Magyar,H",
            "\t\t***",
            "Supported languages:EnglishDeutsch",
            "Checking list file structure:APPNAME",
            "Checking list file structure:TMPDIR_SIZE",
            "Checking available space...",
            "Preparing for display Select Language dialog...",
            *catalogue_log_lines(),
            "Selected language:Deutsch",
            "[local,admin] Creating tmp directory...",
        ])

    def test_a_second_run_appends_to_the_first(self):
        switch_log(True)
        medium = self.medium()
        self.run_through(medium)
        first = log_bytes()
        self.run_through(medium)
        self.assertEqual(log_bytes(), first + first)

    def test_without_the_log_file_nothing_is_written(self):
        switch_log(False)
        medium = self.medium()
        run, report = self.run_through(medium)
        self.assertFalse(setup_log_path().exists())
        self.assertEqual(report["languageName"], "English")


class CommandLineTest(RunScenario):
    def test_admin_switch(self):
        medium = self.medium()
        for args, admin in ((["/A"], "1"), (["/a"], "1"), (["x/ay"], "1"), (["/q", "/abc"], "1"),
                            (["-a"], "0"), (["A"], "0")):
            with self.subTest(args=args):
                switch_log(True)
                run, report = self.run_through(medium, args=args)
                self.assertEqual(report["adminMode"], admin)
                self.assertEqual(log_lines()[0], "Processing command line: " + " ".join(args))

    def test_empty_command_line_is_not_logged(self):
        switch_log(True)
        medium = self.medium()
        run, report = self.run_through(medium)
        self.assertEqual(report["adminMode"], "0")
        self.assertEqual(log_lines()[0], "Checking list file...")


class InstallationModeTest(RunScenario):
    def test_local_run_creates_the_temporary_directory(self):
        switch_log(True)
        medium = self.medium()
        run, report = self.run_through(medium)
        self.assertTrue(medium.temp_dir.is_dir())
        self.assertEqual(list(medium.temp_dir.iterdir()), [])
        self.assertEqual(report["workstation"], "0")
        self.assertEqual(report["targetDirectory"], windows_path(medium.temp_dir) + "\\")
        self.assertEqual(report["sourceDirectory"], medium.program_windows_dir)
        self.assertEqual(report["listFilePath"], medium.program_windows_dir + "SETUP.LST")
        self.assertEqual(log_lines()[-1], "[local,admin] Creating tmp directory...")

    def test_existing_temporary_directory_is_used_unchanged(self):
        switch_log(True)
        medium = self.medium()
        medium.temp_dir.mkdir()
        (medium.temp_dir / "OLD.TXT").write_bytes(b"kept")
        run, report = self.run_through(medium)
        self.assertEqual((medium.temp_dir / "OLD.TXT").read_bytes(), b"kept")
        self.assertEqual(log_lines()[-1], "[local,admin] Creating tmp directory...")

    def test_workstation_run_uses_the_program_directory(self):
        switch_log(True)
        medium = self.medium(program_dir="share")
        medium.write("share/ADMIN.INF", "")
        run, report = self.run_through(medium, args=["/A"])
        self.assertEqual(report["workstation"], "1")
        self.assertEqual(report["adminMode"], "1")
        self.assertEqual(report["targetDirectory"], medium.program_windows_dir)
        self.assertFalse(medium.temp_dir.exists())
        self.assertEqual(log_lines()[-1], "[workstation] No tmp directory")

    def test_admin_inf_in_the_current_directory_does_not_count(self):
        medium = self.medium(program_dir="share")
        medium.write("ADMIN.INF", "")
        run, report = self.run_through(medium)
        self.assertEqual(report["workstation"], "0")
        self.assertTrue(medium.temp_dir.is_dir())


if __name__ == "__main__":
    unittest.main()
