#include "startup/run_outcome.h"

namespace zs::bootstrap {

const char* RunPhaseName(RunPhase phase) {
    switch (phase) {
        case RunPhase::kResourceLibrary:
            return "resource-library";
        case RunPhase::kHook:
            return "hook";
        case RunPhase::kWindowsDirectory:
            return "windows-directory";
        case RunPhase::kListFile:
            return "list-file";
        case RunPhase::kLanguages:
            return "languages";
        case RunPhase::kApplicationName:
            return "application-name";
        case RunPhase::kSpaceRequirement:
            return "space-requirement";
        case RunPhase::kFreeSpace:
            return "free-space";
        case RunPhase::kSelection:
            return "selection";
        case RunPhase::kTemporaryDirectory:
            return "temporary-directory";
        case RunPhase::kStaging:
            return "staging";
        case RunPhase::kLaunch:
            return "launch";
        case RunPhase::kCleanUp:
            return "clean-up";
        case RunPhase::kRestart:
            return "restart";
    }
    return "unknown";
}

const char* MessageIconName(MessageIcon icon) {
    return icon == MessageIcon::kExclamation ? "exclamation" : "stop";
}

}  // namespace zs::bootstrap
