// Reading values of an INI-style profile file, with the conventions of the Windows profile reader
// (GetPrivateProfileStringA):
// - section and key names match without regard to (ASCII) case;
// - a value is the text after the first "=" of its line, with the blanks around it removed;
// - a value longer than the buffer is cut to bufferSize - 1 characters (nothing at all for a size of 0);
// - a missing file, section or key gives the default, cut the same way; a key that is present with an empty
//   value gives the empty text, not the default.
// The reader never fails. setup.exe implements this over GetPrivateProfileStringA; IniFileReader is the
// portable implementation that reads the file itself.
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
