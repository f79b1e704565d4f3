#include "keyboard_view/VR49CtrlPickerComponent.h"

#include "keyboard_view/ControlMap.h"
#include "keyboard_view/LmxCtrlPickerButton.h"
#include "keyboard_view/LmxCtrlPickerKnob.h"

#include <KonsolionImages.h>

namespace
{
    constexpr int pickerRadioGroup = 1;
    constexpr juce::uint32 shiftOutlineColour = 0xFFFF1100;

    std::unique_ptr<juce::Button> createPicker (PickerKind kind)
    {
        if (kind == PickerKind::knob)
            return std::make_unique<LmxCtrlPickerKnob>();

        return std::make_unique<LmxCtrlPickerButton>();
    }

    void drawCaption (juce::Graphics& g, const juce::String& text, juce::Rectangle<int> area)
    {
        g.setColour (juce::Colours::black);
        g.setFont (juce::Font (15.0f, juce::Font::plain));
        g.drawText (text, area, juce::Justification::centred, true);
    }
}

VR49CtrlPickerComponent::VR49CtrlPickerComponent()
{
    for (const auto& row : controlMap())
    {
        auto picker = createPicker (row.kind);
        addAndMakeVisible (*picker);
        picker->setTooltip (row.tooltip);
        picker->setButtonText (row.idText);
        picker->setRadioGroupId (pickerRadioGroup);
        picker->addListener (this);
        pickers.push_back (std::move (picker));
    }

    const auto& shift = shiftButtonRow();
    shiftButton = std::make_unique<LmxCtrlPickerButton>();
    addAndMakeVisible (*shiftButton);
    shiftButton->setTooltip (shift.tooltip);
    shiftButton->setButtonText (shift.idText);
    shiftButton->addListener (this);

    keyboardImage = juce::ImageCache::getFromMemory (KonsolionImages::keyboard_vr49_png,
                                                     KonsolionImages::keyboard_vr49_pngSize);
    setSize (keyboardPictureWidth, keyboardPictureHeight);
    lastSelectedPicker = nullptr;
}

VR49CtrlPickerComponent::~VR49CtrlPickerComponent()
{
    for (auto& picker : pickers)
        picker.reset();

    shiftButton.reset();
}

void VR49CtrlPickerComponent::paint (juce::Graphics& g)
{
    g.drawImage (keyboardImage, 0, 0, keyboardPictureWidth, keyboardPictureHeight,
                 0, 0, keyboardImage.getWidth(), keyboardImage.getHeight());

    drawCaption (g, "Back Panel", backPanelCaptionBounds);
    drawCaption (g, "Drum Pads", drumPadsCaptionBounds);

    g.setColour (juce::Colour (shiftOutlineColour));
    g.drawRect (shiftButtonRow().bounds, 1);
}

void VR49CtrlPickerComponent::paintOverChildren (juce::Graphics& g)
{
    if (pitchWheelShown)
    {
        g.setColour (juce::Colour (PickerColours::selectedRectangle));
        g.fillRect (pitchWheelBounds);
    }

    const auto isRound = [] (int item)
    {
        for (const auto& row : controlMap())
            for (const bool bank2 : { false, true })
                if (idTextForBank (row.idText, bank2).getHexValue32() == item)
                    return row.kind == PickerKind::knob;

        return false;
    };

    liveLevels.paint (g, [this] (int item) { return boundsOfShownItem (item); }, isRound, liveClock());
}

std::optional<juce::Rectangle<int>> VR49CtrlPickerComponent::boundsOfShownItem (int item) const
{
    if (item == pitchWheelItemId)
        return pitchWheelBounds;

    const bool bank2 = shiftButton->getToggleState();

    for (const auto& row : controlMap())
        if (idTextForBank (row.idText, bank2).getHexValue32() == item)
            return row.bounds;

    return std::nullopt;
}

void VR49CtrlPickerComponent::resized()
{
    const auto& rows = controlMap();

    for (size_t i = 0; i < pickers.size(); ++i)
        pickers[i]->setBounds (rows[i].bounds);

    shiftButton->setBounds (shiftButtonRow().bounds);
}

void VR49CtrlPickerComponent::buttonClicked (juce::Button* button)
{
    if (button == shiftButton.get())
        shiftClicked();
    else if (button != nullptr)
        pickerClicked (*button);
}

void VR49CtrlPickerComponent::pickerClicked (juce::Button& picker)
{
    showPitchWheelSelected (false);
    lastSelectedPicker = &picker;
    picker.setToggleState (true, juce::dontSendNotification);
    sendActionMessage (idTextForBank (picker.getButtonText(), shiftButton->getToggleState()));
}

void VR49CtrlPickerComponent::shiftClicked()
{
    shiftButton->setToggleState (! shiftButton->getToggleState(), juce::dontSendNotification);

    // Re-pick the selected control so the editor shows it in the new bank.
    if (lastSelectedPicker != nullptr)
        lastSelectedPicker->triggerClick();
}

std::set<juce::int16> VR49CtrlPickerComponent::getCtrlIdSet() const
{
    std::set<juce::int16> ids;

    const auto addRange = [&ids] (int first, int last)
    {
        for (int id = first; id <= last; ++id)
            ids.insert ((juce::int16) id);
    };

    addRange (0x01, 0x0E);
    addRange (0x12, 0x1B);
    addRange (0x20, 0x21);
    addRange (0x30, 0x34);
    addRange (0x40, 0x40);
    addRange (0x4B, 0x53);
    addRange (0x70, 0x73);
    return ids;
}

juce::Button* VR49CtrlPickerComponent::findPicker (const juce::String& tooltip) const
{
    for (const auto& picker : pickers)
        if (picker->getTooltip() == tooltip)
            return picker.get();

    return nullptr;
}

void VR49CtrlPickerComponent::showPitchWheelSelected (bool shown)
{
    if (pitchWheelShown == shown)
        return;

    pitchWheelShown = shown;
    repaint (pitchWheelBounds);
}

bool VR49CtrlPickerComponent::showItem (int item)
{
    if (item == pitchWheelItemId)
    {
        // No picker: the one selected lets go, and the wheel is shown selected instead.
        for (const auto& picker : pickers)
            picker->setToggleState (false, juce::dontSendNotification);

        lastSelectedPicker = nullptr;
        showPitchWheelSelected (true);
        return true;
    }

    for (const auto& picker : pickers)
        for (const bool bank2 : { false, true })
            if (idTextForBank (picker->getButtonText(), bank2).getHexValue32() == item)
            {
                // A control of both banks is shown in the bank the item belongs to.
                if (picker->getButtonText().containsChar ('-'))
                    shiftButton->setToggleState (bank2, juce::dontSendNotification);

                showPitchWheelSelected (false);
                lastSelectedPicker = picker.get();
                picker->setToggleState (true, juce::dontSendNotification);
                return true;
            }

    return false;
}
