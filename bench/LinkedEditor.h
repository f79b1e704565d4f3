#pragma once

#include "bench/BenchSupport.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"

/** The editor's panel linked to the simulated keyboard, its read done and taken in. */
struct LinkedEditor
{
    LinkedEditor()
    {
        auto& manager = panel.getDeviceManager();
        const auto now = juce::Time::getMillisecondCounter() + 2000;
        manager.setMillisecondClock ([now] { return now; });
        manager.timerCallback();   // straight to the keyboard's output
        pumpMessagesUntil ([&] { return manager.isConnected() && ! panel.isReadingBack()
                                        && studio.getKeyboard().getReceivedCount() >= 1 + KeyboardReader::messagesSent; }, 5000);
        pumpMessagesUntil ([] { return false; }, 200);   // the read's model handed over
    }

    VirtualStudio studio;
    UnattendedDialogs dialogs;
    KbdSettingComponentVR49 panel { studio.getPorts(), dialogs };
};
