// Any name typed for a profile: saving it never crashes, the menu shows it, and the command
// line finds the profile again by the name as stored.
#include <cstdint>
#include <cstdlib>
#include <optional>

#include "config/profiles.h"
#include "config/profiles_edit.h"
#include "tests/native/memory_profile.h"

namespace {
class TypedName : public ProfilePrompts {
public:
    explicit TypedName(std::string name) : m_name(std::move(name)) {}
    std::optional<std::string> AskProfileName(int, int, const std::string&) override { return m_name; }
    void ShowProfileError(int) override {}
    bool ConfirmProfileQuestion(int) override { return true; }

private:
    std::string m_name;
};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static SettingNameTable names;
    names.BuildSettingNameTable();
    MemoryProfile file;
    TypedIni ini(names, file);
    TypedName prompts(std::string(reinterpret_cast<const char*>(data), size));
    SettingsRecord fields;
    fields.m_strBroadcastAddress = "127.255.255.255";
    ProfileEdit edit = SaveProfileFromDialog(ini, 3, false, prompts, [&]() -> const SettingsRecord* { return &fields; });
    std::string stored = ReadProfileName(ini, 3);
    if ((edit == ProfileEdit::Saved) != !stored.empty())
        std::abort();
    if (!stored.empty() && FindProfileByName(ini, stored) != 3)
        std::abort();
    (void)ProfileMenuItems(ini, 3);
    return 0;
}
