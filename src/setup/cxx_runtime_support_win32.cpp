// The parts of the C++ runtime that setup.exe replaces with its own. The program is built without exceptions
// (cmake/ProjectOptions.cmake): nothing could catch what the C++ library throws, and its throwing code brings
// the exception runtime along (the unwinder, the personality routine, type information, the library's
// exception classes and its old string). Linked into the program itself, these definitions come before the
// library's, whose objects then never reach the program.
//
// What would have been thrown ends the process at once through ExitAfterRuntimeFailure, with the status of a
// stopped run and without a message (nothing can be shown or logged without memory, and nothing of the run is
// reachable from here):
// - operator new and new[] when memory runs out (the nothrow forms return nullptr instead: the staging's copy
//   buffer, the one large allocation of a run, uses them and fails the file with its message);
// - a string or vector asked to grow past its maximum size, an index out of range and the library's other
//   precondition failures (the __throw_ functions);
// - a pure virtual function called, an empty std::function called.
// The library's terminate handler is replaced as well: it would name an uncaught exception through the name
// demangler, and there are no exceptions. So is the tag object of the nothrow forms, whose library object
// brings the new-handler's writable data and an unwind table along (a section each, in a program that has
// no other data and no other unwind table).
#include <windows.h>

#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

#include "startup/exit_status.h"

namespace {

[[noreturn]] void ExitAfterRuntimeFailure() {
    // No destructors, no exit handlers, no DLL's detach code of this process: none of it may need memory or
    // state that is broken now.
    TerminateProcess(GetCurrentProcess(), zs::bootstrap::kExitStopped);
    ExitProcess(zs::bootstrap::kExitStopped);
}

void* AllocateOrNothing(std::size_t size) noexcept {
    return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrExit(std::size_t size) {
    void* memory = AllocateOrNothing(size);
    if (!memory) ExitAfterRuntimeFailure();
    return memory;
}

}  // namespace

const std::nothrow_t std::nothrow{};

void* operator new(std::size_t size) {
    return AllocateOrExit(size);
}

void* operator new[](std::size_t size) {
    return AllocateOrExit(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNothing(size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return AllocateOrNothing(size);
}

void operator delete(void* memory) noexcept {
    std::free(memory);
}

void operator delete[](void* memory) noexcept {
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}

void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}

extern "C" {

void __cxa_pure_virtual() {
    ExitAfterRuntimeFailure();
}

void __cxa_deleted_virtual() {
    ExitAfterRuntimeFailure();
}

void __cxa_throw_bad_array_new_length() {
    ExitAfterRuntimeFailure();
}

}  // extern "C"

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    ExitAfterRuntimeFailure();
}

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() {
    ExitAfterRuntimeFailure();
}

void __throw_bad_alloc() {
    ExitAfterRuntimeFailure();
}

void __throw_bad_array_new_length() {
    ExitAfterRuntimeFailure();
}

void __throw_bad_cast() {
    ExitAfterRuntimeFailure();
}

void __throw_bad_typeid() {
    ExitAfterRuntimeFailure();
}

void __throw_bad_function_call() {
    ExitAfterRuntimeFailure();
}

void __throw_logic_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_domain_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_invalid_argument(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_length_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_out_of_range(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_out_of_range_fmt(const char*, ...) {
    ExitAfterRuntimeFailure();
}

void __throw_runtime_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_range_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_overflow_error(const char*) {
    ExitAfterRuntimeFailure();
}

void __throw_underflow_error(const char*) {
    ExitAfterRuntimeFailure();
}

}  // namespace std
