#include "bootstrap/start_up_file_staging_win32.h"

#include <io.h>
#include <windows.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "bootstrap/private_profile_reader_win32.h"
#include "bootstrap/start_up_entries.h"
#include "bootstrap/target_directory_win32.h"
#include "compress/cmpfile.h"
#include "framework/exceptions.h"
#include "framework/file_win32.h"
#include "framework/message_box_win32.h"
#include "framework/strings_win32.h"
#include "language/messages.h"
#include "reslib/resource_ids.h"
#include "services/compressed_name.h"
#include "services/file_copy_win32.h"
#include "services/setup_log_win32.h"

namespace zs::bootstrap {
namespace {

using framework::CFile;

bool FileExists(const std::string& path) {
    return _access(path.c_str(), 0) == 0;
}

// The codec and the plain copy take Win32 file handles as int.
int HandleOf(const CFile& file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file.m_hFile));
}

// The staging loop. Each failure sets the message text and raises the framework's CNotSupportedException; one
// handler catches it together with whatever the framework raises by itself in this stretch, after the open
// files have been closed on the way out.
class StartUpFileStaging {
  public:
    StartUpFileStaging(const SetupApp& app, SetupRun& run) : app_(app), run_(run) {}

    // The message text of the first failure, or nothing when every file is staged.
    std::optional<std::string> Run();

  private:
    void StageAll();
    void StageFile(const std::string& fileName);
    [[noreturn]] void Fail(std::string text);

    std::string ChosenString(int offset) const;
    std::string ChosenMessage(int offset, const std::string& fileName) const;

    const SetupApp& app_;
    SetupRun& run_;
    std::string currentFileName_;
    std::string messageText_;
};

std::optional<std::string> StartUpFileStaging::Run() {
    try {
        StageAll();
        return std::nullopt;
    } catch (const framework::CException&) {
    } catch (const std::bad_alloc&) {
        // The framework's strings raise CMemoryException when memory runs out; ours raise this.
    }
    // A failure that the framework raised by itself comes without a text of ours.
    if (messageText_.empty()) messageText_ = ChosenMessage(IDS_DECOMPRESS_FAILED, currentFileName_);
    return messageText_;
}

void StartUpFileStaging::StageAll() {
    // The entries as the loop meets them: in a workstation run those marked ",1" are passed over, and the
    // first missing entry ends the list.
    StartUpFileList list =
        CollectStartUpFiles(PrivateProfileReader(run_.listFilePath), app_.m_bWorkstation != 0);
    if (list.noFileApplies) Fail(ChosenString(IDS_LIST_CORRUPTED));
    // A name that is not a plain file name would read or write outside the two directories: the list is
    // taken for corrupted before any file is touched.
    for (const std::string& fileName : list.fileNames) {
        if (!IsPlainFileName(fileName)) Fail(ChosenString(IDS_LIST_CORRUPTED));
    }
    for (const std::string& fileName : list.fileNames) StageFile(fileName);
}

void StartUpFileStaging::StageFile(const std::string& fileName) {
    currentFileName_ = fileName;
    std::string sourcePath = run_.sourceDirectory + fileName;
    const std::string destinationPath = run_.targetDirectory + fileName;
    WriteSetupLog("%s", sourcePath.c_str());

    // A file under its plain name is copied as it is, whatever it holds; only without it is the compressed
    // name looked for.
    const bool compressed = !FileExists(sourcePath);
    if (compressed) sourcePath = MakeCompressedName(sourcePath);
    if (!FileExists(sourcePath)) Fail(ChosenMessage(IDS_FILE_NOT_FOUND, fileName));

    // Both files are opened exclusively; each is closed (Abort) when it goes out of scope on a failure.
    CFile source;
    if (!source.Open(sourcePath.c_str(), CFile::modeRead)) Fail(ChosenMessage(IDS_FILE_NOT_FOUND, fileName));
    if (app_.m_bWorkstation) {
        source.Close();
        return;
    }

    CFile destination;
    if (!destination.Open(destinationPath.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        Fail(ChosenMessage(IDS_DECOMPRESS_FAILED, fileName));
    }
    run_.stagedFiles.push_back(destinationPath);

    // Any result but success fails the file: a header that is not a compressed file's, a body that ends
    // early, and a write that fails (a full disk) alike.
    bool done;
    if (compressed) {
        CMPHEADER header;
        done = DecompressFile32(HandleOf(source), HandleOf(destination), &header, 1) == CMP_OK;
    } else {
        done = CopyFileContents(HandleOf(source), HandleOf(destination)) != 0;
    }
    if (!done) Fail(ChosenMessage(IDS_DECOMPRESS_FAILED, fileName));
    destination.Close();
    source.Close();
}

void StartUpFileStaging::Fail(std::string text) {
    messageText_ = std::move(text);
    framework::AfxThrowNotSupportedException();
}

std::string StartUpFileStaging::ChosenString(int offset) const {
    std::string text;
    framework::AfxLoadString(static_cast<UINT>(language::MessageId(run_.selection.languageBase, offset)),
                             text);
    return text;
}

std::string StartUpFileStaging::ChosenMessage(int offset, const std::string& fileName) const {
    std::string text;
    framework::AfxFormatString1(
        text, static_cast<UINT>(language::MessageId(run_.selection.languageBase, offset)), fileName.c_str());
    return text;
}

}  // namespace

bool StageStartUpFiles(SetupApp& app, SetupRun& run) {
    WriteSetupLog("Initializing setup files...");
    std::optional<std::string> failure = StartUpFileStaging(app, run).Run();
    if (!failure) return true;

    // The files are closed by now; then the clean-up in reverse order of acquisition, the message shown while
    // the resource library is still current.
    run.pleaseWait.reset();
    run.cursor.Restore();
    run.messageText = *failure;
    framework::AfxMessageBox(run.messageText.c_str(), MB_ICONSTOP);
    CleanUpTargetDirectory(app, run);
    run.resourceLibrary.Release();
    return false;
}

}  // namespace zs::bootstrap
