// The driver's own thread: a hidden message-only window that takes the tests' commands, and
// between messages the feeder that calls the callbacks of paced streams.
#include <cstring>
#include <string>
#include <vector>

#include "driver.h"

namespace virtual_midi {
namespace {
struct Stream {
    StreamCommand command = {};
    LONGLONG start = 0;
    double ticksPerMessage = 0;
    std::uint32_t next = 0;
    bool seenOpen = false;
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
    if (command.ratePerSecond == 0)
        return 0;
    Stream stream;
    stream.command = command;
    stream.command.timeline[sizeof stream.command.timeline - 1] = '\0';
    stream.start = command.startCounter ? command.startCounter : Now();
    stream.ticksPerMessage = static_cast<double>(g_state.frequency.QuadPart) / command.ratePerSecond;
    if (stream.command.timeline[0] && command.count > 0) {
        stream.mapping = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, stream.command.timeline);
        if (!stream.mapping)
            return 0;
        stream.timeline = static_cast<std::int64_t*>(
            ::MapViewOfFile(stream.mapping, FILE_MAP_WRITE, 0, 0, sizeof(std::int64_t) * command.count));
        if (!stream.timeline) {
            ::CloseHandle(stream.mapping);
            return 0;
        }
    }
    g_state.streams.push_back(stream);
    if (command.flags & kThroughClose)
        g_state.driver->MarkThroughClose(command.device, 1);
    return 1;
}

LRESULT ActiveStreams() { return static_cast<LRESULT>(g_state.streams.size()); }

// Calls every message that is due; true when the stream is finished.
bool Feed(Stream& stream, LONGLONG now)
{
    const StreamCommand& command = stream.command;
    bool throughClose = command.flags & kThroughClose;
    while (command.count == 0 || stream.next < command.count) {
        auto due = stream.start + static_cast<LONGLONG>(stream.next * stream.ticksPerMessage);
        if (due > now)
            return false;
        LONGLONG calledAt = 0;
        CallResult result = g_state.driver->CallData(command.device, SequenceMessage(command.firstSequence + stream.next),
                                                     throughClose, &calledAt);
        if (command.count == 0) {
            // Until closed: it ends once the device it has seen open is closed.
            if (result == CallResult::Closed && stream.seenOpen)
                return true;
            stream.seenOpen |= result != CallResult::Closed;
            if (result != CallResult::Delivered)
                return false;
        } else if (stream.timeline) {
            stream.timeline[stream.next] = result == CallResult::Delivered ? calledAt : 0;
        }
        ++stream.next;
    }
    return true;
}

void Release(Stream& stream)
{
    if (stream.command.flags & kThroughClose)
        g_state.driver->MarkThroughClose(stream.command.device, -1);
    if (stream.timeline)
        ::UnmapViewOfFile(stream.timeline);
    if (stream.mapping)
        ::CloseHandle(stream.mapping);
}

// The feeder's wait: a message already due is called at once; otherwise the thread sleeps to
// the next millisecond tick, the finest step Wine's waits take.
DWORD FeedStreams()
{
    LONGLONG now = Now();
    for (size_t i = 0; i < g_state.streams.size();) {
        if (Feed(g_state.streams[i], now)) {
            Release(g_state.streams[i]);
            g_state.streams.erase(g_state.streams.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
    return g_state.streams.empty() ? INFINITE : 1;
}

LRESULT HandleCommand(const COPYDATASTRUCT& data)
{
    Driver& driver = *g_state.driver;
    switch (data.dwData) {
    case kDeliver: {
        constexpr size_t header = offsetof(DeliverCommand, messages);
        if (data.cbData < header)
            return 0;
        DeliverCommand command = {};
        std::memcpy(&command, data.lpData, header);
        if (command.count > kMaxDeliver || data.cbData < header + command.count * sizeof(ShortMessage))
            return 0;
        std::memcpy(command.messages, static_cast<const char*>(data.lpData) + header, command.count * sizeof(ShortMessage));
        return driver.Deliver(command);
    }
    case kStream: {
        if (data.cbData < sizeof(StreamCommand))
            return 0;
        StreamCommand command;
        std::memcpy(&command, data.lpData, sizeof command);
        return ScheduleStream(command);
    }
    case kQuery: {
        if (data.cbData < sizeof(QueryCommand))
            return 0;
        QueryCommand command;
        std::memcpy(&command, data.lpData, sizeof command);
        return command.what == kActiveStreams ? ActiveStreams() : driver.Query(command.device, command.what);
    }
    case kConfigure:
        return driver.Configure(std::string(static_cast<const char*>(data.lpData), data.cbData));
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
