#include "check/check_host.h"

#include <algorithm>
#include <iterator>
#include <limits>

#include "check/check_lints.h"
#include "check/content_hash.h"
#include "check/host_texts.h"
#include "check/stop_findings.h"
#include "check/windows_paths.h"
#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "compress/file_handle.h"
#include "files/codec_session.h"
#include "pe/compressed_image.h"
#include "reslib/resource_ids.h"
#include "startup/compressed_name.h"
#include "startup/file_name_rules.h"
#include "startup/list_file.h"
#include "startup/main_module_command_line.h"
#include "startup/start_up_rules.h"
#include "startup/start_up_seals.h"

namespace zs::zemcmp {
namespace {

using bootstrap::RunEnd;
using bootstrap::RunPhase;
using bootstrap::StageResult;

constexpr char kSetupProgramName[] = "SETUP.EXE";
// Windows of the machine the check predicts for: today's 64-bit Windows.
constexpr uint16_t kPlatformMachine = kMachineAmd64;
constexpr unsigned long kErrorFileNotFound = 2;
constexpr unsigned long kErrorBadExeFormat = 193;

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() &&
           AsciiUpperCase(text.substr(0, prefix.size())) == AsciiUpperCase(prefix);
}

std::pair<std::string, std::string> LowerCaseKey(std::string_view section, std::string_view key) {
    return {AsciiLowerCase(std::string(section)), AsciiLowerCase(std::string(key))};
}

}  // namespace

// The profile reader the sequence gets: the file's reader, with every reading noted (and told to the lints,
// which report a value that the reading cuts).
class ObservedProfile : public bootstrap::ProfileReader {
  public:
    ObservedProfile(CheckLints& lints, ObservedFile& file) : lints_(lints), file_(file) {}

    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override {
        std::string value = file_.reader.GetString(section, key, defaultValue, bufferSize);
        if (section == nullptr) {
            lints_.OnSectionNamesRead(file_, value, file_.reader.GetString(nullptr, nullptr, "", kUncutSize),
                                      bufferSize);
            return value;
        }
        if (key == nullptr) return value;
        std::string raw = file_.reader.GetString(section, key, kAbsentValue, kUncutSize);
        std::optional<std::string> written =
            raw == kAbsentValue ? std::nullopt : std::optional<std::string>(raw);
        file_.valuesRead[LowerCaseKey(section, key)] = written;
        lints_.OnValueRead(file_, section, key, value, written, bufferSize);
        return value;
    }

  private:
    CheckLints& lints_;
    ObservedFile& file_;
};

CheckHost::CheckHost(const MediumDirectory& medium, CheckLints& lints, StopFindings& stops)
    : medium_(medium), lints_(lints), stops_(stops) {}

CheckHost::~CheckHost() = default;

MediumFile CheckHost::Look(const std::string& name) {
    MediumFile file = medium_.Find(name);
    lints_.OnLookUp(file);
    return file;
}

std::optional<MediumFile> CheckHost::MediumFileOf(const std::string& windowsPath) {
    const std::string& directory = medium_.windowsPath();
    if (!StartsWithIgnoringCase(windowsPath, directory)) return std::nullopt;
    std::string name = windowsPath.substr(directory.size());
    if (name.empty() || name.find('\\') != std::string::npos) return std::nullopt;
    return Look(name);
}

const ObservedFile* CheckHost::Observed(const std::string& name) const {
    auto found = profiles_.find(AsciiUpperCase(name));
    return found == profiles_.end() ? nullptr : found->second.get();
}

std::optional<std::string> CheckHost::ValueAsWritten(std::string_view fileName, std::string_view section,
                                                     std::string_view key) const {
    const ObservedFile* file = Observed(std::string(fileName));
    if (!file) return std::nullopt;
    auto found = file->valuesRead.find(LowerCaseKey(section, key));
    return found == file->valuesRead.end() ? std::nullopt : found->second;
}

// --- The medium's programs ---

bool CheckHost::StartSetupProgram() {
    // The program is started by its user, by whatever case its name has.
    MediumFile program = medium_.Find(kSetupProgramName);
    if (!program.IsFile()) {
        stops_.ProgramNotStarted(FindingCode::kSetupProgramMissing,
                                 std::string(program.Exists() ? "not a file" : "not on the medium") +
                                     ": there is no setup program to start",
                                 kSetupProgramName);
        return false;
    }
    std::string problem;
    program_ = PeImage::Read(program.path, &problem);
    if (program_) {
        if (std::optional<std::string> start = ProgramStartProblem(*program_, kPlatformMachine)) {
            problem = *start;
            program_.reset();
        }
    }
    if (!program_) {
        stops_.ProgramNotStarted(FindingCode::kSetupProgramUnloadable, "Windows cannot start it: " + problem,
                                 program.actualName);
        return false;
    }
    lints_.OnSetupProgram(*program_, program.actualName);
    return true;
}

std::string CheckHost::ProgramPath() {
    MediumFile program = medium_.Find(kSetupProgramName);
    return medium_.windowsPath() + (program.actualName.empty() ? kSetupProgramName : program.actualName);
}

bool CheckHost::LoadResourceLibrary(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    seen_.libraryName =
        file && !file->actualName.empty() ? file->actualName : bootstrap::kResourceLibraryName;
    seen_.libraryOnMedium = file && file->Exists();
    seen_.libraryIsFile = file && file->IsFile();
    if (!seen_.libraryIsFile) return false;
    std::string problem;
    std::optional<PeImage> library = PeImage::Read(file->path, &problem);
    if (library && program_) {
        if (std::optional<std::string> load = LibraryLoadProblem(*library, *program_)) problem = *load;
    } else if (library && library->machine != kMachineI386) {
        problem = "it is a library for " + MachineName(library->machine) +
                  ", and the shipped setup.exe is a program for i386";
    }
    if (!library || !problem.empty()) {
        seen_.libraryProblem = problem;
        return false;
    }
    library_ = std::move(library);
    catalogue_ = language::ReadCatalogue([this](int id) { return LoadString(id); }, nullptr);
    lints_.OnResourceLibrary(*library_, file->actualName);
    return true;
}

std::optional<std::string> CheckHost::LoadString(int id) {
    if (!library_) return std::nullopt;
    return library_->LoadStringAnsi(id);
}

// --- Files and directories ---

// Paths are found only in the medium's directory: the rest of the user's disk is not known, and the check
// takes it to hold nothing in the way.
bool CheckHost::Exists(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    return file && file->Exists();
}

bool CheckHost::IsDirectory(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    return file && !file->device && file->kind == PathKind::kDirectory;
}

std::unique_ptr<bootstrap::ProfileReader> CheckHost::OpenProfile(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    std::string name = file ? (file->actualName.empty() ? file->name : file->actualName) : path;
    std::unique_ptr<ObservedFile>& observed = profiles_[AsciiUpperCase(file ? file->name : path)];
    if (!observed) {
        observed = std::make_unique<ObservedFile>(
            ObservedFile{name,
                         file && file->Exists(),
                         bootstrap::IniFileReader(file && file->IsFile() ? file->path : std::string()),
                         {}});
        lints_.OnProfileOpened(*observed, file && file->IsFile());
    }
    return std::make_unique<ObservedProfile>(lints_, *observed);
}

long double CheckHost::FreeBytes(int) {
    // The free space is the user's machine's: the check predicts a run where it suffices.
    return std::numeric_limits<long double>::max();
}

std::optional<std::string> CheckHost::FullPath(const std::string& path) {
    return FullWindowsPath(path, medium_.windowsPath());
}

// Windows refuses some names whatever the disk holds; in the medium's directory the check also knows whether
// the parent is there. Elsewhere it takes the parent to exist.
bool CheckHost::MakeDirectory(const std::string& path) {
    std::optional<std::string> refusal = DirectoryRefusal(path);
    const size_t separator = path.rfind('\\');
    if (!refusal && separator != std::string::npos) {
        const std::string parent = path.substr(0, separator);
        std::optional<MediumFile> onMedium = MediumFileOf(parent);
        if (onMedium && onMedium->kind != PathKind::kDirectory) {
            refusal = "its parent " + parent + " is no directory on the medium";
        }
    }
    if (refusal) seen_.directoryRefusal = *refusal;
    return !refusal;
}

Expansion CheckHost::Expand(const MediumFile& file, bool hash) {
    auto cached = expansions_.find(file.path);
    if (cached != expansions_.end() && (cached->second.hashed || !hash)) return cached->second;
    Expansion expansion;
    OpenFile source;
    OpenFile sink;
    uint64_t size = 0;
    if (!OpenForReading(file.path, &source, &expansion.problem) ||
        !GetFileSize64(source, &size, &expansion.problem) || !OpenNullSink(&sink, &expansion.problem)) {
        return expansions_[file.path] = expansion;
    }
    CMPHEADER header;
    CodecSession session(file.actualName, size);
    Sha256 output;
    if (hash) codec::SetWriteObserver(&Sha256::UpdateOf, &output);
    expansion.result = DecompressFile32(source.handle(), sink.handle(), &header, 1);
    codec::SetWriteObserver(nullptr, nullptr);
    if (hash) {
        output.Final(expansion.digest);
        expansion.hashed = true;
    }
    return expansions_[file.path] = expansion;
}

StageResult CheckHost::StageFile(const bootstrap::StagedFile& file, bootstrap::ContentDigest* digest) {
    std::optional<MediumFile> source = MediumFileOf(file.sourcePath);
    OpenFile opened;
    std::string problem;
    if (!source || !source->IsFile() || !OpenForReading(source->path, &opened, &problem)) {
        return StageResult::kSourceUnreadable;
    }
    if (file.compressed && !file.workstationRun) {
        Expansion expansion = Expand(*source, digest != nullptr);
        if (!expansion.problem.empty()) {
            stops_.CheckFailed("cannot decode " + source->actualName + ": " + expansion.problem);
        } else if (expansion.result != CMP_OK) {
            seen_.damagedSources[file.fileName] = {source->actualName, expansion.result};
            return StageResult::kCopyFailed;
        }
        if (digest) std::copy(std::begin(expansion.digest), std::end(expansion.digest), *digest);
    } else if (digest && !HashFileContents(opened, *digest, &problem)) {
        // What the check cannot read, setup.exe cannot copy either.
        stops_.CheckFailed("cannot read " + source->actualName + ": " + problem);
        return StageResult::kCopyFailed;
    }
    if (digest) seen_.stagedSeals[file.fileName] = bootstrap::SealText(*digest);
    lints_.OnStaged(*this, file, *source);
    staged_[AsciiUpperCase(std::string(bootstrap::WithoutTrailingDotsAndBlanks(file.fileName)))] = file;
    return StageResult::kDone;
}

// A staged main module as Windows' loader would find it in the target directory: the plain source, or what
// the compressed one expands to.
std::optional<PeImage> CheckHost::StagedMainModule(const bootstrap::StagedFile& staged,
                                                   std::string* problem) {
    std::optional<MediumFile> source = MediumFileOf(staged.sourcePath);
    // Only the headers are read: the main module's size does not matter to what the loader makes of it.
    std::optional<PeImage> image = staged.compressed ? ReadCompressedImageHeaders(source->path, problem)
                                                     : PeImage::ReadHeaders(source->path, problem);
    if (!image && problem->empty()) *problem = "it cannot be read";
    if (!image)
        *problem = std::string(bootstrap::kMainModuleName) + " as staged from " + source->actualName + ": " +
                   *problem;
    return image;
}

// The main module as it would be found where setup.exe starts it, read as Windows' loader would read it.
bootstrap::MainModuleStart CheckHost::RunMainModule(
    const std::string&, const std::string&,
    const std::function<void(const bootstrap::MainModuleStart&)>& started) {
    std::string problem;
    std::optional<PeImage> image;
    const std::string name = bootstrap::kMainModuleName;
    if (workstationRun_) {
        MediumFile file = Look(name);
        seen_.mainModuleMissing = !file.IsFile();
        if (seen_.mainModuleMissing) {
            problem =
                name + " is not on the medium under its own name: a workstation run starts it where it lies";
        } else {
            image = PeImage::ReadHeaders(file.path, &problem);
            if (!image) problem = file.actualName + " on the medium: " + problem;
        }
    } else {
        auto staged = staged_.find(name);
        seen_.mainModuleNotStaged = staged == staged_.end();
        if (seen_.mainModuleNotStaged) {
            problem = "no start-up file entry names " + name + ", so it is not in the temporary directory";
        } else {
            image = StagedMainModule(staged->second, &problem);
        }
    }
    if (image) {
        if (std::optional<std::string> refused = ProgramStartProblem(*image, kPlatformMachine)) {
            problem = name + ": " + *refused;
            image.reset();
        } else {
            lints_.OnMainModule(*image, program());
        }
    }
    seen_.mainModuleProblem = problem;
    bootstrap::MainModuleStart start;
    start.started = image.has_value();
    if (!start.started) {
        start.errorCode =
            seen_.mainModuleMissing || seen_.mainModuleNotStaged ? kErrorFileNotFound : kErrorBadExeFormat;
    }
    started(start);
    return start;
}

// --- The user ---

language::LanguageSelection CheckHost::RunSelectionDialog(const language::LanguageChoices& choices) {
    language::LanguageSelection selection;
    selection.cancelled = true;
    // Without its template the dialog cannot be made, and the run ends as if the user had cancelled it.
    seen_.selectDialogMissing = library_ && !library_->HasResource(kResourceDialog, IDD_SELECT_LANGUAGE);
    // An empty list leaves the user nothing but to end setup.
    if (seen_.selectDialogMissing || choices.items().empty()) return selection;
    // The first item is selected when the dialog opens (and taken at once when it is the only language).
    selection = choices.Choose(0, nullptr);
    chosenBlock_ = selection.languageBase;
    chosenLanguage_ = selection.languageName;
    return selection;
}

void CheckHost::ShowPleaseWait(const std::string&, int) {
    if (library_) lints_.OnPleaseWait(*library_);
}

// --- What the sequence found ---

void CheckHost::OnLanguageList(const std::string& filterCode, const bootstrap::LanguageList& list) {
    seen_.supportedLanguages = list.supportedLanguages;
    lints_.OnLanguageList(*this, filterCode, list);
}

void CheckHost::OnEditionWord(const std::string& word, bool locationMode) {
    lints_.OnEditionWord(*this, word, locationMode);
}

void CheckHost::OnStartUpValues(const std::string& appName, const std::string& tmpDirSize) {
    lints_.OnStartUpValues(*this, appName, tmpDirSize);
}

void CheckHost::OnChoices(const language::LanguageChoices* choices) {
    lints_.OnChoices(*this, choices);
}

void CheckHost::OnTargetDirectory(const std::string& tmpDirName, const std::string& target,
                                  bool workstationRun) {
    workstationRun_ = workstationRun;
    lints_.OnTargetDirectory(*this, tmpDirName, target, workstationRun);
}

void CheckHost::OnStartUpFiles(const bootstrap::StartUpFileList& list, bool workstationRun) {
    lints_.OnStartUpFiles(*this, list, workstationRun);
}

// The check follows the run past a stop where the steps after it still say something of the medium.
bool CheckHost::ContinueAfterStop(const RunEnd& end, const std::string& text) {
    stops_.Report(*this, end, text);
    switch (end.phase) {
        case RunPhase::kLanguages:
            // The redirect is the medium's own answer: there is nothing to follow after it.
            return end.cause.reason != bootstrap::StopReason::kFilterCodeRedirect;
        case RunPhase::kApplicationName:
        case RunPhase::kSpaceRequirement:
        case RunPhase::kTemporaryDirectory:
        case RunPhase::kStaging:
            return true;
        default:
            return false;
    }
}

}  // namespace zs::zemcmp
