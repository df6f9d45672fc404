// A portable reader of the Windows images on a medium (setup.exe, ZSRES.DLL, _SETUP.EXE): the headers that
// the loader looks at, the exported names, the resources setup.exe loads, the application manifest and
// whether an Authenticode signature is attached. It answers what setup.exe and Windows would find, without
// Windows.
//
// Bounded: every offset and size read from the file is checked against the file (and the mapped image) before
// use, lookups in the resource tree and the export table take a bounded number of steps, and any bytes give a
// defined outcome: an image, or the reason the loader would refuse the file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zs::zemcmp {

// Machine types of the image file header.
inline constexpr uint16_t kMachineI386 = 0x014C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;
inline constexpr uint16_t kMachineArm64 = 0xAA64;
inline constexpr uint16_t kMachineArmNt = 0x01C4;
inline constexpr uint16_t kMachineIa64 = 0x0200;

// Subsystems of the optional header that CreateProcess starts.
inline constexpr uint16_t kSubsystemWindowsGui = 2;
inline constexpr uint16_t kSubsystemWindowsCui = 3;

// Resource types.
inline constexpr int kResourceDialog = 5;
inline constexpr int kResourceString = 6;
inline constexpr int kResourceManifest = 24;

// The loader refuses images with more sections than this.
inline constexpr int kMaxSections = 96;
// Export names longer than this are kept cut to this length (no name a program asks for is that long), and
// no more names than this are kept: the list is bounded whatever the export table claims.
inline constexpr size_t kMaxExportNameLength = 256;
inline constexpr size_t kMaxExportNames = 16384;
// A file larger than this is not read (no program or library on a medium comes near it).
inline constexpr uint64_t kMaxImageFileSize = 1ull << 30;

struct PeImage {
    // Gives `size` bytes of the file from `offset` into *out; false when they cannot be read.
    using HeaderReader = std::function<bool(uint64_t offset, uint32_t size, std::string* out)>;

    // Reads a file and parses it. Nothing, with the reason in *problem (when given), when the file cannot be
    // read or Windows' loader would refuse the image.
    static std::optional<PeImage> Read(const std::string& path, std::string* problem);

    // The headers alone, for an image that only has to start (a main module): the MZ header, the file and
    // optional headers and the section table, read through `read` from a file of `fileSize` bytes, with the
    // same checks as Parse. Memory stays the same whatever the size of the file. Of the image only machine,
    // is64, isDll and subsystem are filled in: it has no exports, resources, manifest or signature.
    static std::optional<PeImage> ParseHeaders(const HeaderReader& read, uint64_t fileSize,
                                               std::string* problem);
    // ParseHeaders on a file.
    static std::optional<PeImage> ReadHeaders(const std::string& path, std::string* problem);

    // Parses the headers of an image file's bytes. Nothing, with the reason in *problem (when given), when
    // Windows' loader would refuse the image: shorter than the MZ header, no MZ or PE signature, headers, the
    // section table or a section's data outside the file, an optional header too short for its fields or not
    // of the machine's kind (PE32 for i386, PE32+ for x86-64), no executable-image flag, alignments that are
    // not powers of two, a section alignment below the file alignment or below the page size and unlike it,
    // an image size of 0 or one that does not hold the sections, more than 96 sections. (Wine's loader takes
    // some of these; tests/win/pe_image lists which.)
    static std::optional<PeImage> Parse(std::string bytes, std::string* problem);

    uint16_t machine = 0;    // kMachineI386, kMachineAmd64, ...
    bool is64 = false;       // PE32+
    bool isDll = false;      // IMAGE_FILE_DLL
    uint16_t subsystem = 0;  // kSubsystemWindowsGui, kSubsystemWindowsCui, ...
    uint64_t imageBase = 0;  // the preferred load address
    // The names of the export table in its order (cut and bounded as above); empty when the table is absent
    // or lies outside the image.
    std::vector<std::string> exportNames;
    // The certificate table holds an Authenticode certificate: a WIN_CERTIFICATE of revision 2.0 and type
    // PKCS_SIGNED_DATA whose data is a DER sequence. Its content is not verified.
    bool hasSignature = false;
    // The application manifest (resource type 24, ID 1) as bytes.
    std::optional<std::string> manifest;

    // Whether GetProcAddress finds the name: the loader tries the first name, then bisects the name table
    // (which linkers sort), and the name's ordinal must lead to an address.
    bool HasExport(std::string_view name) const;
    // The address (relative to the image) that GetProcAddress gives for the name; nothing when it finds none.
    std::optional<uint32_t> ExportAddress(std::string_view name) const;

    // The bytes of the mapped image at an address (zeros past a section's data); nothing when they are not
    // all mapped. A text there, up to its NUL or maxLength characters (empty when nothing is mapped there).
    std::optional<std::string> ReadBytes(uint32_t rva, uint32_t size) const;
    std::string ReadText(uint32_t rva, size_t maxLength) const;
    // Whether the address lies in a section that the loader maps writable.
    bool IsWritable(uint32_t rva) const;

    // Whether FindResource finds the resource of that type and ID, with its data inside the image.
    bool HasResource(int type, int id) const;
    // The data of that resource, as LoadResource gives it; nothing for data above 1 MiB (none of the
    // resources read here comes near it: a larger size field is damage).
    std::optional<std::string> ResourceData(int type, int id) const;

    // The string of the string table as stored (UTF-16); nothing when the table has no such string, it is
    // empty (LoadString gives 0 for both) or it reaches past the end of its resource.
    std::optional<std::u16string> LoadStringUtf16(int id) const;
    // What LoadStringA gives on a Western system (ANSI code page 1252): the UTF-16 string converted unit by
    // unit as the system does, with the code page's best-fit replacements and '?' for what it cannot show.
    // Nothing when LoadStringUtf16 gives nothing. The whole string, NUL units included.
    std::optional<std::string> LoadStringAnsi(int id) const;

  private:
    struct Section {
        uint32_t virtualAddress = 0;
        uint32_t virtualSize = 0;  // what the section spans in the image
        uint32_t rawOffset = 0;
        uint32_t rawSize = 0;  // how much of it comes from the file; the rest reads as zeros
        bool writable = false;
    };
    struct Directory {
        uint32_t address = 0;
        uint32_t size = 0;
    };
    // Where the mapped image at an address comes from.
    struct Mapped {
        uint64_t fileOffset = 0;
        uint32_t fileBytes = 0;  // bytes from the address on that come from the file
        uint32_t spanBytes = 0;  // bytes from the address to the end of its section (zeros after fileBytes)
    };

    static std::optional<PeImage> ParseHeaderFields(const HeaderReader& read, uint64_t fileSize,
                                                    std::string* problem);
    std::optional<Mapped> Map(uint32_t rva) const;
    bool InImage(uint32_t rva, uint64_t size) const;
    bool CopyMapped(uint32_t rva, uint32_t size, std::string* out) const;
    std::optional<uint32_t> Read32(uint32_t rva) const;
    std::optional<uint16_t> Read16(uint32_t rva) const;
    std::optional<Directory> FindResourceData(int type, int id) const;
    std::optional<uint32_t> FindResourceEntry(uint32_t directoryOffset, uint32_t id,
                                              bool wantDirectory) const;
    std::optional<uint32_t> FirstResourceEntry(uint32_t directoryOffset) const;
    void ReadExports();
    void ReadSignature();

    std::string bytes_;
    uint32_t sizeOfHeaders_ = 0;
    std::vector<Section> sections_;
    Directory exportDirectory_;
    Directory resourceDirectory_;
    Directory certificateTable_;
    // Per name of exportNames: the address its ordinal leads to, 0 for none.
    std::vector<uint32_t> exportAddresses_;
};

// A short name of a machine type: "i386", "x86-64", "ARM64", "ARM", "IA-64", or its number in hex.
std::string MachineName(uint16_t machine);

// Whether Windows of the platform machine runs programs of the image machine: its own, i386 on x86-64 and
// ARM64 (WOW64), x86-64 on ARM64 (emulation).
bool MachineRunsOn(uint16_t imageMachine, uint16_t platformMachine);

// Why `program` cannot load `library` with LoadLibrary, or nothing when it can: a process loads only images
// of its own machine. (An .exe loads as a library as well as a DLL does.)
std::optional<std::string> LibraryLoadProblem(const PeImage& library, const PeImage& program);

// Why CreateProcess cannot start `image` on Windows of the platform machine, or nothing when it can: a DLL is
// no program, only the Windows GUI and console subsystems start, and the machine must run on the platform.
std::optional<std::string> ProgramStartProblem(const PeImage& image, uint16_t platformMachine);

}  // namespace zs::zemcmp
