#include "app/DisplayCheck.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>

#include <cstdio>

#ifndef _WIN32
 #include <dlfcn.h>

namespace
{
    // JUCE loads the X libraries at run time and unloads them when it shuts down, so
    // what they still hold would be reported as leaked by LeakSanitizer, with no way to
    // tell which library it was. Kept loaded, their memory stays reachable.
    void keepXLibrariesLoaded()
    {
        for (const char* library : { "libX11.so.6", "libXext.so.6", "libXcursor.so.1", "libXinerama.so.1",
                                     "libXrender.so.1", "libXrandr.so.2" })
            dlopen (library, RTLD_NOW | RTLD_GLOBAL | RTLD_NODELETE);
    }
}
#else
namespace
{
    void keepXLibrariesLoaded() {}   // Windows draws without X
}
#endif

int main (int argc, char** argv)
{
    ::testing::InitGoogleTest (&argc, argv);

    // The panels, pictures and progress windows under test need a display; without one
    // JUCE would crash inside its window system in the middle of a test.
    const bool onlyListing = ::testing::GTEST_FLAG (list_tests);

    if (const auto problem = onlyListing ? std::nullopt : whyNoDisplay())
    {
        std::fprintf (stderr, "konsolion_tests needs a graphical display, but %s.\n"
                              "Run it through scripts/with-display (scripts/test does).\n", problem->toRawUTF8());
        return 1;
    }

    keepXLibrariesLoaded();

    // Component and message-loop tests need JUCE's message manager on this thread.
    const juce::ScopedJuceInitialiser_GUI juce;
    return RUN_ALL_TESTS();
}
