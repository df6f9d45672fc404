// One output of a subcommand, written so that no half-written file is ever left behind: the data goes to a
// temporary file in the target's directory, which replaces the target only when Commit succeeds and is
// removed otherwise. "-" is standard output, written directly. An output is a regular file or standard
// output: a symbolic link (dangling or not) in the target's place is refused, never followed or replaced.
// Several outputs may be open at once on different threads.
#pragma once

#include <string>

#include "files/input_file.h"
#include "platform/platform.h"

namespace zs::zemcmp {

class OutputFile {
  public:
    OutputFile() = default;
    ~OutputFile();  // removes the temporary file unless committed
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

    // Checks that `target` may be written for `input` (not the input itself, not a directory or a symbolic
    // link, not an output of this run, not existing unless `replace`) and opens the place the data goes to.
    bool Open(const std::string& target, const InputFile& input, bool replace, std::string* problem);
    int handle() const { return file_.handle(); }
    // The bytes written so far; false for standard output, whose size cannot be told.
    bool WrittenSize(uint64_t* size) const;
    // How messages name the output.
    std::string DisplayName() const { return target_ == "-" ? "standard output" : target_; }
    // Puts the finished output in place.
    bool Commit(std::string* problem);

  private:
    void Discard();

    std::string target_;
    std::string tempPath_;
    OpenFile file_;
    bool replace_ = false;
};

}  // namespace zs::zemcmp
