// What `zemcmp check` reports: its findings, each naming the file, section, key and value at fault and saying
// in plain words what setup.exe would do, and its prediction of how setup.exe's run on the medium ends. Texts
// of the medium (values, names, messages of its ZSRES.DLL) are kept as setup.exe reads them, in code page
// 1252; the reports convert them for output.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "check/finding_codes.h"

namespace zs::zemcmp {

// A message box as setup.exe would show it.
struct PredictedMessage {
    std::string text;
    int stringId = 0;      // the string of ZSRES.DLL; 0 for one of setup.exe's own fixed texts
    std::string icon;      // "stop" or "exclamation"
    std::string language;  // the language whose block it is taken from; empty for a fixed text
};

struct Finding {
    FindingCode code = FindingCode::kCheckFailed;
    Severity severity = Severity::kNote;
    std::string phase;    // the step of setup.exe's run the finding belongs to, when it ends the run there
    std::string file;     // the file on the medium the finding is about; empty for the medium as a whole
    std::string section;  // the INI section at fault, or empty
    std::string key;      // the INI key at fault, or empty
    std::optional<std::string> value;  // the key's value as written in the file (never cut)
    std::string text;                  // what is wrong, in plain words
    std::optional<PredictedMessage> message;

    // Builders, so that a finding reads as one statement.
    Finding& At(std::string fileName, std::string sectionName = {}, std::string keyName = {});
    Finding& WithValue(std::string valueText);
};

// How the run ends, as setup.exe would run it with the user keeping the first item of the Select Language
// list (which Enter takes).
struct Prediction {
    // kNoProgram: there is no setup.exe that Windows would start, so nothing of the rest happens.
    enum class Outcome { kStops, kCancelled, kStartsMainModule, kNoProgram };
    Outcome outcome = Outcome::kStartsMainModule;
    std::string phase;   // where a run that stops or is cancelled ends
    int exitStatus = 0;  // setup.exe's exit status (none for kNoProgram)
    std::optional<PredictedMessage> message;
    std::string language;  // the language chosen, once there is one
};

const char* OutcomeName(Prediction::Outcome outcome);

struct CheckReport {
    std::string directory;
    std::vector<Finding> findings;
    std::optional<Prediction> prediction;  // nothing when the medium could not be read at all

    Finding& Add(FindingCode code, std::string text);
    int Count(Severity severity) const;
};

// 2 when there is an error, 1 when there are warnings and `strict` is set, else 0. Notes never count.
int CheckExitStatus(const CheckReport& report, bool strict);

}  // namespace zs::zemcmp
