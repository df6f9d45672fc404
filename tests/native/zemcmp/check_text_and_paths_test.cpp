// Two portable pieces of zemcmp check: where GetFullPathName puts a temporary directory (the expectations are
// what Windows answers in the conformance tests of RtlGetFullPathName_U), and the conversion of a medium's
// texts for a report that can act neither on a terminal nor on a JSON reader.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "check/windows_paths.h"
#include "text/ansi_text.h"

namespace zs::test {
namespace {

using zemcmp::DirectoryRefusal;
using zemcmp::FullWindowsPath;
using zemcmp::PrintableText;
using zemcmp::Utf8ForReport;
using zemcmp::Utf8FromAnsi;

std::string Full(const std::string& path, const std::string& current = "Z:\\media\\disk1") {
    return FullWindowsPath(path, current).value_or("(none)");
}

TEST(WindowsPaths, RelativeDriveRelativeAndRootedPaths) {
    EXPECT_EQ(Full("SETUPTMP"), "Z:\\media\\disk1\\SETUPTMP");
    EXPECT_EQ(Full(".\\sub\\..\\T"), "Z:\\media\\disk1\\T");
    EXPECT_EQ(Full("..\\T"), "Z:\\media\\T");
    EXPECT_EQ(Full("..\\..\\..\\..\\T"), "Z:\\T");  // ".." stops at the root
    EXPECT_EQ(Full("Z:T"), "Z:\\media\\disk1\\T");  // the current directory of its drive
    EXPECT_EQ(Full("c:T"), "C:\\T");                // another drive: its root
    EXPECT_EQ(Full("C:"), "C:\\");
    EXPECT_EQ(Full("\\T"), "Z:\\T");  // the root of the current drive
    EXPECT_EQ(Full("C:/TMP//SUB/"), "C:\\TMP\\SUB\\");
    EXPECT_EQ(Full("/T"), "Z:\\T");
    EXPECT_EQ(Full("T", "Z:\\media\\"), "Z:\\media\\T");
    EXPECT_EQ(Full("\\\\server\\share\\dir\\..\\..\\T"), "\\\\server\\share\\T");
    EXPECT_EQ(Full(""), "(none)");
}

TEST(WindowsPaths, TrailingDotsAndBlanks) {
    EXPECT_EQ(Full("C:\\TMP     "), "C:\\TMP");
    EXPECT_EQ(Full("C:\\TMP."), "C:\\TMP");
    EXPECT_EQ(Full("C:\\TMP  ....   ..   "), "C:\\TMP");
    EXPECT_EQ(Full("C:\\TMP\\  ....   ..   "), "C:\\TMP\\");  // a last name of dots and blanks only
    EXPECT_EQ(Full("C:\\TMP\\.. "), "C:\\TMP\\");             // ".. " is no "..": it goes as such a name
    EXPECT_EQ(Full("..."), "Z:\\media\\disk1\\");
    // Inside the path only a single trailing dot goes; blanks, and dots after a dot, stay.
    EXPECT_EQ(Full("C:\\TMP.\\FILE"), "C:\\TMP\\FILE");
    EXPECT_EQ(Full("C:\\TMP.. \\FILE"), "C:\\TMP.. \\FILE");
    EXPECT_EQ(Full("C:\\TMP..\\FILE"), "C:\\TMP..\\FILE");
    EXPECT_EQ(Full("C:\\TMP \\"), "C:\\TMP \\");
}

TEST(WindowsPaths, ResultsOfMaxPathOrMoreAreNone) {
    EXPECT_EQ(Full("C:\\" + std::string(256, 'a')).size(), 259u);
    EXPECT_EQ(Full("C:\\" + std::string(257, 'a')), "(none)");
    EXPECT_EQ(Full(std::string(250, 'a')), "(none)");  // long only with the current directory
}

// Names that no directory Windows makes can have, anywhere on the way, and paths too long for
// CreateDirectory.
TEST(WindowsPaths, DirectoriesWindowsRefusesToMake) {
    for (const char* path : {"C:\\SETUPTMP", "C:\\A B\\T.1", "\\\\server\\share\\T", "C:\\"}) {
        EXPECT_EQ(DirectoryRefusal(path), std::nullopt) << path;
    }
    for (const char* path : {"C:\\A|B", "C:\\A\x01", "C:\\T?", "C:\\A:B", "C:\\NUL\\T", "C:\\com1.txt",
                             "C:\\TMP \\T", "C:\\TMP..\\T"}) {
        EXPECT_NE(DirectoryRefusal(path), std::nullopt) << path;
    }
    EXPECT_EQ(DirectoryRefusal("C:\\" + std::string(244, 'a')), std::nullopt);  // 247 characters
    EXPECT_NE(DirectoryRefusal("C:\\" + std::string(245, 'a')), std::nullopt);
}

TEST(AnsiText, CodePage1252BecomesUtf8) {
    EXPECT_EQ(Utf8FromAnsi("Caf\xE9 \xFF"), "Caf\xC3\xA9 \xC3\xBF");
    EXPECT_EQ(Utf8FromAnsi("\x80\x9F\x8A"), "\xE2\x82\xAC\xC5\xB8\xC5\xA0");
    // The five bytes the code page leaves undefined stand for the C1 controls of the same number.
    EXPECT_EQ(Utf8FromAnsi("\x81\x8D\x8F\x90\x9D"), "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
    EXPECT_EQ(Utf8FromAnsi(std::string("a\0b", 3)), std::string("a\0b", 3));
}

TEST(AnsiText, ReportTextKeepsValidUtf8AndReadsEveryOtherByteAsCodePage1252) {
    EXPECT_EQ(Utf8ForReport("\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"),
              "\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ForReport("\xC0\xAF"), "\xC3\x80\xC2\xAF");                  // overlong
    EXPECT_EQ(Utf8ForReport("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xE2\x82\xAC");  // a surrogate
    EXPECT_EQ(Utf8ForReport("\xF4\x90\x80\x80").substr(0, 2), "\xC3\xB4");     // beyond U+10FFFF
    EXPECT_EQ(Utf8ForReport("x\xE2\x82"), "x\xC3\xA2\xE2\x80\x9A");            // cut at the end
    EXPECT_EQ(Utf8ForReport("\xC3 "), "\xC3\x83 ");
}

TEST(AnsiText, PrintableTextEscapesEveryControlCharacter) {
    EXPECT_EQ(PrintableText("a\x1B[31mb\x07\t\x7F"), "a\\x1B[31mb\\x07\\x09\\x7F");
    EXPECT_EQ(PrintableText("one\ntwo"), "one\\x0Atwo");
    EXPECT_EQ(PrintableText("one\ntwo\r", true), "one\ntwo\\x0D");
    EXPECT_EQ(PrintableText("\xC2\x9B"
                            "2J \xC2\x85"),
              "\\x9B2J \\x85");  // C1 controls
    EXPECT_EQ(PrintableText("\xC2\xA0\xC3\xA9\xE2\x82\xAC"), "\xC2\xA0\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(PrintableText(std::string("a\0b", 3)), "a\\x00b");
}

}  // namespace
}  // namespace zs::test
