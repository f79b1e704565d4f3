#pragma once

#include "firmware/FWUpdaterBase.h"

#include <juce_core/juce_core.h>

#include <vector>

/** The bootloader protocol: the start frame, then 32-byte blocks numbered downwards,
    each sent up to four times until the bootloader accepts it with Note On 0x51/0x54
    on channel 1 (0x61 rejects it). Runs on the runner's worker thread;
    handleMidiMessage runs on the MIDI input thread. */
class HalvekFWUpdater : public FWUpdaterBase
{
public:
    static constexpr int attemptsPerBlock = 4;
    static constexpr int ackPolls = 31;
    static constexpr int ackPollMs = 100;

    /** How the worker waits for an answer: woken by it, or finding it at its next 100 ms
        poll (the slower way, kept so the benchmark can compare the two). */
    enum class AckWait { wokenByAnswer, polled };

    explicit HalvekFWUpdater (AckWait wait = AckWait::wokenByAnswer);
    ~HalvekFWUpdater() override;

    bool burn() override;
    void handleMidiMessage (const juce::MidiMessage& message) override;

    /** Reads and packs the file; false for a missing, empty, unreadable or oversized file. */
    bool loadFirmwareImage (const juce::String& path);

    juce::uint32 getPackedBytesLeft() const noexcept                  { return packedBytesLeft; }
    int getBlocksLeft() const noexcept                                { return blocksLeft; }

private:
    bool sendBlocks();
    bool sendBlockUntilAccepted (const juce::MidiMessage& frame);
    void resetAck();
    int waitForAck();
    bool exitRequested() const;

    const AckWait ackWait;
    int ackValue = 0;
    bool ackReceived = false;
    juce::ReadWriteLock ackLock;
    juce::WaitableEvent ackArrived;   // wakes the worker as soon as an answer comes

    std::vector<juce::uint8> packedImage;
    juce::uint32 packedBytesLeft = 0;
    int blocksLeft = 0;
};
