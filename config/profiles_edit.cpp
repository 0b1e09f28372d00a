#include "profiles_edit.h"

#include <string_view>

#include "framework/text.h"
#include "profiles.h"
#include "res/resource.h"

namespace {
std::string AskName(ProfilePrompts& prompts, int promptId, const std::string& initialText, bool& cancelled)
{
    std::optional<std::string> answer = prompts.AskProfileName(IDS_SET_PROFILE_NAME, promptId, initialText);
    cancelled = !answer;
    // The prompt trims already; doing it here too keeps a blank name from ever making a slot
    // used, whatever the prompt does. ASCII blanks never occur inside a double-byte character
    // of the Windows code pages, so the bytes are trimmed without a code page.
    return answer ? TrimBlanks(*answer) : std::string();
}
}

void WriteProfileValues(const TypedIni& ini, int n, const SettingsRecord& fields)
{
    const std::string section = ProfileSectionName(n);
    ini.WriteIniString(section, PROFILE_BROADCAST_ADDRESS, fields.m_strBroadcastAddress);
    ini.WriteIniInt(section, PROFILE_PORT, fields.m_nPort);
    ini.WriteIniString(section, PROFILE_APPLICATION_ID, fields.m_strApplicationId);
    ini.WriteIniString(section, PROFILE_TEXT_CMD, fields.m_strTextCommand);
    ini.WriteIniString(section, PROFILE_DESTINATION, fields.m_strDestination);
}

ProfileEdit SaveProfileFromDialog(const TypedIni& ini, int n, bool shiftDown, ProfilePrompts& prompts,
                                  const std::function<const SettingsRecord*()>& takeDialogFields)
{
    if (!IsProfileNumber(n))
        return ProfileEdit::Unchanged;
    if (shiftDown)
        return RenameOrDeleteProfile(ini, n, prompts);
    std::string newName;
    if (ReadProfileName(ini, n).empty()) {
        bool cancelled = false;
        newName = AskName(prompts, IDS_ENTER_PROFILE_NAME, "", cancelled);
        if (cancelled || newName.empty())
            return ProfileEdit::Unchanged;
    }
    // The fields are taken before anything is written, so that a refused field leaves the
    // slot as it was.
    const SettingsRecord* fields = takeDialogFields();
    if (!fields)
        return ProfileEdit::Unchanged;
    if (!newName.empty())
        ini.WriteIniString(ProfileSectionName(n), PROFILE_NAME, newName);
    WriteProfileValues(ini, n, *fields);
    return ProfileEdit::Saved;
}

ProfileEdit RenameOrDeleteProfile(const TypedIni& ini, int n, ProfilePrompts& prompts)
{
    if (!IsProfileNumber(n))
        return ProfileEdit::Unchanged;
    std::string current = ReadProfileName(ini, n);
    if (current.empty()) {
        prompts.ShowProfileError(IDS_SAVE_PROFILE_FIRST);
        return ProfileEdit::Unchanged;
    }
    bool cancelled = false;
    std::string name = AskName(prompts, IDS_RENAME_PROFILE, current, cancelled);
    if (cancelled)
        return ProfileEdit::Unchanged;
    if (!name.empty()) {
        ini.WriteIniString(ProfileSectionName(n), PROFILE_NAME, name);
        return ProfileEdit::Renamed;
    }
    if (!prompts.ConfirmProfileQuestion(IDS_CONFIRM_DELETE_PROFILE))
        return ProfileEdit::Unchanged;
    ini.DeleteSection(ProfileSectionName(n));
    return ProfileEdit::Deleted;
}
