// konsolion-cli: back up, restore, verify, compare and flash the keyboard from a terminal.

#include "cli/CliCommands.h"
#include "cli/KeyboardSession.h"

#include <juce_events/juce_events.h>

#include <csignal>

namespace
{
    void interrupt (int)
    {
        KeyboardSession::interrupted = true;
    }

    /** Ctrl+C ends the command cleanly: nothing more is sent, and it says what it left. */
    void catchInterrupt()
    {
        struct sigaction action {};
        action.sa_handler = interrupt;
        sigemptyset (&action.sa_mask);
        sigaction (SIGINT, &action, nullptr);
        sigaction (SIGTERM, &action, nullptr);
    }
}

int main (int argc, char* argv[])
{
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));

    // Timers and waits need JUCE's message loop on this thread; no window, no display.
    const juce::ScopedJuceInitialiser_GUI juce;
    catchInterrupt();
    return runCommandLine (arguments);
}
