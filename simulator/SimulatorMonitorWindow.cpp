#include "simulator/SimulatorMonitorWindow.h"

#include "simulator/SimulatorState.h"

SimulatorMonitorWindow::SimulatorMonitorWindow (SimulatedKeyboard& keyboardToShow)
    : juce::DocumentWindow ("Simulated Vantor 49 - what the keyboard received", juce::Colour (0xFF2B2D31),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      keyboard (keyboardToShow)
{
    log.setMultiLine (true);
    log.setReadOnly (true);
    log.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 12.0f, juce::Font::plain));
    log.setSize (420, 260);

    setUsingNativeTitleBar (true);
    setContentNonOwned (&log, true);
    setResizable (true, false);
    setTopLeftPosition (20, 20);
    setVisible (true);
    startTimer (250);
}

SimulatorMonitorWindow::~SimulatorMonitorWindow()
{
    stopTimer();
    clearContentComponent();
}

void SimulatorMonitorWindow::closeButtonPressed()
{
    setVisible (false);
}

void SimulatorMonitorWindow::timerCallback()
{
    const auto text = describeKeyboardTraffic (keyboard);

    if (text != log.getText())
        log.setText (text, false);
}
