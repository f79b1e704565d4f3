#pragma once

#include "device/ControlCatalogue.h"

#include <array>
#include <optional>

// What the editor's combo boxes list, and how a chosen position maps to a model
// value and back. A position of -1 (or beyond the list) shows as empty text.

juce::StringArray noteNameChoices();         // "C-2" ... "G8"
juce::StringArray controllerNameChoices();   // "0 - Bank Select MSB" ... "127 - Poly Mode On"
juce::StringArray modeChoices();             // "Off-Disabled" ... "Patch Change": codes 0..11
juce::StringArray channelChoices();          // "1" ... "16", "Lower", "Upper", "Panel", "All"
juce::StringArray decimalChoices (int first, int last);

constexpr int editorModeCount = 12;

/** Which of the 12 modes a control may use; nothing for an ItemId in no group. */
std::optional<std::array<bool, editorModeCount>> enabledModesFor (ItemId item);

int channelToPosition (int channel);
int positionToChannel (int position);

/** The two-state globals: 127 is the second choice, anything else the first. */
int twoStateToPosition (int value);
int positionToTwoState (int position);

/** "1.05" for revision bytes 0, 1, 0, 5; "2.1.05" for 2, 1, 0, 5. */
juce::String firmwareRevisionText (const std::array<juce::uint8, 4>& revision);
