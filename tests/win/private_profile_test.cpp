// The typed INI operations against the real private-profile functions of the system.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "config/private_profile_win.h"
#include "config/typed_ini.h"
#include "tests/support/temp_directory.h"

namespace {
// Names match without regard to case; blanks and quotes around a value go; values read back
// cut to 1022 characters.
TEST(RealIniFile, ReadsAsThePrivateProfileFunctionsDo)
{
    TempDirectory folder;
    SettingNameTable names;
    names.BuildSettingNameTable();
    PrivateProfileFile file(folder.Path() + "kvMidi.ini");
    TypedIni ini(names, file);
    WriteWholeFile(file.Path(), "[network]\r\nPORT=4000\r\n[RemoteCmd]\r\nDestination =   \"Room 2\"  \r\n[Midi]\r\n"
                                "TextCmd=" + std::string(2000, 'v') + "\r\n");
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
}
