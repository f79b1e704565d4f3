#include "documents/SettingsFile.h"
#include "editor/EditorTexts.h"
#include "editor/UpdaterRunner.h"
#include "tests/support/EditorFixture.h"

// A firmware update keeps the user's configuration and can always be finished.

namespace
{
    enum Widget { firmwareButton = 32, firmwareField = 34 };

    struct FirmwareKeepsConfiguration : EditorFixture
    {
        void SetUp() override
        {
            EditorFixture::SetUp();
            // The user restarts the keyboard holding the three keys before answering the first box.
            dialogs.onOkCancel = [this] {
                if (dialogs.shown.back().title == FirmwareDialogTexts::enterUpdateModeTitle)
                    keyboard.restartInUpdateMode();
            };
        }

        juce::File firmwareFile()
        {
            const auto file = scratch.file ("Vantor49_v2.bin");
            std::vector<juce::uint8> bytes (3000);
            for (size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = (juce::uint8) (i * 7);
            file.replaceWithData (bytes.data(), bytes.size());
            return file;
        }

        /** The search after the update, ticked on until the keyboard is back and read. */
        bool keyboardBackAndRead()
        {
            for (int tick = 0; tick < 12; ++tick)
            {
                if (manager().isConnected() && ! panel->isReadingBack())
                    break;

                clock.advance (2000);
                manager().timerCallback();
                pumpUntil ([this] { return manager().isConnected(); }, 300);
            }

            return pumpUntil ([this] { return manager().isConnected() && ! panel->isReadingBack(); }, 5000)
                   && (pumpFor (100), true);
        }

        std::vector<juce::String> titles() const
        {
            std::vector<juce::String> all;
            for (const auto& box : dialogs.shown)
                all.push_back (box.title);
            return all;
        }
    };
}

TEST_F (FirmwareKeepsConfiguration, KeptFlashedOfferedBackRestoredCheckedAndUndone)
{
    auto mine = keyboard.getConfiguration();
    mine.itemParams[ItemParam::Number][1] = 20;
    mine.globals[GlobalIndex::SplitPoint] = 48;
    keyboard.setConfiguration (mine);
    detectKeyboard();

    const auto copy = scratch.file ("copy.vr49");
    dialogs.yesNoCancelAnswers = { 2, 1 };   // "Save a Copy...", then "OK"
    dialogs.fileAnswers = { copy, firmwareFile() };
    dialogs.okCancelAnswers = { true };      // "Restore My Configuration"
    click (widget<juce::TextButton> (firmwareButton));

    // The first box said the configuration was kept, and offered its copy.
    ASSERT_GE (dialogs.shown.size(), 1u);
    EXPECT_TRUE (dialogs.shown[0].message.endsWith ("\n\nYour keyboard's configuration was read and will be offered "
                                                    "back after the update."));
    EXPECT_EQ (dialogs.okCancelButtons[0], juce::StringArray ({ "OK", "Save a Copy...", "Cancel" }));
    SettingsModel copied;
    ASSERT_TRUE (loadSettingsFile (copy, copied).wasOk());
    EXPECT_EQ (copied.itemParams[ItemParam::Number].at (1), 20);

    // Flashed: the keyboard came back with the factory's configuration.
    ASSERT_TRUE (keyboard.getBootloaderState().isComplete());
    ASSERT_TRUE (keyboardBackAndRead());
    ASSERT_TRUE (pumpUntil ([this] { return keyboard.getConfiguration().itemParams[ItemParam::Number].at (1) == 20; }));

    EXPECT_EQ (titles(), (std::vector<juce::String> { FirmwareDialogTexts::enterUpdateModeTitle,
                                                      FirmwareDialogTexts::enterUpdateModeTitle,
                                                      FirmwareDialogTexts::resultTitle, EditorTexts::afterTheUpdateTitle }));
    EXPECT_EQ (dialogs.shown.back().message, EditorTexts::configurationChangedByTheUpdate ("1 control and 1 global"));
    EXPECT_EQ (dialogs.okCancelButtons.back(), juce::StringArray ({ "Restore My Configuration", "Keep the Keyboard's" }));
    EXPECT_EQ (keyboard.getConfiguration().globals[GlobalIndex::SplitPoint], 48);
    EXPECT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 6 globals)");

    // Undone as taking the keyboard's values is: the editor shows what the keyboard came back with.
    panel->getShortcuts().getKeyMappings().keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0),
                                                       panel.get());
    EXPECT_EQ (item (ItemParam::Number, 1), 74);
    EXPECT_EQ (global (GlobalIndex::SplitPoint), 60);
}

TEST_F (FirmwareKeepsConfiguration, KeepingTheKeyboardsValuesSendsNothing)
{
    auto mine = keyboard.getConfiguration();
    mine.itemParams[ItemParam::Number][1] = 20;
    keyboard.setConfiguration (mine);
    detectKeyboard();

    dialogs.yesNoCancelAnswers = { 1 };
    dialogs.fileAnswers = { firmwareFile() };
    dialogs.okCancelAnswers = { false };     // "Keep the Keyboard's"
    click (widget<juce::TextButton> (firmwareButton));
    ASSERT_TRUE (keyboardBackAndRead());

    EXPECT_EQ (dialogs.shown.back().title, EditorTexts::afterTheUpdateTitle);
    EXPECT_EQ (keyboard.getConfiguration().endOfTransferCount, 0);
    EXPECT_EQ (item (ItemParam::Number, 1), 74);   // the factory's, as the keyboard holds it
}

TEST_F (FirmwareKeepsConfiguration, AKeyboardFoundInUpdateModeIsShownAndItsUpdateFinishedWithoutTheEnteringStep)
{
    for (const bool atStartUp : { true, false })
    {
        SCOPED_TRACE (atStartUp ? "in update mode at start-up" : "plugged in in update mode later");
        SetUp();
        keyboard.restartInUpdateMode();
        dialogs.okCancelAnswers = { true };   // "Choose Firmware..."
        dialogs.fileAnswers = { firmwareFile() };

        if (atStartUp)
        {
            startDetection();   // nothing answers: the search ends
            pumpFor (100);
        }
        else
        {
            keyboard.vanish();
            startDetection();
            pumpFor (100);
            dialogs.shown.clear();
            keyboard.reappear();
            panel->getHotPlugWatcher().poll();
        }

        ASSERT_FALSE (dialogs.shown.empty());
        EXPECT_EQ (dialogs.shown[0].title, EditorTexts::inUpdateModeTitle);
        EXPECT_EQ (dialogs.shown[0].message, EditorTexts::keyboardInUpdateMode (SimulatedKeyboard::updatePortName));
        EXPECT_TRUE (keyboard.getBootloaderState().isComplete());
        const auto shown = titles();
        EXPECT_EQ (std::count (shown.begin(), shown.end(), juce::String (FirmwareDialogTexts::enterUpdateModeTitle)), 0);
        EXPECT_EQ (dialogs.shown.back().title, FirmwareDialogTexts::resultTitle);
        EXPECT_TRUE (keyboardBackAndRead());
    }
}
