#pragma once

#include <juce_events/juce_events.h>

#include <optional>

/** Why no graphical display can be reached (DISPLAY unset, or naming no server);
    nothing when one can. JUCE would crash later, deep inside its window system. */
std::optional<juce::String> whyNoDisplay();

/** Runs a JUCE application after making sure it has a display: without one it says
    so on standard error and answers 1 instead. */
int runWithDisplay (const char* programName, int argc, char* argv[], juce::JUCEApplicationBase* (*create)());
