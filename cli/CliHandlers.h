#pragma once

#include "cli/CliOptions.h"

// The handlers of konsolion-cli's commands; each answers the exit status.

int runPorts (const CliOptions& options, const juce::StringArray& arguments);
int runBackup (const CliOptions& options, const juce::StringArray& arguments);
int runRestore (const CliOptions& options, const juce::StringArray& arguments);
int runVerify (const CliOptions& options, const juce::StringArray& arguments);
int runDiff (const CliOptions& options, const juce::StringArray& arguments);
int runChart (const CliOptions& options, const juce::StringArray& arguments);
int runFlash (const CliOptions& options, const juce::StringArray& arguments);
int runClashes (const CliOptions& options, const juce::StringArray& arguments);
int runMonitor (const CliOptions& options, const juce::StringArray& arguments);
