#include "device/DeviceFrames.h"
#include "device/LumMidiMessage49.h"
#include "device/SendAllPlan.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/TestSupport.h"

namespace
{
    /** Reads the keyboard's configuration in the editor's order, each request sent
        from inside the event that reports the previous answer. */
    struct ReadDriver : LumManagerListener
    {
        explicit ReadDriver (LumManager49& m) : manager (m) {}

        void managerEvent (int event, int first, int, int) override
        {
            switch (event)
            {
                case ManagerEvent::KeyboardConnected:    manager.requestItemNumbers(); break;
                case ManagerEvent::NumbersArrived:       manager.requestItemParam (1); break;
                case ManagerEvent::ParameterListArrived:
                    if (first == 1)       manager.requestItemParam (2);
                    else if (first == 2)  manager.requestItemParam (4);
                    else if (first == 4)  manager.requestItemParam (5);
                    else if (first == 5)  manager.requestMidiChannel();
                    break;
                case ManagerEvent::MidiChannelAnswer:    manager.requestKnobMode(); break;
                case ManagerEvent::KnobModeAnswer:       manager.requestGlobal (5); break;
                case ManagerEvent::GlobalAnswer:
                    if (first == 5)       manager.requestGlobal (1);
                    else if (first == 1)  manager.requestGlobal (7);
                    else if (first == 7)  manager.requestGlobal (8);
                    else if (first == 8)  manager.requestOctaveShift();
                    break;
                case ManagerEvent::OctaveShiftAnswer:
                    for (int item = 99; item <= 106; ++item)
                        manager.resetItemValue (item);
                    done = true;
                    break;
                default: break;
            }
        }

        LumManager49& manager;
        std::atomic<bool> done { false };
    };

    struct KeyboardDialogue : ::testing::Test
    {
        VirtualStudio studio;
        SimulatedKeyboard& keyboard = studio.getKeyboard();
        LumManager49 manager { studio.getPorts() };
        ReadDriver reader { manager };
        RecordingListener listener;
        FakeClock clock;

        void TearDown() override
        {
            manager.closeInputs();   // nothing may reach the listeners once they are gone
        }

        void connect()
        {
            clock.attachTo (manager);
            manager.addListener (&reader);
            manager.addListener (&listener);
            manager.startScan();
            clock.advance (2000);
            manager.timerCallback();   // probes the keyboard's output
            ASSERT_TRUE (listener.waitFor (ManagerEvent::KeyboardConnected));
        }

        void finishRead()
        {
            ASSERT_TRUE (pumpUntil ([this] { return reader.done.load(); }, 5000));
            ASSERT_TRUE (keyboard.waitForReceivedCount (13 + 8, 2000));
        }
    };

    std::vector<juce::String> requestsSeenBy (const SimulatedKeyboard& keyboard)
    {
        std::vector<juce::String> seen;

        for (const auto& m : keyboard.getReceivedMessages())
            seen.push_back (LumMidiMessage49 (m).toHexString().trim());

        return seen;
    }
}

TEST_F (KeyboardDialogue, TheReadAsksInOrderAndStoresWhatTheKeyboardHolds)
{
    auto config = KeyboardConfiguration::factory();
    config.itemParams[ItemParam::Number][1] = 20;
    config.itemParams[ItemParam::Mode][112] = 10;
    config.itemParams[ItemParam::Channel][18] = 0x7E;
    config.itemParams[ItemParam::MinLsb][11] = 5;
    config.itemParams[ItemParam::MaxMsb][11] = 100;
    config.itemParams[ItemParam::Option][11] = 0;   // options are not read
    config.curves[4] = 33;
    keyboard.setConfiguration (config);

    connect();
    finishRead();

    const auto hex = [] (const juce::MidiMessage& m) { return LumMidiMessage49 (m).toHexString().trim(); };
    std::vector<juce::String> expected { hex (buildIdentityRequest()), hex (*buildRequestItemNumbers (0)) };
    for (int p : { 1, 2, 4, 5 })
        expected.push_back (hex (*buildRequestItemParam (p)));
    expected.push_back (hex (buildRequestMidiChannel()));
    expected.push_back (hex (buildRequestKnobMode()));
    for (int g : { 5, 1, 7, 8 })
        expected.push_back (hex (*buildRequestGlobal (g)));
    expected.push_back (hex (buildRequestOctaveShift()));
    for (int item = 99; item <= 106; ++item)
        expected.push_back (hex (*buildSetItemValue (item, 0)));

    EXPECT_EQ (requestsSeenBy (keyboard), expected);

    const juce::ScopedLock sl (manager.getModelLock());
    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (1), 20);
    EXPECT_EQ (manager.itemParams[ItemParam::Mode].at (112), 10);
    EXPECT_EQ (manager.itemParams[ItemParam::Channel].at (18), 0x7E);
    EXPECT_EQ (manager.itemParams[ItemParam::MinLsb].at (11), 5);
    EXPECT_EQ (manager.itemParams[ItemParam::MaxMsb].at (11), 100);
    EXPECT_EQ (manager.itemParams[ItemParam::Option].at (11), 0);
    EXPECT_EQ (manager.curves[4], 0);   // curves are not asked for
}

TEST_F (KeyboardDialogue, OnTheRealTimelineTheReadEndsBeforeTheSearchClosesTheInputs)
{
    manager.addListener (&reader);
    manager.addListener (&listener);
    manager.startScan();   // the real clock and timer: the keyboard is probed at 2 s, the search ends at 4 s

    ASSERT_TRUE (pumpUntil ([this] { return ! manager.isTimerRunning(); }, 8000));
    EXPECT_TRUE (reader.done);
    EXPECT_EQ (listener.count (ManagerEvent::OctaveShiftAnswer), 1);
    EXPECT_EQ (manager.getOpenInputCount(), 1);   // the keyboard's own input stays open
}

TEST_F (KeyboardDialogue, ADroppedAnswerStopsTheReadWithoutHarm)
{
    SimulatedKeyboard::Faults faults;
    faults.dropAnswers = { 4 };   // identity, numbers, modes, then the channels are lost
    keyboard.setFaults (faults);

    connect();
    pumpFor (300);

    EXPECT_FALSE (reader.done);
    EXPECT_EQ (keyboard.getReceivedMessages().size(), 4u);   // identity, numbers, modes, channels
    EXPECT_EQ (listener.count (ManagerEvent::ParameterListArrived), 1);
}

TEST_F (KeyboardDialogue, GarbageTruncatedAndForeignAnswersChangeNothing)
{
    connect();
    finishRead();
    const auto before = manager.planSendAll().frames;

    SimulatedKeyboard::Faults foreign;
    foreign.foreignManufacturer = true;
    keyboard.setFaults (foreign);
    manager.requestItemNumbers();
    keyboard.sendRaw ({ 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x42, 0x02, 0x00, 0x03, 0x01 });    // cut short, no F7
    keyboard.sendRaw ({ 0xF0, 0xF7 });
    keyboard.sendRaw ({ 0x00, 0x6D });
    SimulatedKeyboard::Faults truncated;
    truncated.truncateAnswersTo = 11;
    keyboard.setFaults (truncated);
    manager.requestItemParam (1);
    pumpFor (200);

    const auto after = manager.planSendAll().frames;
    ASSERT_EQ (after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ (bytesOf (after[i]), bytesOf (before[i]));
}

TEST_F (KeyboardDialogue, AFloodOfControlChangesIsDeliveredAsEvents)
{
    connect();
    finishRead();

    keyboard.floodControlChanges (2000, 74);
    ASSERT_TRUE (listener.waitFor (ManagerEvent::ControlMoved, 2000, 5000));
}

TEST_F (KeyboardDialogue, AfterSendAllTheKeyboardHoldsExactlyTheModel)
{
    connect();
    finishRead();
    keyboard.clearReceivedMessages();

    {
        const juce::ScopedLock sl (manager.getModelLock());
        manager.itemParams[ItemParam::Number][1] = 21;
        manager.itemParams[ItemParam::Option][112] = 0;
        manager.globals[6] = 9;
        manager.curves[4] = 44;
        manager.curves[1] = 11;
        manager.curves[3] = 33;
    }

    // Every frame, the end of transfer too, and acted on: the keyboard takes each in a
    // little after it arrived.
    const auto frames = planSendAll (manager.getModel()).frames.size();
    manager.sendAllToKeyboard();
    ASSERT_TRUE (keyboard.waitForReceivedCount (frames, 3000));

    const auto held = keyboard.getConfiguration();
    const juce::ScopedLock sl (manager.getModelLock());

    // The keyboard keeps the items it has; the hidden items' frames change nothing there.
    for (int p = ItemParam::firstStored; p <= ItemParam::lastStored; ++p)
        for (const auto& [item, value] : manager.itemParams[(size_t) p])
        {
            if (isDataByte (value) && manager.knownItemIds.count (item) != 0)
            {
                EXPECT_EQ (held.itemParams[(size_t) p].at (item), value) << "parameter " << p << " item " << item;
            }
        }

    EXPECT_EQ (held.itemParams[ItemParam::Mode].count (99), 0u);

    EXPECT_EQ (held.globals[6], 9);
    EXPECT_EQ (held.curves[4], 44);
    EXPECT_EQ (held.curves[1], 11);
    EXPECT_EQ (held.curves[3], 33);
    EXPECT_EQ (held.endOfTransferCount, 1);

    for (const auto& m : keyboard.getReceivedMessages())
        EXPECT_TRUE (hasOnlyDataBytes (m));
}

TEST_F (KeyboardDialogue, AKeyboardThatVanishesMidReadLeavesTheEditorUsable)
{
    SimulatedKeyboard::Faults faults;
    faults.vanishAfterAnswers = 3;
    keyboard.setFaults (faults);

    connect();
    pumpFor (300);

    EXPECT_FALSE (reader.done);
    EXPECT_FALSE (keyboard.isPresent());
    manager.sendAllToKeyboard();   // its port is gone: the frames go nowhere, nothing hangs
    EXPECT_TRUE (manager.isConnected());
}
