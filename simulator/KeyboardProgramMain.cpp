// konsolion-keyboard: the simulated Vantor 49 at the far end of a USB cable, on the raw
// MIDI device of a USB MIDI gadget, for checks of the program over the real MIDI stack.

#include "device/SendAllPlan.h"
#include "documents/SettingsFile.h"
#include "simulator/KeyboardCommandPipe.h"
#include "simulator/KeyboardProgramOptions.h"
#include "simulator/KeyboardStateFile.h"
#include "simulator/RawMidiBridge.h"

#include <alsa/asoundlib.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace
{
    /** SIGINT and SIGTERM end the program; blocked in every thread, taken by sigwait. */
    sigset_t endingSignals()
    {
        sigset_t signals;
        sigemptyset (&signals);
        sigaddset (&signals, SIGINT);
        sigaddset (&signals, SIGTERM);
        return signals;
    }

    // A pulled cable makes alsa-lib print its failed calls; the log says what happened.
    void ignoreAlsaErrors (const char*, int, const char*, int, const char*, ...) {}

    int failWith (int status, const juce::String& text)
    {
        std::fprintf (stderr, "konsolion-keyboard: %s\n", text.toRawUTF8());
        return status;
    }

    /** The frames "Send to Keyboard" sends for a settings file, as the frame log writes them. */
    int printSendPlan (const juce::File& file)
    {
        auto model = SettingsModel::catalogueDefaults();

        if (const auto loaded = loadSettingsFile (file, model); loaded.failed())
            return failWith (4, file.getFullPathName() + ": " + loaded.getErrorMessage());

        for (const auto& frame : planSendAll (model).frames)
            std::printf ("%s\n", FrameLog::hexOf (frame).toRawUTF8());

        return 0;
    }

    void saveFirmware (const SimulatedKeyboard& keyboard, const juce::File& file, FrameLog& log)
    {
        const auto bootloader = keyboard.getBootloaderState();
        const auto& image = bootloader.getImage();

        if (file == juce::File() || ! image.has_value())
            return;

        if (! file.replaceWithData (image->data(), image->size()))
            log.note ("the firmware image was not written to " + file.getFullPathName());
    }

    void applyFaults (SimulatedKeyboard& keyboard, const KeyboardProgramOptions& options)
    {
        keyboard.setFaults (options.faults);
        keyboard.setBootloaderFaults (options.bootloaderFaults, options.bootloaderAnswerDelayMs);
    }
}

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    KeyboardProgramOptions options;

    if (const auto problem = KeyboardProgramOptions::parse (arguments, options))
        return failWith (2, *problem + "\n" + KeyboardProgramOptions::usage());

    if (options.help)
    {
        std::printf ("%s", KeyboardProgramOptions::usage().toRawUTF8());
        return 0;
    }

    if (options.sendPlanOf != juce::File())
        return printSendPlan (options.sendPlanOf);

    if (! options.gadgetDirectory.isDirectory())
        return failWith (3, "no gadget at " + options.gadgetDirectory.getFullPathName());

    snd_lib_error_set_handler (ignoreAlsaErrors);
    const auto signals = endingSignals();
    pthread_sigmask (SIG_BLOCK, &signals, nullptr);   // before any thread starts, so every one inherits it

    VirtualMidiPortSystem ports;
    SimulatedKeyboard keyboard (ports);

    if (options.stateFile != juce::File())
        if (const auto loaded = loadKeyboardState (options.stateFile, keyboard); loaded.failed())
            return failWith (4, options.stateFile.getFullPathName() + ": " + loaded.getErrorMessage());

    applyFaults (keyboard, options);

    FrameLog log (options.logPath);

    if (options.logPath.isNotEmpty() && ! log.isOpen())
        return failWith (4, "cannot write the log " + options.logPath);

    UsbGadget gadget (options.gadgetDirectory, options.controller);
    RawMidiBridge bridge (ports, keyboard, gadget, options.rawMidiDevice, log);
    const auto saveState = [&] {
        if (options.stateFile != juce::File())
            if (const auto saved = saveKeyboardState (keyboard, options.stateFile); saved.failed())
                log.note ("the state was not saved: " + saved.getErrorMessage());
    };

    std::unique_ptr<KeyboardCommandPipe> commands;

    if (options.commandFifo.isNotEmpty())
    {
        commands = std::make_unique<KeyboardCommandPipe> (options.commandFifo, keyboard,
            KeyboardCommands::Actions { saveState, [] { kill (getpid(), SIGTERM); } },
            [&log] (const juce::String& problem) { log.note (problem); });

        if (! commands->isOpen())
            return failWith (4, "cannot read commands from " + options.commandFifo);
    }

    bridge.start();

    int signal = 0;
    sigwait (&signals, &signal);

    commands.reset();
    bridge.stop();
    saveState();
    saveFirmware (keyboard, options.firmwareOut, log);
    log.note ("stopped");
    return 0;
}
