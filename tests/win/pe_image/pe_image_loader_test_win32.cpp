// The media tool's reader of images against the system's own loader and LoadStringA, under Wine: images made
// by the test writer, whole, cut and damaged, are loaded with LoadLibraryExA and started with CreateProcessA;
// the reader takes exactly the images that load and predicts which programs start. LoadStringA gives what
// LoadStringAnsi predicts, for a written library with best-fit characters and for the real ZSRES.DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "pe/pe_image.h"
#include "pe_writer.h"
#include "test_files.h"

namespace zs::test {
namespace {

using zemcmp::PeImage;

#if defined(_WIN64)
constexpr uint16_t kOwnMachine = kMachineAmd64;
constexpr uint16_t kOtherMachine = kMachineI386;
#else
constexpr uint16_t kOwnMachine = kMachineI386;
constexpr uint16_t kOtherMachine = kMachineAmd64;
#endif

std::string ProgramDirectory() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

const PeImage& ThisProgram() {
    static const PeImage image = [] {
        char path[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, path, sizeof path);
        return *PeImage::Read(path, nullptr);
    }();
    return image;
}

class Library {
  public:
    explicit Library(const std::string& path) : module_(LoadLibraryExA(path.c_str(), nullptr, 0)) {}
    ~Library() {
        if (module_) FreeLibrary(module_);
    }
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    HMODULE get() const { return module_; }

  private:
    HMODULE module_;
};

// What LoadStringA gives for the ID: the whole string, or nothing for 0.
std::optional<std::string> LoadStringA(HMODULE module, int id) {
    std::vector<char> buffer(65536 * 2 + 1);
    int length = ::LoadStringA(module, static_cast<UINT>(id), buffer.data(), static_cast<int>(buffer.size()));
    if (length <= 0) return std::nullopt;
    return std::string(buffer.data(), static_cast<size_t>(length));
}

// Whether the reader takes the image and would let a program of this machine load it.
bool ReaderLoads(const Bytes& bytes) {
    std::optional<PeImage> image = PeImage::Parse(bytes, nullptr);
    return image && !zemcmp::LibraryLoadProblem(*image, ThisProgram());
}

bool SystemLoads(const ScratchDirectory& dir, const Bytes& bytes, const std::string& name) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(WriteWholeFile(path, bytes));
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    Library library(path);
    SetErrorMode(previous);
    return library.get() != nullptr;
}

TEST(PeImageLoaderTest, WrittenLibraryLoadsAndItsStringsAndExportsAreWhatTheReaderSays) {
    ScratchDirectory dir("pe-image-strings");
    PeSpec spec;
    spec.machine = kOwnMachine;
    spec.dll = true;
    spec.exports = {{"GetHookName", std::string("SETUPKRN.EXE")}};
    spec.strings = {{1, Utf16FromUtf8("Telepítõ ä ´ þ ý è")},
                    {2, u"\u20AC \u201E \u0160 \u0178 \u2122"},
                    {3, u"\u0151 \u0142 \u0106 \u2013 \u221E \uFF21 \uFF5E \u2205 \u03B2 \u2248"},
                    {4, u"\u4E2D \u0410 \U0001F600"},
                    {5, u"\u0081\u008D\u008F\u0090\u009D\u0080\u009F"},
                    {6, std::u16string(u"a\0b", 3)},
                    {17, u"second bundle"},
                    {31, u"end of the second bundle"}};
    const Bytes bytes = WritePe(spec);
    const std::string path = dir.file("WRITTEN.DLL");
    ASSERT_TRUE(WriteWholeFile(path, bytes));
    std::optional<PeImage> image = PeImage::Parse(bytes, nullptr);
    ASSERT_TRUE(image);

    Library library(path);
    ASSERT_NE(library.get(), nullptr) << "the written library does not load: " << GetLastError();
    for (int id = 0; id < 48; ++id)
        EXPECT_EQ(LoadStringA(library.get(), id), image->LoadStringAnsi(id)) << id;

    // The export is found and runs: it returns its text.
    auto getHookName = reinterpret_cast<const char* (*)()>(
        reinterpret_cast<void (*)()>(GetProcAddress(library.get(), "GetHookName")));
    ASSERT_NE(getHookName, nullptr);
    EXPECT_TRUE(image->HasExport("GetHookName"));
    EXPECT_STREQ(getHookName(), "SETUPKRN.EXE");
    EXPECT_EQ(GetProcAddress(library.get(), "GetHook"), nullptr);
    EXPECT_FALSE(image->HasExport("GetHook"));
}

TEST(PeImageLoaderTest, StringsOfTheBuiltResourceLibraryAreWhatTheReaderSays) {
    const std::string path = ProgramDirectory() + "ZSRES.DLL";
    std::optional<PeImage> image = PeImage::Read(path, nullptr);
    ASSERT_TRUE(image);
    Library library(path);
    ASSERT_NE(library.get(), nullptr);
    int found = 0;
    for (int id = 0; id <= 1800; ++id) {
        std::optional<std::string> expected = LoadStringA(library.get(), id);
        EXPECT_EQ(image->LoadStringAnsi(id), expected) << id;
        found += expected.has_value();
    }
    EXPECT_EQ(found, 13 + 17 * 13);
}

// Where Wine's loader takes an image that Windows refuses, the test holds the reader to Windows' rule and
// reports what Wine did. The rules and their sources: the executable-image flag must be set, an alignment
// below the page size must equal the file alignment, and the section alignment must not be below the file
// alignment (the PE format); headers reaching past the end of the file are refused from Vista on (Wine's own
// loader tests, run on Windows); section data must lie inside the file (the PE format). Wine loads images
// without the flag, with a file alignment above the section alignment, with headers past the end of the file,
// and with section data that the file ends less than 512 bytes short of.
void ExpectLoadsAsOnWindows(const ScratchDirectory& dir, const Bytes& bytes, const std::string& what,
                            bool wineDeparts) {
    static int index = 0;
    const bool reader = ReaderLoads(bytes);
    const bool system = SystemLoads(dir, bytes, "L" + std::to_string(index++) + ".DLL");
    if (!wineDeparts) {
        EXPECT_EQ(reader, system) << what;
        return;
    }
    EXPECT_FALSE(reader) << what;
    std::printf("known Wine departure, %s: Wine %s the image, Windows refuses it\n", what.c_str(),
                system ? "loads" : "refuses");
}

TEST(PeImageLoaderTest, TheReaderTakesTheImagesTheLoaderLoads) {
    ScratchDirectory dir("pe-image-loads");
    const Bytes good = MakeResourceLibrary(kOwnMachine, {{1, "1"}, {101, "Setup"}}, true, true);
    const PeLayout at = LayoutOf(good);
    const size_t text = at.SectionHeader(".text");
    struct Damage {
        const char* what;
        size_t offset;
        uint32_t value;
        int width;
        bool wineDeparts;
    };
    const Damage damages[] = {
        {"as written", 0, 'M' | 'Z' << 8, 2, false},
        {"no MZ signature", 0, 'Z' | 'M' << 8, 2, false},
        {"PE header offset past the end", 0x3C, 0x10000, 4, false},
        {"NE signature", at.fileHeader - 4, 0x454E, 4, false},
        {"optional header of the other kind", at.optionalHeader, kOwnMachine == kMachineAmd64 ? 0x10B : 0x20B,
         2, false},
        {"optional header size 0", at.fileHeader + 16, 0, 2, false},
        {"no executable-image flag", at.fileHeader + 18, 0x2000, 2, true},
        {"small section alignment unlike the file alignment", at.optionalHeader + 32, 0x400, 4, false},
        {"file alignment above the section alignment", at.optionalHeader + 36, 0x2000, 4, true},
        {"image size 0", at.optionalHeader + 56, 0, 4, false},
        {"image size short of the sections", at.optionalHeader + 56, 0x1800, 4, false},
        {"headers longer than the file", at.optionalHeader + 60, 0x100000, 4, true},
        {"97 sections", at.fileHeader + 2, 97, 2, false},
        {"section data past the end", text + 20, 0x100000, 4, false},
        {"an unknown machine", at.fileHeader, 0x5032, 2, false},
    };
    for (const Damage& damage : damages) {
        Bytes bytes = good;
        if (damage.width == 2) {
            Put16(bytes, damage.offset, static_cast<uint16_t>(damage.value));
        } else {
            Put32(bytes, damage.offset, damage.value);
        }
        ExpectLoadsAsOnWindows(dir, bytes, damage.what, damage.wineDeparts);
    }
    // Cut: before the headers end, at the start of the last section, inside it, one byte short.
    const size_t lastSection = SectionData(good, at.sectionNames.back());
    for (size_t size : {size_t{0}, size_t{63}, size_t{64}, size_t{0x100}, size_t{0x1FF}, lastSection,
                        lastSection + 1, good.size() - 1}) {
        ExpectLoadsAsOnWindows(dir, good.substr(0, size), "cut to " + std::to_string(size) + " bytes",
                               size > good.size() - 512);
    }
    // A library of the other machine: a whole image, which a program of this machine cannot load.
    const Bytes other = MakeResourceLibrary(kOtherMachine, {{1, "1"}}, true, true);
    EXPECT_TRUE(PeImage::Parse(other, nullptr));
    ExpectLoadsAsOnWindows(dir, other, "a library of the other machine", false);
}

// The exit status of a program started with CreateProcessA, or nothing when it does not start.
std::optional<DWORD> Start(const std::string& path) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + path + "\"";
    UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS);
    BOOL started = CreateProcessA(path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                  &startup, &process);
    SetErrorMode(previous);
    if (!started) return std::nullopt;
    WaitForSingleObject(process.hProcess, 30000);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return status;
}

TEST(PeImageLoaderTest, ProgramsStartAsTheReaderPredicts) {
    ScratchDirectory dir("pe-image-starts");
    struct Case {
        const char* name;
        Bytes bytes;
        bool wineDeparts;  // see ExpectLoadsAsOnWindows
    };
    const Bytes program = MakeProgram(kOwnMachine);
    const Case cases[] = {
        {"GUI.EXE", program, false},
        {"CONSOLE.EXE", MakeProgram(kOwnMachine, kSubsystemWindowsCui), false},
        {"LIBRARY.EXE", MakeResourceLibrary(kOwnMachine, {}, false, false), false},
        // A program for ARM64 starts on no machine this runs on (an x86-64 one would start beside a 32-bit
        // test in WOW64, which the reader, asked for this test's own machine, does not know).
        {"OTHER.EXE", MakeProgram(zemcmp::kMachineArm64), false},
        {"HEADERS.EXE", program.substr(0, SectionData(program, ".text")), false},
        {"CUT.EXE", program.substr(0, SectionData(program, ".text") + 0x100), true},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        ASSERT_TRUE(WriteWholeFile(path, c.bytes));
        std::optional<PeImage> image = PeImage::Parse(c.bytes, nullptr);
        const bool predicted = image && !zemcmp::ProgramStartProblem(*image, kOwnMachine);
        std::optional<DWORD> status = Start(path);
        if (c.wineDeparts) {
            EXPECT_FALSE(predicted) << c.name;
            std::printf("known Wine departure, %s: Wine %s the program, Windows refuses it\n", c.name,
                        status ? "starts" : "refuses");
            continue;
        }
        EXPECT_EQ(status.has_value(), predicted) << c.name;
        if (status && predicted) {
            EXPECT_EQ(*status, 0u) << c.name << ": the entry point returns 0";
        }
    }
}

}  // namespace
}  // namespace zs::test
