#include "keyboard_view/LmxCtrlPickerButton.h"
#include "keyboard_view/LmxCtrlPickerKnob.h"
#include "tests/support/TestSupport.h"

namespace
{
    /** Paints the widget as the framework would for these flags, on a transparent image. */
    juce::Image paintState (juce::Button& widget, bool toggled, bool over, bool down)
    {
        widget.setToggleState (toggled, juce::dontSendNotification);
        juce::Image image (juce::Image::ARGB, widget.getWidth(), widget.getHeight(), true);
        juce::Graphics g (image);

        if (auto* button = dynamic_cast<LmxCtrlPickerButton*> (&widget))
            button->paintButton (g, over, down);
        else
            dynamic_cast<LmxCtrlPickerKnob&> (widget).paintButton (g, over, down);

        return image;
    }

    void expectColour (const juce::Image& image, int x, int y, juce::uint32 argb)
    {
        const auto actual = image.getPixelAt (x, y);
        const juce::Colour expected (argb);
        EXPECT_NEAR (actual.getAlpha(), expected.getAlpha(), 1) << "at " << x << "," << y;

        if (expected.getAlpha() > 0)
        {
            EXPECT_NEAR (actual.getRed(), expected.getRed(), 3) << "at " << x << "," << y;
            EXPECT_NEAR (actual.getGreen(), expected.getGreen(), 3) << "at " << x << "," << y;
            EXPECT_NEAR (actual.getBlue(), expected.getBlue(), 3) << "at " << x << "," << y;
        }
    }

    bool isEmpty (const juce::Image& image)
    {
        for (int y = 0; y < image.getHeight(); ++y)
            for (int x = 0; x < image.getWidth(); ++x)
                if (image.getPixelAt (x, y).getAlpha() != 0)
                    return false;
        return true;
    }

    std::vector<juce::Point<float>> pointsOf (const juce::Path& path)
    {
        std::vector<juce::Point<float>> points;
        juce::Path::Iterator it (path);

        while (it.next())
        {
            points.push_back ({ it.x1, it.y1 });

            if (it.elementType == juce::Path::Iterator::quadraticTo)
                points.push_back ({ it.x2, it.y2 });
        }

        return points;
    }
}

TEST (PickerWidgets, NothingIsDrawnAtRest)
{
    LmxCtrlPickerButton button;
    LmxCtrlPickerKnob knob;
    button.setSize (30, 20);
    knob.setSize (24, 24);

    EXPECT_TRUE (isEmpty (paintState (button, false, false, false)));
    EXPECT_TRUE (isEmpty (paintState (knob, false, false, false)));
    EXPECT_EQ (button.getName(), "");
}

TEST (PickerWidgets, ASelectedButtonTintsItsRectangleAndAKnobOnlyItsEllipse)
{
    LmxCtrlPickerButton button;
    LmxCtrlPickerKnob knob;
    button.setSize (30, 20);
    knob.setSize (24, 24);

    const auto selectedButton = paintState (button, true, false, false);
    expectColour (selectedButton, 0, 0, 0x60FF8080);
    expectColour (selectedButton, 15, 10, 0x60FF8080);
    expectColour (selectedButton, 29, 19, 0x60FF8080);

    const auto selectedKnob = paintState (knob, true, false, false);
    expectColour (selectedKnob, 12, 12, 0x80FF8080);
    expectColour (selectedKnob, 0, 0, 0x00000000);   // outside the inscribed ellipse
    expectColour (selectedKnob, 23, 23, 0x00000000);
}

TEST (PickerWidgets, HoverPressAndSelectionDrawTheirOwnTints)
{
    LmxCtrlPickerButton button;
    button.setSize (40, 40);

    // Under the mouse: a faint fill with dark corner marks; the centre shows only the fill.
    const auto hovered = paintState (button, false, true, false);
    expectColour (hovered, 20, 20, 0x20FFFFFF);
    EXPECT_GT (hovered.getPixelAt (1, 1).getAlpha(), 0x80);   // on the stroke of a corner mark

    expectColour (paintState (button, false, false, true), 20, 20, 0x40FFFFFF);
    expectColour (paintState (button, false, true, true), 20, 20, 0x40FFFFFF);

    const auto selectedHovered = paintState (button, true, true, false);
    expectColour (selectedHovered, 20, 20, 0x40FF8080);
    EXPECT_GT (selectedHovered.getPixelAt (1, 1).getAlpha(), 0x80);

    const auto selectedPressed = paintState (button, true, true, true);
    expectColour (selectedPressed, 20, 20, 0x40FF8080);
    expectColour (selectedPressed, 1, 1, 0x40FF8080);   // pressed: no marks

    LmxCtrlPickerKnob knob;
    knob.setSize (40, 40);
    expectColour (paintState (knob, true, false, true), 20, 20, 0x40FF8080);
    expectColour (paintState (knob, true, false, true), 1, 1, 0x00000000);
    expectColour (paintState (knob, false, true, false), 20, 20, 0x20FFFFFF);
}

TEST (PickerWidgets, CornerMarksOfASmallKnobUseWholePixels)
{
    LmxCtrlPickerKnob knob;
    knob.setSize (11, 10);
    const auto& marks = knob.getCornerMarks();

    EXPECT_EQ (pointsOf (marks[0]), (std::vector<juce::Point<float>> { { 3, 0 }, { 1, 1 }, { 0, 3 } }));
    EXPECT_EQ (pointsOf (marks[1]), (std::vector<juce::Point<float>> { { 0, 7 }, { 1, 9 }, { 3, 10 } }));
    EXPECT_EQ (pointsOf (marks[2]), (std::vector<juce::Point<float>> { { 8, 0 }, { 10, 1 }, { 11, 3 } }));
    EXPECT_EQ (pointsOf (marks[3]), (std::vector<juce::Point<float>> { { 11, 7 }, { 10, 9 }, { 8, 10 } }));
}

TEST (PickerWidgets, ButtonMarksAreRightAnglesRebuiltOnResize)
{
    LmxCtrlPickerButton button;
    button.setSize (20, 68);
    EXPECT_EQ (pointsOf (button.getCornerMarks()[0]), (std::vector<juce::Point<float>> { { 6, 0 }, { 0, 0 }, { 0, 20 } }));
    EXPECT_EQ (pointsOf (button.getCornerMarks()[3]), (std::vector<juce::Point<float>> { { 20, 48 }, { 20, 68 }, { 14, 68 } }));

    button.setSize (10, 10);
    EXPECT_EQ (pointsOf (button.getCornerMarks()[3]), (std::vector<juce::Point<float>> { { 10, 7 }, { 10, 10 }, { 7, 10 } }));
    EXPECT_EQ (pointsOf (button.getCornerMarks()[1]), (std::vector<juce::Point<float>> { { 0, 7 }, { 0, 10 }, { 3, 10 } }));
}
