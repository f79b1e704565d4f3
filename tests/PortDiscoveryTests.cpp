#include "device/LumManager49.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/TestSupport.h"

// The search drives its ticks and its clock from the test: no real 2 s waits.

namespace
{
    /** An output that records when (by the fake clock) identity requests reach it. */
    struct ProbedOutput
    {
        ProbedOutput (VirtualMidiPortSystem& ports, const juce::String& name, FakeClock& clockToUse)
            : clock (clockToUse)
        {
            sink = ports.addSink (name, [this] (const juce::MidiMessage&) {
                const std::lock_guard<std::mutex> lock (mutex);
                probeTimes.push_back (clock.now.load());
            });
        }

        std::vector<juce::uint32> times()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return probeTimes;
        }

        FakeClock& clock;
        std::mutex mutex;
        std::vector<juce::uint32> probeTimes;
        std::shared_ptr<VirtualMidiPortSystem::Sink> sink;
    };

    struct Search : ::testing::Test
    {
        FakeClock clock;
        RecordingListener listener;

        void attach (LumManager49& manager)
        {
            clock.attachTo (manager);
            manager.addListener (&listener);
        }

        void tickAt (LumManager49& manager, juce::uint32 offsetMs, juce::uint32 start)
        {
            clock.now = start + offsetMs;
            manager.timerCallback();
        }
    };
}

TEST_F (Search, OneOutputAndNoKeyboardProbesTwiceThenGivesUpAtFourSeconds)
{
    VirtualMidiPortSystem ports;
    ProbedOutput synth (ports, "Synth", clock);
    LumManager49 manager (ports);
    attach (manager);

    const auto start = clock.now.load();
    manager.startScan();
    ASSERT_TRUE (manager.isTimerRunning());

    tickAt (manager, 2000, start);
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 0);
    tickAt (manager, 4000, start);

    EXPECT_EQ (synth.times(), (std::vector<juce::uint32> { start, start + 2000 }));
    ASSERT_EQ (listener.count (ManagerEvent::SearchFailed), 1);
    EXPECT_TRUE (listener.events().back().onMessageThread);
    EXPECT_FALSE (manager.isTimerRunning());
    EXPECT_FALSE (manager.isConnected());
}

TEST_F (Search, TicksCloserThan200MsToTheLastOneAreIgnored)
{
    VirtualMidiPortSystem ports;
    ProbedOutput synth (ports, "Synth", clock);
    LumManager49 manager (ports);
    attach (manager);

    const auto start = clock.now.load();
    manager.startScan();
    tickAt (manager, 700, start);    // within 200 ms of start + 500
    tickAt (manager, 2000, start);
    tickAt (manager, 2150, start);   // within 200 ms of the last tick

    EXPECT_EQ (synth.times().size(), 2u);
    EXPECT_TRUE (manager.isTimerRunning());
}

TEST_F (Search, ThreeOutputsAndNoKeyboardProbeEachTwiceAndFailAtTwelveSeconds)
{
    VirtualMidiPortSystem ports;
    ProbedOutput a (ports, "A", clock), b (ports, "B", clock), c (ports, "C", clock);
    LumManager49 manager (ports);
    attach (manager);

    const auto start = clock.now.load();
    manager.startScan();

    for (juce::uint32 t = 2000; t <= 10000; t += 2000)
        tickAt (manager, t, start);

    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 0);
    tickAt (manager, 12000, start);
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 1);

    EXPECT_EQ (a.times(), (std::vector<juce::uint32> { start, start + 6000 }));
    EXPECT_EQ (b.times(), (std::vector<juce::uint32> { start + 2000, start + 8000 }));
    EXPECT_EQ (c.times(), (std::vector<juce::uint32> { start + 4000, start + 10000 }));
}

TEST_F (Search, TheKeyboardOnTheSecondOfThreeOutputsIsConnectedAtOnce)
{
    VirtualStudio studio;
    LumManager49 manager (studio.getPorts());
    attach (manager);
    ASSERT_EQ (studio.getPorts().getOutputNames().indexOf (SimulatedKeyboard::defaultPortName), 1);

    const auto start = clock.now.load();
    manager.startScan();
    EXPECT_EQ (manager.getOpenInputCount(), 3);

    tickAt (manager, 2000, start);
    ASSERT_TRUE (listener.waitFor (ManagerEvent::KeyboardConnected));
    EXPECT_FALSE (listener.events().front().onMessageThread);
    EXPECT_TRUE (manager.isConnected());
    EXPECT_EQ (manager.getInputPortName(), SimulatedKeyboard::defaultPortName);
    EXPECT_EQ (manager.getOutputPortName(), SimulatedKeyboard::defaultPortName);
    EXPECT_TRUE (manager.hasDeviceOutput());
    EXPECT_EQ (manager.getFirmwareRevision(), (std::array<juce::uint8, 4> { 0, 1, 0, 5 }));

    tickAt (manager, 4000, start);
    EXPECT_FALSE (manager.isTimerRunning());
    EXPECT_EQ (manager.getOpenInputCount(), 1);   // the keyboard's own, for its answers
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 0);
    EXPECT_EQ (listener.count (ManagerEvent::KeyboardConnected), 1);
}

TEST_F (Search, ALateReplyIsPairedWithTheOutputOfItsOwnNameElseWithTheOutputProbedThen)
{
    {
        VirtualStudio studio;
        SimulatedKeyboard::Faults slowIdentity;
        slowIdentity.delayAnswersMs[1] = 300;
        studio.getKeyboard().setFaults (slowIdentity);

        LumManager49 manager (studio.getPorts());
        attach (manager);
        const auto start = clock.now.load();
        manager.startScan();
        tickAt (manager, 2000, start);   // probes the keyboard; its answer is late
        tickAt (manager, 4000, start);   // moves on to the synth module

        ASSERT_TRUE (listener.waitFor (ManagerEvent::KeyboardConnected));
        EXPECT_EQ (manager.getInputPortName(), SimulatedKeyboard::defaultPortName);
        EXPECT_EQ (manager.getOutputPortName(), SimulatedKeyboard::defaultPortName);
    }

    // A device whose input and output are named apart: the output probed when the reply came.
    VirtualMidiPortSystem ports;
    ProbedOutput a (ports, "Out A", clock), b (ports, "Out B", clock);
    auto input = ports.addSource ("Keyboard In");
    LumManager49 manager (ports);
    attach (manager);
    const auto start = clock.now.load();
    manager.startScan();
    tickAt (manager, 2000, start);
    input->deliver (keyboardIdentityReply());

    ASSERT_EQ (listener.count (ManagerEvent::KeyboardConnected), 2);
    EXPECT_EQ (manager.getInputPortName(), "Keyboard In");
    EXPECT_EQ (manager.getOutputPortName(), "Out B");
}

TEST_F (Search, ASecondIdentityReplyReconnectsAndKeepsOnlyTheKeyboardsInput)
{
    VirtualStudio studio;
    LumManager49 manager (studio.getPorts());
    attach (manager);
    const auto start = clock.now.load();
    manager.startScan();
    tickAt (manager, 2000, start);
    ASSERT_TRUE (listener.waitFor (ManagerEvent::KeyboardConnected));
    ASSERT_EQ (manager.getOpenInputCount(), 3);

    studio.getKeyboard().sendRaw ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00,
                                    0x02, 0x00, 0x02, 0x01, 0x00, 0x07, 0xF7 });

    ASSERT_TRUE (listener.waitFor (ManagerEvent::KeyboardConnected, 2));
    EXPECT_TRUE (pumpUntil ([&] { return manager.getOpenInputCount() == 1; }));
    EXPECT_EQ (manager.getFirmwareRevision(), (std::array<juce::uint8, 4> { 2, 1, 0, 7 }));
    EXPECT_EQ (manager.getOutputPortName(), SimulatedKeyboard::defaultPortName);

    // Still heard: the read the reconnection restarts can finish.
    studio.getKeyboard().playControlChange (1, 74, 5);
    EXPECT_TRUE (listener.waitFor (ManagerEvent::ControlMoved));
    EXPECT_TRUE (studio.getPorts().getViolations().empty());
}

TEST_F (Search, RejectedIdentityRepliesAreIgnored)
{
    VirtualStudio studio;
    SimulatedKeyboard::Identity otherFamily;
    otherFamily.family = { 0x03, 0x00 };
    studio.getKeyboard().setIdentity (otherFamily);

    LumManager49 manager (studio.getPorts());
    attach (manager);
    const auto start = clock.now.load();
    manager.startScan();
    tickAt (manager, 2000, start);
    ASSERT_TRUE (studio.getKeyboard().waitForReceivedCount (1, 2000));
    pumpFor (50);

    for (juce::uint32 t = 4000; t <= 12000; t += 2000)
        tickAt (manager, t, start);

    EXPECT_FALSE (manager.isConnected());
    EXPECT_EQ (listener.count (ManagerEvent::KeyboardConnected), 0);
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 1);
}

TEST_F (Search, NoOutputsAtAllStartsNothing)
{
    VirtualMidiPortSystem ports;
    auto lonelyInput = ports.addSource ("Lonely");
    LumManager49 manager (ports);
    attach (manager);

    manager.startScan();

    EXPECT_FALSE (manager.isTimerRunning());
    EXPECT_TRUE (listener.events().empty());
}

TEST_F (Search, AnOutputThatVanishedIsSkippedAndOnePluggedInUnderItsNameIsNotTakenForIt)
{
    VirtualStudio studio;
    LumManager49 manager (studio.getPorts());
    attach (manager);
    const auto start = clock.now.load();
    manager.startScan();

    studio.getKeyboard().vanish();   // output 2 of the three counted at the start names nothing now
    tickAt (manager, 2000, start);
    tickAt (manager, 4000, start);

    // Plugged in again it has new ports under the old names: the search opens ports by
    // the identifiers it took at its start, so the new ones are not probed (the
    // hot-plug watcher starts a search of its own for them).
    studio.getKeyboard().reappear();
    for (juce::uint32 t = 6000; t <= 10000; t += 2000)
        tickAt (manager, t, start);
    pumpFor (50);
    EXPECT_EQ (studio.getKeyboard().getReceivedCount(), 0u);
    tickAt (manager, 12000, start);

    EXPECT_FALSE (manager.isTimerRunning());
    EXPECT_FALSE (manager.isConnected());
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 1);
}

TEST_F (Search, ConnectPortsMatchesTheOutputNameExactly)
{
    VirtualStudio studio;
    LumManager49 manager (studio.getPorts());

    EXPECT_FALSE (manager.connectPorts ("in", "vantor 49 midi 1"));
    EXPECT_FALSE (manager.hasDeviceOutput());
    EXPECT_EQ (manager.getInputPortName(), "in");

    EXPECT_TRUE (manager.connectPorts ("in", SimulatedKeyboard::defaultPortName));
    EXPECT_TRUE (manager.hasDeviceOutput());

    EXPECT_FALSE (manager.connectPorts ("in", "Nowhere"));
    EXPECT_TRUE (manager.hasDeviceOutput());   // left as it was

    manager.releaseDeviceOutput();
    EXPECT_FALSE (manager.hasDeviceOutput());
    EXPECT_FALSE (manager.requestMidiChannel());
}
