#pragma once

#include <juce_core/juce_core.h>

// The editor's own words: its message boxes and the titles of its file dialogs.
namespace EditorTexts
{
    inline const juce::String keyboardProblemTitle ("Keyboard Problem");
    inline const juce::String notDetectedForSend ("The keyboard has not been detected, so it can't be set.");
    inline const juce::String notDetected ("The keyboard has not been detected. Please correct the problem and try again.");

    inline const juce::String loadTitle ("Please select the settings file you want to load...");
    inline const juce::String saveTitle ("Please select the settings file where to save...");
    inline const juce::String chartTitle ("Please select the chart file...");

    inline const juce::String notSavedTitle ("Settings Not Saved");
    inline const juce::String notLoadedTitle ("Settings Not Loaded");
    inline const juce::String chartNotWrittenTitle ("Chart Not Written");
    inline const juce::String valuesNotSentTitle ("Values Not Sent");

    inline const juce::String keyboardFoundTitle ("Keyboard Found");
    inline const juce::String keyboardFound (
        "The keyboard has been found. The editor holds edits that were neither sent nor saved.\n\n"
        "Read the keyboard's configuration into the editor (the edits are replaced), or keep the editor's values?");
    inline const juce::String readTheKeyboard ("Read the Keyboard");
    inline const juce::String keepMyEdits ("Keep My Edits");

    inline const juce::String readInterrupted (
        "The keyboard was disconnected before its configuration was read completely. "
        "The editor shows what it held before, and what had arrived.");

    inline juce::String sendInterrupted (int sent, int planned)
    {
        return "The keyboard was disconnected during the send: " + juce::String (sent) + " of " + juce::String (planned)
               + " frames were sent, so it does not hold the editor's configuration.";
    }

    inline juce::String notSaved (const juce::File& file, const juce::String& reason)
    {
        return "The settings could not be saved to \"" + file.getFullPathName() + "\": " + reason + ".";
    }

    inline juce::String notLoaded (const juce::File& file, const juce::String& reason)
    {
        return "\"" + file.getFullPathName() + "\" could not be loaded: " + reason + ".\n\nNothing was changed.";
    }

    inline juce::String chartNotWritten (const juce::File& file, const juce::String& reason)
    {
        return "The MIDI chart could not be written to \"" + file.getFullPathName() + "\": " + reason + ".";
    }
}
