#include "firmware/FirmwareImage.h"
#include "firmware/HalvekFWUpdater.h"
#include "simulator/SimulatedBootloader.h"
#include "tests/support/TestSupport.h"

#include <filesystem>
#include <thread>

namespace
{
    /** Stands for the runner: sends reach a bootloader whose answer comes back at once,
        unless the script for that send says otherwise. */
    struct BootloaderHelper : IFWHelper
    {
        explicit BootloaderHelper (HalvekFWUpdater& u) : updater (u) {}

        void sendMidiMessage (const juce::MidiMessage& message) override
        {
            const std::lock_guard<std::mutex> lock (mutex);
            sent.push_back (message);
            const auto sendIndex = sent.size() - 1;

            if (scriptedAnswers.count (sendIndex) != 0)
            {
                for (const auto& answer : scriptedAnswers[sendIndex])
                    updater.handleMidiMessage (answer);
                return;
            }

            if (const auto late = lateAnswers.find (sendIndex); late != lateAnswers.end())
            {
                answerLater (late->second.first, late->second.second);
                return;
            }

            if (silent)
                return;

            const auto reply = bootloader.handle (message);
            const auto delayMs = std::max (reply.delayMs, answerDelayMs);

            if (reply.answer.has_value() && delayMs == 0)
                updater.handleMidiMessage (*reply.answer);
            else if (reply.answer.has_value())
                answerLater (*reply.answer, delayMs);
        }

        void answerLater (const juce::MidiMessage& answer, int delayMs)
        {
            late.push_back (std::thread ([this, answer, delayMs] {
                juce::Thread::sleep (delayMs);
                updater.handleMidiMessage (answer);
            }));
        }

        ~BootloaderHelper()
        {
            for (auto& thread : late)
                thread.join();
        }

        void reportProgress (double fraction) override
        {
            const std::lock_guard<std::mutex> lock (mutex);
            progress.push_back (fraction);
        }

        size_t sentCount()
        {
            const std::lock_guard<std::mutex> lock (mutex);
            return sent.size();
        }

        HalvekFWUpdater& updater;
        SimulatedBootloader bootloader;
        std::map<size_t, std::vector<juce::MidiMessage>> scriptedAnswers;   // by send index, instead of the bootloader
        std::map<size_t, std::pair<juce::MidiMessage, int>> lateAnswers;     // by send index: the answer, and after how long
        std::atomic<bool> silent { false };
        int answerDelayMs = 0;   // every answer this late
        std::vector<std::thread> late;
        std::mutex mutex;
        std::vector<juce::MidiMessage> sent;
        std::vector<double> progress;
    };

    const auto ack = juce::MidiMessage::noteOn (1, 0x51, (juce::uint8) 0x54);

    struct Updater : ::testing::Test
    {
        ScratchFolder scratch;
        HalvekFWUpdater updater;
        BootloaderHelper helper { updater };
        juce::StringArray traces;

        void SetUp() override
        {
            updater.setHelper (&helper);
            updater.setTraceSink ([this] (const juce::String& line) { traces.add (line); });
        }

        juce::String firmware (std::vector<juce::uint8> bytes, const char* name = "Vantor49.bin")
        {
            const auto file = scratch.file (name);
            file.replaceWithData (bytes.data(), bytes.size());
            return file.getFullPathName();
        }

        bool burn (const juce::String& path)
        {
            updater.setFirmwareFile (path);
            return updater.burn();
        }
    };
}

TEST_F (Updater, AOneByteFileIsAStartFrameAndOneBlock)
{
    ASSERT_TRUE (burn (firmware ({ 0x80 })));

    ASSERT_EQ (helper.sent.size(), 2u);
    EXPECT_EQ (bytesOf (helper.sent[0]), (std::vector<int> { 0xF0, 0x51, 0x54, 0x18, 0x00, 0x00, 0x01, 0x29, 0xF7 }));
    EXPECT_EQ (bytesOf (helper.sent[1]),
               (std::vector<int> { 0xF0, 0x7D, 0x01, 0x51, 0x54, 0x18, 0x00, 0x00, 0x00, 0x40, 0x00, 0xF7 }));
    EXPECT_EQ (helper.progress, (std::vector<double> { 0.0, 0.0, 1.0 }));
    EXPECT_EQ (*helper.bootloader.getImage(), (std::vector<juce::uint8> { 0x80 }));
    EXPECT_EQ (traces, juce::StringArray ({ "wait for ack start", "received note: 81 veloc: 84", "wait for ack stop" }));
}

TEST_F (Updater, BlocksAreNumberedDownwardsAndProgressEndsAtExactlyOne)
{
    std::vector<juce::uint8> image (29 + 28 * 3);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (juce::uint8) (i * 7 + 128);

    ASSERT_TRUE (burn (firmware (image)));

    const auto packedSize = packedSizeFor ((juce::int64) image.size());   // 130: five blocks
    ASSERT_EQ (helper.sent.size(), 1u + 5u);
    for (int block = 0; block < 5; ++block)
    {
        const auto frame = bytesOf (helper.sent[(size_t) block + 1]);
        EXPECT_EQ (frame[8], 4 - block);
        EXPECT_EQ ((int) frame.size(), 10 + (block < 4 ? 32 : (int) packedSize - 128));
    }

    ASSERT_EQ (helper.progress.size(), 2u + 5u);
    EXPECT_DOUBLE_EQ (helper.progress[2], 32.0 / (double) packedSize);
    EXPECT_EQ (helper.progress.back(), 1.0);
    EXPECT_EQ (*helper.bootloader.getImage(), image);
    EXPECT_EQ (updater.getBlocksLeft(), 0);
    EXPECT_EQ (updater.getPackedBytesLeft(), 0u);
}

TEST_F (Updater, ARejectedBlockIsSentAgainUnchangedAtMostFourTimes)
{
    SimulatedBootloader::Faults faults;
    faults.rejectBlock[0] = 3;
    helper.bootloader.setFaults (faults);

    ASSERT_TRUE (burn (firmware ({ 1, 2, 3 })));
    ASSERT_EQ (helper.sent.size(), 5u);
    for (size_t i = 2; i < 5; ++i)
        EXPECT_EQ (bytesOf (helper.sent[i]), bytesOf (helper.sent[1]));

    faults.rejectBlock[0] = 4;
    helper.bootloader = SimulatedBootloader();
    helper.bootloader.setFaults (faults);
    helper.sent.clear();
    EXPECT_FALSE (burn (firmware ({ 1, 2, 3 })));
    EXPECT_EQ (helper.sent.size(), 5u);   // the start frame and four attempts
    EXPECT_EQ (updater.getBlocksLeft(), 1);
}

TEST_F (Updater, OnlyANoteOn81Velocity84OrANoteOn97OnChannelOneCounts)
{
    const auto path = firmware ({ 1, 2, 3 });

    // First attempt: answers that are no acknowledgement; it times out after about 3.1 s.
    helper.scriptedAnswers[1] = { juce::MidiMessage::noteOn (2, 0x51, (juce::uint8) 0x54),
                                  juce::MidiMessage::noteOn (1, 0x51, (juce::uint8) 0x40),
                                  juce::MidiMessage::noteOff (1, 0x51),
                                  juce::MidiMessage::controllerEvent (1, 0x51, 0x54) };
    // Second attempt: a rejection, even with velocity 0.
    helper.scriptedAnswers[2] = { messageOf ({ 0x90, 0x61, 0x00 }) };

    ASSERT_TRUE (burn (path));

    EXPECT_EQ (helper.sent.size(), 4u);   // start, the ignored attempt, the rejected one, the accepted one
    EXPECT_TRUE (traces.contains ("received note: 81 veloc: 84"));   // channel 2 is traced, not taken
    EXPECT_TRUE (traces.contains ("received note: 97 veloc: 0"));
}

TEST_F (Updater, AnAcknowledgementBeforeTheResetIsDiscarded)
{
    helper.silent = true;
    helper.scriptedAnswers[2] = { ack };
    updater.handleMidiMessage (ack);   // stale: arrives before the block is sent

    ASSERT_TRUE (burn (firmware ({ 9 })));
    EXPECT_EQ (helper.sent.size(), 3u);
}

TEST_F (Updater, MissingEmptyAndFolderFilesSendNothing)
{
    EXPECT_FALSE (burn (scratch.file ("absent.bin").getFullPathName()));
    EXPECT_FALSE (burn (firmware ({})));
    EXPECT_FALSE (burn (scratch.get().getFullPathName()));
    EXPECT_TRUE (helper.sent.empty());
    EXPECT_EQ (helper.progress, (std::vector<double> { 0.0, 0.0, 0.0 }));
}

TEST_F (Updater, AnImageNeedingMoreBlocksThanTwentyOneBitsCountIsRefused)
{
    // Sparse files: the largest image that fits, and one group more.
    const auto largest = scratch.file ("largest.bin");
    const auto tooLarge = scratch.file ("too_large.bin");
    largest.create();
    tooLarge.create();
    std::filesystem::resize_file (largest.getFullPathName().toStdString(), 58720228);
    std::filesystem::resize_file (tooLarge.getFullPathName().toStdString(), 58720228 + 7);

    ASSERT_EQ (blockCountFor (packedSizeFor (58720228)), FirmwareLayout::maxBlockCount);
    EXPECT_TRUE (updater.loadFirmwareImage (largest.getFullPathName()));
    EXPECT_FALSE (updater.loadFirmwareImage (tooLarge.getFullPathName()));

    EXPECT_FALSE (burn (tooLarge.getFullPathName()));
    EXPECT_TRUE (helper.sent.empty());
}

TEST_F (Updater, AfterACancelNothingMoreIsSent)
{
    helper.silent = true;
    const auto path = firmware (std::vector<juce::uint8> (100, 0x55));
    updater.setFirmwareFile (path);

    struct Worker : juce::Thread
    {
        explicit Worker (HalvekFWUpdater& u) : juce::Thread ("burn"), updater (u) {}
        void run() override   { result = updater.burn(); }
        HalvekFWUpdater& updater;
        std::atomic<bool> result { true };
    } worker (updater);

    worker.startThread();
    ASSERT_TRUE (pumpUntil ([&] { return helper.sentCount() == 2; }));
    worker.signalThreadShouldExit();
    ASSERT_TRUE (worker.waitForThreadToExit (1000));

    EXPECT_FALSE (worker.result);
    EXPECT_EQ (helper.sentCount(), 2u);   // the start frame and the block in transit, once
}

TEST_F (Updater, AnAnswerToABlockSentTwiceIsNeverCreditedToTheNextBlock)
{
    HalvekFWUpdater quick (HalvekFWUpdater::AckWait::wokenByAnswer, { 5, 20, 200 });   // 100 ms per attempt
    BootloaderHelper script (quick);
    quick.setHelper (&script);
    quick.setTraceSink ([] (const juce::String&) {});
    script.silent = true;

    // Two blocks. The first block's first frame is answered after its time-out (150 ms),
    // its second frame 80 ms after that; the last block's first answer is lost, its
    // second frame answered at once.
    script.lateAnswers[1] = { ack, 150 };
    script.lateAnswers[2] = { ack, 130 };
    script.scriptedAnswers[4] = { ack };

    quick.setFirmwareFile (firmware (std::vector<juce::uint8> (29, 0x11)));
    ASSERT_TRUE (quick.burn());

    ASSERT_EQ (script.sentCount(), 5u);   // the start, the first block twice, the last block twice
    EXPECT_EQ (bytesOf (script.sent[3]), bytesOf (script.sent[4]));
    EXPECT_EQ (bytesOf (script.sent[4])[8], 0);
}

TEST_F (Updater, OneLostAnswerCostsOneResendNotOneForEveryLaterBlock)
{
    HalvekFWUpdater quick (HalvekFWUpdater::AckWait::wokenByAnswer, { 3, 10, 60 });   // 30 ms per attempt
    BootloaderHelper lossy (quick);
    quick.setHelper (&lossy);
    quick.setTraceSink ([] (const juce::String&) {});
    lossy.scriptedAnswers[2] = {};   // the second block's first answer is lost; every other frame is answered

    std::vector<juce::uint8> image (140, 0x33);   // five blocks
    quick.setFirmwareFile (firmware (image));
    ASSERT_TRUE (quick.burn());

    EXPECT_EQ (lossy.sent.size(), 1u + 5u + 1u);   // the start, five blocks, one of them twice
    EXPECT_EQ (*lossy.bootloader.getImage(), image);
}

TEST (UpdaterAnswers, ABootloaderAnsweringEveryFrameAfterItsTimeOutStillGetsTheWholeImage)
{
    ScratchFolder scratch;
    HalvekFWUpdater updater (HalvekFWUpdater::AckWait::wokenByAnswer, { 5, 20, 1000 });
    BootloaderHelper helper (updater);
    updater.setHelper (&helper);
    updater.setTraceSink ([] (const juce::String&) {});
    helper.answerDelayMs = 150;   // every frame is sent twice, and each is answered

    SimulatedBootloader::Faults rejectLastOnce;
    rejectLastOnce.rejectBlock[4] = 1;
    helper.bootloader.setFaults (rejectLastOnce);

    std::vector<juce::uint8> image (140);   // five blocks
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = (juce::uint8) (i * 13);
    const auto file = scratch.file ("Vantor49.bin");
    file.replaceWithData (image.data(), image.size());
    updater.setFirmwareFile (file.getFullPathName());

    EXPECT_TRUE (updater.burn());
    ASSERT_TRUE (helper.bootloader.isComplete());
    EXPECT_EQ (*helper.bootloader.getImage(), image);
    EXPECT_EQ (helper.bootloader.getOutOfOrderCount(), 0);
}
