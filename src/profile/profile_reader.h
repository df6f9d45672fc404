// Reading values of an INI-style profile file with the conventions of the Windows profile reader
// (GetPrivateProfileStringA), which the list-file rules rely on:
// - section and key names match without regard to ASCII case; spaces around the names asked for are ignored;
// - a value is the text after the first "=" of its line without the blanks around it, and without one pair of
//   equal quotes around it; the first section of a name and the first line of a key in it count;
// - a value longer than the buffer is cut to bufferSize - 1 characters (nothing at all for a size of 0);
// - a missing file, section or key gives the default (without its trailing spaces), cut the same way; a key
//   that is present with an empty value gives the empty text, not the default;
// - section == nullptr gives the section names, key == nullptr the key names of the section, each name
// followed
//   by a NUL byte; a list longer than bufferSize - 2 characters is cut to that length.
// The result is the text the function leaves in the buffer, of the length it returns. The reader never fails.
// setup.exe implements this over GetPrivateProfileStringA (PrivateProfileReader); IniFileReader is the
// portable implementation that reads the file itself and documents the finer rules.
#pragma once

#include <cstddef>
#include <string>

namespace zs::bootstrap {

class ProfileReader {
  public:
    virtual ~ProfileReader() = default;

    // The value of key in section, as a reader with a buffer of bufferSize bytes (terminator included) would
    // deliver it.
    virtual std::string GetString(const char* section, const char* key, const char* defaultValue,
                                  size_t bufferSize) const = 0;
};

}  // namespace zs::bootstrap
