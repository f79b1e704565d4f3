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
    const char* const configurationKept = "Your keyboard's configuration was read and will be offered back after the update";
    const char* const saveACopy = "Save a Copy...";
    const char* const tryAgain = "Try Again";
    const char* const close = "Close";

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
      manager (&managerToUse)
{
    progressRelay.startTimer (50);
}

FileChoice UpdaterRunner::firmwareChoice()
{
    return { "Please select the firmware file to burn...", juce::File::getSpecialLocation (juce::File::userHomeDirectory),
             "Vantor*.bin" };
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

namespace
{
    /** The first box: into update mode, with the copy of the kept configuration on offer.
        False when the user cancelled. */
    bool askForUpdateMode (const FirmwareUpdateRequest& request, DialogService& dialogs)
    {
        using namespace FirmwareDialogTexts;
        const auto warning = juce::MessageBoxIconType::WarningIcon;

        if (! request.configurationKept)
            return dialogs.showOkCancelBox (warning, enterUpdateModeTitle, enterUpdateModeMessage(), "OK", "Cancel");

        const auto message = enterUpdateModeMessage() + "\n\n" + configurationKept + ".";

        for (;;)
        {
            switch (dialogs.showYesNoCancelBox (warning, enterUpdateModeTitle, message, "OK", saveACopy, "Cancel"))
            {
                case 1:  return true;
                case 2:  if (request.saveACopy) request.saveACopy(); break;   // then the box again
                default: return false;
            }
        }
    }

    /** One transfer on the bootloader; what it came to, told. True when it completed;
        `tryAgain` is set when the user asks for another go. */
    bool transferOnce (LumManager49& manager, const juce::String& path, DialogService& dialogs, bool& tryAgain,
                       juce::String* bootloaderUsed)
    {
        using namespace FirmwareDialogTexts;
        const auto warning = juce::MessageBoxIconType::WarningIcon;
        tryAgain = false;

        UpdaterRunner runner (manager);
        runner.firmwarePath = path;

        if (! attachUpdatePort (&runner, updatePort, manager))
        {
            dialogs.showMessageBox (warning, errorTitle, portNotFound);
            return false;
        }

        const bool ranToTheEnd = dialogs.runThreadWithProgressWindow (runner);

        // A cancel while the last block was being answered can still have completed the
        // update: what the bootloader answered decides the box, not the button.
        if (runner.didBurnSucceed())
        {
            if (bootloaderUsed != nullptr)
                *bootloaderUsed = manager.getPortSystem().outputIdentifierOf (manager.getOutputPortName());

            dialogs.showMessageBox (juce::MessageBoxIconType::InfoIcon, resultTitle, succeeded);
            return true;
        }

        const auto text = withIncompleteFirmwareNote (ranToTheEnd ? failed : cancelled, runner);
        tryAgain = dialogs.showOkCancelBox (warning, errorTitle, text, FirmwareDialogTexts::tryAgain,
                                            FirmwareDialogTexts::close);
        return false;
    }
}

bool runFirmwareUpdate (LumManager49& manager, const FirmwareUpdateRequest& request, DialogService& dialogs)
{
    const SearchAgainAfterwards searchAgain { manager };

    if (! request.keyboardInUpdateMode && ! askForUpdateMode (request, dialogs))
        return false;

    auto path = request.path;

    if (path.isEmpty())
    {
        const auto file = dialogs.browseForFileToOpen (UpdaterRunner::firmwareChoice());

        if (! file.has_value())
            return false;

        path = file->getFullPathName();
    }

    // Each try is a runner of its own; its end detaches the update port, and the next one
    // attaches it again on the bootloader that is still there.
    for (bool again = true; again;)
        if (transferOnce (manager, path, dialogs, again, request.bootloaderUsed))
            return true;

    return false;
}

void runFirmwareUpdate (LumManager49& manager, const juce::String& path, DialogService& dialogs)
{
    FirmwareUpdateRequest request;
    request.path = path;
    runFirmwareUpdate (manager, request, dialogs);
}

void runFirmwareUpdate (LumManager49& manager, const juce::String& path)
{
    runFirmwareUpdate (manager, path, defaultDialogService());
}
