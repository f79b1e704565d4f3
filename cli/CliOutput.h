#pragma once

#include "cli/KeyboardSession.h"
#include "device/ModelComparison.h"

#include <optional>

// What konsolion-cli's commands print and how they end: results on standard output, one
// line of reason on standard error, the exit statuses of CliExitCode.h.

/** Says why on standard error; answers the status. */
int fail (int status, const juce::String& text);

/** One line of result on standard output. */
void say (const juce::String& text);

/** {"count": n, "<name>": [...]} on one line. */
void sayCountedList (const char* name, const juce::Array<juce::var>& list);

/** A path given on the command line, from the working folder. */
juce::File fileArgument (const juce::String& path);

/** A settings file, or the exit status and the line that say why not. */
std::optional<SettingsModel> loadFile (const juce::String& path, int& status);

/** One a line, or as JSON; answers the exit status: differences found or not. */
int printDifferences (const std::vector<ModelDifference>& differences, const ComparedSides& sides, bool json);

/** "84 controls, 6 globals", then what could not be checked. */
juce::String describeCounts (const ComparedCounts& counts);

/** A session linked to the keyboard, or the exit status and the line that say why not. */
std::unique_ptr<KeyboardSession> connectedSession (const CliOptions& options, int& status);

/** Why a read did not complete, as the exit status and its line. */
int readFailure (KeyboardReader::Outcome outcome, const juce::String& when);

/** The keyboard's configuration read with progress on standard error, or the exit status. */
std::optional<SettingsModel> readKeyboard (KeyboardSession& session, int& status);

/** What a restore's verified send came to, as the exit status and what it printed. */
int reportRestore (const VerifiedSendReport& report, bool json);
