// Media directories for the tests of `zemcmp check`: a clean medium that the tests change one thing at a
// time, and the check run on it as a subprocess.
#pragma once

#include <string>
#include <vector>

#include "json_reader.h"
#include "tool_runner.h"

namespace zs::test {

// The compressed form of the bytes, made by the codec itself.
Bytes Compress(const Bytes& plain);

class TestMedium {
  public:
    // A clean medium: SETUP.EXE, ZSRES.DLL, a list file that offers English and Deutsch, _SETUP.EXE stored
    // compressed and DATA.BIN stored plain.
    TestMedium();

    const std::string& path() const { return dir_.path(); }
    std::string operator/(const std::string& name) const { return dir_ / name; }

    // The bodies of the list file's two sections (lines "key=value\n"), written out at once.
    void SetupLang(const std::string& lines);
    void StartUp(const std::string& lines);
    // Appends a section of its own to the list file.
    void ExtraListText(const std::string& text);

    void Write(const std::string& name, const Bytes& contents) const { WriteFile(dir_ / name, contents); }
    void WriteCompressed(const std::string& compressedName, const Bytes& plain) const;
    void Remove(const std::string& name) const;

    ToolRun Check(const std::vector<std::string>& options = {}) const;
    // Runs the check with --json (and the options), and parses its output.
    JsonValue CheckJson(const std::vector<std::string>& options = {}) const;
    // "severity code [section] key" of every finding, in order, for compact comparisons.
    std::vector<std::string> Findings() const;

  private:
    void WriteListFile() const;

    ScratchDir dir_;
    std::string setupLang_;
    std::string startUp_;
    std::string extra_;
};

// "severity code [section] key" of every finding of a report.
std::vector<std::string> FindingSummaries(const JsonValue& report);

// The finding of that code; fails the test (and gives a null value) when there is not exactly one.
const JsonValue& FindingOf(const JsonValue& report, const std::string& code);

}  // namespace zs::test
