#pragma once

#include "simulator/SimulatedKeyboard.h"

// What a simulated keyboard holds, kept between runs in a settings file (".vr49"),
// so a keyboard program that is stopped and started again still holds what was sent.

/** Reads the file over what the keyboard holds; a missing file changes nothing. */
juce::Result loadKeyboardState (const juce::File& file, SimulatedKeyboard& keyboard);

juce::Result saveKeyboardState (const SimulatedKeyboard& keyboard, const juce::File& file);
