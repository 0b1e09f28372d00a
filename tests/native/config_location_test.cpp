// Where the settings live: the command line that may move them.
#include "app/config_location.h"
#include "app/instance_claim.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
const std::string kDefaultIni = "C:\\ProgramData\\Karvo\\cfg\\kvMidi.ini";

TEST(CommandLine, OptionsApplyFromTheLeftUntilTheFirstThingThatIsNoOption)
{
    struct CommandLineCase { std::string commandLine, iniFile, profile; };
    const CommandLineCase cases[] = {
        { "", kDefaultIni, "" }, { "-a D:\\Cfg\\", "D:\\Cfg\\cfg\\kvMidi.ini", "" },
        { "--alternate-appdata \t\t D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini", "" },
        { "-a Other", "C:\\ProgramData\\Other\\cfg\\kvMidi.ini", "" },
        { "-i my.ini", "C:\\ProgramData\\Karvo\\cfg\\my.ini", "" }, { "--alternate-ini C:\\x\\my.ini", "C:\\x\\my.ini", "" },
        { "-i C:\\x\\my.ini -a D:\\Cfg", "D:\\Cfg\\cfg\\kvMidi.ini", "" }, { "-a D:\\Cfg -i my.ini", "D:\\Cfg\\cfg\\my.ini", "" },
        { "-p One --profile Two", kDefaultIni, "Two" }, { "-p Live -x -i my.ini", kDefaultIni, "Live" },
        { "--alternate-appdata=X", kDefaultIni, "" }, { "-A D:\\Cfg", kDefaultIni, "" }, { "-a\tD:\\Cfg", kDefaultIni, "" },
        { "-i my.ini -a", "C:\\ProgramData\\Karvo\\cfg\\my.ini", "" }, { "-p X -a ", kDefaultIni, "X" },
        // A path past the system's limit is refused whole, and the parsing ends there.
        { "-a D:\\" + std::string(242, 'd') + " -p After", kDefaultIni, "" },
        { "-i " + std::string(235, 'i') + " -p After", kDefaultIni, "" },
        { "-a D:\\" + std::string(241, 'd'), "D:\\" + std::string(241, 'd') + "\\cfg\\kvMidi.ini", "" },
        { "-p " + std::string(255, 'p'), kDefaultIni, std::string(255, 'p') }, { "-p " + std::string(256, 'p'), kDefaultIni, "" },
    };
    for (const CommandLineCase& c : cases) {
        ConfigLocation location{ "C:\\ProgramData\\", "C:\\ProgramData\\Karvo\\", "", "", "" };
        UseDataDirectory(location, [](const std::string&) {});
        ApplyCommandLine(c.commandLine, location, [](const std::string&) {});
        EXPECT_EQ(std::pair(location.iniFile, location.startProfile), std::pair(c.iniFile, c.profile)) << c.commandLine;
    }
}

// Folders made along a relative path are the end-to-end test's.
TEST(PathText, FoldersAlongAPathLeaveOutTheDriveAndTheProgramsFolderEndsWithItsSeparator)
{
    using Folders = std::vector<std::string>;
    const std::pair<std::string, Folders> cases[] = {
        { "C:\\kv\\cfg\\", { "C:\\kv", "C:\\kv\\cfg" } }, { "ab\\c\\x", { "ab", "ab\\c" } }, { "\\kv\\", { "\\kv" } },
        { "a\\", { "a" } }, { std::string(258, 'a') + "\\", { std::string(258, 'a') } }, { std::string(259, 'a') + "\\", {} },
    };
    for (const auto& [path, folders] : cases)
        EXPECT_EQ(FoldersAlongPath(path), folders) << path;
    EXPECT_EQ(DirectoryOfPath("C:\\Program Files\\kvMidi/kvMidi.exe") + "|" + DirectoryOfPath("C:") + DirectoryOfPath("C:k") +
                  "|" + DirectoryOfPath("kvMidi.exe") + "|" + DirectoryOfPath(std::string_view("C:", 1)),
              "C:\\Program Files\\kvMidi/|C:C:||");
}
}

TEST(InstanceClaim, OneNameForOneFileWhateverTheCaseOfItsLetters)
{
    EXPECT_EQ(InstanceClaimName("C:\\KARVO\\AZ.INI"), InstanceClaimName("c:\\karvo\\az.ini"));
    EXPECT_EQ(InstanceClaimName("c:\\karvo\\az.ini"), "kvMidi-settings-8f29bda03371b4dc") << "the name earlier versions claim";
}
