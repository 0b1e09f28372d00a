#include "driver.h"

#include <algorithm>
#include <cstring>

namespace virtual_midi {
namespace {
enum Call : unsigned { kCallOpen = 1, kCallStart = 2, kCallStop = 3, kCallReset = 4, kCallClose = 5 };
constexpr LRESULT kSlowResetCallbacks = 3;

class Lock {
public:
    explicit Lock(CRITICAL_SECTION& section) : m_section(section) { ::EnterCriticalSection(&m_section); }
    ~Lock() { ::LeaveCriticalSection(&m_section); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

std::string ConfigText()
{
    char buffer[4096] = {};
    DWORD length = ::GetEnvironmentVariableA(kConfigVariable, buffer, sizeof buffer);
    return length < sizeof buffer ? std::string(buffer, length) : std::string();
}
}

std::vector<DeviceConfig> ParseDeviceList(const std::string& text)
{
    std::vector<DeviceConfig> devices;
    if (text.empty())
        return devices;
    size_t start = 0;
    for (;;) {
        size_t end = text.find(',', start);
        std::string item = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        DeviceConfig device;
        size_t bang = item.find('!');
        device.name = item.substr(0, bang);
        while (bang != std::string::npos) {
            size_t next = item.find('!', bang + 1);
            std::string flag = item.substr(bang + 1, next == std::string::npos ? std::string::npos : next - bang - 1);
            device.failOpen |= flag == "open";
            device.failStart |= flag == "start";
            device.failCaps |= flag == "caps";
            bang = next;
        }
        devices.push_back(device);
        if (end == std::string::npos)
            return devices;
        start = end + 1;
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
    Configure(ConfigText());
}

Driver::Device* Driver::Find(HMIDIIN handle)
{
    if (!handle)
        return nullptr;
    for (Device& device : m_devices)
        if (device.handle == handle)
            return &device;
    return nullptr;
}

Driver::Device& Driver::At(std::uint32_t device)
{
    if (device >= m_devices.size())
        m_devices.resize(device + 1);
    return m_devices[device];
}

std::uint32_t Driver::Timestamp(const Device& device) const
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<std::uint32_t>((now.QuadPart - device.startCounter) * 1000 / m_frequency.QuadPart);
}

UINT Driver::DeviceCount()
{
    Lock lock(m_lock);
    return m_count;
}

MMRESULT Driver::GetCaps(UINT_PTR id, MIDIINCAPSA* caps, UINT size)
{
    Lock lock(m_lock);
    if (id >= m_count)
        return MMSYSERR_BADDEVICEID;
    Device& device = At(static_cast<std::uint32_t>(id));
    ++device.capsReads;
    if (!caps)
        return MMSYSERR_INVALPARAM;
    if (device.config.failCaps)
        return MMSYSERR_NODRIVER;
    MIDIINCAPSA full = {};
    full.wMid = 0xFF;
    full.wPid = static_cast<WORD>(id);
    full.vDriverVersion = 0x0100;
    std::memcpy(full.szPname, device.config.name.data(), std::min(device.config.name.size(), sizeof full.szPname));
    std::memcpy(caps, &full, std::min<size_t>(size, sizeof full));
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Open(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    Lock lock(m_lock);
    if (!handle)
        return MMSYSERR_INVALPARAM;
    if (id >= m_count)
        return MMSYSERR_BADDEVICEID;
    DWORD kind = flags & CALLBACK_TYPEMASK;
    if (kind != CALLBACK_FUNCTION && kind != CALLBACK_NULL)
        return MMSYSERR_NOTSUPPORTED;
    Device& device = At(id);
    ++device.openAttempts;
    if (device.config.failOpen || device.handle)
        return MMSYSERR_ALLOCATED;
    device.handle = reinterpret_cast<HMIDIIN>(m_nextHandle++);
    device.callback = kind == CALLBACK_FUNCTION ? reinterpret_cast<MidiCallback>(callback) : nullptr;
    device.instance = instance;
    device.started = false;
    device.stopped = false;
    device.callbacksAfterStop = 0;
    device.lastHandle = device.handle;
    device.lastCallback = device.callback;
    device.lastInstance = instance;
    Log(device, kCallOpen);
    // As in the system, MIM_OPEN arrives before the caller has seen the handle.
    if (device.callback)
        device.callback(device.handle, MIM_OPEN, instance, 0, 0);
    *handle = device.handle;
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Start(HMIDIIN handle)
{
    Lock lock(m_lock);
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    Log(*device, kCallStart);
    if (device->config.failStart)
        return MMSYSERR_ERROR;
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    device->startCounter = now.QuadPart;
    device->started = true;
    device->stopped = false;
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Stop(HMIDIIN handle)
{
    Lock lock(m_lock);
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    Log(*device, kCallStop);
    device->started = false;
    device->stopped = true;
    return MMSYSERR_NOERROR;
}

MMRESULT Driver::Reset(HMIDIIN handle)
{
    ::EnterCriticalSection(&m_lock);
    Device* device = Find(handle);
    if (!device) {
        ::LeaveCriticalSection(&m_lock);
        return MMSYSERR_INVALHANDLE;
    }
    Log(*device, kCallReset);
    device->started = false;
    device->stopped = true;
    for (int waited = 0; device->throughCloseStreams > 0 && device->callbacksAfterStop < kSlowResetCallbacks &&
                         waited < 2000; ++waited) {
        ::LeaveCriticalSection(&m_lock);
        ::Sleep(1);
        ::EnterCriticalSection(&m_lock);
        // The table may have grown meanwhile; the handle still names this open.
        device = Find(handle);
        if (!device)
            break;
    }
    ::LeaveCriticalSection(&m_lock);
    return MMSYSERR_NOERROR;
}

void Driver::MarkThroughClose(std::uint32_t device, int change)
{
    Lock lock(m_lock);
    At(device).throughCloseStreams += change;
}

MMRESULT Driver::Close(HMIDIIN handle)
{
    Lock lock(m_lock);
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    Log(*device, kCallClose);
    if (device->callback)
        device->callback(handle, MIM_CLOSE, device->instance, 0, 0);
    device->handle = nullptr;
    device->callback = nullptr;
    device->started = false;
    device->stopped = false;
    return MMSYSERR_NOERROR;
}

CallResult Driver::CallData(std::uint32_t index, std::uint32_t param1, bool throughClose, LONGLONG* calledAt)
{
    Lock lock(m_lock);
    if (index >= m_devices.size() || !m_devices[index].handle)
        return CallResult::Closed;
    Device& device = m_devices[index];
    if (!device.started && !(throughClose && device.stopped))
        return CallResult::NotStarted;
    std::uint32_t timestamp = Timestamp(device);
    if (calledAt) {
        LARGE_INTEGER now;
        ::QueryPerformanceCounter(&now);
        *calledAt = now.QuadPart;
    }
    ++device.dataCallbacks;
    if (device.stopped)
        ++device.callbacksAfterStop;
    if (device.callback)
        device.callback(device.handle, MIM_DATA, device.instance, param1, timestamp);
    return CallResult::Delivered;
}

LRESULT Driver::Deliver(const DeliverCommand& command)
{
    Lock lock(m_lock);
    if (command.device >= m_devices.size())
        return 0;
    Device& device = m_devices[command.device];
    LRESULT made = 0;
    for (std::uint32_t i = 0; i < command.count; ++i) {
        const ShortMessage& message = command.messages[i];
        if (command.flags & kAfterClose) {
            if (device.lastCallback)
                device.lastCallback(device.lastHandle, MIM_DATA, device.lastInstance, message.param1, message.timestamp);
            ++made;
        } else if (device.handle && device.started) {
            HMIDIIN handle = device.handle;
            if (command.flags & kWrongHandle)
                handle = reinterpret_cast<HMIDIIN>(reinterpret_cast<std::uintptr_t>(handle) ^ 0x00F00000);
            ++device.dataCallbacks;
            if (device.callback)
                device.callback(handle, MIM_DATA, device.instance, message.param1, message.timestamp);
            ++made;
        }
    }
    return made;
}

LRESULT Driver::Query(std::uint32_t index, std::uint32_t what)
{
    Lock lock(m_lock);
    if (what == kDeviceCount)
        return m_count;
    if (index >= m_devices.size())
        return 0;
    const Device& device = m_devices[index];
    switch (what) {
    case kIsOpen: return device.handle != nullptr;
    case kIsStarted: return device.started;
    case kOpenAttempts: return device.openAttempts;
    case kCapsReads: return device.capsReads;
    case kDataCallbacks: return device.dataCallbacks;
    case kCallbacksAfterStop: return device.callbacksAfterStop;
    case kCallSequence: return static_cast<LRESULT>(device.callSequence);
    default: return 0;
    }
}

LRESULT Driver::Configure(const std::string& text)
{
    std::vector<DeviceConfig> configs = ParseDeviceList(text);
    Lock lock(m_lock);
    for (size_t i = 0; i < configs.size(); ++i)
        At(static_cast<std::uint32_t>(i)).config = configs[i];
    m_count = static_cast<UINT>(configs.size());
    return m_count;
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

MMRESULT WINAPI midiInStart(HMIDIIN handle) { return Driver::Instance().Start(handle); }
MMRESULT WINAPI midiInStop(HMIDIIN handle) { return Driver::Instance().Stop(handle); }
MMRESULT WINAPI midiInReset(HMIDIIN handle) { return Driver::Instance().Reset(handle); }
MMRESULT WINAPI midiInClose(HMIDIIN handle) { return Driver::Instance().Close(handle); }
}
