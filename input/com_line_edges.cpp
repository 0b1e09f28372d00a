#include "com_line_edges.h"

#include "config/com_lines.h"

ComLineEventList ComLineEdges::Changes(std::uint32_t status) const
{
    ComLineEventList events;
    for (int line = 0; line < kComLineCount; ++line) {
        auto index = static_cast<size_t>(line);
        int level = (status & kComLines[index].statusBit) ? 1 : 0;
        if (m_monitored[index] && level != m_reportedLevel[index])
            events.Add({ line, level });
    }
    return events;
}
