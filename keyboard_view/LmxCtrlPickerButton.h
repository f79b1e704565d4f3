#pragma once

#include "keyboard_view/PickerPainting.h"

/** A picker over a rectangular control: invisible at rest, corner marks under the
    mouse, its whole rectangle tinted while selected. */
class LmxCtrlPickerButton : public juce::Button
{
public:
    LmxCtrlPickerButton();
    ~LmxCtrlPickerButton() override;

    void resized() override;
    void paintButton (juce::Graphics& g, bool isMouseOverButton, bool isButtonDown) override;

    const CornerMarks& getCornerMarks() const noexcept   { return cornerMarks; }

private:
    CornerMarks cornerMarks;
};
