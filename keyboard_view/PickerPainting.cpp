#include "keyboard_view/PickerPainting.h"

PickerLook pickerLookFor (bool toggledOn, bool isMouseOverButton, bool isButtonDown)
{
    if (toggledOn)
        return isButtonDown ? PickerLook::selectedPressed
                            : (isMouseOverButton ? PickerLook::selectedHovered : PickerLook::selected);

    return isButtonDown ? PickerLook::pressed : (isMouseOverButton ? PickerLook::hovered : PickerLook::idle);
}

float cornerCoordinate (float fraction, int size)
{
    return (float) juce::roundToInt (fraction * (float) size);
}

void drawCornerMarks (juce::Graphics& g, const CornerMarks& marks)
{
    const juce::PathStrokeType stroke (3.0f, juce::PathStrokeType::mitered, juce::PathStrokeType::butt);

    for (const auto& mark : marks)
    {
        g.setColour (juce::Colour (PickerColours::markFill));
        g.fillPath (mark);
        g.setColour (juce::Colour (PickerColours::markStroke));
        g.strokePath (mark, stroke);
    }
}
