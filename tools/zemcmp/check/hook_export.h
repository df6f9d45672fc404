// What the GetHookName export of a resource library returns, as far as its code shows it without running it.
// A function that returns NULL, or the address of a text in a part of the image that is never written, gives
// that text on every run; any other code (or a text that the library may change) is known only at run time.
// The shipped library's function is of the first kind and returns an empty text.
#pragma once

#include <string>

#include "pe/pe_image.h"

namespace zs::zemcmp {

struct HookExport {
    enum Kind {
        kAbsent,        // no GetHookName export
        kNoText,        // it returns NULL or an empty text: no hand-off
        kConstantText,  // it returns this text on every run
        kUnknown,       // what it returns shows only when it runs
    };
    Kind kind = kAbsent;
    std::string text;
};

// Recognised are the two forms a compiler gives a function that returns a constant's address:
//   i386:   mov eax, imm32 ; ret         (B8 imm32 C3: the address at the preferred base)
//   x86-64: lea rax, [rip + disp32] ; ret (48 8D 05 disp32 C3)
// and xor eax, eax ; ret (31 C0 C3 or 33 C0 C3) for NULL.
HookExport ReadHookExport(const PeImage& library);

}  // namespace zs::zemcmp
