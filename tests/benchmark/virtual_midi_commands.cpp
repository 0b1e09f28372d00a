// The driver's own thread: a hidden message-only window that takes the commands, and between
// messages the feeder that calls the callbacks of paced streams.
#include <cstring>
#include <string>
#include <vector>

#include "virtual_midi_driver.h"

namespace virtual_midi {
namespace {
struct Stream {
    StreamCommand command = {};
    LONGLONG start = 0;
    double ticksPerMessage = 0;
    std::uint32_t next = 0;
    HANDLE mapping = nullptr;
    std::int64_t* timeline = nullptr;
};

struct ThreadState {
    Driver* driver = nullptr;
    HANDLE ready = nullptr;
    std::vector<Stream> streams;   // only this thread touches them
    LARGE_INTEGER frequency = {};
};

ThreadState g_state;

LONGLONG Now()
{
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

LRESULT ScheduleStream(const StreamCommand& command)
{
    if (command.ratePerSecond == 0 || command.count == 0)
        return 0;
    Stream stream;
    stream.command = command;
    stream.command.timeline[sizeof stream.command.timeline - 1] = '\0';
    stream.start = command.startCounter ? command.startCounter : Now();
    stream.ticksPerMessage = static_cast<double>(g_state.frequency.QuadPart) / command.ratePerSecond;
    stream.mapping = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, stream.command.timeline);
    if (!stream.mapping)
        return 0;
    stream.timeline = static_cast<std::int64_t*>(
        ::MapViewOfFile(stream.mapping, FILE_MAP_WRITE, 0, 0, sizeof(std::int64_t) * command.count));
    if (!stream.timeline) {
        ::CloseHandle(stream.mapping);
        return 0;
    }
    g_state.streams.push_back(stream);
    return 1;
}

// Calls every message that is due; true when the stream is finished.
bool Feed(Stream& stream, LONGLONG now)
{
    for (; stream.next < stream.command.count; ++stream.next) {
        auto due = stream.start + static_cast<LONGLONG>(stream.next * stream.ticksPerMessage);
        if (due > now)
            return false;
        LONGLONG calledAt = 0;
        bool called = g_state.driver->CallData(stream.command.device, SequenceMessage(stream.next), &calledAt);
        stream.timeline[stream.next] = called ? calledAt : 0;
    }
    return true;
}

// The feeder's wait: a message already due is called at once; otherwise the thread sleeps to
// the next millisecond tick, the finest step Wine's waits take.
DWORD FeedStreams()
{
    LONGLONG now = Now();
    for (size_t i = 0; i < g_state.streams.size();) {
        Stream& stream = g_state.streams[i];
        if (Feed(stream, now)) {
            ::UnmapViewOfFile(stream.timeline);
            ::CloseHandle(stream.mapping);
            g_state.streams.erase(g_state.streams.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return g_state.streams.empty() ? INFINITE : 1;
}

template <typename T>
bool Read(const COPYDATASTRUCT& data, T& value, size_t size = sizeof(T))
{
    if (data.cbData < size)
        return false;
    std::memcpy(&value, data.lpData, size);
    return true;
}

LRESULT HandleCommand(const COPYDATASTRUCT& data)
{
    switch (data.dwData) {
    case kDeliver: {
        DeliverCommand command = {};
        constexpr size_t header = offsetof(DeliverCommand, messages);
        if (!Read(data, command, header) || command.count > kMaxDeliver ||
            !Read(data, command, header + command.count * sizeof(ShortMessage)))
            return 0;
        return g_state.driver->Deliver(command);
    }
    case kStream: {
        StreamCommand command;
        return Read(data, command) ? ScheduleStream(command) : 0;
    }
    case kPlug: {
        PlugCommand command;
        return Read(data, command) ? g_state.driver->Plug(command) : 0;
    }
    case kQuery: {
        QueryCommand command;
        if (!Read(data, command))
            return 0;
        return command.what == kActiveStreams ? static_cast<LRESULT>(g_state.streams.size())
                                              : g_state.driver->IsStarted(command.device);
    }
    default:
        return 0;
    }
}

LRESULT CALLBACK CommandWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        try {
            return HandleCommand(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
        } catch (...) {
            return 0;
        }
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

DWORD WINAPI CommandThread(LPVOID)
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
    ::SetEvent(g_state.ready);

    DWORD wait = INFINITE;
    for (;;) {
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT) == WAIT_OBJECT_0) {
            MSG message;
            while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                ::DispatchMessageA(&message);
        }
        wait = FeedStreams();
    }
}
}

void StartCommandThread(Driver& driver)
{
    g_state.driver = &driver;
    ::QueryPerformanceFrequency(&g_state.frequency);
    g_state.ready = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = ::CreateThread(nullptr, 0, &CommandThread, nullptr, 0, nullptr);
    if (thread) {
        ::WaitForSingleObject(g_state.ready, 10000);
        ::CloseHandle(thread);
    }
}

}   // namespace virtual_midi
