// The command text and the REMOTE line built from every accepted input event.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int kComSwitchStatus = 144;   // COM events take the shape of a NOTE ON

// The shell's audio application commands (APPCOMMAND_VOLUME_MUTE, _DOWN, _UP).
constexpr int kAppCommandVolumeMute = 8;
constexpr int kAppCommandVolumeDown = 9;
constexpr int kAppCommandVolumeUp = 10;

// "%s/%d/%d/%d/%d": text command (AUXMIDI when empty), device, status, data 1, data 2.
std::string FormatCommandText(const std::string& textCommand, int device, int status, int data1, int data2);

// REMOTE: "<application id, MIDI when empty>" "<destination>" "<command>" 1 — nothing escaped,
// no line terminator.
std::string FormatRemoteLine(const std::string& applicationId, const std::string& destination,
                             const std::string& commandText);

// With the filter on, a NOTE ON of velocity 0 (the running-status form of NOTE OFF) is
// dropped; everything else passes, real NOTE OFF messages included.
bool IsFilteredNoteOff(bool filterNoteOff, std::uint8_t status, std::uint8_t data2);

// The second data byte of a COM event: 127 for an active line, 0 for an inactive one.
int ComLineValue(int state);

// The application commands a COM line with "Mute audio" sends after its REMOTE line:
// volume down and up on every change, then mute on activation only.
std::vector<int> MuteAppCommands(bool muteAudio, int state);
