#include "setup/start_up_file_staging_win32.h"

#include <windows.h>

#include <cstdint>

#include "compress/cmpfile.h"
#include "compress/codec_control.h"
#include "framework/file_win32.h"
#include "services/file_copy_win32.h"
#include "startup/sha256.h"

namespace zs::bootstrap {
namespace {

using framework::CFile;

// The codec and the plain copy take Win32 file handles as int.
int HandleOf(const CFile& file) {
    return static_cast<int>(reinterpret_cast<intptr_t>(file.m_hFile.get()));
}

}  // namespace

StageResult StageStartUpFile(const StagedFile& file, TargetDirectoryKeeper& target, ContentDigest* digest) {
    CFile source;
    if (!source.Open(file.sourcePath.c_str(), CFile::modeRead)) return StageResult::kSourceUnreadable;
    if (file.workstationRun) return source.Close() ? StageResult::kDone : StageResult::kCopyFailed;

    if (!target.MakeRoomFor(file.fileName)) return StageResult::kDestinationFailed;
    CFile destination;
    if (!destination.Open(file.destinationPath.c_str(), CFile::modeCreate | CFile::modeWrite)) {
        return StageResult::kDestinationFailed;
    }
    target.NoteStaged(file.fileName);
    // Any result but success fails the file: a header that is not a compressed file's, a body that ends
    // early, a write that fails (a full disk) and a copy buffer that cannot be allocated alike.
    bool done;
    Sha256 hash;
    Sha256* written = digest ? &hash : nullptr;
    if (file.compressed) {
        CMPHEADER header;
        if (written) codec::SetWriteObserver(&Sha256::UpdateOf, written);
        done = DecompressFile32(HandleOf(source), HandleOf(destination), &header, 1) == CMP_OK;
        codec::SetWriteObserver(nullptr, nullptr);
    } else {
        done = CopyFileContents(HandleOf(source), HandleOf(destination), written) != 0;
    }
    // A destination that the system fails to close may lack its last data: a failed copy as well.
    if (!done || !destination.Close() || !source.Close()) return StageResult::kCopyFailed;
    if (digest) hash.Final(*digest);
    return StageResult::kDone;
}

}  // namespace zs::bootstrap
