#include "check/check_host.h"
#include "check/host_texts.h"

#include <algorithm>
#include <limits>

#include "bootstrap/file_name_rules.h"
#include "bootstrap/fixed_messages.h"
#include "bootstrap/list_file.h"
#include "bootstrap/main_module_command_line.h"
#include "bootstrap/start_up_rules.h"
#include "check/windows_paths.h"
#include "codec_session.h"
#include "compressed_image.h"
#include "compress/cmpfile.h"
#include "compress/file_handle.h"
#include "language/location_profile.h"
#include "reslib/resource_ids.h"
#include "services/compressed_name.h"

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

}  // namespace

// The profile reader the sequence gets: the file's reader, with every reading noted, and a value that the
// reading cuts reported where the sequence reads it.
class ObservedProfile : public bootstrap::ProfileReader {
  public:
    ObservedProfile(CheckHost& host, ObservedFile& file) : host_(host), file_(file) {}

    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override {
        std::string value = file_.reader.GetString(section, key, defaultValue, bufferSize);
        if (section == nullptr) {
            file_.sectionListRead = true;
            std::string whole = file_.reader.GetString(nullptr, nullptr, "", kUncutSize);
            if (whole.size() > value.size() && file_.cutReported.insert({"", ""}).second) {
                host_
                    .Add(FindingCode::kValueCut,
                         "the section names take " + std::to_string(whole.size() + 1) +
                             " bytes together, more than the " + std::to_string(bufferSize) +
                             " that setup.exe reads them into: the last sections are cut off")
                    .At(file_.name);
            }
            return value;
        }
        if (key == nullptr) return value;
        file_.keysRead.insert({AsciiLowerCase(section), AsciiLowerCase(key)});
        std::string raw = host_.RawValue(file_, section, key);
        if (raw != kAbsentValue && raw.size() > value.size() &&
            file_.cutReported.insert({AsciiLowerCase(section), AsciiLowerCase(key)}).second) {
            host_
                .Add(FindingCode::kValueCut, "the value is longer than " + std::to_string(bufferSize - 1) +
                                                 " characters: setup.exe reads " + Quoted(value))
                .At(file_.name, section, key)
                .WithValue(raw);
        }
        return value;
    }

  private:
    CheckHost& host_;
    ObservedFile& file_;
};

CheckHost::CheckHost(const MediumDirectory& medium, CheckReport& report) : medium_(medium), report_(report) {}

CheckHost::~CheckHost() = default;

std::string CheckHost::RawValue(const ObservedFile& file, const char* section, const char* key) const {
    return file.reader.GetString(section, key, kAbsentValue, kUncutSize);
}

void CheckHost::SetCause(FindingCode code, std::string text, std::string file, std::string section,
                         std::string key, std::optional<std::string> value) {
    cause_ =
        Cause{code, std::move(text), std::move(file), std::move(section), std::move(key), std::move(value)};
}

MediumFile CheckHost::Look(const std::string& name) {
    MediumFile file = medium_.Find(name);
    if (file.device || !namesNoted_.insert(AsciiUpperCase(name)).second) return file;
    if (file.caseDiffers) {
        Add(FindingCode::kFileNameCase,
            "the name is written " + file.actualName +
                " on the medium: Windows finds it all the same, a case-sensitive file "
                "system would not")
            .At(name);
    }
    if (!file.otherCases.empty()) {
        std::string names = file.actualName;
        for (const std::string& other : file.otherCases) names += ", " + other;
        Add(FindingCode::kFileNameCaseTwins,
            "the medium holds several names that Windows takes for one file, " + name + ": " + names +
                "; which of them a copy of the medium keeps is "
                "uncertain (this check uses " +
                file.actualName + ")")
            .At(name);
    }
    return file;
}

std::optional<MediumFile> CheckHost::MediumFileOf(const std::string& windowsPath) {
    const std::string& directory = medium_.windowsPath();
    if (!StartsWithIgnoringCase(windowsPath, directory)) return std::nullopt;
    std::string name = windowsPath.substr(directory.size());
    if (name.empty() || name.find('\\') != std::string::npos) return std::nullopt;
    return Look(name);
}

ObservedFile* CheckHost::ObservedByName(const std::string& name) {
    auto found = profiles_.find(AsciiUpperCase(name));
    return found == profiles_.end() ? nullptr : found->second.get();
}

ObservedFile* CheckHost::ListFile() {
    return ObservedByName(bootstrap::kListFileName);
}

// --- The medium's programs ---

void CheckHost::CheckMediumFiles() {
    for (const std::string& name : medium_.UnholdableNames()) {
        Add(FindingCode::kFileNameNotWindows,
            "Windows cannot hold this name (a character such as < > : \" | ? * or a control character, or a "
            "trailing dot or blank): setup.exe never finds the file")
            .At(name);
    }
    // The program is started by its user, by whatever case its name has.
    MediumFile program = medium_.Find(kSetupProgramName);
    if (!program.IsFile()) {
        Add(FindingCode::kSetupProgramMissing,
            std::string(program.Exists() ? "not a file" : "not on the medium") +
                ": there is no setup program to start")
            .At(kSetupProgramName);
    } else {
        std::string problem;
        program_ = PeImage::Read(program.path, &problem);
        if (!program_) {
            Add(FindingCode::kSetupProgramUnloadable, "Windows cannot start it: " + problem)
                .At(program.actualName);
        } else if (std::optional<std::string> start = ProgramStartProblem(*program_, kPlatformMachine)) {
            Add(FindingCode::kSetupProgramUnloadable, "Windows cannot start it: " + *start)
                .At(program.actualName);
            program_.reset();
        } else if (!program_->hasSignature) {
            Add(FindingCode::kUnsignedImage,
                "it carries no Authenticode signature: Windows warns of an unknown publisher when it starts")
                .At(program.actualName);
        }
    }
    if (Look(bootstrap::kAdminInfName).Exists()) {
        Add(FindingCode::kWorkstationRun,
            std::string(bootstrap::kAdminInfName) + " lies beside " + bootstrap::kListFileName +
                ": every run from this directory is a workstation run: nothing is copied or expanded, "
                "entries "
                "marked \",1\" are skipped and _SETUP.EXE is started where it lies")
            .At(bootstrap::kAdminInfName);
    }
}

std::string CheckHost::ProgramPath() {
    MediumFile program = medium_.Find(kSetupProgramName);
    return medium_.windowsPath() + (program.actualName.empty() ? kSetupProgramName : program.actualName);
}

bool CheckHost::LoadResourceLibrary(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    if (!file || !file->IsFile()) {
        SetCause(FindingCode::kResourceLibraryMissing,
                 std::string(file && file->Exists() ? "not a file" : "not on the medium") +
                     ": setup.exe stops at once, before it reads anything",
                 bootstrap::kResourceLibraryName);
        return false;
    }
    std::string problem;
    std::optional<PeImage> library = PeImage::Read(file->path, &problem);
    if (library && program_) {
        if (std::optional<std::string> load = LibraryLoadProblem(*library, *program_)) problem = *load;
    } else if (library && library->machine != kMachineI386) {
        problem = "it is a library for " + MachineName(library->machine) +
                  ", and the shipped setup.exe is a program for i386";
    }
    if (!library || !problem.empty()) {
        SetCause(FindingCode::kResourceLibraryUnloadable,
                 "Windows cannot load it for setup.exe: " + problem + "; setup.exe stops at once",
                 file->actualName);
        return false;
    }
    library_ = std::move(library);
    catalogue_ = language::ReadCatalogue([this](int id) { return LoadString(id); }, nullptr);
    std::vector<std::string> missing;
    for (int id : {IDS_CATALOGUE_COUNT, IDS_ENGLISH_BASE + IDS_FILE_NOT_FOUND,
                   IDS_ENGLISH_BASE + IDS_LIST_CORRUPTED}) {
        if (!LoadString(id)) missing.push_back(std::to_string(id));
    }
    if (!missing.empty()) {
        std::string ids;
        for (const std::string& id : missing) ids += (ids.empty() ? "" : ", ") + id;
        Add(FindingCode::kResourceLibraryWithoutStrings,
            "the string table has no string " + ids +
                ": setup.exe reads an empty catalogue or shows empty messages")
            .At(file->actualName);
    }
    if (!library_->hasSignature) {
        Add(FindingCode::kUnsignedImage,
            "it carries no Authenticode signature: Windows warns of an unknown publisher when setup.exe "
            "loads it")
            .At(file->actualName);
    }
    return true;
}

std::optional<std::string> CheckHost::LoadString(int id) {
    if (!library_) return std::nullopt;
    return library_->LoadStringAnsi(id);
}

// --- Files and paths ---

bool CheckHost::Exists(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    return file && file->Exists();
}

std::unique_ptr<bootstrap::ProfileReader> CheckHost::OpenProfile(const std::string& path) {
    std::optional<MediumFile> file = MediumFileOf(path);
    std::string name = file ? (file->actualName.empty() ? file->name : file->actualName) : path;
    std::unique_ptr<ObservedFile>& observed = profiles_[AsciiUpperCase(file ? file->name : path)];
    if (!observed) {
        observed = std::make_unique<ObservedFile>(
            ObservedFile{name,
                         bootstrap::IniFileReader(file && file->IsFile() ? file->path : std::string()),
                         {},
                         {},
                         false});
        if (file && file->Exists() && !observed->reader.Found()) {
            Add(FindingCode::kListFileUnreadable,
                std::string(file->IsFile() ? "the file cannot be read" : "not a file") +
                    ": the profile reader reads no value from it, so every value reads as missing")
                .At(name);
        }
        ReportOddities(*observed);
    }
    return std::make_unique<ObservedProfile>(*this, *observed);
}

long double CheckHost::FreeBytes(int) {
    // The free space is the user's machine's: the check predicts a run where it suffices.
    return std::numeric_limits<long double>::max();
}

std::optional<std::string> CheckHost::FullPath(const std::string& path) {
    return FullWindowsPath(path, medium_.windowsPath());
}

Expansion CheckHost::Expand(const MediumFile& file) {
    auto cached = expansions_.find(file.path);
    if (cached != expansions_.end()) return cached->second;
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
    expansion.result = DecompressFile32(source.handle(), sink.handle(), &header, 1);
    return expansions_[file.path] = expansion;
}

StageResult CheckHost::StageFile(const bootstrap::StagedFile& file) {
    std::optional<MediumFile> source = MediumFileOf(file.sourcePath);
    OpenFile opened;
    std::string problem;
    if (!source || !source->IsFile() || !OpenForReading(source->path, &opened, &problem)) {
        unreadableSources_.insert(file.fileName);
        return StageResult::kSourceUnreadable;
    }
    ObservedFile* list = ListFile();
    auto at = [&](Finding& finding) -> Finding& {
        auto key = entryKeys_.find(file.fileName);
        std::string keyName = key == entryKeys_.end() ? std::string() : key->second;
        finding.At(bootstrap::kListFileName, bootstrap::kStartUpSection, keyName);
        if (list && !keyName.empty())
            finding.WithValue(RawValue(*list, bootstrap::kStartUpSection, keyName.c_str()));
        return finding;
    };
    if (file.workstationRun) {
        if (file.compressed) {
            at(Add(FindingCode::kStartUpFileNotExpanded, "only the compressed " + source->actualName +
                                                             " is on the medium: a workstation run expands "
                                                             "nothing, so the main setup module finds no " +
                                                             file.fileName));
        }
    } else if (file.compressed) {
        Expansion expansion = Expand(*source);
        if (!expansion.problem.empty()) {
            Add(FindingCode::kCheckFailed, "cannot decode " + source->actualName + ": " + expansion.problem);
        } else if (expansion.result != CMP_OK) {
            damaged_[file.fileName] = {source->actualName, expansion.result};
            return StageResult::kCopyFailed;
        }
    } else {
        CMPHEADER header;
        if (IsCmpFile(opened.handle(), &header) == CMP_OK) {
            at(Add(FindingCode::kStartUpFileCompressedUnderPlainName,
                   source->actualName +
                       " is in the compressed format, but a file under its plain name is copied "
                       "as it is: the main setup module would get the compressed bytes (store it as " +
                       MakeCompressedName(file.fileName) + " instead)"));
        }
        std::optional<MediumFile> compressed = MediumFileOf(MakeCompressedName(file.sourcePath));
        if (compressed && compressed->Exists()) {
            at(Add(FindingCode::kStartUpFileBothCopies,
                   "both " + source->actualName + " and its compressed name " + compressed->actualName +
                       " are on the medium: setup.exe copies " + source->actualName + " and never uses " +
                       compressed->actualName));
        }
    }
    staged_[AsciiUpperCase(std::string(bootstrap::WithoutTrailingDotsAndBlanks(file.fileName)))] = file;
    return StageResult::kDone;
}

// The main module as it would be found where setup.exe starts it, read as Windows' loader would read it.
bootstrap::MainModuleStart CheckHost::RunMainModule(
    const std::string&, const std::string&,
    const std::function<void(const bootstrap::MainModuleStart&)>& started) {
    bootstrap::MainModuleStart start;
    std::string problem;
    std::optional<PeImage> image;
    const std::string name = bootstrap::kMainModuleName;
    if (workstationRun_) {
        MediumFile file = Look(name);
        if (!file.IsFile()) {
            problem =
                name + " is not on the medium under its own name: a workstation run starts it where it lies";
        } else {
            image = PeImage::ReadHeaders(file.path, &problem);
            if (!image) problem = file.actualName + " on the medium: " + problem;
        }
    } else {
        auto staged = staged_.find(name);
        if (staged == staged_.end()) {
            problem = "no start-up file entry names " + name + ", so it is not in the temporary directory";
        } else {
            std::optional<MediumFile> source = MediumFileOf(staged->second.sourcePath);
            image = staged->second.compressed ? ReadCompressedImageHeaders(source->path, &problem)
                                              : PeImage::ReadHeaders(source->path, &problem);
            if (!image && problem.empty()) problem = "it cannot be read";
            if (!image) problem = name + " as staged from " + source->actualName + ": " + problem;
        }
        if (staged == staged_.end()) {
            start = {false, kErrorFileNotFound};
            SetCause(FindingCode::kMainModuleMissing, problem + ": setup.exe cannot start it",
                     bootstrap::kListFileName, bootstrap::kStartUpSection);
            started(start);
            return start;
        }
    }
    if (image) {
        if (std::optional<std::string> refused = ProgramStartProblem(*image, kPlatformMachine)) {
            problem = name + ": " + *refused;
            image.reset();
        } else if (image->machine == kMachineAmd64 && (!program_ || program_->machine == kMachineI386)) {
            Add(FindingCode::kMainModuleMachine,
                name +
                    " is a program for x86-64: it starts on 64-bit Windows only, beside a setup.exe for i386")
                .At(name);
        }
    }
    if (image) {
        start.started = true;
    } else {
        bool missing = workstationRun_ && !Look(name).IsFile();
        start = {false, missing ? kErrorFileNotFound : kErrorBadExeFormat};
        SetCause(missing ? FindingCode::kMainModuleMissing : FindingCode::kMainModuleCannotStart,
                 problem + ": Windows cannot start it", name);
    }
    started(start);
    return start;
}

// --- The user ---

language::LanguageSelection CheckHost::RunSelectionDialog(const language::LanguageChoices& choices) {
    language::LanguageSelection selection;
    selection.cancelled = true;
    if (library_ && !library_->HasResource(kResourceDialog, IDD_SELECT_LANGUAGE)) {
        SetCause(
            FindingCode::kResourceLibraryWithoutSelectDialog,
            "the resource library has no dialog template 105: the Select Language dialog cannot be made, and "
            "the run ends as if the user had cancelled it",
            bootstrap::kResourceLibraryName);
        return selection;
    }
    // An empty list leaves the user nothing but to end setup (the cause was told with the choices).
    if (choices.items().empty()) return selection;
    // The first item is selected when the dialog opens (and taken at once when it is the only language).
    selection = choices.Choose(0, nullptr);
    chosenBase_ = selection.languageBase;
    chosenLanguage_ = selection.languageName;
    return selection;
}

void CheckHost::RecordCancel() {
    RunEnd end;
    end.phase = RunPhase::kSelection;
    end.exitStatus = bootstrap::kExitCancelled;
    // A list emptied by an earlier stop that the check went past is not a finding of its own.
    if (predicted_) return;
    Cause cause = TakeCause(end);
    Finding& finding = Add(cause.code, cause.text).At(cause.file, cause.section, cause.key);
    if (cause.value) finding.WithValue(*cause.value);
    finding.phase = bootstrap::RunPhaseName(end.phase);
    Predict(end, std::nullopt);
}

void CheckHost::ShowPleaseWait(const std::string&, int) {
    if (library_ && !library_->HasResource(kResourceDialog, IDD_WAIT)) {
        Add(FindingCode::kResourceLibraryWithoutWaitDialog,
            "the resource library has no dialog template 103: no please-wait window is shown while the files "
            "are "
            "staged")
            .At(bootstrap::kResourceLibraryName);
    }
}

PredictedMessage CheckHost::MessageOf(const RunEnd& end, const std::string& text) const {
    PredictedMessage message;
    message.text = text;
    message.icon = bootstrap::MessageIconName(end.message->icon);
    message.stringId = end.message->fixedText ? 0 : end.message->stringId;
    if (message.stringId != 0) {
        int base = message.stringId - MessageOffset(message.stringId);
        message.language = chosenBase_ != 0 && base == chosenBase_ ? chosenLanguage_ : "English";
    }
    return message;
}

void CheckHost::Finish(int exitStatus) {
    if (predicted_) return;
    Prediction& prediction = report_.prediction.emplace();
    prediction.outcome = Prediction::Outcome::kStartsMainModule;
    prediction.exitStatus = exitStatus;
    prediction.language = chosenLanguage_;
}

void CheckHost::Predict(const RunEnd& end, std::optional<PredictedMessage> message) {
    if (predicted_) return;
    predicted_ = true;
    Prediction& prediction = report_.prediction.emplace();
    prediction.outcome = end.exitStatus == bootstrap::kExitCancelled ? Prediction::Outcome::kCancelled
                                                                     : Prediction::Outcome::kStops;
    prediction.phase = bootstrap::RunPhaseName(end.phase);
    prediction.exitStatus = end.exitStatus;
    prediction.message = std::move(message);
    prediction.language = chosenLanguage_;
}

void CheckHost::ShowMessage(const RunEnd& end, const std::string& text) {
    Cause cause = TakeCause(end);
    PredictedMessage message = MessageOf(end, text);
    Finding& finding = Add(cause.code, cause.text).At(cause.file, cause.section, cause.key);
    if (cause.value) finding.WithValue(*cause.value);
    finding.phase = bootstrap::RunPhaseName(end.phase);
    finding.message = message;
    Predict(end, message);
}

bool CheckHost::ContinueAfterStop(const RunEnd& end) {
    switch (end.phase) {
        case RunPhase::kLanguages:
            // The redirect is the medium's own answer: there is nothing to follow after it.
            return !(end.message && end.message->fixedText == bootstrap::kRedirectMessage);
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
