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

TEST(SettingNameTable, HoldsTheThirtyNamesAndNothingElse)
{
    SettingNameTable names;
    EXPECT_EQ(names.Count(), 0u);
    names.BuildSettingNameTable();
    names.BuildSettingNameTable();
    EXPECT_EQ(names.Count(), 30u);
    EXPECT_EQ(names.Name(100), "Network");
    EXPECT_EQ(names.Name(200), "RemoteCmd");
    EXPECT_EQ(names.Name(303), "TextCmd");
    EXPECT_EQ(names.Name(402), "Port");
    EXPECT_EQ(names.Name(413), "DtrOn");
    EXPECT_EQ(names.Name(501), "Name");
    EXPECT_EQ(names.Name(506), "Destination");
    EXPECT_EQ(names.Name(500), "");
    EXPECT_EQ(names.Name(414), "");
}

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
    SettingsRecord settings;
    settings.m_bDeviceEnabled[2] = 1;
    ComSwitchConfig com;
    com.Cts = 1;
    LoadSettings(ini, allPresent, settings, com);
    EXPECT_EQ(settings.m_strBroadcastAddress, "");
    EXPECT_EQ(settings.m_nPort, 9871);
    EXPECT_EQ(settings.m_strApplicationId, "MIDI");
    EXPECT_EQ(settings.m_strDestination, "");
    EXPECT_EQ(settings.m_bFilterNoteOff, 0);
    EXPECT_EQ(settings.m_strTextCommand, "AUXMIDI");
    for (int flag : settings.m_bDeviceEnabled)
        EXPECT_EQ(flag, 0);
    EXPECT_EQ(settings.m_bComEnabled, 0);
    ComSwitchConfig expected;
    expected.Device = 10;
    EXPECT_TRUE(com == expected);
}

TEST_F(SettingsFile, SavesEveryKeyInTheFileOrder)
{
    SettingsRecord settings;
    settings.m_strBroadcastAddress = "127.255.255.255";
    settings.m_nPort = -5;
    settings.m_strApplicationId = "MIDI";
    settings.m_strDestination = "";
    settings.m_bFilterNoteOff = 1;
    settings.m_strTextCommand = "AUXMIDI";
    settings.m_bComEnabled = 1;
    ComSwitchConfig com;
    com.Port = "COM3";
    com.Device = 12;
    com.Dcd = 1;
    com.RiMute = 1;
    com.DtrOn = 1;
    SaveSettings(ini, settings, com);
    EXPECT_EQ(file.Text(),
              "[Network]\nBroadcastAddress=127.255.255.255\nPort=-5\nApplicationId=MIDI\n"
              "[RemoteCmd]\nDestination=\n"
              "[Midi]\nFilterNoteOff=1\nTextCmd=AUXMIDI\nDevices=\n"
              "[Com]\nEnable=1\nPort=COM3\nDevice=12\nCts=0\nCtsMute=0\nDcd=1\nDcdMute=0\nDsr=0\n"
              "DsrMute=0\nRi=0\nRiMute=1\nRtsOn=0\nDtrOn=1\n");
}

TEST_F(SettingsFile, WhatIsSavedLoadsBackUnchanged)
{
    SettingsRecord saved;
    saved.m_strBroadcastAddress = "127.0.0.1";
    saved.m_nPort = 4000;
    saved.m_strApplicationId = "APP";
    saved.m_strDestination = "Dest";
    saved.m_bFilterNoteOff = 1;
    saved.m_strTextCommand = "CMD";
    saved.m_bDeviceEnabled[1] = 1;
    saved.m_bDeviceEnabled[4] = 1;
    saved.m_bComEnabled = 1;
    ComSwitchConfig com;
    com.Port = "COM10";
    com.Device = 255;
    for (int line = 0; line < kComLineCount; ++line) {
        com.Watch(line) = line % 2;
        com.Mute(line) = 1 - line % 2;
    }
    com.RtsOn = 1;
    SaveSettings(ini, saved, com);
    EXPECT_EQ(*file.Find("Midi", "Devices"), "1 4 ");

    SettingsRecord loaded;
    ComSwitchConfig loadedCom;
    LoadSettings(ini, allPresent, loaded, loadedCom);
    EXPECT_EQ(loaded.m_strBroadcastAddress, saved.m_strBroadcastAddress);
    EXPECT_EQ(loaded.m_nPort, saved.m_nPort);
    EXPECT_EQ(loaded.m_strApplicationId, saved.m_strApplicationId);
    EXPECT_EQ(loaded.m_strDestination, saved.m_strDestination);
    EXPECT_EQ(loaded.m_bFilterNoteOff, 1);
    EXPECT_EQ(loaded.m_strTextCommand, saved.m_strTextCommand);
    EXPECT_EQ(loaded.m_bDeviceEnabled[1], 1);
    EXPECT_EQ(loaded.m_bDeviceEnabled[4], 1);
    EXPECT_EQ(loaded.m_bDeviceEnabled[0], 0);
    EXPECT_EQ(loaded.m_bComEnabled, 1);
    EXPECT_TRUE(loadedCom == com);
}

TEST_F(SettingsFile, MalformedValuesAreTakenAsTheyCome)
{
    file.WriteString("Network", "Port", "9871xyz");
    file.WriteString("Midi", "FilterNoteOff", "");
    file.WriteString("Com", "Enable", "yes");
    file.WriteString("Com", "Device", "letters");
    file.WriteString("Com", "Cts", "0");
    file.WriteString("Com", "Dsr", "00");
    SettingsRecord settings;
    ComSwitchConfig com;
    LoadSettings(ini, allPresent, settings, com);
    EXPECT_EQ(settings.m_nPort, 9871);
    EXPECT_EQ(settings.m_bFilterNoteOff, 1);
    EXPECT_EQ(settings.m_bComEnabled, 1);
    EXPECT_EQ(com.Device, 0);
    EXPECT_EQ(com.Cts, 0);
    EXPECT_EQ(com.Dsr, 1);

    file.WriteString("Network", "Port", "abc");
    LoadSettings(ini, allPresent, settings, com);
    EXPECT_EQ(settings.m_nPort, 0);
}

TEST_F(SettingsFile, DevicesLoadOnlyWhereADeviceHasAName)
{
    file.WriteString("Midi", "Devices", "0 3 ");
    bool firstThree[kMidiDeviceCount] = { true, true, true, false, false };
    SettingsRecord settings;
    ComSwitchConfig com;
    LoadSettings(ini, firstThree, settings, com);
    EXPECT_EQ(settings.m_bDeviceEnabled[0], 1);
    EXPECT_EQ(settings.m_bDeviceEnabled[3], 0);
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
