#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The application's look: grey combo-box colours, gradient text buttons with
    rounded unconnected corners, and left-justified 12-point tooltips. */
class OLookAndFeel : public juce::LookAndFeel_V2
{
public:
    OLookAndFeel();
    ~OLookAndFeel() override;

    void drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour& backgroundColour,
                               bool isMouseOverButton, bool isButtonDown) override;
    void drawButtonText (juce::Graphics& g, juce::TextButton& button, bool isMouseOverButton, bool isButtonDown) override;

    /** The tip's size is its text's layout plus 14 × 10 pixels; it is placed as the framework places tips. */
    juce::Rectangle<int> getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                           juce::Rectangle<int> parentArea) override;
    void drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height) override;

    /** Width and height of the tooltip window for this text. */
    static void getTooltipSize (const juce::String& tipText, int& width, int& height);

    /** Plain 12-point text, left-justified lines of balanced length, at most 400 pixels wide. */
    static juce::TextLayout createTooltipLayout (const juce::String& text, juce::Colour colour = juce::Colours::black);

    /** Appends one closed, clockwise sub-path; a corner flagged false stays square. */
    static void addRoundedRectangleWithCorners (juce::Path& path, float x, float y, float width, float height,
                                                float cornerSize, bool curveTopLeft, bool curveTopRight,
                                                bool curveBottomLeft, bool curveBottomRight);

    /** The outline a text button is filled in, from its size and connected edges. */
    static juce::Path createButtonOutline (const juce::Button& button);

    /** A button colour under the mouse: lighter or darker, and with its alpha moved by 0.2. */
    static juce::Colour hoverColour (juce::Colour base);
};
