#include "program_module.h"

namespace zs::test {

ProgramModule::ProgramModule(const std::string& path) {
    module_ = LoadLibraryA(path.c_str());
    if (!module_) {
        error_ = "LoadLibrary(" + path + ") failed with " + std::to_string(GetLastError());
        return;
    }
    if (Relocate()) BindImports();
}

ProgramModule::~ProgramModule() {
    if (module_) FreeLibrary(module_);
}

namespace {

// Makes `size` bytes at `address` writable for `change` and puts the protection back afterwards.
template <typename Change>
bool WriteProtected(void* address, SIZE_T size, Change change) {
    DWORD protection;
    if (!VirtualProtect(address, size, PAGE_EXECUTE_READWRITE, &protection)) return false;
    change();
    VirtualProtect(address, size, protection, &protection);
    return true;
}

}  // namespace

bool ProgramModule::Relocate() {
    auto* base = reinterpret_cast<BYTE*>(module_);
    auto* nt =
        reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
    // The header's image base is the address the fixed-up code refers to: the preferred one until the module
    // is relocated, and Windows sets it to the actual one when it relocates.
    const ULONG_PTR delta = reinterpret_cast<ULONG_PTR>(base) - nt->OptionalHeader.ImageBase;
    if (delta == 0) return true;
    const IMAGE_DATA_DIRECTORY& relocations =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
    if (relocations.VirtualAddress == 0 || (nt->FileHeader.Characteristics & IMAGE_FILE_RELOCS_STRIPPED)) {
        error_ = "the program was moved from its preferred address and has no relocations";
        return false;
    }
    BYTE* block = base + relocations.VirtualAddress;
    BYTE* const end = block + relocations.Size;
    while (block < end) {
        auto* header = reinterpret_cast<IMAGE_BASE_RELOCATION*>(block);
        if (header->SizeOfBlock < sizeof *header) break;
        BYTE* page = base + header->VirtualAddress;
        auto* entries = reinterpret_cast<const WORD*>(block + sizeof *header);
        const size_t count = (header->SizeOfBlock - sizeof *header) / sizeof(WORD);
        for (size_t i = 0; i < count; ++i) {
            BYTE* target = page + (entries[i] & 0x0FFF);
            bool written = true;
            switch (entries[i] >> 12) {
                case IMAGE_REL_BASED_ABSOLUTE:  // padding
                    break;
                case IMAGE_REL_BASED_HIGHLOW:
                    written = WriteProtected(target, sizeof(DWORD), [&] {
                        *reinterpret_cast<DWORD*>(target) += static_cast<DWORD>(delta);
                    });
                    break;
                case IMAGE_REL_BASED_DIR64:
                    written = WriteProtected(target, sizeof(ULONGLONG),
                                             [&] { *reinterpret_cast<ULONGLONG*>(target) += delta; });
                    break;
                default:
                    error_ = "unknown relocation type " + std::to_string(entries[i] >> 12);
                    return false;
            }
            if (!written) {
                error_ = "cannot write a relocation";
                return false;
            }
        }
        block += header->SizeOfBlock;
    }
    return WriteProtected(&nt->OptionalHeader.ImageBase, sizeof nt->OptionalHeader.ImageBase,
                          [&] { nt->OptionalHeader.ImageBase = reinterpret_cast<ULONG_PTR>(base); });
}

bool ProgramModule::BindImports() {
    auto* base = reinterpret_cast<BYTE*>(module_);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return true;
    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        const char* dllName = reinterpret_cast<const char*>(base + descriptor->Name);
        HMODULE dll = LoadLibraryA(dllName);
        if (!dll) {
            error_ = std::string("cannot load the imported ") + dllName;
            return false;
        }
        // The lookup table names the functions; the address table receives their addresses.
        DWORD lookup =
            descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            FARPROC function;
            std::string what;
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                WORD ordinal = static_cast<WORD>(IMAGE_ORDINAL(names->u1.Ordinal));
                function = GetProcAddress(dll, MAKEINTRESOURCEA(ordinal));
                what = "#" + std::to_string(ordinal);
            } else {
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                what = reinterpret_cast<const char*>(byName->Name);
                function = GetProcAddress(dll, what.c_str());
            }
            if (!function) {
                error_ = std::string(dllName) + " has no " + what;
                return false;
            }
            DWORD protection;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &protection)) {
                error_ = "cannot write the import address table";
                return false;
            }
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(function);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
        }
    }
    return true;
}

std::string ThisProgramDirectory() {
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string directory(path, length < sizeof path ? length : 0);
    return directory.substr(0, directory.rfind('\\') + 1);
}

}  // namespace zs::test
