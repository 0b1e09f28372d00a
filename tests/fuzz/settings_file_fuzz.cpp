// Any INI file: the settings and the profiles read from it never crash, and what the program
// writes back is read again as the same settings.
#include <cstdint>
#include <cstdlib>

#include "config/profiles.h"
#include "config/settings_io.h"
#include "tests/fuzz/ini_text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string_view text(reinterpret_cast<const char*>(data), size);
    static SettingNameTable names;
    names.BuildSettingNameTable();
    MemoryProfile file;
    FillFromIniText(text, file);
    TypedIni ini(names, file);
    const bool present[kMidiDeviceCount] = { true, true, false, true, true };

    Settings settings;
    ReadSettings(ini, present, settings);
    (void)ProfileMenuItems(ini, FindCurrentProfile(ini, settings));
    (void)FindProfileByName(ini, std::string(text.substr(0, 40)));

    MemoryProfile written;
    TypedIni rewritten(names, written);
    WriteSettings(rewritten, settings);
    Settings again;
    ReadSettings(rewritten, present, again);
    if (!(again == settings))
        std::abort();
    return 0;
}
