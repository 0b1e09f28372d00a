#include "com_switch_polling.h"

void RunComSwitchPolling(const ComLineFlags& monitored, const std::atomic<bool>& stop, ComSwitchPollPort& port)
{
    ComLineEdges edges(monitored);
    if (stop.load(std::memory_order_acquire))
        return;
    for (;;) {
        std::uint32_t status = 0;
        if (port.ReadModemStatus(status)) {
            for (const ComLineEvent& event : edges.Update(status))
                port.PostLineEvent(event);
        }
        port.WaitPollInterval();
        if (stop.load(std::memory_order_acquire))
            return;
    }
}
