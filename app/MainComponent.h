#pragma once

#include "device/MidiPortSystem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class DialogService;
class KbdSettingComponentVR49;

/** The window's content: the tooltip window and the editor panel. */
class MainComponent : public juce::Component,
                      public juce::ActionListener
{
public:
    MainComponent (MidiPortSystem& ports, DialogService& dialogs);
    ~MainComponent() override;

    void actionListenerCallback (const juce::String& message) override;

    KbdSettingComponentVR49& getEditorPanel() const noexcept   { return *editorPanel; }

private:
    juce::TooltipWindow tooltipWindow { nullptr, 700 };
    std::unique_ptr<KbdSettingComponentVR49> editorPanel;
};
