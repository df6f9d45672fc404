#include "check/stop_findings.h"

#include "check/check_host.h"
#include "check/host_texts.h"
#include "files/codec_session.h"
#include "language/location_profile.h"
#include "reslib/resource_ids.h"
#include "startup/compressed_name.h"
#include "startup/list_file.h"
#include "startup/start_up_rules.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

using bootstrap::RunCause;
using bootstrap::RunEnd;
using bootstrap::StopReason;

constexpr char kAfterChoice[] = "setup.exe stops after the language is chosen";

// Where a finding points when not at the cause's own place: a file, or a section of the list file.
struct Place {
    std::string file;
    std::string section;
};

// What a finding says of a stop: its code and text, and its place when that is not the cause's.
struct Explanation {
    FindingCode code = FindingCode::kCheckFailed;
    std::string text;
    std::optional<Place> place;
};

// "sha256:" and 64 lower-case hex digits: the form of every seal that some contents can match.
bool IsSealForm(const std::string& value) {
    const std::string prefix = bootstrap::kSealPrefix;
    return value.size() == bootstrap::kSealLength && value.compare(0, prefix.size(), prefix) == 0 &&
           value.find_first_not_of("0123456789abcdef", prefix.size()) == std::string::npos;
}

Explanation ExplainLibrary(const StandInObservations& seen) {
    if (!seen.libraryIsFile) {
        return {FindingCode::kResourceLibraryMissing,
                std::string(seen.libraryOnMedium ? "not a file" : "not on the medium") +
                    ": setup.exe stops at once, before it reads anything",
                std::nullopt};
    }
    return {FindingCode::kResourceLibraryUnloadable,
            "Windows cannot load it for setup.exe: " + seen.libraryProblem + "; setup.exe stops at once",
            Place{seen.libraryName, ""}};
}

// A required value that reads as missing: not there, or written as the missing marker itself.
Explanation ExplainMissingValue(const RunCause& cause, bool written) {
    Explanation explanation;
    std::string consequence = "setup.exe stops";
    if (cause.key == bootstrap::kAppNameKey) {
        explanation.code = FindingCode::kAppNameMissing;
    } else if (cause.key == bootstrap::kTmpDirSizeKey) {
        explanation.code = FindingCode::kTmpDirSizeMissing;
    } else {
        explanation.code = FindingCode::kTmpDirNameMissing;
        consequence =
            std::string("a local run has no directory to stage the start-up files into, and ") + kAfterChoice;
    }
    explanation.text = (written ? std::string("the value is \"") + bootstrap::kNoEntry +
                                      "\", which setup.exe takes for a missing key"
                                : std::string("the key is missing")) +
                       ": " + consequence;
    return explanation;
}

Explanation ExplainSelection(const CheckHost& host, const RunCause& cause, bool written) {
    const StandInObservations& seen = host.observations();
    if (seen.selectDialogMissing) {
        return {FindingCode::kResourceLibraryWithoutSelectDialog,
                "the resource library has no dialog template 105: the Select Language dialog cannot be made, "
                "and the run ends as if the user had cancelled it",
                Place{bootstrap::kResourceLibraryName, ""}};
    }
    const std::string emptyList = "the Select Location list is empty, and the user can only end setup";
    switch (cause.reason) {
        case StopReason::kLocationWithoutName:
            return {FindingCode::kLocationNameMissing,
                    std::string("the location's \"Name\" is ") + (written ? "empty" : "missing") +
                        ": the Select Location list fails as a whole, "
                        "and setup.exe ends as if the user had cancelled, without a message",
                    std::nullopt};
        case StopReason::kNothingOffered:
            if (cause.profile == language::kLocationProfileName) {
                const ObservedFile* profile = host.Observed(language::kLocationProfileName);
                if (!profile || !profile->present) {
                    return {FindingCode::kLocationProfileMissing,
                            std::string("the edition word switches on location mode, but ") +
                                language::kLocationProfileName + " is not on the medium: " + emptyList,
                            std::nullopt};
                }
                return {FindingCode::kLocationProfileEmpty,
                        std::string(language::kLocationProfileName) + " has no sections: " + emptyList,
                        std::nullopt};
            }
            return {FindingCode::kNoLanguageOffered,
                    (seen.supportedLanguages.empty()
                         ? std::string("no language entry is enabled by the filter code")
                         : "the enabled languages, run together " + Quoted(seen.supportedLanguages) +
                               ", hold no name of the catalogue of ZSRES.DLL (" +
                               CatalogueNames(host.catalogue()) + ")") +
                        ": the Select Language list is empty, and the user can only end setup",
                    std::nullopt};
        default:
            return {FindingCode::kNoLanguageOffered,
                    "the Select Language dialog ends without a choice: setup.exe ends as cancelled",
                    std::nullopt};
    }
}

Explanation ExplainTargetDirectory(const CheckHost& host, const RunCause& cause) {
    const std::string directory(cause.fileName);
    switch (cause.reason) {
        case StopReason::kTargetIsSource:
            return {FindingCode::kTmpDirIsMedium,
                    "the temporary directory is the medium's own directory (" + directory +
                        "): setup.exe would stage the start-up files onto themselves, so " + kAfterChoice +
                        ", before it stages anything",
                    std::nullopt};
        case StopReason::kTargetNotDirectory:
            return {FindingCode::kTmpDirNotDirectory,
                    directory + " exists and is no directory (a file or a device): " + kAfterChoice +
                        ", before it stages or sets aside anything",
                    std::nullopt};
        case StopReason::kTargetNotCreated:
            return {FindingCode::kTmpDirNameUnusable,
                    "Windows cannot create the directory " + directory + ": " +
                        host.observations().directoryRefusal + "; " + kAfterChoice,
                    std::nullopt};
        default:
            return {FindingCode::kTmpDirNameUnusable,
                    "the name gives no path (it is empty, or its full path has 260 characters or more): " +
                        std::string(kAfterChoice),
                    std::nullopt};
    }
}

Explanation ExplainStaging(const CheckHost& host, const RunCause& cause) {
    const StandInObservations& seen = host.observations();
    const std::string name(cause.fileName);
    switch (cause.reason) {
        case StopReason::kNoStartUpFile:
            return {FindingCode::kStartUpListEmpty,
                    "there is no start-up file entry 1, so the list names no start-up file: setup.exe stops",
                    std::nullopt};
        case StopReason::kEveryStartUpFileSkipped:
            return {FindingCode::kStartUpListEmpty,
                    "every entry before the end of the list is marked \",1\", and this is a workstation run "
                    "(ADMIN.INF is on the medium): no start-up file applies: setup.exe stops",
                    std::nullopt};
        case StopReason::kEntryNotPlain:
            return {FindingCode::kStartUpEntryNotPlain,
                    "the file name " + Quoted(name) +
                        " is no plain name in the medium's directory (it is empty, \".\" or \"..\", "
                        "holds \"\\\", \"/\" or \":\", or names a device): "
                        "setup.exe takes the list file for corrupted and stops before it stages any file",
                    std::nullopt};
        case StopReason::kStartUpFileMissing: {
            const std::string& directory = host.medium().windowsPath();
            const std::string compressed = MakeCompressedName(directory + name).substr(directory.size());
            return {FindingCode::kStartUpFileMissing,
                    "neither " + name + " nor its compressed name " + compressed +
                        " is on the medium: setup.exe stops",
                    std::nullopt};
        }
        case StopReason::kStartUpFileUnreadable:
            return {
                FindingCode::kStartUpFileUnreadable,
                name + " on the medium is not a file, or cannot be read: setup.exe cannot open it and stops",
                std::nullopt};
        case StopReason::kStartUpFileSealBroken: {
            const std::string seal(cause.entry.value_or(std::string_view()));
            auto staged = seen.stagedSeals.find(name);
            const std::string actual = staged == seen.stagedSeals.end() ? std::string() : staged->second;
            if (!IsSealForm(seal)) {
                return {FindingCode::kStartUpFileSealMismatch,
                        std::string("the seal is not \"") + bootstrap::kSealPrefix +
                            "\" and 64 lower-case hex digits, so no contents match it: setup.exe takes " +
                            name + " for damaged and stops (" + name + " as staged is " + actual + ")",
                        std::nullopt};
            }
            return {FindingCode::kStartUpFileSealMismatch,
                    name + " as setup.exe stages it is " + actual +
                        ", not what its seal says: the file is damaged (or the seal is not of it); setup.exe "
                        "stops",
                    std::nullopt};
        }
        default: {
            auto damaged = seen.damagedSources.find(name);
            if (damaged == seen.damagedSources.end()) {
                return {FindingCode::kStartUpFileDamaged, name + " cannot be staged: setup.exe stops",
                        std::nullopt};
            }
            return {FindingCode::kStartUpFileDamaged,
                    damaged->second.first + ", the compressed copy of " + name + ", does not expand: " +
                        DescribeCodecResult(damaged->second.second, CodecTask::kTest) + "; setup.exe stops",
                    std::nullopt};
        }
    }
}

Explanation ExplainLaunch(const StandInObservations& seen) {
    if (seen.mainModuleNotStaged) {
        return {FindingCode::kMainModuleMissing, seen.mainModuleProblem + ": setup.exe cannot start it",
                Place{bootstrap::kListFileName, bootstrap::kStartUpSection}};
    }
    return {seen.mainModuleMissing ? FindingCode::kMainModuleMissing : FindingCode::kMainModuleCannotStart,
            seen.mainModuleProblem + ": Windows cannot start it", std::nullopt};
}

}  // namespace

void StopFindings::ProgramNotStarted(FindingCode code, std::string text, const std::string& name) {
    report_.Add(code, std::move(text)).At(name);
    noProgram_ = true;
}

void StopFindings::CheckFailed(std::string text) {
    report_.Add(FindingCode::kCheckFailed, std::move(text));
}

void StopFindings::Report(const CheckHost& host, const RunEnd& end, const std::string& text) {
    // A list emptied by an earlier stop that the check went past is not a finding of its own.
    if (predicted_ && end.exitStatus == bootstrap::kExitCancelled) return;
    const RunCause& cause = end.cause;
    const bool written = host.ValueAsWritten(cause.profile, cause.section, cause.key).has_value();
    Explanation explanation;
    switch (cause.reason) {
        case StopReason::kResourceLibraryNotLoaded:
            explanation = ExplainLibrary(host.observations());
            break;
        case StopReason::kListFileMissing:
            explanation = {FindingCode::kListFileMissing, "not on the medium: setup.exe stops", std::nullopt};
            break;
        case StopReason::kFilterCodeRedirect:
            explanation = {
                FindingCode::kFilterCodeRedirect,
                "the filter code starts with \"0\": setup.exe sends the user to SETUPKRN.EXE and stops",
                std::nullopt};
            break;
        case StopReason::kFilterCodeEmpty:
            explanation = {FindingCode::kFilterCodeMissing,
                           std::string("the filter code (key 0) is ") + (written ? "empty" : "missing") +
                               ": setup.exe stops",
                           std::nullopt};
            break;
        case StopReason::kLanguageEntryMissing:
            explanation = {FindingCode::kLanguageEntry1Missing,
                           std::string("the first language entry (key 1) is ") +
                               (written ? "empty" : "missing") + ": setup.exe stops",
                           std::nullopt};
            break;
        case StopReason::kLanguageEntryWithoutComma:
            explanation = {FindingCode::kLanguageEntryWithoutComma,
                           "the entry has no comma between the language name and its code text: "
                           "setup.exe takes the list file for corrupted and stops",
                           std::nullopt};
            break;
        case StopReason::kValueMissing:
            explanation = ExplainMissingValue(cause, written);
            break;
        case StopReason::kNothingOffered:
        case StopReason::kLocationWithoutName:
        case StopReason::kCancelled:
            explanation = ExplainSelection(host, cause, written);
            break;
        case StopReason::kTargetNoFullPath:
        case StopReason::kTargetNotDirectory:
        case StopReason::kTargetIsSource:
        case StopReason::kTargetNotCreated:
            explanation = ExplainTargetDirectory(host, cause);
            break;
        case StopReason::kNoStartUpFile:
        case StopReason::kEveryStartUpFileSkipped:
        case StopReason::kEntryNotPlain:
        case StopReason::kStartUpFileMissing:
        case StopReason::kStartUpFileUnreadable:
        case StopReason::kStartUpFileNotWritten:
        case StopReason::kStartUpFileNotCopied:
        case StopReason::kStartUpFileSealBroken:
            explanation = ExplainStaging(host, cause);
            break;
        case StopReason::kMainModuleNotStarted:
            explanation = ExplainLaunch(host.observations());
            break;
        case StopReason::kWindowsDirectoryNotOnDrive:
        case StopReason::kNotEnoughSpace:
        case StopReason::kNoLanguageChosen:
        case StopReason::kTargetInUse:
        case StopReason::kTargetNotLocked:
        case StopReason::kTargetNameTooLong:
        case StopReason::kLogFileInTheWay:
        case StopReason::kTargetNotPutBack:
            // The check predicts for a machine where these hold (no other run, a temporary directory free of
            // the user's files, no log file named): it never comes here.
            explanation.text = "setup.exe stops here";
            break;
    }

    // The finding stands where the cause points: the profile's key, else the file the step is about.
    Finding& finding = report_.Add(explanation.code, explanation.text);
    if (explanation.place) {
        finding.At(explanation.place->file, explanation.place->section);
    } else {
        std::string file(cause.profile.empty() ? cause.fileName : cause.profile);
        if (const ObservedFile* observed = cause.profile.empty() ? nullptr : host.Observed(file)) {
            file = observed->name;
        }
        finding.At(file, std::string(cause.section), std::string(cause.key));
        if (std::optional<std::string> value = host.ValueAsWritten(cause.profile, cause.section, cause.key)) {
            finding.WithValue(*value);
        }
    }
    finding.phase = bootstrap::RunPhaseName(end.phase);
    if (end.message) {
        PredictedMessage& message = finding.message.emplace();
        message.text = text;
        message.icon = bootstrap::MessageIconName(end.message->icon);
        if (!end.message->fixedText) {
            message.stringId = end.message->StringId();
            const bool chosen = host.chosenBlock() != 0 && end.message->block == host.chosenBlock();
            message.language = chosen ? host.chosenLanguage() : "English";
        }
    }
    Predict(host, end, finding.message);
}

void StopFindings::Predict(const CheckHost& host, const RunEnd& end,
                           const std::optional<PredictedMessage>& message) {
    if (predicted_) return;
    predicted_ = true;
    Prediction& prediction = report_.prediction.emplace();
    prediction.outcome = end.exitStatus == bootstrap::kExitCancelled ? Prediction::Outcome::kCancelled
                                                                     : Prediction::Outcome::kStops;
    prediction.phase = bootstrap::RunPhaseName(end.phase);
    prediction.exitStatus = end.exitStatus;
    prediction.message = message;
    prediction.language = host.chosenLanguage();
}

void StopFindings::Finish(const CheckHost& host, int exitStatus) {
    // The sequence was followed for what it reports; without a program to start, none of it happens.
    if (noProgram_) {
        report_.prediction = Prediction{Prediction::Outcome::kNoProgram, "", 0, std::nullopt, ""};
        return;
    }
    if (predicted_) return;
    Prediction& prediction = report_.prediction.emplace();
    prediction.outcome = Prediction::Outcome::kStartsMainModule;
    prediction.exitStatus = exitStatus;
    prediction.language = host.chosenLanguage();
}

}  // namespace zs::zemcmp
