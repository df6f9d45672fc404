// Provokes one failure that the C++ runtime reports by throwing, in a program linked with setup.exe's
// replacements for the runtime's throwing parts (src/setup/cxx_runtime_support_win32.cpp), which end the
// process with status 2. Ends with 0 where the program may go on (the nothrow allocation returns nothing, as
// it should) and with 1 where it went on although it should not have.
#include <cstddef>
#include <limits>
#include <new>
#include <string>
#include <vector>

namespace {

void* volatile g_allocated;

}  // namespace

int main(int argc, char** argv) {
    const std::string what = argc > 1 ? argv[1] : "";
    const std::size_t tooMuch = std::numeric_limits<std::size_t>::max() / 2;
    if (what == "new") {
        g_allocated = ::operator new(tooMuch);
    } else if (what == "new[]") {
        g_allocated = ::operator new[](tooMuch);
    } else if (what == "nothrow") {
        g_allocated = ::operator new(tooMuch, std::nothrow);
        return g_allocated ? 1 : 0;
    } else if (what == "string-length") {
        std::string text;
        text.reserve(text.max_size() + 1);
    } else if (what == "vector-length") {
        std::vector<int> values;
        values.reserve(values.max_size() + 1);
    } else if (what == "out-of-range") {
        std::string text;
        g_allocated = &text.at(static_cast<std::size_t>(argc));
    } else {
        return 3;
    }
    return 1;
}
