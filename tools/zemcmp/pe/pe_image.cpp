#include "pe/pe_image.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/code_page_1252.h"

namespace zs::zemcmp {
namespace {

// Offsets and sizes of the PE format, as Microsoft documents PE and COFF images.
constexpr size_t kDosHeaderSize = 0x40;
constexpr size_t kPeOffsetField = 0x3C;  // e_lfanew
constexpr size_t kFileHeaderSize = 20;   // after the four signature bytes
constexpr size_t kSectionHeaderSize = 40;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
// Offsets in the optional header, the same in PE32 and PE32+ up to the subsystem.
constexpr size_t kSectionAlignmentField = 32;
constexpr size_t kFileAlignmentField = 36;
constexpr size_t kSizeOfImageField = 56;
constexpr size_t kSizeOfHeadersField = 60;
// The preferred load address: 32 bits at 28 in PE32, 64 bits at 24 in PE32+.
constexpr size_t kPe32ImageBaseField = 28;
constexpr size_t kPe32PlusImageBaseField = 24;
constexpr uint32_t kSectionMemoryWrite = 0x80000000u;
constexpr size_t kSubsystemField = 68;
// Where NumberOfRvaAndSizes stands; the data directories follow it.
constexpr size_t kPe32DirectoryCountField = 92;
constexpr size_t kPe32PlusDirectoryCountField = 108;
constexpr size_t kDirectoryEntrySize = 8;
constexpr size_t kExportDirectoryIndex = 0;
constexpr size_t kResourceDirectoryIndex = 2;
constexpr size_t kCertificateTableIndex = 4;
constexpr uint16_t kFileExecutableImage = 0x0002;
constexpr uint16_t kFileDll = 0x2000;
// The page size of every Windows platform: below it, section and file alignment must be equal.
constexpr uint32_t kPageSize = 0x1000;

// Export directory: NumberOfFunctions, NumberOfNames, AddressOfFunctions, AddressOfNames,
// AddressOfNameOrdinals.
constexpr uint32_t kExportDirectorySize = 40;
constexpr uint32_t kExportFunctionCountField = 20;
constexpr uint32_t kExportNameCountField = 24;
constexpr uint32_t kExportFunctionsField = 28;
constexpr uint32_t kExportNamesField = 32;
constexpr uint32_t kExportOrdinalsField = 36;

// Resource directory: 16 bytes of header ending in the counts of named and numbered entries, then the entries
// (8 bytes: name or ID, offset); a data entry holds the data's address and size.
constexpr uint32_t kResourceDirectoryHeaderSize = 16;
constexpr uint32_t kResourceEntrySize = 8;
constexpr uint32_t kResourceDataEntrySize = 16;
constexpr uint32_t kResourceIsDirectory = 0x80000000u;
// Resource data larger than this counts as unreadable: it keeps a damaged size field from making the reader
// copy gigabytes of zeros. The resources read here (manifest, dialog templates) are a few kilobytes.
constexpr uint32_t kMaxResourceDataSize = 1u << 20;

// WIN_CERTIFICATE: dwLength, wRevision, wCertificateType, then the certificate.
constexpr uint32_t kWinCertificateHeaderSize = 8;
constexpr uint16_t kWinCertRevision2 = 0x0200;
constexpr uint16_t kWinCertTypePkcsSignedData = 0x0002;
constexpr uint8_t kDerSequence = 0x30;

// The resource languages tried for a resource, in order, as FindResource does on a US English system:
// neutral, the system's language, English, the user and system defaults; then whatever the resource has
// first.
constexpr uint32_t kResourceLanguages[] = {0x0000, 0x0409, 0x0009, 0x0400, 0x0800};

uint16_t Get16(const std::string& bytes, uint64_t offset) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[offset]) | static_cast<uint8_t>(bytes[offset + 1])
                                                                           << 8);
}

uint32_t Get32(const std::string& bytes, uint64_t offset) {
    return static_cast<uint32_t>(Get16(bytes, offset)) | static_cast<uint32_t>(Get16(bytes, offset + 2))
                                                             << 16;
}

bool IsPowerOfTwo(uint32_t value) {
    return value != 0 && (value & (value - 1)) == 0;
}

uint64_t AlignUp(uint64_t value, uint32_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

std::optional<PeImage> Refuse(std::string* problem, const std::string& reason) {
    if (problem) *problem = reason;
    return std::nullopt;
}

std::string Hex(uint64_t value) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

}  // namespace

std::optional<PeImage> PeImage::Read(const std::string& path, std::string* problem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Refuse(problem, "cannot be opened");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return Refuse(problem, "cannot be read");
    if (static_cast<uint64_t>(size) > kMaxImageFileSize) {
        return Refuse(problem, "is larger than " + std::to_string(kMaxImageFileSize >> 20) + " MiB");
    }
    in.seekg(0, std::ios::beg);
    std::string bytes(static_cast<size_t>(size), '\0');
    if (size > 0 && !in.read(&bytes[0], size)) return Refuse(problem, "cannot be read");
    return Parse(std::move(bytes), problem);
}

std::optional<PeImage> PeImage::ReadHeaders(const std::string& path, std::string* problem) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return Refuse(problem, "cannot be opened");
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return Refuse(problem, "cannot be read");
    HeaderReader read = [&in](uint64_t offset, uint32_t count, std::string* out) {
        out->assign(count, '\0');
        in.clear();
        in.seekg(static_cast<std::streamoff>(offset));
        return count == 0 || static_cast<bool>(in.read(&(*out)[0], count));
    };
    return ParseHeaders(read, static_cast<uint64_t>(size), problem);
}

std::optional<PeImage> PeImage::ParseHeaders(const HeaderReader& read, uint64_t fileSize,
                                             std::string* problem) {
    std::optional<PeImage> image = ParseHeaderFields(read, fileSize, problem);
    // Nothing beyond the headers is at hand: the tables they point to stay unread.
    if (image) image->exportDirectory_ = image->resourceDirectory_ = image->certificateTable_ = Directory();
    return image;
}

std::optional<PeImage> PeImage::Parse(std::string bytes, std::string* problem) {
    HeaderReader read = [&bytes](uint64_t offset, uint32_t count, std::string* out) {
        if (offset > bytes.size() || count > bytes.size() - offset) return false;
        out->assign(bytes, static_cast<size_t>(offset), count);
        return true;
    };
    std::optional<PeImage> image = ParseHeaderFields(read, bytes.size(), problem);
    if (!image) return image;
    image->bytes_ = std::move(bytes);
    image->ReadExports();
    image->ReadSignature();
    image->manifest = image->ResourceData(kResourceManifest, 1);
    return image;
}

// The headers are read piece by piece, each piece only once the fields before it say where it is and that it
// lies inside the file: the MZ header, the PE signature and file header, the optional header, the section
// table. None is larger than 64 KiB.
std::optional<PeImage> PeImage::ParseHeaderFields(const HeaderReader& read, uint64_t fileSize,
                                                  std::string* problem) {
    std::string dos;
    if (fileSize < kDosHeaderSize) return Refuse(problem, "is shorter than an MZ header (64 bytes)");
    if (!read(0, kDosHeaderSize, &dos)) return Refuse(problem, "cannot be read");
    if (dos[0] != 'M' || dos[1] != 'Z') return Refuse(problem, "has no MZ signature");

    const uint64_t peOffset = Get32(dos, kPeOffsetField);
    if (peOffset + 4 + kFileHeaderSize > fileSize)
        return Refuse(problem, "has its PE header outside the file");
    std::string pe;
    if (!read(peOffset, 4 + kFileHeaderSize, &pe)) return Refuse(problem, "cannot be read");
    if (pe.compare(0, 4, std::string("PE\0\0", 4)) != 0) return Refuse(problem, "has no PE signature");

    PeImage image;
    image.machine = Get16(pe, 4);
    const uint16_t sectionCount = Get16(pe, 4 + 2);
    const uint16_t optionalSize = Get16(pe, 4 + 16);
    const uint16_t characteristics = Get16(pe, 4 + 18);
    const uint64_t optionalOffset = peOffset + 4 + kFileHeaderSize;
    if (optionalSize < 2 || optionalOffset + optionalSize > fileSize) {
        return Refuse(problem, "has no optional header inside the file");
    }
    std::string optional;
    if (!read(optionalOffset, optionalSize, &optional)) return Refuse(problem, "cannot be read");

    const uint16_t magic = Get16(optional, 0);
    size_t directoryCountField = 0;
    if (magic == kPe32Magic) {
        directoryCountField = kPe32DirectoryCountField;
    } else if (magic == kPe32PlusMagic) {
        directoryCountField = kPe32PlusDirectoryCountField;
        image.is64 = true;
    } else {
        return Refuse(problem, "has an optional header of unknown kind (magic " + Hex(magic) + ")");
    }
    if (optionalSize < directoryCountField + 4) {
        return Refuse(problem, "has an optional header too short for its fields");
    }
    const bool machineIs64 =
        image.machine == kMachineAmd64 || image.machine == kMachineArm64 || image.machine == kMachineIa64;
    const bool machineIs32 = image.machine == kMachineI386 || image.machine == kMachineArmNt;
    if ((machineIs64 && !image.is64) || (machineIs32 && image.is64)) {
        return Refuse(problem, std::string("has a ") + (image.is64 ? "PE32+" : "PE32") +
                                   " optional header for " + MachineName(image.machine) + ", which needs " +
                                   (image.is64 ? "PE32" : "PE32+"));
    }
    if (!(characteristics & kFileExecutableImage))
        return Refuse(problem, "is not marked as an executable image");
    image.isDll = (characteristics & kFileDll) != 0;

    const uint32_t sectionAlignment = Get32(optional, kSectionAlignmentField);
    const uint32_t fileAlignment = Get32(optional, kFileAlignmentField);
    const uint32_t sizeOfImage = Get32(optional, kSizeOfImageField);
    image.sizeOfHeaders_ = Get32(optional, kSizeOfHeadersField);
    image.subsystem = Get16(optional, kSubsystemField);
    image.imageBase = image.is64 ? uint64_t{Get32(optional, kPe32PlusImageBaseField)} |
                                       uint64_t{Get32(optional, kPe32PlusImageBaseField + 4)} << 32
                                 : Get32(optional, kPe32ImageBaseField);
    if (!IsPowerOfTwo(sectionAlignment) || !IsPowerOfTwo(fileAlignment) || sectionAlignment < fileAlignment ||
        (sectionAlignment < kPageSize && sectionAlignment != fileAlignment)) {
        return Refuse(problem, "has section alignment " + Hex(sectionAlignment) + " and file alignment " +
                                   Hex(fileAlignment) + ", which the loader does not take");
    }
    if (sizeOfImage == 0) return Refuse(problem, "has an image size of 0");
    if (image.sizeOfHeaders_ > fileSize)
        return Refuse(problem, "has headers that reach past the end of the file");
    if (sectionCount > kMaxSections) {
        return Refuse(problem, "has " + std::to_string(sectionCount) +
                                   " sections (the loader takes at most " + std::to_string(kMaxSections) +
                                   ")");
    }

    const uint64_t sectionTable = optionalOffset + optionalSize;
    const uint32_t sectionTableSize = static_cast<uint32_t>(sectionCount * kSectionHeaderSize);
    if (sectionTable + sectionTableSize > fileSize) {
        return Refuse(problem, "has its section table outside the file");
    }
    std::string headers;
    if (!read(sectionTable, sectionTableSize, &headers)) return Refuse(problem, "cannot be read");
    const uint64_t imageSpan = AlignUp(sizeOfImage, sectionAlignment);
    for (uint16_t i = 0; i < sectionCount; ++i) {
        const uint64_t header = uint64_t{i} * kSectionHeaderSize;
        Section section;
        const uint32_t virtualSize = Get32(headers, header + 8);
        section.virtualAddress = Get32(headers, header + 12);
        const uint32_t rawSize = Get32(headers, header + 16);
        section.rawOffset = Get32(headers, header + 20);
        section.writable = (Get32(headers, header + 36) & kSectionMemoryWrite) != 0;
        section.virtualSize = virtualSize != 0 ? virtualSize : rawSize;
        section.rawSize = std::min(rawSize, section.virtualSize);
        const std::string name = "section " + std::to_string(i + 1);
        if (rawSize != 0 && uint64_t{section.rawOffset} + rawSize > fileSize) {
            return Refuse(problem, "has its " + name + " reaching past the end of the file (cut short?)");
        }
        if (uint64_t{section.virtualAddress} + section.virtualSize > imageSpan) {
            return Refuse(problem, "has its " + name + " outside the image size");
        }
        image.sections_.push_back(section);
    }

    // The data directories that the optional header holds.
    const uint32_t declared = Get32(optional, directoryCountField);
    const uint64_t directories = directoryCountField + 4;
    const uint64_t room = (optionalSize - directoryCountField - 4) / kDirectoryEntrySize;
    const uint64_t count = std::min<uint64_t>({declared, room, 16});
    auto directory = [&](size_t index) {
        Directory entry;
        if (index < count) {
            entry.address = Get32(optional, directories + index * kDirectoryEntrySize);
            entry.size = Get32(optional, directories + index * kDirectoryEntrySize + 4);
        }
        return entry;
    };
    image.exportDirectory_ = directory(kExportDirectoryIndex);
    image.resourceDirectory_ = directory(kResourceDirectoryIndex);
    image.certificateTable_ = directory(kCertificateTableIndex);
    return image;
}

// The mapped image: the headers at address 0 as far as SizeOfHeaders, each section at its address with its
// raw data from the file and zeros after it. Nothing when no byte is mapped at the address.
std::optional<PeImage::Mapped> PeImage::Map(uint32_t rva) const {
    for (const Section& section : sections_) {
        if (rva >= section.virtualAddress && rva - section.virtualAddress < section.virtualSize) {
            const uint32_t offsetInSection = rva - section.virtualAddress;
            Mapped mapped;
            mapped.fileOffset = uint64_t{section.rawOffset} + offsetInSection;
            mapped.fileBytes = offsetInSection < section.rawSize ? section.rawSize - offsetInSection : 0;
            mapped.spanBytes = section.virtualSize - offsetInSection;
            return mapped;
        }
    }
    if (rva < sizeOfHeaders_) {
        Mapped mapped;
        mapped.fileOffset = rva;
        mapped.fileBytes = sizeOfHeaders_ - rva;
        mapped.spanBytes = mapped.fileBytes;
        return mapped;
    }
    return std::nullopt;
}

bool PeImage::InImage(uint32_t rva, uint64_t size) const {
    if (size == 0) return true;
    std::optional<Mapped> mapped = Map(rva);
    return mapped && size <= mapped->spanBytes;
}

bool PeImage::CopyMapped(uint32_t rva, uint32_t size, std::string* out) const {
    std::optional<Mapped> mapped = Map(rva);
    if (size == 0 || !mapped || size > mapped->spanBytes) return false;
    out->assign(size, '\0');
    const uint32_t fromFile = std::min(size, mapped->fileBytes);
    if (fromFile > 0) std::memcpy(&(*out)[0], bytes_.data() + mapped->fileOffset, fromFile);
    return true;
}

std::string PeImage::ReadText(uint32_t rva, size_t maxLength) const {
    std::optional<Mapped> mapped = Map(rva);
    if (!mapped) return std::string();
    // Bytes after the file-backed part read as zero: the text ends there at the latest.
    const size_t available = std::min<size_t>({maxLength, mapped->fileBytes, mapped->spanBytes});
    const char* start = bytes_.data() + mapped->fileOffset;
    const void* nul = std::memchr(start, 0, available);
    return std::string(start, nul ? static_cast<const char*>(nul) - start : available);
}

std::optional<std::string> PeImage::ReadBytes(uint32_t rva, uint32_t size) const {
    std::string bytes;
    if (!CopyMapped(rva, size, &bytes)) return std::nullopt;
    return bytes;
}

bool PeImage::IsWritable(uint32_t rva) const {
    for (const Section& section : sections_) {
        if (rva >= section.virtualAddress && rva - section.virtualAddress < section.virtualSize) {
            return section.writable;
        }
    }
    return false;
}

std::optional<uint32_t> PeImage::Read32(uint32_t rva) const {
    std::string word;
    if (!CopyMapped(rva, 4, &word)) return std::nullopt;
    return Get32(word, 0);
}

std::optional<uint16_t> PeImage::Read16(uint32_t rva) const {
    std::string word;
    if (!CopyMapped(rva, 2, &word)) return std::nullopt;
    return Get16(word, 0);
}

void PeImage::ReadExports() {
    if (exportDirectory_.address == 0) return;
    std::string header;
    if (!CopyMapped(exportDirectory_.address, kExportDirectorySize, &header)) return;
    const uint32_t functionCount = Get32(header, kExportFunctionCountField);
    const uint32_t nameCount = Get32(header, kExportNameCountField);
    const uint32_t functions = Get32(header, kExportFunctionsField);
    const uint32_t names = Get32(header, kExportNamesField);
    const uint32_t ordinals = Get32(header, kExportOrdinalsField);
    // The two name arrays must be in the image as a whole: only then is every name reachable.
    if (nameCount == 0 || !InImage(names, uint64_t{nameCount} * 4) ||
        !InImage(ordinals, uint64_t{nameCount} * 2)) {
        return;
    }
    const uint32_t kept = static_cast<uint32_t>(std::min<uint64_t>(nameCount, kMaxExportNames));
    for (uint32_t i = 0; i < kept; ++i) {
        std::optional<uint32_t> nameAddress = Read32(names + i * 4);
        std::optional<uint16_t> ordinal = Read16(ordinals + i * 2);
        // The name runs to its NUL, or to the end of what is mapped there.
        std::string name = nameAddress ? ReadText(*nameAddress, kMaxExportNameLength) : std::string();
        uint32_t address = 0;
        if (ordinal && *ordinal < functionCount &&
            uint64_t{functions} + uint64_t{*ordinal} * 4 <= UINT32_MAX) {
            address = Read32(functions + *ordinal * 4u).value_or(0);
        }
        exportNames.push_back(std::move(name));
        exportAddresses_.push_back(address);
    }
}

bool PeImage::HasExport(std::string_view name) const {
    return ExportAddress(name).has_value();
}

std::optional<uint32_t> PeImage::ExportAddress(std::string_view name) const {
    auto found = [&](size_t index) -> std::optional<uint32_t> {
        if (exportNames[index] != name || exportAddresses_[index] == 0) return std::nullopt;
        return exportAddresses_[index];
    };
    if (exportNames.empty()) return std::nullopt;
    // The hint of a lookup by name is 0: the first name is tried before the bisection.
    if (std::optional<uint32_t> first = found(0)) return first;
    // The loader's bisection over the whole name table, between the first and the last index.
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(exportNames.size()) - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        const int order = exportNames[static_cast<size_t>(middle)].compare(name);
        if (order == 0) return found(static_cast<size_t>(middle));
        if (order > 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return std::nullopt;
}

void PeImage::ReadSignature() {
    // The certificate table is addressed by file offset: it is not part of the mapped image.
    const uint64_t offset = certificateTable_.address;
    const uint64_t size = certificateTable_.size;
    if (offset == 0 || size < kWinCertificateHeaderSize + 1 || offset + size > bytes_.size()) return;
    const uint32_t length = Get32(bytes_, offset);
    hasSignature = length > kWinCertificateHeaderSize && length <= size &&
                   Get16(bytes_, offset + 4) == kWinCertRevision2 &&
                   Get16(bytes_, offset + 6) == kWinCertTypePkcsSignedData &&
                   static_cast<uint8_t>(bytes_[offset + kWinCertificateHeaderSize]) == kDerSequence;
}

// The offset (from the resource root) that the entry of that ID in a resource directory leads to. The
// numbered entries follow the named ones, sorted by ID; the loader bisects them, so an entry out of order may
// stay unfound, as it does here.
std::optional<uint32_t> PeImage::FindResourceEntry(uint32_t directoryOffset, uint32_t id,
                                                   bool wantDirectory) const {
    const uint32_t root = resourceDirectory_.address;
    if (uint64_t{root} + directoryOffset + kResourceDirectoryHeaderSize > UINT32_MAX) return std::nullopt;
    std::string header;
    if (!CopyMapped(root + directoryOffset, kResourceDirectoryHeaderSize, &header)) return std::nullopt;
    const uint32_t named = Get16(header, 12);
    const uint32_t numbered = Get16(header, 14);
    const uint64_t first = uint64_t{root} + directoryOffset + kResourceDirectoryHeaderSize +
                           uint64_t{named} * kResourceEntrySize;
    uint32_t low = 0;
    uint32_t high = numbered;
    while (low < high) {
        const uint32_t middle = low + (high - low) / 2;
        const uint64_t address = first + uint64_t{middle} * kResourceEntrySize;
        std::string entry;
        if (address + kResourceEntrySize > UINT32_MAX ||
            !CopyMapped(static_cast<uint32_t>(address), kResourceEntrySize, &entry)) {
            return std::nullopt;
        }
        const uint32_t entryId = Get16(entry, 0);
        if (entryId == id) {
            const uint32_t target = Get32(entry, 4);
            if (((target & kResourceIsDirectory) != 0) != wantDirectory) return std::nullopt;
            return target & ~kResourceIsDirectory;
        }
        if (entryId < id) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return std::nullopt;
}

// The first entry of a language directory (named or numbered), when it is a data entry.
std::optional<uint32_t> PeImage::FirstResourceEntry(uint32_t directoryOffset) const {
    const uint32_t root = resourceDirectory_.address;
    const uint64_t address = uint64_t{root} + directoryOffset;
    std::string header;
    if (address + kResourceDirectoryHeaderSize + kResourceEntrySize > UINT32_MAX ||
        !CopyMapped(static_cast<uint32_t>(address), kResourceDirectoryHeaderSize + kResourceEntrySize,
                    &header)) {
        return std::nullopt;
    }
    if (Get16(header, 12) + Get16(header, 14) == 0) return std::nullopt;
    const uint32_t target = Get32(header, kResourceDirectoryHeaderSize + 4);
    if (target & kResourceIsDirectory) return std::nullopt;
    return target;
}

std::optional<PeImage::Directory> PeImage::FindResourceData(int type, int id) const {
    if (resourceDirectory_.address == 0 || type <= 0 || type > 0xFFFF || id <= 0 || id > 0xFFFF) {
        return std::nullopt;
    }
    std::optional<uint32_t> names = FindResourceEntry(0, static_cast<uint32_t>(type), true);
    if (!names) return std::nullopt;
    std::optional<uint32_t> languages = FindResourceEntry(*names, static_cast<uint32_t>(id), true);
    if (!languages) return std::nullopt;
    std::optional<uint32_t> dataEntry;
    for (uint32_t language : kResourceLanguages) {
        dataEntry = FindResourceEntry(*languages, language, false);
        if (dataEntry) break;
    }
    if (!dataEntry) dataEntry = FirstResourceEntry(*languages);
    if (!dataEntry) return std::nullopt;

    const uint64_t address = uint64_t{resourceDirectory_.address} + *dataEntry;
    std::string entry;
    if (address + kResourceDataEntrySize > UINT32_MAX ||
        !CopyMapped(static_cast<uint32_t>(address), kResourceDataEntrySize, &entry)) {
        return std::nullopt;
    }
    Directory data;
    data.address = Get32(entry, 0);  // an image address, not an offset from the resource root
    data.size = Get32(entry, 4);
    if (!InImage(data.address, data.size)) return std::nullopt;
    return data;
}

bool PeImage::HasResource(int type, int id) const {
    return FindResourceData(type, id).has_value();
}

std::optional<std::string> PeImage::ResourceData(int type, int id) const {
    std::optional<Directory> data = FindResourceData(type, id);
    std::string bytes;
    if (!data || data->size > kMaxResourceDataSize || !CopyMapped(data->address, data->size, &bytes)) {
        return std::nullopt;
    }
    return bytes;
}

std::optional<std::u16string> PeImage::LoadStringUtf16(int id) const {
    // Sixteen strings to a resource: string `id` is entry id % 16 of bundle id / 16 + 1, each entry a length
    // in UTF-16 units followed by the units. The walk reads the lengths in place, whatever the bundle's size.
    if (id < 0 || id > 0xFFFF) return std::nullopt;
    std::optional<Directory> bundle = FindResourceData(kResourceString, id / 16 + 1);
    if (!bundle) return std::nullopt;
    uint64_t offset = 0;
    for (int i = 0; i <= id % 16; ++i) {
        if (offset + 2 > bundle->size) return std::nullopt;
        std::optional<uint16_t> length = Read16(static_cast<uint32_t>(bundle->address + offset));
        if (!length) return std::nullopt;
        if (i < id % 16) {
            offset += 2 + 2 * uint64_t{*length};
            continue;
        }
        std::string units;
        if (*length == 0 || offset + 2 + 2 * uint64_t{*length} > bundle->size ||
            !CopyMapped(static_cast<uint32_t>(bundle->address + offset + 2), 2u * *length, &units)) {
            return std::nullopt;
        }
        std::u16string text(*length, u'\0');
        for (uint32_t k = 0; k < *length; ++k) text[k] = static_cast<char16_t>(Get16(units, 2 * k));
        return text;
    }
    return std::nullopt;
}

std::optional<std::string> PeImage::LoadStringAnsi(int id) const {
    std::optional<std::u16string> text = LoadStringUtf16(id);
    if (!text) return std::nullopt;
    std::string ansi;
    ansi.reserve(text->size());
    for (char16_t unit : *text) ansi += AnsiFromUtf16Unit(unit);
    return ansi;
}

std::string MachineName(uint16_t machine) {
    switch (machine) {
        case kMachineI386:
            return "i386";
        case kMachineAmd64:
            return "x86-64";
        case kMachineArm64:
            return "ARM64";
        case kMachineArmNt:
            return "ARM";
        case kMachineIa64:
            return "IA-64";
    }
    return Hex(machine);
}

bool MachineRunsOn(uint16_t imageMachine, uint16_t platformMachine) {
    if (imageMachine == platformMachine) return true;
    if (imageMachine == kMachineI386)
        return platformMachine == kMachineAmd64 || platformMachine == kMachineArm64;
    if (imageMachine == kMachineAmd64) return platformMachine == kMachineArm64;
    return false;
}

std::optional<std::string> LibraryLoadProblem(const PeImage& library, const PeImage& program) {
    if (library.machine != program.machine) {
        return "a library for " + MachineName(library.machine) + " cannot be loaded by a program for " +
               MachineName(program.machine);
    }
    return std::nullopt;
}

std::optional<std::string> ProgramStartProblem(const PeImage& image, uint16_t platformMachine) {
    if (image.isDll) return std::string("is a DLL, not a program");
    if (image.subsystem != kSubsystemWindowsGui && image.subsystem != kSubsystemWindowsCui) {
        return "is built for subsystem " + std::to_string(image.subsystem) +
               ", not as a Windows GUI or console program";
    }
    if (!MachineRunsOn(image.machine, platformMachine)) {
        return "is a program for " + MachineName(image.machine) + ", which Windows on " +
               MachineName(platformMachine) + " does not run";
    }
    return std::nullopt;
}

}  // namespace zs::zemcmp
