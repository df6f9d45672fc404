"""The scenario harness itself: paths as Wine sees them, INI reading, the registry through reg.exe, and the
exit status and time limit of wine-run.sh."""

import subprocess
import tempfile
import unittest
from pathlib import Path

import winharness
from winharness import (WINE_SESSION, MediaDir, bin_dir, drive_c, parse_ini, parse_reg_export, reg_add, reg_delete,
                        reg_key_exists, reg_query, remove_win_ini_section, run_program, win_ini_path,
                        win_ini_section, windows_path)

TEST_KEY = r"HKCU\Software\ZemsetupTests\Harness"


class PathsAndIniTest(unittest.TestCase):
    def test_windows_paths_of_linux_paths(self):
        self.assertEqual(windows_path(drive_c() / "zs-e2e" / "m1" / "SETUP.LST"), r"C:\zs-e2e\m1\SETUP.LST")
        self.assertEqual(windows_path(drive_c()), "C:\\")
        self.assertEqual(windows_path("/tmp/some dir/x.txt"), r"Z:\tmp\some dir\x.txt")

    def test_media_directory_lies_in_drive_c_and_is_removed(self):
        with MediaDir("check") as media:
            written = media.write("SETUP.LST", "[Setup]\r\nAppName=Demo\r\n")
            self.assertEqual(written.read_bytes(), b"[Setup]\r\nAppName=Demo\r\n")
            self.assertTrue(media.windows_path.startswith("C:\\zs-e2e\\check-"))
            self.assertTrue(media.command("setup.exe").endswith("\\setup.exe"))
        self.assertFalse(media.path.exists())

    def test_ini_sections_as_the_profile_functions_read_them(self):
        sections = parse_ini("; comment\r\n[Zemsetup32]\r\nStdProfile = Wien \r\nstdprofile=second\r\n"
                             "[zemstplauncher]\r\nKey=a=b\r\n[ZEMSETUP32]\r\nStdHelp=deu.hlp\r\n")
        self.assertEqual(sections["zemsetup32"], {"stdprofile": "Wien", "stdhelp": "deu.hlp"})
        self.assertEqual(sections["zemstplauncher"], {"key": "a=b"})

    def test_values_of_an_exported_registry_key(self):
        # As Wine's reg export writes them: escapes, long values continued on the next line, subkeys after.
        exported = ('Windows Registry Editor Version 5.00\r\n\r\n'
                    '[HKEY_CURRENT_USER\\Software\\ZsT]\r\n'
                    '@="def"\r\n'
                    '"Exp"=hex(2):25,00,54,00,4d,00,\\\r\n  50,00,25,00,00,00\r\n'
                    '"Multi"=hex(7):61,00,00,00,62,00,e9,00,00,00,00,00\r\n'
                    '"Na\\"me"="Demo Telepítõ \\"q\\" back\\\\slash"\r\n'
                    '"Reboot"=dword:00000001\r\n'
                    '"Q"=hex(b):02,00,00,00,01,00,00,00\r\n'
                    '"Bin"=hex:01,ff\r\n\r\n'
                    '[HKEY_CURRENT_USER\\Software\\ZsT\\Sub]\r\n'
                    '"Other"="not this key"\r\n')
        self.assertEqual(parse_reg_export(exported), {
            None: "def", "exp": "%TMP%", "multi": ["a", "bé"], 'na"me': 'Demo Telepítõ "q" back\\slash',
            "reboot": 1, "q": 0x100000002, "bin": b"\x01\xff"})


class WineTest(unittest.TestCase):
    def test_exit_status_of_a_program_passes_through(self):
        self.assertEqual(run_program("cmd", "/c", "exit 7").returncode, 7)

    def test_registry_values_round_trip_through_reg(self):
        self.addCleanup(reg_delete, r"HKCU\Software\ZemsetupTests")
        reg_add(TEST_KEY, "Name", "Demo Telepítõ")
        reg_add(TEST_KEY, "Reboot", 1)
        self.assertEqual(reg_query(TEST_KEY, "Reboot"), 1)
        self.assertEqual(reg_query(TEST_KEY, "Name"), "Demo Telepítõ")
        self.assertIsNone(reg_query(TEST_KEY, "Missing"))
        reg_delete(TEST_KEY, "Reboot")
        self.assertIsNone(reg_query(TEST_KEY, "Reboot"))
        reg_delete(TEST_KEY)
        self.assertFalse(reg_key_exists(TEST_KEY))

    def test_win_ini_sections_are_read_and_removed(self):
        path = win_ini_path()
        original = path.read_bytes()
        self.addCleanup(path.write_bytes, original)
        path.write_bytes(original + "[ZsHarnessCheck]\r\nWord=Telepítõ\r\n".encode("cp1252"))
        self.assertEqual(win_ini_section("zsharnesscheck"), {"word": "Telepítõ"})
        remove_win_ini_section("ZsHarnessCheck")
        self.assertIsNone(win_ini_section("ZsHarnessCheck"))
        self.assertEqual(path.read_bytes(), original)

    def test_a_program_past_its_time_limit_is_stopped(self):
        viewer = bin_dir() / "dialog_viewer.exe"
        if not viewer.exists():
            self.skipTest("dialog_viewer.exe not built")
        # Ending every Wine process of the prefix ends the session's persistent wineserver too: every later
        # scenario would start Wine cold. The session is started afresh afterwards.
        if winharness.session_display() is not None:
            self.addCleanup(subprocess.run, [str(WINE_SESSION), "start"], check=True, capture_output=True)
            self.addCleanup(subprocess.run, [str(WINE_SESSION), "stop"], check=True, capture_output=True)
        with tempfile.TemporaryDirectory() as work:
            report = windows_path(Path(work) / "r.json")
            result = run_program(viewer, report, "wait", "Never closed", "text", timeout=2)
        self.assertEqual(result.returncode, 124, result.stderr)
        # Wine still works after every process of the prefix was ended.
        after = run_program("cmd", "/c", "exit 3")
        self.assertEqual(after.returncode, 3, after.stderr)


if __name__ == "__main__":
    unittest.main()
