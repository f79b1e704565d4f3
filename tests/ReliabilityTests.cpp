#include "editor/KbdSettingComponentVR49.h"
#include "editor/UpdaterRunner.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/EditorFixture.h"

// Faults in the middle of things: nothing may crash, hang past its time-outs,
// corrupt the model or put a byte of 0x80 or more into a frame.

namespace
{
    /** A manager connected to the simulated keyboard through the search. */
    struct ConnectedManager
    {
        explicit ConnectedManager (VirtualStudio& studio) : manager (studio.getPorts())
        {
            clock.attachTo (manager);
            manager.addListener (&listener);
            manager.startScan();
            clock.advance (2000);
            manager.timerCallback();
            listener.waitFor (ManagerEvent::KeyboardConnected);
        }

        ~ConnectedManager()   { manager.closeInputs(); }

        FakeClock clock;
        RecordingListener listener;
        LumManager49 manager;
    };

    struct ReliableEditor : EditorFixture {};

    /** A firmware update against the simulated keyboard, restarted into its bootloader
        when the user confirms the update-mode box. */
    struct FirmwareUpdateFaults : ::testing::Test
    {
        FirmwareUpdateFaults()
        {
            dialogs.onOkCancel = [this] {
                if (dialogs.shown.back().title == FirmwareDialogTexts::enterUpdateModeTitle)
                    studio.getKeyboard().restartInUpdateMode();
            };
        }

        VirtualStudio studio;
        LumManager49 manager { studio.getPorts() };
        ScriptedDialogs dialogs;
        ScratchFolder scratch;
    };

    juce::File writeFirmware (const ScratchFolder& scratch, size_t size)
    {
        std::vector<juce::uint8> bytes (size, 0xA5);
        const auto file = scratch.file ("Vantor_fw.bin");
        file.replaceWithData (bytes.data(), bytes.size());
        return file;
    }
}

TEST (Reliability, TheKeyboardVanishingDuringASendAllEndsTheSendWithoutHarm)
{
    VirtualStudio studio;
    ConnectedManager link (studio);
    ASSERT_TRUE (link.manager.isConnected());

    std::thread unplug ([&] {
        studio.getKeyboard().waitForReceivedCount (100, 5000);
        studio.getKeyboard().vanish();
    });

    link.manager.sendAllToKeyboard();   // the rest goes nowhere, at the same pace
    unplug.join();

    const auto received = studio.getKeyboard().getReceivedMessages();
    EXPECT_GE (received.size(), 100u);
    EXPECT_LT (received.size(), 549u + 2u);
    for (const auto& m : received)
        EXPECT_TRUE (m.isSysEx() == false || hasOnlyDataBytes (m));
    EXPECT_TRUE (link.manager.isConnected());
}

TEST_F (ReliableEditor, AFloodOfControlChangesDoesNotStopTheRead)
{
    keyboard.floodControlChanges (3000, 74);
    startDetection();

    EXPECT_TRUE (pumpUntil ([this] { return readFinished(); }, 10000));
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (ReliableEditor, EditsDuringTheReadLeaveAConsistentModel)
{
    pick ("0x01");
    startDetection();   // the read runs on the keyboard's thread meanwhile

    for (int i = 0; i < 40; ++i)
    {
        widget<juce::ComboBox> (9).setSelectedItemIndex (i % 128);   // the CC number
        widget<juce::ComboBox> (4).setSelectedItemIndex (i % 2);     // the knob mode
        pumpFor (2);
    }

    ASSERT_TRUE (pumpUntil ([this] { return readFinished(); }));
    pumpFor (20);

    const juce::ScopedLock sl (manager().getModelLock());
    const auto number = manager().itemParams[ItemParam::Number].at (1);
    EXPECT_TRUE (number == 39 || number == 74) << number;   // the last edit, or the keyboard's answer after it
    EXPECT_TRUE (manager().globals[2] == 1 || manager().globals[2] == 127);
    for (const auto& frame : manager().planSendAll().frames)
        EXPECT_TRUE (hasOnlyDataBytes (frame));
}

TEST (Reliability, ShortAndForeignIdentityRepliesNeverConnect)
{
    VirtualMidiPortSystem ports;
    LumManager49 manager (ports);

    manager.handleIncomingPortMessage ("X", messageOf ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00, 0x01, 0xF7 }));
    manager.handleIncomingPortMessage ("X", messageOf ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x20, 0x6B, 0x02, 0x00, 0x01, 0x00, 0, 1, 0, 5, 0xF7 }));
    manager.handleIncomingPortMessage ("X", messageOf ({ 0xF0, 0xF7 }));
    manager.handleIncomingPortMessage ("X", messageOf ({ 0xF0 }));

    EXPECT_FALSE (manager.isConnected());
}

TEST_F (FirmwareUpdateFaults, AKeyboardVanishingMidTransferEndsInTheErrorBoxAfterItsTimeOuts)
{
    dialogs.fileAnswers = { writeFirmware (scratch, 500) };

    SimulatedBootloader::Faults unplugged;
    unplugged.vanishAtBlock = 3;
    studio.getKeyboard().setBootloaderFaults (unplugged);

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);   // four unanswered attempts, about 12.4 s

    ASSERT_FALSE (dialogs.shown.empty());
    EXPECT_TRUE (dialogs.shown.back().message.startsWith ("The burn process completed, but there was an error\n\n"));
    EXPECT_EQ (studio.getKeyboard().getBootloaderState().getAcceptedBlockCount(), 3);
    EXPECT_TRUE (manager.isSearching());
}

TEST_F (FirmwareUpdateFaults, CancellingAsSoonAsTheWindowOpensSendsAtMostTheBlockInTransit)
{
    dialogs.fileAnswers = { writeFirmware (scratch, 5000) };
    dialogs.cancelProgressWhen = [] { return true; };

    runFirmwareUpdate (manager, FirmwareUpdateRequest {}, dialogs);
    pumpFor (300);

    EXPECT_TRUE (dialogs.shown.back().message.startsWith ("The burn process has been canceled"));
    EXPECT_LE (studio.getKeyboard().getBootloaderState().getBlockFramesReceived(), 1);
    EXPECT_TRUE (manager.isSearching());
}

TEST_F (ReliableEditor, ADelayedAnswerLaterThanTheNextRequestIsTakenWhenItComes)
{
    SimulatedKeyboard::Faults slow;
    slow.delayAnswersMs[3] = 150;   // the modes come late
    keyboard.setFaults (slow);

    startDetection();
    EXPECT_TRUE (pumpUntil ([this] { return readFinished(); }));
}
