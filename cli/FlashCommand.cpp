#include "cli/CliExitCode.h"
#include "cli/CliHandlers.h"
#include "cli/CliOutput.h"
#include "cli/KeyboardSession.h"
#include "cli/ProgressLine.h"
#include "device/BootloaderPortName.h"
#include "documents/DocumentWriter.h"
#include "documents/SettingsFile.h"
#include "firmware/ConfigurationKeeper.h"
#include "firmware/FirmwareBurner.h"
#include "firmware/FirmwareImage.h"
#include "firmware/UpdatePort.h"
#include "simulator/SimulatedKeyboard.h"

#include <cstdio>
#include <iostream>

// konsolion-cli flash: the keyboard's configuration read and kept first, the image through
// the bootloader, the keyboard waited for until it is back, and the configuration restored
// (--restore) or compared.

namespace
{
    /** Why an image cannot be flashed, before anything is sent; nothing when it can. */
    std::optional<juce::String> checkImage (const juce::File& image)
    {
        if (const auto readable = checkReadable (image); readable.failed())
            return readable.getErrorMessage();

        if (image.getSize() == 0)
            return juce::String ("the image is empty");

        if (blockCountFor (packedSizeFor (image.getSize())) > FirmwareLayout::maxBlockCount)
            return juce::String ("the image is too long for the bootloader (at most 58720228 bytes)");

        juce::FileInputStream in (image);

        if (! in.openedOk())
            return in.getStatus().getErrorMessage();

        return std::nullopt;
    }

    bool userConfirms (const CliOptions& options, bool alreadyInUpdateMode)
    {
        if (options.yes)
            return true;

        std::fprintf (stderr, "%s", alreadyInUpdateMode
                                        ? "A keyboard in update mode is connected.\nFlash it now? [y/N] "
                                        : "Unplug the keyboard, then plug it in again while holding \"Sound\", \"Multi\" "
                                          "and \"Edit\".\nFlash it now? [y/N] ");
        std::fflush (stderr);

        std::string answer;
        if (! std::getline (std::cin, answer))
            return false;

        return answer == "y" || answer == "Y" || answer == "yes";
    }

    struct BurnThread : juce::Thread
    {
        BurnThread (FirmwareBurner& b, juce::String p) : juce::Thread ("firmware worker"), burner (b), path (std::move (p)) {}
        void run() override   { succeeded = burner.burn (path); }

        FirmwareBurner& burner;
        const juce::String path;
        std::atomic<bool> succeeded { false };
    };

    constexpr juce::uint32 lookAtPortsEveryMs = 250;
    constexpr int updateModeWaitMs = 10000;      // the keyboard re-enumerating as its bootloader

    const juce::String incompleteFirmware ("the keyboard now holds an incomplete firmware: restart it in update mode "
                                           "and flash it again");

    /** Turns the message loop until the bootloader's port is listed, or the time is up. */
    bool waitForBootloader (KeyboardSession& session)
    {
        return KeyboardSession::waitUntil ([&session] {
            return findBootloaderOutput (session.getPorts().getOutputNames()).isNotEmpty();
        }, updateModeWaitMs);
    }

    /** The transfer on its worker thread, watched: Ctrl+C stops it, and so does the
        bootloader going away. */
    struct TransferResult
    {
        bool succeeded = false, wentAway = false, started = false;
    };

    TransferResult transfer (KeyboardSession& session, const juce::File& image, const CliOptions& options)
    {
        ProgressLine progress ("flashing");
        FirmwareBurner burner (session.getManager(), [&progress] (double fraction) { progress.show (fraction); });

        // The transfer's diagnostic lines would break the progress bar: only --verbose shows them.
        burner.setTraceSink ([verbose = options.verbose] (const juce::String& line) {
            if (verbose)
                std::fprintf (stderr, "%s\n", line.toRawUTF8());
        });

        TransferResult result;

        if (! attachUpdatePort (&burner, "USB A", session.getManager()))
        {
            attachUpdatePort (nullptr, "USB A", session.getManager());
            return result;
        }

        BurnThread worker (burner, image.getFullPathName());
        worker.startThread();
        auto nextLookAtPorts = juce::Time::getMillisecondCounter();

        while (worker.isThreadRunning())
        {
            if (KeyboardSession::interrupted)
                worker.signalThreadShouldExit();   // nothing more is sent; the block in transit is waited out

            // A bootloader that is gone answers nothing: say so now, not after every block's retries.
            if (juce::Time::getMillisecondCounter() >= nextLookAtPorts)
            {
                nextLookAtPorts = juce::Time::getMillisecondCounter() + lookAtPortsEveryMs;

                if (! worker.succeeded && ! session.getManager().keyboardOutputIsListed())
                {
                    result.wentAway = true;
                    worker.signalThreadShouldExit();
                }
            }

            juce::MessageManager::getInstance()->runDispatchLoopUntil (20);
        }

        progress.finish();
        attachUpdatePort (nullptr, "USB A", session.getManager());
        result.succeeded = worker.succeeded;
        result.started = burner.didStartTransfer();
        return result;
    }

    /** Waits, bounded, for the keyboard to answer again in normal mode, and links it. */
    bool waitForTheKeyboard (KeyboardSession& session, int comeBackWaitMs)
    {
        ProgressLine progress ("waiting for the keyboard to come back");
        const auto start = juce::Time::getMillisecondCounter();
        auto lastLook = session.getPorts().getOutputDevices();
        bool back = false, firstLook = true;

        while (! back && ! KeyboardSession::interrupted
               && juce::Time::getMillisecondCounter() - start < (juce::uint32) comeBackWaitMs)
        {
            progress.show ((double) (juce::Time::getMillisecondCounter() - start) / comeBackWaitMs);

            // The keyboard is asked only when the ports changed (its new firmware plugs it in
            // again): a look at the list costs nothing, a probe half a second.
            const auto outputs = session.getPorts().getOutputDevices();

            if (firstLook || outputs != lastLook)
                back = ! session.connect().has_value();

            firstLook = false;
            lastLook = outputs;

            if (! back)
                KeyboardSession::waitUntil ([] { return false; }, 50);
        }

        progress.show (1.0);
        progress.finish();
        return back;
    }

    /** Where the configuration read before the update goes. */
    juce::File backupFileFor (const CliOptions& options, const juce::File& image)
    {
        if (options.backupFile != juce::File())
            return options.backupFile;

        return ConfigurationKeeper::defaultCopyIn (image.getParentDirectory(), juce::Time::getCurrentTime());
    }

    /** After the update: the kept configuration sent back and checked, or how the keyboard
        now differs from it. */
    int afterTheUpdate (KeyboardSession& session, const ConfigurationKeeper& keeper, const juce::File& backup,
                        const CliOptions& options)
    {
        if (options.restore)
        {
            ProgressLine progress ("restoring");
            const auto report = session.sendAndVerify (keeper.getKept(), [&progress] (double f) { progress.show (f); });
            progress.finish();
            return reportRestore (report, options.json);
        }

        int status = exitDone;
        const auto now = readKeyboard (session, status);

        if (! now.has_value())
            return status;

        const auto changes = keeper.compareWith (*now);

        if (! changes.any())
        {
            say ("the keyboard holds the configuration it had before the update");
            return exitDone;
        }

        say ("the keyboard now differs from its configuration before the update (" + backup.getFullPathName()
             + ") in " + changes.describe() + "; --restore sends it back:");
        printDifferences (changes.values, { "before the update", "now" }, options.json);
        return exitDone;
    }
}

int runFlash (const CliOptions& options, const juce::StringArray& arguments)
{
    const auto image = fileArgument (arguments[0]);

    // Nothing is sent to the bootloader unless the whole image was read and checked.
    if (const auto problem = checkImage (image))
        return fail (exitFileError, "\"" + image.getFullPathName() + "\": " + *problem);

    const auto backup = backupFileFor (options, image);
    KeyboardSession session (options);
    const bool inUpdateMode = findBootloaderOutput (session.getPorts().getOutputNames()).isNotEmpty();
    ConfigurationKeeper keeper;

    if (! inUpdateMode)
    {
        if (const auto writable = checkWritable (backup); writable.failed())
            return fail (exitFileError, "\"" + backup.getFullPathName() + "\": " + writable.getErrorMessage());

        if (const auto failure = session.connect())
            return fail (failure->status, failure->message + " (and no keyboard is in update mode)");

        int status = exitDone;
        const auto kept = readKeyboard (session, status);

        if (! kept.has_value())
            return status;

        keeper.keep (*kept);

        if (const auto saved = saveSettingsFile (*kept, backup); saved.failed())
            return fail (exitFileError, "\"" + backup.getFullPathName() + "\": " + saved.getErrorMessage());

        say ("kept the keyboard's configuration in " + backup.getFullPathName());
    }

    if (! userConfirms (options, inUpdateMode))
        return fail (exitCancelled, "not flashed");

    // As the real one, plugged in again holding the three keys; an absent one stays absent.
    if (auto* keyboard = session.getSimulatedKeyboard(); keyboard != nullptr && keyboard->isPresent() && ! inUpdateMode)
        keyboard->restartInUpdateMode();

    session.getManager().dropLink();

    if (! waitForBootloader (session))
        return fail (exitNoKeyboard, "no bootloader port (\"USB A\") found: is the keyboard in update mode?");

    const auto result = transfer (session, image, options);
    const auto note = result.started ? "; " + incompleteFirmware : juce::String();

    if (! result.succeeded)
    {
        if (KeyboardSession::interrupted)
            return fail (exitCancelled, "cancelled" + note);

        if (result.wentAway || ! result.started)
            return fail (exitNoKeyboard, "the keyboard went away during the update" + note);

        return fail (exitTransferFailed, "the bootloader did not take the whole image" + note);
    }

    say ("flashed " + image.getFileName() + ": the bootloader took the whole image");

    if (! waitForTheKeyboard (session, options.waitSeconds * 1000))
        return fail (KeyboardSession::interrupted ? exitCancelled : exitNoKeyboard,
                     "the keyboard did not come back in normal mode within " + juce::String (options.waitSeconds)
                         + " s" + (keeper.hasKept() ? " (its configuration before the update is in "
                                                          + backup.getFullPathName() + ")" : juce::String()));

    say ("the keyboard is back with the new firmware");
    return keeper.hasKept() ? afterTheUpdate (session, keeper, backup, options) : exitDone;
}
