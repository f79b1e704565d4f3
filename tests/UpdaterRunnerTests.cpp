#include "firmware/HalvekFWUpdater.h"
#include "firmware/UpdatePort.h"
#include "editor/UpdaterRunner.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/TestSupport.h"

namespace
{
    struct FirmwareDialogue : ::testing::Test
    {
        VirtualStudio studio;
        SimulatedKeyboard& keyboard = studio.getKeyboard();
        LumManager49 manager { studio.getPorts() };
        ScriptedDialogs dialogs;
        ScratchFolder scratch;

        void SetUp() override
        {
            // The user restarts the keyboard holding the three keys, then answers the box.
            dialogs.onOkCancel = [this] {
                if (dialogs.shown.back().title == FirmwareDialogTexts::enterUpdateModeTitle)
                    keyboard.restartInUpdateMode();
            };
        }

        juce::File firmware (const std::vector<juce::uint8>& bytes)
        {
            const auto file = scratch.file ("Vantor49_v2.bin");
            file.replaceWithData (bytes.data(), bytes.size());
            return file;
        }

        std::vector<juce::String> messageTexts() const
        {
            std::vector<juce::String> texts;
            for (const auto& box : dialogs.shown)
                if (box.title != FirmwareDialogTexts::enterUpdateModeTitle)
                    texts.push_back (box.title + ": " + box.message);
            return texts;
        }
    };

    std::vector<juce::uint8> imageOfSize (size_t size)
    {
        std::vector<juce::uint8> bytes (size);
        juce::Random random (7);
        for (auto& b : bytes)
            b = (juce::uint8) random.nextInt (256);
        return bytes;
    }
}

TEST_F (FirmwareDialogue, TheUpdateModeBoxHasItsTwoLines)
{
    dialogs.okCancelAnswers = { false };
    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].kind, "okCancel");
    EXPECT_EQ (dialogs.shown[0].icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ (dialogs.shown[0].title, "Enter Firmware Upgrade Mode");
    EXPECT_EQ (dialogs.shown[0].message,
               "Please unplug the keyboard, then plug it in again WHILE HOLDING \"Sound\", \"Multi\" AND \"Edit\" KEYS.\n"
               "Click 'OK' when ready, or 'Cancel' to abort firmware update.");
    EXPECT_EQ (dialogs.okCancelButtons[0], juce::StringArray ({ "OK", "Cancel" }));
    EXPECT_TRUE (dialogs.fileRequests.empty());
}

TEST_F (FirmwareDialogue, CancellingTheFirstBoxOrTheChooserShowsNothingAndSearchesAgain)
{
    manager.openInputs();
    dialogs.okCancelAnswers = { false };
    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);
    EXPECT_TRUE (manager.isSearching());
    EXPECT_FALSE (studio.getPorts().isInputThreadDead());   // its inputs were not restarted too soon
    manager.stopScan();

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);   // OK, then the chooser is cancelled
    ASSERT_EQ (dialogs.fileRequests.size(), 1u);
    EXPECT_EQ (dialogs.fileRequests[0].title, "Please select the firmware file to burn...");
    EXPECT_EQ (dialogs.fileRequests[0].pattern, "Vantor*.bin");
    EXPECT_EQ (dialogs.fileRequests[0].startDirectory, juce::File::getSpecialLocation (juce::File::userHomeDirectory));
    EXPECT_TRUE (messageTexts().empty());
    EXPECT_TRUE (manager.isSearching());
}

TEST_F (FirmwareDialogue, WithoutAnUpdatePortTheErrorIsShownAndTheSearchStartsAgain)
{
    dialogs.onOkCancel = nullptr;   // the keyboard is not restarted in update mode
    manager.connectPorts (SimulatedKeyboard::defaultPortName, SimulatedKeyboard::defaultPortName);
    dialogs.fileAnswers = { firmware ({ 1, 2, 3 }) };

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    EXPECT_EQ (messageTexts(), (std::vector<juce::String> {
                                   "Firmware Update Error: Can't found Keyboard. Make sure it's connected and retry" }));
    EXPECT_EQ (dialogs.shown.back().icon, juce::MessageBoxIconType::WarningIcon);
    EXPECT_EQ (dialogs.progressWindowsRun, 0);
    EXPECT_FALSE (manager.hasDeviceOutput());
    EXPECT_TRUE (manager.isSearching());
}

TEST_F (FirmwareDialogue, AWholeTransferReachesTheBootloaderByteForByte)
{
    const auto image = imageOfSize (4000);
    dialogs.fileAnswers = { firmware (image) };

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    EXPECT_EQ (messageTexts(), (std::vector<juce::String> {
                                   "Firmware Update Result: The burn process completed without error" }));
    EXPECT_EQ (dialogs.shown.back().icon, juce::MessageBoxIconType::InfoIcon);
    const auto bootloader = keyboard.getBootloaderState();
    ASSERT_TRUE (bootloader.getImage().has_value());
    EXPECT_EQ (*bootloader.getImage(), image);
    EXPECT_EQ (bootloader.getRejectionCount(), 0);
    EXPECT_FALSE (manager.hasDeviceOutput());   // not left on the update port: the search runs again
    EXPECT_TRUE (manager.isSearching());
}

TEST_F (FirmwareDialogue, AGivenPathSkipsTheChooser)
{
    runFirmwareUpdate (manager, firmware ({ 0x80, 0x01, 0xFF }).getFullPathName(), dialogs);

    EXPECT_TRUE (dialogs.fileRequests.empty());
    EXPECT_EQ (*keyboard.getBootloaderState().getImage(), (std::vector<juce::uint8> { 0x80, 0x01, 0xFF }));
}

TEST_F (FirmwareDialogue, AnEmptyFileOrARefusedBlockEndsWithTheErrorBox)
{
    dialogs.fileAnswers = { firmware ({}) };
    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);
    EXPECT_EQ (dialogs.progressWindowsRun, 1);

    SimulatedBootloader::Faults refuse;
    refuse.rejectBlock[2] = 4;
    keyboard.setBootloaderFaults (refuse);
    dialogs.onOkCancel = nullptr;   // already in update mode
    dialogs.fileAnswers = { firmware (imageOfSize (500)) };
    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    // Nothing was sent from the empty file; the refused block left the firmware incomplete.
    const juce::String failed ("Firmware Update Error: The burn process completed, but there was an error");
    EXPECT_EQ (messageTexts(), (std::vector<juce::String> { failed, failed + "\n\n" + FirmwareDialogTexts::incompleteFirmware }));
    EXPECT_EQ (keyboard.getBootloaderState().getAcceptedBlockCount(), 2);
}

TEST_F (FirmwareDialogue, CancelWhileABlockIsAwaitedShowsTheCancelBoxAndSendsNothingMore)
{
    SimulatedBootloader::Faults silent;
    silent.neverAnswer = true;
    keyboard.setBootloaderFaults (silent);
    dialogs.fileAnswers = { firmware (imageOfSize (1000)) };
    dialogs.cancelProgressWhen = [this] { return keyboard.getBootloaderState().getBlockFramesReceived() >= 1; };

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    EXPECT_EQ (messageTexts(), (std::vector<juce::String> { juce::String ("Firmware Update Error: The burn process has been canceled\n\n")
                                                            + FirmwareDialogTexts::incompleteFirmware }));
    pumpFor (200);
    EXPECT_EQ (keyboard.getBootloaderState().getBlockFramesReceived(), 1);
}

TEST_F (FirmwareDialogue, CancelWhileTheLastBlockIsAnsweredShowsWhatTheBootloaderAnswered)
{
    SimulatedBootloader::Faults slowLastAnswer;
    slowLastAnswer.lateFirstAnswerMs[0] = 300;   // a one-block image: its only block is the last
    keyboard.setBootloaderFaults (slowLastAnswer);
    dialogs.fileAnswers = { firmware ({ 1, 2, 3 }) };
    dialogs.cancelProgressWhen = [this] { return keyboard.getBootloaderState().getBlockFramesReceived() >= 1; };

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);

    EXPECT_EQ (messageTexts(), (std::vector<juce::String> { "Firmware Update Result: The burn process completed without error" }));
    EXPECT_EQ (keyboard.getBootloaderState().getBlockFramesReceived(), 1);
}

TEST (UpdaterRunner, MessagesNeverReachAnUpdaterBeingCreatedOrDestroyed)
{
    VirtualMidiPortSystem ports;
    LumManager49 manager (ports);
    UpdaterRunner runner (manager);
    runner.firmwarePath = "/nonexistent/Vantor.bin";

    std::atomic<bool> stop { false };
    std::thread midiThread ([&] {
        const auto note = juce::MidiMessage::noteOn (1, 0x51, (juce::uint8) 0x54);
        while (! stop)
            runner.handleIncomingMidiMessage (nullptr, note);
    });

    for (int i = 0; i < 300; ++i)
        runner.run();   // creates, uses and destroys an updater each time

    stop = true;
    midiThread.join();
    EXPECT_FALSE (runner.didBurnSucceed());
}

TEST (UpdatePort, AttachMovesTheLinkToTheBootloaderByItsWindowsAlsaOrWineNameAndDetachClosesTheInputs)
{
    struct Counter : juce::MidiInputCallback
    {
        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage&) override   { ++count; }
        std::atomic<int> count { 0 };
    };

    EXPECT_EQ (updatePortName ("USB A"), "USB A");

    for (const juce::String bootloaderPort : { "USB A MIDI 1", "USB A - USB A MIDI 1", "USB A" })
    {
        SCOPED_TRACE (bootloaderPort);
        VirtualStudio studio;
        studio.getKeyboard().setUpdatePortName (bootloaderPort);
        studio.getKeyboard().restartInUpdateMode();
        LumManager49 manager (studio.getPorts());
        Counter callback;

        ASSERT_TRUE (attachUpdatePort (&callback, "USB A", manager));
        EXPECT_EQ (manager.getInputPortName(), bootloaderPort);
        EXPECT_EQ (manager.getOutputPortName(), bootloaderPort);
        EXPECT_EQ (manager.getOpenInputCount(), 3);
        EXPECT_TRUE (manager.hasDeviceOutput());

        studio.getKeyboard().playNoteOn (1, 60, 1);
        EXPECT_TRUE (pumpUntil ([&] { return callback.count.load() > 0; }));

        EXPECT_FALSE (attachUpdatePort (nullptr, "USB A", manager));
        EXPECT_EQ (manager.getOpenInputCount(), 0);
        EXPECT_TRUE (manager.hasDeviceOutput());
    }

    for (const juce::String other : { "USB AB", "USB A MIDI", "USB A MIDI x", "My USB A MIDI 1", "USB A - USB A MIDI",
                                      "USB A - USB A", "USB B - USB A MIDI 1", "USB A - USB B MIDI 1" })
        EXPECT_FALSE (isUpdatePortName (other, "USB A")) << other;
}

TEST_F (FirmwareDialogue, AFailedTransferIsTriedAgainAtOnceWithTheSameFileOnTheBootloaderStillThere)
{
    SimulatedBootloader::Faults refuse;
    refuse.rejectBlock[2] = 4;   // refused four times: the first transfer fails, the second goes through
    keyboard.setBootloaderFaults (refuse);
    dialogs.fileAnswers = { firmware (imageOfSize (500)) };
    dialogs.okCancelAnswers = { true, true };   // "OK" into update mode, then "Try Again"

    EXPECT_TRUE (runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs));

    const juce::String failed ("Firmware Update Error: The burn process completed, but there was an error\n\n");
    EXPECT_EQ (messageTexts(), (std::vector<juce::String> { failed + FirmwareDialogTexts::incompleteFirmware,
                                                            "Firmware Update Result: The burn process completed without error" }));
    EXPECT_EQ (dialogs.okCancelButtons[1], juce::StringArray ({ "Try Again", "Close" }));
    EXPECT_EQ (dialogs.fileRequests.size(), 1u);   // the same file, not chosen again
    EXPECT_TRUE (keyboard.getBootloaderState().isComplete());
}
