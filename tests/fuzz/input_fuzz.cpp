// The parsers of outside input whose results no table can enumerate, the one chosen by a byte of
// the input: address texts, the command line and an INI file. None may crash, and each keeps the
// promise written above its function.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>

#include "app/config_location.h"
#include "config/default_broadcast.h"
#include "config/profiles.h"
#include "config/settings_io.h"
#include "tests/native/memory_profile.h"
#include "ui/settings_validation.h"

namespace {
void Check(bool promise)
{
    if (!promise)
        std::abort();
}

SettingNameTable g_names;

// Whatever the text, its classful broadcast address, of which the default address is made, is
// an address the checks accept. Which host address the default takes is the tables'.
void Addresses(FuzzedDataProvider& input)
{
    Check(IsValidIpAddress(ClassfulBroadcastAddress(input.ConsumeRemainingBytesAsString())));
}

// A path the program would use, whatever the command line, fits the system's limit.
void CommandLine(FuzzedDataProvider& input)
{
    ConfigLocation location{ "C:\\ProgramData\\", "C:\\ProgramData\\Karvo\\", "", "", "" };
    UseDataDirectory(location, [](const std::string&) {});
    ApplyCommandLine(input.ConsumeRemainingBytesAsString(), location,
                     [](const std::string& path) { Check(path.size() < kMaxPathBuffer); });
    Check(location.iniFile.size() < kMaxPathBuffer && location.configDir.size() < kMaxPathBuffer);
}

// The settings read from any INI file, written back and read again, are the same.
void IniFile(FuzzedDataProvider& input)
{
    MemoryProfile file;
    while (input.remaining_bytes() > 0) {
        const std::string section = input.ConsumeRandomLengthString(16);
        const std::string key = input.ConsumeRandomLengthString(24);
        file.WriteString(section, key, input.ConsumeRandomLengthString());
    }
    TypedIni ini(g_names, file);
    const bool present[kMidiDeviceCount] = { true, true, false, true, true };
    Settings settings;
    ReadSettings(ini, present, settings);
    (void)ProfileMenuItems(ini, FindCurrentProfile(ini, settings));
    MemoryProfile written;
    TypedIni rewritten(g_names, written);
    WriteSettings(rewritten, settings);
    Settings again;
    ReadSettings(rewritten, present, again);
    Check(again == settings);
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using Parser = void (*)(FuzzedDataProvider&);
    static constexpr Parser parsers[] = { Addresses, CommandLine, IniFile };
    g_names.BuildSettingNameTable();
    FuzzedDataProvider input(data, size);
    parsers[input.ConsumeIntegralInRange<std::size_t>(0, std::size(parsers) - 1)](input);
    return 0;
}
