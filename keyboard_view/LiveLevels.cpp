#include "keyboard_view/LiveLevels.h"

namespace
{
    constexpr juce::uint32 levelColour = 0xE0FF5030;
    constexpr juce::uint32 levelTrackColour = 0x50000000;
    constexpr juce::uint32 padLightColour = 0xFFFFB040;
    constexpr juce::uint32 touchMarkColour = 0xFF30B0FF;
    constexpr float barThickness = 4.0f;

    void drawRing (juce::Graphics& g, juce::Rectangle<float> area, float level)
    {
        // The ring opens at the bottom, as a knob's travel does: from 7 to 5 o'clock.
        constexpr float start = juce::MathConstants<float>::pi * 1.25f;
        constexpr float travel = juce::MathConstants<float>::pi * 1.5f;
        const auto ring = area.reduced (1.0f);
        const juce::PathStrokeType stroke (2.5f, juce::PathStrokeType::curved, juce::PathStrokeType::rounded);

        juce::Path track;
        track.addCentredArc (ring.getCentreX(), ring.getCentreY(), ring.getWidth() / 2, ring.getHeight() / 2,
                             0.0f, -start + juce::MathConstants<float>::twoPi, -start + juce::MathConstants<float>::twoPi + travel, true);
        g.setColour (juce::Colour (levelTrackColour));
        g.strokePath (track, stroke);

        juce::Path value;
        value.addCentredArc (ring.getCentreX(), ring.getCentreY(), ring.getWidth() / 2, ring.getHeight() / 2,
                             0.0f, -start + juce::MathConstants<float>::twoPi,
                             -start + juce::MathConstants<float>::twoPi + travel * level, true);
        g.setColour (juce::Colour (levelColour));
        g.strokePath (value, stroke);
    }

    void drawBar (juce::Graphics& g, juce::Rectangle<float> area, float level)
    {
        // Along the long side: up a fader or the wheel, across a button.
        const bool upright = area.getHeight() > area.getWidth();
        auto track = upright ? area.removeFromRight (barThickness) : area.removeFromBottom (barThickness);
        g.setColour (juce::Colour (levelTrackColour));
        g.fillRect (track);

        const auto filled = upright ? track.removeFromBottom (track.getHeight() * level)
                                    : track.removeFromLeft (track.getWidth() * level);
        g.setColour (juce::Colour (levelColour));
        g.fillRect (filled);
    }
}

void LiveLevels::setLevel (int item, float level)
{
    auto& entry = levels[item];
    entry.value = juce::jlimit (0.0f, 1.0f, level);
    entry.isNote = false;
    entry.lit = false;
}

void LiveLevels::light (int item, float velocity, juce::uint32 nowMs)
{
    auto& entry = levels[item];
    entry.value = juce::jlimit (0.0f, 1.0f, velocity);
    entry.isNote = true;
    entry.lit = true;
    entry.litAtMs = nowMs;
}

void LiveLevels::markTouched (const std::vector<int>& items, juce::uint32 nowMs)
{
    for (const auto item : items)
        marks[item] = nowMs + touchMarkMs;
}

bool LiveLevels::advance (juce::uint32 nowMs)
{
    bool fading = false;

    for (auto it = marks.begin(); it != marks.end();)
    {
        if ((juce::int32) (it->second - nowMs) <= 0)
            it = marks.erase (it);
        else
            fading = true, ++it;
    }

    for (auto& [item, level] : levels)
    {
        if (level.lit && nowMs - level.litAtMs >= padFadeMs)
            level.lit = false;

        fading = fading || level.lit;
    }

    return fading;
}

float LiveLevels::levelOf (int item) const
{
    const auto found = levels.find (item);
    return found != levels.end() ? found->second.value : 0.0f;
}

std::set<int> LiveLevels::markedItems() const
{
    std::set<int> items;

    for (const auto& mark : marks)
        items.insert (mark.first);

    return items;
}

float LiveLevels::padGlow (const Level& level, juce::uint32 nowMs) const
{
    if (! level.lit)
        return 0.0f;

    const auto age = (float) (nowMs - level.litAtMs) / (float) padFadeMs;
    return juce::jlimit (0.0f, 1.0f, 1.0f - age) * juce::jmax (0.35f, level.value);
}

void LiveLevels::paint (juce::Graphics& g,
                        const std::function<std::optional<juce::Rectangle<int>> (int item)>& boundsOf,
                        const std::function<bool (int item)>& isRound, juce::uint32 nowMs) const
{
    for (const auto& [item, level] : levels)
    {
        const auto bounds = boundsOf (item);

        if (! bounds.has_value())
            continue;

        const auto area = bounds->toFloat();

        if (level.isNote)
        {
            if (const auto glow = padGlow (level, nowMs); glow > 0.0f)
            {
                g.setColour (juce::Colour (padLightColour).withMultipliedAlpha (glow));
                g.fillRoundedRectangle (area.reduced (2.0f), 3.0f);
            }
        }
        else if (isRound (item))
        {
            drawRing (g, area, level.value);
        }
        else
        {
            drawBar (g, area, level.value);
        }
    }

    g.setColour (juce::Colour (touchMarkColour));

    for (const auto& [item, until] : marks)
        if (const auto bounds = boundsOf (item))
            g.drawRect (bounds->expanded (2), 2);
}
