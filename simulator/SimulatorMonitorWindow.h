#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SimulatedKeyboard;

/** The simulator's own small window, apart from the editor: what the simulated
    keyboard received and holds, and a button that unplugs it and plugs it in again. */
class SimulatorMonitorWindow : public juce::DocumentWindow,
                               private juce::Timer
{
public:
    static constexpr int plugButtonHeight = 28;

    explicit SimulatorMonitorWindow (SimulatedKeyboard& keyboard);
    ~SimulatorMonitorWindow() override;

    void closeButtonPressed() override;

private:
    struct Content : juce::Component
    {
        void resized() override;
        juce::TextButton plugButton;
        juce::TextEditor log;
    };

    void timerCallback() override;
    void togglePlug();
    void showPlugState();

    SimulatedKeyboard& keyboard;
    Content content;
};
