// What `zemcmp build` makes of a source folder: every file of the medium with where it goes and how (copied
// or compressed), the list file, and the seal that each start-up entry gets. Everything that would make the
// build fail on the source's account is found here, before anything is written.
#pragma once

#include <string>
#include <vector>

namespace zs::zemcmp {

struct BuildRequest {
    std::string source;                         // SOURCE
    std::string programDirectory;               // where setup.exe and ZSRES.DLL come from
    std::vector<std::string> plain;             // --plain: start-up files kept plain
    std::vector<std::string> compressPatterns;  // --compress: other files to compress
};

struct PlannedFile {
    std::string source;     // the file read
    std::string output;     // its path in the output directory, relative, with the system's separator
    std::string shownName;  // how messages name it: its path relative to SOURCE, or the program file's path
    bool compress = false;  // written in the compressed format under its compressed name
    bool startUp = false;   // a start-up file: its contents are sealed
};

// One key of the seal section: the start-up entry's name as listed, and the file it seals.
struct PlannedSeal {
    std::string name;
    int entryKey = 0;  // the [StartUp] key that lists it
    size_t file = 0;   // index into BuildPlan::files
};

struct BuildPlan {
    std::string listFile;                  // SOURCE's SETUP.LST, byte for byte
    std::string listFilePath;              // where it was read
    std::vector<std::string> directories;  // relative, to be made in this order (parents first)
    std::vector<PlannedFile> files;        // program files, start-up files in the list's order, the others
    std::vector<PlannedSeal> seals;        // in the order of the start-up entries
    std::vector<std::string> notes;        // what the build decided on its own, for the user
};

// The plan for the request; false with the problem in plain words when the source cannot be built: no
// SETUP.LST (or one that cannot take the seal section, or a start-up file name that cannot be its key), a
// start-up entry that is no plain file name or names
// no file of SOURCE, a --plain that names no start-up file, setup.exe or ZSRES.DLL in SOURCE or missing from
// the program directory, a file that is not regular, two files for one output name.
bool PlanBuild(const BuildRequest& request, BuildPlan* plan, std::string* problem);

// Whether `pattern` (with "*" for any run of characters and "?" for one) matches `text` whole, ASCII letters
// without regard to case.
bool MatchesPattern(const std::string& pattern, const std::string& text);

}  // namespace zs::zemcmp
