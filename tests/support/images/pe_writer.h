// Minimal, valid Windows images for tests: programs and libraries of i386 or x86-64 with chosen exports,
// string tables, dialog templates, a manifest and an attached certificate table, which Windows loads (and,
// for a program, starts: its entry point returns 0). Standard library only, so that native tests and
// Windows-side tests share it. Tests cut and damage the bytes through the offsets of PeLayout.
//
//   Bytes library = MakeResourceLibrary(kMachineI386, ReadRcStringTable(script), true, true);
//   Bytes program = MakeProgram(kMachineAmd64, kSubsystemWindowsCui);
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pe/pe_image.h"

namespace zs::test {

using Bytes = std::string;  // file contents, any bytes

using zemcmp::kMachineAmd64;
using zemcmp::kMachineI386;
using zemcmp::kSubsystemWindowsCui;
using zemcmp::kSubsystemWindowsGui;

// UTF-16 of UTF-8 text (the texts of resource scripts and test sources); bytes that are not UTF-8 become
// U+FFFD.
std::u16string Utf16FromUtf8(std::string_view text);

// A classic dialog template (DLGTEMPLATE with DS_SETFONT and its items), texts in UTF-16.
struct DialogItem {
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    uint16_t id = 0;
    uint16_t classAtom = 0;  // 0x80 button, 0x82 static, 0x83 list box
    std::string text;        // UTF-8
};
struct DialogTemplate {
    uint32_t style = 0;  // DS_SETFONT (0x40) is added: the template always names its font
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    std::string caption;  // UTF-8
    uint16_t pointSize = 8;
    std::string typeface = "MS Sans Serif";
    std::vector<DialogItem> items;
};
Bytes EncodeDialog(const DialogTemplate& dialog);

// The two dialog templates of the shipped resource library, 103 (please wait) and 105 (Select Language).
std::map<int, Bytes> ShippedDialogs();

struct PeExport {
    std::string name;
    // The function returns a pointer to this text (NUL-terminated, inside the image); without it, NULL.
    std::optional<std::string> returnsText;
};

struct PeResource {
    int type = 0;
    int id = 0;
    uint16_t language = 0x0409;
    Bytes data;
};

struct PeSpec {
    uint16_t machine = kMachineI386;
    bool dll = false;
    uint16_t subsystem = kSubsystemWindowsGui;
    // Exports, in the export address table's order; the name table is sorted by name, as linkers write it,
    // unless sortExportNames is false.
    std::vector<PeExport> exports;
    bool sortExportNames = true;
    std::string moduleName = "TEST.DLL";    // the export directory's name of the module
    std::map<int, std::u16string> strings;  // RT_STRING: string ID -> text (an empty text is an empty slot)
    std::map<int, Bytes> dialogs;           // RT_DIALOG by ID
    std::optional<Bytes> manifest;          // RT_MANIFEST, ID 1
    std::vector<PeResource> otherResources;
    // When set: a certificate table at the end of the file with one WIN_CERTIFICATE (revision 2.0, type
    // PKCS_SIGNED_DATA) holding these bytes.
    std::optional<Bytes> certificate;
};

Bytes WritePe(const PeSpec& spec);

// A resource library like ZSRES.DLL: a DLL of the machine with the strings (ID -> UTF-8 text), with the
// shipped dialog templates 103 and 105 when asked, and with the export GetHookName (returning NULL: no hook)
// when asked. Its export directory names the module ZSLRES.dll, as the shipped one does.
Bytes MakeResourceLibrary(uint16_t machine, const std::map<int, std::string>& strings, bool withDialogs,
                          bool withHookExport);

// A program of the machine and subsystem whose entry point returns 0.
Bytes MakeProgram(uint16_t machine, uint16_t subsystem = kSubsystemWindowsGui);

// Where the headers of an image that WritePe made lie, for tests that damage them.
struct PeLayout {
    size_t fileHeader = 0;  // Machine +0, NumberOfSections +2, SizeOfOptionalHeader +16, Characteristics +18
    size_t optionalHeader = 0;   // Magic +0, SectionAlignment +32, FileAlignment +36, SizeOfImage +56,
                                 // SizeOfHeaders +60, Subsystem +68
    size_t dataDirectories = 0;  // entry i (address, size) at +8 * i
    size_t sectionTable = 0;     // 40 bytes a section
    std::vector<std::string> sectionNames;

    size_t SectionHeader(const std::string& name) const;  // VirtualSize +8, VirtualAddress +12,
                                                          // SizeOfRawData +16, PointerToRawData +20
};
PeLayout LayoutOf(const Bytes& image);
// The file offset of a section's raw data.
size_t SectionData(const Bytes& image, const std::string& name);

uint16_t Get16(const Bytes& bytes, size_t offset);
uint32_t Get32(const Bytes& bytes, size_t offset);
void Put16(Bytes& bytes, size_t offset, uint16_t value);
void Put32(Bytes& bytes, size_t offset, uint32_t value);

}  // namespace zs::test
