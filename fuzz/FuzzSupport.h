#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: JUCE set up once, and a check that stops the run.

inline void initialiseJuceOnce()
{
    static auto* juce = new juce::ScopedJuceInitialiser_GUI();   // lives for the whole run
    (void) juce;
}

#define FUZZ_CHECK(condition)                                                     \
    do                                                                            \
    {                                                                             \
        if (! (condition))                                                        \
        {                                                                         \
            std::fprintf (stderr, "check failed: %s (%s:%d)\n", #condition,      \
                          __FILE__, __LINE__);                                    \
            std::abort();                                                         \
        }                                                                         \
    } while (false)

/** True when every byte between F0 and F7 is a data byte. */
inline bool sysExCarriesOnlyDataBytes (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();

    if (size < 2 || data[0] != 0xF0 || data[size - 1] != 0xF7)
        return false;

    for (int i = 1; i < size - 1; ++i)
        if (data[i] >= 0x80)
            return false;

    return true;
}
