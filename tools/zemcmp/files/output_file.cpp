#include "files/output_file.h"

#include <algorithm>
#include <vector>

#include "files/output_names.h"

namespace zs::zemcmp {
namespace {

// The outputs committed in this run: two inputs with one compressed name (A.TXT and A.TX both give A.TX_)
// must not silently replace each other. (Jobs that write one file run one after the other, in argument
// order; the lock is for jobs on other files meanwhile.)
Mutex g_writtenLock;
std::vector<FileIdentity> g_written;

bool WrittenInThisRun(const FileIdentity& identity) {
    MutexLock guard(g_writtenLock);
    return std::find(g_written.begin(), g_written.end(), identity) != g_written.end();
}

void RecordWritten(const FileIdentity& identity) {
    MutexLock guard(g_writtenLock);
    g_written.push_back(identity);
}

}  // namespace

OutputFile::~OutputFile() {
    Discard();
}

bool OutputFile::Open(const std::string& target, const InputFile& input, bool replace, std::string* problem) {
    target_ = target;
    replace_ = replace;
    if (target == "-") {
        file_ = StandardOutput();
        return true;
    }

    if (IsSymbolicLink(target)) {
        *problem = "the output " + target +
                   " is a symbolic link; it is neither followed nor replaced (outputs are regular files, or "
                   "standard output with -o -)";
        return false;
    }
    PathKind kind = QueryPath(target);
    if (kind == PathKind::kDirectory) {
        *problem = "the output " + target + " is a directory";
        return false;
    }
    FileIdentity existing;
    if (kind != PathKind::kMissing && IdentifyPath(target, &existing)) {
        if (input.identityKnown && existing == input.identity) {
            *problem = "the output " + target + " is the input itself; it is not overwritten";
            return false;
        }
        if (WrittenInThisRun(existing)) {
            *problem = "the output " + target + " was already written from another input in this run";
            return false;
        }
    }
    if (kind != PathKind::kMissing && !replace) {
        *problem = "the output " + target + " already exists (use -f to replace it)";
        return false;
    }
    if (kind == PathKind::kOther) {
        *problem = "the output " + target + " is not a regular file";
        return false;
    }
    return CreateTempFileIn(DirectoryPart(target), &file_, &tempPath_, problem);
}

bool OutputFile::Commit(std::string* problem) {
    if (tempPath_.empty()) return true;  // standard output
    if (!file_.Close()) {
        *problem = "cannot finish writing " + target_ + " (disk full or write error)";
        Discard();
        return false;
    }
    std::string error;
    if (!CommitTempFile(tempPath_, target_, replace_, &error)) {
        *problem = target_ + ": " + error;
        Discard();
        return false;
    }
    tempPath_.clear();
    FileIdentity written;
    if (IdentifyPath(target_, &written)) RecordWritten(written);
    return true;
}

bool OutputFile::WrittenSize(uint64_t* size) const {
    std::string ignored;
    return !tempPath_.empty() && GetFileSize64(file_, size, &ignored);
}

void OutputFile::Discard() {
    file_.Close();
    if (tempPath_.empty()) return;
    DiscardTempFile(tempPath_);
    tempPath_.clear();
}

}  // namespace zs::zemcmp
