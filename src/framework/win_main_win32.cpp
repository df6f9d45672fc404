// The program's entry point, in place of the C runtime's start-up code. That code prepares what a program of
// the C runtime may use (the arguments split into argv, pseudo-relocations, TLS callbacks, exit-handler
// tables, a handler for unhandled exceptions); a program of this framework uses none of it, and the C runtime
// DLL prepares itself when it is loaded. What remains is done here: the floating-point unit is set as the
// start-up code sets it, static constructors run (if there are any), the program's WinMain gets the command
// line after the program name and the show state, and its result ends the process through exit(), which also
// runs the C runtime's exit handlers. An image loaded as a library never runs this function.
//
// The linker takes this function as the entry point (zs_framework_main in CMakeLists.txt), without the C
// runtime's start-up objects. Kept apart from the framework library so that only the program that links it
// gets it.
#include <windows.h>

#include <cstdlib>

using StaticConstructor = void (*)();

// The linker's list of static constructors: a -1 first, then the constructors, then a null pointer.
extern "C" StaticConstructor __CTOR_LIST__[];

namespace {

void RunStaticConstructors() {
    size_t count = 0;
    while (__CTOR_LIST__[count + 1]) ++count;
    // Last to first, as GCC's own start-up runs them.
    for (size_t i = count; i >= 1; --i) __CTOR_LIST__[i]();
}

// The command line after the program's name and the blanks that follow it, split as the C runtime's start-up
// splits it: the name ends at the first blank or control character outside double quotes. Its bytes are taken
// as unsigned, so that a letter of the ANSI code page above 127 belongs to the name.
char* CommandLineAfterProgramName() {
    auto* text = reinterpret_cast<unsigned char*>(GetCommandLineA());
    bool quoted = false;
    while (*text > ' ' || (*text && quoted)) {
        if (*text == '"') quoted = !quoted;
        ++text;
    }
    while (*text && *text <= ' ') ++text;
    return reinterpret_cast<char*>(text);
}

int ShowCommand() {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    return (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
}

}  // namespace

// The stack of a new thread is only 4-byte aligned on i686; the compiler's code below expects its own
// alignment, which the attribute establishes.
#ifdef __i386__
#define ZS_ALIGN_INCOMING_STACK __attribute__((force_align_arg_pointer))
#else
#define ZS_ALIGN_INCOMING_STACK
#endif

extern "C" ZS_ALIGN_INCOMING_STACK void ProgramEntryPoint() {
    // What the C runtime's _fpreset does, without its object, whose unwind table would be the program's only
    // one (and cost it a section).
    __asm__ volatile("fninit");
    RunStaticConstructors();
    std::exit(WinMain(GetModuleHandleA(nullptr), nullptr, CommandLineAfterProgramName(), ShowCommand()));
}
