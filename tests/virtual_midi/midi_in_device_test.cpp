// MidiInDevice, its callback and SyncMidiDevices against the virtual MIDI driver loaded in
// this process. The devices come from the test's environment:
// 0 "Keys", 1 "Pads" (open fails), 2 without a name, 3 "Drums" (start fails), 4 "Wind",
// 5 "Six", 6 "Seven".
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "input/midi_in_device_win.h"
#include "tests/support/kvmidi_process.h"
#include "tests/virtual_midi/virtual_midi_client.h"

using namespace std::chrono_literals;
using virtual_midi::ShortMessage;

namespace {
constexpr auto kDeadline = 10s;
constexpr const char* kDevices = "Keys,Pads!open,,Drums!start,Wind,Six,Seven";

class RecordingReporter final : public MidiFailureReporter {
public:
    void Report(const char* text) override { texts.emplace_back(text); }
    std::vector<std::string> texts;
};

class MidiInDeviceTest : public testing::Test {
protected:
    void SetUp() override
    {
        ::midiInGetNumDevs();   // the driver starts with the first call
        driver = VirtualMidiDriver::Find(::GetCurrentProcessId(), kDeadline);
        ASSERT_TRUE(driver.IsFound()) << "winmm.dll is not the virtual driver";
        ASSERT_EQ(driver.Configure(kDevices), 7);
        window = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        ::DestroyWindow(window);
        driver.Configure(kDevices);
    }

    // The MM_MIM_DATA notifications posted to our window so far, as their device numbers.
    std::vector<WPARAM> TakeNotifications()
    {
        std::vector<WPARAM> devices;
        MSG message;
        while (::PeekMessageA(&message, window, MM_MIM_DATA, MM_MIM_DATA, PM_REMOVE)) {
            EXPECT_EQ(message.lParam, 0);
            devices.push_back(message.wParam);
        }
        return devices;
    }

    std::unique_ptr<MidiInDevice> OpenStarted(UINT number)
    {
        auto device = std::make_unique<MidiInDevice>();
        EXPECT_EQ(device->Open(number, window), MidiInDevice::OpenResult::Opened);
        EXPECT_TRUE(device->Start());
        return device;
    }

    static int Pending(MidiRing& ring)
    {
        return static_cast<int>((ring.WriteOffset() - ring.ReadOffset()) & MidiRing::kOffsetMask) / 8;
    }

    VirtualMidiDriver driver;
    HWND window = nullptr;
};

TEST_F(MidiInDeviceTest, EnumerationNamesDevicesZeroToFourAndLeavesEmptyNamesOut)
{
    MidiDeviceNames names = EnumerateMidiInDevices();
    const char* expected[kMidiDeviceCount] = { "Keys", "Pads", nullptr, "Drums", "Wind" };
    for (size_t i = 0; i < names.size(); ++i) {
        if (expected[i]) {
            ASSERT_TRUE(names[i]) << i;
            EXPECT_EQ(*names[i], expected[i]);
        } else {
            EXPECT_FALSE(names[i]) << i;
        }
    }
    EXPECT_EQ(driver.Query(5, virtual_midi::kCapsReads), 0);
    EXPECT_EQ(driver.Query(6, virtual_midi::kCapsReads), 0);
}

TEST_F(MidiInDeviceTest, EnumerationSkipsUnreadableCapsAndKeepsAFullLengthName)
{
    const std::string full(32, 'N');
    ASSERT_EQ(driver.Configure("Broken!caps," + full + "XYZ"), 2);
    MidiDeviceNames names = EnumerateMidiInDevices();
    EXPECT_FALSE(names[0]);
    ASSERT_TRUE(names[1]);
    EXPECT_EQ(*names[1], full);
    EXPECT_FALSE(names[2]);
}

TEST_F(MidiInDeviceTest, AStartedDeviceStoresEachMessageAndPostsItsNumber)
{
    auto device = OpenStarted(4);
    EXPECT_EQ(device->DeviceNumber(), 4u);
    ASSERT_EQ(driver.Deliver(4, { MidiShortMessage(0x90, 60, 100, 1234), MidiShortMessage(0xB2, 7, 0, 1240) }), 2);
    EXPECT_EQ(TakeNotifications(), (std::vector<WPARAM>{ 4, 4 }));
    std::optional<MidiRingEntry> entry = device->Peek();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->status, 0x90);
    EXPECT_EQ(entry->data1, 60);
    EXPECT_EQ(entry->data2, 100);
    EXPECT_EQ(entry->timestamp, 1234u);
    device->Advance();
    EXPECT_EQ(device->Peek()->status, 0xB2);
}

TEST_F(MidiInDeviceTest, SystemMessagesAreNeitherStoredNorNotified)
{
    auto device = OpenStarted(0);
    std::vector<ShortMessage> system;
    for (unsigned status : { 0xF0u, 0xF1u, 0xF2u, 0xF7u, 0xF8u, 0xFAu, 0xFCu, 0xFEu, 0xFFu })
        system.push_back(MidiShortMessage(status, 0, 0));
    ASSERT_EQ(driver.Deliver(0, system), static_cast<int>(system.size()));
    EXPECT_TRUE(TakeNotifications().empty());
    EXPECT_FALSE(device->Peek());
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0xE0, 0, 64) }), 1);
    EXPECT_EQ(TakeNotifications().size(), 1u);
}

TEST_F(MidiInDeviceTest, TheSixtyFourthPendingMessageIsDroppedWithoutNotification)
{
    auto device = OpenStarted(0);
    std::vector<ShortMessage> burst;
    for (unsigned i = 0; i < 64; ++i)
        burst.push_back(MidiShortMessage(0x90, i, 100, i));
    ASSERT_EQ(driver.Deliver(0, burst), 64);
    EXPECT_EQ(TakeNotifications().size(), 63u);
    EXPECT_EQ(Pending(device->Ring()), 63);
    device->Advance();
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 99, 1) }), 1);
    EXPECT_EQ(TakeNotifications().size(), 1u);
    EXPECT_EQ(Pending(device->Ring()), 63);
}

TEST_F(MidiInDeviceTest, OpenReportsAFailedOpenAndANumberBeyondTheDevices)
{
    MidiInDevice device;
    EXPECT_EQ(device.Open(1, window), MidiInDevice::OpenResult::OpenFailed);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_EQ(device.Open(7, window), MidiInDevice::OpenResult::InvalidSelection);
    EXPECT_EQ(device.Open(0xFFFFFFFFu, window), MidiInDevice::OpenResult::InvalidSelection);
    EXPECT_FALSE(device.IsOpen());
    EXPECT_FALSE(device.Peek());

    MidiInDevice drums;
    ASSERT_EQ(drums.Open(3, window), MidiInDevice::OpenResult::Opened);
    EXPECT_FALSE(drums.Start());
}

TEST_F(MidiInDeviceTest, CloseStopsResetsAndClosesInThatOrder)
{
    auto device = OpenStarted(0);
    HMIDIIN handle = device->Handle();
    EXPECT_NE(handle, nullptr);
    device->Close();
    EXPECT_FALSE(device->IsOpen());
    EXPECT_EQ(driver.Query(0, virtual_midi::kIsOpen), 0);
    EXPECT_EQ(driver.Query(0, virtual_midi::kCallSequence) & 0xFFFFF, 0x12345);
    device->Close();
    EXPECT_EQ(driver.Query(0, virtual_midi::kCallSequence) & 0xFFFFF, 0x12345);
    EXPECT_EQ(midiInClose(handle), static_cast<MMRESULT>(MMSYSERR_INVALHANDLE));
}

TEST_F(MidiInDeviceTest, ACallbackWithAnotherHandleIsIgnored)
{
    auto device = OpenStarted(0);
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 60, 100) }, virtual_midi::kWrongHandle), 1);
    EXPECT_TRUE(TakeNotifications().empty());
    EXPECT_TRUE(device->Ring().IsEmpty());

    device->Close();
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 60, 100) }, virtual_midi::kAfterClose), 1);
    EXPECT_TRUE(TakeNotifications().empty());
    EXPECT_TRUE(device->Ring().IsEmpty());
}

TEST_F(MidiInDeviceTest, CallbacksThatArriveWhileTheDeviceClosesAreIgnored)
{
    long long before = driver.Query(4, virtual_midi::kDataCallbacks);
    auto device = OpenStarted(4);
    virtual_midi::StreamCommand stream = {};
    stream.device = 4;
    stream.ratePerSecond = 100;
    stream.flags = virtual_midi::kThroughClose;
    ASSERT_TRUE(driver.Stream(stream));
    int stored = 0;
    auto take = [&] {
        for (; device->Ring().Peek(); device->Ring().Advance())
            ++stored;
    };
    ASSERT_TRUE(WaitUntil([&] {
        take();
        return driver.Query(4, virtual_midi::kDataCallbacks) - before >= 3;
    }, kDeadline));

    device->Close();
    take();
    long long made = driver.Query(4, virtual_midi::kDataCallbacks) - before;
    long long duringClose = driver.Query(4, virtual_midi::kCallbacksAfterStop);
    EXPECT_GE(duringClose, 3);
    EXPECT_EQ(stored, made - duringClose);
    EXPECT_EQ(static_cast<int>(TakeNotifications().size()), stored);
    device.reset();
    EXPECT_TRUE(WaitUntil([&] { return driver.Query(0, virtual_midi::kActiveStreams) == 0; }, kDeadline));
    EXPECT_EQ(driver.Query(4, virtual_midi::kIsOpen), 0);
}

TEST_F(MidiInDeviceTest, SyncOpensSelectedNamedDevicesAndReportsEachFailure)
{
    MidiDeviceNames names = EnumerateMidiInDevices();
    MidiDeviceSlots slots;
    RecordingReporter reporter;
    const int all[kMidiDeviceCount] = { 1, 1, 1, 1, 1 };
    SyncMidiDevices(window, all, names, slots, reporter);
    EXPECT_EQ(reporter.texts, (std::vector<std::string>{ "Cannot open MIDI device", "Cannot start MIDI device" }));
    ASSERT_TRUE(slots[0]);
    EXPECT_FALSE(slots[1]);
    EXPECT_FALSE(slots[2]);
    EXPECT_FALSE(slots[3]);
    ASSERT_TRUE(slots[4]);
    EXPECT_EQ(driver.Query(2, virtual_midi::kOpenAttempts), 0);
    EXPECT_EQ(driver.Query(3, virtual_midi::kIsOpen), 0);
    EXPECT_EQ(driver.Query(3, virtual_midi::kCallSequence) & 0xFFFFF, 0x12345);

    // Open devices stay as they are; the failed ones are tried again, with their messages.
    MidiInDevice* keys = slots[0].get();
    long long keysOpens = driver.Query(0, virtual_midi::kOpenAttempts);
    SyncMidiDevices(window, all, names, slots, reporter);
    EXPECT_EQ(reporter.texts.size(), 4u);
    EXPECT_EQ(slots[0].get(), keys);
    EXPECT_EQ(driver.Query(0, virtual_midi::kOpenAttempts), keysOpens);
    CloseMidiDevices(slots);
    EXPECT_EQ(driver.Query(0, virtual_midi::kIsOpen), 0);
    EXPECT_EQ(driver.Query(4, virtual_midi::kIsOpen), 0);
}

TEST_F(MidiInDeviceTest, SyncClosesDeselectedDevicesAndReopensThemWithAnEmptyRing)
{
    MidiDeviceNames names = EnumerateMidiInDevices();
    MidiDeviceSlots slots;
    RecordingReporter reporter;
    const int keysAndWind[kMidiDeviceCount] = { 1, 0, 0, 0, 1 };
    const int windOnly[kMidiDeviceCount] = { 0, 0, 0, 0, 1 };
    SyncMidiDevices(window, keysAndWind, names, slots, reporter);
    ASSERT_TRUE(slots[0]);
    ASSERT_EQ(driver.Deliver(0, { MidiShortMessage(0x90, 1, 1), MidiShortMessage(0x90, 2, 2) }), 2);

    SyncMidiDevices(window, windOnly, names, slots, reporter);
    EXPECT_FALSE(slots[0]);
    EXPECT_TRUE(slots[4]);
    EXPECT_EQ(driver.Query(0, virtual_midi::kIsOpen), 0);

    SyncMidiDevices(window, keysAndWind, names, slots, reporter);
    ASSERT_TRUE(slots[0]);
    EXPECT_TRUE(slots[0]->Ring().IsEmpty());
    EXPECT_EQ(slots[0]->Ring().WriteOffset(), 0u);
    EXPECT_TRUE(reporter.texts.empty());
    CloseMidiDevices(slots);
}

TEST_F(MidiInDeviceTest, SyncReportsADeviceGoneSinceStartUpAsAnInvalidSelection)
{
    MidiDeviceNames names = EnumerateMidiInDevices();
    ASSERT_EQ(driver.Configure("Keys,Pads"), 2);
    MidiDeviceSlots slots;
    RecordingReporter reporter;
    const int keysAndWind[kMidiDeviceCount] = { 1, 0, 0, 0, 1 };
    SyncMidiDevices(window, keysAndWind, names, slots, reporter);
    EXPECT_TRUE(slots[0]);
    EXPECT_FALSE(slots[4]);
    EXPECT_EQ(reporter.texts, std::vector<std::string>{ "Invalid MIDI selection" });
    CloseMidiDevices(slots);
}
}
