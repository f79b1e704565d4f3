#pragma once

#include <juce_core/juce_core.h>

// What the writer's system-specific halves (DocumentWriter_posix.cpp, _windows.cpp)
// share with its common part.

/** A path as the user's messages quote it. */
inline juce::String quoted (const juce::File& file)   { return "\"" + file.getFullPathName() + "\""; }

/** Why an existing file cannot be read, in the system's own terms; ok when it can. */
juce::Result checkReadPermission (const juce::File& file);
