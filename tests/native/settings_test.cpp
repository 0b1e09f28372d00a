// The settings in the INI file: the device lists, every key in its order, the defaults, and
// values as a hand-edited file may hold them.
#include <gtest/gtest.h>

#include <string>

#include "config/device_list.h"
#include "config/settings_io.h"
#include "config/typed_ini.h"
#include "memory_profile.h"

namespace {
class SettingsFile : public testing::Test {
protected:
    SettingsFile() { names.BuildSettingNameTable(); }
    Settings Read(const bool (&present)[kMidiDeviceCount] = { true, true, true, true, true })
    {
        Settings settings;
        settings.m_bDeviceEnabled[2] = settings.m_comConfig.Cts = 1;
        ReadSettings(ini, present, settings);
        return settings;
    }

    SettingNameTable names;
    MemoryProfile file;
    TypedIni ini{ names, file };
};

TEST(DeviceList, ParsesOnlyPresentDevicesAndStopsAtAnEmptyTokenAndNamesKeepAnyText)
{
    struct Case { const char* text; bool present[kMidiDeviceCount]; int expected[kMidiDeviceCount]; };
    const Case cases[] = {
        { "0 3 ", { 1, 1, 1, 0, 0 }, { 1, 0, 0, 0, 0 } }, { "1  3", { 1, 1, 1, 1, 1 }, { 0, 1, 0, 0, 0 } },
        { "abc 2", { 1, 1, 1, 0, 0 }, { 1, 0, 1, 0, 0 } }, { "-1 5 9", { 1, 1, 1, 1, 1 }, {} },
    };
    for (const Case& c : cases) {
        int enabled[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };
        ParseDeviceList(c.text, c.present, enabled);
        EXPECT_TRUE(std::equal(enabled, enabled + kMidiDeviceCount, c.expected)) << '"' << c.text << '"';
    }
    const std::vector<MidiDeviceChoice> odd = { { 4, " \"Pa,d%s\" " }, { 0, "K\xE9ys:2\n~\xFF" } };
    EXPECT_EQ(FormatDeviceNames(odd), "4:%20%22Pa%2Cd%25s%22%20,0:K%E9ys:2%0A~%FF");
    EXPECT_TRUE(ParseDeviceNames(FormatDeviceNames(odd)) == odd);
    const std::vector<MidiDeviceChoice> read = { { 1, "a%4" }, { 2, "%zzb" }, { 0, "Jo" } };   // "%4a%6f" is "Jo"
    EXPECT_TRUE(ParseDeviceNames("1:a%4,,x,5:e,-1:f,3:,2:%zzb,0x:%4a%6f") == read);
}

TEST_F(SettingsFile, SavesEveryKeyInTheFileOrderAndLoadsItBackUnchanged)
{
    // Wind (4) is gone: "Devices" keeps its number.
    const Settings saved{ { "127.255.255.255", -5, "APP", "Dest", 1, "CMD", { 1 }, 1 },
                          { "COM3", 12, 0, 1, 0, 0, 0, 0, 0, 1, 1, 1 },
                          { { 0, "Pads" }, { 4, "Wind" } } };
    WriteSettings(ini, saved);
    EXPECT_EQ(file.Text(),
              "[Network]\nBroadcastAddress=127.255.255.255\nPort=-5\nApplicationId=APP\n[RemoteCmd]\nDestination=Dest\n"
              "[Midi]\nFilterNoteOff=1\nTextCmd=CMD\nDevices=0 4 \nDeviceNames=0:Pads,4:Wind\n"
              "[Com]\nEnable=1\nPort=COM3\nDevice=12\nCts=0\nCtsMute=0\nDcd=1\nDcdMute=0\nDsr=0\n"
              "DsrMute=0\nRi=0\nRiMute=1\nRtsOn=1\nDtrOn=1\n");
    EXPECT_TRUE(Read({ true, true, true, true, false }) == saved);
    WriteSettings(ini, { saved, saved.m_comConfig, {} });   // no choice kept: "Devices" lists the enabled devices
    EXPECT_NE(file.Text().find("Devices=0 \nDeviceNames=\n"), std::string::npos);
}

TEST_F(SettingsFile, DeviceNamesCountOnlyWhileTheyNameTheDevicesOfDevices)
{
    struct Case { const char *devices, *names, *choice; };
    const Case cases[] = {
        { "2 ", "2:Keys", "2:Keys " }, { "0 2 ", "2:Keys,0:Pads", "2:Keys 0:Pads " },
        { "1 3 4 ", "4:Wind,3:Pedal,1:Pads", "4:Wind 3:Pedal 1:Pads " },   // names count for absent devices too
        // "Devices" changed by a program that knows only it: the numbers count, as they are read.
        { "0 1 ", "2:Keys", "0: 1: " }, { "2 ", "2:Keys,0:Pads", "2: " }, { "3 ", "", "" },
    };
    for (const Case& c : cases) {
        file.WriteString("Midi", "Devices", c.devices);
        file.WriteString("Midi", "DeviceNames", c.names);
        std::string choice;
        for (const MidiDeviceChoice& entry : Read({ true, true, true, false, false }).m_midiChoice)
            choice += std::to_string(entry.number) + ":" + entry.name + " ";
        EXPECT_EQ(choice, c.choice) << c.devices << "/" << c.names;
    }
}

TEST_F(SettingsFile, MissingKeysTakeTheirDefaultsAndMalformedValuesAreTakenAsTheyCome)
{
    Settings defaults = Read();   // of an empty file
    EXPECT_EQ(std::pair(defaults.m_nPort, defaults.m_comConfig.Device), std::pair(9871, 10));
    const std::string longText(1100, 'd');   // a read passes 1023 as the buffer's size: 1022 characters come
    const char* values[][3] = { { "Network", "Port", "4000xyz" }, { "Midi", "FilterNoteOff", "" }, { "Com", "Enable", "yes" },
                                { "Com", "Device", "letters" }, { "Com", "Cts", "0" }, { "Com", "Dsr", "00" },
                                { "RemoteCmd", "Destination", longText.c_str() } };
    for (auto& value : values)
        file.WriteString(value[0], value[1], value[2]);
    const Settings expected{ { "", 4000, "MIDI", longText.substr(0, 1022), 1, "AUXMIDI", {}, 1 }, { "", 0, 0, 0, 1 }, {} };
    EXPECT_TRUE(Read() == expected);
}
}
