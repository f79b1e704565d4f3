#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <array>

// What the two picker widgets share: their colours, their states and the
// drawing of the four corner marks shown under the mouse.

namespace PickerColours
{
    constexpr juce::uint32 hover = 0x20FFFFFF;
    constexpr juce::uint32 pressed = 0x40FFFFFF;
    constexpr juce::uint32 markFill = 0x40FFFFFF;
    constexpr juce::uint32 markStroke = 0xE0000000;
    constexpr juce::uint32 selectedRectangle = 0x60FF8080;
    constexpr juce::uint32 selectedEllipse = 0x80FF8080;
    constexpr juce::uint32 selectedActive = 0x40FF8080;
}

/** Top-left, bottom-left, top-right, bottom-right. */
using CornerMarks = std::array<juce::Path, 4>;

/** How a picker looks: the toggle state first, then pressed over mouse-over. */
enum class PickerLook
{
    idle,
    hovered,
    pressed,
    selected,
    selectedHovered,
    selectedPressed
};

PickerLook pickerLookFor (bool toggledOn, bool isMouseOverButton, bool isButtonDown);

/** A fraction of a widget's width or height, to the nearest pixel. */
float cornerCoordinate (float fraction, int size);

void drawCornerMarks (juce::Graphics& g, const CornerMarks& marks);
