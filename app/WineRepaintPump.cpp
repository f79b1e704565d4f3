#include "app/WineRepaintPump.h"

#include <juce_gui_basics/juce_gui_basics.h>

#if JUCE_WINDOWS
 #include <windows.h>
#endif

namespace
{
    struct RepaintPump : juce::Timer
    {
        void timerCallback() override
        {
            for (int i = juce::ComponentPeer::getNumPeers(); --i >= 0;)
                if (auto* peer = juce::ComponentPeer::getPeer (i))
                    peer->performAnyPendingRepaintsNow();
        }
    };
}

bool isRunningUnderWine()
{
   #if JUCE_WINDOWS
    const auto ntdll = GetModuleHandleW (L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress (ntdll, "wine_get_version") != nullptr;
   #else
    return false;
   #endif
}

std::unique_ptr<juce::Timer> startRepaintPumpUnderWine()
{
    if (! isRunningUnderWine())
        return nullptr;

    auto pump = std::make_unique<RepaintPump>();
    pump->startTimerHz (60);
    return pump;
}
