// GetHookName of the test resource library. The library is a stand-in for ZSRES.DLL in the end-to-end
// scenarios of setup.exe: it holds the same resources, and its one export lets a scenario set up what the
// real system cannot show under Wine, through environment variables that setup.exe passes on untouched:
//
// ZS_TEST_HOOK_TEXT          the hook text that GetHookName returns (empty or unset: no hook).
// ZS_TEST_WINDOWS_DIRECTORY  a Windows directory that setup.exe is to see instead of Wine's fixed C:\windows
//                            (such as a network path). GetHookName runs before setup.exe looks at the Windows
//                            directory, so it redirects the program's import of GetWindowsDirectoryA to a
//                            function that reports this text.
#include <windows.h>

#include <cstring>

namespace {

char g_windowsDirectory[MAX_PATH];
char g_hookText[300];

UINT WINAPI ReportTestWindowsDirectory(LPSTR buffer, UINT size) {
    UINT length = static_cast<UINT>(std::strlen(g_windowsDirectory));
    if (!buffer || size <= length) return length + 1;
    std::memcpy(buffer, g_windowsDirectory, length + 1);
    return length;
}

// Points the module's import of `function` from `library` at `replacement`.
bool RedirectImport(HMODULE module, const char* library, const char* function, void* replacement) {
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0) return false;
    for (auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
         descriptor->Name != 0; ++descriptor) {
        if (lstrcmpiA(reinterpret_cast<char*>(base + descriptor->Name), library) != 0) continue;
        DWORD lookup =
            descriptor->OriginalFirstThunk ? descriptor->OriginalFirstThunk : descriptor->FirstThunk;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + lookup);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) != 0) continue;
            DWORD protection;
            if (!VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                                &protection)) {
                return false;
            }
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, protection, &protection);
            return true;
        }
    }
    return false;
}

}  // namespace

extern "C" const char* GetHookName() {
    DWORD length =
        GetEnvironmentVariableA("ZS_TEST_WINDOWS_DIRECTORY", g_windowsDirectory, sizeof g_windowsDirectory);
    if (length > 0 && length < sizeof g_windowsDirectory) {
        RedirectImport(GetModuleHandleA(nullptr), "KERNEL32.dll", "GetWindowsDirectoryA",
                       reinterpret_cast<void*>(&ReportTestWindowsDirectory));
    }
    length = GetEnvironmentVariableA("ZS_TEST_HOOK_TEXT", g_hookText, sizeof g_hookText);
    if (length == 0 || length >= sizeof g_hookText) g_hookText[0] = '\0';
    return g_hookText;
}
