#pragma once

#include "testing/FrameChecks.h"

#include <juce_events/juce_events.h>

#include <cstdio>
#include <cstdlib>

// Shared by the fuzz targets: JUCE set up once, and a check that stops the run.
// The frame checks come from the tests' FrameChecks.h.

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
