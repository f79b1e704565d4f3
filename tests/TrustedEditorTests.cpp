#include "documents/SettingsFile.h"
#include "editor/EditorTexts.h"
#include "tests/support/EditorFixture.h"

// A send the editor checks, a comparison with the keyboard, undo and redo of every kind
// of edit, and no edit lost on quitting.

namespace
{
    enum Widget { ccNumber = 9, defaultValuesButton = 10, sendButton = 11, loadButton = 29 };

    struct TrustedEditor : EditorFixture
    {
        void send()           { click (widget<juce::ImageButton> (sendButton)); }
        void chooseNumber (int number)
        {
            widget<juce::ComboBox> (ccNumber).setSelectedItemIndex (number);   // as the user's choice
            pumpFor (20);
        }
    };
}

TEST_F (TrustedEditor, ASendIsReadBackAndWhatDiffersIsNamedWithASecondChance)
{
    detectKeyboard();
    pick ("0x01");
    chooseNumber (20);

    // The keyboard loses the frame that sets Cutoff's number (the third of the send).
    SimulatedKeyboard::Faults faults;
    faults.ignoreReceived = { keyboard.getReceivedCount() + 3 };
    keyboard.setFaults (faults);
    dialogs.okCancelAnswers = { true };   // "Send Again"
    send();

    ASSERT_GE (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, EditorTexts::keyboardDiffersTitle);
    EXPECT_EQ (dialogs.shown[0].message, "The keyboard does not hold what was sent: 1 value differs "
                                         "(what was sent, then what the keyboard holds):\n\nBnk1:P1 - Cutoff: CC number 20 -> 74");
    EXPECT_EQ (dialogs.okCancelButtons[0], juce::StringArray ({ "Send Again", "Close" }));

    // Sent again, and now held: no more boxes, the status line says so.
    EXPECT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 1 global)");
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (1), 20);
    EXPECT_FALSE (panel->getHistory().hasUnsavedEdits());
    EXPECT_EQ (dialogs.waitCursorShown, dialogs.waitCursorHidden);
}

TEST_F (TrustedEditor, AKeyboardThatVanishesDuringTheReadBackGivesAClearBoxAndNoHang)
{
    detectKeyboard();
    SimulatedKeyboard::Faults faults;
    faults.vanishAfterReceiving = keyboard.getReceivedCount() + 549 + 3;   // the whole send, then three requests
    keyboard.setFaults (faults);

    const auto started = juce::Time::getMillisecondCounter();
    send();

    EXPECT_LT (juce::Time::getMillisecondCounter() - started, 5000u);
    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::readBackFailed }));
    EXPECT_EQ (panel->getStatusText(), "");
}

TEST_F (TrustedEditor, CompareListsHowTheKeyboardDiffersAndItsValuesCanBeTakenAndUndone)
{
    auto held = keyboard.getConfiguration();
    held.itemParams[ItemParam::Number][1] = 21;
    keyboard.setConfiguration (held);
    detectKeyboard();
    manager().setValue (ModelField::item (1, ItemParam::Number), 74);   // the editor's own value
    manager().setValue (ModelField::global (GlobalIndex::SplitPoint), 60);

    dialogs.okCancelAnswers = { true };   // "Take the Keyboard's Values"
    click (panel->getCompareButton());

    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown[0].title, "Compare with the Keyboard");
    EXPECT_EQ (dialogs.shown[0].message, "The keyboard differs from the editor in 1 value (the editor's, then the keyboard's):\n"
                                         "\nBnk1:P1 - Cutoff: CC number 74 -> 21");
    EXPECT_EQ (item (ItemParam::Number, 1), 21);

    panel->keyPressed (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0));
    EXPECT_EQ (item (ItemParam::Number, 1), 74);

    dialogs.shown.clear();
    click (panel->getCompareButton());
    click (panel->getCompareButton());   // taken again: nothing differs any more
    EXPECT_EQ (dialogs.shown.back().message, "The keyboard holds what the editor shows (84 controls, 6 globals).");
}

TEST_F (TrustedEditor, EveryKindOfEditIsUndoneAndRedone)
{
    const auto file = scratch.file ("other.vr49");
    file.replaceWithText ("<Settings><Items><Item ID=\"1\" Num=\"9\"/></Items></Settings>");
    auto held = keyboard.getConfiguration();
    held.itemParams[ItemParam::Number][1] = 33;
    keyboard.setConfiguration (held);
    detectKeyboard();

    struct Edit { const char* name; std::function<void()> make; int numberAfter; };
    const Edit edits[] {
        { "a field", [this] { pick ("0x01"); chooseNumber (20); pick ("0x70"); }, 20 },
        { "Default Values", [this] { click (widget<juce::ImageButton> (defaultValuesButton)); }, 74 },
        { "a load", [&] { dialogs.fileAnswers = { file }; click (widget<juce::TextButton> (loadButton)); }, 9 },
        { "the keyboard's values", [this] { dialogs.okCancelAnswers = { true }; click (panel->getCompareButton()); }, 33 },
    };

    const auto z = juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0);
    const auto shiftZ = juce::KeyPress ('z', juce::ModifierKeys::commandModifier | juce::ModifierKeys::shiftModifier, 0);
    const auto y = juce::KeyPress ('y', juce::ModifierKeys::commandModifier, 0);

    for (const auto& edit : edits)
    {
        SCOPED_TRACE (edit.name);
        manager().setValue (ModelField::item (1, ItemParam::Number), 50);
        const auto before = manager().getModel();

        edit.make();
        ASSERT_EQ (item (ItemParam::Number, 1), edit.numberAfter);
        const auto after = manager().getModel();

        ASSERT_TRUE (panel->keyPressed (z));
        EXPECT_EQ (manager().getModel(), before);
        EXPECT_TRUE (panel->keyPressed (shiftZ));
        EXPECT_EQ (manager().getModel(), after);
        EXPECT_TRUE (panel->keyPressed (z));
        EXPECT_TRUE (panel->keyPressed (y));
        EXPECT_EQ (manager().getModel(), after);
    }

    // Undoing a field's edit picks that control and shows what changed.
    pick ("0x01");
    chooseNumber (21);
    pick ("0x70");
    panel->keyPressed (z);
    EXPECT_EQ (panel->getSelectedControl(), 1);
    EXPECT_EQ (widget<juce::ComboBox> (ccNumber).getText(), "33 - Modulation Wheel LSB");
}

TEST_F (TrustedEditor, QuittingWithUnsentEditsAsksAndEachAnswerDoesWhatItSays)
{
    EXPECT_TRUE (panel->confirmQuit());   // nothing to lose: no question
    EXPECT_TRUE (dialogs.shown.empty());

    pick ("0x01");
    chooseNumber (20);

    dialogs.yesNoCancelAnswers = { 0 };
    EXPECT_FALSE (panel->confirmQuit());                      // Cancel
    EXPECT_EQ (dialogs.shown.back().title, "Unsaved Edits");
    EXPECT_EQ (dialogs.okCancelButtons.back(), juce::StringArray ({ "Save...", "Discard", "Cancel" }));

    dialogs.yesNoCancelAnswers = { 1 };
    EXPECT_FALSE (panel->confirmQuit());                      // Save..., then the chooser cancelled: not saved

    dialogs.yesNoCancelAnswers = { 1 };
    dialogs.fileAnswers = { scratch.file ("kept.vr49") };
    EXPECT_TRUE (panel->confirmQuit());                       // Save... and saved
    SettingsModel saved;
    ASSERT_TRUE (loadSettingsFile (scratch.file ("kept.vr49"), saved).wasOk());
    EXPECT_EQ (saved.itemParams[ItemParam::Number].at (1), 20);

    chooseNumber (21);
    dialogs.yesNoCancelAnswers = { 2 };
    EXPECT_TRUE (panel->confirmQuit());                       // Discard
    EXPECT_FALSE (scratch.file ("kept.vr49").loadFileAsString().contains ("Num=\"21\""));
}
