#include "midi_device_choice.h"

#include <algorithm>

namespace {
constexpr int kNone = -1;

bool Carries(const MidiDeviceNames& names, int device, const std::string& name)
{
    return names[static_cast<size_t>(device)] && (name.empty() || *names[static_cast<size_t>(device)] == name);
}

// For each entry, the device that carries it now, or kNone.
std::vector<int> Assign(const std::vector<MidiDeviceChoice>& choice, const MidiDeviceNames& names)
{
    std::vector<int> device(choice.size(), kNone);
    bool taken[kMidiDeviceCount] = {};
    for (size_t i = 0; i < choice.size(); ++i) {
        int number = choice[i].number;
        if (number >= 0 && number < kMidiDeviceCount && !taken[number] && Carries(names, number, choice[i].name))
            taken[device[i] = number] = true;
    }
    for (size_t i = 0; i < choice.size(); ++i) {
        for (int number = 0; device[i] == kNone && !choice[i].name.empty() && number < kMidiDeviceCount; ++number) {
            if (!taken[number] && Carries(names, number, choice[i].name))
                taken[device[i] = number] = true;
        }
    }
    return device;
}
}

void MatchMidiChoice(std::vector<MidiDeviceChoice>& choice, const MidiDeviceNames& names,
                     int (&enabled)[kMidiDeviceCount])
{
    std::fill(std::begin(enabled), std::end(enabled), 0);
    std::vector<int> device = Assign(choice, names);
    std::vector<MidiDeviceChoice> matched;
    for (size_t i = 0; i < choice.size(); ++i) {
        if (device[i] != kNone) {
            enabled[device[i]] = 1;
            matched.push_back({ device[i], *names[static_cast<size_t>(device[i])] });
        } else if (!choice[i].name.empty()) {
            matched.push_back(choice[i]);
        }
    }
    choice = std::move(matched);
}

void RememberMidiChoice(std::vector<MidiDeviceChoice>& choice, const int (&enabled)[kMidiDeviceCount],
                        const MidiDeviceNames& names)
{
    std::vector<int> device = Assign(choice, names);
    std::vector<MidiDeviceChoice> remembered;
    for (size_t i = 0; i < choice.size(); ++i) {
        if (device[i] == kNone && !choice[i].name.empty())
            remembered.push_back(choice[i]);
    }
    for (int number = 0; number < kMidiDeviceCount; ++number) {
        if (enabled[number] && names[static_cast<size_t>(number)])
            remembered.push_back({ number, *names[static_cast<size_t>(number)] });
    }
    choice = std::move(remembered);
}
