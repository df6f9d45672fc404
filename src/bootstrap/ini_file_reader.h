// The portable ProfileReader: reads an INI file from disk on every call, as the Windows reader does, so a
// change to the file between two reads is seen by the second.
//
// Besides the conventions of ProfileReader:
// - lines end with LF or CR LF; a line whose first non-blank character is "[" starts a section, whose name is
//   the text up to the next "]" (or the line's end) without surrounding blanks;
// - a line with "=" is a key line: the key is the text before the first "=", without surrounding blanks;
//   other lines, and lines before the first section, are ignored;
// - blanks are spaces and tabs; one pair of matching quotes (" or ') around a whole value is removed;
// - when a key stands twice the first one counts, also across two sections of the same name;
// - bytes are taken as they are: no encoding is detected and no escape is known.
// Nothing else of the profile files is relied on by the rules built over this reader.
//
// Beyond the ProfileReader interface it lists what a file holds, for the media tool's check of a medium: the
// section names and the key names of a section, as the reader sees them.
#pragma once

#include <string>
#include <vector>

#include "bootstrap/profile_reader.h"

namespace zs::bootstrap {

class IniFileReader : public ProfileReader {
  public:
    explicit IniFileReader(std::string path) : path_(std::move(path)) {}

    std::string GetString(const char* section, const char* key, const char* defaultValue,
                          size_t bufferSize) const override;

    // The section names in file order, without surrounding blanks; a name that stands twice is listed twice.
    // Empty for a missing file.
    std::vector<std::string> SectionNames() const;

    // The key names of every section of that name (without regard to case), in file order and as written,
    // without surrounding blanks; a key that stands twice is listed twice, although only its first value is
    // ever read.
    std::vector<std::string> KeyNames(const char* section) const;

    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

}  // namespace zs::bootstrap
