// The sending thread's surroundings for the tests: a network library that logs, whose Close asks
// the window thread something (as the maker's may), a waker as the program's (one wake per
// rearm) that tells when it sleeps with no wake pending, a clock the test sets, a notifier that
// counts (and fails when told).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "remote/sending_thread.h"

struct SendingFakes : NetworkLibrary, SendWaker, SendClock, ReportNotifier {
    void Reinit(const std::string& address, int port) override { Log("init " + address + ":" + std::to_string(port)); }
    bool Send(const std::string& line) override
    {
        if (failing > 0 && failing-- > 0)
            throw std::bad_alloc();
        return Log(line), ++sends, line.find(refused) == std::string::npos;
    }
    void Close() override
    {
        answered = false;
        for (int i = 0; !answered && i < 1000; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Log(answered ? "close" : "close unanswered");
    }
    void AnswerSentMessages() noexcept override { answered = true; }
    void Log(const std::string& line) { std::lock_guard<std::mutex> guard(lock); log.push_back(line); }

    void OnThreadStart() noexcept override
    {
        started = true;
        while (held)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    void Wake() noexcept override { std::lock_guard<std::mutex> guard(lock); woken = true, wake.notify_one(); }
    void Rearm() noexcept override
    {
        if (!started)
            Log("a round before the thread's start");
        pending.exchange(false);
    }
    void Wait(std::uint32_t milliseconds) override
    {
        std::unique_lock<std::mutex> guard(lock);
        parked = !woken && milliseconds == kForever;
        wake.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return woken; });
        woken = parked = false;
    }
    std::uint64_t NowMilliseconds() noexcept override { return now; }
    // What the MIDI callback does after it stored an entry.
    void Stored() noexcept { if (!pending.exchange(true)) Wake(); }
    bool NotifyReport() noexcept override { return ++notified > failedNotifications; }

    std::mutex lock;
    std::condition_variable wake;
    bool woken = false;
    std::atomic<bool> pending{ false }, answered{ false }, held{ false }, started{ false }, parked{ false };
    std::atomic<int> notified{ 0 };   // tried, the first failedNotifications in vain
    int failedNotifications = 0;
    std::atomic<std::size_t> sends{ 0 };
    std::atomic<int> failing{ 0 };   // how many of the next sends throw, as when memory is exhausted
    std::atomic<std::uint64_t> now{ 1000 };
    std::vector<std::string> log;
    std::string refused = "\n";   // a line holding this is refused
    SendingThread thread{ *this, *this, *this, *this };
};

// Until done, for at most a minute; the fakes' clock goes as the real one.
inline bool WaitFor(SendingFakes& f, const std::function<bool()>& done)
{
    for (int ms = 0; ms < 60000; ++ms, ++f.now, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
        if (done())
            return true;
    return false;
}
