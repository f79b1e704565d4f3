// konsolion-bench: wall-clock medians of the device link's paced transfers against
// their floors, all measured in one run on the simulated keyboard.
//     konsolion-bench [runs] [live]     (live: only the touch and live-edit measurements)

#include "bench/BenchSupport.h"
#include "bench/DeviceBenchmarks.h"
#include "bench/HotPlugBenchmarks.h"
#include "bench/KeyboardCheckBenchmarks.h"
#include "bench/LiveBenchmarks.h"

#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

void printResult (const juce::String& name, int runs, double medianMs, double floorMs, const juce::String& floorText)
{
    std::printf ("%-34s runs %2d  median %10.1f ms  floor %10.1f ms (%s)  ratio %.3f\n", name.toRawUTF8(), runs,
                 medianMs, floorMs, floorText.toRawUTF8(), floorMs > 0 ? medianMs / floorMs : 0.0);
    std::fflush (stdout);
}

int main (int argc, char** argv)
{
    const juce::ScopedJuceInitialiser_GUI juce;
    const int runs = argc > 1 ? std::max (1, std::atoi (argv[1])) : 7;

    if (argc > 2 && juce::String (argv[2]) == "live")
    {
        benchmarkTouchToPick (runs);
        benchmarkLiveEdit (runs);
        return 0;
    }

    benchmarkPause (runs);
    benchmarkSendAll (runs);
    benchmarkConfigurationRead (runs);
    benchmarkFirmwareTransfer (std::max (1, runs / 2));
    benchmarkPortPoll (runs);
    benchmarkPlugInToReadPanel (runs);
    benchmarkBackupAndRestore (runs);
    benchmarkVerifiedSend (runs);
    benchmarkFlashFlow (std::max (1, runs / 2));
    benchmarkTouchToPick (runs);
    benchmarkLiveEdit (runs);
    return 0;
}
