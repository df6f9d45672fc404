// The media tool's reader of Windows images, against images that the test writer makes and then cuts and
// damages: what it reads from a good image, where the loader's rules make it refuse one, and that damaged
// tables give defined answers.
#include "pe/pe_image.h"

#include <gtest/gtest.h>

#include "check/hook_export.h"
#include "pe_writer.h"
#include "rc_string_table.h"
#include "tool_runner.h"

namespace zs::test {
namespace {

using zemcmp::kMachineArm64;
using zemcmp::kResourceDialog;
using zemcmp::kResourceManifest;
using zemcmp::kResourceString;
using zemcmp::LibraryLoadProblem;
using zemcmp::PeImage;
using zemcmp::ProgramStartProblem;

constexpr char kManifest[] = "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\"/>";

PeImage ParseOrFail(const Bytes& bytes) {
    std::string problem;
    std::optional<PeImage> image = PeImage::Parse(bytes, &problem);
    EXPECT_TRUE(image) << problem;
    return image ? *image : PeImage();
}

// The reason Parse gives for refusing the bytes, or "loads" when it takes them.
std::string Refusal(const Bytes& bytes) {
    std::string problem;
    return PeImage::Parse(bytes, &problem) ? "loads" : problem;
}

PeSpec FullLibrary(uint16_t machine) {
    PeSpec spec;
    spec.machine = machine;
    spec.dll = true;
    spec.exports = {{"GetHookName", std::nullopt}, {"Another", std::string("text")}};
    spec.strings = {
        {1, u"12"}, {15, u"fifteen"}, {16, u"sixteen"}, {101, u"Setup"}, {113, u"Select Location"}};
    spec.dialogs = ShippedDialogs();
    spec.manifest = kManifest;
    return spec;
}

TEST(PeImageTest, ReadsWhatTheWriterPutIntoLibrariesAndProgramsOfBothMachines) {
    for (uint16_t machine : {kMachineI386, kMachineAmd64}) {
        SCOPED_TRACE(machine);
        PeImage library = ParseOrFail(WritePe(FullLibrary(machine)));
        EXPECT_EQ(library.machine, machine);
        EXPECT_EQ(library.is64, machine == kMachineAmd64);
        EXPECT_TRUE(library.isDll);
        EXPECT_EQ(library.exportNames, (std::vector<std::string>{"Another", "GetHookName"}));
        EXPECT_TRUE(library.HasExport("GetHookName"));
        EXPECT_TRUE(library.HasExport("Another"));
        EXPECT_FALSE(library.HasExport("GetHook"));
        EXPECT_FALSE(library.HasExport("GetHookNameX"));
        EXPECT_TRUE(library.HasResource(kResourceDialog, 103));
        EXPECT_TRUE(library.HasResource(kResourceDialog, 105));
        EXPECT_FALSE(library.HasResource(kResourceDialog, 104));
        EXPECT_FALSE(library.HasResource(kResourceDialog, 0));
        EXPECT_EQ(library.ResourceData(kResourceDialog, 105), ShippedDialogs()[105]);
        EXPECT_EQ(library.manifest, std::string(kManifest));
        EXPECT_FALSE(library.hasSignature);

        PeImage program = ParseOrFail(MakeProgram(machine, kSubsystemWindowsCui));
        EXPECT_EQ(program.machine, machine);
        EXPECT_FALSE(program.isDll);
        EXPECT_EQ(program.subsystem, kSubsystemWindowsCui);
        EXPECT_TRUE(program.exportNames.empty());
        EXPECT_FALSE(program.HasResource(kResourceString, 1));
        EXPECT_FALSE(program.manifest);
        EXPECT_FALSE(program.LoadStringAnsi(1));
    }
}

TEST(PeImageTest, LoadsStringsAcrossBundlesAndNothingForAbsentOrEmptyOnes) {
    PeImage image = ParseOrFail(WritePe(FullLibrary(kMachineI386)));
    EXPECT_EQ(image.LoadStringAnsi(1), "12");
    EXPECT_EQ(image.LoadStringAnsi(15), "fifteen");  // last of the first bundle
    EXPECT_EQ(image.LoadStringAnsi(16), "sixteen");  // first of the second
    EXPECT_EQ(image.LoadStringAnsi(101), "Setup");
    EXPECT_EQ(image.LoadStringAnsi(113), "Select Location");
    EXPECT_EQ(image.LoadStringUtf16(113), u"Select Location");
    EXPECT_FALSE(image.LoadStringAnsi(0));    // an empty slot of a bundle that exists
    EXPECT_FALSE(image.LoadStringAnsi(14));   // another
    EXPECT_FALSE(image.LoadStringAnsi(200));  // a bundle that does not exist
    EXPECT_FALSE(image.LoadStringAnsi(-1));   // not a string ID
    EXPECT_FALSE(image.LoadStringAnsi(70000));

    PeSpec spec;
    spec.strings = {{7, u""}};
    EXPECT_FALSE(ParseOrFail(WritePe(spec)).LoadStringAnsi(7)) << "LoadString gives 0 for an empty string";
}

TEST(PeImageTest, ConvertsStringsToCodePage1252AsTheSystemDoes) {
    PeSpec spec;
    spec.strings = {
        {1, Utf16FromUtf8("Telepítõ ä ´ þ ý è")},                  // in the code page: the same bytes
        {2, u"\u20AC \u201E \u0160 \u0178 \u2122"},                // the code page's characters of 0x80..0x9F
        {3, u"\u0151 \u0142 \u0106 \u2013 \u221E \uFF21 \uFF5E"},  // best fit: o l C, en dash, 8, A, ~
        {4, u"\u4E2D \u0410 \U0001F600"},                          // nothing near: '?' for each UTF-16 unit
        {5, u"\u0081\u0080\u009F"},       // undefined bytes round-trip; other C1 controls do not
        {6, std::u16string(u"a\0b", 3)},  // a NUL inside the string stays
    };
    PeImage image = ParseOrFail(WritePe(spec));
    EXPECT_EQ(image.LoadStringAnsi(1), "Telep\xEDt\xF5 \xE4 \xB4 \xFE \xFD \xE8");
    EXPECT_EQ(image.LoadStringAnsi(2), "\x80 \x84 \x8A \x9F \x99");
    EXPECT_EQ(image.LoadStringAnsi(3), "o l C \x96 8 A ~");
    EXPECT_EQ(image.LoadStringAnsi(4), "? ? ??");
    EXPECT_EQ(image.LoadStringAnsi(5), "\x81??");
    EXPECT_EQ(image.LoadStringAnsi(6), std::string("a\0b", 3));
}

TEST(PeImageTest, FindsAnAttachedAuthenticodeCertificateOnlyWhenItIsWellFormed) {
    PeSpec spec = FullLibrary(kMachineI386);
    spec.certificate = std::string("\x30\x82\x01\x00", 4) + std::string(256, 'c');  // a DER sequence
    Bytes signedImage = WritePe(spec);
    EXPECT_TRUE(ParseOrFail(signedImage).hasSignature);

    const size_t table = LayoutOf(signedImage).dataDirectories + 8 * 4;
    const size_t certificate = Get32(signedImage, table);
    struct Damage {
        const char* what;
        size_t offset;
        uint32_t value;
        bool word;
    };
    for (const Damage& damage : {Damage{"type X.509", certificate + 6, 0x0001, true},
                                 Damage{"revision 1.0", certificate + 4, 0x0100, true},
                                 Damage{"length past the table", certificate, 0x10000, false},
                                 Damage{"length of the header alone", certificate, 8, false},
                                 Damage{"no DER sequence", certificate + 8, 0x31, true},
                                 Damage{"table past the end of the file", table + 4, 0x100000, false},
                                 Damage{"no table", table, 0, false}}) {
        SCOPED_TRACE(damage.what);
        Bytes damaged = signedImage;
        if (damage.word) {
            Put16(damaged, damage.offset, static_cast<uint16_t>(damage.value));
        } else {
            Put32(damaged, damage.offset, damage.value);
        }
        // The certificate table is not part of the mapped image: the loader takes the image all the same.
        PeImage image = ParseOrFail(damaged);
        EXPECT_FALSE(image.hasSignature);
        EXPECT_TRUE(image.HasExport("GetHookName"));
    }
    // A cut inside the certificate table leaves the image loadable, its signature broken.
    Bytes cut = signedImage.substr(0, certificate + 100);
    EXPECT_FALSE(ParseOrFail(cut).hasSignature);
}

TEST(PeImageTest, RefusesEveryCutOfAnImageAndNamesWhy) {
    Bytes library = MakeResourceLibrary(kMachineI386, {{1, "12"}, {101, "Setup"}}, true, true);
    for (size_t size = 0; size < library.size(); ++size) {
        ASSERT_NE(Refusal(library.substr(0, size)), "loads") << "cut to " << size << " bytes";
    }
    EXPECT_EQ(Refusal(""), "is shorter than an MZ header (64 bytes)");
    EXPECT_EQ(Refusal(library.substr(0, 0x50)), "has its PE header outside the file");
    EXPECT_EQ(Refusal(library.substr(0, library.size() - 1)),
              "has its section 3 reaching past the end of the file (cut short?)");
    EXPECT_EQ(Refusal(Bytes(4096, '\0')), "has no MZ signature");
    EXPECT_EQ(Refusal("MZ" + Bytes(4094, '\0')), "has no PE signature");
}

TEST(PeImageTest, RefusesHeadersThatTheLoaderRefuses) {
    const Bytes good = MakeProgram(kMachineI386);
    const PeLayout at = LayoutOf(good);
    ASSERT_EQ(Refusal(good), "loads");
    struct Case {
        const char* what;
        size_t offset;
        uint32_t value;
        int width;
        const char* refusal;
    };
    const size_t text = at.SectionHeader(".text");
    const Case cases[] = {
        {"PE header offset past the end", 0x3C, 0x10000, 4, "has its PE header outside the file"},
        {"NE signature", at.fileHeader - 4, 0x454E, 4, "has no PE signature"},
        {"PE32+ header of an i386 image", at.optionalHeader, 0x20B, 2,
         "has a PE32+ optional header for i386, which needs PE32"},
        {"ROM image magic", at.optionalHeader, 0x107, 2,
         "has an optional header of unknown kind (magic 0x107)"},
        {"optional header without room for its fields", at.fileHeader + 16, 90, 2,
         "has an optional header too short for its fields"},
        {"optional header size 0", at.fileHeader + 16, 0, 2, "has no optional header inside the file"},
        {"no executable-image flag", at.fileHeader + 18, 0x0100, 2, "is not marked as an executable image"},
        {"file alignment above the section alignment", at.optionalHeader + 36, 0x2000, 4,
         "has section alignment 0x1000 and file alignment 0x2000, which the loader does not take"},
        {"alignment not a power of two", at.optionalHeader + 32, 0x1800, 4,
         "has section alignment 0x1800 and file alignment 0x200, which the loader does not take"},
        {"small alignments that differ", at.optionalHeader + 32, 0x400, 4,
         "has section alignment 0x400 and file alignment 0x200, which the loader does not take"},
        {"image size 0", at.optionalHeader + 56, 0, 4, "has an image size of 0"},
        {"image size short of the section", at.optionalHeader + 56, 0x800, 4,
         "has its section 1 outside the image size"},
        {"headers longer than the file", at.optionalHeader + 60, 0x100000, 4,
         "has headers that reach past the end of the file"},
        {"97 sections", at.fileHeader + 2, 97, 2, "has 97 sections (the loader takes at most 96)"},
        {"section table past the end", at.fileHeader + 2, 95, 2, "has its section table outside the file"},
        {"section data past the end", text + 20, 0x100000, 4,
         "has its section 1 reaching past the end of the file (cut short?)"},
        {"section past the image size", text + 12, 0x100000, 4, "has its section 1 outside the image size"},
    };
    for (const Case& c : cases) {
        Bytes damaged = good;
        if (c.width == 2) {
            Put16(damaged, c.offset, static_cast<uint16_t>(c.value));
        } else {
            Put32(damaged, c.offset, c.value);
        }
        EXPECT_EQ(Refusal(damaged), c.refusal) << c.what;
    }

    Bytes amd64 = MakeProgram(kMachineAmd64);
    Put16(amd64, LayoutOf(amd64).optionalHeader, 0x10B);
    EXPECT_EQ(Refusal(amd64), "has a PE32 optional header for x86-64, which needs PE32+");
    // A machine this reader does not know keeps whichever kind of header it has.
    Bytes unknown = MakeProgram(kMachineI386);
    Put16(unknown, LayoutOf(unknown).fileHeader, 0x5032);
    EXPECT_EQ(ParseOrFail(unknown).machine, 0x5032);
}

TEST(PeImageTest, AnswersDefinedlyOnDamagedResourceTrees) {
    const Bytes good = WritePe(FullLibrary(kMachineAmd64));
    const size_t rsrc = SectionData(good, ".rsrc");
    const uint32_t rsrcAddress = Get32(good, LayoutOf(good).SectionHeader(".rsrc") + 12);
    auto damaged = [&](size_t offset, uint32_t value) {
        Bytes bytes = good;
        Put32(bytes, offset, value);
        return ParseOrFail(bytes);
    };
    // The root's second entry is RT_STRING (after RT_DIALOG): point its subdirectory back at the root, past
    // the section, or at a data entry instead of a directory.
    for (uint32_t target : {0x80000000u, 0x8FFFFFF0u, 0x00000000u}) {
        PeImage image = damaged(rsrc + 16 + 8 + 4, target);
        EXPECT_FALSE(image.LoadStringAnsi(101)) << std::hex << target;
        EXPECT_TRUE(image.HasResource(kResourceDialog, 103)) << "the other types stay reachable";
    }
    // 65,535 numbered entries claimed at the root.
    PeImage crowded = damaged(rsrc + 12, 0xFFFF0000u);
    EXPECT_FALSE(crowded.LoadStringAnsi(101));
    EXPECT_FALSE(crowded.HasResource(kResourceDialog, 103));

    // The resource directory pointing outside every section, or at the zeros after a section's raw data.
    const size_t directory = LayoutOf(good).dataDirectories + 8 * 2;
    EXPECT_FALSE(damaged(directory, 0x7FFFFFF0u).HasResource(kResourceDialog, 103));
    Bytes zeros = good;
    Put32(zeros, LayoutOf(good).SectionHeader(".rsrc") + 8, 0x1000);  // VirtualSize past the raw data
    Put32(zeros, directory, rsrcAddress + 0xF00);
    PeImage empty = ParseOrFail(zeros);
    EXPECT_FALSE(empty.HasResource(kResourceDialog, 103));
    EXPECT_FALSE(empty.manifest);

    // A string bundle whose lengths run past its end: the strings before still load.
    PeImage image = ParseOrFail(good);
    ASSERT_TRUE(image.ResourceData(kResourceString, 1));
    Bytes bundle = *image.ResourceData(kResourceString, 1);
    const size_t bundleAt = good.find(bundle);
    ASSERT_NE(bundleAt, Bytes::npos);
    Bytes longLength = good;
    Put16(longLength, bundleAt + 2 * 1, 0xFFFF);  // string 1 ("12") claims 65,535 units
    PeImage cut = ParseOrFail(longLength);
    EXPECT_FALSE(cut.LoadStringAnsi(1));
    EXPECT_FALSE(cut.LoadStringAnsi(15));
    EXPECT_EQ(cut.LoadStringAnsi(101), "Setup");
}

TEST(PeImageTest, FindsExportsAsTheLoaderDoes) {
    PeSpec spec;
    spec.dll = true;
    spec.exports = {{"Delta", std::nullopt},
                    {"Alpha", std::nullopt},
                    {"Echo", std::nullopt},
                    {"Charlie", std::nullopt},
                    {"Bravo", std::nullopt}};
    PeImage sorted = ParseOrFail(WritePe(spec));
    for (const char* name : {"Alpha", "Bravo", "Charlie", "Delta", "Echo"})
        EXPECT_TRUE(sorted.HasExport(name));

    // Out of order, the bisection misses names that are there; the first name is always tried.
    spec.sortExportNames = false;
    PeImage unsorted = ParseOrFail(WritePe(spec));
    EXPECT_EQ(unsorted.exportNames, (std::vector<std::string>{"Delta", "Alpha", "Echo", "Charlie", "Bravo"}));
    EXPECT_TRUE(unsorted.HasExport("Delta"));
    EXPECT_TRUE(unsorted.HasExport("Echo"));
    EXPECT_FALSE(unsorted.HasExport("Alpha"));

    // A name whose ordinal leads past the address table, or to address 0, is not found.
    Bytes bytes = WritePe(FullLibrary(kMachineI386));
    const size_t edata = SectionData(bytes, ".edata");
    const size_t ordinals = edata + (Get32(bytes, edata + 36) - Get32(bytes, edata + 28)) + 40;
    Put16(bytes, ordinals + 2, 7);  // the ordinal of GetHookName, the second name
    EXPECT_FALSE(ParseOrFail(bytes).HasExport("GetHookName"));
    EXPECT_TRUE(ParseOrFail(bytes).HasExport("Another"));
    // An export table outside the image: no names, and the image still loads.
    Bytes outside = WritePe(FullLibrary(kMachineI386));
    Put32(outside, LayoutOf(outside).dataDirectories, 0x7FFF0000u);
    EXPECT_TRUE(ParseOrFail(outside).exportNames.empty());
}

// What GetHookName returns is read off its code only where the code returns a constant: NULL, or the address
// of a text (x86-64: lea rax, [rip + d]; ret). The writer's i386 form (call, pop, add) is not recognised.
TEST(PeImageTest, ReadsTheHookTextOnlyFromCodeThatReturnsAConstant) {
    using zemcmp::HookExport;
    const struct {
        uint16_t machine;
        std::optional<std::string> text;
        HookExport::Kind kind;
    } cases[] = {{kMachineAmd64, std::string(), HookExport::kNoText},
                 {kMachineAmd64, std::string("P:\\HOOK"), HookExport::kConstantText},
                 {kMachineI386, std::nullopt, HookExport::kNoText},
                 {kMachineI386, std::string(), HookExport::kUnknown}};
    for (const auto& c : cases) {
        PeSpec spec;
        spec.machine = c.machine;
        spec.dll = true;
        spec.exports = {{"GetHookName", c.text}};
        const HookExport hook = zemcmp::ReadHookExport(ParseOrFail(WritePe(spec)));
        EXPECT_EQ(hook.kind, c.kind) << c.machine << " " << c.text.value_or("NULL");
        EXPECT_EQ(hook.text, c.kind == HookExport::kConstantText ? *c.text : "");
    }
    EXPECT_EQ(zemcmp::ReadHookExport(ParseOrFail(MakeProgram(kMachineI386))).kind, HookExport::kAbsent);
}

TEST(PeImageTest, LoadsLibrariesOfItsOwnMachineAndStartsProgramsThePlatformRuns) {
    PeImage setup32 = ParseOrFail(MakeProgram(kMachineI386));
    PeImage library32 = ParseOrFail(MakeResourceLibrary(kMachineI386, {}, true, true));
    PeImage library64 = ParseOrFail(MakeResourceLibrary(kMachineAmd64, {}, true, true));
    EXPECT_FALSE(LibraryLoadProblem(library32, setup32));
    EXPECT_EQ(LibraryLoadProblem(library64, setup32),
              "a library for x86-64 cannot be loaded by a program for i386");
    EXPECT_FALSE(LibraryLoadProblem(setup32, setup32)) << "an .exe loads as a library too";

    EXPECT_FALSE(ProgramStartProblem(setup32, kMachineI386));
    EXPECT_FALSE(ProgramStartProblem(setup32, kMachineAmd64));
    EXPECT_FALSE(ProgramStartProblem(ParseOrFail(MakeProgram(kMachineAmd64)), kMachineArm64));
    EXPECT_EQ(ProgramStartProblem(ParseOrFail(MakeProgram(kMachineAmd64)), kMachineI386),
              "is a program for x86-64, which Windows on i386 does not run");
    EXPECT_EQ(ProgramStartProblem(library32, kMachineI386), "is a DLL, not a program");
    EXPECT_EQ(ProgramStartProblem(ParseOrFail(MakeProgram(kMachineI386, 1)), kMachineI386),
              "is built for subsystem 1, not as a Windows GUI or console program");
}

TEST(PeImageTest, ReadsFilesAndNamesWhatKeepsItFromReadingOne) {
    ScratchDir dir;
    std::string problem;
    EXPECT_FALSE(PeImage::Read(dir / "missing.dll", &problem));
    EXPECT_EQ(problem, "cannot be opened");
    WriteFile(dir / "empty.dll", "");
    EXPECT_FALSE(PeImage::Read(dir / "empty.dll", &problem));
    EXPECT_EQ(problem, "is shorter than an MZ header (64 bytes)");
    WriteFile(dir / "ZSRES.DLL", MakeResourceLibrary(kMachineI386, {{101, "Setup"}}, false, true));
    std::optional<PeImage> image = PeImage::Read(dir / "ZSRES.DLL", nullptr);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->LoadStringAnsi(101), "Setup");
}

TEST(PeImageTest, BuildsALibraryWithTheShippedStringTable) {
    std::map<int, std::string> shipped = LoadRcStringTable(ZS_SOURCE_DIR "/src/reslib/string_table.rc");
    ASSERT_EQ(shipped.at(301),
              "Telep\xC3\xAD"
              "t\xC3\xB5");  // read as UTF-8 text
    PeImage library = ParseOrFail(MakeResourceLibrary(kMachineI386, shipped, true, true));
    EXPECT_EQ(library.LoadStringAnsi(1), "12");
    EXPECT_EQ(library.LoadStringAnsi(107), "SETUP.LST is corrupted.");
    EXPECT_EQ(library.LoadStringAnsi(301), "Telep\xEDt\xF5");
    EXPECT_EQ(
        library.LoadStringAnsi(112),
        "Setup needs to restart Windows to update sytem files.\nAfter restarting setup will be complete.\n"
        "Do you want to restart now?");
}

}  // namespace
}  // namespace zs::test
