#include "sending_thread.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <optional>
#include <system_error>
#include <utility>

#include "remote/command_text.h"

SendSettings SendSettingsOf(const Settings& settings)
{
    return { settings.m_strBroadcastAddress, settings.m_nPort,    settings.m_strApplicationId, settings.m_strDestination,
             settings.m_strTextCommand,     settings.m_bFilterNoteOff != 0, settings.m_comConfig.Device };
}

// What one round sent, refused and saw dropped, before it joins the report.
struct SendingThread::Round {
    SendReport news;
    bool any = false;
};

void SendingThread::Start(const SendSettings& settings, bool initNetwork)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_running)
        return;
    m_settings = std::make_shared<const SendSettings>(settings);
    m_reinit = initNetwork;
    m_stop = false;
    m_finished = false;
    try {
        m_thread = std::thread(&SendingThread::Run, this);
        m_running = true;
    } catch (const std::system_error&) {
        // Without the thread nothing is sent; the input is still captured and its loss counted.
    }
}

void SendingThread::Stop()
{
    {
        std::unique_lock<std::mutex> lock(m_lock);
        if (!m_running)
            return;
        m_stop = true;
        m_waker.Wake();
        WaitOnWindowThread(lock, [this] { return m_finished; });
    }
    // A stop made while this one waited (the session's end, sent meanwhile) has joined already.
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> guard(m_lock);
    m_running = false;
}

void SendingThread::PublishSettings(const SendSettings& settings, bool reinitNetwork)
{
    auto published = std::make_shared<const SendSettings>(settings);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_settings = std::move(published);
        m_reinit = m_reinit || reinitNetwork;
    }
    m_waker.Wake();
}

void SendingThread::Publish(int number, MidiRing& ring)
{
    Withdraw(number);
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Slot& slot = m_slots[static_cast<std::size_t>(number)];
        slot.ring = &ring;
        ++slot.generation;
        slot.withdrawing = false;
    }
    m_waker.Wake();
}

void SendingThread::Withdraw(int number)
{
    std::unique_lock<std::mutex> lock(m_lock);
    Slot& slot = m_slots[static_cast<std::size_t>(number)];
    if (!slot.ring)
        return;
    if (!m_running) {
        slot.ring = nullptr;
        return;
    }
    slot.withdrawing = true;
    m_waker.Wake();
    // The window thread answers sent messages while it waits: a stop made meanwhile ends the
    // thread without another round, and a ring published anew is no longer this one.
    const std::uint32_t generation = slot.generation;
    WaitOnWindowThread(lock, [&] { return slot.ring == nullptr || slot.generation != generation || m_finished; });
    if (slot.generation == generation) {
        slot.ring = nullptr;
        slot.withdrawing = false;
    }
}

void SendingThread::WaitOnWindowThread(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done)
{
    // A network library may send its window a message from the sending thread and wait for the
    // answer: the window thread answers while it waits.
    while (!m_released.wait_for(lock, std::chrono::milliseconds(10), done)) {
        lock.unlock();
        m_notifier.AnswerSentMessages();
        lock.lock();
    }
}

bool SendingThread::HandOverComLine(int line, int level)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_running || m_stop)
            return false;
        m_comLines.push_back({ line, level });
    }
    m_waker.Wake();
    return true;
}

SendReport SendingThread::TakeReport()
{
    std::lock_guard<std::mutex> guard(m_reportLock);
    // Cleared under the lock: news merged after this raises a new notification.
    m_reportPending.store(false, std::memory_order_release);
    SendReport taken = m_report;
    m_report.lastCommand.clear();
    m_report.lastDevice = -1;
    m_report.comChanges.clear();
    return taken;
}

// What the window thread and the polling thread handed over since the last round.
struct SendingThread::Control {
    std::array<Slot, kMidiDeviceCount> slots;
    std::vector<ComLineChange> comLines;
    bool stop = false;
    bool reinit = false;
};

void SendingThread::Run()
{
    m_waker.OnThreadStart();
    // No exception may end the thread: a round that failed (out of memory) is given up with what
    // it had in hand (the entry being sent, the COM changes taken, its news), and the next one
    // goes on, after a pause, so that a failure that lasts does not keep a core busy.
    for (bool finished = false; !finished;) {
        try {
            finished = RunRound();
        } catch (const std::exception&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

bool SendingThread::RunRound()
{
    // Before the rings are looked at: an entry stored from now on wakes the thread again.
    m_waker.Rearm();
    Control control = TakeControl();
    if (control.reinit)
        m_network.Reinit(m_current->broadcastAddress, m_current->port);
    Round round;
    for (const ComLineChange& change : control.comLines)
        SendComLine(change, round);
    bool more = SendRings(control.slots, control.stop, round);
    for (std::size_t n = 0; n < control.slots.size(); ++n)
        if (control.slots[n].withdrawing)
            Release(static_cast<int>(n), control.slots[n]);
    Deliver(round);
    std::uint32_t patience = Notify(control.stop || !round.news.comChanges.empty());
    if (control.stop) {
        m_network.Close();
        Finish();
        return true;
    }
    if (!more && control.comLines.empty())
        m_waker.Wait(patience);
    return false;
}

SendingThread::Control SendingThread::TakeControl()
{
    Control control;
    std::lock_guard<std::mutex> guard(m_lock);
    control.slots = m_slots;
    control.comLines.swap(m_comLines);
    control.stop = m_stop;
    control.reinit = std::exchange(m_reinit, false);
    m_current = m_settings;
    return control;
}

bool SendingThread::SendRings(const std::array<Slot, kMidiDeviceCount>& slots, bool stop, Round& round)
{
    // In turns; a ring on its way out gives all it holds (its device no longer adds).
    // Stopping, every ring does, still in turns: all that was captured goes out.
    std::array<std::uint32_t, kMidiDeviceCount> budget{};
    for (std::size_t n = 0; n < slots.size(); ++n)
        budget[n] = !slots[n].ring ? 0 : stop || slots[n].withdrawing ? slots[n].ring->PendingCount() : kEntriesPerTurn;
    bool more = false;
    for (bool left = true; left;) {
        left = false;
        for (std::size_t n = 0; n < slots.size(); ++n) {
            if (!slots[n].ring)
                continue;
            std::uint32_t turn = std::min(budget[n], kEntriesPerTurn);
            budget[n] -= turn;
            bool pending = SendRing(static_cast<int>(n), slots[n], turn, round);
            more = more || pending;
            left = left || budget[n] > 0;
        }
    }
    return more;
}

bool SendingThread::SendRing(int number, const Slot& slot, std::uint32_t budget, Round& round)
{
    MidiRing& ring = *slot.ring;
    auto index = static_cast<std::size_t>(number);
    // Read before the entries: a drop counted now happened before what this turn sends.
    std::uint32_t dropped = ring.Dropped();
    if (m_seenRing[index] != &ring || dropped < m_seenDropped[index]) {
        m_seenRing[index] = &ring;   // another ring, or this one made anew
        m_seenDropped[index] = 0;
    }
    if (dropped != m_seenDropped[index]) {
        round.news.dropped[index] += dropped - m_seenDropped[index];
        m_seenDropped[index] = dropped;
        round.any = true;
    }
    const SendSettings& settings = *m_current;
    for (; budget > 0; --budget) {
        std::optional<MidiRingEntry> entry = ring.Peek();
        if (!entry)
            return false;
        // The position goes back to the callback before the send's wait.
        ring.Advance();
        if (IsFilteredNoteOff(settings.filterNoteOff, entry->status, entry->data2))
            continue;
        std::string text = FormatCommandText(settings.textCommand, number, entry->status, entry->data1, entry->data2);
        if (m_network.Send(FormatRemoteLine(settings.applicationId, settings.destination, text))) {
            round.news.lastCommand = std::move(text);
            round.news.lastDevice = number;
        } else {
            ++round.news.refused;
        }
        round.any = true;
    }
    return !ring.IsEmpty();
}

void SendingThread::SendComLine(const ComLineChange& change, Round& round)
{
    const SendSettings& settings = *m_current;
    std::string text = FormatCommandText(settings.textCommand, settings.comDevice, kComSwitchStatus, change.line,
                                         ComLineValue(change.level));
    if (m_network.Send(FormatRemoteLine(settings.applicationId, settings.destination, text))) {
        round.news.lastCommand = std::move(text);
        round.news.lastDevice = settings.comDevice;
    } else {
        ++round.news.refused;
    }
    round.news.comChanges.push_back(change);
    round.any = true;
}

void SendingThread::Finish()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_finished = true;
    }
    m_released.notify_all();
}

void SendingThread::Release(int number, const Slot& slot)
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        Slot& now = m_slots[static_cast<std::size_t>(number)];
        if (now.generation != slot.generation || !now.withdrawing)
            return;
        now.ring = nullptr;
        now.withdrawing = false;
    }
    m_released.notify_all();
}

void SendingThread::Deliver(Round& round)
{
    if (!round.any)
        return;
    {
        std::lock_guard<std::mutex> guard(m_reportLock);
        if (round.news.lastDevice >= 0) {
            m_report.lastCommand = std::move(round.news.lastCommand);
            m_report.lastDevice = round.news.lastDevice;
        }
        m_report.comChanges.insert(m_report.comChanges.end(), round.news.comChanges.begin(), round.news.comChanges.end());
        for (std::size_t n = 0; n < m_report.dropped.size(); ++n)
            m_report.dropped[n] += round.news.dropped[n];
        m_report.refused += round.news.refused;
    }
    m_unreported = true;
}

std::uint32_t SendingThread::Notify(bool now)
{
    if (!m_unreported)
        return SendWaker::kForever;
    std::uint64_t time = m_clock.NowMilliseconds();
    if (!now && time - m_lastNotified < kReportMilliseconds)
        return static_cast<std::uint32_t>(kReportMilliseconds - (time - m_lastNotified));
    m_lastNotified = time;
    // A report still waiting for the window thread takes the news along.
    if (m_reportPending.exchange(true, std::memory_order_acq_rel) || m_notifier.NotifyReport()) {
        m_unreported = false;
        return SendWaker::kForever;
    }
    m_reportPending.store(false, std::memory_order_release);
    return static_cast<std::uint32_t>(kReportMilliseconds);
}
