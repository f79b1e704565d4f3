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

int SimulatorDialogs::showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title,
                                          const juce::String& message, const juce::String& yesText,
                                          const juce::String& noText, const juce::String& cancelText)
{
    const auto choice = JuceDialogService::showYesNoCancelBox (icon, title, message, yesText, noText, cancelText);

    // "OK" in the first box of an update whose configuration was kept.
    if (choice == 1 && title == FirmwareDialogTexts::enterUpdateModeTitle)
        keyboard.restartInUpdateMode();

    return choice;
}
