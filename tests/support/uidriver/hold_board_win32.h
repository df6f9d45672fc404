// What the driver shares with its hold hook (uidriver_hold.dll, loaded into the program under test): the
// captions of the windows the program is to wait in, in the order of the steps that report them, and two
// events named after the program's process ID. Both sides are built for the same target, so the layout is the
// same.
#pragma once

#include <windows.h>

#include <string>

namespace zs::uidriver {

constexpr int kMaxHolds = 16;
constexpr int kMaxCaptionLength = 256;

struct HoldBoard {
    LONG count;            // captions in use
    LONG next;             // the caption of the next hold; the hook moves on when it holds
    DWORD limitMs;         // the longest the program waits to be let go
    ULONGLONG heldWindow;  // the window the program waits in
    wchar_t captions[kMaxHolds][kMaxCaptionLength];  // caption patterns (see caption_pattern.h)
};

// The name of the board ("board"), the event the hook sets when the program waits ("held") and the one the
// driver sets to let it go ("release"), for the program with PROCESSID.
inline std::wstring HoldObjectName(const wchar_t* what, DWORD processId) {
    return std::wstring(L"Local\\zs-uidriver-") + what + L"-" + std::to_wstring(processId);
}

// The name of the hook's library, beside uidriver.exe, and the one function it exports: it returns the hook
// procedure (a function without arguments exports under its plain name on both targets).
constexpr wchar_t kHoldLibraryName[] = L"uidriver_hold.dll";
constexpr char kHoldProcedureExport[] = "UiDriverHoldHook";
using HoldProcedureGetter = HOOKPROC (*)();

}  // namespace zs::uidriver
