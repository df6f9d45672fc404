// The restart request that the main setup module may leave for setup.exe: the value "Reboot" under
// HKEY_LOCAL_MACHINE, key "Software\Zemrova\" + AppName + "\Setup". setup.exe looks for it only after the
// main module has ended and restarts Windows when it holds a number other than 0 that the main module wrote
// during this run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zs::bootstrap {

inline constexpr char kRestartValueName[] = "Reboot";
// The value is read into a buffer of this many bytes; whatever it holds, text or not, is read as text.
inline constexpr size_t kRestartValueBufferSize = 64;

// "Software\\Zemrova\\" + appName + "\\Setup" (under HKEY_LOCAL_MACHINE).
std::string RestartRequestKeyPath(const std::string& appName);

// The value's bytes (at most kRestartValueBufferSize; the rest of the buffer counts as zero bytes) read like
// the C runtime's atoi: leading white space, an optional sign, decimal digits up to the first other byte. A
// request is a number other than 0, so "1" and " 7x" are requests; "0", "", "yes" and a 32-bit number stored
// as binary (whose first byte is no digit character) are not.
bool IsRestartRequest(const unsigned char* value, size_t size);

// The restart key as setup.exe finds it, before the main module starts and after it has ended.
struct RestartKeyState {
    bool keyExists = false;
    uint64_t lastWriteTime = 0;    // the key's last write time (a FILETIME as one number)
    bool requestsRestart = false;  // its value "Reboot" is a request (IsRestartRequest)
};

enum class RestartRequestKind {
    kNone,
    kMadeInThisRun,
    kLeftFromEarlier,  // a request that stood before the run and was not written again: ignored
};

// A request is the main module's of this run when the key was created or written to while it ran: a value
// written again with the same text counts, one left from before does not. (Any other value written to the
// same key changes the key's time as well, and so makes a standing request count.)
RestartRequestKind ClassifyRestartRequest(const RestartKeyState& before, const RestartKeyState& after);

}  // namespace zs::bootstrap
