#pragma once

#include "cli/KeyboardSession.h"

/** A port named on the command line: its full name, or why it names none. */
struct PortNameMatch
{
    juce::String name;
    std::optional<CliFailure> failure;
};

/** The port whose name is exactly `text`; else the one port whose name contains it,
    ignoring case. Two or more such ports are a usage error that names them; none is
    no keyboard. `kind` is "input" or "output". */
PortNameMatch matchPortName (const juce::StringArray& listed, const juce::String& text, const juce::String& kind);
