#include "simulator/app/SimulatorMonitorWindow.h"

#include "device/LiveMessageMap.h"
#include "device/ModelField.h"
#include "simulator/SimulatedKeyboard.h"
#include "simulator/app/SimulatorState.h"

void SimulatorMonitorWindow::Content::resized()
{
    auto area = getLocalBounds();
    plugButton.setBounds (area.removeFromTop (plugButtonHeight).reduced (4, 2));
    auto playRow = area.removeFromTop (plugButtonHeight).reduced (4, 2);
    controlChoice.setBounds (playRow.removeFromLeft (170));
    playButton.setBounds (playRow.removeFromRight (56));
    playSlider.setBounds (playRow.reduced (4, 0));
    log.setBounds (area);
}

juce::Rectangle<int> monitorWindowBounds (juce::Rectangle<int> editor, juce::Rectangle<int> screen, juce::Point<int> size)
{
    constexpr int gap = 8;
    constexpr int titleBarGap = 32;   // the window manager's title bar sits above the bounds
    constexpr int shortestHeight = 120;
    const auto top = juce::jlimit (screen.getY(), juce::jmax (screen.getY(), screen.getBottom() - size.y), editor.getY());

    if (editor.getRight() + gap + size.x <= screen.getRight())
        return { editor.getRight() + gap, top, size.x, size.y };

    if (editor.getX() - gap - size.x >= screen.getX())
        return { editor.getX() - gap - size.x, top, size.x, size.y };

    // Below or above, made as short as the room there needs, down to a few lines of its log.
    const auto below = screen.getBottom() - editor.getBottom() - titleBarGap;
    const auto above = editor.getY() - screen.getY() - 2 * titleBarGap;
    const auto x = juce::jlimit (screen.getX(), juce::jmax (screen.getX(), screen.getRight() - size.x), editor.getRight() - size.x);

    if (juce::jmax (below, above) >= shortestHeight)
    {
        const auto height = juce::jmin (size.y, juce::jmax (below, above));
        return below >= above ? juce::Rectangle<int> (x, editor.getBottom() + titleBarGap, size.x, height)
                              : juce::Rectangle<int> (x, editor.getY() - titleBarGap - height, size.x, height);
    }

    // No room at all: over the picture's lower right, far from the "Global Parameters" group.
    return { juce::jmax (screen.getX(), screen.getRight() - size.x), juce::jmax (screen.getY(), screen.getBottom() - size.y),
             size.x, size.y };
}

SimulatorMonitorWindow::SimulatorMonitorWindow (SimulatedKeyboard& keyboardToShow, juce::Rectangle<int> editorWindow)
    : juce::DocumentWindow ("Simulated Vantor 49 - what the keyboard received", juce::Colour (0xFF2B2D31),
                            juce::DocumentWindow::minimiseButton | juce::DocumentWindow::closeButton),
      keyboard (keyboardToShow)
{
    content.log.setMultiLine (true);
    content.log.setReadOnly (true);
    content.log.setFont (juce::Font (juce::Font::getDefaultMonospacedFontName(), 12.0f, juce::Font::plain));
    content.plugButton.onClick = [this] { togglePlug(); };
    content.controlChoice.onChange = [this] { chosenControlChanged(); };
    content.playSlider.onValueChange = [this] { playChosenControl(); };
    content.playButton.onClick = [this] { playChosenControl(); };
    fillPlayableControls();

    for (auto* widget : std::initializer_list<juce::Component*> { &content.plugButton, &content.controlChoice,
                                                                  &content.playSlider, &content.playButton, &content.log })
        content.addAndMakeVisible (*widget);

    content.setSize (420, 260 + 2 * plugButtonHeight);
    showPlugState();

    setUsingNativeTitleBar (true);
    setContentNonOwned (&content, true);
    setResizable (true, false);

    const auto* display = juce::Desktop::getInstance().getDisplays().getDisplayForRect (editorWindow);
    const auto screen = display != nullptr ? display->userArea : editorWindow;
    setBounds (monitorWindowBounds (editorWindow, screen, { getWidth(), getHeight() }));
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

void SimulatorMonitorWindow::fillPlayableControls()
{
    // Every control whose mode sends something, as the keyboard holds it now.
    const LiveMessageMap map (keyboard.getConfiguration().toModel());

    for (const auto& entry : controlCatalogue())
        if (map.signatureOf (entry.id).has_value())
            content.controlChoice.addItem (controlDisplayName (entry.id), entry.id);

    content.controlChoice.setSelectedItemIndex (0, juce::dontSendNotification);
    chosenControlChanged();
}

void SimulatorMonitorWindow::chosenControlChanged()
{
    const auto item = content.controlChoice.getSelectedId();
    const auto range = item == pitchWheelItem ? juce::Range<double> (0, 16383)
                     : isEndlessEncoder (item) ? juce::Range<double> (-63, 63)
                                               : juce::Range<double> (0, 127);
    content.playSlider.setRange (range, 1.0);
    content.playSlider.setValue (item == pitchWheelItem ? 8192.0 : isEndlessEncoder (item) ? 1.0 : 100.0,
                                 juce::dontSendNotification);
}

void SimulatorMonitorWindow::playChosenControl()
{
    if (const auto item = content.controlChoice.getSelectedId(); item != 0)
        keyboard.playControl (item, juce::roundToInt (content.playSlider.getValue()));
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
