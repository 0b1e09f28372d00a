// The road from a captured MIDI message or a COM line change to the network, on a thread of
// the program's own, so that nothing the window thread does (a settings save, a dialog, a
// panel that takes seconds to hide) can lose or delay a command. The thread takes the rings
// in turn, a few entries from each per round, so a device faster than the network loses its
// own excess (its ring overflows, counted) and never delays another; applies the NOTE OFF
// filter; builds the texts from the settings the window thread last published whole; and
// makes every call of the network library, whose maker's build may not be safe from two
// threads. The window thread hears afterwards, one report for whatever happened meanwhile.
#pragma once

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config/settings_record.h"
#include "input/midi_ring.h"

// What the sending thread reads of the settings: a copy, replaced whole, never changed.
struct SendSettings {
    std::string broadcastAddress;
    int port = 0;
    std::string applicationId;
    std::string destination;
    std::string textCommand;
    bool filterNoteOff = false;
    int comDevice = 0;
};
SendSettings SendSettingsOf(const Settings& settings);

// The network library; called from the sending thread only.
class NetworkLibrary {
public:
    // Close, then initialise with this address and port.
    virtual void Reinit(const std::string& address, int port) = 0;
    // Sends before it returns; false when the line did not reach the network.
    virtual bool Send(const std::string& line) = 0;
    virtual void Close() = 0;

protected:
    ~NetworkLibrary() = default;
};

// How the sending thread sleeps and is woken: by Wake, and by a ring entry stored after Rearm
// (the MIDI callbacks wake it then, once until the next Rearm).
class SendWaker {
public:
    // The sending thread's first act: the program raises its priority, as it must keep up with
    // the callbacks whatever else runs.
    virtual void OnThreadStart() noexcept {}
    virtual void Wake() noexcept = 0;   // any thread; never blocks
    virtual void Rearm() noexcept = 0;  // sending thread, before it looks at the rings
    // Sending thread: until woken or the milliseconds passed; a wake since the last wait ends it
    // at once.
    virtual void Wait(std::uint32_t milliseconds) = 0;
    static constexpr std::uint32_t kForever = 0xFFFFFFFF;

protected:
    ~SendWaker() = default;
};

// A steady clock in milliseconds.
class SendClock {
public:
    virtual std::uint64_t NowMilliseconds() noexcept = 0;

protected:
    ~SendClock() = default;
};

// Sending thread: tells the window thread a report waits (a posted message). False when it
// could not; the next news tries again.
class ReportNotifier {
public:
    virtual bool NotifyReport() noexcept = 0;
    // Window thread, while it waits for the sending thread: answers messages sent to its
    // windows meanwhile (from a network library called by the sending thread).
    virtual void AnswerSentMessages() noexcept {}

protected:
    ~ReportNotifier() = default;
};

struct ComLineChange {
    int line;
    int level;
    friend bool operator==(const ComLineChange&, const ComLineChange&) = default;
};

// What happened since the window thread last took a report.
struct SendReport {
    std::string lastCommand;   // the last command text that reached the network
    int lastDevice = -1;       // its second field; -1 when none reached it since the last report
    std::vector<ComLineChange> comChanges;   // handed on, in order: the LEDs and the mute keys
    // Since the start: messages their ring refused, by command number, and lines the network
    // library refused.
    std::array<std::uint64_t, kMidiDeviceCount> dropped{};
    std::uint64_t refused = 0;
};

class SendingThread final : public MidiRingBoard {
public:
    // Per ring and round: a flooding device waits at most this many sends of each other.
    static constexpr std::uint32_t kEntriesPerTurn = 8;
    // The window thread hears at most this often, unless a COM line changed (its LED and its
    // volume keys are told at once): what it shows needs no more, and each message costs it.
    static constexpr std::uint64_t kReportMilliseconds = 50;

    SendingThread(NetworkLibrary& network, SendWaker& waker, SendClock& clock, ReportNotifier& notifier)
        : m_network(network), m_waker(waker), m_clock(clock), m_notifier(notifier)
    {
    }
    ~SendingThread() { Stop(); }
    SendingThread(const SendingThread&) = delete;
    SendingThread& operator=(const SendingThread&) = delete;

    // Window thread. The library is initialised first when initNetwork is set.
    void Start(const SendSettings& settings, bool initNetwork);
    // Window thread: sends every entry captured by now, closes the library, ends the thread.
    void Stop();

    // Window thread: the settings of every command from the next round on; with reinitNetwork
    // the library is closed and initialised again first.
    void PublishSettings(const SendSettings& settings, bool reinitNetwork);

    // Window thread: the ring of the open device whose commands carry this number (0–4).
    void Publish(int number, MidiRing& ring) override;
    // Window thread, once the ring's device is closed: returns when every entry it captured
    // went out under its number and the thread no longer sees the ring, which may then go.
    void Withdraw(int number) override;

    // Any thread (the COM polling thread): a line change to send. False while the thread does
    // not run; the caller tries again.
    bool HandOverComLine(int line, int level);

    // Window thread, after NotifyReport: what happened since the last call.
    SendReport TakeReport();

private:
    struct Slot {
        MidiRing* ring = nullptr;
        std::uint32_t generation = 0;   // a new publication, even of the same ring
        bool withdrawing = false;
    };
    struct Round;
    struct Control;

    void Run();
    // One round; true once the thread closed the library and ends.
    bool RunRound();
    Control TakeControl();
    // One round of turns; true when a ring still holds entries.
    bool SendRings(const std::array<Slot, kMidiDeviceCount>& slots, bool stop, Round& round);
    bool SendRing(int number, const Slot& slot, std::uint32_t budget, Round& round);
    void SendComLine(const ComLineChange& change, Round& round);
    void Release(int number, const Slot& slot);
    void Finish();
    void WaitOnWindowThread(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done);
    void Deliver(Round& round);
    // Tells the window thread of the news delivered, when due; how long the news may wait.
    std::uint32_t Notify(bool now);

    NetworkLibrary& m_network;
    SendWaker& m_waker;
    SendClock& m_clock;
    ReportNotifier& m_notifier;
    std::thread m_thread;

    std::mutex m_lock;   // guards what follows, up to the report
    std::condition_variable m_released;
    bool m_running = false;
    bool m_stop = false;
    bool m_finished = false;   // the thread closed the library and ends
    bool m_reinit = false;
    std::shared_ptr<const SendSettings> m_settings;
    std::array<Slot, kMidiDeviceCount> m_slots{};
    std::vector<ComLineChange> m_comLines;

    std::mutex m_reportLock;   // guards the report
    SendReport m_report;
    std::atomic<bool> m_reportPending{ false };

    // The sending thread's own: the settings in use, and per number the ring and its drop
    // count last seen (the same ring published again keeps its count).
    std::shared_ptr<const SendSettings> m_current;
    std::array<const MidiRing*, kMidiDeviceCount> m_seenRing{};
    std::array<std::uint32_t, kMidiDeviceCount> m_seenDropped{};
    bool m_unreported = false;   // news delivered that the window thread was not told of
    std::uint64_t m_lastNotified = 0;
};
