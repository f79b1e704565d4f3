#include "device/JuceMidiPortSystem.h"
#include "editor/KbdSettingComponentVR49.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "tests/support/TestSupport.h"

#include <fstream>

// The editor's panel over the real MIDI stack: JUCE's ALSA backend, the kernel's
// sequencer and a USB cable to the keyboard program, which plays its controls when told.
// A program of its own (konsolion_realstack_tests), run only inside the virtual machine
// by tests/realstack/check-editor.sh, where KONSOLION_KEYBOARD_COMMANDS names the
// keyboard program's command pipe.

namespace
{
    constexpr int firmwareField = 34, ccNumberCombo = 9, sendButton = 11;

    juce::String keyboardCommandPipe()
    {
        return juce::SystemStats::getEnvironmentVariable ("KONSOLION_KEYBOARD_COMMANDS", {});
    }

    void tellKeyboard (const juce::String& line)
    {
        std::ofstream (keyboardCommandPipe().toStdString()) << line << "\n";
    }
}

namespace
{
    /** The panel on the system's MIDI ports, once it has found and read the keyboard. */
    struct RealStackEditor : ::testing::Test
    {
        void SetUp() override
        {
            ASSERT_TRUE (keyboardCommandPipe().isNotEmpty())
                << "KONSOLION_KEYBOARD_COMMANDS names no keyboard program's pipe: run tests/realstack/check-editor.sh";

            panel = std::make_unique<KbdSettingComponentVR49> (ports, dialogs);
            const auto firmware = [this] { return widget<juce::TextEditor> (firmwareField).getText(); };

            // The search and the read at their own pace: the machine is emulated.
            ASSERT_TRUE (pumpUntil ([&] { return panel->getDeviceManager().isConnected() && firmware() != "Not detected yet"; }, 60000))
                << "the keyboard was not found over ALSA";
            ASSERT_TRUE (pumpUntil ([&] { return ! panel->isReadingBack(); }, 60000));
            pumpFor (500);   // the read's model handed over
        }

        void TearDown() override
        {
            if (panel != nullptr)
                panel->getDeviceManager().dropLink();
        }

        template <typename WidgetType>
        WidgetType& widget (int index)   { return *dynamic_cast<WidgetType*> (panel->getWidgets()[(size_t) index]); }

        JuceMidiPortSystem ports;
        ScriptedDialogs dialogs;
        std::unique_ptr<KbdSettingComponentVR49> panel;
    };
}

TEST_F (RealStackEditor, SendsAnEditAndFindsTheKeyboardHoldingIt)
{
    panel->actionListenerCallback ("0x01");
    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (21, juce::sendNotificationSync);
    panel->buttonClicked (&widget<juce::ImageButton> (sendButton));
    EXPECT_EQ (panel->getStatusText(), "Keyboard holds what was sent (84 controls, 6 globals)");

    // The same edit sent on its own and checked with one request.
    panel->getLiveFollower().getSendLiveToggle().setToggleState (true, juce::dontSendNotification);
    widget<juce::ComboBox> (ccNumberCombo).setSelectedItemIndex (22, juce::sendNotificationSync);
    EXPECT_EQ (panel->getStatusText(), "Sent and checked: Bnk1:P1 - Cutoff, CC number");
    EXPECT_TRUE (dialogs.shown.empty()) << dialogs.shown.front().message;

    // "Compare..." reads the keyboard again and finds it holding what the editor shows.
    panel->buttonClicked (&panel->getCompareButton());
    ASSERT_EQ (dialogs.shown.size(), 1u);
    EXPECT_EQ (dialogs.shown.back().title, "Compare with the Keyboard");
    EXPECT_TRUE (dialogs.shown.back().message.startsWith ("The keyboard holds what the editor shows")) << dialogs.shown.back().message;
}

TEST_F (RealStackEditor, TheCablePulledIsShownAndPluggedInAgainTheKeyboardIsFoundAndRead)
{
    const auto firmware = [this] { return widget<juce::TextEditor> (firmwareField).getText(); };
    const auto revision = firmware();

    tellKeyboard ("unplug");
    EXPECT_TRUE (pumpUntil ([&] { return ! panel->getDeviceManager().isConnected() && firmware() == "Not detected yet"; }, 15000));

    // Back under the same names, and most likely the same ALSA address: a new device all the same.
    tellKeyboard ("plug");
    EXPECT_TRUE (pumpUntil ([&] { return panel->getDeviceManager().isConnected() && firmware() == revision; }, 60000));
    EXPECT_TRUE (pumpUntil ([&] { return ! panel->isReadingBack(); }, 60000));
    pumpFor (500);

    // It delivers again: a touch is followed.
    tellKeyboard ("play 33 77");
    EXPECT_TRUE (pumpUntil ([&] { return panel->getSelectedControl() == 33; }, 10000));
    EXPECT_TRUE (dialogs.shown.empty()) << dialogs.shown.front().message;
}

TEST_F (RealStackEditor, FollowsTheKeyboardPlayedAtTheFarEndOfTheCable)
{
    auto& panel = *this->panel;

    struct Touch { ItemId item; int value; const char* live; bool shift; };
    const Touch touches[] { { 33, 90, "Live: 90", true }, { 112, 100, "Live: note 36, vel 100", true },
                            { pitchWheelItem, 12000, "Live: 12000", true }, { 1, 20, "Live: 20", false } };

    for (const auto& touch : touches)
    {
        tellKeyboard ("play " + juce::String (touch.item) + " " + juce::String (touch.value));
        EXPECT_TRUE (pumpUntil ([&] { return panel.getSelectedControl() == touch.item; }, 10000)) << touch.item;
        EXPECT_TRUE (pumpUntil ([&] { return panel.getLiveFollower().getLiveText() == touch.live; }, 2000))
            << touch.item << ": " << panel.getLiveFollower().getLiveText();
        EXPECT_EQ (panel.getKeyboardPicture().getShiftButton().getToggleState(), touch.shift) << touch.item;
    }

    EXPECT_FALSE (panel.getHistory().hasUnsavedEdits());

    // Follow Keyboard off: the value still shows, nothing is picked.
    panel.getLiveFollower().getFollowToggle().setToggleState (false, juce::dontSendNotification);
    tellKeyboard ("play 33 40");
    EXPECT_TRUE (pumpUntil ([&] { return std::abs (panel.getKeyboardPicture().getLiveLevels().levelOf (33) - 40.0f / 127.0f) < 1e-4f; }, 10000));
    pumpFor (300);
    EXPECT_EQ (panel.getSelectedControl(), 1);
}
