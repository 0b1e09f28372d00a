#include "com_switch_polling.h"

namespace {
// The port open or away, and what the controller was last told of it.
class PortPresence {
public:
    explicit PortPresence(ComSwitchPollPort& port) : m_port(port) {}

    void Poll(ComLineEdges& edges)
    {
        std::uint64_t now = m_port.NowMilliseconds();
        std::uint32_t status = 0;
        if (m_bOpen && m_port.ReadModemStatus(status)) {
            m_bReadFailed = false;
            m_bPresent = true;
            Tell();
            PostChanges(edges, status);
            return;
        }
        if (m_bOpen && !m_bReadFailed) {
            // With fAbortOnError set the driver refuses every call after a line error until it
            // is cleared; a read that fails once is tried again after the pause.
            m_port.ClearErrors();
            m_bReadFailed = true;
            return;
        }
        if (m_bOpen) {
            m_port.ClosePort();
            m_bOpen = false;
            m_bReadFailed = false;
            m_bPresent = false;
            m_nextReopen = now + kComReopenMilliseconds;
        } else if (now >= m_nextReopen) {
            // Back only once its status reads: a port that opens but cannot be read is not.
            m_bOpen = m_port.ReopenPort();
            m_nextReopen = now + kComReopenMilliseconds;
        }
        Tell();
    }

private:
    void Tell()
    {
        if (m_bPresent != m_bTold && m_port.PostPortState(m_bPresent))
            m_bTold = m_bPresent;
    }

    // In line order, up to the first post that fails: the rest follow, in order, next time.
    void PostChanges(ComLineEdges& edges, std::uint32_t status)
    {
        for (const ComLineEvent& event : edges.Changes(status)) {
            if (!m_port.PostLineEvent(event))
                return;
            edges.Reported(event);
        }
    }

    ComSwitchPollPort& m_port;
    bool m_bOpen = true;
    bool m_bReadFailed = false;   // the last read failed, and the port's errors were cleared
    bool m_bPresent = true;
    bool m_bTold = true;
    std::uint64_t m_nextReopen = 0;
};
}

void RunComSwitchPolling(const ComLineFlags& monitored, const std::atomic<bool>& stop, ComSwitchPollPort& port)
{
    ComLineEdges edges(monitored);
    PortPresence presence(port);
    while (!stop.load(std::memory_order_acquire)) {
        presence.Poll(edges);
        port.WaitPollInterval();
    }
}
