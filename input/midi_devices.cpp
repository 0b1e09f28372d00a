#include "midi_devices.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {
constexpr int kNone = -1;
// Nobody is looked for beyond this many positions: a machine has a handful of MIDI inputs.
constexpr unsigned kPositionLimit = 32;

class SilentReporter final : public MidiFailureReporter {
public:
    void Report(const char*) override {}
};

std::vector<std::string> Without(const std::vector<std::string>& sorted, const std::vector<std::string>& removed)
{
    std::vector<std::string> rest;
    std::set_difference(sorted.begin(), sorted.end(), removed.begin(), removed.end(), std::back_inserter(rest));
    return rest;
}
}

MidiDevices::MidiDevices(MidiInApi& api, MidiWakeup& wakeup, MidiRingBoard& board)
    : m_api(api), m_wakeup(wakeup), m_board(board)
{
}

MidiDevices::Positions MidiDevices::ReadPositions()
{
    Positions now;
    unsigned count = std::min(m_api.DeviceCount(), kPositionLimit);
    for (unsigned position = 0; position < count; ++position) {
        // A busy driver may fail one read: a device is never given up on a single one.
        std::optional<std::string> name = m_api.DeviceName(position);
        if (!name)
            name = m_api.DeviceName(position);
        now.names.push_back(name.value_or(""));
        now.unknown.push_back(!name);
    }
    return now;
}

void MidiDevices::Load(const std::vector<MidiDeviceChoice>& stored)
{
    Positions now = ReadPositions();
    // The name each number is stored with, its first entry if stored twice. Known by its number
    // only (a file from before the names were kept): the device there now.
    std::array<std::string, kMidiDeviceCount> asked;
    for (const MidiDeviceChoice& choice : stored) {
        auto number = static_cast<size_t>(choice.number);
        std::string name = choice.name;
        if (name.empty() && number < now.names.size() && !now.unknown[number])
            name = now.names[number];
        if (asked[number].empty())
            asked[number] = name;
    }
    for (Entry& entry : m_entries)
        entry.chosen = false;
    for (const MidiDeviceChoice& choice : stored) {
        auto number = static_cast<size_t>(choice.number);
        const std::string& name = asked[number];
        if (name.empty() || m_entries[number].chosen)
            continue;
        // The stored number wins over the one this session gave the device, unless that number
        // is stored with the same name too (two devices of one name keep their own numbers).
        for (size_t other = 0; other < m_entries.size(); ++other) {
            if (other != number && !m_entries[other].chosen && m_entries[other].name == name && asked[other] != name) {
                CloseDevice(static_cast<int>(other));
                m_entries[other] = {};
            }
        }
        if (m_entries[number].name != name) {
            CloseDevice(static_cast<int>(number));
            m_entries[number] = { name };
        }
        m_entries[number].chosen = true;
    }
    Locate(now);
}

void MidiDevices::Locate(const Positions& now)
{
    std::array<int, kMidiDeviceCount> was{};
    for (size_t number = 0; number < m_entries.size(); ++number)
        was[number] = std::exchange(m_entries[number].position, kNone);
    std::vector<bool> taken(now.names.size(), false);
    bool anyUnknown = std::find(now.unknown.begin(), now.unknown.end(), true) != now.unknown.end();
    auto free = [&](int position, const std::string& name) {
        return position >= 0 && static_cast<size_t>(position) < taken.size() && !taken[static_cast<size_t>(position)] &&
               !name.empty() && now.names[static_cast<size_t>(position)] == name;
    };
    auto place = [&](Entry& entry, int position) { entry.position = position, taken[static_cast<size_t>(position)] = true; };
    // An open device is where its handle says, unless that position now names another device;
    // while a name could not be read, a live handle is trusted.
    for (size_t number = 0; number < m_entries.size(); ++number) {
        Entry& entry = m_entries[number];
        std::optional<unsigned> at = m_open[number] ? m_api.HandlePosition(m_open[number]->Handle()) : std::nullopt;
        if (at && *at < taken.size() && !taken[*at] && (anyUnknown || free(static_cast<int>(*at), entry.name)))
            place(entry, static_cast<int>(*at));
    }
    // The others stay where they were while that position carries their name, else take the
    // first free position of their name; open devices first, as a driver may give a handle's
    // old position. Among devices of one name, their order decides.
    for (bool open : { true, false }) {
        for (size_t number = 0; number < m_entries.size(); ++number) {
            Entry& entry = m_entries[number];
            if (entry.position != kNone || (m_open[number] != nullptr) != open)
                continue;
            if (free(was[number], entry.name))
                place(entry, was[number]);
            for (int position = 0; entry.position == kNone && position < static_cast<int>(taken.size()); ++position) {
                if (free(position, entry.name))
                    place(entry, position);
            }
        }
    }
    NumberNewDevices(now, taken);
}

void MidiDevices::NumberNewDevices(const Positions& now, const std::vector<bool>& taken)
{
    // Only devices 0-4 are offered when they first come; one that already has a number is
    // followed to any position.
    for (size_t position = 0; position < now.names.size() && position < m_entries.size(); ++position) {
        if (taken[position] || now.unknown[position] || now.names[position].empty())
            continue;
        int number = FreeNumber(static_cast<int>(position));
        if (number != kNone)
            m_entries[static_cast<size_t>(number)] = { now.names[position], false, static_cast<int>(position) };
    }
}

int MidiDevices::FreeNumber(int preferred) const
{
    if (m_entries[static_cast<size_t>(preferred)].name.empty())
        return preferred;
    for (int number = 0; number < kMidiDeviceCount; ++number) {
        if (m_entries[static_cast<size_t>(number)].name.empty())
            return number;
    }
    // A device that is gone and not chosen gives its number up last.
    for (int number = 0; number < kMidiDeviceCount; ++number) {
        const Entry& entry = m_entries[static_cast<size_t>(number)];
        if (!entry.chosen && entry.position == kNone && !m_open[static_cast<size_t>(number)])
            return number;
    }
    return kNone;
}

std::vector<MidiDeviceChoice> MidiDevices::Choice() const
{
    std::vector<MidiDeviceChoice> choice;
    for (size_t number = 0; number < m_entries.size(); ++number) {
        if (m_entries[number].chosen)
            choice.push_back({ static_cast<int>(number), m_entries[number].name });
    }
    return choice;
}

MidiDeviceViews MidiDevices::Views() const
{
    MidiDeviceViews views;
    for (size_t number = 0; number < m_entries.size(); ++number)
        views[number] = { m_entries[number].name, m_entries[number].chosen, m_entries[number].position != kNone };
    return views;
}

void MidiDevices::Choose(const std::vector<MidiChoiceEdit>& edits)
{
    for (const MidiChoiceEdit& edit : edits) {
        if (edit.number < 0 || edit.number >= kMidiDeviceCount)
            continue;
        Entry& entry = m_entries[static_cast<size_t>(edit.number)];
        if (!entry.name.empty() && entry.name == edit.name)
            entry.chosen = edit.chosen;
    }
}

void MidiDevices::Sync(MidiFailureReporter& reporter)
{
    bool outer = !std::exchange(m_syncing, true);
    for (size_t number = 0; number < m_entries.size(); ++number) {
        const Entry& entry = m_entries[number];
        bool wanted = entry.chosen && entry.position != kNone;
        if (!wanted)
            CloseDevice(static_cast<int>(number));
        else if (!m_open[number]) {
            m_open[number] = OpenAndStartMidiDevice(m_api, m_wakeup, static_cast<unsigned>(entry.position), reporter);
            if (m_open[number])
                m_board.Publish(static_cast<int>(number), m_open[number]->Ring());
        }
    }
    m_syncing = !outer;
}

MidiDeviceChanges MidiDevices::Scan()
{
    if (m_syncing)
        return {};
    std::vector<std::string> before = OpenNames();
    // Gone also when the system said nothing: a dead handle (e.g. across a sleep) is closed and
    // the device opened again where it is now.
    for (size_t number = 0; number < m_open.size(); ++number) {
        if (m_open[number] && (m_open[number]->IsLost() || !m_api.HandlePosition(m_open[number]->Handle())))
            CloseDevice(static_cast<int>(number));
    }
    Locate(ReadPositions());
    SilentReporter silent;
    Sync(silent);
    std::vector<std::string> after = OpenNames();
    return { Without(before, after), Without(after, before) };
}

bool MidiDevices::AnyLost() const
{
    return std::any_of(m_open.begin(), m_open.end(), [](const auto& device) { return device && device->IsLost(); });
}

void MidiDevices::CloseDevice(int number)
{
    std::unique_ptr<MidiInDevice> device = std::move(m_open[static_cast<size_t>(number)]);
    if (!device)
        return;
    device->Close();
    // What the device captured before it stopped still goes out, under its number, before its
    // ring goes with it.
    m_board.Withdraw(number);
}

void MidiDevices::CloseAll()
{
    for (int number = 0; number < kMidiDeviceCount; ++number)
        CloseDevice(number);
}

int MidiDevices::OpenCount() const
{
    return static_cast<int>(std::count_if(m_open.begin(), m_open.end(), [](const auto& device) { return device != nullptr; }));
}

std::vector<std::string> MidiDevices::OpenNames() const
{
    std::vector<std::string> open;
    for (size_t number = 0; number < m_open.size(); ++number) {
        if (m_open[number])
            open.push_back(m_entries[number].name);
    }
    std::sort(open.begin(), open.end());
    return open;
}
