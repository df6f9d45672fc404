// Writes the Windows images of a clean medium for tests that build one outside GoogleTest (the example
// medium's check): setup.exe and a main module (i386 GUI programs) and ZSRES.DLL (an i386 library with the
// shipped string table, both dialog templates and the GetHookName export), as pe_writer.h makes them.
//
// usage: write_test_images STRING_TABLE_RC OUT_DIR
//   writes OUT_DIR/setup.exe, OUT_DIR/ZSRES.DLL and OUT_DIR/main_module.exe
#include <cstdio>
#include <exception>
#include <fstream>
#include <stdexcept>
#include <string>

#include "pe_writer.h"
#include "rc_string_table.h"

int main(int argc, char** argv) {
    using namespace zs::test;
    if (argc != 3) {
        std::fprintf(stderr, "usage: write_test_images STRING_TABLE_RC OUT_DIR\n");
        return 2;
    }
    try {
        const std::string out = argv[2];
        const auto write = [&](const char* name, const Bytes& bytes) {
            std::ofstream file(out + "/" + name, std::ios::binary);
            file << bytes;
            if (!file.flush()) throw std::runtime_error(std::string("cannot write ") + name);
        };
        write("setup.exe", MakeProgram(kMachineI386));
        write("ZSRES.DLL", MakeResourceLibrary(kMachineI386, LoadRcStringTable(argv[1]), true, true));
        write("main_module.exe", MakeProgram(kMachineI386));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "write_test_images: %s\n", e.what());
        return 1;
    }
    return 0;
}
