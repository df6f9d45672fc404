"""The UI driver on the two dialog templates of ZSRES.DLL, shown by dialog_viewer.exe as setup.exe shows them:
what it reads (captions, static texts, list items, selection, buttons, message boxes) and what its actions
reach (selection, double click, OK, Escape, Close), checked against what the viewer itself received."""

import json
import tempfile
import unittest
from pathlib import Path

from winharness import DriverRun, WineTestCase, button_texts, control, drive, program_command, windows_path

WAIT_DIALOG = 103
LANGUAGE_DIALOG = 105
WAIT_TEXT = 1000
LANGUAGE_LIST = 1002
LANGUAGE_LABEL = 1005
LANGUAGES = ["English", "Deutsch", "Magyar", "Français"]


class ViewerScenario(WineTestCase):
    """Runs dialog_viewer.exe under the driver and reads the viewer's own report afterwards."""

    def setUp(self) -> None:
        self.require_program("dialog_viewer.exe")
        self.require_program("ZSRES.DLL")
        work = tempfile.TemporaryDirectory(prefix="zs-viewer-")
        self.addCleanup(work.cleanup)
        self.viewer_report = Path(work.name) / "viewer.json"

    def run_viewer(self, viewer_args, steps, **options) -> DriverRun:
        self.viewer_report.unlink(missing_ok=True)
        command = program_command("dialog_viewer.exe", windows_path(self.viewer_report), *viewer_args)
        return drive(command, steps, **options)

    def viewer_result(self) -> dict:
        self.assertTrue(self.viewer_report.exists(), "the viewer wrote no report")
        return json.loads(self.viewer_report.read_text(encoding="utf-8"))


class WaitDialogTest(ViewerScenario):
    caption = "Demo Telepítõ"
    text = "A Telepítõ inicializálása. Kérjük, várjon..."

    def test_reads_caption_and_text_of_the_modeless_dialog(self):
        run = self.run_viewer(["wait", self.caption, self.text],
                              [f"wait {self.caption}", "dump", "close", "wait-gone", "wait-exit"])
        self.assertDriverOk(run)
        window = run.window(self.caption)
        self.assertEqual(window["class"], "#32770")
        self.assertStaticTexts(window, {WAIT_TEXT: self.text})
        self.assertEqual(button_texts(window), [])
        self.assertNotIn("message_box", window)
        self.assertExitCode(run, 0)
        # The system menu's Close reaches the dialog as WM_CLOSE, which the dialog manager turns into IDCANCEL.
        self.assertEqual(self.viewer_result()["events"], ["close", "cancel"])

    def test_escape_sends_cancel_only(self):
        run = self.run_viewer(["wait", self.caption, self.text],
                              ["wait Demo*", "escape", "wait-exit"])
        self.assertDriverOk(run)
        self.assertEqual(run.step(1)["caption"], self.caption)
        self.assertEqual(self.viewer_result()["events"], ["cancel"])


class LanguageDialogTest(ViewerScenario):
    def run_language(self, steps) -> DriverRun:
        return self.run_viewer(["language", *LANGUAGES], ["wait Select Language", *steps])

    def test_reads_template_texts_items_and_selection(self):
        run = self.run_language(["dump", "select Magyar", "dump", "press OK", "wait-exit"])
        self.assertDriverOk(run)
        before, after = run.windows("Select Language")
        self.assertStaticTexts(before, {LANGUAGE_LABEL: "Setup Language:"})
        self.assertListItems(before, LANGUAGE_LIST, LANGUAGES, selected=0)
        self.assertEqual(button_texts(before), ["OK"])
        self.assertEqual([c["id"] for c in before["controls"]], [LANGUAGE_LABEL, LANGUAGE_LIST, 1])
        self.assertListItems(after, LANGUAGE_LIST, LANGUAGES, selected=2)
        self.assertEqual(self.viewer_result(), {
            "dialog": "language", "result": "ok", "selected": 2, "selected_text": "Magyar",
            "events": ["selchange 2 Magyar", "ok"]})

    def test_select_by_index_and_in_a_named_list(self):
        run = self.run_language([f"select @{LANGUAGE_LIST} #3", "press #1", "wait-exit"])
        self.assertDriverOk(run)
        self.assertEqual(run.step(2)["item_text"], "Français")
        self.assertEqual(self.viewer_result()["selected_text"], "Français")

    def test_double_click_selects_and_chooses(self):
        run = self.run_language(["dblclick Deutsch", "wait-exit"])
        self.assertDriverOk(run)
        result = self.viewer_result()
        self.assertEqual(result["events"], ["selchange 1 Deutsch", "dblclk 1 Deutsch"])
        self.assertEqual((result["result"], result["selected_text"]), ("ok", "Deutsch"))

    def test_escape_and_close_cancel(self):
        for action, events in (("escape", ["cancel"]), ("close", ["close", "cancel"])):
            with self.subTest(action=action):
                run = self.run_language([action, "wait-exit"])
                self.assertDriverOk(run)
                self.assertEqual(self.viewer_result()["events"], events)
                self.assertEqual(self.viewer_result()["result"], "cancel")

    def test_a_missing_item_fails_the_step_and_ends_the_program(self):
        run = self.run_language(["select Klingon", "press OK"])
        error = self.assertDriverFailed(run, 'no item "Klingon"')
        self.assertEqual(error["index"], 2)
        self.assertEqual(error["windows"], ["Select Language"])
        self.assertTrue(run.killed)
        self.assertFalse(self.viewer_report.exists())


class MessageBoxTest(ViewerScenario):
    def test_reads_text_icon_and_buttons(self):
        for icon in ("stop", "exclamation", "information", "question", "none"):
            with self.subTest(icon=icon):
                text = f"Could not find required initialization file:\nC:\\MEDIUM\\{icon}.DL_"
                run = self.run_viewer(["message", icon, "Demo Setup", text],
                                      ["wait Demo Setup", "dump", "press OK", "wait-exit"])
                self.assertDriverOk(run)
                self.assertMessageBox(run, text, icon=icon, caption="Demo Setup", buttons=["OK"])
                self.assertEqual(control(run.window("Demo Setup"), 0xFFFF)["text"], text)
                self.assertEqual(self.viewer_result()["result"], "ok")


class TimeLimitTest(ViewerScenario):
    def test_a_window_that_never_comes_fails_within_the_wait_limit(self):
        run = self.run_viewer(["language", "English"], ["timeout 300", "wait No Such Window"])
        self.assertDriverFailed(run, 'no window "No Such Window" appeared')
        self.assertTrue(run.killed)

    def test_the_scenario_limit_ends_a_program_that_never_ends(self):
        run = self.run_viewer(["wait", "Forever", "text"], ["wait Forever", "wait-exit"], total_limit_ms=1500)
        self.assertDriverFailed(run, "still running")
        self.assertTrue(run.killed)


if __name__ == "__main__":
    unittest.main()
