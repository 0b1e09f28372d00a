#include "virtual_midi_client.h"

#include <memory>
#include <thread>

VirtualMidiDriver VirtualMidiDriver::Find(DWORD processId, std::chrono::milliseconds deadline)
{
    VirtualMidiDriver driver;
    driver.m_deadline = deadline;
    std::string title = std::to_string(processId);
    auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        driver.m_window = ::FindWindowExA(HWND_MESSAGE, nullptr, virtual_midi::kDriverWindowClass, title.c_str());
        if (driver.m_window || std::chrono::steady_clock::now() >= end)
            return driver;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

bool VirtualMidiDriver::Send(virtual_midi::Command command, const void* data, size_t size, LRESULT& result) const
{
    if (!m_window)
        return false;
    COPYDATASTRUCT copy = {};
    copy.dwData = command;
    copy.cbData = static_cast<DWORD>(size);
    copy.lpData = const_cast<void*>(data);
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(m_window, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_NORMAL,
                               static_cast<UINT>(m_deadline.count()), &answer))
        return false;
    result = static_cast<LRESULT>(answer);
    return true;
}

int VirtualMidiDriver::Deliver(unsigned device, const std::vector<virtual_midi::ShortMessage>& messages) const
{
    if (messages.size() > virtual_midi::kMaxDeliver)
        return -1;
    auto command = std::make_unique<virtual_midi::DeliverCommand>();
    command->device = device;
    command->count = static_cast<std::uint32_t>(messages.size());
    std::copy(messages.begin(), messages.end(), command->messages);
    size_t size = offsetof(virtual_midi::DeliverCommand, messages) + messages.size() * sizeof(virtual_midi::ShortMessage);
    LRESULT result = 0;
    return Send(virtual_midi::kDeliver, command.get(), size, result) ? static_cast<int>(result) : -1;
}

bool VirtualMidiDriver::Stream(const virtual_midi::StreamCommand& stream) const
{
    LRESULT result = 0;
    return Send(virtual_midi::kStream, &stream, sizeof stream, result) && result == 1;
}

bool VirtualMidiDriver::Plug(unsigned device, bool present) const
{
    virtual_midi::PlugCommand plug = { device, present ? 1u : 0u };
    LRESULT result = 0;
    return Send(virtual_midi::kPlug, &plug, sizeof plug, result) && result == 1;
}

long long VirtualMidiDriver::Query(unsigned device, virtual_midi::Query what) const
{
    virtual_midi::QueryCommand query = { device, what };
    LRESULT result = 0;
    return Send(virtual_midi::kQuery, &query, sizeof query, result) ? static_cast<long long>(result) : -1;
}

virtual_midi::ShortMessage MidiShortMessage(unsigned status, unsigned data1, unsigned data2)
{
    return { (status & 0xFF) | (data1 & 0xFF) << 8 | (data2 & 0xFF) << 16, 0 };
}
