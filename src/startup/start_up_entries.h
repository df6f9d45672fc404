// The start-up file entries of the list file ("StartUp" keys "1", "2", ..., 32-byte buffer, default
// "NO ENTRY"): a plain file name, optionally followed by a comma and a mark. The first comma ends the name;
// when the character right after it is "1" the file is skipped in a workstation run (so ",10" is marked
// too, and ", 1" is not). Anything else after the comma means nothing.
//
// The missing marker is tested on the name after the cut, in the order the staging loop applies the rules: a
// skip mark is honoured before the entry is looked at, and only then does "NO ENTRY" end the list.
#pragma once

#include <string>
#include <vector>

#include "profile/profile_reader.h"

namespace zs::bootstrap {

struct StartUpEntry {
    std::string fileName;               // the value up to its first comma (at most 31 characters in all)
    bool skipInWorkstationRun = false;  // the character after the first comma is "1"
    bool missing = false;               // fileName is exactly "NO ENTRY"
};

StartUpEntry ParseStartUpEntry(const std::string& value);

StartUpEntry ReadStartUpEntry(const ProfileReader& listFile, int keyNumber);

// The files that a run stages, in key order, as the staging loop walks the entries: entries marked for
// skipping are passed over in a workstation run, and the first missing entry after them ends the list. When
// it ends before any file applies (no entry "1", or every entry before the end skipped), noFileApplies is
// set: the list file is corrupted for this run.
struct StartUpFileList {
    std::vector<std::string> fileNames;
    std::vector<int> keys;  // the key of each file name
    bool noFileApplies = false;
    int skipped = 0;  // entries passed over for their mark
};

StartUpFileList CollectStartUpFiles(const ProfileReader& listFile, bool workstationRun);

}  // namespace zs::bootstrap
