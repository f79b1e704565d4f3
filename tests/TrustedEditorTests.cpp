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

        /** A shortcut, as the window's key mappings take it. */
        bool press (const juce::KeyPress& key)
        {
            return panel->getShortcuts().getKeyMappings().keyPressed (key, panel.get());
        }
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
    EXPECT_EQ (dialogs.shown[0].message, "The keyboard does not hold what was sent: 1 value differs:\n\n"
                                         "Bnk1:P1 - Cutoff: CC number 20 - Undefined sent, 74 - Brightness on the keyboard");
    EXPECT_EQ (dialogs.okCancelButtons[0], juce::StringArray ({ "Send Again", "Close" }));

    // Sent again, and now held: no more boxes, the status line says so.
    EXPECT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 6 globals)");
    EXPECT_EQ (keyboard.getConfiguration().itemParams[ItemParam::Number].at (1), 20);
    EXPECT_FALSE (panel->getHistory().hasUnsavedEdits());
    EXPECT_EQ (dialogs.waitCursorShown, dialogs.waitCursorHidden);
}

TEST_F (TrustedEditor, AKeyboardThatVanishesDuringTheReadBackGivesAClearBoxAndNoHang)
{
    detectKeyboard();
    SimulatedKeyboard::Faults faults;
    // The whole send, then three requests of the read back.
    faults.vanishAfterReceiving = keyboard.getReceivedCount() + manager().planSendAll().frames.size() + 3;
    keyboard.setFaults (faults);

    const auto started = juce::Time::getMillisecondCounter();
    send();

    EXPECT_LT (juce::Time::getMillisecondCounter() - started, 5000u);
    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::keyboardWentAwayAfterSend }));
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
    EXPECT_EQ (dialogs.shown[0].message, "The keyboard differs from the editor in 1 value:\n\n"
                                         "Bnk1:P1 - Cutoff: CC number 74 - Brightness in the editor, 21 - Undefined on the keyboard");
    EXPECT_EQ (item (ItemParam::Number, 1), 21);

    press (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0));
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

        ASSERT_TRUE (press (z));
        EXPECT_EQ (manager().getModel(), before);
        EXPECT_TRUE (press (shiftZ));
        EXPECT_EQ (manager().getModel(), after);
        EXPECT_TRUE (press (z));
        EXPECT_TRUE (press (y));
        EXPECT_EQ (manager().getModel(), after);
    }

    // Undoing a field's edit picks that control and shows what changed.
    pick ("0x01");
    chooseNumber (21);
    pick ("0x70");
    press (z);
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

TEST_F (TrustedEditor, ShortcutsWorkWhereverTheFocusIsInTheWindow)
{
    // The panel in a real window, as the product has it.
    juce::Component window;
    window.setSize (1024, 660);
    window.addAndMakeVisible (*panel);
    window.addToDesktop (0);
    window.setVisible (true);
    panel->attachShortcutsTo (window);

    pick ("0x01");
    chooseNumber (20);
    const auto pressed = [&] (juce::Component* focus, const juce::KeyPress& key) {
        if (focus != nullptr)
            focus->grabKeyboardFocus();
        else if (auto* focused = juce::Component::getCurrentlyFocusedComponent())
            focused->giveAwayKeyboardFocus();

        return window.getPeer()->handleKeyPress (key);
    };

    const auto z = juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0);
    const auto y = juce::KeyPress ('y', juce::ModifierKeys::commandModifier, 0);
    const struct { const char* where; juce::Component* focus; } places[] {
        { "the window itself, after a mouse edit", nullptr },
        { "a combo box", &widget<juce::ComboBox> (ccNumber) },
        { "the name field, which would take Ctrl+Z for itself", &widget<juce::TextEditor> (7) },
    };

    for (const auto& place : places)
    {
        SCOPED_TRACE (place.where);
        EXPECT_TRUE (pressed (place.focus, z));
        EXPECT_EQ (item (ItemParam::Number, 1), 74);
        EXPECT_TRUE (pressed (place.focus, y));
        EXPECT_EQ (item (ItemParam::Number, 1), 20);
    }

    // Ctrl+S, then Ctrl+O at once, with the focus where the save's chooser left it.
    dialogs.fileAnswers = { scratch.file ("shortcut.vr49") };
    EXPECT_TRUE (pressed (nullptr, juce::KeyPress ('s', juce::ModifierKeys::commandModifier, 0)));
    EXPECT_TRUE (pressed (nullptr, juce::KeyPress ('o', juce::ModifierKeys::commandModifier, 0)));
    ASSERT_EQ (dialogs.fileRequests.size(), 2u);
    EXPECT_EQ (dialogs.fileRequests[1].title, EditorTexts::loadTitle);
    EXPECT_TRUE (scratch.file ("shortcut.vr49").existsAsFile());
    window.removeChildComponent (panel.get());
}

TEST_F (TrustedEditor, TheStatusSaysTheKeyboardHoldsTheEditsOnlyUntilTheNextChange)
{
    detectKeyboard();
    pick ("0x01");
    chooseNumber (20);
    send();
    ASSERT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 6 globals)");

    press (juce::KeyPress ('z', juce::ModifierKeys::commandModifier, 0));
    EXPECT_EQ (panel->getStatusText(), EditorTexts::editedSinceTheLastSend);
    EXPECT_TRUE (panel->getHistory().hasUnsavedEdits());
}

TEST_F (TrustedEditor, EditsSentButNotCheckedAreNeverCalledNeitherSentNorSaved)
{
    detectKeyboard();
    pick ("0x01");
    chooseNumber (20);
    SimulatedKeyboard::Faults faults;
    faults.dropAnswers = { keyboard.getAnswerCount() + 1 };   // the read back's first answer
    keyboard.setFaults (faults);
    send();
    ASSERT_EQ (messageBoxes(), (std::vector<juce::String> { "Keyboard Problem: " + EditorTexts::readBackFailed }));

    dialogs.yesNoCancelAnswers = { 0 };
    EXPECT_FALSE (panel->confirmQuit());
    EXPECT_EQ (dialogs.shown.back().message, "The editor holds edits that were sent to the keyboard but could not be "
                                             "checked there, and were not saved.\n\nSave them before quitting?");

    chooseNumber (21);   // a new edit: that one was neither sent nor saved
    EXPECT_FALSE (panel->confirmQuit());
    EXPECT_TRUE (dialogs.shown.back().message.contains ("neither sent to the keyboard nor saved"));
}

TEST_F (TrustedEditor, ASecondIdentityReplyDuringACompareSpillsNothingIntoTheEditor)
{
    auto held = keyboard.getConfiguration();
    held.itemParams[ItemParam::Number][1] = 21;
    keyboard.setConfiguration (held);
    detectKeyboard();
    pick ("0x01");
    chooseNumber (30);   // the editor's own value, unsent: a new read must ask first

    // The keyboard says who it is again in the middle of the check's read.
    SimulatedKeyboard::Faults slow;
    slow.delayAnswersMs[keyboard.getAnswerCount() + 3] = 60;
    keyboard.setFaults (slow);
    std::thread reply ([this] {
        juce::Thread::sleep (20);
        keyboard.sendRaw ({ 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00, 0x01, 0x00,
                            0x00, 0x01, 0x00, 0x05, 0xF7 });
    });
    dialogs.okCancelAnswers = { false, false };   // "Keep My Edits", then "Close"
    click (panel->getCompareButton());
    reply.join();
    pumpFor (100);

    EXPECT_EQ (item (ItemParam::Number, 1), 30);
    const auto compare = std::find_if (dialogs.shown.begin(), dialogs.shown.end(),
                                       [] (const auto& box) { return box.title == "Compare with the Keyboard"; });
    ASSERT_NE (compare, dialogs.shown.end());
    EXPECT_EQ (compare->message, "The keyboard differs from the editor in 1 value:\n\n"
                                 "Bnk1:P1 - Cutoff: CC number 30 - Undefined in the editor, 21 - Undefined on the keyboard");
}
