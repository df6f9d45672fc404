#include "report.h"

#include <fcntl.h>
#include <io.h>

namespace zs::uidriver {

Report::~Report() {
    if (ownsFile_) std::fclose(file_);
}

bool Report::Open(const std::wstring& path) {
    if (path.empty()) {
        // Line ends stay "\n" on standard output too.
        _setmode(_fileno(stdout), _O_BINARY);
        file_ = stdout;
        return true;
    }
    file_ = _wfopen(path.c_str(), L"wb");
    ownsFile_ = file_ != nullptr;
    return ownsFile_;
}

void Report::Write(const testsupport::JsonObject& line) {
    std::string text = line.Line() + "\n";
    std::fwrite(text.data(), 1, text.size(), file_);
    std::fflush(file_);
}

}  // namespace zs::uidriver
