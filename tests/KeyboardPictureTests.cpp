#include "keyboard_view/ControlMap.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"
#include "tests/support/TestSupport.h"

namespace
{
    struct MessageRecorder : juce::ActionListener
    {
        void actionListenerCallback (const juce::String& message) override   { messages.add (message); }
        juce::StringArray messages;
    };

    struct KeyboardPicture : ::testing::Test
    {
        VR49CtrlPickerComponent picture;
        MessageRecorder recorder;

        void SetUp() override   { picture.addActionListener (&recorder); }

        void click (const juce::String& tooltip)
        {
            auto* picker = picture.findPicker (tooltip);
            ASSERT_NE (picker, nullptr) << tooltip;
            picker->triggerClick();
            pumpFor (30);
        }

        void clickShift()
        {
            picture.getShiftButton().triggerClick();
            pumpFor (60);   // the shift click, then the re-click it posts
        }

        int selectedCount() const
        {
            int count = 0;
            for (int i = 0; i < picture.getNumPickers(); ++i)
                count += picture.getPicker (i).getToggleState() ? 1 : 0;
            return count;
        }
    };
}

TEST_F (KeyboardPicture, HasSixtyFivePickersFromTheControlMapAndTheShiftToggle)
{
    ASSERT_EQ (picture.getNumPickers(), 65);
    EXPECT_EQ (picture.getWidth(), 1024);
    EXPECT_EQ (picture.getHeight(), 485);

    const auto& rows = controlMap();
    for (int i = 0; i < 65; ++i)
    {
        const auto& picker = picture.getPicker (i);
        EXPECT_EQ (picker.getBounds(), rows[(size_t) i].bounds) << i;
        EXPECT_EQ (picker.getRadioGroupId(), 1);
        EXPECT_EQ (picker.getButtonText(), juce::String (rows[(size_t) i].idText));
        EXPECT_EQ (picture.getIndexOfChildComponent (&picker), i);
    }

    EXPECT_EQ (juce::String (rows[39].tooltip), "Play/|| Button Setting");
    EXPECT_EQ (picture.getShiftButton().getBounds(), juce::Rectangle<int> (294, 150, 32, 8));
    EXPECT_EQ (picture.getShiftButton().getButtonText(), "Shift");
    EXPECT_EQ (picture.getShiftButton().getTooltip(), "Select Bank 2 editing");
    EXPECT_EQ (picture.getShiftButton().getRadioGroupId(), 0);
}

TEST_F (KeyboardPicture, TheShiftToggleRePicksTheSelectedControlInTheOtherBank)
{
    click ("Cutoff Knob Setting");
    clickShift();
    clickShift();

    EXPECT_EQ (recorder.messages, juce::StringArray ({ "0x01", "0x21", "0x01" }));
}

TEST_F (KeyboardPicture, SingleIdControlsSendTheSameIdInBothBanks)
{
    click ("Pad #1 Setting");
    clickShift();
    click ("Tempo Slider");

    EXPECT_EQ (recorder.messages, juce::StringArray ({ "0x70", "0x70", "0x6F" }));
}

TEST_F (KeyboardPicture, ShiftBeforeAnyPickSendsNothingAndSetsTheBankForTheFirstPick)
{
    clickShift();
    EXPECT_TRUE (recorder.messages.isEmpty());
    EXPECT_TRUE (picture.getShiftButton().getToggleState());

    click ("Release Envelope #2 Slider Setting");
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "0x6E" }));
}

TEST_F (KeyboardPicture, OnePickerIsSelectedAtATimeAndShiftStaysIndependent)
{
    click ("Level Setting");
    click ("Pad #16 Setting");
    EXPECT_EQ (selectedCount(), 1);
    EXPECT_TRUE (picture.findPicker ("Pad #16 Setting")->getToggleState());
    EXPECT_FALSE (picture.getShiftButton().getToggleState());

    clickShift();
    EXPECT_EQ (selectedCount(), 1);
    EXPECT_TRUE (picture.findPicker ("Pad #16 Setting")->getToggleState());
    EXPECT_TRUE (picture.getShiftButton().getToggleState());

    click ("Pad #16 Setting");   // clicking the selected one sends it again
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "0x30", "0x7F", "0x7F", "0x7F" }));
}

TEST_F (KeyboardPicture, TheBankButtonsCarryTheirIdsInReverseOrder)
{
    click ("Bank 1 Button Setting");
    click ("Bank 2 Button Setting");
    EXPECT_EQ (recorder.messages, juce::StringArray ({ "0x1D", "0x1C" }));
}

TEST_F (KeyboardPicture, PaintingShowsTheCaptionsAndTheShiftOutline)
{
    const auto snapshot = picture.createComponentSnapshot (picture.getLocalBounds(), true, 1.0f);

    EXPECT_EQ (snapshot.getPixelAt (294, 150), juce::Colour (0xFFFF1100));
    EXPECT_EQ (snapshot.getPixelAt (325, 157), juce::Colour (0xFFFF1100));
    EXPECT_EQ (snapshot.getPixelAt (310, 157), juce::Colour (0xFFFF1100));

    // Some black caption text inside each caption's box.
    const auto hasDarkText = [&snapshot] (juce::Rectangle<int> area)
    {
        for (int y = area.getY(); y < area.getBottom(); ++y)
            for (int x = area.getX(); x < area.getRight(); ++x)
                if (snapshot.getPixelAt (x, y).getBrightness() < 0.1f)
                    return true;
        return false;
    };
    EXPECT_TRUE (hasDarkText (backPanelCaptionBounds));
    EXPECT_TRUE (hasDarkText (drumPadsCaptionBounds));
}

TEST_F (KeyboardPicture, ThePickableIdsAreTheFortyFiveOfTheFirstBank)
{
    const auto ids = picture.getCtrlIdSet();
    EXPECT_EQ (ids.size(), 45u);
    EXPECT_EQ (*ids.begin(), 0x01);
    EXPECT_EQ (*ids.rbegin(), 0x73);
    EXPECT_EQ (ids.count (0x20), 1u);
    EXPECT_EQ (ids.count (0x0F), 0u);
    EXPECT_EQ (ids.count (0x74), 0u);
}

TEST (ControlMap, BankTextsSplitAtTheHyphen)
{
    EXPECT_EQ (idTextForBank ("0x01-0x21", false), "0x01");
    EXPECT_EQ (idTextForBank ("0x01-0x21", true), "0x21");
    EXPECT_EQ (idTextForBank ("0x40", true), "0x40");
}
