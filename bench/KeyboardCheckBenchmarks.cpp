#include "bench/KeyboardCheckBenchmarks.h"

#include "bench/BenchSupport.h"
#include "cli/KeyboardSession.h"
#include "device/ModelComparison.h"
#include "documents/SettingsFile.h"
#include "editor/DialogService.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/VirtualStudio.h"

namespace
{
    constexpr double readFloorMs = 20 * 2.0;   // 20 requests x 2 ms

    /** When the keyboard's identity reply came, from the search's start. */
    struct FirstAnswer : LumManagerListener
    {
        void managerEvent (int event, int, int, int) override
        {
            if (event == ManagerEvent::KeyboardConnected && answeredAt == 0)
                answeredAt = juce::Time::getMillisecondCounterHiRes();
        }

        std::atomic<double> answeredAt { 0 };
    };
}

void benchmarkBackupAndRestore (int runs)
{
    CliOptions options;
    options.simulate = true;
    const auto file = juce::File::createTempFile (".vr49");

    std::vector<double> backups, firstAnswers, restores;
    int frames = 0;

    for (int run = 0; run < runs; ++run)
    {
        KeyboardSession session (options);
        FirstAnswer first;
        session.getManager().addListener (&first);
        SettingsModel model;
        const auto start = juce::Time::getMillisecondCounterHiRes();

        backups.push_back (millisecondsOf ([&] {
            session.connect();
            session.read (model);
            saveSettingsFile (model, file);
        }));
        firstAnswers.push_back (first.answeredAt - start);

        restores.push_back (millisecondsOf ([&] {
            const auto report = session.send (model, [] (double) {});
            SettingsModel held;
            session.read (held);
            compareModels (model, held, ComparisonScope::sentSettings);
            frames = report.framesSent;
        }));
    }

    printResult ("backup (search, read, save)", runs, median (backups), median (firstAnswers) + readFloorMs,
                 "the search's first answer + 20 requests x 2 ms");
    printResult ("restore (send, read back, compare)", runs, median (restores), 2.0 * frames + readFloorMs,
                 juce::String (frames) + " frames x 2 ms + 20 requests x 2 ms");
    file.deleteFile();
}

void benchmarkVerifiedSend (int runs)
{
    VirtualStudio studio;
    UnattendedDialogs dialogs;
    KbdSettingComponentVR49 panel (studio.getPorts(), dialogs);
    auto& manager = panel.getDeviceManager();
    const auto now = juce::Time::getMillisecondCounter() + 2000;
    manager.setMillisecondClock ([now] { return now; });
    manager.timerCallback();   // straight to the keyboard's output
    pumpMessagesUntil ([&] { return manager.isConnected() && ! panel.isReadingBack()
                                    && studio.getKeyboard().getReceivedCount() >= 21; }, 5000);

    auto* sendButton = dynamic_cast<juce::Button*> (panel.getWidgets()[11]);
    const auto frames = (double) manager.planSendAll().frames.size();
    std::vector<double> times;

    for (int run = 0; run < runs; ++run)
    {
        panel.setStatusText ({});
        times.push_back (millisecondsOf ([&] { panel.buttonClicked (sendButton); }));

        if (! panel.getStatusText().startsWith ("Keyboard holds what was sent"))
            std::printf ("verified send: the keyboard did not hold what was sent\n");
    }

    printResult ("Send to Keyboard, verified", runs, median (times), 2.0 * frames + readFloorMs,
                 juce::String ((int) frames) + " frames x 2 ms + 20 requests x 2 ms");
}
