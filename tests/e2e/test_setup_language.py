"""The Select Language dialog of setup.exe in both modes, driven as a user would: what it offers, how it relabels
itself in the highlighted language, what a choice gives the rest of the run (the language on the main module's
command line, the please-wait window's caption and text, the WIN.INI values of a location), and cancelling by
Escape and Close with the launcher record in WIN.INI."""

import unittest

from setupmedium import (EXIT_CANCELLED, EXIT_COMPLETED, EXIT_STOPPED, HAND_OFF_SECTION, LANGUAGE_DIALOG_CAPTION,
                         LANGUAGE_LABEL, LANGUAGE_LIST, LAUNCHER_SECTION, LOCATION_DIALOG_CAPTION, MAIN_MODULE,
                         WAIT_TEXT, SetupMedium, add_win_ini_section, catalogue_log_lines, clean_wine_state, list_file,
                         log_lines, screen_centre, switch_log, window_centre)
from winharness import WineTestCase, control, win_ini_section, windows_path


class DialogScenario(WineTestCase):
    def setUp(self) -> None:
        self.require_program("setup.exe")
        clean_wine_state()
        self.addCleanup(clean_wine_state)
        switch_log(True)

    def medium(self, languages, profile=None, edition=None, library="", filter_code="E",
               tmp_dir_name=None) -> SetupMedium:
        medium = SetupMedium(library=library)
        medium.__enter__()
        self.addCleanup(medium.__exit__, None, None, None)
        medium.write_list(list_file(languages=languages, edition=edition, filter_code=filter_code,
                                    tmp_dir_name=tmp_dir_name or windows_path(medium.temp_dir)))
        if profile is not None:
            medium.write_profile(profile)
        return medium

    def assertRanWithLanguage(self, run, medium, language: str) -> None:
        """The run went on in LANGUAGE to its end: the main module received it on its command line."""
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_COMPLETED)
        report = medium.main_module_report()
        self.assertIsNotNone(report, run.describe())
        self.assertEqual(report.command_line.rsplit(" ", 1)[1], f"{medium.program_windows_dir},{language}")
        self.assertIn(f"Selected language:{language}", log_lines())

    def assertCancelled(self, run, medium) -> None:
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_CANCELLED)
        self.assertEqual(run.message_boxes(), [])
        self.assertIsNone(medium.main_module_report())
        self.assertFalse(medium.temp_dir.exists())
        self.assertIsNone(win_ini_section(HAND_OFF_SECTION))
        self.assertNotIn("Selected language:", "\n".join(log_lines()))


class LanguageModeTest(DialogScenario):
    def test_single_language_is_taken_without_asking(self):
        medium = self.medium(["English,E", "Deutsch,G"])
        run = medium.run(["wait-exit"])
        self.assertRanWithLanguage(run, medium, "English")

    def test_dialog_relabels_itself_in_the_highlighted_language(self):
        medium = self.medium(["English,E", "Deutsch,E", "Magyar,E"])
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "dump",
                          "select Deutsch", "wait Sprachauswahl", "dump",
                          "select Magyar", "wait Nyelv kiválasztása", "dump",
                          "select English", f"wait {LANGUAGE_DIALOG_CAPTION}", "dump",
                          "select Magyar", "wait Nyelv kiválasztása", "press OK", "wait-exit"])
        first, german, hungarian, english = run.windows()
        # The first caption and label are block 1's, whatever item 0 is; the template's label is replaced.
        self.assertEqual(first["caption"], "Select Language")
        self.assertStaticTexts(first, {LANGUAGE_LABEL: "Setup Language"})
        self.assertListItems(first, LANGUAGE_LIST, ["English", "Deutsch", "Magyar"], selected=0)
        self.assertAlmostEqual(window_centre(first)[0], screen_centre()[0], delta=1)
        self.assertAlmostEqual(window_centre(first)[1], screen_centre()[1], delta=1)
        self.assertStaticTexts(german, {LANGUAGE_LABEL: "Setup Sprache"})
        self.assertListItems(german, LANGUAGE_LIST, ["English", "Deutsch", "Magyar"], selected=1)
        self.assertStaticTexts(hungarian, {LANGUAGE_LABEL: "Telepítõ nyelve:"})
        self.assertStaticTexts(english, {LANGUAGE_LABEL: "Setup Language"})
        self.assertRanWithLanguage(run, medium, "Magyar")
        lines = log_lines()
        start = lines.index("Preparing for display Select Language dialog...")
        self.assertEqual(lines[start:start + 15], ["Preparing for display Select Language dialog...",
                                                   *catalogue_log_lines(), "Selected language:Magyar"])

    def test_languages_are_offered_in_catalogue_order(self):
        medium = self.medium(["Polski,E", "Deutsch,E", "Magyar,X", "English,E"])
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "dump", "press OK", "wait-exit"])
        self.assertListItems(run.window(LANGUAGE_DIALOG_CAPTION), LANGUAGE_LIST, ["English", "Deutsch", "Polski"],
                             selected=0)
        self.assertRanWithLanguage(run, medium, "English")

    def test_double_click_chooses_the_item(self):
        medium = self.medium(["English,E", "Francais,E"])
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "dblclick Francais", "wait-exit"])
        self.assertRanWithLanguage(run, medium, "Francais")

    def test_ok_with_an_empty_list_ends_as_cancelled(self):
        medium = self.medium(["English,X", "Deutsch,X"])
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "dump", "press OK", "wait-exit"])
        self.assertListItems(run.window(LANGUAGE_DIALOG_CAPTION), LANGUAGE_LIST, [])
        self.assertCancelled(run, medium)
        self.assertIsNone(win_ini_section(LAUNCHER_SECTION))

    def test_library_without_the_dialog_ends_as_cancelled(self):
        medium = self.medium(["English,E", "Deutsch,E"], library="no_dialogs")
        run = medium.run(["wait-exit"])
        self.assertCancelled(run, medium)


class CancelTest(DialogScenario):
    """Cancelling writes "ExitCode" = "0" to WIN.INI's launcher section and removes the section again unless a
    launcher asked to keep it with a non-zero "Launcher" value."""

    def cancel(self, how: str, launcher=None):
        if launcher is not None:
            add_win_ini_section(LAUNCHER_SECTION, [("Launcher", launcher)])
        medium = self.medium(["English,E", "Deutsch,E"])
        run = medium.run([f"wait {LANGUAGE_DIALOG_CAPTION}", "select Deutsch", "wait Sprachauswahl", how,
                          "wait-exit"])
        self.assertCancelled(run, medium)
        self.assertEqual(log_lines()[-13:], catalogue_log_lines())
        return win_ini_section(LAUNCHER_SECTION)

    def test_escape_without_launcher_leaves_no_trace(self):
        self.assertIsNone(self.cancel("escape"))

    def test_close_without_launcher_leaves_no_trace(self):
        self.assertIsNone(self.cancel("close"))

    def test_launcher_value_that_is_not_a_number_counts_as_none(self):
        self.assertIsNone(self.cancel("escape", launcher="yes"))

    def test_escape_with_launcher_keeps_the_record(self):
        self.assertEqual(self.cancel("escape", launcher="1"), {"launcher": "1", "exitcode": "0"})

    def test_close_with_launcher_keeps_the_record(self):
        self.assertEqual(self.cancel("close", launcher="2"), {"launcher": "2", "exitcode": "0"})


class ChosenBlockTest(DialogScenario):
    """The chosen language's block as the please-wait window (caption and text) shows it while the start-up files
    are staged, centred on the screen, and as the next message shows it: a start-up file that is missing."""

    def medium(self, languages, **options) -> SetupMedium:
        medium = super().medium(languages, **options)
        medium.write_list(list_file(languages=languages, edition=options.get("edition"),
                                    tmp_dir_name=windows_path(medium.temp_dir),
                                    start_up=[MAIN_MODULE, "MISSING.DLL"]))
        return medium

    def stop_after_choice(self, medium, steps, caption: str):
        # "wait-dump" holds setup.exe as the please-wait window shows, until the driver has reported it.
        run = medium.run(steps + [f"wait-dump {caption}", "wait setup", "dump", "press OK", "wait-exit"])
        self.assertDriverOk(run)
        self.assertExitCode(run, EXIT_STOPPED)
        return run

    def assertChosenBlock(self, run, caption: str, wait_text: str, message: str) -> None:
        wait = run.window(caption)
        self.assertStaticTexts(wait, {WAIT_TEXT: wait_text})
        for actual, expected in zip(window_centre(wait), screen_centre()):
            self.assertAlmostEqual(actual, expected, delta=1)
        self.assertMessageBox(run, message, icon="stop", caption="setup", buttons=["OK"])
        # The please-wait window is gone before the message is shown.
        self.assertEqual([window["caption"] for window in run.windows()], [caption, "setup"])

    def test_single_language(self):
        medium = self.medium(["English,E", "Deutsch,G"])
        run = self.stop_after_choice(medium, [], "Demo Setup")
        self.assertChosenBlock(run, "Demo Setup", "Initializing Setup. Please wait...",
                               "Could not find required initialization file:\nMISSING.DLL")

    def test_chosen_languages(self):
        for language, caption, wait_text, message in (
                ("Magyar", "Demo Telepítõ", "A Telepítõ inicializálása. Kérjük, várjon...",
                 "A(z) \nMISSING.DLL inicializációs fájl nem található."),
                ("Francais", "Demo Installation", "Initialisation de l'installation. Veuillez patienter...",
                 "Ne peut pas trouver le fichier d'initialisation demandé:\nMISSING.DLL")):
            with self.subTest(language=language):
                medium = self.medium(["English,E", "Magyar,E", "Francais,E"])
                run = self.stop_after_choice(medium, [f"wait {LANGUAGE_DIALOG_CAPTION}", f"dblclick {language}"],
                                             caption)
                self.assertChosenBlock(run, caption, wait_text, message)

    def test_location_with_an_empty_setup_value_takes_the_first_offered_language(self):
        medium = self.medium(["Deutsch,E", "Magyar,E"], profile=[("Bern", [("Name", "Swiss"), ("Setup", "")])],
                             edition="Zem Standard Edition")
        run = self.stop_after_choice(medium, [f"wait {LOCATION_DIALOG_CAPTION}", "press OK"], "Demo Setup")
        self.assertChosenBlock(run, "Demo Setup", "Initialisierung des Setup´s. Bitte warten...",
                               "Konnte Initialisierungsdatei:\nMISSING.DLL nicht finden.")


PROFILE = [
    ("Wien", [("Name", "Austria"), ("Setup", "Deutsch"), ("Messages", "ger.dll"), ("Help", "ger.hlp"),
              ("LicencLang", "Deutsch")]),
    ("London", [("Name", "United Kingdom"), ("Setup", "English")]),
    ("Paris", [("Name", "France"), ("Setup", "Francais")]),
]
LOCATIONS = ["Austria", "United Kingdom", "France"]


class LocationModeTest(DialogScenario):
    def location_medium(self, profile=PROFILE, languages=("English,E", "Deutsch,E")):
        return self.medium(list(languages), profile=profile, edition="Zem Standard Edition")

    def test_choosing_a_location_hands_its_values_to_the_main_module(self):
        medium = self.location_medium()
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "dump",
                          "select Austria", "wait Land wählen", "dump",
                          "select France", f"wait {LOCATION_DIALOG_CAPTION}",
                          "select Austria", "wait Land wählen", "press OK", "wait-exit"])
        first, german = run.windows()
        self.assertListItems(first, LANGUAGE_LIST, LOCATIONS, selected=0)
        self.assertFalse(control(first, LANGUAGE_LABEL)["visible"])
        self.assertListItems(german, LANGUAGE_LIST, LOCATIONS, selected=0)
        self.assertRanWithLanguage(run, medium, "Deutsch")
        self.assertEqual(win_ini_section(HAND_OFF_SECTION), {
            "stdprofile": "Wien", "stdmessages": "ger.dll", "stdhelp": "ger.hlp", "stdlicenclang": "Deutsch"})

    def test_location_whose_language_is_not_offered_gives_english(self):
        medium = self.location_medium(languages=["Deutsch,E"])
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "dblclick France", "wait-exit"])
        self.assertRanWithLanguage(run, medium, "English")
        self.assertEqual(win_ini_section(HAND_OFF_SECTION), {
            "stdprofile": "Paris", "stdmessages": "eng.dll", "stdhelp": "eng.hlp", "stdlicenclang": "English"})

    def test_empty_setup_value_takes_the_first_offered_language(self):
        medium = self.location_medium(profile=[("Bern", [("Name", "Swiss"), ("Setup", "")])],
                                      languages=["Deutsch,E", "Magyar,E"])
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "press OK", "wait-exit"])
        self.assertRanWithLanguage(run, medium, "")

    def test_single_location_still_waits_for_the_user(self):
        medium = self.location_medium(profile=PROFILE[:1])
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "dump", "press OK", "wait-exit"])
        self.assertListItems(run.window(LOCATION_DIALOG_CAPTION), LANGUAGE_LIST, ["Austria"], selected=0)
        self.assertRanWithLanguage(run, medium, "Deutsch")

    def test_location_without_a_name_fails_the_whole_list(self):
        profile = PROFILE[:1] + [("Oslo", [("Setup", "English")])] + PROFILE[1:]
        medium = self.location_medium(profile=profile)
        run = medium.run(["wait-exit"])
        self.assertCancelled(run, medium)
        self.assertIsNone(win_ini_section(LAUNCHER_SECTION))

    def test_missing_profile_gives_an_empty_list(self):
        medium = self.location_medium(profile=None)
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "dump", "press OK", "wait-exit"])
        self.assertListItems(run.window(LOCATION_DIALOG_CAPTION), LANGUAGE_LIST, [])
        self.assertCancelled(run, medium)

    def test_escape_writes_nothing_for_the_main_module(self):
        medium = self.location_medium()
        run = medium.run([f"wait {LOCATION_DIALOG_CAPTION}", "select Austria", "wait Land wählen", "escape",
                          "wait-exit"])
        self.assertCancelled(run, medium)


if __name__ == "__main__":
    unittest.main()
