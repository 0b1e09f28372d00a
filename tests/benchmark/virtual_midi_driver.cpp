#include "virtual_midi_driver.h"

#include <algorithm>
#include <cstring>

namespace virtual_midi {
namespace {
class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~Lock() { ::LeaveCriticalSection(&m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

LONGLONG Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}
}

Driver& Driver::Instance()
{
    // Never destroyed: the command thread may still run while the process exits.
    static Driver* driver = [] {
        auto* created = new Driver;
        StartCommandThread(*created);
        return created;
    }();
    return *driver;
}

Driver::Driver()
{
    ::InitializeCriticalSection(&m_lock);
    ::QueryPerformanceFrequency(&m_frequency);
    char buffer[4096] = {};
    DWORD length = ::GetEnvironmentVariableA(kConfigVariable, buffer, sizeof buffer);
    std::string text(buffer, length < sizeof buffer ? length : 0);
    for (size_t start = 0; !text.empty() && start <= text.size();) {
        size_t end = std::min(text.find(',', start), text.size());
        std::string item = text.substr(start, end - start);
        Device device;
        device.failOpen = item.size() >= 5 && item.compare(item.size() - 5, 5, "!open") == 0;
        device.name = item.substr(0, item.size() - (device.failOpen ? 5 : 0));
        m_devices.push_back(device);
        start = end + 1;
    }
}

Driver::Device* Driver::Find(HMIDIIN handle)
{
    for (Device& device : m_devices)
        if (handle && device.handle == handle)
            return &device;
    return nullptr;
}

UINT Driver::DeviceCount()
{
    Lock lock(m_lock);
    return static_cast<UINT>(m_devices.size());
}

MMRESULT Driver::GetCaps(UINT_PTR id, MIDIINCAPSA* caps, UINT size)
{
    Lock lock(m_lock);
    if (id >= m_devices.size() || !caps)
        return MMSYSERR_BADDEVICEID;
    MIDIINCAPSA full = {};
    const std::string& name = m_devices[id].name;
    std::memcpy(full.szPname, name.data(), std::min(name.size(), sizeof full.szPname - 1));
    std::memcpy(caps, &full, std::min<size_t>(size, sizeof full));
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Open(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    Lock lock(m_lock);
    if (!handle || id >= m_devices.size() || (flags & CALLBACK_TYPEMASK) != CALLBACK_FUNCTION)
        return MMSYSERR_INVALPARAM;
    Device& device = m_devices[id];
    if (device.failOpen || device.handle)
        return MMSYSERR_ALLOCATED;
    device.handle = reinterpret_cast<HMIDIIN>(m_nextHandle++);
    device.callback = reinterpret_cast<MidiCallback>(callback);
    device.instance = instance;
    device.started = false;
    // As in the system, MIM_OPEN arrives before the caller has seen the handle.
    device.callback(device.handle, MIM_OPEN, instance, 0, 0);
    *handle = device.handle;
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::SetStarted(HMIDIIN handle, bool started)
{
    Lock lock(m_lock);
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->started = started;
    device->startCounter = Now();
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Close(HMIDIIN handle)
{
    Lock lock(m_lock);
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->callback(handle, MIM_CLOSE, device->instance, 0, 0);
    device->handle = nullptr;
    device->started = false;
    return MMSYSERR_NOERROR;
}

void Driver::Call(Device& device, std::uint32_t param1, std::uint32_t timestamp)
{
    device.callback(device.handle, MIM_DATA, device.instance, param1, timestamp);
}

bool Driver::CallData(std::uint32_t index, std::uint32_t param1, LONGLONG* calledAt)
{
    Lock lock(m_lock);
    if (index >= m_devices.size() || !m_devices[index].started)
        return false;
    Device& device = m_devices[index];
    *calledAt = Now();
    Call(device, param1, static_cast<std::uint32_t>((*calledAt - device.startCounter) * 1000 / m_frequency.QuadPart));
    return true;
}

LRESULT Driver::Deliver(const DeliverCommand& command)
{
    Lock lock(m_lock);
    if (command.device >= m_devices.size() || !m_devices[command.device].started)
        return 0;
    for (std::uint32_t i = 0; i < command.count; ++i)
        Call(m_devices[command.device], command.messages[i].param1, command.messages[i].timestamp);
    return command.count;
}

LRESULT Driver::IsStarted(std::uint32_t device)
{
    Lock lock(m_lock);
    return device < m_devices.size() && m_devices[device].started;
}

LRESULT Driver::Plug(const PlugCommand& command)
{
    Lock lock(m_lock);
    auto at = m_devices.begin() + std::min<std::ptrdiff_t>(command.device, std::ssize(m_devices));
    if (command.present) {
        if (m_pulled.empty())
            return 0;
        m_devices.insert(at, m_pulled.back());
        m_pulled.pop_back();
        return 1;
    }
    if (at == m_devices.end())
        return 0;
    // The handle stays the caller's to close; the driver no longer knows it, as after a removal.
    if (at->handle)
        at->callback(at->handle, MIM_CLOSE, at->instance, 0, 0);
    at->handle = nullptr;
    at->started = false;
    m_pulled.push_back(*at);
    m_devices.erase(at);
    return 1;
}

}   // namespace virtual_midi

using virtual_midi::Driver;

extern "C" {
UINT WINAPI midiInGetNumDevs() { return Driver::Instance().DeviceCount(); }

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR id, LPMIDIINCAPSA caps, UINT size)
{
    return Driver::Instance().GetCaps(id, caps, size);
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    return Driver::Instance().Open(handle, id, callback, instance, flags);
}

MMRESULT WINAPI midiInStart(HMIDIIN handle) { return Driver::Instance().SetStarted(handle, true); }
MMRESULT WINAPI midiInStop(HMIDIIN handle) { return Driver::Instance().SetStarted(handle, false); }
MMRESULT WINAPI midiInReset(HMIDIIN handle) { return Driver::Instance().SetStarted(handle, false); }
MMRESULT WINAPI midiInClose(HMIDIIN handle) { return Driver::Instance().Close(handle); }
}
