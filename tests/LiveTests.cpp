#include "device/FieldSend.h"
#include "device/LiveMessageMap.h"
#include "editor/LiveFollower.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "simulator/KeyboardCommands.h"
#include "tests/support/EditorFixture.h"

// The keyboard as it is played: which control a message belongs to (from the model),
// the editor following it without getting in the way, edits sent live and checked.

namespace
{
    void configure (SettingsModel& model, ItemId item, int mode, int channel, int number)
    {
        model.itemParams[ItemParam::Mode][item] = mode;
        model.itemParams[ItemParam::Channel][item] = channel;
        model.itemParams[ItemParam::Number][item] = number;
    }

    /** Every control off, so a case sees only the controls it sets up. */
    SettingsModel quietModel()
    {
        auto model = SettingsModel::catalogueDefaults();

        for (auto& [item, mode] : model.itemParams[ItemParam::Mode])
            mode = ItemMode::Off;

        model.globals[GlobalIndex::UpperChannel] = 3;   // part 1 on channel 4
        model.globals[GlobalIndex::LowerChannel] = 9;   // part 2 on channel 10
        return model;
    }

    enum Widget { ccNumberCombo = 9 };

    /** What reaches a manager linked to the keyboard as it is played, once something has. */
    std::vector<juce::MidiMessage> takeArrived (LiveMessageQueue& queue)
    {
        pumpUntil ([&queue] { return queue.hasMessages(); }, 2000);
        return queue.take();
    }
}

TEST (LiveMessageMap, EachMessageFindsTheControlsThatSendIt)
{
    struct Case
    {
        const char* what;
        std::function<void (SettingsModel&)> setUp;
        juce::MidiMessage message;
        std::vector<ItemId> controls;
        int value;
    };

    const std::vector<Case> cases {
        { "a CC on its channel", [] (auto& m) { configure (m, 1, ItemMode::Control, 0, 74); },
          juce::MidiMessage::controllerEvent (1, 74, 64), { 1 }, 64 },
        { "the same CC on another channel is not it", [] (auto& m) { configure (m, 1, ItemMode::Control, 0, 74); },
          juce::MidiMessage::controllerEvent (2, 74, 64), {}, 64 },
        { "two controls with one number, told apart by channel",
          [] (auto& m) { configure (m, 1, ItemMode::Control, 0, 74); configure (m, 33, ItemMode::Control, 1, 74); },
          juce::MidiMessage::controllerEvent (2, 74, 5), { 33 }, 5 },
        { "two controls sending the same, in catalogue order",
          [] (auto& m) { configure (m, 33, ItemMode::Control, 0, 74); configure (m, 1, ItemMode::ControlToggle, 0, 74); },
          juce::MidiMessage::controllerEvent (1, 74, 127), { 1, 33 }, 127 },
        { "a control on every channel", [] (auto& m) { configure (m, 48, ItemMode::Control, ChannelAll, 7); },
          juce::MidiMessage::controllerEvent (16, 7, 1), { 48 }, 1 },
        { "the first part's channel, from the globals", [] (auto& m) { configure (m, 11, ItemMode::DurationControl, ChannelUpper, 73); },
          juce::MidiMessage::controllerEvent (4, 73, 2), { 11 }, 2 },
        { "the second part's channel", [] (auto& m) { configure (m, 11, ItemMode::RelativeControl, ChannelLower, 73); },
          juce::MidiMessage::controllerEvent (10, 73, 3), { 11 }, 3 },
        { "a control in no controller mode sends no CC", [] (auto& m) { configure (m, 1, ItemMode::Nrpn, 0, 74); },
          juce::MidiMessage::controllerEvent (1, 74, 64), {}, 64 },
        { "a pad's note", [] (auto& m) { configure (m, 112, ItemMode::MidiNote, 9, 36); },
          juce::MidiMessage::noteOn (10, 36, (juce::uint8) 100), { 112 }, 100 },
        { "a button playing a gated note", [] (auto& m) { configure (m, 18, ItemMode::MidiNoteGated, 0, 60); },
          juce::MidiMessage::noteOn (1, 60, (juce::uint8) 1), { 18 }, 1 },
        { "the pitch wheel, whatever its fields", [] (auto&) {},
          juce::MidiMessage::pitchWheel (5, 12000), { pitchWheelItem }, 12000 },
        { "a control in pitch bend mode with the wheel", [] (auto& m) { configure (m, 64, ItemMode::PitchBend, 0, 1); },
          juce::MidiMessage::pitchWheel (1, 0), { 64, pitchWheelItem }, 0 },
        { "an encoder's step down, sign and magnitude", [] (auto& m) { configure (m, 49, ItemMode::RelativeControl, 0, 112); },
          juce::MidiMessage::controllerEvent (1, 112, 0x43), { 49 }, -3 },
        { "an encoder's step up", [] (auto& m) { configure (m, 51, ItemMode::Control, 0, 114); },
          juce::MidiMessage::controllerEvent (1, 114, 0x02), { 51 }, 2 },
        { "a hidden item sends nothing", [] (auto& m) { configure (m, 99, ItemMode::Control, 0, 20); },
          juce::MidiMessage::controllerEvent (1, 20, 1), {}, 1 },
    };

    for (const auto& c : cases)
    {
        auto model = quietModel();
        c.setUp (model);
        const auto touch = LiveMessageMap (model).interpret (c.message);
        ASSERT_TRUE (touch.has_value()) << c.what;
        EXPECT_EQ (touch->controls, c.controls) << c.what;
        EXPECT_EQ (touch->value, c.value) << c.what;
    }
}

TEST (LiveMessageMap, PressureBelongsToThePadsOfTheLastNoteAndOtherMessagesToNoControl)
{
    auto model = quietModel();
    configure (model, 112, ItemMode::MidiNote, 9, 36);
    const LiveMessageMap map (model);

    const auto pressure = map.interpret (juce::MidiMessage::channelPressureChange (10, 90), { 112 });
    ASSERT_TRUE (pressure.has_value());
    EXPECT_EQ (pressure->controls, std::vector<ItemId> { 112 });
    EXPECT_EQ (pressure->valueText(), "90");

    for (const auto& message : { juce::MidiMessage::noteOff (10, 36), juce::MidiMessage::midiClock(),
                                 juce::MidiMessage::createSysExMessage ("\x01\x02", 2), juce::MidiMessage::noteOn (10, 36, (juce::uint8) 0) })
        EXPECT_FALSE (map.interpret (message).has_value()) << message.getDescription();

    EXPECT_EQ (map.interpret (juce::MidiMessage::noteOn (10, 36, (juce::uint8) 100))->valueText(), "note 36, vel 100");
}

TEST (LiveMessageMap, ClashesGroupEveryControlThatSendsTheSameMessage)
{
    auto model = quietModel();
    configure (model, 1, ItemMode::Control, 0, 74);
    configure (model, 33, ItemMode::Control, 0, 74);
    configure (model, 48, ItemMode::Control, ChannelAll, 74);   // every channel: channel 1 too
    configure (model, 2, ItemMode::Control, 1, 74);             // channel 2: clashes only with "every channel"
    configure (model, 112, ItemMode::MidiNote, 0, 74);          // a note is another message
    const LiveMessageMap map (model);

    EXPECT_EQ (map.clashesWith (1), (std::vector<ItemId> { 33, 48 }));
    EXPECT_EQ (map.clashesWith (2), (std::vector<ItemId> { 48 }));
    EXPECT_TRUE (map.clashesWith (112).empty());
    ASSERT_EQ (map.allClashes().size(), 2u);
    EXPECT_EQ (map.allClashes().front(), (std::vector<ItemId> { 1, 33, 48 }));
}

TEST (SimulatedKeyboardPlaying, EachControlSendsWhatItsConfigurationSays)
{
    VirtualStudio studio;
    auto& keyboard = studio.getKeyboard();
    LumManager49 manager (studio.getPorts());
    ASSERT_TRUE (manager.connectDirectly (SimulatedKeyboard::defaultPortName, SimulatedKeyboard::defaultPortName));
    LiveMessageQueue recorder (1000);
    manager.addLiveListener (&recorder);

    auto configuration = keyboard.getConfiguration();
    configuration.itemParams[ItemParam::Channel][33] = ChannelAll;
    keyboard.setConfiguration (configuration);
    const auto model = configuration.toModel();
    const LiveMessageMap map (model);

    for (const auto& [item, value] : std::vector<std::pair<ItemId, int>> { { 1, 64 }, { 33, 90 }, { 112, 100 }, { 49, -2 }, { pitchWheelItem, 12000 } })
    {
        ASSERT_TRUE (keyboard.playControl (item, value)) << item;
        const auto sent = takeArrived (recorder);
        ASSERT_EQ (sent.size(), 1u) << item;

        const auto touch = map.interpret (sent.front());
        ASSERT_TRUE (touch.has_value()) << item;
        EXPECT_EQ (touch->controls.front(), item);
        EXPECT_EQ (touch->value, value) << item;
    }

    EXPECT_FALSE (keyboard.playControl (99, 1));   // a hidden item: the keyboard has none

    KeyboardCommands commands (keyboard, {});
    EXPECT_FALSE (commands.run ("play 1 64").has_value());
    EXPECT_TRUE (commands.run ("play 99 1").has_value());
    EXPECT_TRUE (commands.run ("play 1 -64").has_value());
    manager.dropLink();
    manager.removeLiveListener (&recorder);
}

//==============================================================================

namespace
{
    struct LiveFollowing : EditorFixture
    {
        void SetUp() override
        {
            EditorFixture::SetUp();
            follower().setClock ([this] { return liveNow; });
            detectKeyboard();
        }

        LiveFollower& follower()   { return panel->getLiveFollower(); }

        /** Plays a control and lets the follower take what it sent. */
        void play (ItemId item, int value)
        {
            ASSERT_TRUE (keyboard.playControl (item, value));
            pumpFor (30);
            follower().takeQueuedMessages();
        }

        bool shiftIsOn()   { return panel->getKeyboardPicture().getShiftButton().getToggleState(); }

        juce::uint32 liveNow = 100000;
    };
}

TEST_F (LiveFollowing, ATouchPicksItsControlInItsBankAndShowsItsValueWithoutAnEdit)
{
    pick ("0x01");
    ASSERT_FALSE (panel->getHistory().hasUnsavedEdits());
    const auto receivedBefore = keyboard.getReceivedCount();

    play (33, 90);   // the bank-2 Cutoff knob
    EXPECT_EQ (panel->getSelectedControl(), 33);
    EXPECT_TRUE (shiftIsOn());
    EXPECT_EQ (follower().getLiveText(), "Live: 90");
    EXPECT_NEAR (panel->getKeyboardPicture().getLiveLevels().levelOf (33), 90.0f / 127.0f, 1e-4);
    EXPECT_TRUE (panel->getKeyboardPicture().getLiveLevels().isMarked (33));

    play (1, 10);    // back to bank 1
    EXPECT_EQ (panel->getSelectedControl(), 1);
    EXPECT_FALSE (shiftIsOn());

    play (112, 100); // a pad
    EXPECT_EQ (panel->getSelectedControl(), 112);
    EXPECT_EQ (follower().getLiveText(), "Live: note 36, vel 100");

    play (pitchWheelItem, 12000);
    EXPECT_EQ (panel->getSelectedControl(), pitchWheelItem);
    EXPECT_EQ (follower().getLiveText(), "Live: 12000");

    // Nothing was edited, nothing sent.
    EXPECT_FALSE (panel->getHistory().hasUnsavedEdits());
    EXPECT_FALSE (panel->getHistory().undo());
    EXPECT_EQ (keyboard.getReceivedCount(), receivedBefore);
}

TEST_F (LiveFollowing, ItNeverGetsInTheWay)
{
    pick ("0x01");

    // Off: the values still show, but nothing is picked or marked.
    follower().getFollowToggle().setToggleState (false, juce::dontSendNotification);
    play (33, 20);
    EXPECT_EQ (panel->getSelectedControl(), 1);
    EXPECT_FALSE (panel->getKeyboardPicture().getLiveLevels().isMarked (33));
    EXPECT_TRUE (panel->getKeyboardPicture().getLiveLevels().hasLevel (33));
    follower().getFollowToggle().setToggleState (true, juce::dontSendNotification);

    // Within a second of the user's own edit a touch only marks its control.
    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (20, juce::sendNotificationSync);
    play (2, 30);
    EXPECT_EQ (panel->getSelectedControl(), 1);
    EXPECT_TRUE (panel->getKeyboardPicture().getLiveLevels().isMarked (2));

    liveNow += LiveFollower::quietAfterEditMs;
    play (2, 31);
    EXPECT_EQ (panel->getSelectedControl(), 2);

    // The marks go after a while.
    liveNow += LiveLevels::touchMarkMs;
    panel->getKeyboardPicture().getLiveLevels().advance (liveNow);
    EXPECT_TRUE (panel->getKeyboardPicture().getLiveLevels().markedItems().empty());
}

TEST_F (LiveFollowing, AFloodIsTakenAtOnceAndTheLatestValueShown)
{
    pick ("0x01");
    for (int i = 0; i < 5000; ++i)
        keyboard.playControl (1, i % 128);

    keyboard.playControl (1, 77);
    EXPECT_TRUE (pumpUntil ([this] { follower().takeQueuedMessages(); return follower().getLiveText() == "Live: 77"; }, 5000))
        << follower().getLiveText();
    EXPECT_EQ (panel->getSelectedControl(), 1);
}

TEST_F (LiveFollowing, TheSelectedControlsGroupNamesTheOthersThatSendTheSame)
{
    pick ("0x01");
    EXPECT_EQ (follower().getClashText(), "");

    // The bank-2 Cutoff made to send the bank-1 Cutoff's message.
    pick ("0x21");
    const auto number = item (ItemParam::Number, 1);
    const auto channel = item (ItemParam::Channel, 1);
    manager().setValue (ModelField::item (33, ItemParam::Number), number);
    manager().setValue (ModelField::item (33, ItemParam::Channel), channel);
    pick ("0x01");
    EXPECT_EQ (follower().getClashText(), "Also sent by Bnk2:P1");
}

TEST_F (LiveFollowing, EditsSentLiveAreCheckedAndUndoSendsTheOldValueBack)
{
    pick ("0x01");
    follower().getSendLiveToggle().setToggleState (true, juce::dontSendNotification);
    const auto before = keyboard.getReceivedCount();
    const auto oldNumber = item (ItemParam::Number, 1);

    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (20, juce::sendNotificationSync);
    EXPECT_EQ (panel->getStatusText(), "Sent and checked: Bnk1:P1 - Cutoff, CC number");
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (1), 20);
    EXPECT_EQ (keyboard.getReceivedCount(), before + 3);   // the set frame, the end of transfer, one request

    ASSERT_TRUE (panel->getHistory().undo());
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (1), oldNumber);
    EXPECT_EQ (panel->getStatusText(), "Sent and checked: Bnk1:P1 - Cutoff, CC number");

    // A keyboard that keeps its own value is named, not flattered.
    SimulatedKeyboard::Faults faults;
    faults.ignoreReceived = { keyboard.getReceivedCount() + 1 };   // the set frame is lost inside
    keyboard.setFaults (faults);
    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (21, juce::sendNotificationSync);
    EXPECT_TRUE (panel->getStatusText().startsWith ("Sent Bnk1:P1 - Cutoff, CC number, but the keyboard holds "))
        << panel->getStatusText();
}

TEST_F (LiveFollowing, AnEditSentLiveToAKeyboardThatDoesNotAnswerSaysSo)
{
    pick ("0x01");
    follower().getSendLiveToggle().setToggleState (true, juce::dontSendNotification);
    SimulatedKeyboard::Faults faults;
    faults.dropAnswers = { keyboard.getAnswerCount() + 1 };
    keyboard.setFaults (faults);

    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (22, juce::sendNotificationSync);
    EXPECT_EQ (panel->getStatusText(), "Sent Bnk1:P1 - Cutoff, CC number, but the keyboard did not answer: not checked");

    // Unplugged: nothing is sent, and the next send does it.
    keyboard.vanish();
    const auto report = sendFieldAndCheck (manager(), panel->getKeyboardCheck(), ModelField::item (1, ItemParam::Number), 23);
    EXPECT_EQ (report.outcome, FieldSendReport::Outcome::noKeyboard);
}
