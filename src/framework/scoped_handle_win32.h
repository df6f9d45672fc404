// Win32 handles that are closed when their owner goes: kernel objects (files, processes, threads), directory
// searches, registry keys and loaded libraries. An owner cannot be copied, only moved. Every kind knows its
// own empty values (a kernel handle has two: NULL, and INVALID_HANDLE_VALUE that CreateFile returns) and its
// own close call, whose result Close reports where a caller wants it. Self-contained: it needs nothing but
// windows.h, so that every Win32 layer can use it.
#pragma once

#include <windows.h>

namespace zs {

template <typename Kind>
class ScopedWin32Handle {
  public:
    using Handle = typename Kind::Handle;

    ScopedWin32Handle() = default;
    explicit ScopedWin32Handle(Handle handle) : handle_(handle) {}
    ~ScopedWin32Handle() { reset(); }

    ScopedWin32Handle(const ScopedWin32Handle&) = delete;
    ScopedWin32Handle& operator=(const ScopedWin32Handle&) = delete;
    ScopedWin32Handle(ScopedWin32Handle&& other) noexcept : handle_(other.release()) {}
    ScopedWin32Handle& operator=(ScopedWin32Handle&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }

    explicit operator bool() const { return Kind::IsOpen(handle_); }
    Handle get() const { return handle_; }

    // Closes what is held (ignoring the result) and holds `handle` instead.
    void reset(Handle handle = Kind::kEmpty) {
        if (Kind::IsOpen(handle_)) Kind::Close(handle_);
        handle_ = handle;
    }
    // Gives the handle up without closing it: it stays open until the process ends, or until the caller
    // closes it.
    Handle release() {
        Handle handle = handle_;
        handle_ = Kind::kEmpty;
        return handle;
    }
    // Closes what is held; false when the system reports that the close failed. Holds nothing afterwards
    // either way; holding nothing is no failure.
    bool Close() {
        bool closed = !Kind::IsOpen(handle_) || Kind::Close(handle_);
        handle_ = Kind::kEmpty;
        return closed;
    }
    // For the calls that return a new handle through a pointer (RegOpenKeyEx): whatever was held is closed
    // first.
    Handle* receive() {
        reset();
        return &handle_;
    }

  private:
    Handle handle_ = Kind::kEmpty;
};

struct KernelObjectKind {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static bool IsOpen(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};

struct DirectorySearchKind {
    using Handle = HANDLE;
    static constexpr Handle kEmpty = nullptr;
    static bool IsOpen(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return FindClose(handle) != FALSE; }
};

struct RegistryKeyKind {
    using Handle = HKEY;
    static constexpr Handle kEmpty = nullptr;
    static bool IsOpen(Handle key) { return key != nullptr; }
    static bool Close(Handle key) { return RegCloseKey(key) == ERROR_SUCCESS; }
};

struct LibraryKind {
    using Handle = HMODULE;
    static constexpr Handle kEmpty = nullptr;
    static bool IsOpen(Handle library) { return library != nullptr; }
    static bool Close(Handle library) { return FreeLibrary(library) != FALSE; }
};

// A file, process, thread or other kernel object (CloseHandle).
using ScopedHandle = ScopedWin32Handle<KernelObjectKind>;
// A directory search of FindFirstFile (FindClose).
using ScopedFindHandle = ScopedWin32Handle<DirectorySearchKind>;
// A registry key that the program opened (RegCloseKey).
using ScopedRegistryKey = ScopedWin32Handle<RegistryKeyKind>;
// A library that the program loaded (FreeLibrary).
using ScopedLibrary = ScopedWin32Handle<LibraryKind>;

}  // namespace zs
