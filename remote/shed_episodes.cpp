#include "shed_episodes.h"

#include <numeric>

namespace {
// 1234567 as "1,234,567": the balloon is read at a glance.
std::string Grouped(std::uint64_t value)
{
    std::string digits = std::to_string(value);
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3)
        digits.insert(static_cast<std::size_t>(at), ",");
    return digits;
}

std::string Counted(std::uint64_t count, const std::string& thing) { return Grouped(count) + " " + thing + (count == 1 ? "" : "s"); }
}

void ShedEpisodes::Update(const std::array<std::uint64_t, kMidiDeviceCount>& totals, std::uint64_t now)
{
    for (std::size_t device = 0; device < totals.size(); ++device) {
        Episode& episode = m_episodes[device];
        if (episode.open && now - episode.lastDrop >= kQuietMilliseconds && episode.told)
            episode.open = false;
        if (totals[device] <= m_seen[device])
            continue;
        if (!episode.open)
            episode = { true, false, now, now, m_seen[device] };
        episode.lastDrop = now;
        m_seen[device] = totals[device];
    }
}

std::vector<std::string> ShedEpisodes::Announcements(std::uint64_t now)
{
    std::vector<std::string> texts;
    for (std::size_t device = 0; device < m_episodes.size(); ++device) {
        Episode& episode = m_episodes[device];
        if (!episode.open || episode.told || now - episode.start < kTellAfterMilliseconds)
            continue;
        episode.told = true;
        texts.push_back(ShedText(static_cast<int>(device), m_seen[device] - episode.first));
    }
    return texts;
}

std::uint64_t ShedEpisodes::Total() const { return std::accumulate(m_seen.begin(), m_seen.end(), std::uint64_t{ 0 }); }

std::string ShedText(int device, std::uint64_t dropped)
{
    return "MIDI device " + std::to_string(device) + ": " + Counted(dropped, "message") +
           " dropped, they came faster than the network carries";
}

std::string ShedTooltip(std::uint64_t dropped, std::uint64_t notSent)
{
    return (dropped ? ", " + Counted(dropped, "message") + " dropped" : std::string()) +
           (notSent ? ", " + Counted(notSent, "command") + " not sent" : std::string());
}
