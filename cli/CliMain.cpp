// konsolion-cli: back up, restore, verify, compare and flash the keyboard from a terminal.

#include "cli/CliCommands.h"
#include "cli/InterruptCatcher.h"

#include <juce_events/juce_events.h>

int main (int argc, char* argv[])
{
   #if JUCE_WINDOWS
    // argv is in the ANSI code page there; the wide command line holds every file name.
    juce::ignoreUnused (argc, argv);
    const auto arguments = juce::JUCEApplicationBase::getCommandLineParameterArray();
   #else
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));
   #endif

    // Timers and waits need JUCE's message loop on this thread; no window, no display.
    const juce::ScopedJuceInitialiser_GUI juce;
    catchInterrupt();
    return runCommandLine (arguments);
}
