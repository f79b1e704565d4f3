#include "app/MainComponent.h"

#include "editor/KbdSettingComponentVR49.h"

MainComponent::MainComponent (MidiPortSystem& ports, DialogService& dialogs)
{
    editorPanel = std::make_unique<KbdSettingComponentVR49> (ports, dialogs);
    addAndMakeVisible (*editorPanel);
}

MainComponent::~MainComponent()
{
    // The panel (and with it the device manager) goes before the tooltip window.
    editorPanel.reset();
}

void MainComponent::actionListenerCallback (const juce::String&)
{
}
