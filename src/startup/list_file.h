// The list file SETUP.LST beside the program: its sections, keys, value sizes and defaults, and the plain
// readings of single values. The language entries are read by language_filter.h and the start-up file
// entries by start_up_entries.h. Every reading goes through a ProfileReader opened on the list file's full
// path.
#pragma once

#include <cstddef>
#include <string>

#include "profile/profile_reader.h"

namespace zs::bootstrap {

inline constexpr char kListFileName[] = "SETUP.LST";

inline constexpr char kSetupLangSection[] = "SetupLang";
inline constexpr char kStartUpSection[] = "StartUp";

inline constexpr char kFilterCodeKey[] = "0";
inline constexpr char kEditionWordKey[] = "100";
inline constexpr char kAppNameKey[] = "AppName";
inline constexpr char kTmpDirSizeKey[] = "TmpDirSize";
inline constexpr char kTmpDirNameKey[] = "TmpDirName";

// Buffer sizes of the readings, terminator included: a value keeps at most one character less.
inline constexpr size_t kFilterCodeBufferSize = 8;
inline constexpr size_t kLanguageEntryBufferSize = 256;
inline constexpr size_t kEditionWordBufferSize = 32;
inline constexpr size_t kStartUpValueBufferSize = 32;

// The default of every "StartUp" reading. A value equal to it, byte for byte, counts as missing; an empty
// value does not.
inline constexpr char kNoEntry[] = "NO ENTRY";

bool IsMissingEntry(const std::string& value);

// What the filter code says before any language entry is read.
enum class FilterCodeKind {
    kRedirect,  // begins with "0": the user is sent to the other setup program
    kEmpty,     // missing or empty: the list file is corrupted
    kUsable,    // filters the language entries
};

// "SetupLang" key "0", default "", at most 7 characters.
std::string ReadFilterCode(const ProfileReader& listFile);
FilterCodeKind ClassifyFilterCode(const std::string& filterCode);

// "SetupLang" key "100", default "", at most 31 characters.
std::string ReadEditionWord(const ProfileReader& listFile);
// The edition word switches the language dialog into location mode when it contains "Standard"
// (case-sensitive, anywhere).
bool IsLocationModeEdition(const std::string& editionWord);

// "StartUp" keys "AppName", "TmpDirSize" and "TmpDirName", default "NO ENTRY", at most 31 characters each.
std::string ReadAppName(const ProfileReader& listFile);
std::string ReadTmpDirSize(const ProfileReader& listFile);
std::string ReadTmpDirName(const ProfileReader& listFile);

}  // namespace zs::bootstrap
