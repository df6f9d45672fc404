// The portable INI reader against the real GetPrivateProfileStringA (under Wine) on a corpus of awkward
// files, with the readings setup.exe makes: the list file's keys with their defaults and buffer sizes, the
// location profile's section list and the values of every location, and odd buffer sizes. Both readers must
// give the same text, except where Wine is known to read differently from Windows: there the portable reader
// must give Windows' answer, written out here with the fact it rests on (the sources are named in
// ini_file_reader.cpp: [K] Wine's profile conformance tests run on Windows, [R] the
// IniFileFormatReverseEngineering tests run on Windows 10, [I] inferred from those).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "profile/ini_file_reader.h"
#include "profile/private_profile_reader_win32.h"
#include "temp_directory.h"

namespace zs::bootstrap {
namespace {

using namespace std::string_literals;
using Text = std::optional<std::string>;  // nullopt: a null pointer

constexpr size_t kAnySize = static_cast<size_t>(-1);

struct Query {
    Text section;
    Text key;
    Text defaultValue;
    size_t size = 0;
};

// A reading on which Wine is known to answer differently from Windows. With size kAnySize it stands for every
// value reading of that section and key (any default and size); `windows` is then the uncut value, or nullopt
// for the default.
struct WineDifference {
    Query query;
    Text windows;
    const char* source;
};

enum class Readings { kListFile, kLocationProfile, kNone };

struct CorpusFile {
    const char* name;
    Text bytes;  // nullopt: no file at all
    Readings readings;
    std::vector<Query> extra = {};
    std::vector<WineDifference> wineDifferences = {};
};

std::string Printable(const Text& text) {
    if (!text) return "(null)";
    std::string out = "\"";
    for (unsigned char c : *text) {
        if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out + "\"";
}

std::string Describe(const Query& query) {
    return "[" + Printable(query.section) + "] " + Printable(query.key) + " default " +
           Printable(query.defaultValue) + " size " + std::to_string(query.size);
}

const char* Pointer(const Text& text) {
    return text ? text->c_str() : nullptr;
}

std::string Lines(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
    std::string text;
    for (const std::string& line : lines) text += line + end;
    return text;
}

// Code page 1252 text as UTF-16 (only the characters the corpus uses beyond Latin-1: the euro sign).
std::string Utf16(const std::string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (unsigned char c : text) {
        unsigned unit = c == 0x80 ? 0x20AC : c;
        char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

const std::string kListFile = Lines(
    {"[SetupLang]", "0=E", "1=English,E", "2=Deutsch,E", "100=Professional", "[StartUp]", "AppName=Example",
     "TmpDirSize=1048576", "TmpDirName=C:\\ZSTMP", "1=_SETUP.EXE", "2=SETUPDAT.DLL", "3=SETUPHLP.HLP,1"});
const std::string kLocations = Lines({"[Wien]", "Name=Austria", "Setup=Deutsch", "Messages=ger.dll",
                                      "Help=ger.hlp", "LicencLang=Deutsch", "[Zurich]", "Name=Switzerland",
                                      "Setup=Deutsch", "[London]", "Name=United Kingdom"});

// The value readings of the list file, as setup.exe makes them, and a few odd buffer sizes.
std::vector<Query> ListFileReadings() {
    std::vector<Query> readings = {{"SetupLang", "0", "", 8}, {"SetupLang", "100", "", 32}};
    for (int i = 1; i <= 12; ++i) readings.push_back({"SetupLang", std::to_string(i), "", 256});
    for (const char* key : {"AppName", "TmpDirSize", "TmpDirName"})
        readings.push_back({"StartUp", key, "NO ENTRY", 32});
    for (int i = 1; i <= 12; ++i) readings.push_back({"StartUp", std::to_string(i), "NO ENTRY", 32});
    for (size_t size : {0, 1, 2, 3}) readings.push_back({"StartUp", "1", "NO ENTRY", size});
    for (size_t size : {1, 2}) readings.push_back({"SetupLang", "0", "", size});
    return readings;
}

std::vector<Query> SectionListReadings() {
    std::vector<Query> readings;
    for (size_t size : {0, 1, 2, 3, 16384}) readings.push_back({std::nullopt, std::nullopt, "", size});
    return readings;
}

// The names of a section list as a reader returned it (the last one possibly cut).
std::vector<std::string> SplitNames(const std::string& list) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start < list.size()) {
        size_t end = std::min(list.find('\0', start), list.size());
        names.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Every location's values, read as setup.exe reads them: by the name from the list and by the name cut to 127
// characters; for long lists the first and the last 20 locations.
std::vector<Query> LocationReadings(const std::string& sectionList) {
    std::vector<std::string> names = SplitNames(sectionList);
    if (names.size() > 40) names.erase(names.begin() + 20, names.end() - 20);
    std::vector<Query> readings;
    for (const std::string& full : names) {
        std::vector<std::string> forms = {full};
        if (full.size() > 127) forms.push_back(full.substr(0, 127));
        for (const std::string& name : forms) {
            readings.push_back({name, "Name", "", 64});
            readings.push_back({name, "Setup", "English", 64});
            readings.push_back({name, "Messages", "eng.dll", 64});
            readings.push_back({name, "Help", "eng.hlp", 256});
            readings.push_back({name, "LicencLang", "English", 64});
        }
    }
    return readings;
}

const WineDifference* KnownDifference(const CorpusFile& file, const Query& query) {
    for (const WineDifference& difference : file.wineDifferences) {
        const Query& known = difference.query;
        if (known.section != query.section || known.key != query.key) continue;
        if (known.size == kAnySize ? query.key.has_value()
                                   : known.size == query.size && known.defaultValue == query.defaultValue) {
            return &difference;
        }
    }
    return nullptr;
}

std::string WindowsAnswer(const WineDifference& difference, const Query& query) {
    if (difference.query.size != kAnySize) return *difference.windows;
    std::string value = difference.windows ? *difference.windows : query.defaultValue.value_or("");
    return query.size == 0 ? std::string() : value.substr(0, query.size - 1);
}

std::vector<CorpusFile> Corpus() {
    const std::string listLf = Lines({"[SetupLang]", "0=E", "1=English,E", "[StartUp]", "AppName=Example",
                                      "TmpDirSize=1048576", "1=_SETUP.EXE"},
                                     "\n");
    const char* const kBracketless =
        "[R SquareBracket_Tests.Given_ASectionNameWithMissingClosingBracket: \"[Name\" starts section Name; "
        "Wine takes the line for no header]";
    const char* const kUtf8Bom =
        "[R UTF8_Tests.Given_AFileWithUTF8BOM_When_ReadingTheContent_Then_TheFirstLineIsBroken: the header "
        "on the mark's line is no header, later lines are read byte for byte; Wine skips the mark and "
        "converts UTF-8]";
    const char* const kUtf16Be =
        "[R UTF16BE_Tests.Given_UTF16BEBOM_When_ReadingTheContent_Then_WeGetTheDefaultValue: Windows does "
        "not read UTF-16 BE; Wine does]";
    const char* const kFirstBracket =
        "[R SquareBracket_Tests.Given_ASectionNameWithClosingBracket, "
        "Given_KeyValueBehindClosingSquareBracket: the name ends at the first \"]\"; Wine ends it at the "
        "last]";

    std::vector<CorpusFile> corpus;
    corpus.push_back({"CrLf", kListFile, Readings::kListFile});
    corpus.push_back({"LfOnly", listLf, Readings::kListFile});
    corpus.push_back({"CrOnly",
                      Lines({"[SetupLang]", "0=E", "1=English,E", "[StartUp]", "AppName=Example",
                             "TmpDirSize=1", "1=_SETUP.EXE"},
                            "\r"),
                      Readings::kListFile});
    corpus.push_back({"MixedLineEnds",
                      "[SetupLang]\n\r0=E\r\r\n1=English,E\n\n[StartUp]\rAppName=Example\r\n\rTmpDirSize="
                      "1\n\r1=_SETUP.EXE",
                      Readings::kListFile});
    corpus.push_back(
        {"DuplicateSection",
         kListFile + Lines({"[StartUp]", "4=EXTRA.DLL", "AppName=Other", "[setuplang]", "3=X,E"}),
         Readings::kListFile});
    corpus.push_back({"DuplicateKeys",
                      Lines({"[SetupLang]", "0=E", "1=English,E", "1=Deutsch,E", "0=G", "[StartUp]",
                             "AppName=A", "appname=B", "TmpDirSize=1", "1=_SETUP.EXE", "1=OTHER.EXE"}),
                      Readings::kListFile});
    corpus.push_back({"CaseOfNames",
                      Lines({"[setuplang]", "0=e", "1=English,XE", "[STARTUP]", "APPNAME=Example",
                             "tmpdirsize=5", "1=a.exe"}),
                      Readings::kListFile});
    corpus.push_back({"BlanksAroundNamesAndValues",
                      Lines({"  [ SetupLang ]  ", "\t0 \t= \tE\t ", "1 =  English , E  ", "[\tStartUp\t]",
                             "\t AppName \t=  My = App \t", " 1 =  _SETUP.EXE  ", "TmpDir Size=1"}),
                      Readings::kListFile});
    corpus.push_back({"VerticalTabAndFormFeed",
                      Lines({"[SetupLang]",
                             "0=\x0b"
                             "E\x0c",
                             "\x0c[StartUp]", "AppName=\x0bMy App\x0c",
                             "\x0c"
                             "1=_SETUP.EXE\x0b",
                             "2=A\x0c"
                             "B"}),
                      Readings::kListFile});
    corpus.push_back({"CtrlZAtTheEnd", kListFile + "\x1a", Readings::kListFile});
    corpus.push_back(
        {"CtrlZAfterTheLastValue", kListFile.substr(0, kListFile.size() - 2) + "\x1a", Readings::kListFile});
    corpus.push_back({"CtrlZInsideLines",
                      Lines({"[SetupLang]", "0=E", "\x1a[StartUp]",
                             "AppName=A\x1a"
                             "B",
                             "\x1a"
                             "1=_SETUP.EXE\x1a"}),
                      Readings::kListFile});
    corpus.push_back(
        {"Quotes",
         Lines({"[SetupLang]", "0=\"E\"", "1='English,E'", "2=\"Deutsch,E'", "[StartUp]",
                "AppName=\"  My App  \"", "TmpDirSize=\"\"", "TmpDirName='C:\\TMP", "1=\"_SETUP.EXE\"",
                "2=\"A\"B\"", "3=\"", "4='\"X\"'"}),
         Readings::kListFile,
         {},
         {{{"SetupLang", "0", "", 2},
           "E",
           "[I: one pair of quotes goes before the value is cut (K name2, R Quotes_Tests read whole values); "
           "Wine gives one character less when the unquoted value just fills the buffer]"}}});
    corpus.push_back(
        {"Comments",
         Lines({"; list file", "[SetupLang]", ";0=X", "0=E", "  ;1=Old,E", "1=English,E ; and more",
                "[StartUp]", "#AppName=Hash", "AppName=App;Name", "\t;1=OLD.EXE", "1=_SETUP.EXE"}),
         Readings::kListFile});
    corpus.push_back({"LineWithoutEqualsBeforeTheKey",
                      Lines({"[SetupLang]", "0=E", "1", "1=English,E", "[StartUp]", "AppName", "AppName=App",
                             "1", "1=_SETUP.EXE"}),
                      Readings::kListFile,
                      {},
                      {{{"SetupLang", "1", "", kAnySize},
                        "English,E",
                        "[K test_profile_string: a line without \"=\" is no key; I: a lookup does not find "
                        "it; Wine finds it and gives the default]"},
                       {{"StartUp", "AppName", "", kAnySize}, "App", "[K test_profile_string; I]"},
                       {{"StartUp", "1", "", kAnySize}, "_SETUP.EXE", "[K test_profile_string; I]"}}});
    corpus.push_back({"HeaderWithoutBracket",
                      Lines({"[SetupLang]", "0=E", "1=English,E", "[StartUp", "AppName=App", "TmpDirSize=100",
                             "1=_SETUP.EXE"}),
                      Readings::kListFile,
                      {},
                      {{{"StartUp", "AppName", "", kAnySize}, "App", kBracketless},
                       {{"StartUp", "TmpDirSize", "", kAnySize}, "100", kBracketless},
                       {{"StartUp", "1", "", kAnySize}, "_SETUP.EXE", kBracketless}}});
    corpus.push_back({"HeaderThatLooksLikeAKey",
                      Lines({"[StartUp]", "AppName=A", "[1=_SETUP.EXE", "TmpDirSize=5"}),
                      Readings::kListFile,
                      {},
                      {{{"StartUp", "TmpDirSize", "", kAnySize}, std::nullopt, kBracketless}}});
    corpus.push_back({"DoubleBrackets",
                      Lines({"[[SetupLang]]", "0=E", "[StartUp]]", "AppName=A", "[[StartUp]", "1=X.EXE"}),
                      Readings::kListFile,
                      {},
                      {{{"StartUp", "AppName", "", kAnySize}, "A", kFirstBracket}}});
    corpus.push_back({"CommentAfterHeader",
                      Lines({"[SetupLang] ; languages", "0=E", "[StartUp]\t; start-up files", "AppName=A"}),
                      Readings::kListFile});
    corpus.push_back({"CommentWithBracketAfterHeader",
                      Lines({"[SetupLang]", "0=E", "[StartUp] ; was [Start]", "AppName=A", "1=_SETUP.EXE"}),
                      Readings::kListFile,
                      {},
                      {{{"StartUp", "AppName", "", kAnySize}, "A", kFirstBracket},
                       {{"StartUp", "1", "", kAnySize}, "_SETUP.EXE", kFirstBracket}}});
    corpus.push_back({"TextAfterHeader",
                      Lines({"[SetupLang]0=X", "0=E", "[StartUp]AppName=Inline", "TmpDirSize=1"}),
                      Readings::kListFile});
    corpus.push_back({"KeysBeforeTheFirstSection",
                      Lines({"AppName=Early", "0=X", "[SetupLang]", "1=English,E", "[StartUp]"}),
                      Readings::kListFile});
    corpus.push_back({"Utf8BomBeforeTheFirstSection",
                      "\xEF\xBB\xBF" + kListFile,
                      Readings::kListFile,
                      {},
                      {{{"SetupLang", "0", "", kAnySize}, std::nullopt, kUtf8Bom},
                       {{"SetupLang", "1", "", kAnySize}, std::nullopt, kUtf8Bom},
                       {{"SetupLang", "2", "", kAnySize}, std::nullopt, kUtf8Bom},
                       {{"SetupLang", "100", "", kAnySize}, std::nullopt, kUtf8Bom}}});
    corpus.push_back({"Utf8BomOnItsOwnLine", "\xEF\xBB\xBF\r\n" + kListFile, Readings::kListFile});
    corpus.push_back({"Utf8BomWithUmlauts",
                      "\xEF\xBB\xBF\r\n" +
                          Lines({"[StartUp]", "AppName=Z\xC3\xBCrich", "1=\xC3\x84PFEL.EXE", "2=PLAIN.DLL"}),
                      Readings::kListFile,
                      {},
                      {{{"StartUp", "AppName", "", kAnySize}, "Z\xC3\xBCrich", kUtf8Bom},
                       {{"StartUp", "1", "", kAnySize}, "\xC3\x84PFEL.EXE", kUtf8Bom}}});
    corpus.push_back({"Utf16LeBom", Utf16(kListFile, false), Readings::kListFile});
    corpus.push_back(
        {"Utf16LeBomWithCp1252Letters",
         Utf16(Lines({"[StartUp]", "AppName=Z\xFCrich \x80", "1=\xC4PFEL.EXE", "[\xC4rger]", "Name=x"}),
               false),
         Readings::kListFile});
    corpus.push_back({"Utf16BeBom",
                      Utf16(kListFile, true),
                      Readings::kListFile,
                      {},
                      {{{"SetupLang", "0", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"SetupLang", "1", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"SetupLang", "2", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"SetupLang", "100", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "AppName", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "TmpDirSize", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "TmpDirName", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "1", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "2", "", kAnySize}, std::nullopt, kUtf16Be},
                       {{"StartUp", "3", "", kAnySize}, std::nullopt, kUtf16Be}}});
    corpus.push_back({"NulInsideAValue", Lines({"[StartUp]", "AppName=A", "1=SETUP\0.EXE"s, "2=B.DLL"}),
                      Readings::kListFile});
    corpus.push_back({"ValuesCutToTheirBuffers",
                      Lines({"[SetupLang]", "0=ABCDEFGHIJ", "1=" + std::string(300, 'l') + ",E",
                             "100=Standard" + std::string(40, 'e'), "[StartUp]",
                             "AppName=" + std::string(40, 'a'), "1=ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789,1"}),
                      Readings::kListFile});
    corpus.push_back({"ValuesAtTheBufferEdges",
                      Lines({"[SetupLang]", "0=1234567", "1=" + std::string(255, 'a'),
                             "2=" + std::string(256, 'b'), "[StartUp]", "AppName=" + std::string(30, 'c'),
                             "TmpDirSize=" + std::string(31, '9'), "TmpDirName=" + std::string(32, 'd')}),
                      Readings::kListFile});
    corpus.push_back(
        {"ValueOf65536CharactersMore",
         Lines({"[StartUp]", "AppName=A", "1=_SETUP.EXE" + std::string(65536, 'x'),
                "2=" + std::string(65536, 'y')}),
         Readings::kListFile,
         {},
         {{{"StartUp", "1", "", kAnySize},
           "_SETUP.EXE",
           "[R Limits_Tests.Given_AValueOfLength65537_When_AccessingIt_Then_WeGetModuloBehavior: a value "
           "gives its first (length mod 65536) characters; Wine gives it whole]"},
          {{"StartUp", "2", "", kAnySize},
           "",
           "[R Limits_Tests.Given_AValueOfLength65536_When_AccessingIt_Then_WeGetNothingAndNoError]"}}});
    corpus.push_back({"EmptyValuesAndTheMissingMarker",
                      Lines({"[SetupLang]", "0=", "1=", "[StartUp]", "AppName=", "TmpDirSize=NO ENTRY",
                             "TmpDirName=  ", "1="}),
                      Readings::kListFile});
    corpus.push_back({"NumbersWithLeadingZeros",
                      Lines({"[SetupLang]", "0=E", "01=English,E", "[StartUp]", "01=_SETUP.EXE", "2=X"}),
                      Readings::kListFile});
    corpus.push_back(
        {"EmptySectionAndKeyNames",
         Lines({"[]", "AppName=Nameless", "=x", "[StartUp]", "=nothing", "AppName=App", "[SetupLang]", "=E"}),
         Readings::kListFile});
    corpus.push_back({"KeyWithABlankInside", Lines({"[StartUp]", "App Name=x", "Tmp\tDirSize=1", "1 .EXE=y"}),
                      Readings::kListFile});
    corpus.push_back(
        {"LongGarbageLineFirst", std::string(100000, 'g') + "\r\n" + kListFile, Readings::kListFile});
    corpus.push_back(
        {"FormFeedLinesBetweenSections",
         Lines({"[SetupLang]", "0=E", "\x0c", "[StartUp]", "\x0c", "AppName=A", "\x0b\x0c\t", "1=B"}),
         Readings::kListFile});
    corpus.push_back({"ControlCharactersInValues",
                      Lines({"[StartUp]", "AppName=\x1b[1mBold\x1b[0m", "1=A\x07.EXE\x01"}),
                      Readings::kListFile});
    corpus.push_back({"NoFile",
                      std::nullopt,
                      Readings::kListFile,
                      {{"StartUp", std::nullopt, "DEF", 32}, {std::nullopt, std::nullopt, "DEF", 32}}});
    corpus.push_back({"EmptyFile", "", Readings::kListFile, {{"StartUp", std::nullopt, "DEF", 32}}});
    corpus.push_back(
        {"ListCuts",
         kListFile,
         Readings::kNone,
         {{"StartUp", std::nullopt, "DEF", 0},
          {"StartUp", std::nullopt, "DEF", 1},
          {"StartUp", std::nullopt, "DEF", 3},
          {"StartUp", std::nullopt, "DEF", 16},
          {"StartUp", std::nullopt, "DEF", 36},
          {"StartUp", std::nullopt, "DEF", 37},
          {"StartUp", std::nullopt, "DEF", 38},
          {"SetupLang", std::nullopt, "", 256},
          {"Nowhere", std::nullopt, "DEF", 3},
          {std::nullopt, std::nullopt, "DEF", 11},
          {std::nullopt, std::nullopt, "DEF", 19},
          {std::nullopt, "AppName", "DEF", 20},
          {std::nullopt, std::nullopt, "DEF", 20}},
         {{{"StartUp", std::nullopt, "DEF", 2},
           "",
           "[R Limits_Tests.Given_ATooSmallBuffer_When_NullIsUsedForKeyName_Then_SizeIsNotNegative: sizes 1 "
           "and 2 give nothing; Wine gives the default's first character]"}}});
    corpus.push_back({"ArgumentsWithBlanks",
                      kListFile,
                      Readings::kNone,
                      {{" StartUp  ", "  AppName ", "D", 32}},
                      {{{"\tStartUp", "AppName", "D", 32},
                        "D",
                        "[R WhiteSpace_Tests.Given_ASectionNameWithTabsWithinTheBracket: a tab in the "
                        "argument is not ignored; Wine ignores it]"},
                       {{"StartUp", "AppName\t", "D", 32},
                        "D",
                        "[R WhiteSpace_Tests.Given_AKeyWithSpacesBeforeAndAfter: a tab in the argument is "
                        "not ignored]"}}});
    corpus.push_back(
        {"DefaultsWithBlanksAndQuotes",
         kListFile,
         Readings::kNone,
         {{"StartUp", "Missing", "  NO ENTRY  ", 32},
          {"StartUp", "Missing", "NO\tENTRY\t", 32},
          {"StartUp", "Missing", "NO ENTRY   ", 9},
          {"StartUp", "Missing", std::nullopt, 32}},
         {{{"StartUp", "Missing", "\"NO ENTRY\"", 32},
           "\"NO ENTRY\"",
           "[R notes on Windows 10's kernel32 (GetPrivateProfileString Disassembly.md): the default is "
           "copied without its trailing spaces and nothing else; Wine removes its quotes]"},
          {{"StartUp", "Missing", "   ", 32},
           "",
           "[R Reading_Tests.Given_AnIniFileWithKnownContent_When_TheDefaultValueHasTrailingBlanks: trailing "
           "spaces go; Wine keeps one of them]"}}});
    corpus.push_back({"LocationProfileClean", kLocations, Readings::kLocationProfile});
    corpus.push_back(
        {"LocationProfileCrOnly",
         Lines({"[Wien]", "Name=Austria", "Setup=Deutsch", "[Zurich]", "Name=Switzerland"}, "\r"),
         Readings::kLocationProfile});
    corpus.push_back({"LocationProfileUtf16Le", Utf16(kLocations, false), Readings::kLocationProfile});
    corpus.push_back({"LocationProfileUtf8Bom",
                      "\xEF\xBB\xBF" + kLocations,
                      Readings::kLocationProfile,
                      {},
                      {{{std::nullopt, std::nullopt, "", 3}, "Z"s, kUtf8Bom},
                       {{std::nullopt, std::nullopt, "", 16384}, "Zurich\0London\0"s, kUtf8Bom}}});
    corpus.push_back(
        {"LocationDuplicateSections",
         Lines({"[Wien]", "Name=First", "[Zurich]", "Name=Z", "[WIEN]", "Name=Second", "Help=second.hlp"}),
         Readings::kLocationProfile});
    corpus.push_back({"LocationSectionListCut",
                      [] {
                          std::string file;
                          for (int i = 0; i < 2000; ++i)
                              file += "[Location" + std::to_string(10000 + i) + "]\r\nName=L\r\n";
                          return file;
                      }(),
                      Readings::kLocationProfile});
    // Eight names of 2000 characters and one of 366 take 16383 bytes with their NUL bytes: with the list's
    // closing NUL byte they fill the 16384-byte buffer exactly, which counts as too small.
    corpus.push_back({"LocationSectionListExactFit",
                      [] {
                          std::string file;
                          for (char c = 'a'; c < 'i'; ++c)
                              file += "[" + std::string(2000, c) + "]\r\nName=N\r\n";
                          return file + "[" + std::string(366, 'z') + "]\r\nName=Z\r\n";
                      }(),
                      Readings::kLocationProfile});
    corpus.push_back({"LocationHeaderWithoutBracket",
                      Lines({"[Wien", "Name=Austria", "[Zurich]", "Name=Switzerland"}),
                      Readings::kLocationProfile,
                      {},
                      {{{std::nullopt, std::nullopt, "", 3}, "W", kBracketless},
                       {{std::nullopt, std::nullopt, "", 16384}, "Wien\0Zurich\0"s, kBracketless},
                       {{"Wien", "Name", "", kAnySize}, "Austria", kBracketless}}});
    corpus.push_back(
        {"LocationEmptySectionName",
         Lines({"[Wien]", "Name=Austria", "[]", "Name=Nameless", "[Zurich]", "Name=Switzerland"}),
         Readings::kLocationProfile,
         {},
         {{{std::nullopt, std::nullopt, "", 16384},
           "Wien\0\0Zurich\0"s,
           "[R EdgeCases_Tests.Given_ASectionWithNoName_When_UsingEmptyString_Then_WeGetTheValue, K "
           "test_profile_string (todo_wine): \"[]\" is a section; I: it is listed like every header; Wine "
           "leaves it out]"},
          {{"", "Name", "", kAnySize},
           "Nameless",
           "[R EdgeCases_Tests, K test_profile_string (todo_wine)]"}}});
    corpus.push_back({"LocationLongSectionName",
                      Lines({"[" + std::string(200, 'n') + "]", "Name=Long",
                             "[" + std::string(127, 'n') + "]", "Name=Short"}),
                      Readings::kLocationProfile});
    corpus.push_back(
        {"LocationValuesCut",
         Lines({"[Wien]", "Name=" + std::string(100, 'n'), "Help= \"" + std::string(300, 'h') + "\" ",
                "Setup='Deutsch'", "Messages=  ger.dll  ", "LicencLang=\"\""}),
         Readings::kLocationProfile});
    corpus.push_back({"LocationMissingName",
                      Lines({"[Wien]", "Setup=Deutsch", "[Zurich]", "Name=", "[Paris]", "Name=France"}),
                      Readings::kLocationProfile});
    corpus.push_back(
        {"LocationCaseOfLettersBeyondAscii",
         Lines({"[Z\xFCrich]", "Name=Lower", "[Z\xDCRICH]", "Name=Upper", "[\xC4rger]", "Name=A"}),
         Readings::kLocationProfile});
    corpus.push_back({"LocationNoSections", Lines({"; nothing here", "Name=x"}), Readings::kLocationProfile});

    return corpus;
}

void PrintTo(const CorpusFile& file, std::ostream* out) {
    *out << file.name;
}

class ProfileReaderCorpus : public ::testing::TestWithParam<CorpusFile> {};

TEST_P(ProfileReaderCorpus, PortableReaderReadsAsWindows) {
    const CorpusFile& file = GetParam();
    test::TempDirectory directory;
    const std::string path =
        file.bytes ? directory.WriteFile("PROFILE.INI", *file.bytes) : directory.path() + "NONE.INI";
    const PrivateProfileReader windows(path);
    const IniFileReader portable(path);
    EXPECT_EQ(portable.Found(), file.bytes.has_value());
    const IniFileReader fromBytes = IniFileReader::FromBytes(file.bytes.value_or(""));

    std::vector<Query> readings = file.extra;
    if (file.readings == Readings::kListFile) {
        for (const Query& query : ListFileReadings()) readings.push_back(query);
    } else if (file.readings == Readings::kLocationProfile) {
        for (const Query& query : SectionListReadings()) readings.push_back(query);
        for (const Query& query : LocationReadings(portable.GetString(nullptr, nullptr, "", 16384))) {
            readings.push_back(query);
        }
    }
    for (const WineDifference& difference : file.wineDifferences) {
        const Query& query = difference.query;
        bool listed = std::any_of(readings.begin(), readings.end(), [&query](const Query& reading) {
            return reading.section == query.section && reading.key == query.key &&
                   reading.defaultValue == query.defaultValue && reading.size == query.size;
        });
        if (query.size != kAnySize && !listed) readings.push_back(query);
    }

    for (const Query& query : readings) {
        const char *section = Pointer(query.section), *key = Pointer(query.key);
        const char* defaultValue = Pointer(query.defaultValue);
        std::string ours = portable.GetString(section, key, defaultValue, query.size);
        if (file.bytes) {
            EXPECT_EQ(fromBytes.GetString(section, key, defaultValue, query.size), ours) << Describe(query);
        }
        if (const WineDifference* difference = KnownDifference(file, query)) {
            EXPECT_EQ(Printable(ours), Printable(WindowsAnswer(*difference, query)))
                << Describe(query) << ": Windows' answer " << difference->source;
        } else {
            EXPECT_EQ(Printable(ours), Printable(windows.GetString(section, key, defaultValue, query.size)))
                << Describe(query) << " (portable reader, then GetPrivateProfileStringA)";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileReaderCorpus, ::testing::ValuesIn(Corpus()),
                         [](const ::testing::TestParamInfo<CorpusFile>& info) { return info.param.name; });

}  // namespace
}  // namespace zs::bootstrap
