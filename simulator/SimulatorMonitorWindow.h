#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SimulatedKeyboard;

/** The simulator's own small window, apart from the editor: what the simulated
    keyboard received and holds. */
class SimulatorMonitorWindow : public juce::DocumentWindow,
                               private juce::Timer
{
public:
    explicit SimulatorMonitorWindow (SimulatedKeyboard& keyboard);
    ~SimulatorMonitorWindow() override;

    void closeButtonPressed() override;

private:
    void timerCallback() override;

    SimulatedKeyboard& keyboard;
    juce::TextEditor log;
};
