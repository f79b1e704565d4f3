#pragma once

#include <juce_core/juce_core.h>

#include <mutex>

/** Progress on standard error: a bar redrawn in place when it is a terminal, plain
    lines every ten percent when it is not (a log, a pipe). */
class ProgressLine
{
public:
    explicit ProgressLine (juce::String what);
    ~ProgressLine();

    /** 0 to 1; any thread. */
    void show (double fraction);

    /** Ends the line (a terminal's bar is left at its last state). */
    void finish();

private:
    const juce::String what;
    const bool toTerminal;
    std::mutex mutex;
    int lastShown = -1;
    bool finished = false;
};
