#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <map>
#include <optional>
#include <set>
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

        /** Block index -> delay of the answer to that block's first frame (a resend is
            answered at once, so the late answer comes after it). */
        std::map<int, int> lateFirstAnswerMs;
    };

    struct Reply
    {
        std::optional<juce::MidiMessage> answer;
        bool vanish = false;
        int delayMs = 0;
    };

    void setFaults (const Faults& newFaults);

    /** A new session, as after the keyboard restarts in update mode; the faults stay. */
    void restart();

    /** Handles one message from the program. */
    Reply handle (const juce::MidiMessage& message);

    int getExpectedBlockCount() const noexcept      { return expectedBlocks; }
    int getBlockFramesReceived() const noexcept     { return blockFrames; }
    int getAcceptedBlockCount() const noexcept      { return acceptedBlocks; }
    int getRejectionCount() const noexcept          { return rejections; }

    /** Frames whose block came out of order (not the one expected next, nor the last one again). */
    int getOutOfOrderCount() const noexcept         { return outOfOrder; }
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
    int outOfOrder = 0;
    std::set<int> answeredBlockIndices;
    std::vector<juce::uint8> packed;
    std::optional<std::vector<juce::uint8>> image;
};
