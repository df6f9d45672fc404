#include "window_hold_win32.h"

#include "hold_board_win32.h"

namespace zs::uidriver {
namespace {

// Sets *ERROR to what failed and the last error; false.
bool Failed(const std::wstring& what, std::wstring* error) {
    *error = what + L" failed with error " + std::to_wstring(GetLastError());
    return false;
}

// The hook's library beside this program.
std::wstring HoldLibraryPath() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring directory(path, length < MAX_PATH ? length : 0);
    directory.resize(directory.find_last_of(L"\\/") + 1);
    return directory + kHoldLibraryName;
}

}  // namespace

WindowHold::~WindowHold() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    // A program that still waits goes on (the driver ends it anyway).
    if (release_ != nullptr) SetEvent(release_);
    if (board_ != nullptr) UnmapViewOfFile(board_);
    for (HANDLE handle : {mapping_, held_, release_}) {
        if (handle != nullptr) CloseHandle(handle);
    }
    if (library_ != nullptr) FreeLibrary(library_);
}

bool WindowHold::Install(DWORD processId, DWORD threadId, const std::vector<std::wstring>& captions,
                         DWORD limitMs, std::wstring* error) {
    if (captions.size() > static_cast<size_t>(kMaxHolds)) {
        *error = L"more than " + std::to_wstring(kMaxHolds) + L" windows to hold";
        return false;
    }
    mapping_ = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(HoldBoard),
                                  HoldObjectName(L"board", processId).c_str());
    if (mapping_ == nullptr) return Failed(L"CreateFileMapping", error);
    board_ = static_cast<HoldBoard*>(MapViewOfFile(mapping_, FILE_MAP_WRITE, 0, 0, sizeof(HoldBoard)));
    if (board_ == nullptr) return Failed(L"MapViewOfFile", error);
    held_ = CreateEventW(nullptr, FALSE, FALSE, HoldObjectName(L"held", processId).c_str());
    release_ = CreateEventW(nullptr, FALSE, FALSE, HoldObjectName(L"release", processId).c_str());
    if (held_ == nullptr || release_ == nullptr) return Failed(L"CreateEvent", error);

    *board_ = HoldBoard{};
    board_->count = static_cast<LONG>(captions.size());
    board_->limitMs = limitMs;
    for (size_t i = 0; i < captions.size(); ++i) {
        if (captions[i].size() >= static_cast<size_t>(kMaxCaptionLength)) {
            *error = L"the caption \"" + captions[i] + L"\" is too long to hold";
            return false;
        }
        captions[i].copy(board_->captions[i], captions[i].size());
    }

    const std::wstring path = HoldLibraryPath();
    library_ = LoadLibraryW(path.c_str());
    if (library_ == nullptr) return Failed(L"LoadLibrary " + path, error);
    auto getter = reinterpret_cast<HoldProcedureGetter>(
        reinterpret_cast<void*>(GetProcAddress(library_, kHoldProcedureExport)));
    if (getter == nullptr) return Failed(L"GetProcAddress", error);
    hook_ = SetWindowsHookExW(WH_CALLWNDPROCRET, getter(), library_, threadId);
    if (hook_ == nullptr) return Failed(L"SetWindowsHookEx", error);
    return true;
}

HWND WindowHold::WaitUntilHeld(HANDLE process, DWORD limitMs) {
    if (board_ == nullptr) return nullptr;
    // The program ending wakes the wait as well as its holding.
    const HANDLE events[] = {held_, process};
    if (WaitForMultipleObjects(2, events, FALSE, limitMs) != WAIT_OBJECT_0) return nullptr;
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(board_->heldWindow));
}

void WindowHold::Release() {
    if (release_ != nullptr) SetEvent(release_);
}

}  // namespace zs::uidriver
