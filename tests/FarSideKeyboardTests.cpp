#include "device/DeviceFrames.h"
#include "simulator/KeyboardCommands.h"
#include "simulator/KeyboardProgramOptions.h"
#include "simulator/MidiByteStreamParser.h"
#ifndef _WIN32
 #include "simulator/RawMidiBridge.h"   // the USB MIDI gadget is Linux's
#endif
#include "tests/support/TestSupport.h"

// The keyboard program at the far end of a USB cable: how it cuts the byte stream
// into messages, when frames that waited for a late reader count as arrived, and
// what its command line and its commands take.

namespace
{
    std::vector<std::vector<int>> parse (const std::vector<int>& stream)
    {
        std::vector<std::vector<int>> messages;
        MidiByteStreamParser parser ([&] (const juce::MidiMessage& m) { messages.push_back (bytesOf (m)); });
        std::vector<juce::uint8> bytes (stream.begin(), stream.end());

        // Byte by byte, as reads may cut anywhere.
        for (const auto byte : bytes)
            parser.push (&byte, 1);

        return messages;
    }

    /** What the keyboard sends, as the program's input receives it. */
    struct KeyboardListener : MidiPortReceiver
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& m) override   { add (m); }
        void handleIncomingPortMessage (const juce::String&, const juce::MidiMessage& m) override { add (m); }

        void add (const juce::MidiMessage& m)
        {
            const std::lock_guard<std::mutex> lock (mutex);
            received.push_back (bytesOf (m));
        }

        std::vector<std::vector<int>> messages()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return received;
        }

        std::mutex mutex;
        std::vector<std::vector<int>> received;
    };
}

TEST (FarSideByteStream, CutsTheWireIntoTheMessagesThatWereSent)
{
    const struct { const char* what; std::vector<int> stream; std::vector<std::vector<int>> messages; } cases[] {
        { "SysEx", { 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 }, { { 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 } } },
        { "two frames in one read", { 0xF0, 0x01, 0xF7, 0xF0, 0x02, 0xF7 }, { { 0xF0, 0x01, 0xF7 }, { 0xF0, 0x02, 0xF7 } } },
        { "running status", { 0xB0, 74, 1, 75, 2 }, { { 0xB0, 74, 1 }, { 0xB0, 75, 2 } } },
        { "two-byte running status", { 0xD1, 5, 6 }, { { 0xD1, 5 }, { 0xD1, 6 } } },
        { "realtime inside a SysEx", { 0xF0, 0x01, 0xF8, 0x02, 0xF7 }, { { 0xF8 }, { 0xF0, 0x01, 0x02, 0xF7 } } },
        { "realtime inside a note", { 0x90, 60, 0xFE, 100 }, { { 0xFE }, { 0x90, 60, 100 } } },
        { "SysEx cut short by a note", { 0xF0, 0x01, 0x02, 0x90, 60, 1 }, { { 0xF0, 0x01, 0x02 }, { 0x90, 60, 1 } } },
        { "a SysEx ends running status", { 0xB0, 1, 2, 0xF0, 0xF7, 3, 4 }, { { 0xB0, 1, 2 }, { 0xF0, 0xF7 } } },
        { "data with no status", { 5, 6, 0x80, 60, 0 }, { { 0x80, 60, 0 } } },
        { "stray end of SysEx", { 0xF7, 0xC0, 3 }, { { 0xC0, 3 } } },
        { "system common", { 0xF2, 1, 2, 0xF6, 0xF1, 9 }, { { 0xF2, 1, 2 }, { 0xF6 }, { 0xF1, 9 } } },
        { "undefined status drops its data", { 0xF4, 1, 0xF5, 0x90, 1, 2 }, { { 0x90, 1, 2 } } },
    };

    for (const auto& c : cases)
        EXPECT_EQ (parse (c.stream), c.messages) << c.what;
}

TEST (FarSideByteStream, AResetForgetsAFrameTheCableCutInTwo)
{
    std::vector<std::vector<int>> messages;
    MidiByteStreamParser parser ([&] (const juce::MidiMessage& m) { messages.push_back (bytesOf (m)); });
    const juce::uint8 half[] { 0xF0, 0x00, 0x6D }, next[] { 0x3A, 0xF7, 0xB0, 1, 2 };
    parser.push (half, sizeof (half));
    parser.reset();
    parser.push (next, sizeof (next));

    EXPECT_EQ (messages, (std::vector<std::vector<int>> { { 0xB0, 1, 2 } }));
}

TEST (FarSideArrival, FramesThatWaitedForALateReaderCountAsArrivedWhenTheyCrossedTheCable)
{
    // Twenty set frames crossed the cable 2 ms apart and were read together 50 ms later.
    for (const bool stamped : { true, false })
    {
        SCOPED_TRACE (stamped ? "stamped with their arrival" : "handed over as read");
        VirtualMidiPortSystem ports;
        SimulatedKeyboard keyboard (ports);

        if (stamped)
            keyboard.takeArrivalFromTimeStamps();

        auto output = ports.openOutput (ports.outputIdentifierOf (SimulatedKeyboard::defaultPortName));
        const auto firstArrival = std::chrono::steady_clock::now() - std::chrono::milliseconds (50);
        constexpr int frames = 20;

        for (int i = 0; i < frames; ++i)
        {
            auto frame = *buildSetItemParam (ItemParam::Number, 1 + i, 30 + i);
            const auto arrival = firstArrival + std::chrono::milliseconds (2 * i);
            frame.setTimeStamp (stamped ? std::chrono::duration<double> (arrival.time_since_epoch()).count() : 0.0);
            output->sendMessageNow (frame);
        }

        ASSERT_TRUE (pumpUntil ([&] { return keyboard.getReceivedCount() + (size_t) keyboard.getLostFrameCount() == frames; }));

        if (stamped)
        {
            EXPECT_EQ (keyboard.getLostFrameCount(), 0);
            EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (20), 49);
        }
        else
        {
            EXPECT_GT (keyboard.getLostFrameCount(), 0);
        }
    }
}

TEST (FarSideOptions, FaultsAreTakenAsTheSimulatedKeyboardKnowsThem)
{
    KeyboardProgramOptions options;
    for (const auto* fault : { "drop-answer=3,5", "delay-answer=2:300", "foreign-manufacturer", "truncate-answers=9",
                               "vanish-after-receiving=200", "ignore-received=7", "reject-block=2:4",
                               "bootloader-silent", "vanish-at-block=5", "late-first-answer=1:3500", "bootloader-delay=40" })
        EXPECT_TRUE (options.addFault (fault)) << fault;

    EXPECT_EQ (options.faults.dropAnswers, (std::set<int> { 3, 5 }));
    EXPECT_EQ (options.faults.delayAnswersMs, (std::map<int, int> { { 2, 300 } }));
    EXPECT_TRUE (options.faults.foreignManufacturer);
    EXPECT_EQ (options.faults.truncateAnswersTo, 9);
    EXPECT_EQ (options.faults.vanishAfterReceiving, (size_t) 200);
    EXPECT_EQ (options.faults.ignoreReceived, (std::set<size_t> { 7 }));
    EXPECT_EQ (options.bootloaderFaults.rejectBlock, (std::map<int, int> { { 2, 4 } }));
    EXPECT_TRUE (options.bootloaderFaults.neverAnswer);
    EXPECT_EQ (options.bootloaderFaults.vanishAtBlock, 5);
    EXPECT_EQ (options.bootloaderFaults.lateFirstAnswerMs, (std::map<int, int> { { 1, 3500 } }));
    EXPECT_EQ (options.bootloaderAnswerDelayMs, 40);
    EXPECT_FALSE (options.faults.vanishAfterAnswers.has_value());

    for (const auto* wrong : { "drop-answer", "drop-answer=x", "drop-answer=3,", "delay-answer=2", "bootloader-silent=1",
                               "truncate-answers=-1", "vanish", "" })
        EXPECT_FALSE (KeyboardProgramOptions().addFault (wrong)) << wrong;
}

TEST (FarSideOptions, TheCommandLineNeedsAGadgetAndKnowsItsOptions)
{
    const struct { juce::StringArray arguments; bool accepted; } cases[] {
        { { "--gadget", "/sys/kernel/config/usb_gadget/vantor49", "--log", "/tmp/frames.log", "--fault", "drop-answer=2" }, true },
        { { "--help" }, true },
        { { "--log", "/tmp/frames.log" }, false },
        { { "--gadget" }, false },
        { { "--gadget", "g", "--fault", "nonsense" }, false },
        { { "--gadget", "g", "--speed", "9" }, false },
    };

    for (const auto& c : cases)
    {
        KeyboardProgramOptions options;
        EXPECT_EQ (! KeyboardProgramOptions::parse (c.arguments, options).has_value(), c.accepted)
            << c.arguments.joinIntoString (" ");
    }

    KeyboardProgramOptions options;
    ASSERT_FALSE (KeyboardProgramOptions::parse ({ "--gadget", "/g", "--device", "hw:Gadget2,0", "--fault", "drop-answer=2" }, options));
    EXPECT_EQ (options.rawMidiDevice, "hw:Gadget2,0");
    EXPECT_EQ (options.faults.dropAnswers, (std::set<int> { 2 }));
}

TEST (FarSideCommands, PlayTheControlsAndRestartTheKeyboardAsTold)
{
    VirtualMidiPortSystem ports;
    SimulatedKeyboard keyboard (ports);
    KeyboardListener listener;
    auto input = ports.openInput (ports.inputIdentifierOf (SimulatedKeyboard::defaultPortName), listener);
    input->start();
    int saves = 0;
    KeyboardCommands commands (keyboard, { [&] { ++saves; }, {} });

    for (const auto* line : { "cc 1 74 64", "bend 2 8192", "note 16 36 100", "pressure 1 90", "raw 90 3C 64", "  # a note", "", "save" })
        EXPECT_FALSE (commands.run (line).has_value()) << line;

    ASSERT_TRUE (pumpUntil ([&] { return listener.messages().size() == 5; }));
    EXPECT_EQ (listener.messages(), (std::vector<std::vector<int>> {
        { 0xB0, 74, 64 }, { 0xE1, 0x00, 0x40 }, { 0x9F, 36, 100 }, { 0xD0, 90 }, { 0x90, 0x3C, 0x64 } }));
    EXPECT_EQ (saves, 1);

    for (const auto* wrong : { "cc 17 74 64", "cc 1 74", "cc 1 74 128", "bend 1 16384", "raw 3C 64", "raw F", "bogus", "flood 0 7" })
        EXPECT_TRUE (commands.run (wrong).has_value()) << wrong;

    EXPECT_FALSE (commands.run ("update-mode").has_value());
    EXPECT_TRUE (keyboard.isInUpdateMode());
    EXPECT_EQ (ports.getInputNames(), juce::StringArray (SimulatedKeyboard::updatePortName));

    EXPECT_FALSE (commands.run ("unplug").has_value());
    EXPECT_TRUE (ports.getInputNames().isEmpty());
}

#ifndef _WIN32
TEST (FarSideGadget, TheProductStringIsThePortNameWithoutItsNumber)
{
    const struct { const char* port; const char* product; } cases[] {
        { "Vantor 49 MIDI 1", "Vantor 49" }, { "USB A MIDI 1", "USB A" }, { "USB A", "USB A" }, { "MIDI 1", "MIDI 1" },
    };

    for (const auto& c : cases)
        EXPECT_EQ (RawMidiBridge::productFor (c.port), c.product) << c.port;
}
#endif
