// Where the settings live: the command line and the folders made for them.
#include "app/config_location.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>


namespace {
const std::string kDefaultIni = "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini";

struct Outcome { ConfigLocation location; std::vector<std::string> created; };

// The location after start-up's default and then the command line, as the program does it.
Outcome Apply(const std::string& commandLine)
{
    Outcome outcome;
    outcome.location.baseDir = "C:\\ProgramData\\";
    outcome.location.dataDir = "C:\\ProgramData\\Karvo\\";
    UseDataDirectory(outcome.location, [](const std::string&) {});
    ApplyCommandLine(commandLine, outcome.location, [&](const std::string& path) { outcome.created.push_back(path); });
    return outcome;
}

TEST(CommandLine, OptionsApplyFromTheLeftUntilTheFirstThingThatIsNoOption)
{
    struct CommandLineCase { std::string commandLine, iniFile, profile; };
    const std::string fits = "D:\\" + std::string(241, 'd');   // + "\cfg\kvMidi.ini": 259 characters
    const CommandLineCase cases[] = {
        { "", kDefaultIni, "" }, { "-a D:\\Cfg\\", "D:\\Cfg\\cfg\\kvMidi.ini", "" },
        { "--alternate-appdata \t D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini", "" },
        { "-a Other", "C:\\ProgramData\\Other\\cfg\\kvMidi.ini", "" },
        { "-i my.ini", "C:\\ProgramData\\Karvo\\cfg\\my.ini", "" }, { "--alternate-ini C:\\x\\my.ini", "C:\\x\\my.ini", "" },
        { "-i C:\\x\\my.ini -a D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini", "" }, { "-a D:\\Cfg -i my.ini", "D:\\Cfg\\cfg\\my.ini", "" },
        { "-p One --profile Two", kDefaultIni, "Two" }, { "-p Live -x -i my.ini", kDefaultIni, "Live" },
        { "--alternate-appdata=X", kDefaultIni, "" }, { "-A D:\\Cfg", kDefaultIni, "" }, { "-a\tD:\\Cfg", kDefaultIni, "" },
        { "-i my.ini -a", "C:\\ProgramData\\Karvo\\cfg\\my.ini", "" },
        // Words past 255 characters and paths past the system's limit are refused whole.
        { "-p First -p " + std::string(256, 'x') + " -i o.ini", kDefaultIni, "First" },
        { "-p " + std::string(255, 'y'), kDefaultIni, std::string(255, 'y') },
        { "-a " + fits, fits + "\\cfg\\kvMidi.ini", "" }, { "-a " + fits + "d -p After", kDefaultIni, "" },
        { "-i " + std::string(234, 'r'), "C:\\ProgramData\\Karvo\\cfg\\" + std::string(234, 'r'), "" },
        { "-i " + std::string(235, 'r'), kDefaultIni, "" },
    };
    for (const CommandLineCase& c : cases) {
        Outcome outcome = Apply(c.commandLine);
        EXPECT_EQ(outcome.location.iniFile, c.iniFile) << c.commandLine;
        EXPECT_EQ(outcome.location.startProfile, c.profile) << c.commandLine;
    }
}

TEST(CommandLine, AppDataCreatesItsConfigFolderAndIniCreatesNothing)
{
    EXPECT_TRUE(Apply("-i C:\\x\\my.ini -a " + std::string(260, 'd')).created.empty());
    Outcome both = Apply("-a D:\\One -a Two");
    EXPECT_EQ(both.created, (std::vector<std::string>{ "D:\\One\\cfg\\", "C:\\ProgramData\\Two\\cfg\\" }));
    EXPECT_EQ(both.location.dataDir, "C:\\ProgramData\\Two\\");
}

TEST(PathText, FoldersAlongAPathIncludeARelativeFirstOneButNoDrive)
{
    using Folders = std::vector<std::string>;
    EXPECT_EQ(FoldersAlongPath("C:\\kv\\cfg\\"), (Folders{ "C:\\kv", "C:\\kv\\cfg" }));
    EXPECT_EQ(FoldersAlongPath("\\kv\\\\cfg\\"), (Folders{ "\\kv", "\\kv\\\\cfg" }));
    EXPECT_EQ(FoldersAlongPath("C:\\" + std::string(256, 'x') + "\\"), Folders{});
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\kvMidi\\kvMidi.exe"), "C:\\Program Files\\kvMidi\\");
    EXPECT_EQ(DirectoryOfPath("C:kvMidi.exe"), "C:");
    EXPECT_EQ(DirectoryOfPath("kvMidi.exe"), "");
}
}
