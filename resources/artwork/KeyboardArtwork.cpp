#include "resources/artwork/KeyboardArtwork.h"

#include "keyboard_view/ControlMap.h"
#include "resources/artwork/ArtworkPalette.h"

namespace
{
    using namespace ArtworkPalette;
    using RectF = juce::Rectangle<float>;

    const RectF topPanel (14.0f, 22.0f, 996.0f, 212.0f);
    const RectF keybed (14.0f, 214.0f, 682.0f, 138.0f);
    const RectF wheelCheek (14.0f, 214.0f, 136.0f, 196.0f);
    const RectF keysArea (152.0f, 236.0f, 536.0f, 108.0f);
    const RectF rearStrip (231.0f, 352.0f, 417.0f, 54.0f);
    const RectF padSection (692.0f, 262.0f, 218.0f, 184.0f);
    const RectF display (136.0f, 60.0f, 146.0f, 54.0f);

    juce::Font labelFont (float height)   { return juce::Font (height, juce::Font::bold); }

    void drawLabel (juce::Graphics& g, const juce::String& text, RectF area, float height = 8.5f,
                    juce::Colour colour = label)
    {
        g.setColour (colour);
        g.setFont (labelFont (height));
        g.drawText (text, area, juce::Justification::centred, false);
    }

    void drawBackdrop (juce::Graphics& g, int w, int h)
    {
        g.setGradientFill (juce::ColourGradient (backdropTop, 0, 0, backdropBottom, 0, (float) h, false));
        g.fillAll();

        // A soft shadow under each part of the instrument.
        g.setColour (juce::Colours::black.withAlpha (0.12f));

        for (const auto& part : { topPanel, keybed, wheelCheek, rearStrip, padSection })
            g.fillRoundedRectangle (part.translated (0.0f, 4.0f).expanded (1.5f), 14.0f);

        juce::ignoreUnused (w, h);
    }

    void fillBodyShape (juce::Graphics& g, RectF area, float corner)
    {
        g.setGradientFill (juce::ColourGradient (body.brighter (0.12f), 0, area.getY(), body, 0, area.getBottom(), false));
        g.fillRoundedRectangle (area, corner);
        g.setColour (bodyEdge);
        g.drawRoundedRectangle (area.reduced (0.5f), corner, 1.0f);
    }

    void drawBody (juce::Graphics& g)
    {
        fillBodyShape (g, keybed, 14.0f);
        fillBodyShape (g, wheelCheek, 14.0f);
        fillBodyShape (g, topPanel, 16.0f);

        // The seam between the control panel and the keybed.
        g.setColour (body);
        g.fillRect (RectF (15.0f, 214.0f, 680.0f, 24.0f));
        g.fillRect (RectF (15.0f, 214.0f, 134.0f, 190.0f));
        g.setColour (juce::Colours::black.withAlpha (0.35f));
        g.drawHorizontalLine (234, 152.0f, 688.0f);

        g.setColour (accent);
        g.fillRect (RectF (30.0f, 30.0f, 4.0f, 16.0f));
        g.setColour (juce::Colours::white.withAlpha (0.9f));
        g.setFont (juce::Font (17.0f, juce::Font::bold));
        g.drawText ("VANTOR 49", RectF (40.0f, 28.0f, 150.0f, 20.0f), juce::Justification::centredLeft, false);
        drawLabel (g, "USB MIDI CONTROLLER", RectF (136.0f, 31.0f, 140.0f, 14.0f), 8.0f);
    }

    void drawDisplay (juce::Graphics& g)
    {
        g.setColour (juce::Colours::black);
        g.fillRoundedRectangle (display.expanded (3.0f), 5.0f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF3C6E8F), display.getX(), display.getY(),
                                                 juce::Colour (0xFF1D3A4E), display.getX(), display.getBottom(), false));
        g.fillRoundedRectangle (display, 3.0f);
        g.setColour (juce::Colour (0xFFBFE6FF));
        g.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 12.0f, juce::Font::bold));
        g.drawText ("P001  GRAND", display.reduced (8.0f, 6.0f).removeFromTop (20.0f), juce::Justification::centredLeft, false);
        g.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 10.0f, juce::Font::plain));
        g.drawText ("CH 1   OCT 0", display.reduced (8.0f, 6.0f).removeFromBottom (18.0f), juce::Justification::centredLeft, false);
    }

    void drawKnob (juce::Graphics& g, RectF area)
    {
        const auto skirt = area;
        const auto cap = area.reduced (area.getWidth() * 0.2f);
        g.setColour (juce::Colours::black.withAlpha (0.5f));
        g.fillEllipse (skirt.translated (0.0f, 1.5f));
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF5A5E66), skirt.getX(), skirt.getY(),
                                                 juce::Colour (0xFF1E2024), skirt.getRight(), skirt.getBottom(), false));
        g.fillEllipse (skirt);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF9EA3AC), cap.getX(), cap.getY(),
                                                 juce::Colour (0xFF4A4E56), cap.getRight(), cap.getBottom(), false));
        g.fillEllipse (cap);

        const auto centre = area.getCentre();
        const auto radius = area.getWidth() * 0.45f;
        g.setColour (juce::Colours::white);
        g.drawLine ({ centre, centre.getPointOnCircumference (radius, -2.2f) }, 1.6f);
    }

    void drawFader (juce::Graphics& g, RectF area)
    {
        const auto centre = area.getCentre();
        g.setColour (juce::Colours::black);
        g.fillRoundedRectangle (RectF (3.0f, area.getHeight() - 6.0f).withCentre (centre), 1.5f);

        for (int tick = 0; tick <= 8; ++tick)
        {
            const auto y = area.getY() + 4.0f + (float) tick * (area.getHeight() - 8.0f) / 8.0f;
            g.setColour (label.withAlpha (0.5f));
            g.drawHorizontalLine ((int) y, area.getX() + 2.0f, area.getX() + 7.0f);
            g.drawHorizontalLine ((int) y, area.getRight() - 7.0f, area.getRight() - 2.0f);
        }

        const auto cap = RectF (area.getWidth() - 8.0f, 13.0f).withCentre ({ centre.x, centre.y + 6.0f });
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFFDADDE2), cap.getX(), cap.getY(),
                                                 juce::Colour (0xFF7E838C), cap.getX(), cap.getBottom(), false));
        g.fillRoundedRectangle (cap, 2.0f);
        g.setColour (juce::Colours::black);
        g.drawHorizontalLine ((int) cap.getCentreY(), cap.getX() + 2.0f, cap.getRight() - 2.0f);
    }

    void drawPushButton (juce::Graphics& g, RectF area, juce::Colour colour)
    {
        g.setColour (juce::Colours::black.withAlpha (0.55f));
        g.fillRoundedRectangle (area.translated (0.0f, 1.0f), 2.5f);
        g.setGradientFill (juce::ColourGradient (colour.brighter (0.25f), 0, area.getY(), colour, 0, area.getBottom(), false));
        g.fillRoundedRectangle (area, 2.5f);
    }

    void drawPad (juce::Graphics& g, RectF area, int number)
    {
        g.setColour (juce::Colours::black);
        g.fillRoundedRectangle (area.expanded (1.5f), 4.0f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF6A6F78), area.getX(), area.getY(),
                                                 juce::Colour (0xFF43474E), area.getX(), area.getBottom(), false));
        g.fillRoundedRectangle (area, 3.5f);
        drawLabel (g, juce::String (number), area.removeFromBottom (9.0f).removeFromRight (12.0f), 7.0f);
    }

    void drawWheel (juce::Graphics& g, RectF area)
    {
        g.setColour (juce::Colours::black);
        g.fillRoundedRectangle (area.expanded (3.0f), 4.0f);
        g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF3C3F45), area.getX(), 0, juce::Colour (0xFF8C9098),
                                                 area.getCentreX(), 0, true));
        g.fillRoundedRectangle (area, 3.0f);
        g.setColour (juce::Colours::black.withAlpha (0.45f));

        for (float y = area.getY() + 4.0f; y < area.getBottom() - 2.0f; y += 4.0f)
            g.drawHorizontalLine ((int) y, area.getX() + 2.0f, area.getRight() - 2.0f);
    }

    void drawJack (juce::Graphics& g, RectF area)
    {
        g.setColour (juce::Colour (0xFFB9BDC4));
        g.fillEllipse (area);
        g.setColour (juce::Colour (0xFF5C6068));
        g.drawEllipse (area.reduced (0.5f), 1.0f);
        g.setColour (juce::Colours::black);
        g.fillEllipse (area.reduced (area.getWidth() * 0.3f));
    }

    void drawKeys (juce::Graphics& g)
    {
        constexpr int whiteKeys = 29;   // C to C over four octaves
        const auto whiteWidth = keysArea.getWidth() / (float) whiteKeys;

        for (int i = 0; i < whiteKeys; ++i)
        {
            const RectF key (keysArea.getX() + (float) i * whiteWidth, keysArea.getY(), whiteWidth - 1.0f, keysArea.getHeight());
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xFFFDFDFB), 0, key.getY(),
                                                     juce::Colour (0xFFE4E4DE), 0, key.getBottom(), false));
            g.fillRoundedRectangle (key, 2.0f);
        }

        static const bool hasBlackKeyAfter[] { true, true, false, true, true, true, false };

        for (int i = 0; i < whiteKeys - 1; ++i)
        {
            if (! hasBlackKeyAfter[i % 7])
                continue;

            const auto x = keysArea.getX() + (float) (i + 1) * whiteWidth - whiteWidth * 0.32f;
            const RectF key (x, keysArea.getY(), whiteWidth * 0.62f, keysArea.getHeight() * 0.62f);
            g.setGradientFill (juce::ColourGradient (juce::Colour (0xFF3A3C40), 0, key.getY(),
                                                     juce::Colour (0xFF0E0F11), 0, key.getBottom(), false));
            g.fillRoundedRectangle (key, 1.5f);
        }
    }

    void drawSections (juce::Graphics& g)
    {
        g.setColour (rearPanel);
        g.fillRoundedRectangle (rearStrip, 6.0f);
        g.setColour (bodyEdge);
        g.drawRoundedRectangle (rearStrip.reduced (0.5f), 6.0f, 1.0f);

        g.setColour (padPanel);
        g.fillRoundedRectangle (padSection, 10.0f);
        g.setColour (bodyEdge);
        g.drawRoundedRectangle (padSection.reduced (0.5f), 10.0f, 1.0f);
    }

    /** A short caption above a control, from its tooltip. */
    juce::String captionFor (const juce::String& tooltip)
    {
        static const std::pair<const char*, const char*> captions[] {
            { "Level Setting", "LEVEL" }, { "Cutoff Knob", "CUTOFF" }, { "Reso Knob", "RESO" },
            { "LFO Rate", "LFO RATE" }, { "LFO Amount", "LFO AMT" }, { "Key Parameter #1", "PARAM 1" },
            { "Key Parameter #2", "PARAM 2" }, { "Key Parameter #3", "PARAM 3" }, { "Key Parameter #4", "PARAM 4" },
            { "Chorus Mix", "CHORUS" }, { "Delay Mix", "DELAY" }, { "Tempo", "TEMPO" },
            { "Expression Pedal", "EXPR" }, { "Sustain Pedal", "SUST" }, { "Aux Pedal", "AUX" },
            { "Breath", "BTH" }, { "Bank 1", "BANK 1" }, { "Bank 2", "BANK 2" }, { "Sound Mode", "SOUND" },
            { "Multi Mode", "MULTI" },
        };

        for (const auto& [key, caption] : captions)
            if (tooltip.startsWith (key))
                return caption;

        return {};
    }

    void drawControl (juce::Graphics& g, const ControlMapRow& row, int index)
    {
        const auto area = row.bounds.toFloat();
        const juce::String tooltip (row.tooltip);
        const auto caption = captionFor (tooltip);

        if (tooltip.contains ("Pedal") || tooltip.contains ("Breath"))
        {
            drawJack (g, area);
            drawLabel (g, caption, RectF (area.getCentreX() - 20.0f, area.getBottom() + 2.0f, 40.0f, 10.0f), 7.5f);
            return;
        }

        if (tooltip.startsWith ("Pad"))
        {
            drawPad (g, area, tooltip.fromFirstOccurrenceOf ("#", false, false).getIntValue());
            return;
        }

        if (tooltip.startsWith ("Modulation"))
        {
            drawWheel (g, area);
            drawWheel (g, area.translated (-38.0f, 0.0f));   // the pitch wheel beside it has no picker
            drawLabel (g, "PITCH   MOD", RectF (area.getX() - 48.0f, area.getBottom() + 6.0f, 76.0f, 10.0f), 7.5f);
            return;
        }

        if (tooltip.contains ("Slider"))
            drawFader (g, area);
        else if (row.kind == PickerKind::knob)
            drawKnob (g, area);
        else if (tooltip.startsWith ("Snapshot"))
            drawPushButton (g, area, juce::Colour (0xFF8A8F98));
        else if (tooltip.startsWith ("Category") || tooltip.startsWith ("Preset"))
            drawPushButton (g, area, juce::Colour (0xFF5E636C));
        else
            drawPushButton (g, area, juce::Colour (0xFFA9ADB4));

        if (caption.isNotEmpty())
            drawLabel (g, caption, RectF (area.getCentreX() - 26.0f, area.getY() - 11.0f, 52.0f, 10.0f));

        juce::ignoreUnused (index);
    }

    void drawTransportGlyph (juce::Graphics& g, const juce::String& tooltip, RectF area)
    {
        const auto c = area.reduced (area.getWidth() * 0.3f, area.getHeight() * 0.25f);
        juce::Path glyph;

        if (tooltip.startsWith ("Play"))        glyph.addTriangle (c.getTopLeft(), c.getBottomLeft(), { c.getRight(), c.getCentreY() });
        else if (tooltip.startsWith ("Stop"))   glyph.addRectangle (c);
        else if (tooltip.startsWith ("Record")) glyph.addEllipse (c);
        else if (tooltip.startsWith ("Rewind")) glyph.addTriangle ({ c.getX(), c.getCentreY() }, c.getTopRight(), c.getBottomRight());
        else if (tooltip.startsWith ("Forward")) glyph.addTriangle (c.getTopLeft(), c.getBottomLeft(), { c.getRight(), c.getCentreY() });
        else                                    glyph.addEllipse (c);   // loop

        g.setColour (tooltip.startsWith ("Record") ? juce::Colour (0xFFC8281E) : juce::Colour (0xFF202226));
        g.fillPath (glyph);
    }

    void drawGroupLabels (juce::Graphics& g)
    {
        drawLabel (g, "SNAPSHOTS", RectF (300.0f, 199.0f, 314.0f, 10.0f));
        drawLabel (g, "TRANSPORT", RectF (764.0f, 199.0f, 182.0f, 10.0f));
        drawLabel (g, "FILTER ENVELOPE", RectF (596.0f, 148.0f, 151.0f, 10.0f));
        drawLabel (g, "AMP ENVELOPE", RectF (759.0f, 148.0f, 150.0f, 10.0f));
        drawLabel (g, "SHIFT", RectF (260.0f, 149.0f, 32.0f, 10.0f), 7.5f, accent);
        drawLabel (g, "CATEGORY", RectF (60.0f, 109.0f, 74.0f, 10.0f), 7.5f);
        drawLabel (g, "PRESET", RectF (60.0f, 161.0f, 74.0f, 10.0f), 7.5f);

        for (int i = 0; i < 10; ++i)
        {
            const auto& row = controlMap()[(size_t) (i < 8 ? 16 + i : 37 + (i - 8))];
            drawLabel (g, juce::String (i + 1), row.bounds.toFloat().translated (0.0f, -11.0f).withHeight (10.0f), 7.5f);
        }
    }
}

juce::Image drawKeyboardPicture()
{
    juce::Image image (juce::Image::ARGB, keyboardPictureWidth, keyboardPictureHeight, true);
    juce::Graphics g (image);

    drawBackdrop (g, keyboardPictureWidth, keyboardPictureHeight);
    drawBody (g);
    drawSections (g);
    drawKeys (g);
    drawDisplay (g);
    drawGroupLabels (g);

    const auto& rows = controlMap();

    for (size_t i = 0; i < rows.size(); ++i)
    {
        drawControl (g, rows[i], (int) i);

        if (i >= 39 && i <= 44)
            drawTransportGlyph (g, rows[i].tooltip, rows[i].bounds.toFloat());
    }

    return image;
}

juce::Image drawCommandButtonImage (const juce::String& caption, int width, int height, ButtonImageState state)
{
    juce::Image image (juce::Image::ARGB, width, height, true);
    juce::Graphics g (image);

    const auto base = state == ButtonImageState::normal ? juce::Colour (0xFF3A3C40)
                    : state == ButtonImageState::over   ? juce::Colour (0xFF4A4D52)
                                                        : juce::Colour (0xFF62666C);
    const auto area = RectF ((float) width, (float) height).reduced (1.0f);

    g.setGradientFill (juce::ColourGradient (base.brighter (0.2f), 0, area.getY(), base.darker (0.2f), 0, area.getBottom(), false));
    g.fillRoundedRectangle (area, 6.0f);
    g.setColour (juce::Colours::black.withAlpha (0.6f));
    g.drawRoundedRectangle (area, 6.0f, 1.0f);

    g.setColour (juce::Colour (0xFFF0F0F0));
    g.setFont (juce::Font (13.0f, juce::Font::bold));
    g.drawText (caption, area, juce::Justification::centred, false);
    return image;
}

juce::Image drawApplicationIcon (int size)
{
    juce::Image image (juce::Image::ARGB, size, size, true);
    juce::Graphics g (image);
    const auto s = (float) size;
    const auto tile = RectF (s, s).reduced (s * 0.04f);

    g.setGradientFill (juce::ColourGradient (body.brighter (0.25f), 0, tile.getY(), body, 0, tile.getBottom(), false));
    g.fillRoundedRectangle (tile, s * 0.18f);

    // Three knobs over the keys.
    for (int i = 0; i < 3; ++i)
        drawKnob (g, RectF (s * (0.2f + 0.22f * (float) i), s * 0.2f, s * 0.16f, s * 0.16f));

    const auto keys = RectF (s * 0.14f, s * 0.48f, s * 0.72f, s * 0.34f);
    constexpr int whiteKeys = 7;
    const auto whiteWidth = keys.getWidth() / (float) whiteKeys;

    for (int i = 0; i < whiteKeys; ++i)
    {
        g.setColour (juce::Colour (0xFFF8F8F4));
        g.fillRoundedRectangle (RectF (keys.getX() + (float) i * whiteWidth, keys.getY(), whiteWidth - s * 0.012f,
                                       keys.getHeight()), s * 0.015f);
    }

    for (int i : { 0, 1, 3, 4, 5 })
    {
        g.setColour (juce::Colour (0xFF15161A));
        g.fillRect (RectF (keys.getX() + (float) (i + 1) * whiteWidth - whiteWidth * 0.3f, keys.getY(),
                           whiteWidth * 0.6f, keys.getHeight() * 0.6f));
    }

    g.setColour (accent);
    g.fillRoundedRectangle (RectF (s * 0.14f, s * 0.4f, s * 0.72f, s * 0.04f), s * 0.02f);
    return image;
}
