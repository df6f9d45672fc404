// The check's note and warning on the seals of the start-up files (the [StartUpSeals] section of the list
// file): start-up files that no seal names, whose damage setup.exe cannot tell; and a seal that names no file
// of the list, which setup.exe ignores (a misspelt name leaves its file unsealed). Whether each seal holds is
// the sequence's to find: a seal that does not is a stop (stop_findings.h).
#pragma once

#include "check/findings.h"
#include "startup/start_up_entries.h"

namespace zs::zemcmp {

struct ObservedFile;

// `staged`: the files the run stages; a workstation run stages none and compares no seal.
void LintSeals(CheckReport& report, const ObservedFile& listFile, const bootstrap::StartUpFileList& staged,
               bool workstationRun);

}  // namespace zs::zemcmp
