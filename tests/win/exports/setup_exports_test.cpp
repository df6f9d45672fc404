// setup.exe's six exports as the other modules of an installation use them: setup.exe loaded as a module
// (its start-up never runs, so nothing on the exports' path may depend on it), each export found by its
// decorated name and by its ordinal, and the codec exports compressing and expanding real files.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "compress/cmpfile.h"
#include "program_module.h"

namespace zs {
namespace {

using test::ProgramModule;

using CompressFunction = int(ZS_STDCALL*)(int source, int destination, CMPHEADER* header);
using DecompressFunction = int(ZS_STDCALL*)(int source, int destination, CMPHEADER* header, int readHeader);
using IsCmpFileFunction = int(ZS_STDCALL*)(int file, CMPHEADER* header);
using QueryFunction = int(ZS_STDCALL*)();

struct ExportName {
    const char* name;
    WORD ordinal;
};

constexpr ExportName kCompress = {"?CompressFile32@@YGHHHPAUtagCMPHEADER@@@Z", 1};
constexpr ExportName kDecompress = {"?DecompressFile32@@YGHHHPAUtagCMPHEADER@@H@Z", 2};
constexpr ExportName kIsCmpFile = {"?IsCmpFile@@YGHHPAUtagCMPHEADER@@@Z", 3};
constexpr ExportName kGetPlatform = {"_GetPlatform@0", 4};
constexpr ExportName kReboot = {"_Reboot@0", 5};
constexpr ExportName kLanguageVersion = {"_ZemGetLanguageVersion@0", 6};
constexpr ExportName kAllExports[] = {kCompress,    kDecompress, kIsCmpFile,
                                      kGetPlatform, kReboot,     kLanguageVersion};

bool RunningUnderWine() {
    return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr;
}

int AsInt(HANDLE handle) {
    return static_cast<int>(reinterpret_cast<intptr_t>(handle));
}

// An open file, closed at the end of the scope.
class OpenFile {
  public:
    OpenFile(const std::string& path, DWORD access, DWORD disposition, DWORD share = 0)
        : handle_(CreateFileA(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                              nullptr)) {}
    ~OpenFile() {
        if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    int handle() const { return AsInt(handle_); }

  private:
    HANDLE handle_;
};

// A fresh directory under the system's temporary directory, removed with its files afterwards.
class ScratchFiles {
  public:
    ScratchFiles() {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        directory_ = std::string(temp) + "zs_setup_exports_" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(directory_.c_str(), nullptr);
    }
    ~ScratchFiles() {
        for (const std::string& name : names_) DeleteFileA(Path(name).c_str());
        RemoveDirectoryA(directory_.c_str());
    }

    std::string Path(const std::string& name) const { return directory_ + name; }

    std::string Write(const std::string& name, const std::string& bytes) {
        names_.push_back(name);
        OpenFile file(Path(name), GENERIC_WRITE, CREATE_ALWAYS);
        DWORD written = 0;
        EXPECT_TRUE(file.valid() &&
                    WriteFile(reinterpret_cast<HANDLE>(static_cast<intptr_t>(file.handle())), bytes.data(),
                              static_cast<DWORD>(bytes.size()), &written, nullptr));
        return Path(name);
    }

    // A file for a function under test to write.
    std::string Output(const std::string& name) {
        names_.push_back(name);
        return Path(name);
    }

    static std::string Read(const std::string& path) {
        OpenFile file(path, GENERIC_READ, OPEN_EXISTING);
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(file.handle()));
        std::string bytes(file.valid() ? GetFileSize(handle, nullptr) : 0, '\0');
        DWORD read = 0;
        if (!bytes.empty()) ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
        return bytes;
    }

  private:
    std::string directory_;
    std::vector<std::string> names_;
};

// Text and binary contents with repeats near and far, so that the code stream has literals and matches.
std::string SampleContents(size_t size) {
    std::string bytes;
    unsigned state = 12345;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        if (state % 3 == 0 && bytes.size() > 100) {
            size_t from = (state >> 8) % (bytes.size() - 50);
            bytes.append(bytes, from, 3 + (state >> 20) % 40);
        } else {
            bytes += "setup.exe exports " + std::to_string(state % 1000) + '\n';
            bytes += static_cast<char>(state >> 24);
        }
    }
    bytes.resize(size);
    return bytes;
}

class SetupExports : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { program_ = new ProgramModule(test::ThisProgramDirectory() + "setup.exe"); }
    static void TearDownTestSuite() {
        delete program_;
        program_ = nullptr;
    }
    void SetUp() override { ASSERT_EQ(program_->error(), "") << "setup.exe could not be loaded as a module"; }

    template <typename Function>
    static Function ByName(const ExportName& e) {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(program_->Export(e.name)));
    }
    template <typename Function>
    static Function ByOrdinal(const ExportName& e) {
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(program_->Export(e.ordinal)));
    }

    static ProgramModule* program_;
};

ProgramModule* SetupExports::program_ = nullptr;

TEST_F(SetupExports, EachDecoratedNameAndItsOrdinalReachTheSameFunctionInSetupExe) {
    auto* base = reinterpret_cast<const BYTE*>(program_->handle());
    auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const BYTE* end = base + nt->OptionalHeader.SizeOfImage;
    for (const ExportName& e : kAllExports) {
        SCOPED_TRACE(e.name);
        FARPROC byName = program_->Export(e.name);
        ASSERT_NE(byName, nullptr);
        EXPECT_EQ(program_->Export(e.ordinal), byName);
        auto* code = reinterpret_cast<const BYTE*>(byName);
        EXPECT_TRUE(code >= base && code < end) << "the export does not point into setup.exe";
    }
    EXPECT_EQ(program_->Export(WORD{7}), nullptr);
    // The undecorated names are not exported: importers bind to the decorated ones.
    for (const char* plain : {"CompressFile32", "DecompressFile32", "IsCmpFile", "GetPlatform", "Reboot",
                              "ZemGetLanguageVersion"}) {
        EXPECT_EQ(program_->Export(plain), nullptr) << plain;
    }
}

TEST_F(SetupExports, QueriesAnswerAlikeByNameAndByOrdinal) {
    EXPECT_EQ(ByName<QueryFunction>(kLanguageVersion)(), 1);
    EXPECT_EQ(ByOrdinal<QueryFunction>(kLanguageVersion)(), 1);

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    ASSERT_TRUE(GetVersionExA(&version));
    int expected = (version.dwPlatformId & 1) ? 2 : version.dwMajorVersion < 4 ? 1 : 3;
    EXPECT_EQ(ByName<QueryFunction>(kGetPlatform)(), expected);
    EXPECT_EQ(ByOrdinal<QueryFunction>(kGetPlatform)(), expected);
}

TEST_F(SetupExports, RebootTakesTheNtBranchThatWineAccepts) {
    // On Windows this would restart the machine; Wine accepts the request and restarts nothing.
    if (!RunningUnderWine()) GTEST_SKIP() << "restarts the machine outside Wine";
    EXPECT_EQ(ByName<QueryFunction>(kGetPlatform)(), 3);
    EXPECT_EQ(ByName<QueryFunction>(kReboot)(), 1);
    EXPECT_EQ(ByOrdinal<QueryFunction>(kReboot)(), 1);
}

TEST_F(SetupExports, CompressAndExpandRealFiles) {
    auto compress = ByName<CompressFunction>(kCompress);
    auto decompressByName = ByName<DecompressFunction>(kDecompress);
    auto decompressByOrdinal = ByOrdinal<DecompressFunction>(kDecompress);
    auto isCmpFileByOrdinal = ByOrdinal<IsCmpFileFunction>(kIsCmpFile);
    ScratchFiles files;
    for (size_t size : {size_t{0}, size_t{1}, size_t{4096}, size_t{200000}}) {
        SCOPED_TRACE(size);
        const std::string original = SampleContents(size);
        const std::string source = files.Write("SOURCE.BIN", original);
        const std::string packed = files.Output("SOURCE.BI_");

        CMPHEADER header;
        std::memset(&header, 0x5A, sizeof header);
        {
            OpenFile in(source, GENERIC_READ, OPEN_EXISTING), out(packed, GENERIC_WRITE, CREATE_ALWAYS);
            ASSERT_EQ(compress(in.handle(), out.handle(), &header), CMP_OK);
        }
        // The signature goes into the caller's record; its other 25 bytes are written as the caller set them.
        const std::string written = ScratchFiles::Read(packed);
        ASSERT_GE(written.size(), 36u);
        EXPECT_EQ(std::memcmp(written.data(), "ZemC32", 7), 0);
        EXPECT_EQ(written.substr(7, 25), std::string(25, '\x5A'));
        if (size == 0) {
            EXPECT_EQ(written.size(), 36u);
        }

        // The format test leaves the file after the header, where the decompressor goes on without it.
        const std::string viaTest = files.Output("VIATEST.BIN");
        {
            OpenFile in(packed, GENERIC_READ, OPEN_EXISTING), out(viaTest, GENERIC_WRITE, CREATE_ALWAYS);
            CMPHEADER read;
            ASSERT_EQ(isCmpFileByOrdinal(in.handle(), &read), CMP_OK);
            EXPECT_EQ(decompressByOrdinal(in.handle(), out.handle(), &read, 0), CMP_OK);
        }
        EXPECT_TRUE(ScratchFiles::Read(viaTest) == original);

        const std::string expanded = files.Output("EXPANDED.BIN");
        {
            OpenFile in(packed, GENERIC_READ, OPEN_EXISTING), out(expanded, GENERIC_WRITE, CREATE_ALWAYS);
            CMPHEADER read;
            EXPECT_EQ(decompressByName(in.handle(), out.handle(), &read, 1), CMP_OK);
        }
        EXPECT_TRUE(ScratchFiles::Read(expanded) == original);

        // The codec linked into this test reads what setup.exe wrote: one format.
        const std::string crossChecked = files.Output("CROSS.BIN");
        {
            OpenFile in(packed, GENERIC_READ, OPEN_EXISTING), out(crossChecked, GENERIC_WRITE, CREATE_ALWAYS);
            CMPHEADER read;
            EXPECT_EQ(DecompressFile32(in.handle(), out.handle(), &read, 1), CMP_OK);
        }
        EXPECT_TRUE(ScratchFiles::Read(crossChecked) == original);
    }
}

TEST_F(SetupExports, HeaderFailuresGiveTheirResultCodes) {
    auto isCmpFile = ByName<IsCmpFileFunction>(kIsCmpFile);
    auto decompress = ByOrdinal<DecompressFunction>(kDecompress);
    ScratchFiles files;
    const std::string sink = files.Output("SINK.BIN");
    struct Case {
        std::string contents;
        int isCmpFileResult;
        int decompressResult;
    };
    const Case cases[] = {
        // Shorter than a header.
        {std::string(31, 'Z'), CMP_NOT_COMPRESSED, CMP_HEADER_READ_SHORT},
        // The six signature characters without their zero byte.
        {std::string("ZemC32X") + std::string(40, '\0'), CMP_NOT_COMPRESSED, CMP_NOT_COMPRESSED},
    };
    for (const Case& c : cases) {
        const std::string path = files.Write("DAMAGED.BI_", c.contents);
        CMPHEADER header;
        {
            OpenFile in(path, GENERIC_READ, OPEN_EXISTING);
            EXPECT_EQ(isCmpFile(in.handle(), &header), c.isCmpFileResult);
        }
        OpenFile in(path, GENERIC_READ, OPEN_EXISTING), out(sink, GENERIC_WRITE, CREATE_ALWAYS);
        EXPECT_EQ(decompress(in.handle(), out.handle(), &header, 1), c.decompressResult);
    }
}

// Regression: CompressFile32 with a null header pointer wrote to address 0, and with the same file as input
// and output it wrote the header over its own source. Both are refused before anything is written, and the
// decompressor refuses them alike.
TEST_F(SetupExports, ANullHeaderAndOneFileAsInputAndOutputAreRefusedUntouched) {
    auto compress = ByName<CompressFunction>(kCompress);
    auto decompress = ByName<DecompressFunction>(kDecompress);
    auto isCmpFile = ByName<IsCmpFileFunction>(kIsCmpFile);
    ScratchFiles files;
    const std::string original = SampleContents(5000);
    const std::string source = files.Write("SOURCE.BIN", original);
    const std::string sink = files.Output("SINK.BIN");
    {
        OpenFile in(source, GENERIC_READ, OPEN_EXISTING), out(sink, GENERIC_WRITE, CREATE_ALWAYS);
        EXPECT_EQ(compress(in.handle(), out.handle(), nullptr), CMP_HEADER_WRITE_FAILED);
        EXPECT_EQ(decompress(in.handle(), out.handle(), nullptr, 1), CMP_HEADER_READ_SHORT);
        EXPECT_EQ(isCmpFile(in.handle(), nullptr), CMP_NOT_COMPRESSED);
    }
    EXPECT_EQ(ScratchFiles::Read(sink), "");

    const DWORD shared = FILE_SHARE_READ | FILE_SHARE_WRITE;
    CMPHEADER header = {};
    {
        OpenFile both(source, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, shared);
        EXPECT_EQ(compress(both.handle(), both.handle(), &header), CMP_SAME_FILE);
        EXPECT_EQ(decompress(both.handle(), both.handle(), &header, 1), CMP_SAME_FILE);
    }
    {
        OpenFile in(source, GENERIC_READ, OPEN_EXISTING, shared);
        OpenFile out(source, GENERIC_WRITE, OPEN_EXISTING, shared);
        EXPECT_EQ(compress(in.handle(), out.handle(), &header), CMP_SAME_FILE);
        EXPECT_EQ(decompress(in.handle(), out.handle(), &header, 1), CMP_SAME_FILE);
    }
    EXPECT_TRUE(ScratchFiles::Read(source) == original);
}

// Regression: CompressFile32 wrote the header before it asked for the source's size, and a directory handle
// (GetFileSize says 0 for it, and its read fails) came out as an empty compressed file with success. A source
// without a size (a directory; a size of all ones, Windows' "no size") leaves the destination untouched.
TEST_F(SetupExports, CompressRefusesASourceWithoutASizeBeforeWritingAnything) {
    auto compress = ByName<CompressFunction>(kCompress);
    auto isCmpFile = ByOrdinal<IsCmpFileFunction>(kIsCmpFile);
    ScratchFiles files;
    const std::string folder = files.Path("FOLDER");
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string allOnes = files.Write("ALLONES.BIN", "");
    {
        OpenFile sized(allOnes, GENERIC_WRITE, OPEN_EXISTING);
        HANDLE handle = reinterpret_cast<HANDLE>(static_cast<intptr_t>(sized.handle()));
        LARGE_INTEGER size;
        size.QuadPart = 0xFFFFFFFF;
        ASSERT_TRUE(SetFilePointerEx(handle, size, nullptr, FILE_BEGIN));
        ASSERT_TRUE(SetEndOfFile(handle));
    }
    const std::string sink = files.Output("SINK.BIN");
    for (const std::string& path : {folder, allOnes}) {
        SCOPED_TRACE(path);
        HANDLE source = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        ASSERT_NE(source, INVALID_HANDLE_VALUE);
        {
            OpenFile out(sink, GENERIC_WRITE, CREATE_ALWAYS);
            CMPHEADER header = {};
            EXPECT_EQ(compress(AsInt(source), out.handle(), &header), CMP_NO_FILE_SIZE);
            EXPECT_EQ(isCmpFile(AsInt(source), &header), CMP_NO_FILE_SIZE);
        }
        CloseHandle(source);
        EXPECT_EQ(ScratchFiles::Read(sink), "");
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace
}  // namespace zs
