#include "keyboard_view/OLookAndFeel.h"
#include "tests/support/TestSupport.h"

TEST (OLookAndFeel, SetsTheThreeComboBoxColours)
{
    OLookAndFeel lf;
    EXPECT_EQ (lf.findColour (juce::ComboBox::outlineColourId), juce::Colour (0xFF959595));
    EXPECT_EQ (lf.findColour (juce::ComboBox::buttonColourId), juce::Colour (0xFFD7D7D7));
    EXPECT_EQ (lf.findColour (juce::ComboBox::arrowColourId), juce::Colour (0xFF595959));
}

TEST (OLookAndFeel, AnUnconnectedButtonHasFourCurvedCornersAndHalfPixelIndents)
{
    juce::TextButton button;
    button.setSize (100, 20);
    const auto outline = OLookAndFeel::createButtonOutline (button);

    EXPECT_EQ (outline.getBounds(), juce::Rectangle<float> (0.5f, 0.5f, 99.0f, 19.0f));

    // Corner size 6 (0.3 × 20): the very corner is outside, six pixels in is inside.
    EXPECT_FALSE (outline.contains (1.0f, 1.0f));
    EXPECT_FALSE (outline.contains (99.0f, 19.0f));
    EXPECT_FALSE (outline.contains (1.0f, 19.0f));
    EXPECT_TRUE (outline.contains (6.6f, 1.0f));
    EXPECT_TRUE (outline.contains (1.0f, 6.6f));
}

TEST (OLookAndFeel, ConnectedSidesGetSquareCornersAndSmallIndents)
{
    juce::TextButton button;
    button.setSize (100, 20);
    button.setConnectedEdges (juce::Button::ConnectedOnLeft | juce::Button::ConnectedOnRight);
    const auto outline = OLookAndFeel::createButtonOutline (button);

    EXPECT_NEAR (outline.getBounds().getX(), 0.1f, 1e-4f);
    EXPECT_NEAR (outline.getBounds().getRight(), 99.9f, 1e-4f);
    EXPECT_NEAR (outline.getBounds().getY(), 0.5f, 1e-4f);
    EXPECT_TRUE (outline.contains (0.3f, 0.7f));
    EXPECT_TRUE (outline.contains (99.7f, 19.3f));

    button.setConnectedEdges (juce::Button::ConnectedOnTop);
    const auto topOnly = OLookAndFeel::createButtonOutline (button);
    EXPECT_TRUE (topOnly.contains (0.7f, 0.3f));      // top corners square
    EXPECT_FALSE (topOnly.contains (0.7f, 19.3f));    // bottom corners round
}

TEST (OLookAndFeel, HoverMovesBrightnessAndAlpha)
{
    const juce::Colour light (0xFFC0C0C0), dark (0xFF303030);

    EXPECT_EQ (OLookAndFeel::hoverColour (light), light.darker (0.1f).withAlpha (0.8f));
    EXPECT_EQ (OLookAndFeel::hoverColour (dark), dark.brighter (0.3f).withAlpha (0.8f));
    EXPECT_NEAR (OLookAndFeel::hoverColour (dark.withAlpha (0.4f)).getFloatAlpha(), 0.6f, 0.01f);
    EXPECT_NEAR (OLookAndFeel::hoverColour (juce::Colour (0xff808080)).getFloatAlpha(), 0.8f, 0.01f);
}

TEST (OLookAndFeel, ButtonsAreFilledFromTheirOwnColourIntoDarkGrey)
{
    OLookAndFeel lf;
    juce::TextButton button ("b");
    button.setSize (80, 24);
    button.setColour (juce::TextButton::buttonColourId, juce::Colour (0xff808080));
    button.setColour (juce::TextButton::buttonOnColourId, juce::Colour (0xff535a5e));

    juce::Image image (juce::Image::ARGB, 80, 24, true);
    {
        juce::Graphics g (image);
        lf.drawButtonBackground (g, button, juce::Colours::red, false, false);
    }
    EXPECT_EQ (image.getPixelAt (40, 21), juce::Colour (0xFF323232));   // below h - 4
    EXPECT_NEAR (image.getPixelAt (40, 2).getRed(), 0x7a, 6);            // near the top: the button colour
    EXPECT_EQ (image.getPixelAt (40, 0), juce::Colour (0xFF787878));      // the outline, centred on y = 0.5

    juce::Image pressed (juce::Image::ARGB, 80, 24, true);
    {
        juce::Graphics g (pressed);
        lf.drawButtonBackground (g, button, juce::Colours::red, false, true);
    }
    EXPECT_NEAR (pressed.getPixelAt (40, 2).getGreen(), 0x57, 6);        // the on colour when pressed
}

TEST (OLookAndFeel, ATooltipIsItsTextPlusFourteenByTen)
{
    int w = 0, h = 0;
    OLookAndFeel::getTooltipSize ("Reso", w, h);

    const juce::Font font (12.0f);
    EXPECT_NEAR (w - 14, font.getStringWidthFloat ("Reso"), 1.0f);
    EXPECT_NEAR (h - 10, font.getHeight(), 1.0f);

    const auto layout = OLookAndFeel::createTooltipLayout ("Reso");
    EXPECT_EQ (w, (int) (layout.getWidth() + 14.0f));
    EXPECT_EQ (h, (int) (layout.getHeight() + 10.0f));
}

TEST (OLookAndFeel, LongTooltipsWrapAtFourHundredPixels)
{
    const auto text = juce::String::repeatedString ("Midi control number assigned ", 20);
    const auto layout = OLookAndFeel::createTooltipLayout (text);
    EXPECT_LE (layout.getWidth(), 400.0f);
    EXPECT_GT (layout.getNumLines(), 1);
}

TEST (OLookAndFeel, TooltipsArePlacedAsTheFrameworkPlacesThem)
{
    OLookAndFeel lf;
    int w = 0, h = 0;
    OLookAndFeel::getTooltipSize ("Level Setting", w, h);
    const juce::Rectangle<int> screen (0, 0, 1000, 800);

    EXPECT_EQ (lf.getTooltipBounds ("Level Setting", { 100, 100 }, screen), juce::Rectangle<int> (124, 106, w, h));
    EXPECT_EQ (lf.getTooltipBounds ("Level Setting", { 900, 700 }, screen),
               juce::Rectangle<int> (900 - (w + 12), 700 - (h + 6), w, h));
}
