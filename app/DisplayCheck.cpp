#include "app/DisplayCheck.h"

#include <juce_events/juce_events.h>

#include <cstdio>

int runWithDisplay (const char* programName, int argc, char* argv[], juce::JUCEApplicationBase* (*create)())
{
    if (const auto problem = whyNoDisplay())
    {
        std::fprintf (stderr, "%s needs a graphical display, but %s.\n"
                              "Start it from a desktop session, or over ssh with X forwarding (ssh -X).\n",
                      programName, problem->toRawUTF8());
        return 1;
    }

    juce::JUCEApplicationBase::createInstance = create;
   #if JUCE_WINDOWS
    // A Windows GUI program's JUCE reads its arguments from GetCommandLineW itself.
    juce::ignoreUnused (argc, argv);
    return juce::JUCEApplicationBase::main();
   #else
    return juce::JUCEApplicationBase::main (argc, (const char**) argv);
   #endif
}
