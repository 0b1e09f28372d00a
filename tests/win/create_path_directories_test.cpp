#include "app/create_path_directories_win.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_directory.h"

namespace {
TEST(CreatePathDirectories, CreatesEveryMissingFolderAlongThePath)
{
    TempDirectory root;
    CreatePathDirectories(root.Path() + "Karvo\\cfg\\");
    EXPECT_TRUE(DirectoryExists(root.Path() + "Karvo"));
    EXPECT_TRUE(DirectoryExists(root.Path() + "Karvo\\cfg"));

    CreatePathDirectories(root.Path() + "Karvo\\cfg\\more\\");
    EXPECT_TRUE(DirectoryExists(root.Path() + "Karvo\\cfg\\more"));
}

TEST(CreatePathDirectories, NeverCreatesTheTextAfterTheLastBackslash)
{
    TempDirectory root;
    CreatePathDirectories(root.Path() + "one\\two\\kvMidi.ini");
    EXPECT_TRUE(DirectoryExists(root.Path() + "one\\two"));
    EXPECT_FALSE(DirectoryExists(root.Path() + "one\\two\\kvMidi.ini"));
    EXPECT_FALSE(FileExists(root.Path() + "one\\two\\kvMidi.ini"));
}

TEST(CreatePathDirectories, LeavesAPathPastTheSystemLimitAlone)
{
    TempDirectory root;
    std::string tooLong = root.Path() + "first\\" + std::string(260, 'x') + "\\";
    CreatePathDirectories(tooLong);
    EXPECT_FALSE(DirectoryExists(root.Path() + "first"));
}

TEST(CreatePathDirectories, AFileInTheWayIsNotAnError)
{
    TempDirectory root;
    WriteWholeFile(root.Path() + "blocker", "x");
    CreatePathDirectories(root.Path() + "blocker\\inside\\");
    EXPECT_TRUE(FileExists(root.Path() + "blocker"));
    EXPECT_FALSE(DirectoryExists(root.Path() + "blocker\\inside"));
}
}
