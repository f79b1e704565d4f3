#pragma once

#include "device/SendAllPlan.h"
#include "device/VerifiedSend.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

class DialogService;
class EditHistory;
class KbdSettingComponentVR49;
class LumManager49;

/** The panel's command buttons: "Default Values", "Send to Keyboard", "Load...",
    "Save...", the hidden "Chart..." and "Upgrade firmware...". Every failure is told
    to the user in a box that names the file and the reason; nothing fails silently. */
class EditorCommands
{
public:
    EditorCommands (KbdSettingComponentVR49& panel, LumManager49& manager, EditHistory& history, DialogService& dialogs);

    void resetToDefaults();
    void sendToKeyboard();
    void loadSettings();

    /** True when the settings were saved. */
    bool saveSettings();
    void exportChart();
    void upgradeFirmware();

    /** Reads the keyboard, lists how it differs from the editor, and offers to take its
        values into the editor (as one edit that can be undone). */
    void compareWithKeyboard();

private:
    /** Reads the keyboard into a model of its own; nothing when it did not answer. */
    std::optional<SettingsModel> readKeyboard();
    void waitForTheReadAfterIdentification();
    void reportVerification (const VerifiedSendReport& report);
    void relinkAfterSilence();

    /** The file chosen to save, its extension forced to the proposed file's. */
    std::optional<juce::File> chooseFileToSave (const juce::String& title, const juce::String& pattern,
                                                const juce::File& proposed);
    void rememberFolderOf (const juce::File& file);
    void reportLeftOutValues (const std::vector<LeftOutValue>& leftOut);

    KbdSettingComponentVR49& panel;
    LumManager49& manager;
    EditHistory& history;
    DialogService& dialogs;

    // Load and Save start where the user last was during this run.
    juce::File lastFolder;
    juce::String lastSettingsName { "Vantor 49 settings" };
};

/** The box's text for values a send left out: how many, and which. */
juce::String describeLeftOutValues (const std::vector<LeftOutValue>& leftOut);
