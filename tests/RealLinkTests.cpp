#include "device/DeviceFrames.h"
#include "device/ForwardingPortSystem.h"
#include "device/KeyboardReadThread.h"
#include "editor/UpdaterRunner.h"
#include "tests/support/EditorFixture.h"

// The link as a real keyboard on ALSA meets it: sends from three threads, a search
// still running when the update starts, replies racing the search's ticks, and a
// keyboard that takes frames in no faster than it can.

namespace
{
    constexpr int firmwareButton = 32;

    /** The studio's ports, with a hook that runs once inside the next look at the outputs. */
    struct HookedPorts : ForwardingPortSystem
    {
        using ForwardingPortSystem::ForwardingPortSystem;

        juce::Array<juce::MidiDeviceInfo> getOutputDevices() override
        {
            if (auto hook = std::exchange (onNextOutputLookup, nullptr))
                hook();

            return ForwardingPortSystem::getOutputDevices();
        }

        std::function<void()> onNextOutputLookup;
    };

    struct RealLink : EditorFixture {};

    int identityRequestsIn (const std::vector<juce::MidiMessage>& messages)
    {
        return (int) std::count_if (messages.begin(), messages.end(), [] (const juce::MidiMessage& m) {
            return bytesOf (m) == bytesOf (buildIdentityRequest());
        });
    }
}

TEST_F (RealLink, SendToKeyboardWhileTheReadRunsSendsOneFrameAtATime)
{
    // Each send keeps the sequencer busy for a while, so sends from the MIDI thread
    // (the read's requests) and the message thread (the send) would overlap unless
    // they wait for each other.
    studio.getPorts().setTransmitTime (std::chrono::microseconds (1000));

    startDetection();
    click (widget<juce::ImageButton> (11));   // "Send to Keyboard", while the read is still asking

    ASSERT_TRUE (pumpUntil ([this] { return readFinished(); }, 5000));
    EXPECT_EQ (keyboard.getConfiguration().endOfTransferCount, 1);
    EXPECT_EQ (studio.getPorts().getOverlappingSendCount(), 0);
    EXPECT_EQ (keyboard.getLostFrameCount(), 0);
    EXPECT_TRUE (studio.getPorts().getViolations().empty());
}

TEST_F (RealLink, AnUpdateStartedWhileTheSearchRunsIsLeftAloneByIt)
{
    // The keyboard is in its bootloader from the start: nothing answers the search.
    panel.reset();
    keyboard.restartInUpdateMode();
    clock.now = juce::Time::getMillisecondCounter();
    panel = std::make_unique<KbdSettingComponentVR49> (studio.getPorts(), dialogs);
    clock.attachTo (manager());
    ASSERT_TRUE (manager().isSearching());

    std::vector<juce::uint8> image (3000, 0x5A);
    const auto file = scratch.file ("Vantor49.bin");
    file.replaceWithData (image.data(), image.size());
    dialogs.fileAnswers = { file };

    // While the progress window is up, the search's ticks come every 2 s, as long as its timer runs.
    dialogs.cancelProgressWhen = [this] {
        if (manager().isTimerRunning())
        {
            clock.advance (2000);
            manager().timerCallback();
        }
        return false;
    };

    const auto receivedBefore = keyboard.getReceivedMessages().size();
    click (widget<juce::TextButton> (firmwareButton));

    ASSERT_EQ (messageBoxes().size(), 2u);   // "Enter Firmware Upgrade Mode", then the result alone
    EXPECT_EQ (messageBoxes().back(), "Firmware Update Result: The burn process completed without error");
    ASSERT_TRUE (keyboard.getBootloaderState().getImage().has_value());
    EXPECT_EQ (*keyboard.getBootloaderState().getImage(), image);

    const auto received = keyboard.getReceivedMessages();
    EXPECT_EQ (identityRequestsIn ({ received.begin() + (std::ptrdiff_t) receivedBefore, received.end() }), 0);
    EXPECT_TRUE (manager().isSearching());   // and afterwards the search starts again
}

TEST (RealLinkSearch, ASearchTickWhileAReplyIsTakenEndsTheSearchWithTheKeyboard)
{
    VirtualMidiPortSystem virtualPorts;
    HookedPorts ports (virtualPorts);
    const auto outA = virtualPorts.addSink ("Out A", {});
    const auto outB = virtualPorts.addSink ("Out B", {});
    const auto keyboardIn = virtualPorts.addSource ("Keyboard In");
    FakeClock clock;
    RecordingListener listener;
    LumManager49 manager (ports);
    clock.attachTo (manager);
    manager.addListener (&listener);

    const auto tick = [&] { clock.advance (2000); manager.timerCallback(); };
    manager.startScan();
    for (int i = 0; i < 3; ++i)
        tick();   // the next tick is the search's last

    // The last tick comes while the reply is being taken, in the middle of identification.
    ports.onNextOutputLookup = tick;
    keyboardIn->deliver (keyboardIdentityReply());

    EXPECT_TRUE (manager.isConnected());
    EXPECT_FALSE (manager.isSearching());
    EXPECT_EQ (listener.count (ManagerEvent::KeyboardConnected), 1);
    EXPECT_EQ (listener.count (ManagerEvent::SearchFailed), 0);
    EXPECT_EQ (manager.getOpenInputCount(), 1);   // the keyboard's input, for the read
    EXPECT_TRUE (virtualPorts.getViolations().empty()) << virtualPorts.getViolations().front();
}

TEST_F (RealLink, ThePanelGoesWhileTheKeyboardFloodsIt)
{
    detectKeyboard();
    keyboard.floodControlChanges (3000, 74);
    ASSERT_TRUE (pumpUntil ([this] { return keyboard.getReceivedCount() > 0; }));

    panel.reset();   // deliveries are running on the keyboard's thread meanwhile

    EXPECT_TRUE (studio.getPorts().getViolations().empty());
}

TEST (SimulatedKeyboardLimits, FramesFasterThanTheKeyboardTakesThemAreLostPacedOnesArriveWhole)
{
    for (const bool paced : { true, false })
    {
        SCOPED_TRACE (paced ? "paced 2 ms apart" : "without the pauses");
        VirtualStudio studio;
        auto& ports = studio.getPorts();
        auto output = ports.openOutput (ports.outputIdentifierOf (SimulatedKeyboard::defaultPortName));
        auto model = SettingsModel::catalogueDefaults();
        model.itemParams[ItemParam::Number][1] = 21;
        const auto frames = planSendAll (model).frames;

        for (const auto& frame : frames)
        {
            output->sendMessageNow (frame);
            if (paced)
                juce::Thread::sleep (2);
        }

        ASSERT_TRUE (pumpUntil ([&] { return studio.getKeyboard().getReceivedCount()
                                                 + (size_t) studio.getKeyboard().getLostFrameCount() == frames.size(); }));
        const auto held = studio.getKeyboard().getConfiguration();

        if (paced)
        {
            EXPECT_EQ (studio.getKeyboard().getLostFrameCount(), 0);
            EXPECT_EQ (held.itemParams[ItemParam::Number].at (1), 21);
            EXPECT_EQ (held.endOfTransferCount, 1);
        }
        else
        {
            EXPECT_GT (studio.getKeyboard().getLostFrameCount(), (int) frames.size() / 2);
        }
    }
}

TEST (SimulatedKeyboardLimits, ItAnswersOnlyItsContractAndStoresOnlyWhatItHas)
{
    VirtualStudio studio;
    auto& keyboard = studio.getKeyboard();
    LumManager49 manager (studio.getPorts());
    RecordingListener listener;
    manager.addListener (&listener);
    manager.startScan();
    ASSERT_TRUE (pumpUntil ([&] { return manager.isConnected(); }, 5000));

    struct Request { std::vector<int> data; bool answered; };
    const Request requests[] {
        { { 3, 0 }, true },  { { 1, 0 }, true },  { { 2, 0 }, true },  { { 4, 0 }, true },  { { 5, 0 }, true },
        { { 6, 0 }, false },                                           // options are not asked for
        { { 0x40, 6 }, true }, { { 0x40, 8 }, true }, { { 0x40, 3 }, true },
        { { 0x40, 0 }, false }, { { 0x40, 13 }, false },              // globals the editor never reads
        { { 0x41, 4 }, false }, { { 0x00, 1 }, false },               // curves, item values
    };

    for (const auto& request : requests)
    {
        keyboard.clearReceivedMessages();
        const auto answersBefore = listener.events().size();
        manager.sendToKeyboard (buildOwnFrame (FrameLayout::commandRequest, request.data));
        ASSERT_TRUE (keyboard.waitForReceivedCount (1, 1000));
        pumpFor (30);
        EXPECT_EQ (listener.events().size() > answersBefore, request.answered) << request.data[0] << " " << request.data[1];
    }

    const auto before = keyboard.getConfiguration();
    manager.sendToKeyboard (buildOwnFrame (FrameLayout::commandSet, { ItemParam::Mode, 99, 5 }));    // a hidden item
    manager.sendToKeyboard (buildOwnFrame (FrameLayout::commandSet, { ItemParam::Mode, 66, 5 }));    // not on this keyboard
    manager.sendToKeyboard (messageOf ({ 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x42, 0x02, 0x00, 0x01, 0x01, 0x85, 0xF7 }));
    manager.sendToKeyboard (buildOwnFrame (FrameLayout::commandSet, { ItemParam::Mode, 1, 7 }));
    ASSERT_TRUE (pumpUntil ([&] { return keyboard.getConfiguration().itemParams[ItemParam::Mode].at (1) == 7; }));

    auto expected = before;
    expected.itemParams[ItemParam::Mode][1] = 7;
    EXPECT_EQ (keyboard.getConfiguration().itemParams, expected.itemParams);
}

TEST (RealLinkRead, AReadStartedAgainIsDrivenOnlyByTheAnswersToItsOwnRequests)
{
    VirtualStudio studio;
    auto& keyboard = studio.getKeyboard();
    LumManager49 manager (studio.getPorts());

    struct Feed : LumManagerListener, KeyboardReadThread::Listener
    {
        void managerEvent (int event, int first, int, int) override   { read->handleManagerEvent (event, first); }
        void keyboardReadEnded (const KeyboardReader::Result& result) override
        {
            const std::lock_guard<std::mutex> lock (mutex);
            results.push_back (result);
        }

        KeyboardReadThread* read = nullptr;
        std::mutex mutex;
        std::vector<KeyboardReader::Result> results;
    } feed;

    KeyboardReadThread read (manager, feed);
    feed.read = &read;
    manager.addListener (&feed);
    manager.connectDirectly (SimulatedKeyboard::defaultPortName, SimulatedKeyboard::defaultPortName);

    SimulatedKeyboard::Faults slow;
    slow.delayAnswersMs[1] = 150;   // the first numbers answer comes after the read was started again
    keyboard.setFaults (slow);

    read.startRead();
    ASSERT_TRUE (keyboard.waitForReceivedCount (1, 1000));   // linked without a probe: the numbers request
    read.startRead();
    ASSERT_TRUE (pumpUntil ([&] { const std::lock_guard<std::mutex> lock (feed.mutex); return ! feed.results.empty(); }));
    pumpFor (300);

    // Two numbers requests, then one chain: eleven more requests, the eight resets and the
    // four requests of what the keyboard is not known to answer. One read is handed over.
    EXPECT_EQ (keyboard.getReceivedCount(), 2u + 11u + 8u + 4u);
    const std::lock_guard<std::mutex> lock (feed.mutex);
    ASSERT_EQ (feed.results.size(), 1u);
    EXPECT_TRUE (feed.results[0].completed());
    EXPECT_EQ (feed.results[0].model.itemParams[ItemParam::Number].at (1), 74);
}

TEST (RealLinkPorts, PortsOpenByTheirIdentifierAndAnIdentifierThatHasGoneOpensNothing)
{
    VirtualStudio studio;
    auto& ports = studio.getPorts();
    auto& keyboard = studio.getKeyboard();
    LumManager49 receiver (ports);
    const auto inputId = ports.inputIdentifierOf (SimulatedKeyboard::defaultPortName);
    const auto outputId = ports.outputIdentifierOf (SimulatedKeyboard::defaultPortName);
    ASSERT_TRUE (inputId.isNotEmpty() && outputId.isNotEmpty());
    EXPECT_NE (ports.openOutput (outputId), nullptr);

    // Plugged in again under the same names: new identifiers, and the old ones open nothing.
    keyboard.vanish();
    keyboard.reappear();
    EXPECT_EQ (ports.openOutput (outputId), nullptr);
    EXPECT_EQ (ports.openInput (inputId, receiver), nullptr);
    EXPECT_NE (ports.outputIdentifierOf (SimulatedKeyboard::defaultPortName), outputId);
    EXPECT_NE (ports.openOutput (ports.outputIdentifierOf (SimulatedKeyboard::defaultPortName)), nullptr);

    // Held by another program: it does not open at all.
    keyboard.holdInputElsewhere (true);
    EXPECT_EQ (ports.openInput (ports.inputIdentifierOf (SimulatedKeyboard::defaultPortName), receiver), nullptr);
}
