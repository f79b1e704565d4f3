#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class KbdSettingComponentVR49;
class SimulatedKeyboard;

/** What the simulator shows and holds, as "key=value" lines: the editor's fields as
    they read on screen and everything the simulated keyboard holds. The end-to-end
    checks read it instead of reading pixels. */
juce::String describeSimulatorState (KbdSettingComponentVR49& panel, SimulatedKeyboard& keyboard);

/** What the simulated keyboard received and holds, for the simulator's monitor window. */
juce::String describeKeyboardTraffic (SimulatedKeyboard& keyboard);

/** Writes describeSimulatorState to a file a few times a second (the file is replaced whole). */
class SimulatorStateFile : private juce::Timer
{
public:
    SimulatorStateFile (juce::File file, KbdSettingComponentVR49& panel, SimulatedKeyboard& keyboard);
    ~SimulatorStateFile() override;

    void write();

private:
    void timerCallback() override   { write(); }

    const juce::File file;
    KbdSettingComponentVR49& panel;
    SimulatedKeyboard& keyboard;
    juce::String lastWritten;
};
