// The typed INI operations against the real private-profile functions of the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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

TEST_F(RealIniFile, NamesMatchWithoutRegardToCase)
{
    WriteWholeFile(path, "[network]\r\nbroadcastaddress=127.255.255.255\r\nPORT=4000\r\n");
    std::string address;
    int port = 0;
    ini.ReadIniString(SECTION_NETWORK, NETWORK_BROADCAST_ADDRESS, "", address);
    ini.ReadIniInt(SECTION_NETWORK, NETWORK_PORT, 9871, port);
    EXPECT_EQ(address, "127.255.255.255");
    EXPECT_EQ(port, 4000);
}

TEST_F(RealIniFile, SurroundingBlanksAndQuotesAreRemoved)
{
    WriteWholeFile(path, "[RemoteCmd]\r\nDestination =   \"Room 2\"  \r\n[Midi]\r\nTextCmd=  CMD  \r\n");
    std::string destination;
    std::string textCommand;
    ini.ReadIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, "", destination);
    ini.ReadIniString(SECTION_MIDI, MIDI_TEXT_CMD, "", textCommand);
    EXPECT_EQ(destination, "Room 2");
    EXPECT_EQ(textCommand, "CMD");
}

TEST_F(RealIniFile, LongValuesReadBackAs1022Characters)
{
    std::string longValue(2000, 'v');
    ini.WriteIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, longValue);
    std::string read;
    ini.ReadIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, "", read);
    EXPECT_EQ(read, longValue.substr(0, 1022));
}

TEST_F(RealIniFile, SaveWritesTheWholeFileInOrderAndKeepsOtherSections)
{
    ini.WriteIniString("Profile1", PROFILE_NAME, "Live");
    Settings settings;
    settings.m_strBroadcastAddress = "127.255.255.255";
    settings.m_nPort = 9871;
    settings.m_strApplicationId = "MIDI";
    settings.m_strTextCommand = "AUXMIDI";
    settings.m_bDeviceEnabled[0] = 1;
    settings.m_bDeviceEnabled[3] = 1;
    settings.m_comConfig.Device = 10;
    WriteSettings(ini, settings);
    WriteSettings(ini, settings);
    EXPECT_EQ(ReadWholeFile(path),
              "[Profile1]\r\nName=Live\r\n"
              "[Network]\r\nBroadcastAddress=127.255.255.255\r\nPort=9871\r\nApplicationId=MIDI\r\n"
              "[RemoteCmd]\r\nDestination=\r\n"
              "[Midi]\r\nFilterNoteOff=0\r\nTextCmd=AUXMIDI\r\nDevices=0 3 \r\n"
              "[Com]\r\nEnable=0\r\nPort=\r\nDevice=10\r\nCts=0\r\nCtsMute=0\r\nDcd=0\r\nDcdMute=0\r\n"
              "Dsr=0\r\nDsrMute=0\r\nRi=0\r\nRiMute=0\r\nRtsOn=0\r\nDtrOn=0\r\n");
}

TEST_F(RealIniFile, DevicesWrittenWithTheirTrailingSpaceLoadBack)
{
    Settings saved;
    saved.m_bDeviceEnabled[1] = 1;
    saved.m_bDeviceEnabled[4] = 1;
    WriteSettings(ini, saved);
    Settings loaded;
    const bool present[kMidiDeviceCount] = { true, true, true, true, true };
    ReadSettings(ini, present, loaded);
    EXPECT_EQ(loaded.m_bDeviceEnabled[1], 1);
    EXPECT_EQ(loaded.m_bDeviceEnabled[4], 1);
    EXPECT_EQ(loaded.m_bDeviceEnabled[0] + loaded.m_bDeviceEnabled[2] + loaded.m_bDeviceEnabled[3], 0);
}

TEST_F(RealIniFile, AMissingFolderIsIgnoredAndReadsGiveDefaults)
{
    std::string missing = folder.Path() + "absent\\deeper\\kvMidi.ini";
    PrivateProfileFile nowhere(missing);
    TypedIni lost(names, nowhere);
    Settings settings;
    settings.m_strBroadcastAddress = "127.0.0.1";
    WriteSettings(lost, settings);
    EXPECT_FALSE(FileExists(missing));
    Settings loaded;
    const bool present[kMidiDeviceCount] = {};
    ReadSettings(lost, present, loaded);
    EXPECT_EQ(loaded.m_strBroadcastAddress, "");
    EXPECT_EQ(loaded.m_nPort, 9871);
    EXPECT_EQ(loaded.m_comConfig.Device, 10);
}

TEST_F(RealIniFile, AReadOnlyFileNeitherCrashesNorLosesItsContent)
{
    WriteWholeFile(path, "[Network]\r\nPort=4000\r\n");
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
    Settings settings;
    settings.m_nPort = 5000;
    WriteSettings(ini, settings);
    int port = 0;
    ini.ReadIniInt(SECTION_NETWORK, NETWORK_PORT, 9871, port);
    // Whether the write went through depends on the account's rights; either value is whole.
    EXPECT_TRUE(port == 4000 || port == 5000) << port;
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}
}
