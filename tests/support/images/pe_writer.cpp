#include "pe_writer.h"

#include <algorithm>
#include <stdexcept>
#include <tuple>

namespace zs::test {
namespace {

constexpr uint32_t kFileAlignment = 0x200;
constexpr uint32_t kSectionAlignment = 0x1000;
constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kDirectoryCount = 16;
constexpr uint16_t kDsSetFont = 0x40;

size_t AlignUp(size_t value, size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

void Append16(Bytes& out, uint16_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void Append32(Bytes& out, uint32_t value) {
    Append16(out, static_cast<uint16_t>(value));
    Append16(out, static_cast<uint16_t>(value >> 16));
}

void Append64(Bytes& out, uint64_t value) {
    Append32(out, static_cast<uint32_t>(value));
    Append32(out, static_cast<uint32_t>(value >> 32));
}

void AppendUtf16(Bytes& out, const std::u16string& text) {
    for (char16_t unit : text) Append16(out, unit);
}

void PadTo(Bytes& out, size_t alignment) {
    out.resize(AlignUp(out.size(), alignment), '\0');
}

struct SectionPlan {
    std::string name;
    Bytes data;
    uint32_t characteristics = 0;
    uint32_t address = 0;
};

constexpr uint32_t kCodeSection = 0x60000020;  // code, execute, read
constexpr uint32_t kDataSection = 0x40000040;  // initialized data, read

// The code section: the entry point, one function per export and the texts they return. Every piece is
// position-independent, so the image needs no relocations wherever it is loaded.
struct Code {
    Bytes bytes;
    uint32_t entry = 0;               // offsets in the section
    std::vector<uint32_t> functions;  // per export
};

Code BuildCode(const PeSpec& spec) {
    Code code;
    const bool amd64 = spec.machine == kMachineAmd64;
    code.entry = 0;
    if (spec.dll) {
        // DllMain: return TRUE (on i386 __stdcall, taking its three arguments off the stack).
        code.bytes += amd64 ? std::string("\xB8\x01\x00\x00\x00\xC3", 6)
                            : std::string("\xB8\x01\x00\x00\x00\xC2\x0C\x00", 8);
    } else {
        code.bytes += std::string("\x31\xC0\xC3", 3);  // xor eax, eax; ret: the process ends with status 0
    }

    // The texts first (after the stubs' room is known): each function is at most 11 bytes.
    const uint32_t stubsStart = static_cast<uint32_t>(AlignUp(code.bytes.size(), 16));
    const uint32_t textsStart = stubsStart + static_cast<uint32_t>(spec.exports.size()) * 16;
    Bytes texts;
    std::vector<uint32_t> textOffsets;
    for (const PeExport& e : spec.exports) {
        textOffsets.push_back(textsStart + static_cast<uint32_t>(texts.size()));
        if (e.returnsText) texts += *e.returnsText + '\0';
    }

    code.bytes.resize(stubsStart, '\xCC');
    for (size_t i = 0; i < spec.exports.size(); ++i) {
        const uint32_t stub = static_cast<uint32_t>(code.bytes.size());
        code.functions.push_back(stub);
        if (!spec.exports[i].returnsText) {
            code.bytes += std::string("\x31\xC0\xC3", 3);  // return NULL
        } else if (amd64) {
            // lea rax, [rip + text]; ret
            code.bytes += std::string("\x48\x8D\x05", 3);
            Append32(code.bytes, textOffsets[i] - (stub + 7));
            code.bytes += '\xC3';
        } else {
            // call next; next: pop eax; add eax, text - next; ret
            code.bytes += std::string("\xE8\x00\x00\x00\x00\x58\x05", 7);
            Append32(code.bytes, textOffsets[i] - (stub + 5));
            code.bytes += '\xC3';
        }
        code.bytes.resize(stub + 16, '\xCC');
    }
    code.bytes += texts;
    return code;
}

// The export section: directory, address table, name pointers, ordinals, then the names.
Bytes BuildExports(const PeSpec& spec, uint32_t sectionAddress, uint32_t codeAddress, const Code& code) {
    const uint32_t n = static_cast<uint32_t>(spec.exports.size());
    std::vector<uint32_t> order(n);
    for (uint32_t i = 0; i < n; ++i) order[i] = i;
    if (spec.sortExportNames) {
        std::sort(order.begin(), order.end(),
                  [&](uint32_t a, uint32_t b) { return spec.exports[a].name < spec.exports[b].name; });
    }
    const uint32_t functions = 40;
    const uint32_t names = functions + 4 * n;
    const uint32_t ordinals = names + 4 * n;
    const uint32_t strings = static_cast<uint32_t>(AlignUp(ordinals + 2 * n, 4));

    Bytes text;
    std::vector<uint32_t> nameOffsets;
    const uint32_t moduleName = strings;
    text += spec.moduleName + '\0';
    for (uint32_t i : order) {
        nameOffsets.push_back(strings + static_cast<uint32_t>(text.size()));
        text += spec.exports[i].name + '\0';
    }

    Bytes out;
    Append32(out, 0);  // Characteristics
    Append32(out, 0);  // TimeDateStamp
    Append32(out, 0);  // versions
    Append32(out, sectionAddress + moduleName);
    Append32(out, 1);  // ordinal base
    Append32(out, n);
    Append32(out, n);
    Append32(out, sectionAddress + functions);
    Append32(out, sectionAddress + names);
    Append32(out, sectionAddress + ordinals);
    for (uint32_t i = 0; i < n; ++i) Append32(out, codeAddress + code.functions[i]);
    for (uint32_t k = 0; k < n; ++k) Append32(out, sectionAddress + nameOffsets[k]);
    for (uint32_t k = 0; k < n; ++k) Append16(out, static_cast<uint16_t>(order[k]));
    PadTo(out, 4);
    out += text;
    return out;
}

// The resource section: the three directory levels (type, ID, language), the data entries, then the data.
Bytes BuildResources(std::vector<PeResource> resources, uint32_t sectionAddress) {
    std::sort(resources.begin(), resources.end(), [](const PeResource& a, const PeResource& b) {
        return std::tie(a.type, a.id, a.language) < std::tie(b.type, b.id, b.language);
    });
    std::map<int, std::map<int, std::vector<const PeResource*>>> tree;
    for (const PeResource& r : resources) tree[r.type][r.id].push_back(&r);

    auto directorySize = [](size_t entries) { return 16 + 8 * entries; };
    // Offsets of every directory, then of the data entries and the data.
    size_t offset = directorySize(tree.size());
    std::map<int, size_t> typeDirectory;
    std::map<std::pair<int, int>, size_t> languageDirectory;
    for (const auto& [type, ids] : tree) {
        typeDirectory[type] = offset;
        offset += directorySize(ids.size());
    }
    for (const auto& [type, ids] : tree) {
        for (const auto& [id, languages] : ids) {
            languageDirectory[{type, id}] = offset;
            offset += directorySize(languages.size());
        }
    }
    const size_t dataEntries = offset;
    size_t dataOffset = AlignUp(dataEntries + 16 * resources.size(), 8);
    std::vector<size_t> dataOffsets;
    for (const PeResource& r : resources) {
        dataOffsets.push_back(dataOffset);
        dataOffset = AlignUp(dataOffset + r.data.size(), 8);
    }

    Bytes out;
    auto directoryHeader = [&](size_t entries) {
        Append32(out, 0);
        Append32(out, 0);
        Append32(out, 0);
        Append16(out, 0);  // named entries
        Append16(out, static_cast<uint16_t>(entries));
    };
    directoryHeader(tree.size());
    for (const auto& [type, ids] : tree) {
        Append32(out, static_cast<uint32_t>(type));
        Append32(out, 0x80000000u | static_cast<uint32_t>(typeDirectory[type]));
    }
    for (const auto& [type, ids] : tree) {
        directoryHeader(ids.size());
        for (const auto& [id, languages] : ids) {
            Append32(out, static_cast<uint32_t>(id));
            Append32(out, 0x80000000u | static_cast<uint32_t>(languageDirectory[{type, id}]));
        }
    }
    size_t index = 0;
    for (const auto& [type, ids] : tree) {
        for (const auto& [id, languages] : ids) {
            directoryHeader(languages.size());
            for (const PeResource* r : languages) {
                Append32(out, r->language);
                Append32(out, static_cast<uint32_t>(dataEntries + 16 * index++));
            }
        }
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        Append32(out, sectionAddress + static_cast<uint32_t>(dataOffsets[i]));
        Append32(out, static_cast<uint32_t>(resources[i].data.size()));
        Append32(out, 0);  // code page
        Append32(out, 0);
    }
    for (size_t i = 0; i < resources.size(); ++i) {
        out.resize(dataOffsets[i], '\0');
        out += resources[i].data;
    }
    return out;
}

std::vector<PeResource> CollectResources(const PeSpec& spec) {
    std::vector<PeResource> resources = spec.otherResources;
    std::map<int, Bytes> bundles;
    std::map<int, std::vector<const std::u16string*>> slots;
    for (const auto& [id, text] : spec.strings) {
        if (id < 0 || id > 0xFFFF) throw std::invalid_argument("string ID out of range");
        auto& bundle = slots[id / 16 + 1];
        bundle.resize(16, nullptr);
        bundle[id % 16] = &text;
    }
    for (const auto& [bundleId, texts] : slots) {
        Bytes data;
        for (const std::u16string* text : texts) {
            Append16(data, text ? static_cast<uint16_t>(text->size()) : 0);
            if (text) AppendUtf16(data, *text);
        }
        resources.push_back({zemcmp::kResourceString, bundleId, 0x0409, data});
    }
    for (const auto& [id, data] : spec.dialogs)
        resources.push_back({zemcmp::kResourceDialog, id, 0x0409, data});
    if (spec.manifest) resources.push_back({zemcmp::kResourceManifest, 1, 0x0409, *spec.manifest});
    return resources;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text) {
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        const auto byte = [&](size_t k) { return static_cast<uint8_t>(text[k]); };
        uint32_t c = byte(i);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        bool valid = length > 0 && i + length <= text.size();
        if (valid && length > 1) {
            c &= 0xFF >> (length + 1);
            for (size_t k = 1; k < length; ++k) {
                valid = valid && (byte(i + k) & 0xC0) == 0x80;
                c = c << 6 | (byte(i + k) & 0x3F);
            }
        }
        if (!valid || c > 0x10FFFF) {
            out += u'\uFFFD';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (c >> 10));
            out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
        i += length;
    }
    return out;
}

Bytes EncodeDialog(const DialogTemplate& dialog) {
    Bytes out;
    Append32(out, dialog.style | kDsSetFont);
    Append32(out, 0);  // extended style
    Append16(out, static_cast<uint16_t>(dialog.items.size()));
    for (int16_t value : {dialog.x, dialog.y, dialog.cx, dialog.cy})
        Append16(out, static_cast<uint16_t>(value));
    Append16(out, 0);  // no menu
    Append16(out, 0);  // the dialog class
    AppendUtf16(out, Utf16FromUtf8(dialog.caption) + u'\0');
    Append16(out, dialog.pointSize);
    AppendUtf16(out, Utf16FromUtf8(dialog.typeface) + u'\0');
    for (const DialogItem& item : dialog.items) {
        PadTo(out, 4);
        Append32(out, item.style);
        Append32(out, 0);
        for (int16_t value : {item.x, item.y, item.cx, item.cy}) Append16(out, static_cast<uint16_t>(value));
        Append16(out, item.id);
        Append16(out, 0xFFFF);
        Append16(out, item.classAtom);
        AppendUtf16(out, Utf16FromUtf8(item.text) + u'\0');
        Append16(out, 0);  // no creation data
    }
    return out;
}

std::map<int, Bytes> ShippedDialogs() {
    constexpr uint16_t kButton = 0x80, kStatic = 0x82, kListBox = 0x83;
    DialogTemplate wait;
    wait.style = 0x90C800C0;
    wait.cx = 187;
    wait.cy = 95;
    wait.caption = "Dialog";
    wait.pointSize = 10;
    wait.typeface = "MS Sans Serif";
    wait.items = {{0x50020001, 3, 43, 180, 8, 1000, kStatic, ""}};

    DialogTemplate language;
    language.style = 0x90C800C4;
    language.cx = 135;
    language.cy = 129;
    language.caption = "Select Language";
    language.pointSize = 8;
    language.typeface = "Arial";
    language.items = {{0x50020000, 8, 7, 57, 8, 1005, kStatic, "Setup Language:"},
                      {0x50A10101, 7, 17, 121, 80, 1002, kListBox, ""},
                      {0x50010001, 43, 109, 50, 14, 1, kButton, "OK"}};
    return {{103, EncodeDialog(wait)}, {105, EncodeDialog(language)}};
}

Bytes WritePe(const PeSpec& spec) {
    const bool is64 = spec.machine == kMachineAmd64 || spec.machine == zemcmp::kMachineArm64;
    const size_t optionalSize = (is64 ? 112 : 96) + 8 * kDirectoryCount;

    std::vector<SectionPlan> sections;
    sections.push_back({".text", Bytes(), kCodeSection, 0});
    if (!spec.exports.empty()) sections.push_back({".edata", Bytes(), kDataSection, 0});
    std::vector<PeResource> resources = CollectResources(spec);
    if (!resources.empty()) sections.push_back({".rsrc", Bytes(), kDataSection, 0});

    const size_t headersEnd = kDosHeaderSize + 4 + 20 + optionalSize + 40 * sections.size();
    const uint32_t sizeOfHeaders = static_cast<uint32_t>(AlignUp(headersEnd, kFileAlignment));
    // Sections follow each other without gaps, as the format asks; their sizes do not depend on where they
    // lie, so the addresses come from a first build of each.
    const Code code = BuildCode(spec);
    uint32_t exportAddress = 0, exportSize = 0, resourceAddress = 0, resourceSize = 0;
    auto build = [&](SectionPlan& section) {
        if (section.name == ".text") {
            section.data = code.bytes;
        } else if (section.name == ".edata") {
            section.data = BuildExports(spec, section.address, sections[0].address, code);
            exportAddress = section.address;
            exportSize = static_cast<uint32_t>(section.data.size());
        } else if (section.name == ".rsrc") {
            section.data = BuildResources(resources, section.address);
            resourceAddress = section.address;
            resourceSize = static_cast<uint32_t>(section.data.size());
        }
    };
    uint32_t address = static_cast<uint32_t>(AlignUp(sizeOfHeaders, kSectionAlignment));
    for (SectionPlan& section : sections) {
        section.address = address;
        build(section);
        address = static_cast<uint32_t>(AlignUp(address + section.data.size(), kSectionAlignment));
    }
    for (SectionPlan& section : sections) build(section);
    const uint32_t sizeOfImage = static_cast<uint32_t>(
        AlignUp(sections.back().address + sections.back().data.size(), kSectionAlignment));

    Bytes out;
    // DOS header: the signature and where the PE header is; no DOS program.
    out += "MZ";
    out.resize(0x3C, '\0');
    Append32(out, static_cast<uint32_t>(kDosHeaderSize));
    out += std::string("PE\0\0", 4);
    // File header.
    Append16(out, spec.machine);
    Append16(out, static_cast<uint16_t>(sections.size()));
    Append32(out, 0);  // TimeDateStamp
    Append32(out, 0);  // symbol table
    Append32(out, 0);
    Append16(out, static_cast<uint16_t>(optionalSize));
    uint16_t characteristics = 0x0002;          // executable image
    characteristics |= is64 ? 0x0020 : 0x0100;  // large address aware / 32-bit machine
    if (spec.dll) characteristics |= 0x2000;
    Append16(out, characteristics);
    // Optional header.
    Append16(out, is64 ? 0x20B : 0x10B);
    Append16(out, 0x0102);                                                             // linker version
    Append32(out, static_cast<uint32_t>(AlignUp(code.bytes.size(), kFileAlignment)));  // SizeOfCode
    Append32(out, 0);  // SizeOfInitializedData
    Append32(out, 0);  // SizeOfUninitializedData
    Append32(out, sections[0].address + code.entry);
    Append32(out, sections[0].address);  // BaseOfCode
    const uint64_t imageBase =
        spec.dll ? (is64 ? 0x180000000ull : 0x10000000u) : (is64 ? 0x140000000ull : 0x400000u);
    if (is64) {
        Append64(out, imageBase);
    } else {
        Append32(out, 0);  // BaseOfData
        Append32(out, static_cast<uint32_t>(imageBase));
    }
    Append32(out, kSectionAlignment);
    Append32(out, kFileAlignment);
    Append16(out, is64 ? 5 : 4);  // operating system version
    Append16(out, is64 ? 2 : 0);
    Append16(out, 0);  // image version
    Append16(out, 0);
    Append16(out, is64 ? 5 : 4);  // subsystem version
    Append16(out, is64 ? 2 : 0);
    Append32(out, 0);  // Win32VersionValue
    Append32(out, sizeOfImage);
    Append32(out, sizeOfHeaders);
    Append32(out, 0);  // CheckSum
    Append16(out, spec.subsystem);
    Append16(out, 0x0400);  // DllCharacteristics: NX compatible
    for (uint64_t size : {0x100000ull, 0x1000ull, 0x100000ull, 0x1000ull}) {
        if (is64) {
            Append64(out, size);
        } else {
            Append32(out, static_cast<uint32_t>(size));
        }
    }
    Append32(out, 0);  // LoaderFlags
    Append32(out, kDirectoryCount);
    const size_t directories = out.size();
    out.resize(directories + 8 * kDirectoryCount, '\0');
    Put32(out, directories + 0, exportAddress);
    Put32(out, directories + 4, exportSize);
    Put32(out, directories + 16, resourceAddress);
    Put32(out, directories + 20, resourceSize);

    // Section table, then the sections' data at file-aligned offsets.
    const size_t table = out.size();
    out.resize(table + 40 * sections.size(), '\0');
    size_t rawOffset = sizeOfHeaders;
    for (size_t i = 0; i < sections.size(); ++i) {
        const SectionPlan& section = sections[i];
        const size_t header = table + 40 * i;
        out.replace(header, section.name.size(), section.name);
        Put32(out, header + 8, static_cast<uint32_t>(section.data.size()));
        Put32(out, header + 12, section.address);
        Put32(out, header + 16, static_cast<uint32_t>(AlignUp(section.data.size(), kFileAlignment)));
        Put32(out, header + 20, static_cast<uint32_t>(rawOffset));
        Put32(out, header + 36, section.characteristics);
        rawOffset += AlignUp(section.data.size(), kFileAlignment);
    }
    out.resize(sizeOfHeaders, '\0');
    for (const SectionPlan& section : sections) {
        out += section.data;
        PadTo(out, kFileAlignment);
    }

    if (spec.certificate) {
        PadTo(out, 8);
        const size_t certificate = out.size();
        Append32(out, static_cast<uint32_t>(8 + spec.certificate->size()));
        Append16(out, 0x0200);  // WIN_CERT_REVISION_2_0
        Append16(out, 0x0002);  // WIN_CERT_TYPE_PKCS_SIGNED_DATA
        out += *spec.certificate;
        PadTo(out, 8);
        Put32(out, directories + 32, static_cast<uint32_t>(certificate));
        Put32(out, directories + 36, static_cast<uint32_t>(out.size() - certificate));
    }
    return out;
}

Bytes MakeResourceLibrary(uint16_t machine, const std::map<int, std::string>& strings, bool withDialogs,
                          bool withHookExport) {
    PeSpec spec;
    spec.machine = machine;
    spec.dll = true;
    spec.moduleName = "ZSLRES.dll";
    for (const auto& [id, text] : strings) spec.strings[id] = Utf16FromUtf8(text);
    if (withDialogs) spec.dialogs = ShippedDialogs();
    if (withHookExport) spec.exports.push_back({"GetHookName", std::nullopt});
    return WritePe(spec);
}

Bytes MakeProgram(uint16_t machine, uint16_t subsystem) {
    PeSpec spec;
    spec.machine = machine;
    spec.subsystem = subsystem;
    return WritePe(spec);
}

PeLayout LayoutOf(const Bytes& image) {
    PeLayout layout;
    layout.fileHeader = Get32(image, 0x3C) + 4;
    layout.optionalHeader = layout.fileHeader + 20;
    const bool is64 = Get16(image, layout.optionalHeader) == 0x20B;
    layout.dataDirectories = layout.optionalHeader + (is64 ? 112 : 96);
    layout.sectionTable = layout.optionalHeader + Get16(image, layout.fileHeader + 16);
    const uint16_t count = Get16(image, layout.fileHeader + 2);
    for (uint16_t i = 0; i < count; ++i) {
        const std::string name = image.substr(layout.sectionTable + 40 * i, 8);
        layout.sectionNames.push_back(name.substr(0, name.find('\0')));
    }
    return layout;
}

size_t PeLayout::SectionHeader(const std::string& name) const {
    for (size_t i = 0; i < sectionNames.size(); ++i) {
        if (sectionNames[i] == name) return sectionTable + 40 * i;
    }
    throw std::invalid_argument("no section " + name);
}

size_t SectionData(const Bytes& image, const std::string& name) {
    return Get32(image, LayoutOf(image).SectionHeader(name) + 20);
}

uint16_t Get16(const Bytes& bytes, size_t offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes.at(offset)) |
                                 static_cast<uint8_t>(bytes.at(offset + 1)) << 8);
}

uint32_t Get32(const Bytes& bytes, size_t offset) {
    return Get16(bytes, offset) | static_cast<uint32_t>(Get16(bytes, offset + 2)) << 16;
}

void Put16(Bytes& bytes, size_t offset, uint16_t value) {
    bytes.at(offset) = static_cast<char>(value & 0xFF);
    bytes.at(offset + 1) = static_cast<char>(value >> 8);
}

void Put32(Bytes& bytes, size_t offset, uint32_t value) {
    Put16(bytes, offset, static_cast<uint16_t>(value));
    Put16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

}  // namespace zs::test
