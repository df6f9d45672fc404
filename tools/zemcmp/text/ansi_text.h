// Texts of a medium as setup.exe reads them are ANSI text in code page 1252 (values of SETUP.LST, messages of
// ZSRES.DLL as LoadStringA gives them). For a report they are turned into UTF-8, and for a terminal every
// control character is written as an escape, so that the bytes of a medium cannot act on the terminal.
#pragma once

#include <string>
#include <string_view>

namespace zs::zemcmp {

// Code page 1252 to UTF-8; the five bytes the code page leaves undefined stand for the control characters of
// the same number, as Windows converts them.
std::string Utf8FromAnsi(std::string_view ansi);

// A text of a report, which mixes texts of the medium (code page 1252) with file names of the local system
// (UTF-8 on most): valid UTF-8 sequences are kept, every other byte is taken as code page 1252.
std::string Utf8ForReport(std::string_view text);

// UTF-8 text with every control character (below 0x20, 0x7F, and U+0080 to U+009F) written as \xNN, line
// breaks too unless `keepLineBreaks`.
std::string PrintableText(std::string_view utf8, bool keepLineBreaks = false);

// A line for the terminal: Utf8ForReport, then PrintableText. Every text the tool prints that holds a file
// name, a value of a medium or an argument goes through it, so that no name can act on the terminal (an
// escape sequence, a bell) or forge a line of output (a line break).
std::string TerminalText(std::string_view text);

}  // namespace zs::zemcmp
