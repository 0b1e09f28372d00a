#include <gtest/gtest.h>

#include <string>

#include "config/device_list.h"
#include "config/ini_integer.h"
#include "config/settings_io.h"
#include "config/typed_ini.h"
#include "memory_profile.h"

namespace {
class SettingsFile : public testing::Test {
protected:
    SettingsFile() { names.BuildSettingNameTable(); }

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
    bool allPresent[kMidiDeviceCount] = { true, true, true, true, true };
};

TEST(IniInteger, TakesTheLeadingNumber)
{
    struct Case { const char* text; int value; };
    const Case cases[] = {
        { "9871", 9871 }, { "-5", -5 }, { "+7", 7 }, { "  \t42", 42 }, { "12abc", 12 },
        { "9871xyz", 9871 }, { "abc", 0 }, { "", 0 }, { "-", 0 }, { " - 3", 0 },
        { "2147483647", 2147483647 }, { "99999999999", 2147483647 }, { "-99999999999", -2147483647 - 1 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text), c.value) << '"' << c.text << '"';
}

TEST(DeviceList, FormatsEachEnabledIndexFollowedByASpace)
{
    int none[kMidiDeviceCount] = {};
    int some[kMidiDeviceCount] = { 1, 0, 0, 1, 0 };
    int oneAndFour[kMidiDeviceCount] = { 0, 1, 0, 0, 1 };
    EXPECT_EQ(FormatDeviceList(none), "");
    EXPECT_EQ(FormatDeviceList(some), "0 3 ");
    EXPECT_EQ(FormatDeviceList(oneAndFour), "1 4 ");
}

TEST(DeviceList, ParsesOnlyPresentDevicesAndStopsAtAnEmptyToken)
{
    struct Case {
        const char* text;
        bool present[kMidiDeviceCount];
        int expected[kMidiDeviceCount];
    };
    const Case cases[] = {
        { "0 3 ", { true, true, true, true, false }, { 1, 0, 0, 1, 0 } },
        { "0 3 ", { true, true, true, false, false }, { 1, 0, 0, 0, 0 } },
        { "1  3", { true, true, true, true, true }, { 0, 1, 0, 0, 0 } },
        { "abc 2", { true, true, true, false, false }, { 1, 0, 1, 0, 0 } },
        { "-1 5 9", { true, true, true, true, true }, { 0, 0, 0, 0, 0 } },
        { " 1", { true, true, true, true, true }, { 0, 0, 0, 0, 0 } },
        { "4", { true, true, true, true, true }, { 0, 0, 0, 0, 1 } },
        { "", { true, true, true, true, true }, { 0, 0, 0, 0, 0 } },
    };
    for (const Case& c : cases) {
        int enabled[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };
        ParseDeviceList(c.text, c.present, enabled);
        for (int i = 0; i < kMidiDeviceCount; ++i)
            EXPECT_EQ(enabled[i], c.expected[i]) << '"' << c.text << "\" device " << i;
    }
}

TEST_F(SettingsFile, AnEmptyFileLoadsEveryDefault)
{
    Settings settings;
    settings.m_bDeviceEnabled[2] = 1;
    settings.m_comConfig.Cts = 1;
    ReadSettings(ini, allPresent, settings);
    Settings expected;
    expected.m_nPort = 9871;
    expected.m_strApplicationId = "MIDI";
    expected.m_strTextCommand = "AUXMIDI";
    expected.m_comConfig.Device = 10;
    EXPECT_TRUE(settings == expected);
}

TEST_F(SettingsFile, SavesEveryKeyInTheFileOrderAndLoadsItBackUnchanged)
{
    Settings saved;
    saved.m_strBroadcastAddress = "127.255.255.255";
    saved.m_nPort = -5;
    saved.m_strApplicationId = "APP";
    saved.m_strDestination = "Dest";
    saved.m_bFilterNoteOff = 1;
    saved.m_strTextCommand = "CMD";
    saved.m_bDeviceEnabled[1] = 1;
    saved.m_bDeviceEnabled[4] = 1;
    saved.m_bComEnabled = 1;
    saved.m_comConfig.Port = "COM3";
    saved.m_comConfig.Device = 12;
    saved.m_comConfig.Dcd = 1;
    saved.m_comConfig.RiMute = 1;
    saved.m_comConfig.DtrOn = 1;
    WriteSettings(ini, saved);
    EXPECT_EQ(file.Text(),
              "[Network]\nBroadcastAddress=127.255.255.255\nPort=-5\nApplicationId=APP\n"
              "[RemoteCmd]\nDestination=Dest\n"
              "[Midi]\nFilterNoteOff=1\nTextCmd=CMD\nDevices=1 4 \n"
              "[Com]\nEnable=1\nPort=COM3\nDevice=12\nCts=0\nCtsMute=0\nDcd=1\nDcdMute=0\nDsr=0\n"
              "DsrMute=0\nRi=0\nRiMute=1\nRtsOn=0\nDtrOn=1\n");
    Settings loaded;
    ReadSettings(ini, allPresent, loaded);
    EXPECT_TRUE(loaded == saved);
}

TEST_F(SettingsFile, MalformedValuesAreTakenAsTheyCome)
{
    file.WriteString("Network", "Port", "9871xyz");
    file.WriteString("Midi", "FilterNoteOff", "");
    file.WriteString("Com", "Enable", "yes");
    file.WriteString("Com", "Device", "letters");
    file.WriteString("Com", "Cts", "0");
    file.WriteString("Com", "Dsr", "00");
    Settings settings;
    ReadSettings(ini, allPresent, settings);
    EXPECT_EQ(settings.m_nPort, 9871);
    EXPECT_EQ(settings.m_bFilterNoteOff, 1);
    EXPECT_EQ(settings.m_bComEnabled, 1);
    EXPECT_EQ(settings.m_comConfig.Device, 0);
    EXPECT_EQ(settings.m_comConfig.Cts, 0);
    EXPECT_EQ(settings.m_comConfig.Dsr, 1);
}

TEST_F(SettingsFile, ReadsAreCutTo1022Characters)
{
    std::string longValue(2000, 'v');
    ini.WriteIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, longValue);
    std::string read;
    EXPECT_EQ(ini.ReadIniString(SECTION_REMOTE_CMD, REMOTE_CMD_DESTINATION, "", read), 1022);
    EXPECT_EQ(read, longValue.substr(0, 1022));
}

TEST_F(SettingsFile, AnUnknownSectionReadsNothingAndWritesNothing)
{
    std::string text = "kept";
    int number = 7;
    int flag = 1;
    EXPECT_EQ(ini.ReadIniString(999, NETWORK_PORT, "default", text), 0);
    EXPECT_EQ(ini.ReadIniInt(999, NETWORK_PORT, 5, number), 0);
    EXPECT_EQ(ini.ReadIniBool(999, NETWORK_PORT, flag), 0);
    EXPECT_EQ(text, "kept");
    EXPECT_EQ(number, 7);
    EXPECT_EQ(flag, 1);
    ini.WriteIniString(999, NETWORK_PORT, "x");
    ini.WriteIniInt(500, NETWORK_PORT, 1);
    EXPECT_EQ(file.Text(), "");
}

TEST_F(SettingsFile, TypedValuesUseTheirEncodings)
{
    ini.WriteIniInt(SECTION_NETWORK, NETWORK_PORT, -5);
    ini.WriteIniBool(SECTION_MIDI, MIDI_FILTER_NOTE_OFF, 1);
    ini.WriteIniBool(SECTION_COM, COM_ENABLE, 0);
    ini.WriteIniString("Profile3", PROFILE_NAME, "Live");
    EXPECT_EQ(file.Text(), "[Network]\nPort=-5\n[Midi]\nFilterNoteOff=1\n[Com]\nEnable=0\n[Profile3]\nName=Live\n");
    int port = 0;
    ini.ReadIniInt("Profile3", PROFILE_PORT, 9871, port);
    EXPECT_EQ(port, 9871);
    ini.DeleteSection("profile3");
    EXPECT_EQ(file.Find("Profile3", "Name"), nullptr);
}
}
