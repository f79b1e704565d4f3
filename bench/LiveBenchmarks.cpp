#include "bench/LiveBenchmarks.h"

#include "bench/LinkedEditor.h"
#include "keyboard_view/VR49CtrlPickerComponent.h"

#include <atomic>
#include <cstdio>
#include <thread>

namespace
{
    double percentile (std::vector<double> values, double fraction)
    {
        std::sort (values.begin(), values.end());
        return values[(size_t) juce::jlimit (0, (int) values.size() - 1, (int) (fraction * (double) values.size()))];
    }

    /** A fader swept up and down at about 1,000 messages a second from a thread of its own,
        as a hand on the keyboard would. */
    struct Sweep
    {
        Sweep (SimulatedKeyboard& k, ItemId f) : keyboard (k), fader (f) {}

        void start()
        {
            running = true;
            thread = std::thread ([this] {
                for (int i = 0; running; ++i)
                {
                    keyboard.playControl (fader, std::abs (i % 254 - 127));
                    std::this_thread::sleep_for (std::chrono::microseconds (1000));
                    ++sent;
                }
            });
        }

        void stop()
        {
            running = false;
            if (thread.joinable())
                thread.join();
        }

        SimulatedKeyboard& keyboard;
        ItemId fader;
        std::atomic<bool> running { false };
        std::atomic<int> sent { 0 };
        std::thread thread;
    };

    struct TouchTimes
    {
        std::vector<double> latencies;
        double longestStallMs = 0;
    };

    /** Touches two knobs in turn, each with a new value, and times each until the editor
        shows that value on the control it picked; the longest gap between two turns of the
        message loop is its longest stall. */
    TouchTimes touchKnobs (LinkedEditor& editor, int touches)
    {
        auto& keyboard = editor.studio.getKeyboard();
        auto& levels = editor.panel.getKeyboardPicture().getLiveLevels();
        TouchTimes times;

        juce::Random random (42);

        for (int i = 0; i < touches; ++i)
        {
            // A hand is not in step with the editor's frames: each touch comes at a time of its own.
            pumpMessagesUntil ([] { return false; }, random.nextInt (20));
            const ItemId knob = i % 2 == 0 ? 1 : 33;
            const auto value = 1 + i % 126;
            const auto start = std::chrono::steady_clock::now();
            auto lastTurn = start;
            keyboard.playControl (knob, value);

            const auto shown = [&] { return std::abs (levels.levelOf (knob) - (float) value / 127.0f) < 1e-4f; };

            while (! shown())
            {
                juce::MessageManager::getInstance()->runDispatchLoopUntil (1);
                const auto now = std::chrono::steady_clock::now();
                times.longestStallMs = std::max (times.longestStallMs, std::chrono::duration<double, std::milli> (now - lastTurn).count());
                lastTurn = now;

                if (now - start > std::chrono::seconds (2))
                    break;
            }

            times.latencies.push_back (std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count());
        }

        return times;
    }
}

void benchmarkTouchToPick (int runs)
{
    LinkedEditor editor;
    const int touches = 50 * runs;
    const auto quiet = touchKnobs (editor, touches);

    const auto frameMs = 1000.0 / 60.0;
    printResult ("Touch to pick, median", touches, median (quiet.latencies), frameMs, "one frame at 60 Hz");
    printResult ("Touch to pick, 99th percentile", touches, percentile (quiet.latencies, 0.99), frameMs, "one frame at 60 Hz");

    Sweep sweep (editor.studio.getKeyboard(), 11);   // "Bnk1:F1 - FILT. A"
    sweep.start();
    const auto swept = touchKnobs (editor, touches);
    sweep.stop();

    printResult ("Touch to pick in a sweep, median", touches, median (swept.latencies), frameMs, "one frame at 60 Hz");
    printResult ("Touch to pick in a sweep, 99th", touches, percentile (swept.latencies, 0.99), frameMs, "one frame at 60 Hz");
    printResult ("Longest stall in the sweep", touches, swept.longestStallMs, frameMs, "one frame at 60 Hz");
    std::printf ("  (the sweep sent %d messages)\n", sweep.sent.load());
}

void benchmarkLiveEdit (int runs)
{
    LinkedEditor editor;
    auto& panel = editor.panel;
    panel.actionListenerCallback ("0x01");
    panel.getLiveFollower().getSendLiveToggle().setToggleState (true, juce::dontSendNotification);
    auto* numberCombo = dynamic_cast<juce::ComboBox*> (panel.getWidgets()[9]);
    std::vector<double> times;
    const int edits = 10 * runs;

    for (int i = 0; i < edits; ++i)
    {
        times.push_back (millisecondsOf ([&] { numberCombo->setSelectedItemIndex (20 + i % 2, juce::sendNotificationSync); }));

        if (! panel.getStatusText().startsWith ("Sent and checked"))
            std::printf ("live edit: %s\n", panel.getStatusText().toRawUTF8());
    }

    printResult ("Live edit, sent and checked", edits, median (times), 3 * 2.0,
                 "2 frames x 2 ms + 1 request x 2 ms");
}
