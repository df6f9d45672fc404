// The start-up sequence of setup.exe, from the resource library to the end of the main setup module, as one
// straight line of steps over a StartUpHost. setup.exe runs it on the real Win32 services; the media tool
// runs the same steps on stand-ins to predict what setup.exe will do with a medium.
//
// Every early end goes through one stop path (Stop), in one order:
//   1. the please-wait window goes, so that nothing of the run's progress stays on the screen behind the
//      message;
//   2. the saved cursor comes back where the step asks for it (not for the fixed messages of the first
//      checks);
//   3. the message is shown (or, in a quiet run, logged) while the resource library is still the current
//      resource module, since its strings and the message box come from there;
//   4. the temporary directory is put back as it was found, after the user has read why (what cannot be put
//      back is logged and told in a second message; the exit status stays the stop's);
//   5. the saved resource module is made current again and the library is freed, last, because everything
//      before may still need it.
// A cancelled selection takes the same path without a message.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "language/language_selection.h"
#include "profile/profile_reader.h"
#include "startup/run_outcome.h"
#include "startup/setup_switches.h"
#include "startup/start_up_host.h"

namespace zs::bootstrap {

class StartUpSequence {
  public:
    explicit StartUpSequence(StartUpHost& host) : host_(host) {}
    StartUpSequence(const StartUpSequence&) = delete;
    StartUpSequence& operator=(const StartUpSequence&) = delete;

    // Runs the whole sequence and returns the exit status (exit_status.h).
    int Run();

  private:
    void UseLogFile(const std::string& path);
    std::optional<int> HandOverToHook();
    bool CheckListFile();
    bool SelectLanguage();
    bool PrepareTargetDirectory();
    bool StageStartUpFiles();
    int LaunchMainModule();

    std::optional<language::LanguageSelection> ChooseWithoutDialog(const language::LanguageChoices& choices);

    // The one stop path (see above). True when the run ends here; the media tool may go on past a stop.
    bool Stop(const RunEnd& end);
    // Shows the end's message, or logs it in a quiet run; returns its text (empty without a message).
    std::string Tell(const RunEnd& end);
    // Puts the target directory back; false when something could not be (logged and told).
    bool CleanUpTarget();
    std::string MessageText(const RunMessage& message);
    void Log(const std::string& line) { host_.Log(line); }

    // The stops, each building its end of the run in one place: with a message of a language block of the
    // library (English before the language is chosen, the chosen one's after), with one of the fixed texts,
    // or without a message. True when the run ends here.
    bool StopWithMessage(RunPhase phase, int block, int offset, const RunCause& cause,
                         std::optional<std::string_view> argument = std::nullopt);
    bool StopWithFixedText(RunPhase phase, const char* text, const RunCause& cause);
    bool StopWithoutMessage(RunPhase phase, int exitStatus, const RunCause& cause);

    StartUpHost& host_;
    SetupSwitches switches_;
    std::string sourceDirectory_;
    std::unique_ptr<ProfileReader> listFile_;
    std::string supportedLanguages_;
    bool locationMode_ = false;
    std::string appName_;
    language::LanguageSelection selection_;
    bool workstationRun_ = false;
    std::string targetDirectory_;

    // What the stop path has to undo.
    bool libraryInUse_ = false;
    bool pleaseWaitShown_ = false;
    bool targetTakenOver_ = false;
    // The first stop decides the exit status.
    bool stopped_ = false;
    int stopStatus_ = kExitStopped;
};

}  // namespace zs::bootstrap
