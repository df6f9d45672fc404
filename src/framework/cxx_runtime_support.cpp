// The parts of the C++ runtime that setup.exe replaces with smaller ones of its own. Linked into the program
// itself (not the framework library), so that the linker meets these definitions before the C++ library's:
// their objects are then never taken from the library, nor everything those objects pull in.
//
// - The C++ library reports a failed precondition (a string or vector past its maximum size, an index out
//   of range) by throwing one of the exception classes of <stdexcept>. Their object file brings the library's
//   old reference-counted string, its number formatting and the classes' constructors: about 60 KB. Nothing
//   in the program catches these exceptions, so each ended the program through std::terminate and abort();
//   here it calls abort() at once. The exceptions without a message (std::bad_alloc above all, which the
//   staging catches) are thrown as before.
// - The default terminate handler names the uncaught exception on the standard error stream before it calls
//   abort(), which brings the library's name demangler (about 45 KB). A GUI program has no standard error
//   stream to show it on; this handler only calls abort().
#include <bits/functexcept.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
    std::abort();
}

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_exception() {
    throw bad_exception();
}

void __throw_bad_alloc() {
    throw bad_alloc();
}

void __throw_bad_array_new_length() {
    throw bad_array_new_length();
}

void __throw_bad_cast() {
    throw bad_cast();
}

void __throw_bad_typeid() {
    throw bad_typeid();
}

void __throw_logic_error(const char*) {
    abort();
}

void __throw_domain_error(const char*) {
    abort();
}

void __throw_invalid_argument(const char*) {
    abort();
}

void __throw_length_error(const char*) {
    abort();
}

void __throw_out_of_range(const char*) {
    abort();
}

void __throw_out_of_range_fmt(const char*, ...) {
    abort();
}

void __throw_runtime_error(const char*) {
    abort();
}

void __throw_range_error(const char*) {
    abort();
}

void __throw_overflow_error(const char*) {
    abort();
}

void __throw_underflow_error(const char*) {
    abort();
}

}  // namespace std
