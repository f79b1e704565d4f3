#include "device/DeviceFrames.h"
#include "device/SendAllPlan.h"
#include "device/LumManager49.h"
#include "simulator/VirtualMidiPortSystem.h"
#include "tests/support/TestSupport.h"

#include <algorithm>

namespace
{
    const juce::String keyboardInput ("Vantor 49 MIDI 1");

    /** A manager already connected to a keyboard input; messages are fed on the test thread.
        The search probes an output of another name, which then goes away. */
    struct Dispatch : ::testing::Test
    {
        VirtualMidiPortSystem ports;
        std::shared_ptr<VirtualMidiPortSystem::Sink> probed = ports.addSink ("Synth", {});
        LumManager49 manager { ports };
        RecordingListener listener;

        void SetUp() override
        {
            manager.addListener (&listener);
            manager.startScan();
            ports.removeSink (probed);
            manager.handleIncomingPortMessage (keyboardInput, keyboardIdentityReply());
            ASSERT_TRUE (manager.isConnected());
        }

        void feed (const juce::MidiMessage& message, const juce::String& source = keyboardInput)
        {
            manager.handleIncomingPortMessage (source, message);
        }

        void feedFrame (int command, std::vector<int> data)
        {
            feed (buildOwnFrame ((juce::uint8) command, data));
        }

        RecordingListener::Event last() const   { return listener.events().back(); }
        size_t eventCount() const               { return listener.events().size(); }
    };
}

TEST_F (Dispatch, IdentificationWithoutAnOutputStillConnects)
{
    EXPECT_EQ (listener.count (ManagerEvent::KeyboardConnected), 1);
    EXPECT_EQ (manager.getInputPortName(), keyboardInput);
    EXPECT_EQ (manager.getOutputPortName(), "Synth");
    EXPECT_FALSE (manager.hasDeviceOutput());
    EXPECT_FALSE (manager.requestItemNumbers());
    manager.sendAllToKeyboard();   // nothing to send it to; must not fail
}

TEST_F (Dispatch, ASinglePairOfNumbersIsStoredAndReported)
{
    feedFrame (2, { 3, 5, 20 });

    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (5), 20);
    EXPECT_EQ (last().code, ManagerEvent::NumbersArrived);
    EXPECT_EQ (last().first, 5);
    EXPECT_EQ (last().second, 20);
}

TEST_F (Dispatch, SeveralPairsReportZeroAndUnknownItemsAreSkipped)
{
    feedFrame (2, { 3, 1, 10, 65, 11, 99, 12, 2, 13 });

    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (1), 10);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (2), 13);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].count (65), 0u);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (99), -1);
    EXPECT_EQ (last().code, ManagerEvent::NumbersArrived);
    EXPECT_EQ (last().first, 0);
    EXPECT_EQ (last().second, 0);

    const auto before = eventCount();
    feedFrame (2, { 3, 9 });   // an empty list (one spare byte) raises nothing
    EXPECT_EQ (eventCount(), before);
}

TEST_F (Dispatch, ParameterListsAreStoredForKnownItemsAndAlwaysReported)
{
    feedFrame (2, { 2, 65, 3, 1, 7 });

    EXPECT_EQ (manager.itemParams[ItemParam::Channel].count (65), 0u);
    EXPECT_EQ (manager.itemParams[ItemParam::Channel].at (1), 7);
    EXPECT_EQ (last().code, ManagerEvent::ParameterListArrived);
    EXPECT_EQ (last().first, 2);

    feedFrame (2, { 6, 1 });   // an empty list: one spare byte
    EXPECT_EQ (last().code, ManagerEvent::ParameterListArrived);
    EXPECT_EQ (last().first, 6);
}

TEST_F (Dispatch, GlobalAnswersAreStoredAndReportedWithTheValueStored)
{
    manager.globals[6] = 11;
    manager.globals[2] = 127;
    manager.unknownValues.insert (ModelField::global (8));

    feedFrame (2, { 0x40, 6, 3 });
    EXPECT_EQ (last().code, ManagerEvent::MidiChannelAnswer);
    EXPECT_EQ (last().first, 3);
    EXPECT_EQ (manager.globals[6], 3);

    feedFrame (2, { 0x40, 2, 1 });
    EXPECT_EQ (last().code, ManagerEvent::KnobModeAnswer);
    EXPECT_EQ (last().first, 1);
    EXPECT_EQ (manager.globals[2], 1);

    feedFrame (2, { 0x40, 3, 0x7E });
    EXPECT_EQ (last().code, ManagerEvent::OctaveShiftAnswer);
    EXPECT_EQ (last().first, -2);
    EXPECT_EQ (manager.globals[3], -2);

    feedFrame (2, { 0x40, 8, 60 });
    EXPECT_EQ (last().code, ManagerEvent::GlobalAnswer);
    EXPECT_EQ (last().first, 8);
    EXPECT_EQ (last().second, 60);
    EXPECT_EQ (manager.globals[8], 60);
    EXPECT_TRUE (manager.getModel().isKnown (ModelField::global (8)));
}

TEST_F (Dispatch, WhileAReadCapturesAnswersTheyLandInEveryCaptureAndNeverInTheModel)
{
    const auto before = manager.getModel();
    SettingsModel first, second;
    first.unknown.insert (ModelField::curve (4));
    manager.addAnswerCapture (&first);
    manager.addAnswerCapture (&second);

    feedFrame (2, { 0x40, 7, 127 });
    feedFrame (2, { 0x41, 4, 33 });
    feedFrame (2, { 0x03, 1, 20 });
    manager.removeAnswerCapture (&second);
    feedFrame (2, { 0x40, 8, 48 });

    EXPECT_EQ (manager.getModel(), before);
    EXPECT_EQ (first.globals[7], 127);
    EXPECT_EQ (first.curves[4], 33);
    EXPECT_TRUE (first.isKnown (ModelField::curve (4)));
    EXPECT_EQ (first.itemParams[ItemParam::Number].at (1), 20);
    EXPECT_EQ (first.globals[8], 48);
    EXPECT_EQ (second.globals[7], 127);
    EXPECT_EQ (second.globals[8], 0);   // removed before that answer
}

TEST_F (Dispatch, CurveAnswersAreStoredWithinRange)
{
    feedFrame (2, { 0x41, 4, 99 });
    EXPECT_EQ (manager.curves[4], 99);
    EXPECT_EQ (last().code, ManagerEvent::CurveAnswer);

    feedFrame (2, { 0x41, 11, 42 });
    EXPECT_EQ (last().code, ManagerEvent::CurveAnswer);
    EXPECT_EQ (last().first, 11);
    for (auto c : manager.curves)
        EXPECT_NE (c, 42);
}

TEST_F (Dispatch, SingleValueAnswersCutShortOfTheirValueChangeNothing)
{
    manager.curves[4] = 40;
    const std::vector<int> cutShort[] {
        { 0x41, 4 },   // a curve
        { 0x40, 6 },   // the MIDI channel
        { 0x40, 2 },   // the knob mode
        { 0x40, 3 },   // the octave shift
        { 0x40, 8 },   // another global
        { 0x00, 1 },   // an item value
    };

    for (const auto& data : cutShort)
        feedFrame (2, data);   // eleven bytes: no value byte before F7

    EXPECT_EQ (manager.curves[4], 40);
    EXPECT_EQ (eventCount(), 1u);   // only the connection
}

TEST_F (Dispatch, ItemValueFramesAreReported)
{
    feedFrame (2, { 0x00, 0x63, 1 });
    EXPECT_EQ (last().code, ManagerEvent::ItemValue);
    EXPECT_EQ (last().first, 0x63);
    EXPECT_EQ (last().second, 1);
}

TEST_F (Dispatch, ControlChangesMapToTheirItemOnAnyChannel)
{
    feed (juce::MidiMessage::controllerEvent (5, 74, 33));
    EXPECT_EQ (last().code, ManagerEvent::ControlMoved);
    EXPECT_EQ (last().first, 1);
    EXPECT_EQ (last().second, 33);

    feedFrame (2, { 3, 1, 74, 5, 74 });   // now items 1 and 5 both send 74
    feed (juce::MidiMessage::controllerEvent (1, 74, 2));
    EXPECT_EQ (last().first, 5);

    const auto before = eventCount();
    feed (juce::MidiMessage::controllerEvent (1, 3, 2));   // no item sends controller 3
    EXPECT_EQ (eventCount(), before);
}

TEST_F (Dispatch, PedalsWheelsAndEncodersHaveTheirOwnEvents)
{
    const std::pair<int, int> pedals[] { { 1, ManagerEvent::ModulationWheel }, { 64, ManagerEvent::SustainPedal },
                                         { 11, ManagerEvent::ExpressionPedal }, { 12, ManagerEvent::AuxPedal },
                                         { 2, ManagerEvent::BreathControl } };

    for (const auto& [controller, event] : pedals)
    {
        feed (juce::MidiMessage::controllerEvent (1, controller, 100));
        EXPECT_EQ (last().code, event) << controller;
        EXPECT_EQ (last().second, 100);
    }

    feed (juce::MidiMessage::controllerEvent (1, 112, 0x42));   // Category Adjust turned back two
    EXPECT_EQ (last().code, ManagerEvent::ControlMoved);
    EXPECT_EQ (last().first, 49);
    EXPECT_EQ (last().second, -2);

    feed (juce::MidiMessage::controllerEvent (1, 114, 0x01));
    EXPECT_EQ (last().first, 51);
    EXPECT_EQ (last().second, 1);
}

TEST_F (Dispatch, PitchBendAndAftertouchZones)
{
    feed (juce::MidiMessage::pitchWheel (3, 16383));
    EXPECT_EQ (last().code, ManagerEvent::PitchBend);
    EXPECT_EQ (last().first, 65);
    EXPECT_EQ (last().second, 16383);

    const auto before = eventCount();
    feed (juce::MidiMessage::channelPressureChange (1, 50));
    feed (juce::MidiMessage::noteOn (1, 60, (juce::uint8) 100));
    feed (juce::MidiMessage::noteOn (1, 68, (juce::uint8) 0));   // velocity 0 is a note off
    feed (juce::MidiMessage::channelPressureChange (1, 50));
    EXPECT_EQ (eventCount(), before);

    feed (juce::MidiMessage::noteOn (1, 68, (juce::uint8) 1));
    feed (juce::MidiMessage::channelPressureChange (2, 77));
    EXPECT_EQ (last().code, ManagerEvent::Aftertouch);
    EXPECT_EQ (last().first, 0x81);
    EXPECT_EQ (last().second, 77);

    feed (juce::MidiMessage::noteOn (1, 84, (juce::uint8) 1));
    feed (juce::MidiMessage::channelPressureChange (1, 5));
    EXPECT_EQ (last().first, 0x82);
}

TEST_F (Dispatch, MessagesFromOtherInputsAndOtherMakersAreIgnored)
{
    const auto before = eventCount();
    feed (juce::MidiMessage::controllerEvent (1, 74, 1), "Midi Through Port-0");
    feed (messageOf ({ 0xF0, 0x00, 0x20, 0x6B, 0x7F, 0x42, 0x02, 0x00, 0x03, 0x05, 0x14, 0xF7 }));
    feed (messageOf ({ 0xF0, 0x00, 0x6D, 0x3A, 0x7F, 0x42, 0x07, 0x00, 0x03, 0x05, 0x14, 0xF7 }));
    feed (messageOf ({ 0xF0, 0x01, 0xF7 }));
    feed (juce::MidiMessage::noteOff (1, 36));
    feed (juce::MidiMessage::programChange (1, 3));

    EXPECT_EQ (eventCount(), before);
    EXPECT_EQ (manager.itemParams[ItemParam::Number].at (5), 18);
}

TEST_F (Dispatch, NothingButAnIdentityReplyCountsBeforeConnection)
{
    VirtualMidiPortSystem otherPorts;
    LumManager49 fresh (otherPorts);
    RecordingListener events;
    fresh.addListener (&events);

    fresh.handleIncomingPortMessage ("X", buildOwnFrame (2, { 3, 5, 20 }));
    fresh.handleIncomingPortMessage ("X", juce::MidiMessage::controllerEvent (1, 74, 1));
    EXPECT_TRUE (events.events().empty());
    EXPECT_EQ (fresh.itemParams[ItemParam::Number].at (5), 18);

    fresh.handleIncomingMidiMessage (nullptr, keyboardIdentityReply());
    EXPECT_FALSE (fresh.isConnected());   // no search is running: nobody asked

    const auto output = otherPorts.addSink ("Out", {});
    fresh.startScan();
    fresh.handleIncomingMidiMessage (nullptr, keyboardIdentityReply());
    EXPECT_TRUE (fresh.isConnected());
    EXPECT_EQ (fresh.getInputPortName(), "unknown");
}

TEST_F (Dispatch, EveryListenerHearsEveryEventInOrderAddedTwiceMeansTwice)
{
    RecordingListener second;
    manager.addListener (&second);
    manager.addListener (&second);

    feedFrame (2, { 0x41, 1, 1 });

    EXPECT_EQ (listener.count (ManagerEvent::CurveAnswer), 1);
    EXPECT_EQ (second.count (ManagerEvent::CurveAnswer), 2);
}

TEST_F (Dispatch, TheForwardReceiverSeesEverythingFirst)
{
    struct Forwarded : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override   { seen.push_back (m); }
        std::vector<juce::MidiMessage> seen;
    } forwarded;

    manager.setForwardCallback (&forwarded);
    feed (juce::MidiMessage::noteOn (1, 0x51, (juce::uint8) 0x54), "Somewhere else");
    feed (juce::MidiMessage::controllerEvent (1, 74, 1));
    manager.setForwardCallback (nullptr);
    feed (juce::MidiMessage::controllerEvent (1, 74, 1));

    EXPECT_EQ (forwarded.seen.size(), 2u);
}

TEST (SendAll, TheDefaultsGive554FramesNeverItem65AndOnlyDataBytes)
{
    VirtualMidiPortSystem ports;
    LumManager49 manager (ports);
    manager.itemParams[ItemParam::Number][65] = 10;   // as a loaded file might give it
    manager.itemParams[ItemParam::Mode][65] = 1;

    const auto frames = manager.planSendAll().frames;

    EXPECT_EQ (frames.size(), 554u);

    for (const auto& frame : frames)
    {
        ASSERT_TRUE (hasOnlyDataBytes (frame));

        if (frame.getRawData()[6] == 0x02 && frame.getRawData()[8] <= 6)
        {
            EXPECT_NE (frame.getRawData()[9], 65);
        }
    }

    EXPECT_EQ (bytesOf (frames[0]), bytesOf (*buildSetItemParam (1, 1, 1)));
    EXPECT_EQ (bytesOf (frames[2]), bytesOf (*buildSetItemParam (3, 1, 74)));
    // The six globals the editor shows, the MIDI channel first.
    EXPECT_EQ (bytesOf (frames[frames.size() - 10]), bytesOf (*buildSetMidiChannel (0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 9]), bytesOf (*buildSetGlobal (1, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 8]), bytesOf (*buildSetGlobal (2, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 7]), bytesOf (*buildSetGlobal (5, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 6]), bytesOf (*buildSetGlobal (7, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 5]), bytesOf (*buildSetGlobal (8, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 4]), bytesOf (*buildSetCurve (4, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 3]), bytesOf (*buildSetCurve (1, 0)));
    EXPECT_EQ (bytesOf (frames[frames.size() - 2]), bytesOf (*buildSetCurve (3, 0)));
    EXPECT_EQ (bytesOf (frames.back()), bytesOf (buildEndOfTransfer()));
}

TEST (SendAll, ValuesOutsideADataByteAreLeftOutNotWrapped)
{
    VirtualMidiPortSystem ports;
    LumManager49 manager (ports);
    manager.itemParams[ItemParam::MaxMsb][1] = 300;
    manager.itemParams[ItemParam::Channel][2] = -5;
    manager.globals[6] = 200;
    manager.curves[4] = -1;
    manager.itemParams[ItemParam::Number][500] = 3;   // an item no byte can name

    const auto frames = manager.planSendAll().frames;

    EXPECT_EQ (frames.size(), 554u - 2 - 1 - 1);
    for (const auto& frame : frames)
        EXPECT_TRUE (hasOnlyDataBytes (frame));
}

TEST (SendAll, ValuesTheKeyboardNeverToldAreLeftAsItHoldsThem)
{
    auto model = SettingsModel::catalogueDefaults();
    const ModelField unknown[] { ModelField::item (1, ItemParam::Option), ModelField::item (2, ItemParam::Mode),
                                 ModelField::global (GlobalIndex::SplitPoint), ModelField::curve (4) };
    model.unknown.insert (std::begin (unknown), std::end (unknown));

    const auto plan = planSendAll (model);

    EXPECT_EQ (plan.frames.size(), 554u - 4);
    EXPECT_EQ (plan.unknownLeftOut, 4);
    EXPECT_TRUE (plan.leftOut.empty());
    ASSERT_EQ (plan.sentFields.size(), plan.frames.size() - 1);   // all but the end of transfer

    for (const auto& field : unknown)
        EXPECT_EQ (std::count (plan.sentFields.begin(), plan.sentFields.end(), field), 0);

    // An edit makes a value known again, and it is sent.
    setValue (model, ModelField::curve (4), 7);
    EXPECT_EQ (planSendAll (model).frames.size(), 554u - 3);
}
