#pragma once

#include <juce_graphics/juce_graphics.h>

#include <vector>

// Where each control lies on the keyboard picture, which picker covers it and
// the ItemIds it stands for. The picture, its artwork generator and the tests
// all read this one table.

enum class PickerKind
{
    button,   // rectangular: faders, buttons, pads, the wheel
    knob      // round: knobs, the level knob, pedal and breath inputs
};

struct ControlMapRow
{
    PickerKind kind;
    const char* tooltip;
    const char* idText;   // "0x40", or bank-1 and bank-2 ItemIds joined: "0x01-0x21"
    juce::Rectangle<int> bounds;
};

/** The 65 pickers, in creation order (later rows lie on top). */
const std::vector<ControlMapRow>& controlMap();

/** The Shift toggle that switches the two-bank controls to bank 2. */
const ControlMapRow& shiftButtonRow();

/** Where the picture writes its two captions. */
inline const juce::Rectangle<int> backPanelCaptionBounds { 231, 423, 417, 28 };
inline const juce::Rectangle<int> drumPadsCaptionBounds { 704, 448, 200, 32 };

/** The pitch wheel: no picker covers it (it has nothing to edit), but a touch shows it. */
inline const juce::Rectangle<int> pitchWheelBounds { 59, 324, 20, 68 };
constexpr int pitchWheelItemId = 65;

constexpr int keyboardPictureWidth = 1024;
constexpr int keyboardPictureHeight = 485;

/** The ItemId text a picker sends in bank 1 or bank 2. */
juce::String idTextForBank (const juce::String& pickerText, bool bank2);
