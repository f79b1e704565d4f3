#include "bench/KeyboardCheckBenchmarks.h"

#include "bench/BenchSupport.h"
#include "bench/DeviceBenchmarks.h"
#include "bench/LinkedEditor.h"
#include "cli/CliHandlers.h"
#include "device/KeyboardProbe.h"
#include "device/VerifiedSend.h"
#include "device/ModelComparison.h"
#include "documents/SettingsFile.h"
#include "editor/DialogService.h"
#include "editor/KbdSettingComponentVR49.h"
#include "simulator/MidiThroughDevice.h"
#include "simulator/VirtualStudio.h"

namespace
{
    constexpr int requestsOfTheRead = KeyboardReader::messagesSent;
    constexpr double readFloorMs = requestsOfTheRead * 2.0 + KeyboardReader::optionalAnswerWaitMs;
    const juce::String readFloorText ("24 requests x 2 ms + the 100 ms the keyboard is given for the options");

    /** Four outputs, the keyboard's the last of them: a probe that asked them one after
        another would wait for three others first. */
    struct FourOutputs
    {
        VirtualMidiPortSystem ports;
        MidiThroughDevice through { ports, "Midi Through Port-0" };
        std::shared_ptr<VirtualMidiPortSystem::Sink> synth = ports.addSink ("Synth Module", [] (const juce::MidiMessage&) {});
        std::shared_ptr<VirtualMidiPortSystem::Sink> drums = ports.addSink ("Drum Machine", [] (const juce::MidiMessage&) {});
        SimulatedKeyboard keyboard { ports };
    };

    /** The manager's events to a reader. */
    struct ReaderFeed : LumManagerListener
    {
        explicit ReaderFeed (KeyboardReader& r) : reader (r) {}
        void managerEvent (int event, int first, int, int) override   { reader.handleManagerEvent (event, first); }
        KeyboardReader& reader;
    };
}

void benchmarkBackupAndRestore (int runs)
{
    FourOutputs studio;
    const auto file = juce::File::createTempFile (".vr49");
    std::vector<double> backups, probes, restores;
    int frames = 0;

    for (int run = 0; run < runs; ++run)
    {
        LumManager49 manager (studio.ports);
        KeyboardReader reader (manager);
        ReaderFeed feed (reader);
        manager.addListener (&feed);
        SettingsModel model;

        backups.push_back (millisecondsOf ([&] {
            probes.push_back (millisecondsOf ([&] {
                KeyboardProbe probe (studio.ports);

                if (const auto found = probe.findFirst())
                    manager.linkToKeyboard (*found);
            }));
            model = reader.read().model;
            saveSettingsFile (model, file);
        }));

        restores.push_back (millisecondsOf ([&] {
            frames = sendAndVerify (manager, reader, model).send.framesSent;
        }));

        manager.dropLink();
    }

    printResult ("backup (probe of 4 outputs, read, save)", runs, median (backups), median (probes) + readFloorMs,
                 "the probe's answer + " + readFloorText);
    printResult ("restore (send, read back, compare)", runs, median (restores), 2.0 * frames + readFloorMs,
                 juce::String (frames) + " frames x 2 ms + " + readFloorText);
    file.deleteFile();
}

void benchmarkVerifiedSend (int runs)
{
    LinkedEditor editor;
    auto& panel = editor.panel;
    auto& manager = panel.getDeviceManager();
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
                 juce::String ((int) frames) + " frames x 2 ms + " + readFloorText);
}

void benchmarkFlashFlow (int runs)
{
    // konsolion-cli flash --restore against the simulated keyboard: read and keep, flash
    // 64 KiB, wait for the keyboard to come back, send the configuration back and check it.
    const auto folder = juce::File::createTempFile ("flash");
    folder.createDirectory();
    const auto image = folder.getChildFile ("Vantor49_bench.bin");
    juce::MemoryBlock bytes (64 * 1024);
    for (size_t i = 0; i < bytes.getSize(); ++i)
        bytes[i] = (char) (i * 7);
    image.replaceWithData (bytes.getData(), bytes.getSize());

    CliOptions options;
    options.simulate = true;
    options.yes = true;
    options.restore = true;
    options.backupFile = folder.getChildFile ("kept.vr49");
    std::vector<double> times;
    int status = 0;

    for (int run = 0; run < runs; ++run)
        times.push_back (millisecondsOf ([&] { status = runFlash (options, { image.getFullPathName() }); }));

    if (status != 0)
        std::printf ("flash flow: ended with status %d\n", status);

    // The keyboard's own restart is part of the floor: it comes back this long after the image.
    const double sendFrames = 84 * 5 + 6 + 1;
    const auto floorMs = readFloorMs + firmwareTransferFloorMs (64 * 1024, 0.0) + SimulatedKeyboard::restartAfterUpdateMs
                         + 2.0 * sendFrames + readFloorMs;
    printResult ("flash flow (read, 64 KiB, wait, restore)", runs, median (times), floorMs,
                 "read + transfer + restart 500 ms + send + read");
    folder.deleteRecursively();
}
