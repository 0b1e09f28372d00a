// Our KvCom.dll: each line handed to KVCOM_send leaves as one UDP datagram, broadcast allowed,
// to the address and port given to KVCOM_init. The program calls it from one thread only.
// The datagrams are sent by the library's own thread, in the order of the calls: the caller's
// thread (the program's window thread, which also empties the MIDI rings) only copies the
// line. The queue is bounded; a line that finds it full is refused and counted.
#include <winsock2.h>
#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "framework/text.h"
#include "framework/win_handles.h"

namespace {
// About three seconds of five MIDI devices at cable speed.
constexpr std::size_t kMaxQueuedLines = 32768;

struct Connection {
    UniqueSocket socket;
    sockaddr_in target{};
    bool socketsStarted = false;
    std::thread sender;
    std::mutex lock;   // guards what follows
    std::condition_variable wake;
    std::deque<std::string> lines;
    bool senderWaiting = false;
    bool stop = false;
    unsigned long refused = 0;

    // A process that ends without KVCOM_close has had its threads ended already; a thread
    // object still joinable would end the process with an error on its way out.
    ~Connection()
    {
        if (sender.joinable())
            sender.detach();
    }
};

Connection g_connection;

void SendQueuedLines()
{
    std::unique_lock<std::mutex> guard(g_connection.lock);
    for (;;) {
        while (g_connection.lines.empty() && !g_connection.stop) {
            g_connection.senderWaiting = true;
            g_connection.wake.wait(guard);
            g_connection.senderWaiting = false;
        }
        if (g_connection.lines.empty())
            return;
        std::deque<std::string> batch;
        batch.swap(g_connection.lines);
        guard.unlock();
        for (const std::string& line : batch)
            ::sendto(g_connection.socket.Get(), line.data(), static_cast<int>(line.size()), 0,
                     reinterpret_cast<const sockaddr*>(&g_connection.target), sizeof g_connection.target);
        guard.lock();
    }
}

void StopSender()
{
    if (!g_connection.sender.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(g_connection.lock);
        g_connection.stop = true;
    }
    g_connection.wake.notify_one();
    // The lines queued so far still leave, in order.
    g_connection.sender.join();
    g_connection.stop = false;
}

void CloseConnection()
{
    StopSender();
    g_connection.socket.Reset();
    if (g_connection.socketsStarted) {
        ::WSACleanup();
        g_connection.socketsStarted = false;
    }
}

// Dotted decimal only: inet_addr would read a group with a leading zero as octal, so a
// user's "010" would send to 8 rather than 10.
bool ParseAddress(const char* text, in_addr& address)
{
    std::optional<std::uint32_t> value = ParseDottedDecimalValue(text);
    if (!value)
        return false;
    address.s_addr = ::htonl(*value);
    return true;
}
}

extern "C" {

int __stdcall KVCOM_init(HWND, UINT, const char* address, int port)
{
    CloseConnection();
    in_addr target;
    if (!address || !ParseAddress(address, target) || port < 0 || port > 65535)
        return -1;
    // The library starts sockets itself, so that it works for a caller that did not.
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        return -1;
    g_connection.socketsStarted = true;

    UniqueSocket socket(::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
    if (!socket) {
        CloseConnection();
        return -1;
    }
    BOOL allowBroadcast = TRUE;
    ::setsockopt(socket.Get(), SOL_SOCKET, SO_BROADCAST, reinterpret_cast<const char*>(&allowBroadcast),
                 sizeof allowBroadcast);
    g_connection.target = {};
    g_connection.target.sin_family = AF_INET;
    g_connection.target.sin_addr = target;
    g_connection.target.sin_port = ::htons(static_cast<u_short>(port));
    g_connection.socket = std::move(socket);
    try {
        g_connection.sender = std::thread(SendQueuedLines);
    } catch (const std::system_error&) {
        CloseConnection();
        return -1;
    }
    return 0;
}

int __stdcall KVCOM_send(const char* line)
{
    if (!line || !g_connection.socket)
        return -1;
    bool wakeSender = false;
    try {
        std::lock_guard<std::mutex> guard(g_connection.lock);
        if (g_connection.lines.size() >= kMaxQueuedLines) {
            ++g_connection.refused;
            return -1;
        }
        g_connection.lines.emplace_back(line);
        // Waking a thread costs a system call: only one that sleeps is woken.
        wakeSender = g_connection.senderWaiting;
    } catch (const std::bad_alloc&) {
        return -1;
    }
    if (wakeSender)
        g_connection.wake.notify_one();
    return 0;
}

int __stdcall KVCOM_close(void)
{
    CloseConnection();
    return 0;
}

}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
