#pragma once

#include <juce_graphics/juce_graphics.h>

// Colours of the generated artwork. The tests use them to check that every
// picker of the control map lies on a drawn control, not on bare panel.
namespace ArtworkPalette
{
    const juce::Colour backdropTop (0xFFF4F4F2);
    const juce::Colour backdropBottom (0xFFDADAD6);
    const juce::Colour body (0xFF26282C);
    const juce::Colour bodyEdge (0xFF3A3D42);
    const juce::Colour rearPanel (0xFF1C1D20);
    const juce::Colour padPanel (0xFF202226);
    const juce::Colour label (0xFFB8BCC4);
    const juce::Colour accent (0xFFE8552A);
}
