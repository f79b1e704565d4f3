#include "cli/ProgressLine.h"

#include <cstdio>
#include <unistd.h>

namespace
{
    constexpr int barWidth = 30;
}

ProgressLine::ProgressLine (juce::String w) : what (std::move (w)), toTerminal (::isatty (STDERR_FILENO) != 0) {}

ProgressLine::~ProgressLine()
{
    finish();
}

void ProgressLine::show (double fraction)
{
    const auto percent = juce::jlimit (0, 100, juce::roundToInt (fraction * 100.0));
    const std::lock_guard<std::mutex> lock (mutex);

    if (finished)
        return;

    if (toTerminal)
    {
        if (percent == lastShown)
            return;

        const auto filled = percent * barWidth / 100;
        std::fprintf (stderr, "\r%-10s [%s%s] %3d%%", what.toRawUTF8(), std::string ((size_t) filled, '#').c_str(),
                      std::string ((size_t) (barWidth - filled), '.').c_str(), percent);
    }
    else
    {
        const auto step = percent / 10 * 10;

        if (step <= lastShown)
            return;

        std::fprintf (stderr, "%s: %d%%\n", what.toRawUTF8(), step);
        lastShown = step;
        std::fflush (stderr);
        return;
    }

    lastShown = percent;
    std::fflush (stderr);
}

void ProgressLine::finish()
{
    const std::lock_guard<std::mutex> lock (mutex);

    if (finished)
        return;

    finished = true;

    if (toTerminal && lastShown >= 0)
        std::fprintf (stderr, "\n");
}
