#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

class SimulatedKeyboard;

/** Where the monitor window goes: beside the editor's window, right or left, where the
    screen has room; else below or above it, shortened to the room there; else over the
    lower right of the editor's window, never over its "Global Parameters" group. */
juce::Rectangle<int> monitorWindowBounds (juce::Rectangle<int> editor, juce::Rectangle<int> screen, juce::Point<int> size);

/** The simulator's own small window, apart from the editor: what the simulated
    keyboard received and holds, a button that unplugs it and plugs it in again, and a
    row that plays one of its controls (moved with the slider, pressed with "Play"). */
class SimulatorMonitorWindow : public juce::DocumentWindow,
                               private juce::Timer
{
public:
    static constexpr int plugButtonHeight = 28;

    SimulatorMonitorWindow (SimulatedKeyboard& keyboard, juce::Rectangle<int> editorWindow);
    ~SimulatorMonitorWindow() override;

    void closeButtonPressed() override;

private:
    struct Content : juce::Component
    {
        void resized() override;
        juce::TextButton plugButton;
        juce::ComboBox controlChoice;
        juce::Slider playSlider { juce::Slider::LinearHorizontal, juce::Slider::TextBoxRight };
        juce::TextButton playButton { "Play" };
        juce::TextEditor log;
    };

    void timerCallback() override;
    void togglePlug();
    void fillPlayableControls();
    void chosenControlChanged();
    void playChosenControl();
    void showPlugState();

    SimulatedKeyboard& keyboard;
    Content content;
};
