#pragma once

#include "keyboard_view/PickerPainting.h"

/** A picker over a round control: invisible at rest, curved corner marks under the
    mouse, the inscribed ellipse tinted while selected. */
class LmxCtrlPickerKnob : public juce::Button
{
public:
    LmxCtrlPickerKnob();
    ~LmxCtrlPickerKnob() override;

    void resized() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

    const CornerMarks& getCornerMarks() const noexcept   { return cornerMarks; }

private:
    void fillEllipse (juce::Graphics& g, juce::uint32 colour) const;

    CornerMarks cornerMarks;
};
