#include "app/config_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kAppData = "C:\\ProgramData\\";

struct Outcome {
    ConfigLocation location;
    std::vector<std::string> created;
};

// The location after start-up's default and then the command line, as the program does it.
Outcome Apply(const std::string& commandLine)
{
    Outcome outcome;
    auto create = [&](const std::string& path) { outcome.created.push_back(path); };
    outcome.location.baseDir = kAppData;
    outcome.location.dataDir = kAppData + "Karvo\\";
    UseDataDirectory(outcome.location, create);
    outcome.created.clear();
    ApplyCommandLine(commandLine, outcome.location, create);
    return outcome;
}

struct IniCase {
    const char* commandLine;
    const char* iniFile;
};

class CommandLineIniPath : public testing::TestWithParam<IniCase> {};

TEST_P(CommandLineIniPath, EndsWithTheExpectedIniFile)
{
    EXPECT_EQ(Apply(GetParam().commandLine).location.iniFile, GetParam().iniFile) << GetParam().commandLine;
}

INSTANTIATE_TEST_SUITE_P(Grammar, CommandLineIniPath, testing::Values(
    IniCase{ "", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "   ", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-a D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini" },
    IniCase{ "-a D:\\Cfg\\", "D:\\Cfg\\cfg\\kvMidi.ini" },
    IniCase{ "--alternate-appdata D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini" },
    IniCase{ "-a Other", "C:\\ProgramData\\Other\\cfg\\kvMidi.ini" },
    IniCase{ "-i my.ini", "C:\\ProgramData\\Karvo\\cfg\\my.ini" },
    IniCase{ "--alternate-ini my.ini", "C:\\ProgramData\\Karvo\\cfg\\my.ini" },
    IniCase{ "-i C:\\x\\my.ini", "C:\\x\\my.ini" },
    IniCase{ "-i C:\\x\\my.ini -a D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini" },
    IniCase{ "-a D:\\Cfg -i my.ini", "D:\\Cfg\\cfg\\my.ini" },
    IniCase{ "-a \t D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini" },
    // Not options: parsing stops and the defaults stay.
    IniCase{ "--alternate-appdata=X", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "/a X", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-A D:\\Cfg", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-a\tD:\\Cfg", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-a", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-a ", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    IniCase{ "-p Live -x -i my.ini", "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini" },
    // Options before the one that stops the parsing keep their effect.
    IniCase{ "-i my.ini -a", "C:\\ProgramData\\Karvo\\cfg\\my.ini" },
    IniCase{ "-i my.ini junk -a D:\\Cfg", "C:\\ProgramData\\Karvo\\cfg\\my.ini" }));

TEST(CommandLine, ProfileIsTakenAndTheLastOneWins)
{
    EXPECT_EQ(Apply("-p Live -x -i my.ini").location.startProfile, "Live");
    EXPECT_EQ(Apply("-p One --profile Two").location.startProfile, "Two");
    EXPECT_EQ(Apply("-i my.ini").location.startProfile, "");
}

TEST(CommandLine, AppDataCreatesItsConfigFolderAndIniCreatesNothing)
{
    EXPECT_EQ(Apply("-a D:\\Cfg").created, std::vector<std::string>{ "D:\\Cfg\\cfg\\" });
    EXPECT_TRUE(Apply("-i C:\\x\\my.ini").created.empty());
    Outcome both = Apply("-a D:\\One -a E:\\Two");
    EXPECT_EQ(both.created, (std::vector<std::string>{ "D:\\One\\cfg\\", "E:\\Two\\cfg\\" }));
    EXPECT_EQ(both.location.configDir, "E:\\Two\\cfg\\");
    EXPECT_EQ(both.location.dataDir, "E:\\Two\\");
}

TEST(CommandLine, WordsLongerThan255CharactersAreRefusedWhole)
{
    std::string longName(256, 'x');
    Outcome outcome = Apply("-p First -p " + longName + " -i other.ini");
    EXPECT_EQ(outcome.location.startProfile, "First");
    EXPECT_EQ(outcome.location.iniFile, "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini");

    std::string longest(255, 'y');
    EXPECT_EQ(Apply("-p " + longest).location.startProfile, longest);
}

TEST(CommandLine, PathsPastTheSystemLimitAreRefusedNotCut)
{
    // "D:\" + 241 letters + "\cfg\kvMidi.ini" is exactly 259 characters: the longest that fits.
    std::string fits = "D:\\" + std::string(241, 'd');
    Outcome accepted = Apply("-a " + fits);
    EXPECT_EQ(accepted.location.iniFile, fits + "\\cfg\\kvMidi.ini");
    EXPECT_EQ(accepted.location.iniFile.size(), 259u);

    Outcome refused = Apply("-a " + fits + "d -p After");
    EXPECT_EQ(refused.location.iniFile, "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini");
    EXPECT_TRUE(refused.created.empty());
    EXPECT_EQ(refused.location.startProfile, "");

    std::string relative(240, 'r');   // C:\ProgramData\Karvo\cfg\ is 25 characters
    EXPECT_EQ(Apply("-i " + relative.substr(0, 234)).location.iniFile.size(), 259u);
    EXPECT_EQ(Apply("-i " + relative.substr(0, 235)).location.iniFile, "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini");
}

TEST(PathText, TrailingBackslashAndProgramDirectory)
{
    EXPECT_EQ(WithTrailingBackslash("D:\\Cfg"), "D:\\Cfg\\");
    EXPECT_EQ(WithTrailingBackslash("D:\\Cfg\\"), "D:\\Cfg\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\kvMidi\\kvMidi.exe"), "C:\\Program Files\\kvMidi\\");
    EXPECT_EQ(DirectoryOfPath("C:/tools/kvMidi.exe"), "C:/tools/");
    EXPECT_EQ(DirectoryOfPath("C:kvMidi.exe"), "C:");
    EXPECT_EQ(DirectoryOfPath("kvMidi.exe"), "");
}
}
