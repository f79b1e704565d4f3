#pragma once

#include "keyboard_view/IKbdCtrlPicker.h"
#include "keyboard_view/LmxCtrlPickerButton.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <memory>
#include <vector>

/** The clickable picture of the keyboard: a picker over each control and the Shift
    toggle for bank 2. A pick is broadcast as the control's ItemId text ("0x21"). */
class VR49CtrlPickerComponent : public juce::Component,
                                public juce::ActionBroadcaster,
                                public IKbdCtrlPicker,
                                public juce::Button::Listener
{
public:
    VR49CtrlPickerComponent();
    ~VR49CtrlPickerComponent() override;

    void paint (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    std::set<juce::int16> getCtrlIdSet() const override;

    int getNumPickers() const noexcept                  { return (int) pickers.size(); }
    juce::Button& getPicker (int index) const           { return *pickers[(size_t) index]; }
    juce::Button& getShiftButton() const                { return *shiftButton; }

    /** The picker whose tooltip is this text, or null. */
    juce::Button* findPicker (const juce::String& tooltip) const;

    /** Selects the picker of this ItemId (and the bank it is in) without announcing it;
        false when no picker stands for it. */
    bool showItem (int item);

private:
    void pickerClicked (juce::Button& picker);
    void shiftClicked();

    std::vector<std::unique_ptr<juce::Button>> pickers;
    std::unique_ptr<LmxCtrlPickerButton> shiftButton;
    juce::Image keyboardImage;
    juce::Button* lastSelectedPicker = nullptr;
};
