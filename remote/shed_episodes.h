// Messages a device's ring refused because they came faster than the network carries are told
// to the user once per episode: a balloon a second after the first drop, with the count so
// far; the episode ends after two seconds without a drop, and the next drop starts another.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings_record.h"

class ShedEpisodes {
public:
    static constexpr std::uint64_t kTellAfterMilliseconds = 1000;
    static constexpr std::uint64_t kQuietMilliseconds = 2000;

    // totals: the drops since the start, by command number; now: a monotonic clock.
    void Update(const std::array<std::uint64_t, kMidiDeviceCount>& totals, std::uint64_t now);
    // The balloon texts due now, each episode's once.
    std::vector<std::string> Announcements(std::uint64_t now);
    std::uint64_t Total() const;

private:
    struct Episode {
        bool open = false;
        bool told = false;
        std::uint64_t start = 0;
        std::uint64_t lastDrop = 0;
        std::uint64_t first = 0;   // the total when it began
    };
    std::array<std::uint64_t, kMidiDeviceCount> m_seen{};
    std::array<Episode, kMidiDeviceCount> m_episodes{};
};

// "MIDI device 0: 1,234 messages dropped, they came faster than the network carries"
std::string ShedText(int device, std::uint64_t dropped);
// The tooltip's part after what is open: the messages dropped and the commands the network
// library refused since the start; empty when nothing was lost.
std::string ShedTooltip(std::uint64_t dropped, std::uint64_t notSent);
