#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** konsolion-sim's command line: the simulator's own options (the product has none). */
struct SimulatorOptions
{
    juce::String stateFile;      // --state-file PATH
    juce::String commandFifo;    // --commands FIFO
    bool noMonitor = false;      // --no-monitor
    bool unplugged = false;      // --unplugged
    bool help = false;           // --help, -h

    /** The options, or what is wrong with them. */
    static std::optional<juce::String> parse (const juce::StringArray& arguments, SimulatorOptions& options);

    /** What --help prints. */
    static juce::String usage();
};
