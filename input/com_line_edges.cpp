#include "com_line_edges.h"

#include "config/com_lines.h"

ComLineEventList ComLineEdges::Update(std::uint32_t status)
{
    ComLineEventList events;
    if (status == m_lastStatus)
        return events;
    for (int line = 0; line < kComLineCount; ++line) {
        auto index = static_cast<size_t>(line);
        if (!m_monitored[index])
            continue;
        int level = (status & kComLines[index].statusBit) ? 1 : 0;
        if (level != m_reportedLevel[index]) {
            events.Add({ line, level });
            m_reportedLevel[index] = level;
        }
    }
    m_lastStatus = status;
    return events;
}
