#include "device/DeviceFrames.h"
#include "editor/EditorTexts.h"
#include "tests/support/EditorFixture.h"

#include <thread>

// The keyboard found whenever it arrives, and its loss shown. The watcher's two-second
// look at the ports is taken by the test (poll), the search's clock is driven.

namespace
{
    enum Widget { partOneChannel = 24, sendButton = 11, firmwareField = 34 };

    struct HotPlug : EditorFixture
    {
        /** A new panel, with the keyboard unplugged from the start and the search run to its end. */
        void startWithoutTheKeyboard()
        {
            panel.reset();
            keyboard.vanish();
            clock.now = juce::Time::getMillisecondCounter();
            panel = std::make_unique<KbdSettingComponentVR49> (studio.getPorts(), dialogs);
            clock.attachTo (manager());

            while (manager().isSearching())
            {
                clock.advance (2000);
                manager().timerCallback();
            }

            pumpFor (30);
        }

        void poll()
        {
            panel->getHotPlugWatcher().poll();
            pumpFor (10);
        }

        juce::String firmwareText()   { return widget<juce::TextEditor> (firmwareField).getText(); }

        /** Waits for a read the panel started after a new connection. */
        bool readAgain (size_t receivedBefore)
        {
            return pumpUntil ([=] { return keyboard.getReceivedCount() >= receivedBefore + 25 && ! panel->isReadingBack(); });
        }
    };
}

TEST_F (HotPlug, PluggedInAfterTheStartupSearchGaveMessageBItIsFoundAndReadWithoutASecondBox)
{
    startWithoutTheKeyboard();
    ASSERT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::notDetected }));

    keyboard.reappear();
    poll();

    ASSERT_TRUE (pumpUntil ([this] { return manager().isConnected(); }));
    ASSERT_TRUE (readAgain (0));
    EXPECT_TRUE (pumpUntil ([this] { return firmwareText() == "1.05"; }));
    EXPECT_EQ (messageBoxes().size(), 1u);
    EXPECT_EQ (manager().getInputPortName(), SimulatedKeyboard::defaultPortName);
}

TEST_F (HotPlug, AKeyboardThatAnswersOnlyALaterProbeAfterItsPlugInIsFoundThenAndNotProbedForever)
{
    startWithoutTheKeyboard();

    // Still starting when its ports appear: its first identity replies are lost.
    SimulatedKeyboard::Faults faults;
    faults.dropAnswers = { keyboard.getAnswerCount() + 1, keyboard.getAnswerCount() + 2 };
    keyboard.setFaults (faults);
    keyboard.reappear();

    const auto searchToItsEnd = [this] {
        for (int tick = 0; tick < 10 && manager().isSearching() && ! manager().isConnected(); ++tick)
        {
            clock.advance (2000);
            manager().timerCallback();
            pumpFor (20);
        }
    };

    poll();
    searchToItsEnd();
    ASSERT_FALSE (manager().isConnected());

    // The ports have not changed since, yet the next looks probe the keyboard again.
    for (int look = 0; look < HotPlugWatcher::probesAfterPlugIn && ! manager().isConnected(); ++look)
    {
        poll();
        searchToItsEnd();
    }

    EXPECT_TRUE (manager().isConnected());
    EXPECT_EQ (messageBoxes().size(), 1u);   // the start-up's message B only

    // A device that never answers is probed a few times, then left alone.
    keyboard.vanish();
    poll();
    std::atomic<int> identityRequests { 0 };
    auto synth = studio.getPorts().addSink ("Silent Synth", [&identityRequests] (const juce::MidiMessage& m) {
        if (bytesOf (m) == bytesOf (buildIdentityRequest()))
            ++identityRequests;
    });

    for (int look = 0; look < 3 * HotPlugWatcher::probesAfterPlugIn; ++look)
    {
        poll();
        searchToItsEnd();
    }

    // Each probe is a search, which asks every output twice before it gives up.
    EXPECT_EQ (identityRequests.load(), 2 * HotPlugWatcher::probesAfterPlugIn);
    synth.reset();
}

TEST_F (HotPlug, UnpluggedTheLinkGoesTheFieldSaysSoAndSendGivesMessageA)
{
    detectKeyboard();
    keyboard.vanish();
    poll();

    EXPECT_FALSE (manager().isConnected());
    EXPECT_FALSE (manager().hasDeviceOutput());
    EXPECT_EQ (manager().getOpenInputCount(), 0);
    EXPECT_EQ (firmwareText(), "Not detected yet");
    EXPECT_TRUE (dialogs.shown.empty());   // nothing was running: nothing to tell

    const auto received = keyboard.getReceivedCount();
    click (widget<juce::ImageButton> (sendButton));
    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::notDetectedForSend }));
    EXPECT_EQ (keyboard.getReceivedCount(), received);
}

TEST_F (HotPlug, PluggedInAgainQuicklyWithTheSameNamesItIsStillNoticed)
{
    detectKeyboard();
    keyboard.vanish();
    keyboard.reappear();   // between two looks: the names are the same, the ports are new
    const auto received = keyboard.getReceivedCount();
    poll();

    ASSERT_TRUE (pumpUntil ([this] { return manager().isConnected(); }));
    EXPECT_TRUE (readAgain (received));
}

TEST_F (HotPlug, UnpluggedDuringASendTheSendEndsAndSaysSo)
{
    detectKeyboard();
    const auto planned = manager().planSendAll().frames.size();
    std::thread unplug ([this] { juce::Thread::sleep (300); keyboard.vanish(); });
    click (widget<juce::ImageButton> (sendButton));
    unplug.join();

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_TRUE (messageBoxes()[0].startsWith ("Keyboard Problem: The keyboard was disconnected during the send: "));
    EXPECT_TRUE (messageBoxes()[0].contains (" of " + juce::String ((int) planned) + " frames were sent"));
    EXPECT_FALSE (manager().isConnected());
    EXPECT_EQ (firmwareText(), "Not detected yet");
}

TEST_F (HotPlug, UnpluggedDuringTheReadTheReadEndsAndSaysSo)
{
    SimulatedKeyboard::Faults faults;
    faults.vanishAfterAnswers = 4;   // the identity, the numbers, the modes, the channels
    keyboard.setFaults (faults);

    startDetection();
    ASSERT_TRUE (pumpUntil ([this] { return ! keyboard.isPresent(); }));
    EXPECT_TRUE (panel->isReadingBack());
    manager().timerCallback();   // the search's next tick ends it, as the read stalls
    poll();

    // The read's thread ends at its next look at the cancel: under Wine that can take
    // longer than the poll's pumping.
    EXPECT_TRUE (pumpUntil ([this] { return ! panel->isReadingBack(); }));
    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::readInterrupted }));
}

TEST_F (HotPlug, PluggedInAgainWithUnsentEditsTheUserIsAskedFirst)
{
    for (const bool readTheKeyboard : { true, false })
    {
        SCOPED_TRACE (readTheKeyboard ? "read the keyboard" : "keep the edits");
        SetUp();
        detectKeyboard();

        widget<juce::ComboBox> (partOneChannel).setSelectedItemIndex (4);   // the user's choice: channel 5
        pumpFor (20);
        ASSERT_EQ (global (GlobalIndex::UpperChannel), 4);

        keyboard.vanish();
        poll();
        keyboard.reappear();
        dialogs.okCancelAnswers = { readTheKeyboard };
        const auto received = keyboard.getReceivedCount();
        poll();
        ASSERT_TRUE (pumpUntil ([this] { return ! dialogs.shown.empty(); }));

        EXPECT_EQ (dialogs.shown.back().title, EditorTexts::keyboardFoundTitle);
        EXPECT_EQ (dialogs.okCancelButtons.back(), juce::StringArray ({ "Read the Keyboard", "Keep My Edits" }));

        if (readTheKeyboard)
        {
            EXPECT_TRUE (readAgain (received));
        }
        else
        {
            pumpFor (100);
            EXPECT_EQ (keyboard.getReceivedCount(), received + 1);   // the identity request alone
            EXPECT_EQ (firmwareText(), "1.05");
        }

        // Read: the editor now shows the keyboard's channel; kept: the user's own.
        const auto expected = readTheKeyboard ? keyboard.getConfiguration().globals[GlobalIndex::UpperChannel] : 4;
        EXPECT_TRUE (pumpUntil ([&] { return global (GlobalIndex::UpperChannel) == expected; }));
        dialogs.shown.clear();
    }
}

TEST_F (HotPlug, ThePollSendsNothingWhileThePortListIsUnchanged)
{
    detectKeyboard();
    const auto received = keyboard.getReceivedCount();

    for (int i = 0; i < 5; ++i)
        poll();

    EXPECT_EQ (keyboard.getReceivedCount(), received);
    EXPECT_FALSE (manager().isSearching());

    // Nor after a search that found nothing.
    startWithoutTheKeyboard();
    for (int i = 0; i < 5; ++i)
        poll();

    EXPECT_FALSE (manager().isSearching());
    EXPECT_EQ (messageBoxes().size(), 1u);
}

TEST_F (HotPlug, PluggedInAgainUnderTheSameIdentifiersItIsANewDevice)
{
    // ALSA gives a USB device plugged in again the same client and port numbers: the port
    // list cannot tell, but the old input never delivers again.
    for (const bool sendBeforeTheNextLook : { false, true })
    {
        SCOPED_TRACE (sendBeforeTheNextLook ? "a send before the next look" : "the next look");
        SetUp();
        detectKeyboard();
        keyboard.replugUnnoticed();
        const auto received = keyboard.getReceivedCount();

        if (sendBeforeTheNextLook)
        {
            // The send goes into dead ports; the read back says so, and the link starts afresh.
            click (widget<juce::ImageButton> (sendButton));
            EXPECT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::readBackFailed }));
        }
        else
        {
            poll();   // the keyboard's output is asked again at once
        }

        for (int tick = 0; tick < 6 && ! manager().isConnected(); ++tick)
        {
            clock.advance (2000);
            manager().timerCallback();
            pumpUntil ([this] { return manager().isConnected(); }, 200);
        }

        EXPECT_TRUE (readAgain (received));
        EXPECT_TRUE (pumpUntil ([this] { return firmwareText() == "1.05"; }));
        dialogs.shown.clear();
    }
}
