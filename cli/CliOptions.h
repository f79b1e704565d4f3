#pragma once

#include <juce_core/juce_core.h>

#include <optional>

/** What the command line asks for, besides the command and its arguments. */
struct CliOptions
{
    bool simulate = false;
    juce::String simulatedFault;     // empty, "absent", "drop-answer", "vanish-mid-send", "refuse-block", "busy", "update-mode", "no-return"
    juce::File keyboardState;        // with --simulate: the simulated keyboard's configuration between runs
    juce::String inputPort, outputPort;
    juce::String commandFifo;        // with --simulate: a named pipe whose lines play the simulated keyboard
    bool json = false;
    bool yes = false;
    bool verbose = false;            // the firmware transfer's diagnostic lines on standard error
    juce::File backupFile;           // flash: where the configuration read before the update goes
    bool restore = false;            // flash: send the kept configuration back once the keyboard is back
    int waitSeconds = 30;            // flash: how long the keyboard is waited for after the update
    bool help = false;
    bool version = false;
    bool bashCompletion = false;

    juce::StringArray words;         // the command and its arguments

    /** The options in `arguments`; a problem (unknown option, missing value) as a message. */
    static std::optional<juce::String> parse (const juce::StringArray& arguments, CliOptions& options);
};

/** One option, for --help and the completion. */
struct CliOptionHelp
{
    const char* name;
    const char* argument;   // empty when it takes none
    const char* help;
};

const std::vector<CliOptionHelp>& cliOptionTable();
