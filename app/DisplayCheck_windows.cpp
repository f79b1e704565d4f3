#include "app/DisplayCheck.h"

std::optional<juce::String> whyNoDisplay()
{
    return std::nullopt;   // a Windows session always has its desktop to draw on
}
