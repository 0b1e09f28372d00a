// Every parser of outside input, the one chosen by a byte of the input: address texts, the
// texts that go into a REMOTE line, the command line, an INI file and a name typed for a
// profile. None may crash, and each keeps the promise written above its function.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "app/config_location.h"
#include "config/default_broadcast.h"
#include "config/profiles.h"
#include "config/profiles_edit.h"
#include "config/settings_io.h"
#include "remote/command_text.h"
#include "tests/native/memory_profile.h"
#include "ui/settings_validation.h"

namespace {
void Check(bool promise)
{
    if (!promise)
        std::abort();
}

SettingNameTable g_names;

// Whatever the checks accept, or the default-address function proposes, is an address they
// accept.
void Addresses(FuzzedDataProvider& input)
{
    std::string text = input.ConsumeRandomLengthString();
    Check(!IsValidIpAddress(text) || IsValidIpAddress(ClassfulBroadcastAddress(text)));
    (void)CheckSettings(text, text, input.ConsumeIntegral<int>());
    std::vector<std::string> hostAddresses;
    while (input.remaining_bytes() > 0)
        hostAddresses.push_back(input.ConsumeRandomLengthString());
    Check(IsValidIpAddress(DefaultBroadcastAddress(hostAddresses)));
}

// The settings' texts and a device's bytes arrive in the command text and the REMOTE line
// unchanged, never read as a format.
void RemoteLine(FuzzedDataProvider& input)
{
    std::string textCommand = input.ConsumeRandomLengthString(1100);
    std::string applicationId = input.ConsumeRandomLengthString(1100);
    std::string destination = input.ConsumeRandomLengthString(1100);
    auto byte = [&] { return input.ConsumeIntegralInRange(0, 255); };
    std::string command = FormatCommandText(textCommand, input.ConsumeIntegral<int>(), byte(), byte(), byte());
    Check(command.compare(0, textCommand.size(), textCommand) == 0);
    std::string line = FormatRemoteLine(applicationId, destination, command);
    Check(line.find(command) != std::string::npos && line.find(destination) != std::string::npos);
    (void)FormatBroadcastQuestion(textCommand, applicationId);
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

struct TypedName : ProfilePrompts {
    std::string name;
    std::optional<std::string> AskProfileName(int, int, const std::string&) override { return name; }
    void ShowProfileError(int) override {}
    bool ConfirmProfileQuestion(int) override { return true; }
};

// A typed name that is saved shows in the menu and finds the profile again as stored; one
// that is refused stores nothing.
void ProfileName(FuzzedDataProvider& input)
{
    MemoryProfile file;
    TypedIni ini(g_names, file);
    TypedName prompts;
    prompts.name = input.ConsumeRemainingBytesAsString();
    SettingsRecord fields;
    ProfileEdit edit = SaveProfileFromDialog(ini, 3, false, prompts, [&]() -> const SettingsRecord* { return &fields; });
    std::string stored = ReadProfileName(ini, 3);
    Check((edit == ProfileEdit::Saved) == !stored.empty());
    Check(stored.empty() || FindProfileByName(ini, stored) == 3);
    (void)ProfileMenuItems(ini, 3);
}
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using Parser = void (*)(FuzzedDataProvider&);
    static constexpr Parser parsers[] = { Addresses, RemoteLine, CommandLine, IniFile, ProfileName };
    g_names.BuildSettingNameTable();
    FuzzedDataProvider input(data, size);
    parsers[input.ConsumeIntegralInRange<std::size_t>(0, std::size(parsers) - 1)](input);
    return 0;
}
