// The typed INI operations and CreatePathDirectories against the real functions of the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "app/create_path_directories_win.h"
#include "config/private_profile_win.h"
#include "config/settings_io.h"
#include "config/typed_ini.h"
#include "tests/support/temp_directory.h"

namespace {
class RealIniFile : public testing::Test {
protected:
    RealIniFile() { names.BuildSettingNameTable(); }

    TempDirectory folder;
    std::string path = folder.Path() + "kvMidi.ini";
    SettingNameTable names;
    PrivateProfileFile file{ path };
    TypedIni ini{ names, file };
};

// Names match without regard to case; blanks and quotes around a value go; values read back
// cut to 1022 characters.
TEST_F(RealIniFile, ReadsAsThePrivateProfileFunctionsDo)
{
    WriteWholeFile(path, "[network]\r\nPORT=4000\r\n[RemoteCmd]\r\nDestination =   \"Room 2\"  \r\n[Midi]\r\nTextCmd=" +
                             std::string(2000, 'v') + "\r\n");
    int port = 0;
    std::string destination;
    std::string textCommand;
    ini.ReadIniInt(SECTION_NETWORK, NETWORK_PORT, 9871, port);
    ini.ReadIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, "", destination);
    ini.ReadIniString(SECTION_MIDI, MIDI_TEXT_CMD, "", textCommand);
    EXPECT_EQ(port, 4000);
    EXPECT_EQ(destination, "Room 2");
    EXPECT_EQ(textCommand, std::string(1022, 'v'));
}

// What is saved loads back (the device list with its trailing blank included), and the
// sections that are not the settings' stay.
TEST_F(RealIniFile, SavedSettingsLoadBackAndOtherSectionsStay)
{
    ini.WriteIniString("Profile1", PROFILE_NAME, "Live");
    Settings saved;
    saved.m_strBroadcastAddress = "127.255.255.255";
    saved.m_bDeviceEnabled[1] = 1;
    saved.m_bDeviceEnabled[4] = 1;
    saved.m_comConfig.Device = 42;
    WriteSettings(ini, saved);
    Settings loaded;
    const bool present[kMidiDeviceCount] = { true, true, true, true, true };
    ReadSettings(ini, present, loaded);
    EXPECT_EQ(loaded.m_strBroadcastAddress, "127.255.255.255");
    EXPECT_EQ(loaded.m_comConfig.Device, 42);
    for (int device = 0; device < kMidiDeviceCount; ++device)
        EXPECT_EQ(loaded.m_bDeviceEnabled[device], saved.m_bDeviceEnabled[device]) << device;
    EXPECT_EQ(ReadWholeFile(path).rfind("[Profile1]\r\nName=Live\r\n", 0), 0u) << ReadWholeFile(path);
}

TEST_F(RealIniFile, AMissingFolderIsNeverMadeAndReadsGiveDefaults)
{
    std::string missing = folder.Path() + "absent\\deeper\\kvMidi.ini";
    PrivateProfileFile nowhere(missing);
    TypedIni lost(names, nowhere);
    Settings settings;
    settings.m_strBroadcastAddress = "127.0.0.1";
    WriteSettings(lost, settings);
    EXPECT_FALSE(FileExists(missing));
    const bool present[kMidiDeviceCount] = {};
    ReadSettings(lost, present, settings);
    EXPECT_EQ(settings.m_strBroadcastAddress, "");
    EXPECT_EQ(settings.m_nPort, 9871);
}

struct PathCase {
    const char* path;        // below the temporary folder; "<long>" stands for 260 characters
    const char* made;        // a folder that must exist afterwards, or ""
    const char* notMade;     // a folder that must not
};

TEST(CreatePathDirectories, MakesEveryMissingFolderUpToTheLastBackslash)
{
    const PathCase cases[] = {
        { "Karvo\\cfg\\more\\", "Karvo\\cfg\\more", "" },
        { "one\\two\\kvMidi.ini", "one\\two", "one\\two\\kvMidi.ini" },
        { "first\\<long>\\", "", "first" },              // past the system's limit: nothing
        { "blocker\\inside\\", "", "blocker\\inside" },   // a file in the way is no error
    };
    for (const PathCase& c : cases) {
        TempDirectory root;
        WriteWholeFile(root.Path() + "blocker", "x");
        std::string path = c.path;
        if (size_t at = path.find("<long>"); at != std::string::npos)
            path.replace(at, 6, std::string(260, 'x'));
        CreatePathDirectories(root.Path() + path);
        EXPECT_TRUE(!*c.made || DirectoryExists(root.Path() + c.made)) << c.path;
        EXPECT_FALSE(*c.notMade && (DirectoryExists(root.Path() + c.notMade) || FileExists(root.Path() + c.notMade)))
            << c.path;
    }
}
}
