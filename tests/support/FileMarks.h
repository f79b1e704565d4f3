#pragma once

#include <juce_core/juce_core.h>

/** What a save must keep of the file it replaces, made and read the system's way: the
    permission bits 0640 on POSIX, the hidden attribute on Windows. */
void markForKeeping (const juce::File& file);

/** The file's permission bits (POSIX) or its attributes a save keeps (Windows). */
unsigned markOf (const juce::File& file);

/** What markOf answers for a file markForKeeping marked. */
unsigned keptMark();

/** Takes away the right to write the file (its write bits; its read-only attribute). */
void makeReadOnly (const juce::File& file);
