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
