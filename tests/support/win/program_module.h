// A program (.exe) loaded into this process as a module, the way another module of an installation calls
// setup.exe's exports. Windows relocates a program loaded this way when it cannot have its preferred address
// and binds its imports (it never runs the program's start-up). Wine 8 does neither for a program, so the
// loader here does both itself, as Windows would: it applies the base relocations for the address the program
// got, and writes every imported function's address into the program's import address table.
#pragma once

#include <windows.h>

#include <string>

namespace zs::test {

class ProgramModule {
  public:
    explicit ProgramModule(const std::string& path);
    ~ProgramModule();
    ProgramModule(const ProgramModule&) = delete;
    ProgramModule& operator=(const ProgramModule&) = delete;

    // Empty when the program is loaded and bound; otherwise what went wrong.
    const std::string& error() const { return error_; }
    HMODULE handle() const { return module_; }

    // An export by name, or by ordinal; nullptr when there is none.
    FARPROC Export(const char* name) const { return GetProcAddress(module_, name); }
    FARPROC Export(WORD ordinal) const { return GetProcAddress(module_, MAKEINTRESOURCEA(ordinal)); }

  private:
    bool Relocate();
    bool BindImports();

    HMODULE module_ = nullptr;
    std::string error_;
};

// The directory of the running test program, with its trailing backslash.
std::string ThisProgramDirectory();

}  // namespace zs::test
