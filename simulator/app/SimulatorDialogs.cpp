#include "simulator/app/SimulatorDialogs.h"

#include "editor/UpdaterRunner.h"
#include "simulator/SimulatedKeyboard.h"

SimulatorDialogs::SimulatorDialogs (SimulatedKeyboard& keyboardToRestart)
    : keyboard (keyboardToRestart)
{
}

bool SimulatorDialogs::showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                        const juce::String& message, const juce::String& okText,
                                        const juce::String& cancelText)
{
    const auto confirmed = JuceDialogService::showOkCancelBox (icon, title, message, okText, cancelText);

    if (confirmed && title == FirmwareDialogTexts::enterUpdateModeTitle)
        keyboard.restartInUpdateMode();

    return confirmed;
}
