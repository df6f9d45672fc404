// The check's own warnings and notes: what setup.exe would do without a word that is probably not meant (a
// value read cut, a language never offered, a compressed copy never used), and what the check cannot know
// (a library that may hand the run over, a short alias of a file name). The stand-ins of check_host.h tell
// the lints what they read and the sequence what it found; the lints judge it with the rules' own readers.
#pragma once

#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "check/findings.h"
#include "check/medium_directory.h"
#include "pe/pe_image.h"
#include "startup/language_filter.h"
#include "startup/start_up_entries.h"
#include "startup/start_up_host.h"

namespace zs::zemcmp {

class CheckHost;
struct ObservedFile;

class CheckLints {
  public:
    CheckLints(CheckReport& report, const MediumDirectory& medium) : report_(report), medium_(medium) {}

    // Before the sequence: the names on the medium, and ADMIN.INF.
    void CheckMediumNames();
    void CheckWorkstationRun();
    // After the sequence: the keys of the list file that it never read.
    void ReportUnreadKeys(const CheckHost& host);

    // What the stand-ins read.
    void OnSetupProgram(const PeImage& program, const std::string& name);
    void OnLookUp(const MediumFile& file);
    void OnProfileOpened(const ObservedFile& file, bool isFile);
    void OnSectionNamesRead(const ObservedFile& file, const std::string& value, const std::string& whole,
                            size_t bufferSize);
    void OnValueRead(const ObservedFile& file, const char* section, const char* key, const std::string& value,
                     const std::optional<std::string>& written, size_t bufferSize);
    void OnResourceLibrary(const PeImage& library, const std::string& name);
    void OnPleaseWait(const PeImage& library);
    void OnStaged(const CheckHost& host, const bootstrap::StagedFile& file, const MediumFile& source);
    void OnMainModule(const PeImage& image, const PeImage* program);

    // What the sequence found.
    void OnLanguageList(const CheckHost& host, const std::string& filterCode,
                        const bootstrap::LanguageList& list);
    void OnEditionWord(const CheckHost& host, const std::string& word, bool locationMode);
    void OnStartUpValues(const CheckHost& host, const std::string& appName, const std::string& tmpDirSize);
    void OnChoices(const CheckHost& host, const language::LanguageChoices* choices);
    void OnTargetDirectory(const CheckHost& host, const std::string& tmpDirName, const std::string& target,
                           bool workstationRun);
    void OnStartUpFiles(const CheckHost& host, const bootstrap::StartUpFileList& list, bool workstationRun);

  private:
    Finding& Add(FindingCode code, std::string text) { return report_.Add(code, std::move(text)); }
    // A finding at a key of the list file, with the value as written.
    Finding& AtListKey(const CheckHost& host, FindingCode code, std::string text, const std::string& section,
                       const std::string& key);
    void CheckLanguageEntries(const CheckHost& host, const std::string& filterCode,
                              const bootstrap::LanguageList& list);
    void CheckLocations(const CheckHost& host);
    void CheckStartUpEntries(const CheckHost& host, bool workstationRun);
    void CheckShortAlias(const std::string& name, const std::string& key, const std::string& raw);
    void ReportUnreadKeysOf(const ObservedFile& file, const char* section);

    CheckReport& report_;
    const MediumDirectory& medium_;
    std::set<std::string> namesNoted_;                                 // upper case
    std::set<std::tuple<std::string, std::string, std::string>> cut_;  // (file, section, key) reported cut
    std::vector<std::string> enabledNames_;
    std::string supportedLanguages_;
    // The key of each start-up file entry the sequence walks, by its file name.
    std::vector<std::pair<std::string, std::string>> entryKeys_;
    bool languagesRead_ = false;
    bool startUpListRead_ = false;
};

}  // namespace zs::zemcmp
