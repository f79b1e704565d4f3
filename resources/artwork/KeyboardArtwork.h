#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

// Draws the program's artwork from the control map, so that every control sits
// exactly under its picker. Run scripts/make-artwork after changing it.

/** The keyboard picture, 1024 × 485. */
juce::Image drawKeyboardPicture();

/** The application's icon: a small keyboard with knobs on a rounded dark tile. */
juce::Image drawApplicationIcon (int size);

enum class ButtonImageState { normal, over, down };

/** A command button image: light caption on a dark grey rounded button. */
juce::Image drawCommandButtonImage (const juce::String& caption, int width, int height, ButtonImageState state);
