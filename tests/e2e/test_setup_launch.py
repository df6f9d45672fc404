"""The end of a setup.exe run: the main module's command line and its launch, the log lines around it, the wait for
the module, the clean-up of the temporary directory, the restart check in the registry, and a main module that
cannot be started (a failure that is shown, not one that looks like success)."""

import unittest

from setupmedium import (EXIT_COMPLETED, EXIT_STOPPED, MAIN_MODULE, SetupMedium, clean_wine_state, list_file,
                         log_lines, restart_key, restart_key_view, switch_log)
from winharness import WineTestCase, bin_dir, prefix, reg_add, reg_query, windows_path

ANSWER_MESSAGE = ["wait setup", "dump", "press OK", "wait-exit"]

# Under Wine the restart's NT branch runs for real, and Wine's shutdown request restarts nothing. Its trace on
# the "advapi" debug channel is the visible sign that setup.exe asked for a restart: no machine name, no
# message, no delay, applications not forced to close, restart afterwards.
TRACE_RESTART = {"WINEDEBUG": "-all,fixme+advapi"}
RESTART_REQUESTED = "InitiateSystemShutdownExA (null) (null) 0 0 1"


class LaunchScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state(registry=True)
        self.addCleanup(clean_wine_state, registry=True)
        switch_log(True)

    def medium(self, start_up=(MAIN_MODULE,), app_name="Demo", tmp_dir_name=None, languages=("English,E",),
               **options) -> SetupMedium:
        medium = SetupMedium(**options)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        medium.write_list(list_file(languages=list(languages), app_name=app_name, start_up=list(start_up),
                                    tmp_dir_name=tmp_dir_name or windows_path(medium.temp_dir)))
        return medium

    def run_to_the_end(self, medium, env=None, **options):
        run = medium.run(["wait-exit"], env=env, **options)
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        report = medium.main_module_report()
        self.assertIsNotNone(report, run.describe())
        return run, report

    def launch_lines(self, command: str):
        return ["Attempting to launch main setup module...", "CMD:" + command, f"CreateProcess ok with {command}."]


class CommandLineTest(LaunchScenario):
    def map_drive(self, letter: str, target) -> None:
        link = prefix() / "dosdevices" / f"{letter}:"
        if link.exists() or link.is_symlink():
            self.skipTest(f"drive {letter}: is taken in this prefix")
        link.symlink_to(target)
        self.addCleanup(link.unlink)

    def test_admin_run_from_a_medium_in_drive_e(self):
        temp = prefix() / "drive_c" / "SETUPTMP"
        self.assertFalse(temp.exists(), "C:\\SETUPTMP is left over from an earlier run")
        medium = self.medium(tmp_dir_name="C:\\SETUPTMP")
        self.map_drive("e", medium.path)
        _, report = self.run_to_the_end(medium, command_line="E:\\setup.exe /a", cwd="E:\\")
        command = "C:\\SETUPTMP\\_SETUP.EXE E:\\,English,ADMINMODE"
        self.assertEqual(report.command_line, command)
        self.assertEqual(log_lines()[-3:], self.launch_lines(command))
        self.assertFalse(temp.exists())

    def test_the_command_line_starts_after_an_unquoted_program_path_with_letters_above_127(self):
        # Such a letter of the ANSI code page belongs to the program's name: the C runtime's start-up code compared
        # the bytes signed, ended the name there and passed the rest of the path on as the command line.
        medium = self.medium(name="\u00dcbung")
        self.run_to_the_end(medium, command_line=windows_path(medium.path / "setup.exe") + " /a")
        self.assertIn("Processing command line: /a", log_lines())

    def test_workstation_run_names_the_source_directory_twice(self):
        medium = self.medium()
        medium.write("ADMIN.INF", "")
        _, report = self.run_to_the_end(medium)
        source = medium.program_windows_dir
        command = f"{source}{MAIN_MODULE} {source},English"
        self.assertEqual(report.command_line, command)
        self.assertEqual(log_lines()[-3:], self.launch_lines(command))
        self.assertTrue((medium.path / MAIN_MODULE).exists())

    def test_a_target_directory_with_blanks_starts_the_staged_module(self):
        # Read from the unquoted command line, "...\My Temp\_SETUP.EXE" would start "...\My.exe" first.
        medium = self.medium()
        temp = medium.path / "My Temp"
        medium.write_list(list_file(start_up=[MAIN_MODULE], tmp_dir_name=windows_path(temp)))
        decoy_record = medium.path / "decoy.txt"
        medium.copy(bin_dir() / "record_command_line.exe", "My.exe")
        _, report = self.run_to_the_end(medium, env={"ZS_TEST_COMMAND_LINE_FILE": windows_path(decoy_record)})
        command = f"{windows_path(temp)}\\{MAIN_MODULE} {medium.program_windows_dir},English"
        self.assertEqual(report.command_line, command)
        self.assertEqual(report.program, f"{windows_path(temp)}\\{MAIN_MODULE}")
        self.assertFalse(decoy_record.exists())
        self.assertFalse(temp.exists())


class WaitAndCleanUpTest(LaunchScenario):
    def test_the_module_runs_with_its_files_before_they_are_removed(self):
        medium = self.medium(start_up=[MAIN_MODULE, "DATA.BIN"])
        medium.write_program_file("DATA.BIN", b"data")
        # The module looks at its files only after a while: they are still there, setup.exe waits for it.
        _, report = self.run_to_the_end(medium, env={"ZS_MAIN_MODULE_DELAY_MS": "1500"})
        self.assertTrue(report.received("DATA.BIN", b"data"))
        self.assertFalse(medium.temp_dir.exists())

    def test_the_module_exit_code_is_not_setup_exe_s(self):
        medium = self.medium()
        self.run_to_the_end(medium, env={"ZS_MAIN_MODULE_EXIT": "7"})


class MainModuleMissingTest(LaunchScenario):
    def test_a_module_that_cannot_be_started_is_reported(self):
        reg_add(restart_key(), "Reboot", "1", view=restart_key_view())
        medium = self.medium(start_up=["DATA.BIN"], languages=["Deutsch,E"], main_module=False)
        medium.write_program_file("DATA.BIN", b"data")
        run = medium.run(ANSWER_MESSAGE, env=TRACE_RESTART)
        self.assertDriverOk(run)
        self.assertMessageBox(run, "Konnte _SETUP.EXE nicht starten.", icon="stop", caption="setup",
                              buttons=["OK"])
        self.assertExitCode(run, EXIT_STOPPED)
        command = f"{windows_path(medium.temp_dir)}\\{MAIN_MODULE} {medium.program_windows_dir},Deutsch"
        self.assertEqual(log_lines()[-3:], ["Attempting to launch main setup module...", "CMD:" + command,
                                            "CreateProcess failed with error code: 2"])
        self.assertFalse(medium.temp_dir.exists())
        # The module never ran, so the request in the registry is not its: no restart.
        self.assertNotIn(RESTART_REQUESTED, run.output)


class RestartTest(LaunchScenario):
    """The main module's restart request: the value "Reboot" under HKEY_LOCAL_MACHINE
    "Software\\Zemrova\\" + AppName + "\\Setup", read as text after the module has ended, and acted on only when
    the module wrote it during the run (the key's last write time tells)."""

    def run_with_request(self, request, app_name="Demo"):
        medium = self.medium(app_name=app_name)
        env = dict(TRACE_RESTART)
        if request is not None:
            env["ZS_MAIN_MODULE_RESTART"] = request
        run, report = self.run_to_the_end(medium, env=env)
        if request is not None:
            self.assertTrue(report.restart_request.startswith("Reboot="), report.restart_request)
        self.assertFalse(medium.temp_dir.exists())
        return run

    def test_a_request_of_1_restarts_windows(self):
        run = self.run_with_request("1")
        self.assertEqual(reg_query(restart_key(), "Reboot", view=restart_key_view()), "1")
        self.assertIn(RESTART_REQUESTED, run.output)

    def test_values_that_are_no_request(self):
        for request in ("0", None, "yes", "dword:1"):
            with self.subTest(request=request):
                clean_wine_state(registry=True)
                run = self.run_with_request(request)
                self.assertNotIn("InitiateSystemShutdown", run.output)
        # The last one, stored as a number.
        self.assertEqual(reg_query(restart_key(), "Reboot", view=restart_key_view()), 1)

    def test_the_request_is_looked_for_under_the_application_name(self):
        run = self.run_with_request("1", app_name="MYAPP")
        self.assertEqual(reg_query(restart_key("MYAPP"), "Reboot", view=restart_key_view()), "1")
        self.assertIn(RESTART_REQUESTED, run.output)
        # A request of another application is not this run's.
        clean_wine_state(registry=True)
        reg_add(restart_key("OTHER"), "Reboot", "1", view=restart_key_view())
        run = self.run_with_request(None, app_name="MYAPP")
        self.assertNotIn("InitiateSystemShutdown", run.output)

    def test_only_a_request_written_during_the_run_is_acted_on(self):
        reg_add(restart_key(), "Reboot", "2", view=restart_key_view())
        run = self.run_with_request(None)
        self.assertNotIn("InitiateSystemShutdown", run.output)
        self.assertEqual(log_lines()[-1], "Restart request left from an earlier run:ignored")
        # Written while the module runs, it is a request. (The same text written again changes nothing where the
        # registry drops a write that changes nothing, as Wine's does: the key's time does not move then.)
        run = self.run_with_request("1")
        self.assertIn(RESTART_REQUESTED, run.output)


if __name__ == "__main__":
    unittest.main()
