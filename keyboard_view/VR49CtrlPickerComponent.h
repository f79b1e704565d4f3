#pragma once

#include "keyboard_view/IKbdCtrlPicker.h"
#include "keyboard_view/LiveLevels.h"
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
    void paintOverChildren (juce::Graphics& g) override;
    void resized() override;
    void buttonClicked (juce::Button* button) override;

    std::set<juce::int16> getCtrlIdSet() const override;

    int getNumPickers() const noexcept                  { return (int) pickers.size(); }
    juce::Button& getPicker (int index) const           { return *pickers[(size_t) index]; }
    juce::Button& getShiftButton() const                { return *shiftButton; }

    /** The picker whose tooltip is this text, or null. */
    juce::Button* findPicker (const juce::String& tooltip) const;

    /** Selects the picker of this ItemId (and the bank it is in) without announcing it;
        the pitch wheel, which has no picker, is shown selected in its place. False when
        the picture does not show the item. */
    bool showItem (int item);

    /** The control's place on the picture as it shows the banks now; nothing for a
        control of the other bank or one the picture does not show. */
    std::optional<juce::Rectangle<int>> boundsOfShownItem (int item) const;

    /** The keyboard's live values drawn over the pickers; repainted by whoever sets them. */
    LiveLevels& getLiveLevels() noexcept                { return liveLevels; }

    /** The time the live values are drawn at (the tests set it). */
    void setLiveClock (std::function<juce::uint32()> clock)   { liveClock = std::move (clock); }
    juce::uint32 liveTimeNow() const                    { return liveClock(); }

private:
    void pickerClicked (juce::Button& picker);
    void showPitchWheelSelected (bool shown);
    void shiftClicked();

    std::vector<std::unique_ptr<juce::Button>> pickers;
    std::unique_ptr<LmxCtrlPickerButton> shiftButton;
    juce::Image keyboardImage;
    juce::Button* lastSelectedPicker = nullptr;
    bool pitchWheelShown = false;
    LiveLevels liveLevels;
    std::function<juce::uint32()> liveClock { [] { return juce::Time::getMillisecondCounter(); } };
};
