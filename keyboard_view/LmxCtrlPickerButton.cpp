#include "keyboard_view/LmxCtrlPickerButton.h"

LmxCtrlPickerButton::LmxCtrlPickerButton()
    : juce::Button ({})
{
    setSize (60, 40);
}

LmxCtrlPickerButton::~LmxCtrlPickerButton() = default;

void LmxCtrlPickerButton::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto x = [w] (float f) { return cornerCoordinate (f, w); };
    const auto y = [h] (float f) { return cornerCoordinate (f, h); };

    // Each mark is a right angle: start, corner, end.
    const float points[4][6] {
        { x (0.3f), 0,      0,      0,      0,      y (0.3f) },
        { 0,        y (0.7f), 0,    (float) h, x (0.3f), (float) h },
        { x (0.7f), 0,      (float) w, 0,   (float) w, y (0.3f) },
        { (float) w, y (0.7f), (float) w, (float) h, x (0.7f), (float) h },
    };

    for (size_t i = 0; i < cornerMarks.size(); ++i)
    {
        auto& mark = cornerMarks[i];
        mark.clear();
        mark.startNewSubPath (points[i][0], points[i][1]);
        mark.lineTo (points[i][2], points[i][3]);
        mark.lineTo (points[i][4], points[i][5]);
    }
}

void LmxCtrlPickerButton::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
{
    switch (pickerLookFor (getToggleState(), isMouseOverButton, isButtonDown))
    {
        case PickerLook::idle:
            break;
        case PickerLook::hovered:
            g.fillAll (juce::Colour (PickerColours::hover));
            drawCornerMarks (g, cornerMarks);
            break;
        case PickerLook::pressed:
            g.fillAll (juce::Colour (PickerColours::pressed));
            break;
        case PickerLook::selected:
            g.fillAll (juce::Colour (PickerColours::selectedRectangle));
            break;
        case PickerLook::selectedHovered:
            g.fillAll (juce::Colour (PickerColours::selectedActive));
            drawCornerMarks (g, cornerMarks);
            break;
        case PickerLook::selectedPressed:
            g.fillAll (juce::Colour (PickerColours::selectedActive));
            break;
    }
}
