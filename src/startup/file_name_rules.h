// File names as Windows reads them, for the start-up file entries of the list file and for the media tool's
// look-ups on a medium:
// - trailing dots and blanks of a name are dropped ("DATA.BIN." and "DATA.BIN " name DATA.BIN);
// - the names of devices (CON, PRN, AUX, NUL, COM1 to COM9, LPT1 to LPT9, CONIN$, CONOUT$, and COM and LPT
//   with the superscript digits one, two and three of code page 1252: bytes B9, B2, B3) name the device, in
//   any case, with any extension and with trailing dots or blanks ("nul.txt", "COM1 .log", "AUX.");
// - a file name holds no control character and none of < > : " / \ | ? *.
#pragma once

#include <string>
#include <string_view>

namespace zs::bootstrap {

// The name without its trailing dots and blanks.
std::string_view WithoutTrailingDotsAndBlanks(std::string_view name);

bool IsDeviceName(std::string_view name);

// Whether the last name of a path (after its last "\", "/" or ":") names a device ("C:\TMP\NUL",
// "\\.\COM1"): such a path opens the device wherever it points.
bool NamesDevice(std::string_view path);

// A name that a file in a Windows directory can have (after its trailing dots and blanks are dropped, it is
// not empty and holds no forbidden character).
bool IsValidWindowsFileName(std::string_view name);

// A start-up file entry that names a file in the source and target directories themselves: not empty, not "."
// or ".." (nor anything that is empty once its trailing dots and blanks are dropped), without "\", "/" or
// ":", and not a device. Any other entry would reach outside the temporary directory, name the directory
// itself or open a device, so setup.exe takes it for a corrupted list file before it touches any file.
bool IsPlainFileName(std::string_view fileName);

}  // namespace zs::bootstrap
