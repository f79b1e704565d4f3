#pragma once

#include "firmware/FWUpdaterBase.h"

#include <juce_core/juce_core.h>

#include <atomic>
#include <deque>
#include <vector>

/** How long the updater waits for the bootloader's answers. */
struct AckTiming
{
    int ackPolls = 31;      // a block is given about 3.1 s before it is sent again
    int ackPollMs = 100;

    /** An answer later than this after its send is taken as lost for good. */
    int answerLostAfterMs = 2 * 31 * 100;
};

/** The bootloader protocol: the start frame, then 32-byte blocks numbered downwards,
    each sent up to four times until the bootloader accepts it with Note On 0x51/0x54
    on channel 1 (0x61 rejects it). Runs on the runner's worker thread;
    handleMidiMessage runs on the MIDI input thread.

    Answers carry no block number, so they are kept apart: each answer is matched with
    the oldest send still unanswered, and a block sent more than once is left only when
    each of its sends has been answered (or one time-out has passed since the last).
    An answer to an earlier block (one that came after its time-out, or to a frame
    sent again) is thus never credited to the block being sent now. */
class HalvekFWUpdater : public FWUpdaterBase
{
public:
    static constexpr int attemptsPerBlock = 4;

    using Timing = AckTiming;

    /** How the worker waits for an answer: woken by it, or finding it at its next 100 ms
        poll (the slower way, kept so the benchmark can compare the two). */
    enum class AckWait { wokenByAnswer, polled };

    explicit HalvekFWUpdater (AckWait wait = AckWait::wokenByAnswer, Timing timing = {});
    ~HalvekFWUpdater() override;

    bool burn() override;
    void handleMidiMessage (const juce::MidiMessage& message) override;

    /** Reads and packs the file; false for a missing, empty, unreadable or oversized file. */
    bool loadFirmwareImage (const juce::String& path);

    juce::uint32 getPackedBytesLeft() const noexcept                  { return packedBytesLeft; }
    int getBlocksLeft() const noexcept                                { return blocksLeft; }

    /** True once the start frame went out: from then on the keyboard's old firmware
        is being replaced, and a transfer that does not finish leaves it incomplete. */
    bool hasStartedTransfer() const noexcept                          { return transferStarted.load(); }

private:
    struct SentBlock
    {
        int blockNumber;
        juce::uint32 sentAtMs;
    };

    bool sendBlocks();
    bool sendBlockUntilAccepted (const juce::MidiMessage& frame, int blockNumber, bool isLastBlock);
    void resetAck();
    void expectAnswerTo (int blockNumber);
    int waitForAck (bool waitOutCancel);
    void waitOutAnswersTo (int blockNumber);
    bool exitRequested() const;

    const AckWait ackWait;
    const Timing timing;
    int ackValue = 0;
    bool ackReceived = false;
    int currentBlockNumber = -1;
    std::deque<SentBlock> unansweredSends;   // oldest first
    juce::ReadWriteLock ackLock;             // guards the four above
    juce::WaitableEvent ackArrived;          // wakes the worker as soon as an answer comes
    std::atomic<bool> transferStarted { false };

    std::vector<juce::uint8> packedImage;
    juce::uint32 packedBytesLeft = 0;
    int blocksLeft = 0;
};
