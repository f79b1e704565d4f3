#include "keyboard_view/LmxCtrlPickerKnob.h"

LmxCtrlPickerKnob::LmxCtrlPickerKnob()
    : juce::Button ({})
{
    setSize (60, 40);
}

LmxCtrlPickerKnob::~LmxCtrlPickerKnob() = default;

void LmxCtrlPickerKnob::resized()
{
    const auto w = getWidth(), h = getHeight();
    const auto x = [w] (float f) { return cornerCoordinate (f, w); };
    const auto y = [h] (float f) { return cornerCoordinate (f, h); };

    // Each mark is a quadratic curve: start, control point, end.
    const float points[4][6] {
        { x (0.3f), 0,        x (0.08f), y (0.08f), 0,        y (0.3f) },
        { 0,        y (0.7f), x (0.08f), y (0.92f), x (0.3f), (float) h },
        { x (0.7f), 0,        x (0.92f), y (0.08f), (float) w, y (0.3f) },
        { (float) w, y (0.7f), x (0.92f), y (0.92f), x (0.7f), (float) h },
    };

    for (size_t i = 0; i < cornerMarks.size(); ++i)
    {
        auto& mark = cornerMarks[i];
        mark.clear();
        mark.startNewSubPath (points[i][0], points[i][1]);
        mark.quadraticTo (points[i][2], points[i][3], points[i][4], points[i][5]);
    }
}

void LmxCtrlPickerKnob::fillEllipse (juce::Graphics& g, juce::uint32 colour) const
{
    g.setColour (juce::Colour (colour));
    g.fillEllipse (0.0f, 0.0f, (float) getWidth(), (float) getHeight());
}

void LmxCtrlPickerKnob::paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown)
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
            fillEllipse (g, PickerColours::selectedEllipse);
            break;
        case PickerLook::selectedHovered:
            fillEllipse (g, PickerColours::selectedActive);
            drawCornerMarks (g, cornerMarks);
            break;
        case PickerLook::selectedPressed:
            fillEllipse (g, PickerColours::selectedActive);
            break;
    }
}
