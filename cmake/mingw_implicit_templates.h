// Included before every C++ source of the Windows builds (cmake/ProjectOptions.cmake).
//
// The C++ library declares its common template instances (std::string above all) extern: a program calls
// the copies compiled into the library. Those copies sit in one object file per class, and in the i686 build
// the linker keeps every function that the object's unwind tables (.eh_frame, kept whole) name, so a program
// that uses a few members of std::string gets all of them (about 30 KB). With the extern declarations off,
// the compiler instantiates the members a program uses in its own objects, and only those.
#pragma once

#ifdef __cplusplus
#include <bits/c++config.h>
#undef _GLIBCXX_EXTERN_TEMPLATE
#define _GLIBCXX_EXTERN_TEMPLATE 0
#endif
