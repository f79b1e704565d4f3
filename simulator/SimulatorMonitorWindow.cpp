#include "simulator/SimulatorMonitorWindow.h"

#include "simulator/SimulatedKeyboard.h"
#include "simulator/SimulatorState.h"

void SimulatorMonitorWindow::Content::resized()
{
    auto area = getLocalBounds();
    plugButton.setBounds (area.removeFromTop (plugButtonHeight).reduced (4, 2));
    log.setBounds (area);
}

SimulatorMonitorWindow::SimulatorMonitorWindow (SimulatedKeyboard& keyboardToShow)
    : juce::DocumentWindow ("Simulated Vantor 49 - what the keyboard received", juce::Colour (0xFF2B2D31),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      keyboard (keyboardToShow)
{
    content.log.setMultiLine (true);
    content.log.setReadOnly (true);
    content.log.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 12.0f, juce::Font::plain));
    content.plugButton.onClick = [this] { togglePlug(); };
    content.addAndMakeVisible (content.plugButton);
    content.addAndMakeVisible (content.log);
    content.setSize (420, 260 + plugButtonHeight);
    showPlugState();

    setUsingNativeTitleBar (true);
    setContentNonOwned (&content, true);
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

void SimulatorMonitorWindow::togglePlug()
{
    // As pulling the USB cable and putting it back: the ports go, and come back new.
    if (keyboard.isPresent())
        keyboard.vanish();
    else
        keyboard.reappear();

    showPlugState();
}

void SimulatorMonitorWindow::showPlugState()
{
    content.plugButton.setButtonText (keyboard.isPresent() ? "Unplug the keyboard" : "Plug the keyboard in");
}

void SimulatorMonitorWindow::timerCallback()
{
    showPlugState();
    const auto text = describeKeyboardTraffic (keyboard);

    if (text != content.log.getText())
        content.log.setText (text, false);
}
