// The setup log: one line per call appended to ZEMSETUP.LOG in the Windows directory, and only while that
// file exists. The trace is switched on from outside by creating the file; the program never creates,
// empties or deletes it. Every failure is silent. Win32 only.
#pragma once

#include "services/log_line.h"

namespace zs {

// `format` is fixed English text with printf conventions; every piece of data is an argument.
void WriteSetupLog(const char* format, ...) ZS_PRINTF_FORMAT(1, 2);

}  // namespace zs
