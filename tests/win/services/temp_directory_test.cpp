// Emptying and removing a temporary directory on the real file system of the prefix. What a search meets
// first is the file system's business, so the tests ask the search for its order instead of assuming one.

#include "services/temp_directory_win32.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_files.h"

namespace zs {
namespace {

using test::FileExists;
using test::ScratchDirectory;
using test::SearchOrder;
using test::WriteWholeFile;

std::string CurrentDirectory() {
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    return directory;
}

bool IsDriveCRoot(const std::string& directory) {
    return _stricmp(directory.c_str(), "c:\\") == 0;
}

// The names of a search that are files or directories of their own, in search order.
std::vector<std::string> RealEntries(const std::string& directory) {
    std::vector<std::string> names;
    for (const std::string& name : SearchOrder(directory)) {
        if (name[0] != '.') names.push_back(name);
    }
    return names;
}

TEST(RemoveTempDirectory, RemovesAnEmptyDirectoryAndLeavesDriveCRootCurrent) {
    ScratchDirectory scratch("remove_empty");
    ASSERT_EQ(SearchOrder(scratch.path()), (std::vector<std::string>{".", ".."}));
    EXPECT_EQ(DeleteMatchingFiles((scratch.withBackslash() + "*.*").c_str()), 1);
    EXPECT_EQ(RemoveTempDirectory(scratch.withBackslash().c_str()), 0);
    EXPECT_FALSE(FileExists(scratch.path()));
    EXPECT_TRUE(IsDriveCRoot(CurrentDirectory())) << CurrentDirectory();
}

TEST(RemoveTempDirectory, RemovesTheDirectoryThatIsTheCurrentOne) {
    ScratchDirectory scratch("remove_current");
    ASSERT_TRUE(WriteWholeFile(scratch.file("SETUP.INS"), "x"));
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
    EXPECT_EQ(RemoveTempDirectory(scratch.withBackslash().c_str()), 0);
    EXPECT_FALSE(FileExists(scratch.path()));
    EXPECT_TRUE(IsDriveCRoot(CurrentDirectory())) << CurrentDirectory();
}

TEST(RemoveTempDirectory, DeletesReadOnlyHiddenAndSystemFiles) {
    ScratchDirectory scratch("remove_attributes");
    const std::vector<std::pair<std::string, DWORD>> files = {
        {"a_plain.dll", FILE_ATTRIBUTE_NORMAL},
        {"b_readonly.dll", FILE_ATTRIBUTE_READONLY},
        {"c_hidden.dll", FILE_ATTRIBUTE_HIDDEN},
        {"d_system.dll", FILE_ATTRIBUTE_SYSTEM},
        {"e_all.dll", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
    };
    for (const auto& [name, attributes] : files) {
        ASSERT_TRUE(WriteWholeFile(scratch.file(name), name));
        ASSERT_TRUE(SetFileAttributesA(scratch.file(name).c_str(), attributes));
    }
    EXPECT_EQ(RemoveTempDirectory(scratch.withBackslash().c_str()), 0);
    EXPECT_FALSE(FileExists(scratch.path()));
}

TEST(DeleteMatchingFiles, DeletesAReadOnlyFileThatTheSearchMeetsFirst) {
    // Every entry gets the same treatment, the first one too: a read-only first file must not keep the
    // directory from being emptied.
    ScratchDirectory scratch("delete_first_readonly");
    for (const char* name : {"SETUP.INS", "SETUP.PKG", "_SETUP.EXE"}) {
        ASSERT_TRUE(WriteWholeFile(scratch.file(name), name));
    }
    const std::vector<std::string> entries = RealEntries(scratch.path());
    ASSERT_EQ(entries.size(), 3u);
    ASSERT_TRUE(SetFileAttributesA(scratch.file(entries.front()).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(DeleteMatchingFiles((scratch.withBackslash() + "*.*").c_str()), 1);
    EXPECT_TRUE(RealEntries(scratch.path()).empty());
}

TEST(DeleteMatchingFiles, LeavesNamesThatBeginWithADot) {
    ScratchDirectory scratch("delete_dot_names");
    ASSERT_TRUE(WriteWholeFile(scratch.file(".keep"), "k"));
    ASSERT_TRUE(WriteWholeFile(scratch.file("SETUP.INS"), "s"));
    EXPECT_EQ(DeleteMatchingFiles((scratch.withBackslash() + "*.*").c_str()), 1);
    EXPECT_TRUE(FileExists(scratch.file(".keep")));
    EXPECT_FALSE(FileExists(scratch.file("SETUP.INS")));
    // The directory is not empty, so it stays.
    EXPECT_EQ(RemoveTempDirectory(scratch.withBackslash().c_str()), -1);
    EXPECT_TRUE(FileExists(scratch.file(".keep")));
}

TEST(DeleteMatchingFiles, DeletesOnlyWhatMatchesThePattern) {
    ScratchDirectory scratch("delete_pattern");
    ASSERT_TRUE(WriteWholeFile(scratch.file("ONE.TMP"), "1"));
    ASSERT_TRUE(WriteWholeFile(scratch.file("TWO.TMP"), "2"));
    ASSERT_TRUE(WriteWholeFile(scratch.file("KEEP.DLL"), "k"));
    EXPECT_EQ(DeleteMatchingFiles((scratch.withBackslash() + "*.TMP").c_str()), 1);
    EXPECT_EQ(RealEntries(scratch.path()), (std::vector<std::string>{"KEEP.DLL"}));
    EXPECT_EQ(DeleteMatchingFiles((scratch.withBackslash() + "*.TMP").c_str()), 0);
}

TEST(RemoveTempDirectory, StopsAtASubdirectoryAndKeepsWhatFollowsIt) {
    ScratchDirectory scratch("remove_subdirectory");
    for (const char* name : {"a1.dll", "a2.dll", "z1.dll", "z2.dll"}) {
        ASSERT_TRUE(WriteWholeFile(scratch.file(name), name));
    }
    ASSERT_TRUE(CreateDirectoryA(scratch.file("m_sub").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(scratch.file("m_sub") + "\\inner.dll", "i"));

    const std::vector<std::string> entries = RealEntries(scratch.path());
    std::vector<std::string> expectedLeft;
    bool reachedSubdirectory = false;
    for (const std::string& name : entries) {
        reachedSubdirectory = reachedSubdirectory || name == "m_sub";
        if (reachedSubdirectory) expectedLeft.push_back(name);
    }
    ASSERT_TRUE(reachedSubdirectory);

    EXPECT_EQ(RemoveTempDirectory(scratch.withBackslash().c_str()), -1);
    EXPECT_EQ(RealEntries(scratch.path()), expectedLeft);
    EXPECT_TRUE(FileExists(scratch.file("m_sub") + "\\inner.dll"));
    EXPECT_TRUE(IsDriveCRoot(CurrentDirectory())) << CurrentDirectory();
}

TEST(RemoveTempDirectory, AMissingDirectoryIsNotRemovedAndDriveCRootIsCurrentAnyway) {
    ScratchDirectory scratch("remove_missing");
    const std::string missing = scratch.file("never_made") + "\\";
    EXPECT_EQ(DeleteMatchingFiles((missing + "*.*").c_str()), 0);
    ASSERT_TRUE(SetCurrentDirectoryA(scratch.path().c_str()));
    EXPECT_EQ(RemoveTempDirectory(missing.c_str()), -1);
    EXPECT_TRUE(IsDriveCRoot(CurrentDirectory())) << CurrentDirectory();
}

TEST(RemoveTempDirectory, APathWithoutItsTrailingBackslashIsRefused) {
    // Taken as given, "*.*" would match the files beside the directory that share its name as a prefix, and
    // cutting the last character would name another directory.
    ScratchDirectory scratch("remove_no_backslash");
    ASSERT_TRUE(CreateDirectoryA(scratch.file("TMP").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(scratch.file("TMP_beside.txt"), "b"));
    ASSERT_TRUE(CreateDirectoryA(scratch.file("TM").c_str(), nullptr));
    EXPECT_EQ(RemoveTempDirectory(scratch.file("TMP").c_str()), -1);
    EXPECT_TRUE(FileExists(scratch.file("TMP_beside.txt")));
    EXPECT_TRUE(FileExists(scratch.file("TM")));
    EXPECT_TRUE(FileExists(scratch.file("TMP")));
    EXPECT_EQ(RemoveTempDirectory(""), -1);
}

// A directory under the scratch directory whose full path, trailing backslash included, is `length`
// characters long.
std::string MakeDirectoryOfLength(const ScratchDirectory& scratch, size_t length) {
    std::string path = scratch.withBackslash();
    if (path.size() + 2 > length) return {};
    path += std::string(length - path.size() - 1, 'd');
    CreateDirectoryA(path.c_str(), nullptr);
    return path + "\\";
}

TEST(DeleteMatchingFiles, TakesPatternsOfUpTo131Characters) {
    ScratchDirectory scratch("delete_pattern_limit");
    // "C:" + a directory part of 126 + "*.*" = 131.
    const std::string longest = MakeDirectoryOfLength(scratch, 128);
    ASSERT_TRUE(WriteWholeFile(longest + "A", "a"));
    EXPECT_EQ(DeleteMatchingFiles((longest + "*.*").c_str()), 1);
    EXPECT_FALSE(FileExists(longest + "A"));

    // One character more: the pattern is refused and nothing is deleted.
    const std::string tooLong = MakeDirectoryOfLength(scratch, 129);
    ASSERT_TRUE(WriteWholeFile(tooLong + "A", "a"));
    EXPECT_EQ(DeleteMatchingFiles((tooLong + "*.*").c_str()), 0);
    EXPECT_TRUE(FileExists(tooLong + "A"));
}

TEST(DeleteMatchingFiles, TakesDirectoryPartsOfUpTo127Characters) {
    ScratchDirectory scratch("delete_directory_limit");
    // "C:" + a directory part of 127 + "*" = 130.
    const std::string widest = MakeDirectoryOfLength(scratch, 129);
    ASSERT_TRUE(WriteWholeFile(widest + "A", "a"));
    EXPECT_EQ(DeleteMatchingFiles((widest + "*").c_str()), 1);
    EXPECT_FALSE(FileExists(widest + "A"));

    // A directory part of 128 is refused, although the whole pattern (131) would fit.
    const std::string tooWide = MakeDirectoryOfLength(scratch, 130);
    ASSERT_TRUE(WriteWholeFile(tooWide + "A", "a"));
    EXPECT_EQ(DeleteMatchingFiles((tooWide + "*").c_str()), 0);
    EXPECT_TRUE(FileExists(tooWide + "A"));
}

TEST(DeleteMatchingFiles, StopsAtAFoundNameThatMakesThePathTooLong) {
    ScratchDirectory scratch("delete_long_name");
    const std::string directory = MakeDirectoryOfLength(scratch, 100);
    const std::string longName = std::string(40, 'n') + ".dll";  // 2 + 98 + 44 > 131
    ASSERT_TRUE(WriteWholeFile(directory + longName, "n"));
    EXPECT_EQ(DeleteMatchingFiles((directory + "*.*").c_str()), 0);
    EXPECT_TRUE(FileExists(directory + longName));
}

TEST(RemoveTempDirectory, TakesDirectoryPathsOfUpTo252Characters) {
    ScratchDirectory scratch("remove_limits");
    const std::string longest = MakeDirectoryOfLength(scratch, 252);
    ASSERT_TRUE(FileExists(longest));
    EXPECT_EQ(RemoveTempDirectory(longest.c_str()), 0);
    EXPECT_FALSE(FileExists(longest));

    const std::string tooLong = MakeDirectoryOfLength(scratch, 253);
    ASSERT_TRUE(FileExists(tooLong));
    EXPECT_EQ(RemoveTempDirectory(tooLong.c_str()), -1);
    EXPECT_TRUE(FileExists(tooLong));
    EXPECT_TRUE(IsDriveCRoot(CurrentDirectory())) << CurrentDirectory();
}

}  // namespace
}  // namespace zs
