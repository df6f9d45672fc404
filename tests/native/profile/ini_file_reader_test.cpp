// The portable reader gives what Windows' GetPrivateProfileStringA gives; the source of each rule is noted in
// ini_file_reader.cpp. The same cases run against the real function under Wine in
// tests/win/bootstrap/profile_reader_corpus_test.cpp.
#include "profile/ini_file_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_ini_file.h"

namespace zs::bootstrap {
namespace {

using namespace std::string_literals;
using Kind = IniFileReader::OddityKind;

std::string Get(const IniFileReader& reader, const char* section, const char* key,
                const char* defaultValue = "DEFAULT", size_t size = 256) {
    return reader.GetString(section, key, defaultValue, size);
}

std::string Get(const std::string& bytes, const char* section, const char* key,
                const char* defaultValue = "DEFAULT", size_t size = 256) {
    return Get(IniFileReader::FromBytes(bytes), section, key, defaultValue, size);
}

std::vector<Kind> OddityKinds(const IniFileReader& reader) {
    std::vector<Kind> kinds;
    for (const IniFileReader::Oddity& oddity : reader.Oddities()) kinds.push_back(oddity.kind);
    return kinds;
}

TEST(IniFileReaderLines, EveryLineEndCountsAndCtrlZAndFormFeedAreBlanks) {
    for (const char* eol : {"\r\n", "\n", "\r", "\n\r"}) {
        std::string file = "[S]"s + eol + "k=v" + eol + "[T]" + eol + "k=t" + eol;
        EXPECT_EQ(Get(file, "S", "k"), "v") << eol;
        EXPECT_EQ(Get(file, "T", "k"), "t") << eol;
    }
    EXPECT_EQ(Get("[S]\r\nk=v\r\n\x1a", "S", "k"), "v");
    EXPECT_EQ(Get("[S]\r\nk=v\x1a", "S", "k"), "v");
    EXPECT_EQ(Get("[S]\r\nk=v\x1ax\r\n\x1a[T]\r\nk=t\r\n", "S", "k"), "v\x1ax");
    EXPECT_EQ(Get("[S]\r\nk=v\x1ax\r\n\x1a[T]\r\nk=t\r\n", "T", "k"), "t");
    EXPECT_EQ(Get("[S]\r\nk=\x0c\x0bv\x0c\t \r\n", "S", "k"), "v");
    // Other control characters are text.
    EXPECT_EQ(Get("[S]\r\nk=\x1bv\x1f\r\n", "S", "k"), "\x1bv\x1f");
}

TEST(IniFileReaderSections, HeadersAsWindowsReadsThem) {
    const std::string file =
        "[A\r\nk=a\r\n[[B]]\r\nk=b\r\n[C] ; old name [X]\r\nk=c\r\n[ D ]junk\r\nk=d\r\n "
        "\t[\tE\x0b]\r\nk=e\r\n"
        "F]\r\nk=f\r\n[G]H]\r\nk=g\r\n[k=v\r\nk=kv\r\n";
    EXPECT_EQ(Get(file, "A", "k"), "a");   // no "]": the name runs to the end of the line
    EXPECT_EQ(Get(file, "[B", "k"), "b");  // the name ends at the first "]"
    EXPECT_EQ(Get(file, "C", "k"), "c");
    EXPECT_EQ(Get(file, "D", "k"), "d");
    EXPECT_EQ(Get(file, "E", "k"), "e");
    EXPECT_EQ(Get(file, "G", "k"), "g");
    EXPECT_EQ(Get(file, "G]H", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, "k=v", "k"), "kv");
    // "F]" is no header: its key line stays in section E.
    EXPECT_EQ(Get(file, "E", "k"), "e");
    EXPECT_EQ(Get(file, "F", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, nullptr, nullptr, "", 256), "A\0[B\0C\0D\0E\0G\0k=v\0"s);
}

TEST(IniFileReaderSections, EmptyNamesAndKeysBeforeTheFirstHeader) {
    const std::string file = "k=before\r\n[]\r\nk=empty\r\n[S]\r\n=no name\r\n";
    EXPECT_EQ(Get(file, "", "k"), "empty");
    EXPECT_EQ(Get(file, "   ", "k"), "empty");
    EXPECT_EQ(Get(file, "S", ""), "no name");
    EXPECT_EQ(Get(file, nullptr, nullptr, "", 256), "\0S\0"s);
    EXPECT_EQ(Get("k=before\r\n[S]\r\n", "", "k"), "DEFAULT");
}

TEST(IniFileReaderSections, TheFirstSectionAndTheFirstKeyOfANameCount) {
    const std::string file = "[S]\r\nk=1\r\nK=2\r\nj=a\r\n[T]\r\n[s]\r\nk=3\r\nm=4\r\n";
    EXPECT_EQ(Get(file, "s", "k"), "1");
    EXPECT_EQ(Get(file, "S", "m"), "DEFAULT");
    // Both lists name every line, duplicates included; the key list is that of the first section.
    EXPECT_EQ(Get(file, nullptr, nullptr, "", 256), "S\0T\0s\0"s);
    EXPECT_EQ(Get(file, "S", nullptr, "", 256), "k\0K\0j\0"s);
}

TEST(IniFileReaderKeys, LinesWithoutEqualsAndCommentsAreNoKeys) {
    const std::string file =
        "[StartUp]\r\n1\r\n1=_SETUP.EXE\r\n;2=comment\r\n \t;3=comment\r\n\x0b;4=x\r\n5=a ; b\r\n#6=x\r\n"
        "k;x=y\r\n[;Sec]\r\nk=s\r\n";
    EXPECT_EQ(Get(file, "StartUp", "1", "NO ENTRY", 32), "_SETUP.EXE");
    EXPECT_EQ(Get(file, "StartUp", "2"), "DEFAULT");
    EXPECT_EQ(Get(file, "StartUp", ";2"), "DEFAULT");
    EXPECT_EQ(Get(file, "StartUp", "3"), "DEFAULT");
    EXPECT_EQ(Get(file, "StartUp", "4"), "DEFAULT");
    EXPECT_EQ(Get(file, "StartUp", "5"), "a ; b");
    EXPECT_EQ(Get(file, "StartUp", "#6"), "x");
    EXPECT_EQ(Get(file, "StartUp", "k;x"), "y");
    EXPECT_EQ(Get(file, ";Sec", "k"), "s");
    EXPECT_EQ(Get(file, "StartUp", nullptr, "", 256),
              "1\0"
              "5\0#6\0k;x\0"s);
}

TEST(IniFileReaderKeys, BlanksAroundNamesAndValuesAndInTheArguments) {
    const std::string file = "[ S ]\r\n \t k 1 \t = \t a = b \t \r\nq=  \"  x  \"  \r\n";
    EXPECT_EQ(Get(file, "S", "k 1"), "a = b");
    EXPECT_EQ(Get(file, "  S ", " k 1  "), "a = b");
    EXPECT_EQ(Get(file, "S", "q"), "  x  ");
    // Only spaces around the arguments are ignored.
    EXPECT_EQ(Get(file, "\tS", "k 1"), "DEFAULT");
    EXPECT_EQ(Get(file, "S", "k 1\t"), "DEFAULT");
}

TEST(IniFileReaderKeys, OnePairOfEqualQuotesIsRemoved) {
    const std::string file =
        "[S]\r\na=\"x y\"\r\nb='x y'\r\nc=\"x'\r\nd='\"x\"'\r\ne=\"\"\r\nf=\"\r\ng=\"a\"b\"\r\n\"k\"=v\r\n";
    EXPECT_EQ(Get(file, "S", "a"), "x y");
    EXPECT_EQ(Get(file, "S", "b"), "x y");
    EXPECT_EQ(Get(file, "S", "c"), "\"x'");
    EXPECT_EQ(Get(file, "S", "d"), "\"x\"");
    EXPECT_EQ(Get(file, "S", "e"), "");
    EXPECT_EQ(Get(file, "S", "f"), "\"");
    EXPECT_EQ(Get(file, "S", "g"), "a\"b");
    EXPECT_EQ(Get(file, "S", "\"k\""), "v");
    EXPECT_EQ(Get(file, "S", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, "S", "a", "", 3), "x ");  // cut after the quotes are gone
    EXPECT_EQ(Get(file, "S", "a", "", 4), "x y");
}

TEST(IniFileReaderKeys, ANulByteEndsTheNameOrValueItStandsIn) {
    const std::string file =
        "[S]\r\na=x \0y\r\nb=\"x\0y\"\r\nc= \0 x\r\n k \0x=v\r\n\0z=w\r\n[T \0x]\r\nk=t\r\n\0[U]\r\nk=u\r\n"s;
    EXPECT_EQ(Get(file, "S", "a"), "x ");
    EXPECT_EQ(Get(file, "S", "b"), "\"x");
    EXPECT_EQ(Get(file, "S", "c"), "");
    EXPECT_EQ(Get(file, "S", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, "S", ""), "w");
    EXPECT_EQ(Get(file, "T", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, "U", "k"), "DEFAULT");
    EXPECT_EQ(Get(file, nullptr, nullptr, "", 256), "S\0T \0"s);
    EXPECT_EQ(Get(file, "S", nullptr, "", 256), "a\0b\0c\0k \0\0"s);
}

TEST(IniFileReaderKeys, NamesMatchWithoutRegardToAsciiCaseOnly) {
    const std::string file = "[StartUp]\r\nAppName=x\r\n[\xc4rger]\r\nk\xe9=1\r\n[\xe4rger]\r\nk=2\r\n";
    EXPECT_EQ(Get(file, "STARTUP", "appname"), "x");
    EXPECT_EQ(Get(file, "\xc4RGER", "K\xe9"), "1");
    EXPECT_EQ(Get(file, "\xc4rger", "K\xc9"), "DEFAULT");
    EXPECT_EQ(Get(file, "\xe4rger", "k"), "2");
}

TEST(IniFileReaderEncodings, ByteOrderMarks) {
    // UTF-8: the mark belongs to line 1; later lines are read byte for byte.
    const std::string utf8 = "\xEF\xBB\xBF[SetupLang]\r\n0=E\r\n[StartUp]\r\nAppName=Z\xC3\xBCrich\r\n";
    EXPECT_EQ(Get(utf8, "SetupLang", "0"), "DEFAULT");
    EXPECT_EQ(Get(utf8, "StartUp", "AppName"), "Z\xC3\xBCrich");
    EXPECT_EQ(Get("\xEF\xBB\xBF\r\n[S]\r\nk=v\r\n", "S", "k"), "v");
    // UTF-16 LE: text in code page 1252; what it cannot hold reads as "?".
    const std::string utf16le =
        "\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0v\0\xE9\0\xAC\x20\x00\x01\x3D\xD8\x00\xDE\r\0\n\0"s;
    EXPECT_EQ(Get(utf16le, "S", "k"), "v\xE9\x80??");
    EXPECT_EQ(Get(utf16le, "S", "k", "", 3), "v\xE9");
    // UTF-16 BE: not known to Windows; nothing is found.
    const std::string utf16be = "\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n"s;
    EXPECT_EQ(Get(utf16be, "S", "k"), "DEFAULT");
    EXPECT_EQ(Get(utf16be, nullptr, nullptr, "", 256), "");
}

TEST(IniFileReaderCuts, ValuesAndDefaults) {
    const std::string file = "[S]\r\nk=12345678\r\ne=\r\n";
    const std::vector<std::string> cuts = {"", "", "1", "12", "1234567", "12345678", "12345678"};
    const size_t sizes[] = {0, 1, 2, 3, 8, 9, 10};
    for (size_t i = 0; i < cuts.size(); ++i)
        EXPECT_EQ(Get(file, "S", "k", "D", sizes[i]), cuts[i]) << sizes[i];
    EXPECT_EQ(Get(file, "S", "e", "D", 2), "");
    EXPECT_EQ(Get(file, "S", "missing", "NO ENTRY", 4), "NO ");
    EXPECT_EQ(Get(file, "S", "missing", "NO ENTRY", 1), "");
    EXPECT_EQ(Get(file, "S", "missing", "NO ENTRY", 0), "");
    // Only trailing spaces leave the default; quotes and other blanks stay.
    EXPECT_EQ(Get(file, "S", "missing", "  de f  "), "  de f");
    EXPECT_EQ(Get(file, "S", "missing", "de\t"), "de\t");
    EXPECT_EQ(Get(file, "S", "missing", "\"de\""), "\"de\"");
    EXPECT_EQ(Get(file, "S", "missing", "   "), "");
    EXPECT_EQ(Get(file, "S", "missing", "abc   ", 4), "abc");
    EXPECT_EQ(Get(file, "S", "missing", nullptr), "");
    EXPECT_EQ(Get(file, "Nowhere", "k", "x"), "x");
}

TEST(IniFileReaderCuts, ValuesOf65536CharactersOrMoreWrapAround) {
    const std::string file = "[S]\r\na=" + std::string(65535, 'a') + "\r\nb=" + std::string(65536, 'b') +
                             "\r\nc=" + std::string(65539, 'c') + "\r\nd=ok\r\n";
    EXPECT_EQ(Get(file, "S", "a", "", 70000).size(), 65535u);
    EXPECT_EQ(Get(file, "S", "b", "", 70000), "");
    EXPECT_EQ(Get(file, "S", "c", "", 32), "ccc");
    EXPECT_EQ(Get(file, "S", "d"), "ok");
}

TEST(IniFileReaderLists, SectionListIsCutToTheSizeMinusTwo) {
    const std::string file =
        "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
    const IniFileReader reader = IniFileReader::FromBytes(file);
    struct Cut {
        size_t size;
        std::string list;
    };
    const Cut cuts[] = {{0, ""},
                        {1, ""},
                        {2, ""},
                        {3, "s"},
                        {10, "section1"},
                        {11, "section1\0"s},
                        {16, "section1\0secti"s},
                        {19, "section1\0section2"s},  // an exact fit counts as too small
                        {20, "section1\0section2\0"s},
                        {16384, "section1\0section2\0"s}};
    for (const Cut& cut : cuts) {
        EXPECT_EQ(Get(reader, nullptr, "name1", "default", cut.size), cut.list) << cut.size;
        EXPECT_EQ(Get(reader, nullptr, nullptr, nullptr, cut.size), cut.list) << cut.size;
    }
    EXPECT_EQ(Get(IniFileReader::FromBytes("k=v\r\n"), nullptr, nullptr, "default", 100), "");
    EXPECT_EQ(Get(IniFileReader::FromBytes(""), nullptr, nullptr, "default", 100), "");
}

TEST(IniFileReaderLists, KeyListIsCutTheSameWayAndAnEmptyOneGivesTheDefault) {
    const std::string file =
        "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";
    const IniFileReader reader = IniFileReader::FromBytes(file);
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 100), "name1\0name2\0name4\0"s);
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 16), "name1\0name2\0na"s);
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 19), "name1\0name2\0name4"s);
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 3), "n");
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 2), "");
    EXPECT_EQ(Get(reader, "section1", nullptr, "default", 1), "");
    EXPECT_EQ(Get(reader, "section2", nullptr, "default", 100), "default");
    EXPECT_EQ(Get(reader, "nowhere", nullptr, "default", 4), "def");
}

TEST(IniFileReaderFiles, MissingUnreadableAndPresentFiles) {
    test::TempIniFile file;
    file.Write("[S]\r\nk=v\r\n");
    IniFileReader present(file.path());
    EXPECT_TRUE(present.Found());
    EXPECT_EQ(present.path(), file.path());
    EXPECT_EQ(Get(present, "S", "k"), "v");
    // The file is read once: a later change is not seen.
    file.Write("[S]\r\nk=new\r\n");
    EXPECT_EQ(Get(present, "S", "k"), "v");

    for (const std::string& path :
         {file.path() + ".none", std::filesystem::path(file.path()).parent_path().string()}) {
        IniFileReader missing(path);
        EXPECT_FALSE(missing.Found()) << path;
        EXPECT_EQ(Get(missing, "S", "k", "NO ENTRY", 32), "NO ENTRY");
        EXPECT_EQ(Get(missing, nullptr, nullptr, "x", 100), "");
        EXPECT_EQ(Get(missing, "S", nullptr, "x", 100), "x");
        EXPECT_TRUE(missing.Sections().empty());
        EXPECT_TRUE(missing.Oddities().empty());
    }
}

TEST(IniFileReaderDescription, SectionsTellWhatLookupsReach) {
    const IniFileReader reader = IniFileReader::FromBytes(
        "AppName=early\r\n[StartUp]\r\n1\r\n1 = "
        "\"_SETUP.EXE\"\r\nappname=A\r\n1=again\r\n[startup]\r\nX=1\r\n[S]\r\n");
    const std::vector<IniFileReader::Section>& sections = reader.Sections();
    ASSERT_EQ(sections.size(), 3u);
    EXPECT_EQ(sections[0].name, "StartUp");
    EXPECT_EQ(sections[0].line, 2);
    EXPECT_TRUE(sections[0].reachable);
    ASSERT_EQ(sections[0].keys.size(), 3u);
    EXPECT_EQ(sections[0].keys[0].name, "1");
    EXPECT_EQ(sections[0].keys[0].value, "_SETUP.EXE");
    EXPECT_EQ(sections[0].keys[0].line, 4);
    EXPECT_TRUE(sections[0].keys[0].reachable);
    EXPECT_TRUE(sections[0].keys[1].reachable);
    EXPECT_FALSE(sections[0].keys[2].reachable);
    EXPECT_FALSE(sections[1].reachable);
    EXPECT_FALSE(sections[1].keys[0].reachable);
    EXPECT_TRUE(sections[2].keys.empty());

    EXPECT_EQ(reader.SectionNames(), (std::vector<std::string>{"StartUp", "startup", "S"}));
    EXPECT_EQ(reader.KeyNames("STARTUP"), (std::vector<std::string>{"1", "appname", "1"}));
    EXPECT_TRUE(reader.KeyNames("missing").empty());
}

TEST(IniFileReaderDescription, OdditiesInFileOrder) {
    const IniFileReader reader = IniFileReader::FromBytes(
        "\xEF\xBB\xBF[A]\r\nk=v\r[B\r\n[C] ; old [D]\r\n[B]\r\n[]\r\n=x\r\nno equals\r\nk=1\r\nk=2\r\n"
        "v=\0\x1a\x0c\r\n[\xC4]\r\n[\xE4]\r\nw="s +
        std::string(65536, 'x') + "\r\n");
    EXPECT_EQ(OddityKinds(reader),
              (std::vector<Kind>{Kind::kUtf8Bom, Kind::kLineWithoutEquals, Kind::kKeyBeforeFirstSection,
                                 Kind::kCrOnlyLineEnds, Kind::kHeaderWithoutBracket, Kind::kTextAfterHeader,
                                 Kind::kDuplicateSection, Kind::kEmptySectionName, Kind::kEmptyKeyName,
                                 Kind::kLineWithoutEquals, Kind::kDuplicateKey, Kind::kNulByte, Kind::kCtrlZ,
                                 Kind::kControlCharacter, Kind::kNameCaseOfNonAscii, Kind::kLongValue}));
    const IniFileReader::Oddity& duplicate = reader.Oddities()[6];
    EXPECT_EQ(duplicate.line, 5);
    EXPECT_EQ(duplicate.text, "[B]");
    EXPECT_EQ(reader.Oddities().back().text.size(), IniFileReader::kMaxOddityText);

    EXPECT_EQ(OddityKinds(IniFileReader::FromBytes("\xFF\xFE[\0\x01\x01]\0"s)),
              (std::vector<Kind>{Kind::kUtf16LeBom, Kind::kUnmappableCharacter}));
    EXPECT_EQ(OddityKinds(IniFileReader::FromBytes("\xFE\xFF\0[\0S\0]"s)),
              (std::vector<Kind>{Kind::kUtf16BeBom, Kind::kNulByte, Kind::kLineWithoutEquals}));
    EXPECT_TRUE(IniFileReader::FromBytes("[S]\r\n; note\r\n\r\nk = \"v\"\r\n").Oddities().empty());
}

}  // namespace
}  // namespace zs::bootstrap
