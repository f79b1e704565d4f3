#include "keyboard_view/ControlMap.h"
#include "tests/support/TestSupport.h"

#include <KonsolionImages.h>

namespace
{
    juce::Image embedded (const char* data, int size)
    {
        return juce::ImageCache::getFromMemory (data, size);
    }

    int largestChannelDifference (juce::Colour a, juce::Colour b)
    {
        return std::max ({ std::abs (a.getRed() - b.getRed()), std::abs (a.getGreen() - b.getGreen()),
                           std::abs (a.getBlue() - b.getBlue()) });
    }
}

TEST (KeyboardArtwork, TheEmbeddedImagesHaveTheirSizes)
{
    const auto picture = embedded (KonsolionImages::keyboard_vr49_png, KonsolionImages::keyboard_vr49_pngSize);
    EXPECT_EQ (picture.getWidth(), 1024);
    EXPECT_EQ (picture.getHeight(), 485);
    EXPECT_TRUE (picture.hasAlphaChannel());

    EXPECT_EQ (embedded (KonsolionImages::default_values_normal_png, KonsolionImages::default_values_normal_pngSize).getBounds(),
               juce::Rectangle<int> (101, 29));
    EXPECT_EQ (embedded (KonsolionImages::default_values_down_png, KonsolionImages::default_values_down_pngSize).getBounds(),
               juce::Rectangle<int> (101, 29));
    EXPECT_EQ (embedded (KonsolionImages::send_to_keyboard_over_png, KonsolionImages::send_to_keyboard_over_pngSize).getBounds(),
               juce::Rectangle<int> (117, 29));
}

TEST (KeyboardArtwork, EveryPickerLiesOnADrawnControl)
{
    const auto picture = embedded (KonsolionImages::keyboard_vr49_png, KonsolionImages::keyboard_vr49_pngSize);

    for (const auto& row : controlMap())
    {
        // The picker's centre differs from the surface around the control, or (where a
        // dark glyph marks the centre, as on the transport buttons) its four quarters do.
        const auto r = row.bounds.toFloat();
        const auto beside = picture.getPixelAt (row.bounds.getX() - 4, row.bounds.getCentreY());
        const auto differs = [&] (juce::Point<float> p)
        {
            return largestChannelDifference (picture.getPixelAt ((int) p.x, (int) p.y), beside) >= 24;
        };

        const int quarters = differs (r.getRelativePoint (0.25f, 0.25f)) + differs (r.getRelativePoint (0.75f, 0.25f))
                           + differs (r.getRelativePoint (0.25f, 0.75f)) + differs (r.getRelativePoint (0.75f, 0.75f));

        EXPECT_TRUE (differs (r.getCentre()) || quarters >= 3) << row.tooltip << " against " << beside.toDisplayString (false);
    }
}

TEST (KeyboardArtwork, TheCaptionsSitOnALightBackdrop)
{
    const auto picture = embedded (KonsolionImages::keyboard_vr49_png, KonsolionImages::keyboard_vr49_pngSize);

    for (const auto& area : { backPanelCaptionBounds, drumPadsCaptionBounds })
        EXPECT_GT (picture.getPixelAt (area.getCentreX(), area.getCentreY()).getBrightness(), 0.75f);
}
