#include "app/DisplayCheck.h"
#include "simulator/app/SimulatorApp.h"
#include "simulator/app/SimulatorOptions.h"

#include <cstdio>

namespace
{
    juce::JUCEApplicationBase* createApplication()   { return new SimulatorApp(); }
}

int main (int argc, char* argv[])
{
    // The options are looked at before anything needs a display: --help works without one.
   #if JUCE_WINDOWS
    // argv is in the ANSI code page there; the wide command line holds every file name.
    const auto arguments = juce::JUCEApplicationBase::getCommandLineParameterArray();
   #else
    juce::StringArray arguments;

    for (int i = 1; i < argc; ++i)
        arguments.add (juce::String::fromUTF8 (argv[i]));
   #endif

    SimulatorOptions options;

    if (const auto problem = SimulatorOptions::parse (arguments, options))
    {
        std::fprintf (stderr, "konsolion-sim: %s\n\n%s", problem->toRawUTF8(), SimulatorOptions::usage().toRawUTF8());
        return 2;
    }

    if (options.help)
    {
        std::printf ("%s", SimulatorOptions::usage().toRawUTF8());
        return 0;
    }

    return runWithDisplay ("konsolion-sim", argc, argv, createApplication);
}
