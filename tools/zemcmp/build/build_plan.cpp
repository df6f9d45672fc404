#include "build/build_plan.h"

#include <algorithm>
#include <map>
#include <memory>

#include "base/ascii_case.h"
#include "build/sealed_list_file.h"
#include "check/host_texts.h"
#include "check/medium_directory.h"
#include "compress/file_handle.h"
#include "files/output_names.h"
#include "language/location_profile.h"
#include "platform/platform.h"
#include "profile/ini_file_reader.h"
#include "startup/compressed_name.h"
#include "startup/file_name_rules.h"
#include "startup/list_file.h"
#include "startup/start_up_entries.h"
#include "startup/start_up_rules.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

// A list file is a few kilobytes; a larger one is no list file.
constexpr uint64_t kMaxListFileSize = 16u << 20;
constexpr char kSetupProgramName[] = "setup.exe";
// Files that setup.exe reads by name beside itself: never compressed.
const char* const kReadByName[] = {bootstrap::kListFileName, language::kLocationProfileName,
                                   bootstrap::kAdminInfName};

bool ReadSmallFile(const std::string& path, std::string* bytes, std::string* problem) {
    OpenFile file;
    uint64_t size = 0;
    if (!OpenForReading(path, &file, problem) || !GetFileSize64(file, &size, problem)) return false;
    if (size > kMaxListFileSize) {
        *problem = "is larger than " + std::to_string(kMaxListFileSize >> 20) + " MiB: no list file";
        return false;
    }
    bytes->assign(static_cast<size_t>(size), '\0');
    if (size > 0 && codec::ReadHandle(file.handle(), &(*bytes)[0], static_cast<uint32_t>(size)) !=
                        static_cast<long>(size)) {
        *problem = "cannot be read";
        return false;
    }
    return true;
}

// The name of a start-up entry as Windows opens it: without its trailing dots and blanks.
std::string OpenedName(const std::string& name) {
    return std::string(bootstrap::WithoutTrailingDotsAndBlanks(name));
}

class Planner {
  public:
    Planner(const BuildRequest& request, BuildPlan* plan, std::string* problem)
        : request_(request), plan_(*plan), problem_(*problem) {}

    bool Run() {
        std::string error;
        if (!source_.Open(request_.source, "", &error)) return Fail(request_.source + ": " + error);
        return ReadListFile() && PlanProgramFiles() && PlanStartUpFiles() && CheckSealKeys() &&
               CheckPlainNames() && PlanOtherFiles(request_.source, "") && CheckOutputNames();
    }

  private:
    bool Fail(const std::string& problem) {
        problem_ = problem;
        return false;
    }

    bool ReadListFile() {
        MediumFile list = source_.Find(bootstrap::kListFileName);
        if (!list.IsFile()) {
            return Fail(request_.source + ": has no " + bootstrap::kListFileName +
                        ", the list file that names the start-up files");
        }
        listFileName_ = list.actualName;
        plan_.listFilePath = list.path;
        std::string error;
        if (!ReadSmallFile(list.path, &plan_.listFile, &error)) return Fail(list.path + ": " + error);
        const std::string& bytes = plan_.listFile;
        if (bytes.size() >= 2 &&
            ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF'))) {
            return Fail(
                list.path +
                ": is UTF-16 text; the seals are added as ANSI text, so save it as ANSI text (code page "
                "1252)");
        }
        reader_ = std::make_unique<bootstrap::IniFileReader>(bootstrap::IniFileReader::FromBytes(bytes));
        for (const bootstrap::IniFileReader::Section& section : reader_->Sections()) {
            if (SameFileName(section.name, bootstrap::kStartUpSealsSection)) {
                return Fail(
                    list.path + ": already has a section [" + section.name + "] (line " +
                    std::to_string(section.line) +
                    "): Windows' profile reader reads only the first section of a name, so the seals of "
                    "this build would go unread; remove it from the source's list file");
            }
        }
        return true;
    }

    bool PlanProgramFiles() {
        MediumDirectory programs;
        std::string error;
        const std::string& directory = request_.programDirectory;
        if (!programs.Open(directory, "", &error)) return Fail(directory + ": " + error);
        for (const char* name : {kSetupProgramName, bootstrap::kResourceLibraryName}) {
            if (source_.Find(name).Exists()) {
                return Fail(request_.source + ": holds " + name +
                            ": the build takes setup.exe and ZSRES.DLL from the program directory (--program "
                            "DIR, or the release package's own); remove it from the source");
            }
            MediumFile file = programs.Find(name);
            if (!file.IsFile()) return Fail(directory + ": has no " + name + " (the program directory)");
            AddFile({file.path, file.actualName, file.path, false, false});
        }
        return true;
    }

    bool PlanStartUpFiles() {
        const std::string list = bootstrap::kListFileName;
        std::map<std::string, size_t> planned;  // actual name in SOURCE -> file
        for (int key = 1;; ++key) {
            bootstrap::StartUpEntry entry = bootstrap::ReadStartUpEntry(*reader_, key);
            if (entry.missing) break;
            const std::string& name = entry.fileName;
            const std::string where =
                list + " [StartUp] " + std::to_string(key) + " = " + Quoted(name) + ": ";
            if (!bootstrap::IsPlainFileName(name)) {
                return Fail(
                    where +
                    "no plain file name (it is empty, \".\" or \"..\", holds \"\\\", \"/\" or \":\", or "
                    "names a device): setup.exe takes the list file for corrupted");
            }
            if (SameFileName(OpenedName(name), bootstrap::kListFileName)) {
                return Fail(where + "the list file cannot be a start-up file: the seals change it");
            }
            MediumFile file = source_.Find(name);
            if (!file.Exists()) return Fail(where + OpenedName(name) + " is not in " + request_.source);
            if (!file.IsFile()) return Fail(where + file.path + " is not a regular file");
            startUpNames_.push_back(name);
            auto found = planned.find(file.actualName);
            if (found != planned.end()) {
                plan_.seals.push_back({name, key, found->second});
                continue;
            }
            PlannedFile planFile{file.path, file.actualName, file.actualName, false, true};
            if (KeptPlain(name)) {
                // kept under its own name
            } else if (name.find('.') == std::string::npos) {
                plan_.notes.push_back(name +
                                      ": stored plain: a name without a dot has a compressed name that "
                                      "depends on the dots in the medium's path");
            } else {
                planFile.output = LocalFileName(MakeCompressedName(name));
                planFile.compress = true;
                // setup.exe looks for the plain name first: no other file may stand there.
                lookedForFirst_.emplace_back(
                    LocalFileName(OpenedName(name)),
                    "the start-up file " + file.actualName +
                        " (setup.exe looks for this name before its compressed name)");
            }
            planned[file.actualName] = plan_.files.size();
            plan_.seals.push_back({name, key, plan_.files.size()});
            startUpFiles_.push_back(file.actualName);
            AddFile(std::move(planFile));
        }
        return true;
    }

    // The seal section must read back as written: every name a key of its own, the entries unchanged.
    bool CheckSealKeys() {
        std::vector<Seal> seals;
        for (const PlannedSeal& seal : plan_.seals) {
            seals.push_back({seal.name, bootstrap::kSealPrefix + std::string(kSha256HexLength, '0')});
        }
        std::string unreadable;
        if (ReadsBackAsWritten(plan_.listFile, SealedListFile(plan_.listFile, seals), seals, &unreadable))
            return true;
        if (unreadable.empty()) {
            return Fail(plan_.listFilePath +
                        ": a section after its last line would change how its start-up entries read");
        }
        auto seal = std::find_if(plan_.seals.begin(), plan_.seals.end(),
                                 [&](const PlannedSeal& planned) { return planned.name == unreadable; });
        return Fail(
            std::string(bootstrap::kListFileName) + " [StartUp] " + std::to_string(seal->entryKey) + " = " +
            Quoted(unreadable) + ": the name cannot be a key of the section [" +
            bootstrap::kStartUpSealsSection +
            "] that seals it (a key ends at its first \"=\", and a line that starts with \";\" or \"[\" "
            "holds no key): rename the file");
    }

    bool KeptPlain(const std::string& name) const {
        return std::any_of(request_.plain.begin(), request_.plain.end(), [&](const std::string& plain) {
            return SameFileName(OpenedName(plain), OpenedName(name));
        });
    }

    bool CheckPlainNames() {
        for (const std::string& plain : request_.plain) {
            bool listed = std::any_of(
                startUpNames_.begin(), startUpNames_.end(),
                [&](const std::string& name) { return SameFileName(OpenedName(plain), OpenedName(name)); });
            if (!listed) {
                return Fail("--plain " + plain + ": " + bootstrap::kListFileName +
                            " lists no start-up file of that name");
            }
        }
        return true;
    }

    // Every other file of SOURCE, its subdirectories included, in the order of their names.
    bool PlanOtherFiles(const std::string& directory, const std::string& relative) {
        std::vector<DirectoryEntry> entries;
        std::string error;
        if (!ListDirectory(directory, &entries, &error)) return Fail(directory + ": " + error);
        std::sort(entries.begin(), entries.end(),
                  [](const DirectoryEntry& a, const DirectoryEntry& b) { return a.name < b.name; });
        const bool top = relative.empty();
        for (const DirectoryEntry& entry : entries) {
            const std::string path = JoinPath(directory, entry.name);
            const std::string inner = top ? entry.name : relative + PreferredSeparator() + entry.name;
            if (top && (entry.name == listFileName_ || std::find(startUpFiles_.begin(), startUpFiles_.end(),
                                                                 entry.name) != startUpFiles_.end())) {
                continue;
            }
            if (entry.kind == PathKind::kDirectory) {
                if (IsSymbolicLink(path)) {
                    return Fail(path +
                                ": is a symbolic link to a directory; the build copies directories, not "
                                "links to them");
                }
                plan_.directories.push_back(inner);
                if (!PlanOtherFiles(path, inner)) return false;
                continue;
            }
            if (entry.kind != PathKind::kFile) {
                return Fail(path + (entry.kind == PathKind::kMissing
                                        ? ": is a symbolic link that leads nowhere"
                                        : ": is not a regular file"));
            }
            PlannedFile file{path, inner, inner, Compressed(entry.name, inner, top), false};
            if (file.compress) {
                file.output =
                    (top ? std::string() : relative + PreferredSeparator()) + MakeCompressedName(entry.name);
            }
            AddFile(std::move(file));
        }
        return true;
    }

    // --compress: a pattern with a "/" is matched against the path in SOURCE, any other against the name.
    bool Compressed(const std::string& name, const std::string& relative, bool top) const {
        if (top && std::any_of(std::begin(kReadByName), std::end(kReadByName),
                               [&](const char* read) { return SameFileName(name, read); })) {
            return false;
        }
        std::string path = relative;
        std::replace(path.begin(), path.end(), PreferredSeparator(), '/');
        return std::any_of(request_.compressPatterns.begin(), request_.compressPatterns.end(),
                           [&](const std::string& pattern) {
                               return MatchesPattern(pattern,
                                                     pattern.find('/') != std::string::npos ? path : name);
                           });
    }

    // Two outputs whose names Windows takes for one (they differ only in case) cannot both be on the medium,
    // and nothing may stand under the plain name of a compressed start-up file.
    bool CheckOutputNames() {
        std::vector<std::pair<std::string, std::string>>
            outputs;  // upper-cased output path, what it comes from
        outputs.emplace_back(bootstrap::kListFileName, plan_.listFilePath);
        for (const PlannedFile& file : plan_.files) outputs.emplace_back(file.output, file.shownName);
        outputs.insert(outputs.end(), lookedForFirst_.begin(), lookedForFirst_.end());
        for (auto& output : outputs) {
            std::transform(output.first.begin(), output.first.end(), output.first.begin(), AsciiUpper);
        }
        std::stable_sort(outputs.begin(), outputs.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (size_t i = 1; i < outputs.size(); ++i) {
            if (outputs[i].first == outputs[i - 1].first) {
                return Fail("two files would be written under one name in the output (" + outputs[i].first +
                            ", without regard to case): " + outputs[i - 1].second + " and " +
                            outputs[i].second);
            }
        }
        return true;
    }

    void AddFile(PlannedFile file) { plan_.files.push_back(std::move(file)); }

    const BuildRequest& request_;
    BuildPlan& plan_;
    std::string& problem_;
    MediumDirectory source_;
    std::string listFileName_;
    std::unique_ptr<bootstrap::IniFileReader> reader_;
    std::vector<std::string> startUpNames_;  // every entry's name, as listed
    std::vector<std::string> startUpFiles_;  // the actual names in SOURCE of the start-up files
    std::vector<std::pair<std::string, std::string>>
        lookedForFirst_;  // plain names of compressed ones, and why
};

}  // namespace

bool PlanBuild(const BuildRequest& request, BuildPlan* plan, std::string* problem) {
    *plan = BuildPlan();
    return Planner(request, plan, problem).Run();
}

bool MatchesPattern(const std::string& pattern, const std::string& text) {
    // Greedy matching with one point to return to: the last "*" and where its run ended.
    size_t p = 0, t = 0, star = std::string::npos, resume = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            star = p++;
            resume = t;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || AsciiUpper(pattern[p]) == AsciiUpper(text[t]))) {
            ++p;
            ++t;
        } else if (star != std::string::npos) {
            p = star + 1;
            t = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}

}  // namespace zs::zemcmp
