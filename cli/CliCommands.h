#pragma once

#include "cli/CliOptions.h"

#include <vector>

/** One command of konsolion-cli. --help and the bash completion are made from this table. */
struct CliCommand
{
    const char* name;
    const char* arguments;   // as --help shows them: "FILE.vr49", "A.vr49 B.vr49"
    const char* help;
    int (*run) (const CliOptions& options, const juce::StringArray& arguments);

    /** The arguments' words, and the file extensions the completion offers for them. */
    juce::StringArray argumentWords() const;
};

const std::vector<CliCommand>& cliCommandTable();

juce::String cliUsageText();
juce::String cliBashCompletion();

/** Runs the whole command line; answers the exit status. */
int runCommandLine (const juce::StringArray& arguments);
