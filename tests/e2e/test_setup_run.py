"""A whole run of setup.exe that ends with the main module: the setup log switched on and off, the command-line
switch, workstation and local runs and the temporary directory, as the stand-in main module and the disk show
them."""

import unittest

from setupmedium import (EXIT_COMPLETED, LANGUAGE_DIALOG_CAPTION, MAIN_MODULE, SetupMedium, catalogue_log_lines,
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
        """Runs setup.exe to its end; returns what the main module received."""
        run = medium.run(list(steps), args=args)
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        report = medium.main_module_report()
        self.assertIsNotNone(report, "the main module did not run\n" + run.describe())
        return report


class SetupLogTest(RunScenario):
    def test_every_step_is_logged_in_order_with_cr_lf(self):
        switch_log(True)
        medium = self.medium(["English,E", "Deutsch,E", "Magyar,H"])
        self.run_through(medium, args=["/A"], steps=[f"wait {LANGUAGE_DIALOG_CAPTION}", "select Deutsch",
                                                     "wait Sprachauswahl", "press OK", "wait-exit"])
        command = f"{windows_path(medium.temp_dir)}\\{MAIN_MODULE} {medium.program_windows_dir},Deutsch,ADMINMODE"
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
            "Initializing setup files...",
            medium.program_windows_dir + MAIN_MODULE,
            "Attempting to launch main setup module...",
            "CMD:" + command,
            f"CreateProcess ok with {command}.",
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
        report = self.run_through(medium)
        self.assertFalse(setup_log_path().exists())
        self.assertTrue(report.command_line.endswith(",English"), report)


class CommandLineTest(RunScenario):
    def test_admin_switch(self):
        medium = self.medium()
        for args, admin in ((["/A"], True), (["/a"], True), (["x/ay"], True), (["/q", "/abc"], True),
                            (["-a"], False), (["A"], False)):
            with self.subTest(args=args):
                switch_log(True)
                report = self.run_through(medium, args=args)
                self.assertEqual(report.command_line.endswith(",English,ADMINMODE"), admin, report)
                self.assertEqual(log_lines()[0], "Processing command line: " + " ".join(args))

    def test_empty_command_line_is_not_logged(self):
        switch_log(True)
        medium = self.medium()
        report = self.run_through(medium)
        self.assertTrue(report.command_line.endswith(",English"), report)
        self.assertEqual(log_lines()[0], "Checking list file...")


class InstallationModeTest(RunScenario):
    def test_local_run_stages_into_a_new_temporary_directory_and_removes_it(self):
        medium = self.medium()
        report = self.run_through(medium)
        temp = windows_path(medium.temp_dir)
        self.assertEqual(report.command_line, f"{temp}\\{MAIN_MODULE} {medium.program_windows_dir},English")
        self.assertEqual(report.program, f"{temp}\\{MAIN_MODULE}")
        self.assertEqual(list(report.files), [MAIN_MODULE])
        # The main module inherits setup.exe's current directory.
        self.assertEqual(report.current_directory.rstrip("\\"), medium.windows_path)
        self.assertFalse(medium.temp_dir.exists())

    def test_existing_temporary_directory_keeps_what_was_there(self):
        switch_log(True)
        medium = self.medium()
        medium.temp_dir.mkdir()
        (medium.temp_dir / "OLD.TXT").write_bytes(b"kept")
        report = self.run_through(medium)
        self.assertEqual(sorted(report.files), ["OLD.TXT", MAIN_MODULE])
        # Only what the run staged goes; the directory and the files that were there before stay.
        self.assertEqual(sorted(p.name for p in medium.temp_dir.iterdir()), ["OLD.TXT"])
        self.assertEqual((medium.temp_dir / "OLD.TXT").read_bytes(), b"kept")
        self.assertIn("[local,admin] Creating tmp directory...", log_lines())

    def test_workstation_run_starts_the_module_where_it_lies(self):
        switch_log(True)
        medium = self.medium(program_dir="share")
        medium.write("share/ADMIN.INF", "")
        report = self.run_through(medium, args=["/A"])
        source = medium.program_windows_dir
        self.assertEqual(report.command_line, f"{source}{MAIN_MODULE} {source},English,ADMINMODE")
        self.assertFalse(medium.temp_dir.exists())
        # Nothing is created or removed in the program's directory.
        self.assertEqual(sorted(p.name for p in (medium.path / "share").iterdir()),
                         ["ADMIN.INF", "SETUP.LST", "ZSRES.DLL", MAIN_MODULE, "setup.exe"])
        self.assertIn("[workstation] No tmp directory", log_lines())

    def test_admin_inf_in_the_current_directory_does_not_count(self):
        medium = self.medium(program_dir="share")
        medium.write("ADMIN.INF", "")
        report = self.run_through(medium)
        self.assertEqual(report.program, f"{windows_path(medium.temp_dir)}\\{MAIN_MODULE}")
        self.assertFalse(medium.temp_dir.exists())


if __name__ == "__main__":
    unittest.main()
