// Which COM switch events a modem-status word causes. The polling thread hands every word it
// reads to one ComLineEdges and posts what comes back: levels are compared, nothing else (no
// debouncing, latching or counting).
#pragma once

#include <array>
#include <cstdint>

#include "config/settings_record.h"

using ComLineFlags = std::array<int, kComLineCount>;

struct ComLineEvent {
    int line;
    int level;   // 1 when the input became active, 0 when it became inactive

    friend bool operator==(const ComLineEvent&, const ComLineEvent&) = default;
};

// At most one event per line, in line-index order; kept on the stack, as the polling thread
// should not allocate.
class ComLineEventList {
public:
    void Add(const ComLineEvent& event) { m_events[static_cast<size_t>(m_count++)] = event; }
    const ComLineEvent* begin() const { return m_events.data(); }
    const ComLineEvent* end() const { return m_events.data() + m_count; }
    int Size() const { return m_count; }

private:
    std::array<ComLineEvent, kComLineCount> m_events{};
    int m_count = 0;
};

class ComLineEdges {
public:
    // Every line starts as last reported inactive, so a line already active gives its event
    // at the first word.
    explicit ComLineEdges(const ComLineFlags& monitored) : m_monitored(monitored) {}

    // The watched lines whose level in this word differs from the level last reported.
    ComLineEventList Changes(std::uint32_t status) const;
    // Records a level as reported; called only once its post went through, so that a change
    // whose post failed comes again with the next word.
    void Reported(const ComLineEvent& event) { m_reportedLevel[static_cast<size_t>(event.line)] = event.level; }

private:
    ComLineFlags m_monitored;
    ComLineFlags m_reportedLevel{};
};
