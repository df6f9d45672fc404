// The setup log: one line per call appended to ZEMSETUP.LOG in the Windows directory, and only while that
// file exists. The trace is switched on from outside by creating the file; the program never creates,
// empties or deletes it. An unattended run may name a log file of its own instead (SetSetupLogFile), which
// is created when missing. Every failure is silent.
#pragma once

#include "startup/log_line.h"

namespace zs {

// `format` is fixed English text with printf conventions; every piece of data is an argument.
void WriteSetupLog(const char* format, ...) ZS_PRINTF_FORMAT(1, 2);

// From now on every line goes to `path` (created now when missing) instead of ZEMSETUP.LOG. An empty path
// turns the log off for the rest of the run, and so does a path longer than the system's path limit (false).
bool SetSetupLogFile(const char* path);

}  // namespace zs
