#include "device/BootloaderPortName.h"
#include "device/DeviceFrames.h"
#include "device/KeyboardProbe.h"
#include "device/KeyboardReader.h"
#include "device/VerifiedSend.h"
#include "simulator/MidiThroughDevice.h"
#include "simulator/app/SimulatorMonitorWindow.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/TestSupport.h"

// The flows the editor and the command line share: the probe, the read and the verified send.

namespace
{
    struct ReaderFeed : LumManagerListener
    {
        explicit ReaderFeed (KeyboardReader& r) : reader (r) {}
        void managerEvent (int event, int first, int, int) override   { reader.handleManagerEvent (event, first); }
        KeyboardReader& reader;
    };

    struct KeyboardFlow : ::testing::Test
    {
        VirtualStudio studio;
        SimulatedKeyboard& keyboard = studio.getKeyboard();
        LumManager49 manager { studio.getPorts() };
        KeyboardReader reader { manager };
        ReaderFeed feed { reader };

        void SetUp() override
        {
            manager.addListener (&feed);
            ASSERT_TRUE (manager.connectDirectly (SimulatedKeyboard::defaultPortName, SimulatedKeyboard::defaultPortName));
        }

        void TearDown() override   { manager.dropLink(); }

        void setKeyboard (const std::function<void (KeyboardConfiguration&)>& change)
        {
            auto held = keyboard.getConfiguration();
            change (held);
            keyboard.setConfiguration (held);
        }
    };
}

TEST_F (KeyboardFlow, TheReadTakesEveryGlobalItAsksAndKnowsOnlyWhatTheKeyboardTold)
{
    setKeyboard ([] (auto& held) {
        held.globals[6] = 3;
        held.globals[2] = 127;
        held.globals[8] = 48;
        held.globals[3] = 0x7F;   // octave shift -1
        held.itemParams[ItemParam::Option][1] = 5;
        held.curves[4] = 44;
    });

    for (const bool beyondContract : { false, true })
    {
        SCOPED_TRACE (beyondContract ? "a keyboard that also tells options and curves" : "a keyboard of the contract");
        keyboard.setAnswersBeyondContract (beyondContract);
        const auto result = reader.read();

        ASSERT_TRUE (result.completed());
        const auto& model = result.model;
        EXPECT_EQ (model.globals[6], 3);
        EXPECT_EQ (model.globals[2], 127);
        EXPECT_EQ (model.globals[8], 48);
        EXPECT_EQ (model.globals[3], -1);
        EXPECT_TRUE (model.isKnown (ModelField::item (1, ItemParam::Number)));
        EXPECT_TRUE (model.isKnown (ModelField::global (GlobalIndex::SplitPoint)));
        EXPECT_FALSE (model.isKnown (ModelField::item (99, ItemParam::Mode)));   // the keyboard lists no hidden item
        EXPECT_EQ (model.isKnown (ModelField::item (1, ItemParam::Option)), beyondContract);
        EXPECT_EQ (model.isKnown (ModelField::curve (4)), beyondContract);
        EXPECT_EQ (model.isKnown (ModelField::curve (2)), true);   // never sent: nothing to know

        if (beyondContract)
        {
            EXPECT_EQ (model.itemParams[ItemParam::Option].at (1), 5);
            EXPECT_EQ (model.curves[4], 44);
        }
    }
}

TEST_F (KeyboardFlow, AReadThatLosesAnAnswerHandsNothingOverAndSaysWhy)
{
    SimulatedKeyboard::Faults faults;
    faults.dropAnswers = { 3 };   // the channels' list
    keyboard.setFaults (faults);
    EXPECT_EQ (reader.read().outcome, KeyboardReader::Outcome::noAnswer);

    faults = {};
    faults.vanishAfterAnswers = 4;
    keyboard.setFaults (faults);
    EXPECT_EQ (reader.read().outcome, KeyboardReader::Outcome::keyboardGone);

    EXPECT_EQ (reader.read ([] { return true; }).outcome, KeyboardReader::Outcome::stopped);

    manager.dropLink();
    EXPECT_EQ (reader.read().outcome, KeyboardReader::Outcome::noKeyboard);
}

TEST_F (KeyboardFlow, TwoReadsAtOnceEachGetTheirWholeModelAndTheManagersStaysAsItWas)
{
    // A second read starts while the first runs (a second identity reply during a check):
    // neither spills into the manager's model, and neither compares against defaults.
    setKeyboard ([] (auto& held) { held.itemParams[ItemParam::Number][1] = 20; held.globals[8] = 50; });
    KeyboardReader second (manager);
    ReaderFeed secondFeed (second);
    manager.addListener (&secondFeed);
    const auto before = manager.getModel();

    SimulatedKeyboard::Faults slow;
    slow.delayAnswersMs[2] = 80;
    keyboard.setFaults (slow);

    KeyboardReader::Result other;
    std::thread concurrently ([&] { juce::Thread::sleep (20); other = second.read(); });
    const auto first = reader.read();
    concurrently.join();

    for (const KeyboardReader::Result* result : { &first, static_cast<const KeyboardReader::Result*> (&other) })
    {
        ASSERT_TRUE (result->completed());
        EXPECT_EQ (result->model.itemParams[ItemParam::Number].at (1), 20);
        EXPECT_EQ (result->model.globals[8], 50);
    }

    EXPECT_EQ (manager.getModel(), before);
}

TEST_F (KeyboardFlow, ABackupRestoredChangesNothingOnTheKeyboard)
{
    setKeyboard ([] (auto& held) { held.itemParams[ItemParam::Option][1] = 5; held.curves[4] = 44; held.globals[6] = 3; });
    const auto before = keyboard.getConfiguration();
    const auto backup = reader.read().model;

    const auto report = sendAndVerify (manager, reader, backup);

    EXPECT_TRUE (report.keyboardHoldsWhatWasSent());
    EXPECT_EQ (report.check.counts.controls, 84);
    EXPECT_EQ (report.check.counts.globals, 6);
    EXPECT_EQ (report.check.counts.notChecked, 0);
    EXPECT_EQ (report.plan.unknownLeftOut, 84 + 3 + 8 * 6);   // options, curves, the hidden items
    auto after = keyboard.getConfiguration();
    after.endOfTransferCount = before.endOfTransferCount;
    EXPECT_EQ (after.itemParams, before.itemParams);
    EXPECT_EQ (after.globals, before.globals);
    EXPECT_EQ (after.curves, before.curves);
}

TEST_F (KeyboardFlow, AVerifiedSendNamesAGlobalThatDidNotArriveAndCountsWhatItCouldNotCheck)
{
    auto model = SettingsModel::catalogueDefaults();
    model.globals[GlobalIndex::KnobMode] = 127;
    model.globals[GlobalIndex::SplitPoint] = 24;
    const auto plan = planSendAll (model);
    const auto knobModeFrame = std::find (plan.sentFields.begin(), plan.sentFields.end(),
                                          ModelField::global (GlobalIndex::KnobMode)) - plan.sentFields.begin();

    SimulatedKeyboard::Faults faults;
    faults.ignoreReceived = { keyboard.getReceivedCount() + (size_t) knobModeFrame + 1 };
    keyboard.setFaults (faults);

    const auto report = sendAndVerify (manager, reader, model);

    EXPECT_FALSE (report.keyboardHoldsWhatWasSent());
    ASSERT_EQ (report.check.differences.size(), 1u);
    EXPECT_EQ (report.check.differences[0].describe (ComparedSides::sentAndKeyboard()),
               "Knob mode: Relative sent, Absolute on the keyboard");
    EXPECT_EQ (keyboard.getConfiguration().globals[GlobalIndex::SplitPoint], 24);
    // Sent but never told back: the options, three curves and the hidden items' five fields.
    EXPECT_EQ (report.check.counts.notChecked, 84 + 3 + 8 * 5);
}

TEST (KeyboardProbeOf, FourOutputsAreAskedAtOnceAndTheReplyIsPairedByName)
{
    VirtualMidiPortSystem ports;
    MidiThroughDevice through (ports, "Midi Through Port-0");   // echoes the request: never the keyboard
    const auto synth = ports.addSink ("Synth Module", [] (const juce::MidiMessage&) {});
    const auto drums = ports.addSink ("Drum Machine", [] (const juce::MidiMessage&) {});
    SimulatedKeyboard keyboard (ports);

    KeyboardProbe probe (ports);
    const auto started = juce::Time::getMillisecondCounter();
    const auto found = probe.findFirst();

    ASSERT_TRUE (found.has_value());
    EXPECT_LT (juce::Time::getMillisecondCounter() - started, (juce::uint32) KeyboardProbe::answerWaitMs);
    EXPECT_EQ (found->inputName, SimulatedKeyboard::defaultPortName);
    EXPECT_EQ (found->outputName, SimulatedKeyboard::defaultPortName);
    EXPECT_EQ (found->revision, (std::array<juce::uint8, 4> { 0, 1, 0, 5 }));
    EXPECT_EQ (keyboard.getReceivedCount(), 1u);   // one request, not one per pass
}

TEST (KeyboardProbeOf, PortsWhoseNamesDifferArePairedByAskingTheOutputsInTurn)
{
    // A keyboard whose input and output have different names: only asking each output
    // alone tells which one reaches it.
    VirtualMidiPortSystem ports;
    const auto decoy = ports.addSink ("MIDIOUT2 (Somewhere)", [] (const juce::MidiMessage&) {});
    const auto keyboardIn = ports.addSource ("Vantor 49");
    const auto identity = messageOf ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00, 0x01, 0x00,
                                       0x00, 0x01, 0x00, 0x05, 0xF7 });
    const auto keyboardOut = ports.addSink ("MIDIOUT3 (Vantor 49)", [&] (const juce::MidiMessage& m) {
        if (m.isSysEx() && m.getRawDataSize() == 6)
            std::thread ([source = keyboardIn, identity] { source->deliver (identity); }).detach();
    });

    const auto found = KeyboardProbe (ports).findAll();

    ASSERT_EQ (found.size(), 1u);
    EXPECT_EQ (found[0].inputName, "Vantor 49");
    EXPECT_EQ (found[0].outputName, "MIDIOUT3 (Vantor 49)");
    juce::Thread::sleep (50);   // the replies' threads end before the ports go
}

TEST (KeyboardProbeOf, TheKeyboardAndItsBootloaderAreKnownByTheNamesAlsaWineAndWindowsGiveThem)
{
    // ALSA: client and port; Wine over ALSA: "client - port"; Windows: the USB product.
    for (const juce::String name : { "Vantor 49 MIDI 1", "Vantor 49 - Vantor 49 MIDI 1", "Vantor 49" })
    {
        SCOPED_TRACE (name);
        VirtualMidiPortSystem ports;
        const auto synth = ports.addSink ("Synth Module", [] (const juce::MidiMessage&) {});
        SimulatedKeyboard keyboard (ports, {}, name);

        const auto found = KeyboardProbe (ports).findFirst();

        ASSERT_TRUE (found.has_value());
        EXPECT_EQ (found->inputName, name);
        EXPECT_EQ (found->outputName, name);
        EXPECT_FALSE (isUpdatePortName (name));
    }

    for (const juce::String name : { "USB A MIDI 1", "USB A - USB A MIDI 1", "USB A" })
    {
        EXPECT_TRUE (isUpdatePortName (name)) << name;
        EXPECT_EQ (findBootloaderOutput ({ "Synth Module", name }), name);
    }
}

TEST (FieldValues, ReportsNameValuesAsTheFieldsShowThem)
{
    const struct { ModelField field; std::optional<int> value; const char* text; } cases[] {
        { ModelField::item (1, ItemParam::Number), 71, "71 - Timbre/Harmonic Intens." },
        { ModelField::item (1, ItemParam::Mode), 9, "Note Toggle" },
        { ModelField::item (1, ItemParam::Mode), 13, "13" },
        { ModelField::item (1, ItemParam::Channel), 9, "10" },
        { ModelField::item (1, ItemParam::Channel), 0x7E, "All" },
        { ModelField::item (1, ItemParam::MaxMsb), 127, "127" },
        { ModelField::item (1, ItemParam::MinLsb), std::nullopt, "none" },
        { ModelField::global (GlobalIndex::KnobMode), 127, "Relative" },
        { ModelField::global (GlobalIndex::KnobMode), 0, "Absolute" },
        { ModelField::global (GlobalIndex::FaderMode), 127, "Drawbar" },
        { ModelField::global (GlobalIndex::SplitMode), 1, "Off" },
        { ModelField::global (GlobalIndex::SplitPoint), 60, "C3" },
        { ModelField::global (GlobalIndex::UpperChannel), 3, "4" },
        { ModelField::global (GlobalIndex::OctaveShift), -2, "-2" },
        { ModelField::curve (4), 44, "44" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (c.field.describeValue (c.value), c.text) << c.field.describe();

    const ModelDifference unknownOnTheKeyboard { ModelField::curve (4), 40, 0, true, false };
    EXPECT_EQ (unknownOnTheKeyboard.describe ({ "in the file", "on the keyboard" }),
               "Curve 4: 40 in the file, not known on the keyboard");
}

TEST (SimulatorMonitor, OpensBesideTheEditorAndNeverOverItsGlobalParameters)
{
    const juce::Point<int> size { 420, 290 };
    const struct { const char* screen; juce::Rectangle<int> area; juce::Rectangle<int> expected; } cases[] {
        { "wide: to the right", { 0, 0, 1920, 1080 }, { 448 + 1024 + 8, 210, 420, 290 } },
        { "1280 x 1024: below, shortened", { 0, 0, 1280, 1024 }, { 128 + 1024 - 420, 182 + 660 + 32, 420, 150 } },
        { "no room at all: over the picture's lower right", { 0, 0, 1100, 700 }, { 680, 410, 420, 290 } },
    };
    const juce::Rectangle<int> editors[] { { 448, 210, 1024, 660 }, { 128, 182, 1024, 660 }, { 38, 20, 1024, 660 } };

    for (size_t i = 0; i < std::size (cases); ++i)
    {
        SCOPED_TRACE (cases[i].screen);
        const auto placed = monitorWindowBounds (editors[i], cases[i].area, size);
        EXPECT_EQ (placed, cases[i].expected);

        const auto globalParameters = juce::Rectangle<int> (6, 8, 419, 128) + editors[i].getPosition();
        EXPECT_FALSE (placed.intersects (globalParameters.expanded (0, 32)));   // its title bar included
    }
}
