// A host program (built with the machine's own compiler inside the Windows builds) that reads the built
// Windows files with the media tool's reader of images, so that the reader is checked on what the linker and
// the resource compiler really produce, and that the release checks can ask it about signatures.
//
//   pe_image_check built-files BIN_DIR i386|x86-64 STRING_TABLE_RC
//       setup.exe, ZSRES.DLL, zemcmp.exe and the stand-in main module of BIN_DIR: machine, kind, subsystem,
//       the dialogs, every string of the resource script (and none besides), the exports, the manifests, no
//       signature, that setup.exe can load the library and start, and that the code of GetHookName shows
//       the empty text it returns (so that the check does not take the shipped library for one that hands
//       the run over). Exit 0 when all holds, 1 otherwise.
//   pe_image_check signature FILE yes|no
//       exit 0 when FILE does (yes) or does not (no) carry an Authenticode signature.
//   pe_image_check first-section-offset FILE
//       prints the file offset of the first section's data (inside what a signature covers).
#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "check/hook_export.h"
#include "base/code_page_1252.h"
#include "pe/pe_image.h"
#include "pe_writer.h"
#include "rc_string_table.h"

namespace {

using zs::zemcmp::PeImage;

int failures = 0;

void Expect(bool condition, const std::string& what) {
    if (!condition) {
        std::cout << "FAIL " << what << "\n";
        ++failures;
    }
}

std::optional<PeImage> ReadImage(const std::string& path) {
    std::string problem;
    std::optional<PeImage> image = PeImage::Read(path, &problem);
    Expect(image.has_value(), path + " " + problem);
    return image;
}

std::string Ansi(const std::string& utf8) {
    std::string ansi;
    for (char16_t unit : zs::test::Utf16FromUtf8(utf8)) ansi += zs::AnsiFromUtf16Unit(unit);
    return ansi;
}

int CheckBuiltFiles(const std::string& bin, const std::string& machineName, const std::string& scriptPath) {
    const uint16_t machine = machineName == "i386" ? zs::zemcmp::kMachineI386 : zs::zemcmp::kMachineAmd64;
    std::map<int, std::string> script = zs::test::LoadRcStringTable(scriptPath);
    std::optional<PeImage> library = ReadImage(bin + "/ZSRES.DLL");
    std::optional<PeImage> setup = ReadImage(bin + "/setup.exe");
    std::optional<PeImage> tool = ReadImage(bin + "/zemcmp.exe");
    std::optional<PeImage> mainModule = ReadImage(bin + "/main_module_stand_in.exe");
    if (!library || !setup || !tool || !mainModule) return 1;

    Expect(library->machine == machine && library->isDll, "ZSRES.DLL is no " + machineName + " DLL");
    Expect(library->HasResource(zs::zemcmp::kResourceDialog, 103), "ZSRES.DLL: no dialog 103");
    Expect(library->HasResource(zs::zemcmp::kResourceDialog, 105), "ZSRES.DLL: no dialog 105");
    Expect(!library->HasResource(zs::zemcmp::kResourceDialog, 104), "ZSRES.DLL: a dialog 104");
    Expect(library->HasExport("GetHookName"), "ZSRES.DLL: GetHookName is not exported");
    Expect(library->exportNames == std::vector<std::string>{"GetHookName"}, "ZSRES.DLL: other exports");
    Expect(zs::zemcmp::ReadHookExport(*library).kind == zs::zemcmp::HookExport::kNoText,
           "ZSRES.DLL: GetHookName is not seen to return an empty text");
    Expect(!library->manifest && !library->hasSignature, "ZSRES.DLL: a manifest or a signature");
    Expect(script.count(1) && script.count(101) && script.count(113), "the script lacks strings 1, 101, 113");
    for (const auto& [id, text] : script) {
        Expect(library->LoadStringUtf16(id) == zs::test::Utf16FromUtf8(text), "string " + std::to_string(id));
        Expect(library->LoadStringAnsi(id) == Ansi(text),
               "string " + std::to_string(id) + " in code page 1252");
    }
    for (int id = 0; id <= 1800; ++id) {
        if (!script.count(id))
            Expect(!library->LoadStringAnsi(id), "string " + std::to_string(id) + " exists");
    }

    Expect(setup->machine == machine && !setup->isDll, "setup.exe is no " + machineName + " program");
    Expect(setup->subsystem == zs::zemcmp::kSubsystemWindowsGui, "setup.exe is no GUI program");
    Expect(setup->HasExport("?CompressFile32@@YGHHHPAUtagCMPHEADER@@@Z") &&
               setup->HasExport("_GetPlatform@0") && setup->HasExport("_ZemGetLanguageVersion@0") &&
               !setup->HasExport("GetHookName"),
           "setup.exe: its exports are not found as the loader finds them");
    Expect(setup->manifest && setup->manifest->find("requestedExecutionLevel") != std::string::npos,
           "setup.exe: no manifest with an execution level");
    Expect(!setup->hasSignature, "setup.exe carries a signature");
    Expect(!zs::zemcmp::LibraryLoadProblem(*library, *setup), "setup.exe cannot load ZSRES.DLL");
    Expect(!zs::zemcmp::ProgramStartProblem(*setup, machine), "setup.exe cannot start");
    Expect(!zs::zemcmp::ProgramStartProblem(*mainModule, machine), "the stand-in main module cannot start");
    Expect(zs::zemcmp::ProgramStartProblem(*library, machine).has_value(), "ZSRES.DLL would start");

    Expect(tool->machine == machine && tool->subsystem == zs::zemcmp::kSubsystemWindowsCui,
           "zemcmp.exe is no " + machineName + " console program");
    Expect(tool->manifest && tool->manifest->find("asInvoker") != std::string::npos,
           "zemcmp.exe: no manifest");

    if (failures > 0) return 1;
    std::cout
        << "ok: " << machineName << " setup.exe, ZSRES.DLL (" << script.size()
        << " strings, dialogs 103 and 105, GetHookName), zemcmp.exe and the main module read as built\n";
    return 0;
}

int CheckSignature(const std::string& path, const std::string& expected) {
    std::optional<PeImage> image = ReadImage(path);
    if (!image) return 1;
    if (image->hasSignature != (expected == "yes")) {
        std::cout << path << (image->hasSignature ? " carries" : " carries no") << " signature\n";
        return 1;
    }
    return 0;
}

int FirstSectionOffset(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return 1;
    std::string bytes(4096, '\0');
    bytes.resize(std::fread(&bytes[0], 1, bytes.size(), file));
    std::fclose(file);
    // e_lfanew, then past the signature and file header to the section table's first PointerToRawData.
    if (bytes.size() < 0x40) return 1;
    const size_t fileHeader = zs::test::Get32(bytes, 0x3C) + 4;
    const size_t sectionTable = fileHeader + 20 + zs::test::Get16(bytes, fileHeader + 16);
    if (sectionTable + 24 > bytes.size()) return 1;
    std::cout << zs::test::Get32(bytes, sectionTable + 20) << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    try {
        if (command == "built-files" && argc == 5) return CheckBuiltFiles(argv[2], argv[3], argv[4]);
        if (command == "signature" && argc == 4) return CheckSignature(argv[2], argv[3]);
        if (command == "first-section-offset" && argc == 3) return FirstSectionOffset(argv[2]);
    } catch (const std::exception& error) {
        std::cout << "FAIL " << error.what() << "\n";
        return 1;
    }
    std::cerr << "usage: pe_image_check built-files BIN_DIR i386|x86-64 STRING_TABLE_RC\n"
                 "       pe_image_check signature FILE yes|no\n"
                 "       pe_image_check first-section-offset FILE\n";
    return 2;
}
