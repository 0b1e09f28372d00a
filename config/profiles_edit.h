// Saving the settings dialog's fields into a profile slot, renaming and deleting slots. The
// user is asked through ProfilePrompts, which the settings dialog implements.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "settings_record.h"
#include "typed_ini.h"

class ProfilePrompts {
public:
    virtual ~ProfilePrompts() = default;

    // The text prompt with the caption and prompt of these string ids and initialText in its
    // edit: the text after OK, nullopt after Cancel.
    virtual std::optional<std::string> AskProfileName(int captionId, int promptId,
                                                      const std::string& initialText) = 0;
    // A message box with this string, an error icon and OK.
    virtual void ShowProfileError(int messageId) = 0;
    // A message box with this string, a question icon and Yes and No: true for Yes.
    virtual bool ConfirmProfileQuestion(int messageId) = 0;
};

// What an edit changed. Anything but Unchanged: the dialog labels its profile buttons again;
// Saved: it also moves the focus to Apply.
enum class ProfileEdit { Unchanged, Saved, Renamed, Deleted };

// The five values into slot n, in the order of a save; the Name is left as it is.
void WriteProfileValues(const TypedIni& ini, int n, const SettingsRecord& fields);

// A Save-as button. With Shift down it is RenameOrDeleteProfile. An empty slot is named first;
// cancelled, or a name of blanks only, writes nothing. A used slot is overwritten without a
// question. takeDialogFields runs the dialog's data exchange and answers the fields to store,
// or null when the exchange failed (the dialog shows that failure): then nothing is written,
// not even the new name. It is not called when the naming already ended the save.
ProfileEdit SaveProfileFromDialog(const TypedIni& ini, int n, bool shiftDown, ProfilePrompts& prompts,
                                  const std::function<const SettingsRecord*()>& takeDialogFields);

// Shift+click on a Save-as button: a new name for a used slot, or, with an empty name and a
// Yes to the question, the slot's section removed. An empty slot only gets a message.
ProfileEdit RenameOrDeleteProfile(const TypedIni& ini, int n, ProfilePrompts& prompts);
