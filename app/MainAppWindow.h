#pragma once

#include "device/MidiPortSystem.h"

#include <juce_gui_basics/juce_gui_basics.h>

class DialogService;
class MainComponent;

/** The single, fixed-size main window. Closing it ends the program. */
class MainAppWindow : public juce::DocumentWindow
{
public:
    static constexpr int width = 1024;
    static constexpr int height = 660;

    MainAppWindow (MidiPortSystem& ports, DialogService& dialogs);

    void closeButtonPressed() override;

    MainComponent& getMainComponent() const;
};
