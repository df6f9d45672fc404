// The start-up file entries of [StartUp] and the files they name on the medium, checked as setup.exe stages
// them: a file under its own name is copied as it is, otherwise its compressed name is expanded.
#include <string>
#include <vector>

#include "bootstrap/list_file.h"
#include "bootstrap/main_module_command_line.h"
#include "bootstrap/file_name_rules.h"
#include "bootstrap/start_up_entries.h"
#include "check_context.h"
#include "check_shipped_strings.h"
#include "codec_session.h"
#include "compress/cmpfile.h"
#include "reslib/resource_ids.h"
#include "services/compressed_name.h"

namespace zs::zemcmp {
namespace {

using bootstrap::kStartUpSection;

struct ListedFile {
    std::string key;
    std::string raw;    // the value as written
    std::string value;  // as setup.exe reads it, at most 31 characters
    bootstrap::StartUpEntry entry;
};

struct StartUpList {
    std::vector<ListedFile> files;  // the entries a run of this medium's kind stages, in key order
    std::vector<std::string> keysRead;
    int end = 1;              // the key at which the list ended
    bool skippedAny = false;  // entries were passed over for their ",1" mark
};

StartUpList ReadStartUpList(const CheckContext& context) {
    StartUpList list;
    for (int key = 1;; ++key) {
        ListedFile listed;
        listed.key = std::to_string(key);
        listed.value = context.listFile.GetString(kStartUpSection, listed.key.c_str(), bootstrap::kNoEntry,
                                                  bootstrap::kStartUpValueBufferSize);
        listed.raw = RawValue(context.listFile, kStartUpSection, listed.key.c_str(), bootstrap::kNoEntry);
        listed.entry = bootstrap::ParseStartUpEntry(listed.value);
        list.keysRead.push_back(listed.key);
        if (context.workstationRun && listed.entry.skipInWorkstationRun) {
            list.skippedAny = true;
            continue;
        }
        if (listed.entry.missing) {
            list.end = key;
            return list;
        }
        list.files.push_back(listed);
    }
}

class StartUpFileCheck {
  public:
    explicit StartUpFileCheck(CheckContext& context) : context_(context) {}

    void Run() {
        StartUpList list = ReadStartUpList(context_);
        if (list.files.empty()) ReportNothingStaged(list);
        if (!context_.workstationRun) CheckWorkstationRunOfThisList();
        std::vector<const ListedFile*> checked;
        for (const ListedFile& listed : list.files) {
            if (!CheckEntry(listed)) continue;
            const ListedFile* earlier = nullptr;
            for (const ListedFile* other : checked) {
                if (SameFileName(other->entry.fileName, listed.entry.fileName)) earlier = other;
            }
            if (earlier != nullptr) {
                Report(listed, Severity::kWarning, "start-up-entry-repeated",
                       "names the same file as key " + earlier->key + ": it is staged twice");
                continue;
            }
            checked.push_back(&listed);
            CheckFile(listed);
        }
        if (!list.files.empty()) CheckMainModule(list);

        std::vector<std::string> keysRead = list.keysRead;
        for (const char* key :
             {bootstrap::kAppNameKey, bootstrap::kTmpDirSizeKey, bootstrap::kTmpDirNameKey}) {
            keysRead.push_back(key);
        }
        std::string endKey = std::to_string(list.end);
        std::string endText =
            "key " + endKey +
            (HasKey(context_.listFile, kStartUpSection, endKey.c_str())
                 ? std::string(" is \"") + bootstrap::kNoEntry + "\", which counts as missing"
                 : " is missing");
        CheckUnreadKeys(context_, kStartUpSection, keysRead, list.end, endText);
    }

  private:
    Finding& Report(const ListedFile& listed, Severity severity, const char* code, const std::string& text) {
        return context_.report.Add(severity, code, text)
            .At(bootstrap::kListFileName, kStartUpSection, listed.key)
            .WithValue(listed.raw);
    }

    Finding& ShowsChosen(Finding& finding, int offset, const std::string& argument = std::string()) {
        return finding.Shows(MessageSource::kChosenBlock, EnglishMessageId(offset),
                             EnglishMessage(offset, argument));
    }

    void ReportNothingStaged(const StartUpList& list) {
        std::string text = context_.workstationRun && list.skippedAny
                               ? "every entry before the end of the list is marked \",1\", and this is a "
                                 "workstation run (ADMIN.INF is on the medium): no start-up file applies"
                               : "there is no start-up file entry 1, so the list names no start-up file";
        Finding& finding =
            context_.report.Add(Severity::kError, "start-up-list-empty", text + ": setup.exe stops")
                .At(bootstrap::kListFileName, kStartUpSection, "1");
        ShowsChosen(finding, IDS_LIST_CORRUPTED);
    }

    // An administrative installation point made from this medium runs from the same list file.
    void CheckWorkstationRunOfThisList() {
        bootstrap::StartUpFileList workstation = bootstrap::CollectStartUpFiles(context_.listFile, true);
        bootstrap::StartUpFileList local = bootstrap::CollectStartUpFiles(context_.listFile, false);
        if (local.noFileApplies || !workstation.noFileApplies) return;
        Finding& finding =
            context_.report
                .Add(Severity::kWarning, "start-up-list-empty-in-workstation-run",
                     "every start-up file entry is marked \",1\": a workstation run from an administrative "
                     "installation point made from this medium skips them all and stops")
                .At(bootstrap::kListFileName, kStartUpSection);
        ShowsChosen(finding, IDS_LIST_CORRUPTED);
    }

    // The entry's form. False when setup.exe would stop at it before it looks for the file.
    bool CheckEntry(const ListedFile& listed) {
        const std::string& name = listed.entry.fileName;
        if (listed.raw.size() > listed.value.size()) {
            Report(listed, Severity::kWarning, "start-up-entry-cut",
                   "the entry is longer than " + std::to_string(bootstrap::kStartUpValueBufferSize - 1) +
                       " characters: setup.exe reads " + Quoted(listed.value) + " and stages the file " +
                       Quoted(name));
        }
        size_t comma = listed.value.find(',');
        std::string mark = comma == std::string::npos ? std::string() : listed.value.substr(comma + 1);
        if (!mark.empty() && mark[0] != '1') {
            bool blankBeforeOne = mark.find_first_not_of(" \t") != std::string::npos &&
                                  mark[mark.find_first_not_of(" \t")] == '1';
            if (blankBeforeOne) {
                Report(listed, Severity::kWarning, "start-up-mark-ignored",
                       "only a \"1\" right after the comma marks an entry: " + Quoted("," + mark) +
                           " does not, so the file is staged in workstation runs too");
            } else {
                Report(listed, Severity::kNote, "start-up-mark-unknown",
                       "only a \"1\" right after the comma means something; " + Quoted("," + mark) +
                           " is ignored");
            }
        }
        if (!context_.workstationRun && !name.empty() && name[0] == '.' && bootstrap::IsPlainFileName(name)) {
            Report(
                listed, Severity::kWarning, "start-up-entry-dot-name",
                "the file name starts with \".\": setup.exe's clean-up passes over such names, so the file "
                "and the temporary directory are left behind on the user's disk");
        }
        if (!bootstrap::IsPlainFileName(name)) {
            ShowsChosen(
                Report(listed, Severity::kError, "start-up-entry-not-plain",
                       "the file name " + Quoted(name) +
                           " is not a plain name in the medium's directory (it is empty, \".\" or "
                           "\"..\", or holds \"\\\", \"/\" or \":\"): setup.exe takes the list file for "
                           "corrupted and stops"),
                IDS_LIST_CORRUPTED);
            return false;
        }
        return true;
    }

    void CheckFile(const ListedFile& listed) {
        const std::string& name = listed.entry.fileName;
        const std::string compressedName = MakeCompressedName(name);
        MediumFile plain = FindOnMedium(context_, name);
        if (plain.Exists()) {
            CheckPlainFile(listed, plain, context_.medium.Find(compressedName));
            return;
        }
        MediumFile compressed = FindOnMedium(context_, compressedName);
        if (!compressed.Exists()) {
            ShowsChosen(Report(listed, Severity::kError, "start-up-file-missing",
                               "neither " + name + " nor its compressed name " + compressedName +
                                   " is on the medium: setup.exe stops"),
                        IDS_FILE_NOT_FOUND, name);
            return;
        }
        if (!compressed.IsFile()) {
            ShowsChosen(
                Report(listed, Severity::kError, "start-up-file-not-a-file",
                       compressed.actualName + " on the medium is not a file: setup.exe cannot open it "
                                               "and stops"),
                IDS_FILE_NOT_FOUND, name);
            return;
        }
        if (context_.workstationRun) {
            Report(listed, Severity::kWarning, "start-up-file-not-expanded",
                   "only the compressed " + compressed.actualName +
                       " is on the medium: a workstation run expands nothing, so the main setup module finds "
                       "no " +
                       name);
            return;
        }
        CheckCompressedFile(listed, compressed);
    }

    void CheckPlainFile(const ListedFile& listed, const MediumFile& plain, const MediumFile& compressed) {
        const std::string& name = listed.entry.fileName;
        OpenFile file;
        std::string problem;
        if (!plain.IsFile() || !OpenForReading(plain.path, &file, &problem)) {
            problem = plain.IsFile() ? "cannot be read (" + problem + ")" : "is not a file";
            ShowsChosen(Report(listed, Severity::kError, "start-up-file-unreadable",
                               plain.actualName + " on the medium " + problem +
                                   ": setup.exe cannot open it and stops"),
                        IDS_FILE_NOT_FOUND, name);
            return;
        }
        CMPHEADER header;
        if (IsCmpFile(file.handle(), &header) == CMP_OK) {
            Report(
                listed, Severity::kWarning, "start-up-file-compressed-under-plain-name",
                plain.actualName +
                    " is in the compressed format, but a file under its plain name is copied as it is: the "
                    "main setup module would get the compressed bytes (store it as " +
                    MakeCompressedName(name) + " instead)");
        }
        if (compressed.Exists()) {
            Report(listed, Severity::kWarning, "start-up-file-both-copies",
                   "both " + plain.actualName + " and its compressed name " + compressed.actualName +
                       " are on the medium: setup.exe copies " + plain.actualName + " and never uses " +
                       compressed.actualName);
        }
    }

    // setup.exe expands the file with the codec and fails on any result but success, so the whole body is
    // decoded here.
    void CheckCompressedFile(const ListedFile& listed, const MediumFile& compressed) {
        const std::string& name = listed.entry.fileName;
        OpenFile source;
        OpenFile sink;
        std::string problem;
        uint64_t size = 0;
        if (!OpenForReading(compressed.path, &source, &problem) || !GetFileSize64(source, &size, &problem)) {
            problem = "cannot be read (" + problem + ")";
            ShowsChosen(Report(listed, Severity::kError, "start-up-file-unreadable",
                               compressed.actualName + " on the medium " + problem +
                                   ": setup.exe cannot open it and stops"),
                        IDS_FILE_NOT_FOUND, name);
            return;
        }
        if (!OpenNullSink(&sink, &problem)) {
            context_.report.Add(Severity::kError, "check-failed",
                                "cannot decode " + compressed.actualName + ": " + problem);
            return;
        }
        CMPHEADER header;
        int result;
        {
            CodecSession session(compressed.actualName, size);
            result = DecompressFile32(source.handle(), sink.handle(), &header, 1);
        }
        if (result == CMP_OK) return;
        ShowsChosen(Report(listed, Severity::kError, "start-up-file-damaged",
                           compressed.actualName + ", the compressed copy of " + name +
                               ", does not expand: " + DescribeCodecResult(result, CodecTask::kTest) +
                               "; setup.exe stops"),
                    IDS_DECOMPRESS_FAILED, name);
    }

    // setup.exe starts _SETUP.EXE from the directory the files were staged into.
    void CheckMainModule(const StartUpList& list) {
        const std::string mainModule = bootstrap::kMainModuleName;
        if (context_.workstationRun) {
            MediumFile file = FindOnMedium(context_, mainModule);
            if (file.IsFile()) return;
            context_.report
                .Add(Severity::kError, "main-module-missing",
                     mainModule +
                         " is not on the medium under its own name: a workstation run starts it where "
                         "it lies, so setup.exe cannot start it and ends without a message")
                .At(mainModule);
            return;
        }
        for (const ListedFile& listed : list.files) {
            if (SameFileName(listed.entry.fileName, mainModule)) return;
        }
        context_.report
            .Add(Severity::kError, "main-module-not-listed",
                 "no start-up file entry names " + mainModule +
                     ": setup.exe stages the other files, cannot start the main setup module from the "
                     "temporary "
                     "directory and ends without a message")
            .At(bootstrap::kListFileName, kStartUpSection);
    }

    CheckContext& context_;
};

}  // namespace

void CheckStartUpFiles(CheckContext& context) {
    StartUpFileCheck(context).Run();
}

}  // namespace zs::zemcmp
