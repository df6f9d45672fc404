// Media directories for the tests of `zemcmp check`: a clean medium with real images that the tests change
// one thing at a time, the check run on it as a subprocess, and short forms of its JSON report.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "json_reader.h"
#include "pe_writer.h"
#include "tool_runner.h"

namespace zs::test {

// The compressed form of the bytes, made by the codec itself.
Bytes Compress(const Bytes& plain);

// A resource library with the shipped string table (src/reslib/string_table.rc).
Bytes ShippedResourceLibrary(uint16_t machine = kMachineI386, bool withDialogs = true,
                             bool withHookExport = true);

class TestMedium {
  public:
    // A clean medium in a directory of that name: setup.exe (an i386 program), ZSRES.DLL (the shipped
    // library), a list file that offers English and Deutsch, _SETUP.EXE (an i386 program) stored compressed
    // and DATA.BIN stored plain. setup.exe starts the main module with English, the first language offered.
    explicit TestMedium(const std::string& directoryName = "medium");

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // The bodies of the list file's two sections (lines "key=value\n"), written out at once.
    void SetupLang(const std::string& lines);
    void StartUp(const std::string& lines);
    // Text appended to the list file after [StartUp].
    void ExtraListText(const std::string& text);

    void Write(const std::string& name, const Bytes& contents) const { WriteFile(*this / name, contents); }
    void WriteCompressed(const std::string& compressedName, const Bytes& plain) const;
    void Remove(const std::string& name) const;

    ToolRun Check(const std::vector<std::string>& options = {}) const;
    // Runs the check with --json (and the options), and parses its output.
    JsonValue CheckJson(const std::vector<std::string>& options = {}) const;
    // FindingSummaries of the JSON report.
    std::vector<std::string> Findings() const;

  private:
    void WriteListFile() const;

    ScratchDir dir_;
    std::string path_;
    std::string setupLang_;
    std::string startUp_;
    std::string extra_;
};

// "severity code [section] key" of every finding, in order, for compact comparisons; the notes that the
// clean medium always gives, for its unsigned images (unsigned-image) and its unsealed start-up files
// (start-up-files-unsealed), are left out.
std::vector<std::string> FindingSummaries(const JsonValue& report);

// "outcome phase exitStatus language" of the prediction, such as "stops staging 2 English" (null as "-").
std::string PredictionSummary(const JsonValue& report);

// "icon stringId language: text" of a message ("stop 104 English: Could not ..."; a fixed text has "fixed"
// and "-"), or "none".
std::string MessageSummary(const JsonValue& message);

// The codes of `zemcmp check --codes`.
const std::set<std::string>& KnownCodes();

// The finding of that code (at that key, when one is given); fails the test (and gives a null value) when
// there is not exactly one, or when the code is not in the table.
const JsonValue& FindingOf(const JsonValue& report, const std::string& code, const std::string& key = "");

// The first error: the one whose message the user sees, which the prediction repeats.
const JsonValue& FirstError(const JsonValue& report);

}  // namespace zs::test
