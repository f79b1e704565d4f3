#pragma once

#include "device/ModelComparison.h"
#include "editor/EditHistory.h"

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

    /** What the edits that could be lost are, in the middle of a sentence. */
    inline juce::String unsavedEditsAre (EditHistory::UnsavedEdits edits, bool sayKeyboard)
    {
        if (edits == EditHistory::UnsavedEdits::sentButUnchecked)
            return juce::String ("sent") + (sayKeyboard ? " to the keyboard" : "")
                   + " but could not be checked there, and were not saved";

        return juce::String ("neither sent") + (sayKeyboard ? " to the keyboard" : "") + " nor saved";
    }

    inline const juce::String keyboardFoundTitle ("Keyboard Found");
    inline juce::String keyboardFound (EditHistory::UnsavedEdits edits)
    {
        return "The keyboard has been found. The editor holds edits that were " + unsavedEditsAre (edits, false)
               + ".\n\nRead the keyboard's configuration into the editor (the edits are replaced), or keep the "
                 "editor's values?";
    }
    inline const juce::String readTheKeyboard ("Read the Keyboard");
    inline const juce::String keepMyEdits ("Keep My Edits");

    inline const juce::String readInterrupted (
        "The keyboard was disconnected before its configuration was read completely. "
        "The editor still shows what it held before.");
    inline const juce::String readIncomplete ("The keyboard stopped answering: its configuration was not read");
    inline const juce::String editedSinceTheLastSend ("Edited since the last send");

    inline juce::String sendInterrupted (int sent, int planned)
    {
        return "The keyboard was disconnected during the send: " + juce::String (sent) + " of " + juce::String (planned)
               + " frames were sent, so it does not hold the editor's configuration.";
    }

    inline const juce::String keyboardDiffersTitle ("Keyboard Differs");
    inline const juce::String sendAgain ("Send Again");
    inline const juce::String close ("Close");
    inline const juce::String readBackFailed (
        "The keyboard did not answer when it was read back after the send, so whether it holds what was sent is not known.");
    inline const juce::String keyboardWentAwayAfterSend (
        "The keyboard was disconnected after the send, before it could be read back, so whether it holds what was "
        "sent is not known.");

    inline const juce::String compareTitle ("Compare with the Keyboard");
    inline const juce::String takeKeyboardValues ("Take the Keyboard's Values");
    inline const juce::String compareReadFailed ("The keyboard did not answer when it was read, so nothing was compared.");

    inline const juce::String inUpdateMode ("In update mode");
    inline const juce::String inUpdateModeTitle ("Keyboard in Update Mode");
    inline juce::String keyboardInUpdateMode (const juce::String& port)
    {
        return "A keyboard in update mode is connected (\"" + port + "\"): its firmware update was not finished.\n\n"
               "Choose the firmware file and finish the update now?";
    }
    inline const juce::String chooseFirmware ("Choose Firmware...");
    inline const juce::String notNow ("Not Now");

    inline const juce::String afterTheUpdateTitle ("Configuration After the Update");
    inline juce::String configurationChangedByTheUpdate (const juce::String& changes)
    {
        return "The keyboard is back with its new firmware, and its configuration differs from the one read before "
               "the update in " + changes + ".\n\nSend your configuration back to the keyboard, or keep what it holds now?";
    }
    inline const juce::String restoreMyConfiguration ("Restore My Configuration");
    inline const juce::String keepTheKeyboards ("Keep the Keyboard's");
    inline const juce::String keptReadFailed (
        "The keyboard did not answer when its configuration was read before the update, so it cannot be offered back "
        "afterwards. Update anyway?");

    inline const juce::String unsavedEditsTitle ("Unsaved Edits");
    inline juce::String unsavedEdits (EditHistory::UnsavedEdits edits)
    {
        return "The editor holds edits that were " + unsavedEditsAre (edits, true) + ".\n\nSave them before quitting?";
    }
    inline const juce::String saveButton ("Save...");
    inline const juce::String discardButton ("Discard");
    inline const juce::String cancelButton ("Cancel");

    /** "84 controls, 6 globals; 127 not checked". */
    inline juce::String counted (const ComparedCounts& counts)
    {
        auto text = describeCheckedCounts (counts);

        if (counts.notChecked > 0)
            text << "; " << counts.notChecked << " not checked";

        return text;
    }

    inline juce::String keyboardHoldsWhatWasSent (const ComparedCounts& counts)
    {
        return "Keyboard holds what was sent (" + counted (counts) + ")";
    }

    inline juce::String keyboardHoldsWhatTheEditorShows (const ComparedCounts& counts)
    {
        auto text = "The keyboard holds what the editor shows (" + describeCheckedCounts (counts) + ").";

        if (counts.notChecked > 0)
            text << "\n\n" << describeNotChecked (counts) << ".";

        return text;
    }

    /** The differences one a line, at most a dozen. */
    inline juce::String listDifferences (const std::vector<ModelDifference>& differences, const ComparedSides& sides)
    {
        constexpr size_t shown = 12;
        juce::String text;

        for (size_t i = 0; i < differences.size() && i < shown; ++i)
            text << "\n" << differences[i].describe (sides);

        if (differences.size() > shown)
            text << "\n... and " << (int) (differences.size() - shown) << " more";

        return text;
    }

    inline juce::String keyboardDiffers (const std::vector<ModelDifference>& differences)
    {
        return "The keyboard does not hold what was sent: " + juce::String ((int) differences.size())
               + (differences.size() == 1 ? " value differs" : " values differ") + ":\n"
               + listDifferences (differences, ComparedSides::sentAndKeyboard());
    }

    inline juce::String keyboardDiffersFromEditor (const std::vector<ModelDifference>& differences)
    {
        return "The keyboard differs from the editor in " + juce::String ((int) differences.size())
               + (differences.size() == 1 ? " value" : " values") + ":\n"
               + listDifferences (differences, ComparedSides::editorAndKeyboard());
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
