#include "bench/HotPlugBenchmarks.h"

#include "bench/BenchSupport.h"
#include "device/HotPlugWatcher.h"
#include "editor/DialogService.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"

#include <cstdio>

namespace
{
    struct NoListener : HotPlugWatcher::Listener
    {
        void keyboardPortsVanished() override {}
    };

    constexpr int requestsOfTheRead = 1 + KeyboardReader::messagesSent;   // the probe, then the read
}

void benchmarkPortPoll (int runs)
{
    // Ten inputs and ten outputs, unchanged: what a look at the ports costs the message thread.
    VirtualMidiPortSystem ports;
    std::vector<std::shared_ptr<VirtualMidiPortSystem::Source>> sources;
    std::vector<std::shared_ptr<VirtualMidiPortSystem::Sink>> sinks;

    for (int i = 0; i < 10; ++i)
    {
        sources.push_back (ports.addSource ("Device " + juce::String (i) + " MIDI 1"));
        sinks.push_back (ports.addSink ("Device " + juce::String (i) + " MIDI 1", {}));
    }

    LumManager49 manager (ports);
    NoListener listener;
    HotPlugWatcher watcher (manager, listener);
    watcher.start();
    watcher.stop();

    constexpr int polls = 2000;
    std::vector<double> perPollUs;

    for (int run = 0; run < runs; ++run)
        perPollUs.push_back (millisecondsOf ([&] { for (int i = 0; i < polls; ++i) watcher.poll(); }) * 1000.0 / polls);

    std::printf ("%-34s runs %2d  median %10.2f us per look (ten inputs, ten outputs, every %d ms: %.5f%% of the message thread)\n",
                 "port-list look, unchanged", runs, median (perPollUs), HotPlugWatcher::pollPeriodMs,
                 median (perPollUs) / 1000.0 / HotPlugWatcher::pollPeriodMs * 100.0);
}

void benchmarkPlugInToReadPanel (int runs)
{
    std::vector<double> times;

    for (int run = 0; run < runs; ++run)
    {
        VirtualStudio studio;
        auto& keyboard = studio.getKeyboard();
        keyboard.vanish();

        UnattendedDialogs dialogs;
        KbdSettingComponentVR49 panel (studio.getPorts(), dialogs);
        auto& manager = panel.getDeviceManager();

        // The start-up search runs out at once on a driven clock; from then on the real one.
        juce::uint32 fakeNow = juce::Time::getMillisecondCounter();
        manager.setMillisecondClock ([&fakeNow] { return fakeNow; });
        while (manager.isSearching())
        {
            fakeNow += 2000;
            manager.timerCallback();
        }
        manager.setMillisecondClock ([] { return juce::Time::getMillisecondCounter(); });
        pumpMessagesUntil ([] { return false; }, 50 + 300 * run % 1700);   // plugged in at another moment each run

        const auto ms = millisecondsOf ([&] {
            keyboard.reappear();
            pumpMessagesUntil ([&] {
                return keyboard.getReceivedCount() >= (size_t) requestsOfTheRead && ! panel.isReadingBack()
                       && manager.isConnected();
            }, 10000);
        });

        times.push_back (ms);
    }

    printResult ("plugged in to a read panel", runs, median (times), HotPlugWatcher::pollPeriodMs + 2.0 * 20,
                 "one look period + 20 requests x 2 ms");
}
