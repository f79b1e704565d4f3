#include "documents/SettingsFile.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/EditorFixture.h"

namespace
{
    /** Finds the panel's widgets by what they show, as a user would. */
    juce::Component* findByText (juce::Component& panel, const juce::String& text)
    {
        for (auto* child : panel.getChildren())
        {
            if (auto* button = dynamic_cast<juce::Button*> (child); button != nullptr && button->getButtonText() == text)
                return child;
        }
        return nullptr;
    }

    struct PanelCommands : EditorFixture
    {
        juce::Button& defaultValues()   { return widget<juce::Button> (10); }
        juce::Button& sendToKeyboard()  { return widget<juce::Button> (11); }
        juce::Button& textButton (const juce::String& text)   { return *dynamic_cast<juce::Button*> (findByText (*panel, text)); }
        juce::ComboBox& combo (int index)   { return widget<juce::ComboBox> (index); }
        juce::TextEditor& editor (int index) { return widget<juce::TextEditor> (index); }
    };

    // Widget indices in creation order.
    constexpr int part2Channel = 2, knobMode = 4, nameField = 7, ccNumber = 9, mode = 14, channel = 16,
                  splitMode = 22, part1Channel = 24, faderMode = 26, splitPoint = 28, firmwareField = 34;
}

TEST_F (PanelCommands, DefaultValuesWithoutASelectionFillsTheGlobalFieldsOnly)
{
    {
        const juce::ScopedLock sl (manager().getModelLock());
        manager().itemParams[ItemParam::Number][1] = 3;
        manager().globals[3] = 5;
        manager().curves[2] = 9;
    }

    click (defaultValues());

    EXPECT_EQ (combo (part2Channel).getText(), "1");
    EXPECT_EQ (combo (part1Channel).getText(), "1");
    EXPECT_EQ (combo (knobMode).getText(), "Absolute");
    EXPECT_EQ (combo (faderMode).getText(), "Normal");
    EXPECT_EQ (combo (splitMode).getText(), "Off");
    EXPECT_EQ (combo (splitPoint).getText(), "C3");
    EXPECT_EQ (editor (firmwareField).getText(), "0.00");
    EXPECT_EQ (combo (mode).getText(), "");
    EXPECT_EQ (editor (nameField).getText(), "<Click a Control>");

    EXPECT_EQ (item (ItemParam::Number, 1), 74);
    const juce::ScopedLock sl (manager().getModelLock());
    EXPECT_EQ (manager().globals[8], 60);
    EXPECT_EQ (manager().globals[3], 5);   // untouched
    EXPECT_EQ (manager().curves[2], 9);
    EXPECT_TRUE (keyboard.getReceivedMessages().empty());
}

TEST_F (PanelCommands, DefaultValuesWithASelectionShowsItsDefaultAssignment)
{
    panel->actionListenerCallback ("0x70");
    pumpFor (20);
    {
        const juce::ScopedLock sl (manager().getModelLock());
        manager().itemParams[ItemParam::Number][112] = 100;
    }

    click (defaultValues());

    EXPECT_EQ (combo (ccNumber).getText(), "36 - Foot Controller LSB");
    EXPECT_EQ (combo (mode).getText(), "Note Toggle");
    EXPECT_EQ (combo (channel).getText(), "10");
}

TEST_F (PanelCommands, SendWithoutAKeyboardShowsMessageAAndSendsNothing)
{
    click (sendToKeyboard());

    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> {
                                   "Keyboard Problem: The keyboard has not been detected, so it can't be set." }));
    EXPECT_EQ (dialogs.shown[0].icon, juce::MessageBoxIconType::InfoIcon);
    EXPECT_EQ (dialogs.waitCursorShown, 0);
}

TEST_F (PanelCommands, SendToKeyboardSendsTheWholeModelUnderTheWaitCursor)
{
    // What the keyboard is never asked for (or does not tell) is left as it holds it.
    auto held = keyboard.getConfiguration();
    held.itemParams[ItemParam::Option][1] = 5;
    held.curves[4] = 77;
    keyboard.setConfiguration (held);
    detectKeyboard();
    panel->actionListenerCallback ("0x01");
    pumpFor (20);
    combo (ccNumber).setSelectedItemIndex (20);
    pumpFor (20);
    ASSERT_EQ (item (ItemParam::Number, 1), 20);
    keyboard.clearReceivedMessages();

    click (sendToKeyboard());

    EXPECT_EQ (dialogs.waitCursorShown, 1);
    EXPECT_EQ (dialogs.waitCursorHidden, 1);
    // 84 controls' five fields the keyboard told, six globals, the end of transfer;
    // then the read back.
    ASSERT_TRUE (keyboard.waitForReceivedCount (84 * 5 + 6 + 1, 3000));
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (1), 20);
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Option].at (1), 5);
    EXPECT_EQ (keyboard.getConfiguration().curves[4], 77);
    EXPECT_EQ (keyboard.getConfiguration().endOfTransferCount, 1);
    EXPECT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 6 globals)");
}

TEST_F (PanelCommands, CancellingTheLoadDialogChangesNothing)
{
    click (textButton ("Load..."));
    pumpFor (20);
    EXPECT_EQ (dialogs.fileRequests.size(), 1u);
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (PanelCommands, SaveForcesTheExtensionAndWarnsBeforeOverwriting)
{
    dialogs.fileAnswers = { scratch.file ("mine.txt") };
    click (textButton ("Save..."));

    ASSERT_EQ (dialogs.fileRequests.size(), 1u);
    EXPECT_EQ (dialogs.fileRequests[0].title, "Please select the settings file where to save...");
    EXPECT_EQ (dialogs.overwriteWarnings, (std::vector<bool> { true }));
    EXPECT_TRUE (scratch.file ("mine.vr49").existsAsFile());
    EXPECT_FALSE (scratch.file ("mine.txt").exists());

    VirtualMidiPortSystem ports;
    LumManager49 reloaded (ports);
    EXPECT_TRUE (loadSettingsFile (reloaded, scratch.file ("mine.vr49")));
}

TEST_F (PanelCommands, TheChoosersProposeASettingsFileAndStartWhereTheUserLastWas)
{
    click (textButton ("Save..."));   // cancelled
    ASSERT_EQ (dialogs.fileRequests.size(), 1u);
    EXPECT_EQ (dialogs.fileRequests[0].startDirectory.getFileName(), "Vantor 49 settings.vr49");

    const auto elsewhere = scratch.file ("gigs");
    ASSERT_TRUE (elsewhere.createDirectory());
    dialogs.fileAnswers = { elsewhere.getChildFile ("tour.vr49") };
    click (textButton ("Save..."));
    click (textButton ("Load..."));   // cancelled
    click (textButton ("Save..."));   // cancelled

    ASSERT_EQ (dialogs.fileRequests.size(), 4u);
    EXPECT_EQ (dialogs.fileRequests[2].startDirectory, elsewhere);
    EXPECT_EQ (dialogs.fileRequests[3].startDirectory, elsewhere.getChildFile ("tour.vr49"));
}

TEST_F (PanelCommands, ForcingTheExtensionOntoAnExistingFileAsksFirst)
{
    const auto existing = scratch.file ("song.vr49");
    existing.replaceWithText ("precious");

    dialogs.fileAnswers = { scratch.file ("song") };
    dialogs.okCancelAnswers = { false };
    click (textButton ("Save..."));
    EXPECT_EQ (existing.loadFileAsString(), "precious");
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, "File already exists");

    dialogs.fileAnswers = { scratch.file ("song") };
    dialogs.okCancelAnswers = { true };
    click (textButton ("Save..."));
    EXPECT_TRUE (existing.loadFileAsString().contains ("<Settings>"));
}

TEST_F (PanelCommands, TheHiddenChartCommandExportsTheChart)
{
    dialogs.fileAnswers = { scratch.file ("chart") };
    click (textButton ("Chart..."));

    ASSERT_EQ (dialogs.fileRequests.size(), 1u);
    EXPECT_EQ (dialogs.fileRequests[0].title, "Please select the chart file...");
    EXPECT_EQ (dialogs.fileRequests[0].pattern, "*.html");
    EXPECT_TRUE (scratch.file ("chart.html").loadFileAsString().contains ("Atelion Midi Chart"));
}

TEST_F (PanelCommands, UpgradeFirmwareStartsTheFirmwareDialogue)
{
    dialogs.okCancelAnswers = { false };
    click (textButton ("Upgrade firmware..."));

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, "Enter Firmware Upgrade Mode");
}
