// The plain copy of a start-up file between real file handles, and the free-space query of real drives.

#include "services/file_copy_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "test_files.h"

namespace zs {
namespace {

using test::PatternBytes;
using test::ReadWholeFile;
using test::ScratchDirectory;
using test::WriteWholeFile;

constexpr size_t kBlock = 32767;

int AsInt(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

// An open file handle, closed at the end of the scope.
class OpenFile {
  public:
    OpenFile(const std::string& path, DWORD access, DWORD disposition)
        : handle_(CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    explicit OpenFile(HANDLE handle) : handle_(handle) {}
    ~OpenFile() {
        if (valid()) CloseHandle(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    int asInt() const { return AsInt(handle_); }
    DWORD position() const { return SetFilePointer(handle_, 0, nullptr, FILE_CURRENT); }
    void seek(LONG offset) const { SetFilePointer(handle_, offset, nullptr, FILE_BEGIN); }

  private:
    HANDLE handle_;
};

// A message-mode pipe whose read end collects each write of its write end as one message, so that every
// pass of the copy shows, the empty ones too.
class MessageCollector {
  public:
    MessageCollector() {
        const char* name = "\\\\.\\pipe\\zs_services_copy_passes";
        server_ =
            CreateNamedPipeA(name, PIPE_ACCESS_INBOUND, PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT,
                             1, 0, 1 << 20, 0, nullptr);
        writeEnd_ = CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        reader_ = CreateThread(nullptr, 0, &MessageCollector::Collect, this, 0, nullptr);
    }
    ~MessageCollector() {
        closeWriteEnd();
        if (reader_) {
            WaitForSingleObject(reader_, INFINITE);
            CloseHandle(reader_);
        }
        CloseHandle(server_);
    }
    MessageCollector(const MessageCollector&) = delete;
    MessageCollector& operator=(const MessageCollector&) = delete;

    bool ready() const {
        return server_ != INVALID_HANDLE_VALUE && writeEnd_ != INVALID_HANDLE_VALUE && reader_ != nullptr;
    }
    int writeEnd() const { return AsInt(writeEnd_); }

    // The sizes of the messages written, once the write end is closed.
    std::vector<DWORD> messageSizes() {
        closeWriteEnd();
        WaitForSingleObject(reader_, INFINITE);
        return sizes_;
    }

  private:
    static DWORD WINAPI Collect(void* self) {
        auto* collector = static_cast<MessageCollector*>(self);
        std::vector<char> buffer(1 << 17);
        DWORD read = 0;
        while (
            ReadFile(collector->server_, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr)) {
            collector->sizes_.push_back(read);
        }
        return 0;
    }

    void closeWriteEnd() {
        if (writeEnd_ != INVALID_HANDLE_VALUE) CloseHandle(writeEnd_);
        writeEnd_ = INVALID_HANDLE_VALUE;
    }

    HANDLE server_ = INVALID_HANDLE_VALUE;
    HANDLE writeEnd_ = INVALID_HANDLE_VALUE;
    HANDLE reader_ = nullptr;
    std::vector<DWORD> sizes_;
};

TEST(CopyFileContents, CopiesSourcesOfEverySizeAroundTheBlockBoundary) {
    ScratchDirectory scratch("copy_sizes");
    for (size_t size : {size_t{0}, size_t{1}, kBlock - 1, kBlock, kBlock + 1, 2 * kBlock, size_t{100000}}) {
        SCOPED_TRACE(size);
        const std::string content = PatternBytes(size, static_cast<unsigned>(size));
        ASSERT_TRUE(WriteWholeFile(scratch.file("source"), content));
        {
            OpenFile source(scratch.file("source"), GENERIC_READ, OPEN_EXISTING);
            OpenFile destination(scratch.file("destination"), GENERIC_WRITE, CREATE_ALWAYS);
            ASSERT_TRUE(source.valid() && destination.valid());
            EXPECT_EQ(CopyFileContents(source.asInt(), destination.asInt()), 1);
            EXPECT_EQ(source.position(), size);
            EXPECT_EQ(destination.position(), size);
        }
        EXPECT_TRUE(ReadWholeFile(scratch.file("destination")) == content);
    }
}

TEST(CopyFileContents, ReadsInBlocksOf32767AndWritesEveryBlockReadTheEmptyOneToo) {
    ScratchDirectory scratch("copy_passes");
    const std::vector<std::pair<size_t, std::vector<DWORD>>> cases = {
        {0, {0}},
        {kBlock - 1, {kBlock - 1}},
        {kBlock, {kBlock, 0}},
        {kBlock + 1, {kBlock, 1}},
        {100000, {kBlock, kBlock, kBlock, 100000 - 3 * kBlock}},
    };
    for (const auto& [size, passes] : cases) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(WriteWholeFile(scratch.file("source"), PatternBytes(size)));
        OpenFile source(scratch.file("source"), GENERIC_READ, OPEN_EXISTING);
        MessageCollector collector;
        ASSERT_TRUE(source.valid() && collector.ready());
        EXPECT_EQ(CopyFileContents(source.asInt(), collector.writeEnd()), 1);
        EXPECT_EQ(collector.messageSizes(), passes);
    }
}

TEST(CopyFileContents, StartsAtBothCurrentPositionsAndLeavesTheFilesOpen) {
    ScratchDirectory scratch("copy_positions");
    ASSERT_TRUE(WriteWholeFile(scratch.file("source"), std::string(1000, 'h') + "XYZ"));
    ASSERT_TRUE(WriteWholeFile(scratch.file("destination"), "0123456789"));
    {
        OpenFile source(scratch.file("source"), GENERIC_READ, OPEN_EXISTING);
        OpenFile destination(scratch.file("destination"), GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING);
        ASSERT_TRUE(source.valid() && destination.valid());
        source.seek(1000);
        destination.seek(4);
        EXPECT_EQ(CopyFileContents(source.asInt(), destination.asInt()), 1);
        EXPECT_EQ(source.position(), 1003u);
        EXPECT_EQ(destination.position(), 7u);
        // Neither handle was closed: both still work.
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(destination.get(), "!", 1, &written, nullptr));
    }
    EXPECT_EQ(ReadWholeFile(scratch.file("destination")), "0123XYZ!89");
}

TEST(CopyFileContents, ARefusedWriteFailsTheCopy) {
    ScratchDirectory scratch("copy_refused_write");
    ASSERT_TRUE(WriteWholeFile(scratch.file("source"), PatternBytes(100)));
    ASSERT_TRUE(WriteWholeFile(scratch.file("destination"), "before"));
    {
        OpenFile source(scratch.file("source"), GENERIC_READ, OPEN_EXISTING);
        OpenFile readOnlyDestination(scratch.file("destination"), GENERIC_READ, OPEN_EXISTING);
        ASSERT_TRUE(source.valid() && readOnlyDestination.valid());
        EXPECT_EQ(CopyFileContents(source.asInt(), readOnlyDestination.asInt()), 0);
    }
    EXPECT_EQ(ReadWholeFile(scratch.file("destination")), "before");
}

TEST(CopyFileContents, AShortWriteAsOnAFullMediumFailsTheCopy) {
    // A non-blocking pipe with a small buffer and no reader takes less than it is given and says so, the way
    // a full disk does.
    const char* name = "\\\\.\\pipe\\zs_services_short_write";
    OpenFile server(CreateNamedPipeA(name, PIPE_ACCESS_INBOUND,
                                     PIPE_TYPE_BYTE | PIPE_READMODE_BYTE | PIPE_NOWAIT, 1, 4096, 4096, 0,
                                     nullptr));
    OpenFile writeEnd(CreateFileA(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(server.valid() && writeEnd.valid());
    DWORD mode = PIPE_NOWAIT;
    ASSERT_TRUE(SetNamedPipeHandleState(writeEnd.get(), &mode, nullptr, nullptr));

    ScratchDirectory scratch("copy_short_write");
    ASSERT_TRUE(WriteWholeFile(scratch.file("source"), PatternBytes(100000)));
    OpenFile source(scratch.file("source"), GENERIC_READ, OPEN_EXISTING);
    ASSERT_TRUE(source.valid());
    EXPECT_EQ(CopyFileContents(source.asInt(), writeEnd.asInt()), 0);
}

TEST(CopyFileContents, AFailedReadEndsTheCopyWithoutWritingAnything) {
    ScratchDirectory scratch("copy_failed_read");
    ASSERT_TRUE(WriteWholeFile(scratch.file("source"), PatternBytes(100)));
    {
        OpenFile writeOnlySource(scratch.file("source"), GENERIC_WRITE, OPEN_EXISTING);
        OpenFile destination(scratch.file("destination"), GENERIC_WRITE, CREATE_ALWAYS);
        ASSERT_TRUE(writeOnlySource.valid() && destination.valid());
        EXPECT_EQ(CopyFileContents(writeOnlySource.asInt(), destination.asInt()), 0);
    }
    EXPECT_EQ(ReadWholeFile(scratch.file("destination")), "");
}

long double FreeBytesAsTheSystemReportsThem(const char* root) {
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters))
        return -1;
    return static_cast<long double>(sectorsPerCluster) * bytesPerSector * freeClusters;
}

TEST(GetDriveFreeBytes, DriveThreeIsTheProductOfDriveCsFiguresBeyond4GB) {
    // Other programs may write to the disk meanwhile: the answer lies between the figures taken around it.
    const long double before = FreeBytesAsTheSystemReportsThem("C:\\");
    const long double freeBytes = GetDriveFreeBytes(3);
    const long double after = FreeBytesAsTheSystemReportsThem("C:\\");
    ASSERT_GT(before, 0);
    EXPECT_GE(freeBytes, std::min(before, after));
    EXPECT_LE(freeBytes, std::max(before, after));
    // Beyond every 32-bit count: a product taken in 32 bits would have wrapped.
    EXPECT_GT(freeBytes, 4294967296.0L);
}

TEST(GetDriveFreeBytes, DrivesThatDoNotExistHaveNoFreeBytes) {
    EXPECT_EQ(GetDriveFreeBytes(0), 0);
    EXPECT_EQ(GetDriveFreeBytes(27), 0);
    EXPECT_EQ(GetDriveFreeBytes(-1), 0);
    const DWORD drives = GetLogicalDrives();
    for (int drive = 1; drive <= 26; ++drive) {
        if (drives & (1u << (drive - 1))) continue;
        SCOPED_TRACE(drive);
        EXPECT_EQ(GetDriveFreeBytes(drive), 0);
    }
}

}  // namespace
}  // namespace zs
