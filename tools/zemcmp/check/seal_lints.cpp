#include "check/seal_lints.h"

#include <algorithm>
#include <string>
#include <vector>

#include "check/check_host.h"
#include "check/host_texts.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

using bootstrap::IniFileReader;

// The section that Windows' profile reader reaches under the seals' name, or nullptr.
const IniFileReader::Section* SealSection(const IniFileReader& reader) {
    for (const IniFileReader::Section& section : reader.Sections()) {
        if (section.reachable &&
            AsciiLowerCase(section.name) == AsciiLowerCase(bootstrap::kStartUpSealsSection)) {
            return &section;
        }
    }
    return nullptr;
}

// Key names are compared as the profile reader compares them: without regard to ASCII case.
bool Names(const std::vector<std::string>& names, const std::string& key) {
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& name) { return AsciiLowerCase(name) == AsciiLowerCase(key); });
}

}  // namespace

void LintSeals(CheckReport& report, const ObservedFile& listFile, const bootstrap::StartUpFileList& staged,
               bool workstationRun) {
    const IniFileReader& reader = listFile.reader;
    const char* section = bootstrap::kStartUpSealsSection;
    // Every entry of the list counts as listed, the ones a workstation run passes over too.
    const std::vector<std::string> listed = bootstrap::CollectStartUpFiles(reader, false).fileNames;
    if (const IniFileReader::Section* seals = SealSection(reader)) {
        for (const IniFileReader::KeyLine& line : seals->keys) {
            if (!line.reachable || Names(listed, line.name)) continue;
            report
                .Add(FindingCode::kSealOfUnlistedFile,
                     "no start-up file entry names " + line.name +
                         ": setup.exe ignores this seal (is the name misspelt? its file is then not checked)")
                .At(listFile.name, section, line.name)
                .WithValue(line.value);
        }
    }
    if (workstationRun || staged.fileNames.empty()) return;
    std::string unsealed;
    size_t count = 0;
    for (const std::string& name : staged.fileNames) {
        if (bootstrap::ReadSeal(reader, name)) continue;
        unsealed += (unsealed.empty() ? "" : ", ") + name;
        ++count;
    }
    if (count == 0) return;
    const std::string text =
        count == staged.fileNames.size()
            ? std::string(
                  "no start-up file has a seal: setup.exe cannot tell a damaged start-up file from a "
                  "good one and stages it as it is (zemcmp build seals every start-up file)")
            : "no seal names " + unsealed + ": setup.exe cannot tell whether " +
                  (count == 1 ? "it is" : "they are") + " damaged";
    report.Add(FindingCode::kStartUpFilesUnsealed, text).At(listFile.name, section);
}

}  // namespace zs::zemcmp
