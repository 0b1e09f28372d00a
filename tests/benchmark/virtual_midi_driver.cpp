// The virtual MIDI driver: its devices, the midiIn calls a program makes on them, and its own
// thread, a hidden message-only window that takes the commands and, between messages, feeds
// the paced streams. One lock guards every device; it is held while a callback runs, so a
// callback never overlaps the close of its own device, as the system guarantees.
#define _WINMM_   // we define the winmm functions, the header must not import them
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "tests/benchmark/virtual_midi_protocol.h"

namespace virtual_midi {
namespace {
using MidiCallback = void(CALLBACK*)(HMIDIIN, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR);

struct Device {
    std::string name;
    bool failOpen = false;
    HMIDIIN handle = nullptr;
    MidiCallback callback = nullptr;
    DWORD_PTR instance = 0;
    bool started = false;
    LONGLONG startCounter = 0;

    void Call(UINT message, DWORD_PTR param1 = 0, DWORD_PTR param2 = 0) const
    {
        callback(handle, message, instance, param1, param2);
    }
};

struct Stream {
    StreamCommand command;
    double ticksPerMessage;
    HANDLE mapping;
    std::int64_t* timeline;
    std::uint32_t next = 0;
};

std::recursive_mutex g_lock;
std::vector<Device> g_devices;   // guarded by g_lock, as is g_pulled
std::vector<Device> g_pulled;
std::uintptr_t g_nextHandle = 0x4D490010;
std::vector<Stream> g_streams;   // only the driver's thread touches them

LONGLONG Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LONGLONG Frequency()
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart;
}

DWORD WINAPI DriverThread(LPVOID);

// The lock, after reading the configuration and starting the driver's thread on first use.
std::unique_lock<std::recursive_mutex> Locked()
{
    [[maybe_unused]] static const bool configured = [] {
        char buffer[4096] = {};
        DWORD length = ::GetEnvironmentVariableA(kConfigVariable, buffer, sizeof buffer);
        std::string text(buffer, length < sizeof buffer ? length : 0);
        for (size_t start = 0; !text.empty() && start <= text.size();) {
            size_t end = std::min(text.find(',', start), text.size());
            std::string item = text.substr(start, end - start);
            Device& device = g_devices.emplace_back();
            device.failOpen = item.ends_with("!open");
            device.name = item.substr(0, item.size() - (device.failOpen ? 5 : 0));
            start = end + 1;
        }
        ::CloseHandle(::CreateThread(nullptr, 0, &DriverThread, nullptr, 0, nullptr));
        return true;
    }();
    return std::unique_lock(g_lock);
}

Device* Find(HMIDIIN handle)
{
    for (Device& device : g_devices)
        if (handle && device.handle == handle)
            return &device;
    return nullptr;
}

MMRESULT SetStarted(HMIDIIN handle, bool started)
{
    auto lock = Locked();
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->started = started;
    device->startCounter = Now();
    return MMSYSERR_NOERROR;
}

LRESULT Deliver(std::uint32_t index, const ShortMessage* messages, size_t count)
{
    if (index >= g_devices.size() || !g_devices[index].started)
        return 0;
    for (size_t i = 0; i < count; ++i)
        g_devices[index].Call(MIM_DATA, messages[i].param1, messages[i].timestamp);
    return static_cast<LRESULT>(count);
}

LRESULT Plug(std::uint32_t index, bool present)
{
    auto at = g_devices.begin() + std::min<std::ptrdiff_t>(index, std::ssize(g_devices));
    if (present ? g_pulled.empty() : at == g_devices.end())
        return 0;
    if (present) {
        g_devices.insert(at, g_pulled.back());
        g_pulled.pop_back();
        return 1;
    }
    // The handle stays the caller's to close; the driver no longer knows it, as after a removal.
    if (at->handle)
        at->Call(MIM_CLOSE);
    at->handle = nullptr;
    at->started = false;
    g_pulled.push_back(*at);
    g_devices.erase(at);
    return 1;
}

LRESULT Schedule(const COPYDATASTRUCT& data)
{
    Stream stream = {};
    if (data.cbData != sizeof stream.command)
        return 0;
    std::memcpy(&stream.command, data.lpData, sizeof stream.command);
    const StreamCommand& command = stream.command;
    stream.command.timeline[sizeof command.timeline - 1] = '\0';
    stream.ticksPerMessage = static_cast<double>(Frequency()) / std::max(command.ratePerSecond, 1u);
    stream.mapping = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, command.timeline);
    if (stream.mapping)
        stream.timeline = static_cast<std::int64_t*>(::MapViewOfFile(stream.mapping, FILE_MAP_WRITE, 0, 0, 0));
    if (!stream.timeline) {
        ::CloseHandle(stream.mapping);
        return 0;
    }
    g_streams.push_back(stream);
    return 1;
}

// Calls every message of the stream that is due; true when the stream is finished.
bool Feed(Stream& stream, LONGLONG now)
{
    const StreamCommand& command = stream.command;
    for (; stream.next < command.count; ++stream.next) {
        if (command.startCounter + static_cast<LONGLONG>(stream.next * stream.ticksPerMessage) > now)
            return false;
        auto lock = Locked();
        Device* device = command.device < g_devices.size() ? &g_devices[command.device] : nullptr;
        LONGLONG calledAt = device && device->started ? Now() : 0;
        stream.timeline[command.first + stream.next] = calledAt;
        if (calledAt)
            device->Call(MIM_DATA, SequenceMessage(stream.next),
                         static_cast<DWORD_PTR>((calledAt - device->startCounter) * 1000 / Frequency()));
    }
    ::UnmapViewOfFile(stream.timeline);
    ::CloseHandle(stream.mapping);
    return true;
}

LRESULT HandleCommand(const COPYDATASTRUCT& data)
{
    auto device = static_cast<std::uint32_t>(data.dwData >> 8 & 0xFF);
    auto argument = static_cast<std::uint32_t>(data.dwData >> 16);
    auto lock = Locked();
    switch (data.dwData & 0xFF) {
    case kDeliver:
        return Deliver(device, static_cast<const ShortMessage*>(data.lpData), data.cbData / sizeof(ShortMessage));
    case kStream:
        return Schedule(data);
    case kPlug:
        return Plug(device, argument != 0);
    case kQuery:
        if (argument == kActiveStreams)
            return static_cast<LRESULT>(g_streams.size());
        return device < g_devices.size() && g_devices[device].started;
    default:
        return 0;
    }
}

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return ::DefWindowProcA(window, message, wParam, lParam);
    try {
        return HandleCommand(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    } catch (...) {
        return 0;
    }
}

DWORD WINAPI DriverThread(LPVOID)
{
    HINSTANCE instance = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&CommandWindowProc), &instance);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = &CommandWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kDriverWindowClass;
    ::RegisterClassA(&windowClass);
    std::string title = std::to_string(::GetCurrentProcessId());
    ::CreateWindowExA(0, kDriverWindowClass, title.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    for (;;) {
        DWORD wait = g_streams.empty() ? INFINITE : 1;
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_OBJECT_0) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
        }
        LONGLONG now = Now();
        std::erase_if(g_streams, [now](Stream& stream) { return Feed(stream, now); });
    }
}
}   // namespace
}   // namespace virtual_midi

using namespace virtual_midi;

extern "C" {
UINT WINAPI midiInGetNumDevs()
{
    auto lock = Locked();
    return static_cast<UINT>(g_devices.size());
}

MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR id, LPMIDIINCAPSA caps, UINT size)
{
    auto lock = Locked();
    if (id >= g_devices.size() || !caps)
        return MMSYSERR_BADDEVICEID;
    MIDIINCAPSA full = {};
    const std::string& name = g_devices[id].name;
    std::memcpy(full.szPname, name.data(), std::min(name.size(), sizeof full.szPname - 1));
    std::memcpy(caps, &full, std::min<size_t>(size, sizeof full));
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags)
{
    auto lock = Locked();
    if (!handle || id >= g_devices.size() || (flags & CALLBACK_TYPEMASK) != CALLBACK_FUNCTION)
        return MMSYSERR_INVALPARAM;
    Device& device = g_devices[id];
    if (device.failOpen || device.handle)
        return MMSYSERR_ALLOCATED;
    device.handle = reinterpret_cast<HMIDIIN>(g_nextHandle++);
    device.callback = reinterpret_cast<MidiCallback>(callback);
    device.instance = instance;
    device.started = false;
    // As in the system, MIM_OPEN arrives before the caller has seen the handle.
    device.Call(MIM_OPEN);
    *handle = device.handle;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI midiInStart(HMIDIIN handle) { return SetStarted(handle, true); }
MMRESULT WINAPI midiInStop(HMIDIIN handle) { return SetStarted(handle, false); }
MMRESULT WINAPI midiInReset(HMIDIIN handle) { return SetStarted(handle, false); }

MMRESULT WINAPI midiInClose(HMIDIIN handle)
{
    auto lock = Locked();
    Device* device = Find(handle);
    if (!device)
        return MMSYSERR_INVALHANDLE;
    device->Call(MIM_CLOSE);
    device->handle = nullptr;
    device->started = false;
    return MMSYSERR_NOERROR;
}
}
