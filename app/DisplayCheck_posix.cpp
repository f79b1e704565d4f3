#include "app/DisplayCheck.h"

#include <juce_events/juce_events.h>

#include <cstdlib>
#include <dlfcn.h>

std::optional<juce::String> whyNoDisplay()
{
    const char* name = std::getenv ("DISPLAY");

    if (name == nullptr || *name == 0)
        return juce::String ("DISPLAY is not set");

    // libX11 is loaded the way JUCE loads it, at run time.
    void* x11 = dlopen ("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);

    if (x11 == nullptr)
        return juce::String ("the X11 library (libX11.so.6) cannot be loaded");

    using OpenDisplay = void* (*) (const char*);
    using CloseDisplay = int (*) (void*);
    const auto openDisplay = reinterpret_cast<OpenDisplay> (dlsym (x11, "XOpenDisplay"));
    const auto closeDisplay = reinterpret_cast<CloseDisplay> (dlsym (x11, "XCloseDisplay"));

    std::optional<juce::String> problem;

    if (openDisplay == nullptr || closeDisplay == nullptr)
        problem = juce::String ("the X11 library (libX11.so.6) is not usable");
    else if (void* display = openDisplay (name))
        closeDisplay (display);
    else
        problem = "the display \"" + juce::String (name) + "\" cannot be opened";

    dlclose (x11);
    return problem;
}
