// The list file of a built medium: the source's SETUP.LST byte for byte, then the seal section
// (bootstrap/start_up_seals.h) with one line for each start-up file.
#pragma once

#include <string>
#include <vector>

namespace zs::zemcmp {

struct Seal {
    std::string name;   // the start-up entry's name, as listed
    std::string value;  // "sha256:" and the hex digits
};

// The source's bytes, a line end when its last line has none, a blank line and the seal section, one key for
// each name (a name that Windows' profile reader takes for an earlier one, in another case or with other
// blanks around it, is written once). The line ends are the source's: LF alone when its first line ends so,
// else CR LF.
std::string SealedListFile(const std::string& source, const std::vector<Seal>& seals);

// Reads the sealed list file back as setup.exe's profile reader will: every seal under its name, and the
// start-up entries as in the source. False with the first name that does not read back (one with "=" in it,
// or one that starts with ";" or "[", cannot be a key) in *unreadable, or with an empty *unreadable when the
// start-up entries read otherwise.
bool ReadsBackAsWritten(const std::string& source, const std::string& sealed, const std::vector<Seal>& seals,
                        std::string* unreadable);

}  // namespace zs::zemcmp
