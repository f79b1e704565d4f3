#pragma once

#include "editor/DialogService.h"

class SimulatedKeyboard;

/** JUCE's dialogs, with one thing a real keyboard would do by itself: when the user
    confirms "Enter Firmware Upgrade Mode", the simulated keyboard restarts into its
    bootloader, as the real one does when plugged in again holding the three keys. */
class SimulatorDialogs : public JuceDialogService
{
public:
    explicit SimulatorDialogs (SimulatedKeyboard& keyboard);

    bool showOkCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                          const juce::String& okText, const juce::String& cancelText) override;
    int showYesNoCancelBox (juce::MessageBoxIconType icon, const juce::String& title, const juce::String& message,
                            const juce::String& yesText, const juce::String& noText,
                            const juce::String& cancelText) override;

private:
    SimulatedKeyboard& keyboard;
};
