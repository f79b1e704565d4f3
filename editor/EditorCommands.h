#pragma once

#include "device/SendAllPlan.h"
#include "device/VerifiedSend.h"
#include "editor/UpdaterRunner.h"
#include "firmware/ConfigurationKeeper.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <optional>

class DialogService;
class EditHistory;
class KeyboardReadThread;
class LumManager49;

/** The panel's command buttons: "Default Values", "Send to Keyboard", "Load...",
    "Save...", the hidden "Chart..." and "Upgrade firmware...". Every failure is told
    to the user in a box that names the file and the reason; nothing fails silently. */
class EditorCommands
{
public:
    /** What the commands tell the panel that runs them (message thread). */
    struct Host
    {
        virtual ~Host() = default;

        /** The line left of the firmware revision; see KbdSettingComponentVR49. */
        virtual void setStatusText (const juce::String& text, bool saysKeyboardHoldsTheEdits) = 0;

        /** The link to the keyboard was dropped: it is shown as not detected. */
        virtual void keyboardPortsVanished() = 0;

        /** Message box B, once the message loop comes round. */
        virtual void showNotDetectedLater() = 0;
    };

    /** `check` reads the keyboard for a check or a comparison; `startupRead` is the read
        after each identification, waited for before either. */
    EditorCommands (Host& host, LumManager49& manager, KeyboardReader& check, KeyboardReadThread& startupRead,
                    EditHistory& history, DialogService& dialogs);

    void resetToDefaults();
    void sendToKeyboard();

    /** "Send Edits Live": one edited value sent on its own and checked with one request;
        the status line says what was sent and checked, or how the keyboard differs. A
        keyboard that is not linked, or a read still running, leaves it to the next send. */
    void sendEditLive (const ModelField& field, int value);
    void loadSettings();

    /** True when the settings were saved. */
    bool saveSettings();
    void exportChart();

    /** "Upgrade firmware...": the linked keyboard's configuration is read and kept first,
        and offered back once the keyboard is back and read. */
    void upgradeFirmware();

    /** A keyboard was found in update mode on this port (no keyboard linked): offers to
        finish its update with a file the user chooses. */
    void offerToFinishTheUpdate (const juce::MidiDeviceInfo& bootloaderPort);

    /** The keyboard was read after an update: when it differs from what was kept before,
        offers "Restore My Configuration" (a checked send, undoable) or "Keep the Keyboard's". */
    void offerKeptConfigurationBack (const SettingsModel& keyboardNow);

    bool isUpdating() const noexcept   { return updating; }

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
    void saveACopyOfTheKeptConfiguration();
    bool runUpdate (FirmwareUpdateRequest request);
    void reportLeftOutValues (const std::vector<LeftOutValue>& leftOut);

    Host& panel;
    LumManager49& manager;
    KeyboardReader& keyboardCheck;
    KeyboardReadThread& startupRead;
    EditHistory& history;
    DialogService& dialogs;

    ConfigurationKeeper keeper;
    bool updating = false;
    juce::String updatedBootloader;   // the identifier of the one the last update went through

    // Load and Save start where the user last was during this run.
    juce::File lastFolder;
    juce::String lastSettingsName { "Vantor 49 settings" };
};

/** The box's text for values a send left out: how many, and which. */
juce::String describeLeftOutValues (const std::vector<LeftOutValue>& leftOut);
