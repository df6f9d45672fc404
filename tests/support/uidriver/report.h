// Where the driver writes its JSON lines: a file, or standard output.
#pragma once

#include <cstdio>
#include <string>

#include "json_line.h"

namespace zs::uidriver {

class Report {
  public:
    Report() = default;
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    // An empty path means standard output.
    bool Open(const std::wstring& path);

    // Writes one line and flushes it, so that a reader sees each line as soon as it is written.
    void Write(const testsupport::JsonObject& line);

  private:
    FILE* file_ = nullptr;
    bool ownsFile_ = false;
};

}  // namespace zs::uidriver
