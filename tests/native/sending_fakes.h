// The sending thread's surroundings for the tests: a network library that logs, a waker as the
// program's (one wake per rearm, however many entries are stored), a notifier that counts.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "remote/sending_thread.h"

struct SendingFakes : NetworkLibrary, SendWaker, SendClock, ReportNotifier {
    void Reinit(const std::string& address, int port) override { Log("init " + address + ":" + std::to_string(port)); }
    bool Send(const std::string& line) override { return Log(line), sends.fetch_add(1, std::memory_order_release), !refuse; }
    void Close() override { Log("close"); }
    void Log(const std::string& line)
    {
        std::lock_guard<std::mutex> guard(lock);
        log.push_back(line);
    }

    void Wake() noexcept override
    {
        std::lock_guard<std::mutex> guard(lock);
        woken = true;
        wake.notify_one();
    }
    void Rearm() noexcept override { pending.exchange(false, std::memory_order_acq_rel); }
    void Wait(std::uint32_t milliseconds) override
    {
        std::unique_lock<std::mutex> guard(lock);
        wake.wait_for(guard, std::chrono::milliseconds(milliseconds), [this] { return woken; });
        woken = false;
    }
    std::uint64_t NowMilliseconds() noexcept override
    {
        return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch()).count());
    }
    // What the MIDI callback does after it stored an entry.
    void Stored() noexcept
    {
        if (!pending.exchange(true, std::memory_order_acq_rel))
            Wake();
    }
    bool NotifyReport() noexcept override { return notified.fetch_add(1, std::memory_order_release), true; }

    std::mutex lock;
    std::condition_variable wake;
    bool woken = false;
    std::atomic<bool> pending{ false };
    std::atomic<int> notified{ 0 };
    std::atomic<std::size_t> sends{ 0 };
    std::vector<std::string> log;
    bool refuse = false;
    SendingThread thread{ *this, *this, *this, *this };
};
