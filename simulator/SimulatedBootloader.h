#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <map>
#include <optional>
#include <vector>

/** The keyboard's bootloader as the simulated keyboard runs it in update mode: it
    checks the start frame and each block's checksum and number, answers with a Note
    On, reassembles the packed image and unpacks it once the last block is in. */
class SimulatedBootloader
{
public:
    struct Faults
    {
        std::map<int, int> rejectBlock;   // block index (0 = first) -> times to reject it
        bool neverAnswer = false;
        int answerChannel = 1;
        int answerVelocity = 0x54;
        std::optional<int> vanishAtBlock; // the keyboard disappears when this block index arrives
    };

    struct Reply
    {
        std::optional<juce::MidiMessage> answer;
        bool vanish = false;
    };

    void setFaults (const Faults& newFaults);

    /** Handles one message from the program. */
    Reply handle (const juce::MidiMessage& message);

    int getExpectedBlockCount() const noexcept      { return expectedBlocks; }
    int getBlockFramesReceived() const noexcept     { return blockFrames; }
    int getAcceptedBlockCount() const noexcept      { return acceptedBlocks; }
    int getRejectionCount() const noexcept          { return rejections; }
    bool isComplete() const noexcept                { return image.has_value(); }

    /** The unpacked firmware, once every block was accepted. */
    const std::optional<std::vector<juce::uint8>>& getImage() const noexcept   { return image; }

private:
    Reply handleStartFrame (const juce::uint8* data, int size);
    Reply handleBlockFrame (const juce::uint8* data, int size);
    Reply acknowledge (bool accepted);

    Faults faults;
    std::map<int, int> rejectionsLeft;
    int expectedBlocks = 0;
    int nextBlockNumber = -1;
    int lastAcceptedNumber = -1;
    int blockFrames = 0;
    int acceptedBlocks = 0;
    int rejections = 0;
    std::vector<juce::uint8> packed;
    std::optional<std::vector<juce::uint8>> image;
};
