#include "editor/UpdaterRunner.h"

#include "device/LumManager49.h"
#include "firmware/UpdatePort.h"

namespace FirmwareDialogTexts
{
    const char* const enterUpdateModeTitle = "Enter Firmware Upgrade Mode";
    const char* const errorTitle = "Firmware Update Error";
    const char* const resultTitle = "Firmware Update Result";
    const char* const portNotFound = "Can't found Keyboard. Make sure it's connected and retry";
    const char* const cancelled = "The burn process has been canceled";
    const char* const failed = "The burn process completed, but there was an error";
    const char* const succeeded = "The burn process completed without error";
    const char* const incompleteFirmware = "The keyboard now holds an incomplete firmware. "
                                           "Restart it in update mode and run the update again.";

    juce::String enterUpdateModeMessage()
    {
        return "Please unplug the keyboard, then plug it in again WHILE HOLDING \"Sound\", \"Multi\" AND \"Edit\" KEYS.\n"
               "Click 'OK' when ready, or 'Cancel' to abort firmware update.";
    }
}

namespace
{
    const juce::String updatePort ("USB A");
}

UpdaterRunner::UpdaterRunner (LumManager49& managerToUse)
    : juce::ThreadWithProgressWindow ("Upgrading firmware, please wait...", true, true, 10000, "Cancel"),
      firmwareChooser { "Please select the firmware file to burn...",
                        juce::File::getSpecialLocation (juce::File::userHomeDirectory), "Vantor*.bin" },
      manager (&managerToUse)
{
    progressRelay.startTimer (50);
}

UpdaterRunner::~UpdaterRunner()
{
    progressRelay.stopTimer();
    attachUpdatePort (nullptr, updatePort, *manager);
    stopThread (10000);
}

void UpdaterRunner::run()
{
    burnSucceeded = false;
    burnSucceeded = burner.burn (firmwarePath);
}

void UpdaterRunner::handleIncomingMidiMessage (juce::MidiInput* source, const juce::MidiMessage& message)
{
    burner.handleIncomingMidiMessage (source, message);
}

void UpdaterRunner::sendMidiMessage (const juce::MidiMessage& message)
{
    burner.sendMidiMessage (message);
}

void UpdaterRunner::reportProgress (double fraction)
{
    burner.reportProgress (fraction);
}

namespace
{
    /** Leaves no dead link behind: once the runner has detached, the keyboard is searched
        for again on every port. */
    struct SearchAgainAfterwards
    {
        ~SearchAgainAfterwards()   { manager.searchAgain(); }
        LumManager49& manager;
    };

    juce::String withIncompleteFirmwareNote (const juce::String& text, const UpdaterRunner& runner)
    {
        using namespace FirmwareDialogTexts;
        return runner.didStartTransfer() ? text + "\n\n" + incompleteFirmware : text;
    }
}

void runFirmwareUpdate (LumManager49& manager, const juce::String& path, DialogService& dialogs)
{
    using namespace FirmwareDialogTexts;
    const auto warning = juce::MessageBoxIconType::WarningIcon;

    const SearchAgainAfterwards searchAgain { manager };
    UpdaterRunner runner (manager);

    if (! dialogs.showOkCancelBox (warning, enterUpdateModeTitle, enterUpdateModeMessage(), "OK", "Cancel"))
        return;

    runner.firmwarePath = path;

    if (path.isEmpty())
    {
        const auto file = dialogs.browseForFileToOpen (runner.firmwareChooser);

        if (! file.has_value())
            return;

        runner.firmwarePath = file->getFullPathName();
    }

    if (! attachUpdatePort (&runner, updatePort, manager))
    {
        dialogs.showMessageBox (warning, errorTitle, portNotFound);
        return;
    }

    const bool ranToTheEnd = dialogs.runThreadWithProgressWindow (runner);

    // A cancel while the last block was being answered can still have completed the
    // update: what the bootloader answered decides the box, not the button.
    if (runner.didBurnSucceed())
        dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, resultTitle, succeeded);
    else if (! ranToTheEnd)
        dialogs.showMessageBox (warning, errorTitle, withIncompleteFirmwareNote (cancelled, runner));
    else
        dialogs.showMessageBox (warning, errorTitle, withIncompleteFirmwareNote (failed, runner));
}

void runFirmwareUpdate (LumManager49& manager, const juce::String& path)
{
    runFirmwareUpdate (manager, path, defaultDialogService());
}
