#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

/** What the keyboard's controls last sent, as the picture shows it over their pickers:
    a bar along a fader or button, a ring around a knob, a pad lit by its note that fades,
    and a frame around every control a touch belonged to for a moment. Only the message
    thread uses it; the times are the caller's, so that the fading can be tested. */
class LiveLevels
{
public:
    /** How long a pad stays lit after its note, and how long a touch's frame lasts. */
    static constexpr juce::uint32 padFadeMs = 600;
    static constexpr juce::uint32 touchMarkMs = 1500;

    /** A control's value of 0..1, shown as a bar or a ring. */
    void setLevel (int item, float level);

    /** A note with its velocity (0..1): the control lights up and fades. */
    void light (int item, float velocity, juce::uint32 nowMs);

    /** The controls a touch belonged to, framed until touchMarkMs after now. */
    void markTouched (const std::vector<int>& items, juce::uint32 nowMs);

    /** Forgets what fades out by now; true while something is still fading (the picture
        must be painted again). */
    bool advance (juce::uint32 nowMs);

    bool hasLevel (int item) const               { return levels.count (item) != 0; }
    float levelOf (int item) const;
    bool isMarked (int item) const               { return marks.count (item) != 0; }
    std::set<int> markedItems() const;

    /** Draws every level and frame whose control `boundsOf` places on the picture now. */
    void paint (juce::Graphics& g, const std::function<std::optional<juce::Rectangle<int>> (int item)>& boundsOf,
                const std::function<bool (int item)>& isRound, juce::uint32 nowMs) const;

private:
    struct Level
    {
        float value = 0.0f;
        juce::uint32 litAtMs = 0;
        bool isNote = false;   // shown as a light that fades, not as a level
        bool lit = false;
    };

    float padGlow (const Level& level, juce::uint32 nowMs) const;

    std::map<int, Level> levels;
    std::map<int, juce::uint32> marks;   // item, marked until
};
