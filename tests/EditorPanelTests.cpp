#include "device/FieldChoices.h"
#include "editor/KbdSettingComponentVR49.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "simulator/VirtualStudio.h"
#include "tests/support/EditorFixture.h"

/** The tests' view of the panel's widgets. */
struct EditorPanelAccess
{
    using P = KbdSettingComponentVR49;
    static juce::ComboBox& part2Channel (P& p)   { return *p.part2ChannelCombo; }
    static juce::ComboBox& part1Channel (P& p)   { return *p.part1ChannelCombo; }
    static juce::ComboBox& knobMode (P& p)       { return *p.knobModeCombo; }
    static juce::ComboBox& faderMode (P& p)      { return *p.faderModeCombo; }
    static juce::ComboBox& splitMode (P& p)      { return *p.splitModeCombo; }
    static juce::ComboBox& splitPoint (P& p)     { return *p.splitPointCombo; }
    static juce::ComboBox& mode (P& p)           { return *p.modeCombo; }
    static juce::ComboBox& channel (P& p)        { return *p.channelCombo; }
    static juce::ComboBox& ccNumber (P& p)       { return *p.ccNumberCombo; }
    static juce::ComboBox& minLsb (P& p)         { return *p.minLsbCombo; }
    static juce::ComboBox& maxMsb (P& p)         { return *p.maxMsbCombo; }
    static juce::TextEditor& name (P& p)         { return *p.nameEditor; }
    static juce::TextEditor& firmware (P& p)     { return *p.firmwareRevisionEditor; }
    static juce::Button& defaults (P& p)         { return *p.defaultValuesButton; }
    static juce::Button& send (P& p)             { return *p.sendToKeyboardButton; }
    static juce::Button& load (P& p)             { return *p.loadButton; }
    static juce::Button& save (P& p)             { return *p.saveButton; }
    static juce::Button& chart (P& p)            { return *p.chartButton; }
    static juce::Button& firmwareButton (P& p)   { return *p.firmwareButton; }
};

namespace
{
    using A = EditorPanelAccess;

    struct EditorPanel : EditorFixture
    {
        /** Ends the search without a keyboard. */
        void searchFails()
        {
            clock.now = juce::Time::getMillisecondCounter();
            clock.attachTo (manager());

            for (int tick = 0; tick < 6; ++tick)
            {
                clock.advance (2000);
                manager().timerCallback();
                pumpFor (20);   // lets a keyboard that answers be heard
            }

            pumpFor (20);
        }

        void choose (juce::ComboBox& combo, const juce::String& text)
        {
            for (int i = 0; i < combo.getNumItems(); ++i)
            {
                if (combo.getItemText (i) == text)
                {
                    combo.setSelectedItemIndex (i);
                    pumpFor (20);
                    return;
                }
            }

            FAIL() << "no item " << text;
        }

        juce::StringArray enabledModes()
        {
            juce::StringArray modes;
            auto& combo = A::mode (*panel);
            for (int i = 0; i < combo.getNumItems(); ++i)
                if (combo.isItemEnabled (combo.getItemId (i)))
                    modes.add (combo.getItemText (i));
            return modes;
        }

    };

    juce::StringArray itemsOf (juce::ComboBox& combo)
    {
        juce::StringArray items;
        for (int i = 0; i < combo.getNumItems(); ++i)
        {
            EXPECT_EQ (combo.getItemId (i), i + 1);
            items.add (combo.getItemText (i));
        }
        return items;
    }
}

//==============================================================================
// Layout.

TEST_F (EditorPanel, RightAfterConstructionEveryFieldIsEmpty)
{
    auto& p = *panel;

    for (auto* combo : { &A::part2Channel (p), &A::part1Channel (p), &A::knobMode (p), &A::faderMode (p),
                         &A::splitMode (p), &A::splitPoint (p), &A::mode (p), &A::channel (p), &A::ccNumber (p),
                         &A::minLsb (p), &A::maxMsb (p) })
    {
        EXPECT_EQ (combo->getText(), "");
        EXPECT_EQ (combo->getSelectedItemIndex(), -1);
        EXPECT_FALSE (combo->isTextEditable());
    }

    EXPECT_EQ (A::name (p).getText(), "<Click a Control>");
    EXPECT_EQ (A::firmware (p).getText(), "Not detected yet");
    EXPECT_TRUE (A::firmware (p).isReadOnly());
    EXPECT_FALSE (A::name (p).isReadOnly());
    EXPECT_FALSE (A::chart (p).isVisible());
    EXPECT_TRUE (A::firmwareButton (p).isVisible());
    EXPECT_EQ (panel->getSelectedControl(), -1);
    EXPECT_EQ (panel->getWidth(), 1024);
    EXPECT_EQ (panel->getHeight(), 660);
}

TEST_F (EditorPanel, TheThirtyFiveWidgetsLieWhereTheyBelongInCreationOrder)
{
    const auto widgets = panel->getWidgets();
    ASSERT_EQ (widgets.size(), 35u);

    for (size_t i = 0; i < widgets.size(); ++i)
        EXPECT_EQ (panel->getIndexOfChildComponent (widgets[i]), (int) i);

    EXPECT_EQ (widgets[0]->getBounds(), juce::Rectangle<int> (6, 8, 419, 128));
    EXPECT_EQ (widgets[12]->getBounds(), juce::Rectangle<int> (0, 169, 1024, 485));
    EXPECT_EQ (widgets[34]->getBounds(), juce::Rectangle<int> (582, 140, 133, 24));
    EXPECT_EQ (A::send (*panel).getBounds(), juce::Rectangle<int> (921, 14, 102, 24));
    EXPECT_EQ (A::firmwareButton (*panel).getBounds(), juce::Rectangle<int> (725, 142, 96, 22));
    EXPECT_EQ (A::firmwareButton (*panel).getButtonText(), "Upgrade firmware...");
    EXPECT_EQ (A::load (*panel).getButtonText(), "Load...");
    EXPECT_EQ (A::ccNumber (*panel).getName(), "CC number combo");
    EXPECT_EQ (A::ccNumber (*panel).getExplicitFocusOrder(), 2);
    EXPECT_EQ (A::ccNumber (*panel).getTooltip(), "Midi control number assigned to the selected control");
    EXPECT_EQ (A::minLsb (*panel).getTooltip(), "Min value (or LSB) set for the selected control");
    EXPECT_EQ (A::splitPoint (*panel).getTooltip(), "");
    EXPECT_EQ (A::part1Channel (*panel).getJustificationType(), juce::Justification::centredRight);
    EXPECT_EQ (A::mode (*panel).getJustificationType(), juce::Justification::centredLeft);
    EXPECT_EQ (A::firmwareButton (*panel).findColour (juce::TextButton::buttonColourId), juce::Colour (0xff8d99a0));
    EXPECT_EQ (A::save (*panel).findColour (juce::TextButton::buttonColourId), juce::Colour (0xff808080));
}

TEST_F (EditorPanel, TheListsHoldTheirChoices)
{
    auto& p = *panel;
    const auto notes = itemsOf (A::splitPoint (p));
    ASSERT_EQ (notes.size(), 128);
    EXPECT_EQ (notes[0], "C-2");
    EXPECT_EQ (notes[1], "C#-2");
    EXPECT_EQ (notes[12], "C-1");
    EXPECT_EQ (notes[24], "C0");
    EXPECT_EQ (notes[60], "C3");
    EXPECT_EQ (notes[127], "G8");

    const auto channels = itemsOf (A::channel (p));
    ASSERT_EQ (channels.size(), 20);
    EXPECT_EQ (juce::StringArray (channels.begin() + 16, 4), juce::StringArray ({ "Lower", "Upper", "Panel", "All" }));

    const auto controllers = itemsOf (A::ccNumber (p));
    ASSERT_EQ (controllers.size(), 128);
    EXPECT_EQ (controllers[0], "0 - Bank Select MSB");
    EXPECT_EQ (controllers[3], "3 - Undefined");
    EXPECT_EQ (controllers[31], "31 - Undefined");
    EXPECT_EQ (controllers[71], "71 - Timbre/Harmonic Intens.");
    EXPECT_EQ (controllers[98], "98 - NRPN - LSB");
    EXPECT_EQ (controllers[119], "119 - Undefined");
    EXPECT_EQ (controllers[127], "127 - Poly Mode On");

    EXPECT_EQ (itemsOf (A::mode (p)).size(), 12);
    EXPECT_EQ (itemsOf (A::mode (p))[9], "Note Toggle");
    EXPECT_EQ (itemsOf (A::knobMode (p)), juce::StringArray ({ "Absolute", "Relative" }));
    EXPECT_EQ (itemsOf (A::faderMode (p)), juce::StringArray ({ "Normal", "Drawbar" }));
    EXPECT_EQ (itemsOf (A::splitMode (p)), juce::StringArray ({ "Off", "On" }));
    EXPECT_EQ (itemsOf (A::part2Channel (p)).size(), 16);
    EXPECT_EQ (itemsOf (A::maxMsb (p))[127], "127");
}

//==============================================================================
// Picking a control.

TEST_F (EditorPanel, PickingCutoffShowsItsAssignmentAndTheKnobModes)
{
    pick ("0x01");
    auto& p = *panel;

    EXPECT_EQ (A::name (p).getText(), "Bnk1:P1 - Cutoff");
    EXPECT_EQ (A::mode (p).getText(), "Control");
    EXPECT_EQ (A::channel (p).getText(), "Upper");
    EXPECT_EQ (A::ccNumber (p).getText(), "74 - Brightness");
    EXPECT_EQ (A::minLsb (p).getText(), "0");
    EXPECT_EQ (A::maxMsb (p).getText(), "127");
    EXPECT_EQ (enabledModes(), juce::StringArray ({ "Off-Disabled", "Control", "Relative Control", "RPN", "NRPN" }));
}

TEST_F (EditorPanel, PickingPadOneAndTheSustainPedal)
{
    pick ("0x70");
    EXPECT_EQ (A::mode (*panel).getText(), "Note Toggle");
    EXPECT_EQ (A::channel (*panel).getText(), "10");
    EXPECT_EQ (A::ccNumber (*panel).getText(), "36 - Foot Controller LSB");
    EXPECT_EQ (enabledModes(), juce::StringArray ({ "Off-Disabled", "Control", "Control Toggle", "Note Toggle",
                                                    "Midi Note", "Patch Change" }));

    pick ("0x50");
    EXPECT_EQ (A::name (*panel).getText(), "Sustain Pedal");
    EXPECT_EQ (A::mode (*panel).getText(), "Control Toggle");
    EXPECT_EQ (A::channel (*panel).getText(), "Upper");
    EXPECT_EQ (A::ccNumber (*panel).getText(), "64 - Sustain");
}

TEST_F (EditorPanel, ABankTwoIdIsPickedAndAnUnknownOneIgnored)
{
    pick ("0x21");
    EXPECT_EQ (panel->getSelectedControl(), 33);
    EXPECT_EQ (A::name (*panel).getText(), "Bnk2:P1");

    pick ("0x63");
    EXPECT_EQ (panel->getSelectedControl(), 33);
    EXPECT_EQ (A::name (*panel).getText(), "Bnk2:P1");
}

TEST_F (EditorPanel, ClickingThePictureReachesThePanel)
{
    panel->getKeyboardPicture().findPicker ("Snapshot #3 Button Setting")->triggerClick();
    pumpFor (50);

    EXPECT_EQ (panel->getSelectedControl(), 0x14);
    EXPECT_EQ (A::name (*panel).getText(), "Switch 3");
    EXPECT_EQ (enabledModes(), juce::StringArray ({ "Off-Disabled", "Control", "Duration Control", "Keyboard Preset",
                                                    "Control Toggle", "Note Toggle", "Midi Note", "Patch Change" }));
}

TEST (EditorChoices, ModeGroupsCoverEverySelectableControl)
{
    for (const auto& [item, name] : displayNamesFromCatalogue())
        EXPECT_TRUE (enabledModesFor (item).has_value()) << item;

    EXPECT_FALSE (enabledModesFor (99).has_value());
    EXPECT_EQ (firmwareRevisionText ({ 0, 1, 0, 5 }), "1.05");
    EXPECT_EQ (firmwareRevisionText ({ 2, 1, 0, 5 }), "2.1.05");
    EXPECT_EQ (firmwareRevisionText ({ 0, 1, 2, 13 }), "1.213");
    EXPECT_EQ (firmwareRevisionText ({ 0, 0, 0, 0 }), "0.00");
}

//==============================================================================
// Edits.

TEST_F (EditorPanel, ChoicesAreStoredInTheModelOnly)
{
    pick ("0x01");
    choose (A::ccNumber (*panel), "20 - Undefined");
    choose (A::channel (*panel), "Panel");
    choose (A::mode (*panel), "RPN");
    choose (A::minLsb (*panel), "100");
    choose (A::maxMsb (*panel), "3");

    EXPECT_EQ (item (ItemParam::Number, 1), 20);
    EXPECT_EQ (item (ItemParam::Channel, 1), 0x7F);
    EXPECT_EQ (item (ItemParam::Mode, 1), 3);
    EXPECT_EQ (item (ItemParam::MinLsb, 1), 100);   // no check between minimum and maximum
    EXPECT_EQ (item (ItemParam::MaxMsb, 1), 3);

    choose (A::channel (*panel), "All");
    EXPECT_EQ (item (ItemParam::Channel, 1), 0x7E);
    choose (A::channel (*panel), "Lower");
    EXPECT_EQ (item (ItemParam::Channel, 1), 0x40);

    EXPECT_TRUE (keyboard.getReceivedMessages().empty());
}

TEST_F (EditorPanel, StoredChannelCodesShowTheirWords)
{
    {
        const juce::ScopedLock sl (manager().getModelLock());
        manager().itemParams[ItemParam::Channel][2] = 0x7E;
    }
    pick ("0x02");
    EXPECT_EQ (A::channel (*panel).getText(), "All");
}

TEST_F (EditorPanel, TwoStateGlobalsStoreOneOr127)
{
    choose (A::knobMode (*panel), "Relative");
    EXPECT_EQ (global (2), 127);
    choose (A::knobMode (*panel), "Absolute");
    EXPECT_EQ (global (2), 1);
    choose (A::faderMode (*panel), "Drawbar");
    EXPECT_EQ (global (1), 127);
    choose (A::splitMode (*panel), "On");
    EXPECT_EQ (global (7), 127);
    choose (A::splitPoint (*panel), "C3");
    EXPECT_EQ (global (8), 60);
    choose (A::part2Channel (*panel), "16");
    EXPECT_EQ (global (5), 15);
    choose (A::part1Channel (*panel), "2");
    EXPECT_EQ (global (6), 1);
}

TEST_F (EditorPanel, ItemFieldsChangeNothingBeforeAControlIsPicked)
{
    const auto before = manager().planSendAll().frames;
    choose (A::ccNumber (*panel), "20 - Undefined");
    choose (A::mode (*panel), "MMC");

    const auto after = manager().planSendAll().frames;
    ASSERT_EQ (after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i)
        EXPECT_EQ (bytesOf (after[i]), bytesOf (before[i]));
}

TEST_F (EditorPanel, AValueAFieldCannotShowIsLeftEmptyAndKept)
{
    pick ("0x01");   // every field shows one of item 1's values
    {
        const juce::ScopedLock sl (manager().getModelLock());
        manager().itemParams[ItemParam::Mode][2] = 13;        // the editor has no item for mode 13
        manager().itemParams[ItemParam::Channel][2] = 0x30;   // an unknown channel code
        manager().itemParams[ItemParam::MaxMsb].erase (2);    // no entry
    }

    pick ("0x02");   // the cleared fields notify with position -1

    EXPECT_EQ (A::mode (*panel).getText(), "");
    EXPECT_EQ (A::channel (*panel).getText(), "");
    EXPECT_EQ (A::maxMsb (*panel).getText(), "");
    EXPECT_EQ (item (ItemParam::Mode, 2), 13);
    EXPECT_EQ (item (ItemParam::Channel, 2), 0x30);
    const juce::ScopedLock sl (manager().getModelLock());
    EXPECT_EQ (manager().itemParams[ItemParam::MaxMsb].count (2), 0u);
}

TEST_F (EditorPanel, AGlobalOutsideItsListIsKeptByTheRefresh)
{
    detectKeyboard();
    {
        const juce::ScopedLock sl (manager().getModelLock());
        manager().globals[8] = 300;
        manager().globals[5] = -1;
    }
    panel->refreshGlobalFields();

    EXPECT_EQ (A::splitPoint (*panel).getText(), "");
    EXPECT_EQ (A::part2Channel (*panel).getText(), "");
    EXPECT_EQ (global (8), 300);
    EXPECT_EQ (global (5), -1);
}

//==============================================================================
// Detection and the configuration read.

TEST_F (EditorPanel, AfterDetectionTheGlobalFieldsShowWhatTheKeyboardHolds)
{
    auto held = keyboard.getConfiguration();
    const std::pair<int, int> globals[] { { 5, 2 }, { 6, 3 }, { 1, 127 }, { 2, 127 }, { 7, 127 }, { 8, 48 }, { 3, 0x7E } };
    for (const auto& [index, value] : globals)
        held.globals[(size_t) index] = value;
    keyboard.setConfiguration (held);

    detectKeyboard();
    auto& p = *panel;

    EXPECT_EQ (A::firmware (p).getText(), "1.05");
    EXPECT_EQ (A::part2Channel (p).getText(), "3");
    EXPECT_EQ (A::part1Channel (p).getText(), "4");
    EXPECT_EQ (A::knobMode (p).getText(), "Relative");
    EXPECT_EQ (A::faderMode (p).getText(), "Drawbar");
    EXPECT_EQ (A::splitMode (p).getText(), "On");
    EXPECT_EQ (A::splitPoint (p).getText(), "C2");

    for (const auto& [index, value] : globals)
        EXPECT_EQ (global (index), index == GlobalIndex::OctaveShift ? -2 : value) << "global " << index;

    EXPECT_FALSE (panel->getHistory().hasUnsavedEdits());
    EXPECT_TRUE (dialogs.shown.empty());
}

TEST_F (EditorPanel, TheReadStoresTheKeyboardsAssignments)
{
    auto config = KeyboardConfiguration::factory();
    config.itemParams[ItemParam::Number][1] = 20;
    config.itemParams[ItemParam::Channel][1] = 3;
    keyboard.setConfiguration (config);

    detectKeyboard();
    pick ("0x01");

    EXPECT_EQ (A::ccNumber (*panel).getText(), "20 - Undefined");
    EXPECT_EQ (A::channel (*panel).getText(), "4");
}

TEST_F (EditorPanel, AfterTheReadFurtherAnswersAskForNothing)
{
    detectKeyboard();
    const auto seen = keyboard.getReceivedMessages().size();

    panel->managerEvent (ManagerEvent::GlobalAnswer, 5, 0, 0);
    panel->managerEvent (ManagerEvent::ParameterListArrived, 1, 0, 0);
    pumpFor (30);

    EXPECT_EQ (keyboard.getReceivedMessages().size(), seen);
}

TEST_F (EditorPanel, ASearchWithoutKeyboardShowsMessageBOnce)
{
    SimulatedKeyboard::Identity anotherFamily;
    anotherFamily.family = { 0x01, 0x00 };
    keyboard.setIdentity (anotherFamily);

    searchFails();

    EXPECT_EQ (messageBoxes(), (std::vector<juce::String> {
                                   "Keyboard Problem: The keyboard has not been detected. Please correct the problem and try again." }));
    EXPECT_EQ (dialogs.shown[0].icon, juce::MessageBoxIconType::InfoIcon);
    EXPECT_EQ (A::firmware (*panel).getText(), "Not detected yet");
}
