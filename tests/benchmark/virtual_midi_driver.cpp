// The virtual MIDI driver: its devices, the midiIn calls a program makes on them, and its own
// thread, a hidden message-only window that takes the commands and, between messages, feeds
// the paced streams. One lock guards every device; it is held while a callback runs, so a
// callback never overlaps the close of its own device, as the system guarantees.
#define _WINMM_   // we define the winmm functions, the header must not import them
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <sstream>
#include <string>
#include <vector>

#include "virtual_midi_protocol.h"

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
};

struct Stream {
    StreamCommand command;
    std::int64_t* timeline;   // a view of the benchmark's file mapping
    std::uint32_t next;
};

std::recursive_mutex g_lock;
std::vector<Device> g_devices;   // guarded by g_lock, as is g_pulled
std::vector<Device> g_pulled;
std::uintptr_t g_nextHandle = 0x4D490010;
std::vector<Stream> g_streams;   // only the driver's thread touches them


// Starts, stops or closes the device of the handle.
MMRESULT Change(HMIDIIN handle, bool started, bool close = false)
{
    std::unique_lock lock(g_lock);
    auto device = std::ranges::find(g_devices, handle, &Device::handle);
    if (!handle || device == g_devices.end())
        return MMSYSERR_INVALHANDLE;
    if (close) {
        device->callback(handle, MIM_CLOSE, device->instance, 0, 0);
        device->handle = nullptr;
    }
    device->started = started;
    return MMSYSERR_NOERROR;
}

LRESULT Plug(std::uint32_t index, bool present)
{
    auto at = g_devices.begin() + std::min<std::ptrdiff_t>(index, std::ssize(g_devices));
    if (present && !g_pulled.empty()) {
        g_devices.insert(at, g_pulled.back());
        g_pulled.pop_back();
        return 1;
    }
    if (present || at == g_devices.end())
        return 0;
    // The handle stays the caller's to close; the driver no longer knows it, as after a removal.
    Change(at->handle, false, true);
    g_pulled.push_back(*at);
    g_devices.erase(at);
    return 1;
}

LRESULT Schedule(const COPYDATASTRUCT& data)
{
    Stream stream = {};
    std::memcpy(&stream.command, data.lpData, std::min<size_t>(data.cbData, sizeof stream.command));
    // The view keeps the mapping alive once its handle is closed; no mapping, no view.
    const StreamCommand& command = stream.command;
    HANDLE mapping = command.ratePerSecond ? ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, command.timeline) : nullptr;
    stream.timeline = static_cast<std::int64_t*>(::MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
    ::CloseHandle(mapping);
    if (stream.timeline)
        g_streams.push_back(stream);
    return stream.timeline != nullptr;
}

// Calls every message of the stream that is due; true when the stream is finished.
bool Feed(Stream& stream, std::int64_t now)
{
    const StreamCommand& command = stream.command;
    for (; stream.next < command.count; ++stream.next) {
        if (command.start + std::int64_t{ stream.next } * 1'000'000'000 / command.ratePerSecond > now)
            return false;
        std::unique_lock lock(g_lock);
        Device* device = command.device < g_devices.size() ? &g_devices[command.device] : nullptr;
        bool started = device && device->started;
        stream.timeline[command.first + stream.next] = started ? Now() : -1;
        if (started)
            device->callback(device->handle, MIM_DATA, device->instance, SequenceMessage(stream.next), 0);
    }
    ::UnmapViewOfFile(stream.timeline);
    return true;
}

// Each command is one WM_COPYDATA.
LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return ::DefWindowProcA(window, message, wParam, lParam);
    const COPYDATASTRUCT& data = *reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    auto device = static_cast<std::uint32_t>(data.dwData >> 8 & 0xFF);
    auto argument = static_cast<std::uint32_t>(data.dwData >> 16);
    std::unique_lock lock(g_lock);
    switch (data.dwData & 0xFF) {
    case kStream:
        return Schedule(data);
    case kPlug:
        return Plug(device, argument != 0);
    case kIsStarted:
        return device < g_devices.size() && g_devices[device].started;
    default:
        return 0;
    }
}

DWORD WINAPI DriverThread(LPVOID)
{
    HINSTANCE instance = ::GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = { 0, &CommandWindowProc, 0, 0, instance, nullptr, nullptr, nullptr, nullptr, kDriverWindowClass };
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
        std::int64_t now = Now();
        std::erase_if(g_streams, [now](Stream& stream) { return Feed(stream, now); });
    }
}
}   // namespace
}   // namespace virtual_midi

using namespace virtual_midi;

extern "C" {
// Reads the configuration and starts the driver's thread, which runs once the loader is done.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    const char* text = std::getenv(kConfigVariable);
    std::istringstream list(text ? text : "");
    for (std::string item; std::getline(list, item, ',');) {
        Device& device = g_devices.emplace_back();
        device.failOpen = item.ends_with("!open");
        device.name = item.substr(0, item.size() - (device.failOpen ? 5 : 0));
    }
    ::CloseHandle(::CreateThread(nullptr, 0, &DriverThread, nullptr, 0, nullptr));
    return TRUE;
}

__declspec(dllexport) UINT WINAPI midiInGetNumDevs()
{
    std::unique_lock lock(g_lock);
    return static_cast<UINT>(g_devices.size());
}

__declspec(dllexport) MMRESULT WINAPI midiInGetDevCapsA(UINT_PTR id, LPMIDIINCAPSA caps, UINT size)
{
    std::unique_lock lock(g_lock);
    if (id >= g_devices.size() || !caps)
        return MMSYSERR_BADDEVICEID;
    MIDIINCAPSA full = {};
    g_devices[id].name.copy(full.szPname, sizeof full.szPname - 1);
    std::memcpy(caps, &full, std::min<size_t>(size, sizeof full));
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI midiInOpen(LPHMIDIIN handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                                                 DWORD flags)
{
    std::unique_lock lock(g_lock);
    if (!handle || id >= g_devices.size() || (flags & CALLBACK_TYPEMASK) != CALLBACK_FUNCTION)
        return MMSYSERR_INVALPARAM;
    Device& device = g_devices[id];
    if (device.failOpen || device.handle)
        return MMSYSERR_ALLOCATED;
    device = { device.name, false, reinterpret_cast<HMIDIIN>(g_nextHandle++), reinterpret_cast<MidiCallback>(callback),
               instance, false };
    // As in the system, MIM_OPEN arrives before the caller has seen the handle.
    device.callback(device.handle, MIM_OPEN, instance, 0, 0);
    *handle = device.handle;
    return MMSYSERR_NOERROR;
}

// A pulled device's handle is dead: the driver no longer knows it.
__declspec(dllexport) MMRESULT WINAPI midiInGetID(HMIDIIN handle, LPUINT id)
{
    std::unique_lock lock(g_lock);
    auto device = std::ranges::find(g_devices, handle, &Device::handle);
    if (!handle || !id || device == g_devices.end())
        return MMSYSERR_INVALHANDLE;
    *id = static_cast<UINT>(device - g_devices.begin());
    return MMSYSERR_NOERROR;
}

__declspec(dllexport) MMRESULT WINAPI midiInStart(HMIDIIN handle) { return Change(handle, true); }
__declspec(dllexport) MMRESULT WINAPI midiInStop(HMIDIIN handle) { return Change(handle, false); }
__declspec(dllexport) MMRESULT WINAPI midiInReset(HMIDIIN handle) { return Change(handle, false); }
__declspec(dllexport) MMRESULT WINAPI midiInClose(HMIDIIN handle) { return Change(handle, false, true); }
}
