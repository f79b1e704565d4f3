#include "keyboard_view/OLookAndFeel.h"

namespace
{
    constexpr float tooltipFontHeight = 12.0f;
    constexpr float tooltipMaxWidth = 400.0f;
    constexpr juce::uint32 gradientBottom = 0xFF323232;
    constexpr juce::uint32 buttonOutline = 0xFF787878;

    float sideIndent (bool connected)   { return connected ? 0.1f : 0.5f; }
}

OLookAndFeel::OLookAndFeel()
{
    setColour (juce::ComboBox::outlineColourId, juce::Colour (0xFF959595));
    setColour (juce::ComboBox::buttonColourId, juce::Colour (0xFFD7D7D7));
    setColour (juce::ComboBox::arrowColourId, juce::Colour (0xFF595959));
}

OLookAndFeel::~OLookAndFeel() = default;

juce::Colour OLookAndFeel::hoverColour (juce::Colour base)
{
    auto colour = base.getBrightness() > 0.5f ? base.darker (0.1f) : base.brighter (0.3f);
    const auto alpha = colour.getFloatAlpha();
    return colour.withAlpha (alpha > 0.5f ? alpha - 0.2f : alpha + 0.2f);
}

juce::Path OLookAndFeel::createButtonOutline (const juce::Button& button)
{
    const auto w = (float) button.getWidth();
    const auto h = (float) button.getHeight();
    const auto cornerSize = juce::jmin (0.3f * w, 0.3f * h);

    const bool left = button.isConnectedOnLeft(), right = button.isConnectedOnRight();
    const bool top = button.isConnectedOnTop(), bottom = button.isConnectedOnBottom();

    const auto leftIndent = sideIndent (left), rightIndent = sideIndent (right);
    const auto topIndent = sideIndent (top), bottomIndent = sideIndent (bottom);

    juce::Path outline;
    addRoundedRectangleWithCorners (outline, leftIndent, topIndent,
                                    w - leftIndent - rightIndent, h - topIndent - bottomIndent, cornerSize,
                                    ! (top || left), ! (top || right), ! (bottom || left), ! (bottom || right));
    return outline;
}

void OLookAndFeel::drawButtonBackground (juce::Graphics& g, juce::Button& button, const juce::Colour&,
                                         bool isMouseOverButton, bool isButtonDown)
{
    const auto outline = createButtonOutline (button);
    const auto useOnColour = button.getToggleState() || isButtonDown;
    auto base = button.findColour (useOnColour ? juce::TextButton::buttonOnColourId : juce::TextButton::buttonColourId);

    if (isMouseOverButton)
        base = hoverColour (base);

    const auto h = (float) button.getHeight();
    g.setGradientFill (juce::ColourGradient (base, 0.0f, 0.0f, juce::Colour (gradientBottom), 0.0f, h - 4.0f, false));
    g.fillPath (outline);

    g.setColour (juce::Colour (buttonOutline));
    g.strokePath (outline, juce::PathStrokeType (1.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt));
}

void OLookAndFeel::drawButtonText (juce::Graphics& g, juce::TextButton& button, bool, bool)
{
    auto font = getTextButtonFont (button, button.getHeight());
    font = font.withStyle (font.getStyleFlags() | juce::Font::bold);
    g.setFont (font);
    g.setColour (button.findColour (button.getToggleState() ? juce::TextButton::textColourOnId
                                                            : juce::TextButton::textColourOffId));

    const auto verticalIndent = juce::jmin (4, juce::roundToInt (0.3f * (float) button.getHeight()));
    const auto sideIndentPixels = juce::roundToInt (0.6f * font.getHeight()) / 2;

    g.drawFittedText (button.getButtonText(),
                      sideIndentPixels, verticalIndent,
                      button.getWidth() - 2 * sideIndentPixels, button.getHeight() - 2 * verticalIndent,
                      juce::Justification::centred, 2, 0.7f);
}

void OLookAndFeel::addRoundedRectangleWithCorners (juce::Path& path, float x, float y, float width, float height,
                                                   float cs, bool curveTopLeft, bool curveTopRight,
                                                   bool curveBottomLeft, bool curveBottomRight)
{
    constexpr auto pi = juce::MathConstants<float>::pi;
    const auto diameter = 2.0f * cs;

    if (curveTopLeft)
        path.addArc (x, y, diameter, diameter, 1.5f * pi, 2.0f * pi, true);
    else
        path.startNewSubPath (x, y);

    if (curveTopRight)
    {
        path.lineTo (x + width - cs, y);
        path.addArc (x + width - diameter, y, diameter, diameter, 0.0f, 0.5f * pi, false);
    }
    else
        path.lineTo (x + width, y);

    if (curveBottomRight)
    {
        path.lineTo (x + width, y + height - cs);
        path.addArc (x + width - diameter, y + height - diameter, diameter, diameter, 0.5f * pi, pi, false);
    }
    else
        path.lineTo (x + width, y + height);

    if (curveBottomLeft)
    {
        path.lineTo (x + cs, y + height);
        path.addArc (x, y + height - diameter, diameter, diameter, pi, 1.5f * pi, false);
    }
    else
        path.lineTo (x, y + height);

    path.closeSubPath();
}

juce::TextLayout OLookAndFeel::createTooltipLayout (const juce::String& text, juce::Colour colour)
{
    juce::AttributedString attributed;
    attributed.setJustification (juce::Justification::left);
    attributed.append (text, juce::Font (tooltipFontHeight), colour);

    juce::TextLayout layout;
    layout.createLayoutWithBalancedLineLengths (attributed, tooltipMaxWidth);
    return layout;
}

void OLookAndFeel::getTooltipSize (const juce::String& tipText, int& width, int& height)
{
    const auto layout = createTooltipLayout (tipText);
    width = (int) (layout.getWidth() + 14.0f);
    height = (int) (layout.getHeight() + 10.0f);
}

juce::Rectangle<int> OLookAndFeel::getTooltipBounds (const juce::String& tipText, juce::Point<int> screenPos,
                                                     juce::Rectangle<int> parentArea)
{
    int w = 0, h = 0;
    getTooltipSize (tipText, w, h);

    return juce::Rectangle<int> (screenPos.x > parentArea.getCentreX() ? screenPos.x - (w + 12) : screenPos.x + 24,
                                 screenPos.y > parentArea.getCentreY() ? screenPos.y - (h + 6) : screenPos.y + 6,
                                 w, h)
        .constrainedWithin (parentArea);
}

void OLookAndFeel::drawTooltip (juce::Graphics& g, const juce::String& text, int width, int height)
{
    g.fillAll (findColour (juce::TooltipWindow::backgroundColourId));

    g.setColour (findColour (juce::TooltipWindow::outlineColourId));
    g.drawRect (0, 0, width, height, 1);

    const auto layout = createTooltipLayout (text, findColour (juce::TooltipWindow::textColourId));
    const auto window = juce::Rectangle<float> ((float) width, (float) height);
    layout.draw (g, juce::Rectangle<float> (layout.getWidth(), layout.getHeight()).withCentre (window.getCentre()));
}
