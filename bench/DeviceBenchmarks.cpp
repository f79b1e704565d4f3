#include "bench/DeviceBenchmarks.h"

#include "bench/BenchSupport.h"
#include "device/FramePacing.h"
#include "editor/DialogService.h"
#include "editor/KbdSettingComponentVR49.h"
#include "firmware/FirmwareImage.h"
#include "firmware/HalvekFWUpdater.h"
#include "firmware/UpdatePort.h"
#include "simulator/KeyboardReceiveBuffer.h"
#include "simulator/VirtualStudio.h"

namespace
{
    /** The updater's link to the keyboard, as the runner makes it, without a window. */
    struct FirmwareLink : juce::MidiInputCallback, IFWHelper
    {
        FirmwareLink (LumManager49& m, HalvekFWUpdater& u) : manager (m), updater (u) {}

        void handleIncomingMidiMessage (juce::MidiInput*, const juce::MidiMessage& message) override
        {
            updater.handleMidiMessage (message);
        }

        void sendMidiMessage (const juce::MidiMessage& message) override   { manager.sendToKeyboard (message); }
        void reportProgress (double) override {}

        LumManager49& manager;
        HalvekFWUpdater& updater;
    };

    struct BurnThread : juce::Thread
    {
        explicit BurnThread (HalvekFWUpdater& u) : juce::Thread ("firmware worker"), updater (u) {}
        void run() override   { succeeded = updater.burn(); }
        HalvekFWUpdater& updater;
        std::atomic<bool> succeeded { false };
    };

    juce::File writeImage (size_t size)
    {
        juce::MemoryBlock bytes (size);
        juce::Random random (1);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = (char) random.nextInt (256);

        auto file = juce::File::createTempFile (".bin");
        file.replaceWithData (bytes.getData(), bytes.getSize());
        return file;
    }

    /** Milliseconds for one transfer of the file to the simulated bootloader. */
    double transferOnce (const juce::File& image, HalvekFWUpdater::AckWait wait)
    {
        VirtualStudio studio;
        studio.getKeyboard().restartInUpdateMode();
        studio.getKeyboard().setBootloaderFaults ({}, 2);   // the bootloader answers 2 ms after each block

        LumManager49 manager (studio.getPorts());
        HalvekFWUpdater updater (wait);
        updater.setTraceSink ([] (const juce::String&) {});
        FirmwareLink link (manager, updater);
        updater.setHelper (&link);
        updater.setFirmwareFile (image.getFullPathName());
        attachUpdatePort (&link, "USB A", manager);

        BurnThread worker (updater);
        const auto ms = millisecondsOf ([&] {
            worker.startThread();
            worker.waitForThreadToExit (-1);
        });

        attachUpdatePort (nullptr, "USB A", manager);
        return worker.succeeded ? ms : -1.0;
    }
}

void benchmarkPause (int runs)
{
    constexpr int pauses = 250;
    std::vector<double> precise, plain;

    for (int run = 0; run < runs; ++run)
    {
        precise.push_back (millisecondsOf ([] { for (int i = 0; i < pauses; ++i) pauseAfterFrame(); }) / pauses);
        plain.push_back (millisecondsOf ([] { for (int i = 0; i < pauses; ++i) juce::Thread::sleep (2); }) / pauses);
    }

    printResult ("2 ms frame pause", runs, median (precise), 2.0, "2 ms");
    printResult ("2 ms juce::Thread::sleep (compare)", runs, median (plain), 2.0, "2 ms");
}

void benchmarkSendAll (int runs)
{
    VirtualStudio studio;
    LumManager49 manager (studio.getPorts());
    manager.connectPorts (SimulatedKeyboard::defaultPortName, SimulatedKeyboard::defaultPortName);
    const auto frames = manager.planSendAll().frames.size();

    std::vector<double> times;

    for (int run = 0; run < runs; ++run)
    {
        studio.getKeyboard().clearReceivedMessages();
        times.push_back (millisecondsOf ([&] { manager.sendAllToKeyboard(); }));
        studio.getKeyboard().waitForReceivedCount (frames, 5000);
    }

    printResult ("send-all (" + juce::String ((int) frames) + " frames)", runs, median (times),
                 2.0 * (double) frames, "frames x 2 ms");
}

void benchmarkConfigurationRead (int runs)
{
    constexpr int requestsAfterIdentification = KeyboardReader::messagesSent;
    std::vector<double> times;

    for (int run = 0; run < runs; ++run)
    {
        VirtualStudio studio;
        UnattendedDialogs dialogs;
        KbdSettingComponentVR49 panel (studio.getPorts(), dialogs);
        auto& manager = panel.getDeviceManager();

        // Move the search straight to the keyboard's output.
        const auto now = juce::Time::getMillisecondCounter() + 2000;
        manager.setMillisecondClock ([now] { return now; });

        const auto ms = millisecondsOf ([&] {
            manager.timerCallback();
            pumpMessagesUntil ([&] { return panel.isReadingBack(); }, 2000);
            pumpMessagesUntil ([&] {
                return ! panel.isReadingBack()
                       && studio.getKeyboard().getReceivedMessages().size() >= (size_t) requestsAfterIdentification + 1;
            }, 5000);
        });

        times.push_back (ms);
    }

    printResult ("configuration read (probe to hand-over)", runs, median (times),
                 2.0 * requestsAfterIdentification + KeyboardReader::optionalAnswerWaitMs,
                 "24 messages x 2 ms + the 100 ms the keyboard is given for the options");
}

double blockAnswerMs (double answerDelayMs)
{
    // The keyboard answers a block once it has taken its 42 bytes in from its receive
    // buffer and its answer delay has passed.
    return (10.0 + FirmwareLayout::blockSize) / KeyboardReceiveBuffer::drainBytesPerMs + answerDelayMs;
}

double firmwareTransferFloorMs (juce::int64 imageBytes, double answerDelayMs)
{
    // The sender's 2 ms pause runs while the keyboard takes the block in, so a block costs
    // the longer of the two; the start frame's 10 ms come first.
    return 10.0 + (double) blockCountFor (packedSizeFor (imageBytes)) * std::max (2.0, blockAnswerMs (answerDelayMs));
}

void benchmarkFirmwareTransfer (int runs)
{
    const auto image = writeImage (64 * 1024);
    const auto blocks = (double) blockCountFor (packedSizeFor (64 * 1024));

    std::vector<double> times;
    for (int run = 0; run < runs; ++run)
        times.push_back (transferOnce (image, HalvekFWUpdater::AckWait::wokenByAnswer));

    const auto answerMs = blockAnswerMs (2.0);
    const auto floorMs = firmwareTransferFloorMs (64 * 1024, 2.0);
    const auto sumFloorMs = 10.0 + blocks * (2.0 + answerMs);
    const auto answerText = juce::String (answerMs, 2) + " ms";
    printResult ("firmware 64 KiB, woken by answer", runs, median (times), floorMs, "blocks x max(2 ms, " + answerText + ")");
    printResult ("firmware 64 KiB, woken by answer", runs, median (times), sumFloorMs, "blocks x (2 ms + " + answerText + ")");

    // The polled wait costs at least 100 ms a block: measured on 30 blocks, scaled to the image.
    const auto small = writeImage (30 * 28);
    const auto polledMs = transferOnce (small, HalvekFWUpdater::AckWait::polled);
    const auto polledPerBlock = (polledMs - 10.0) / 30.0;
    printResult ("firmware 64 KiB, 100 ms polls (est.)", 1, polledPerBlock * blocks + 10.0, sumFloorMs,
                 "30 blocks measured, scaled");
    std::printf ("woken-by-answer transfer is %.1f times faster than polling\n",
                 (polledPerBlock * blocks + 10.0) / median (times));

    image.deleteFile();
    small.deleteFile();
}
