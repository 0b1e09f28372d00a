// The checks the settings dialog runs on Apply and OK before anything leaves it. They run in
// a fixed order and the first failure ends them; the dialog only shows the messages and puts
// the focus on the control at fault.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Four groups of one to three decimal digits separated by single dots, each at most 255,
// nothing else (no blanks around it).
bool IsValidIpAddress(std::string_view text);

// For a valid address: its last group is 255, as a broadcast address normally has.
bool EndsWith255(std::string_view address);

// ASCII letters and digits only; the empty text passes.
bool IsValidTextCommand(std::string_view text);

bool IsValidComDevice(int device);

enum class SettingsCheck { IpAddress, BroadcastEnding, TextCommand, ComDevice };

struct SettingsFinding {
    SettingsCheck check;
    bool question;      // a Yes/No question: Yes lets the later checks run, No is a failure
    int messageId;      // string table id of the message
    int controlId;      // the control that gets the focus when this finding ends the checks
};

// What is wrong, in the order of the checks; the list ends at the first finding that is not
// a question. Empty when everything passes.
std::vector<SettingsFinding> CheckSettings(std::string_view broadcastAddress, std::string_view textCommand,
                                           int comDevice);

// The broadcast question (string 103) with its %s replaced by the address, never used as a
// format.
std::string FormatBroadcastQuestion(std::string_view pattern, std::string_view address);

class SettingsMessages {
public:
    virtual ~SettingsMessages() = default;

    // A message box with this string, an error icon and OK.
    virtual void ShowSettingsError(int messageId) = 0;
    // The question of this string about the address, question icon, Yes and No: true for Yes.
    virtual bool ConfirmBroadcastAddress(int messageId, const std::string& address) = 0;
};

// Runs the checks with their messages: the control at fault, or 0 when the values may be used.
int ValidateSettings(const std::string& broadcastAddress, std::string_view textCommand, int comDevice,
                     SettingsMessages& messages);
