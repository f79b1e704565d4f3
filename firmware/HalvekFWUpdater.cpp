#include "firmware/HalvekFWUpdater.h"

#include "firmware/FirmwareImage.h"

using namespace FirmwareLayout;

namespace
{
    constexpr juce::int64 maxFirmwareFileSize = std::numeric_limits<juce::int32>::max();
    constexpr int pauseAfterStartFrameMs = 10;

    std::optional<std::vector<juce::uint8>> readWholeFile (const juce::File& file, juce::int64 size)
    {
        const auto in = file.createInputStream();

        if (in == nullptr)
            return std::nullopt;

        std::vector<juce::uint8> bytes ((size_t) size);

        if (in->read (bytes.data(), (int) size) != (int) size)
            return std::nullopt;

        return bytes;
    }
}

HalvekFWUpdater::HalvekFWUpdater (AckWait wait, Timing t) : ackWait (wait), timing (t) {}
HalvekFWUpdater::~HalvekFWUpdater() = default;

bool HalvekFWUpdater::loadFirmwareImage (const juce::String& path)
{
    packedImage.clear();
    packedBytesLeft = 0;

    const juce::File file (path);
    const auto size = file.existsAsFile() ? file.getSize() : 0;

    if (size <= 0 || size >= maxFirmwareFileSize)
        return false;

    // Block numbers travel in 21 bits: an image that needs more blocks is refused, never wrapped.
    if (blockCountFor (packedSizeFor (size)) > maxBlockCount)
        return false;

    const auto bytes = readWholeFile (file, size);

    if (! bytes.has_value())
        return false;

    packedImage = packFirmwareImage (*bytes);
    packedBytesLeft = (juce::uint32) packedImage.size();
    return true;
}

bool HalvekFWUpdater::burn()
{
    report (0.0);
    loadFirmwareImage (firmwarePath);

    if (packedBytesLeft == 0)
        return false;

    report (0.0);
    blocksLeft = (int) blockCountFor (packedBytesLeft);

    if (exitRequested())
        return false;

    transferStarted = true;
    send (buildStartFrame (blocksLeft));
    juce::Thread::sleep (pauseAfterStartFrameMs);
    return sendBlocks();
}

bool HalvekFWUpdater::sendBlocks()
{
    const auto total = packedBytesLeft;
    size_t offset = 0;

    while (packedBytesLeft > 0)
    {
        const auto length = (int) std::min<juce::uint32> (packedBytesLeft, blockSize);
        const auto blockNumber = blocksLeft - 1;
        const auto frame = buildBlockFrame (blockNumber, packedImage.data() + offset, length);

        if (! sendBlockUntilAccepted (frame, blockNumber, blockNumber == 0))
            return false;

        offset += (size_t) length;
        packedBytesLeft -= (juce::uint32) length;
        --blocksLeft;
        report ((double) offset / (double) total);
    }

    return true;
}

bool HalvekFWUpdater::sendBlockUntilAccepted (const juce::MidiMessage& frame, int blockNumber, bool isLastBlock)
{
    for (int attempt = 0; attempt < attemptsPerBlock; ++attempt)
    {
        // Once the user has cancelled, nothing more goes to the bootloader.
        if (exitRequested())
            return false;

        resetAck();
        expectAnswerTo (blockNumber);
        send (frame);

        // The last block's answer decides whether the keyboard holds the whole new
        // firmware, so it is waited for even when the user has just cancelled.
        if (waitForAck (isLastBlock) == 1)
        {
            if (attempt > 0 && ! isLastBlock)
                waitOutAnswersTo (blockNumber);

            return true;
        }
    }

    return false;
}

void HalvekFWUpdater::waitOutAnswersTo (int blockNumber)
{
    // The block went more than once: its other answers may still come, and must come
    // before the next block's frame goes, or one of them would be taken for its answer.
    const auto deadline = juce::Time::getMillisecondCounter() + (juce::uint32) timing.answerLostAfterMs;

    const auto isThisBlock = [blockNumber] (const SentBlock& sent) { return sent.blockNumber == blockNumber; };

    while (! exitRequested() && juce::Time::getMillisecondCounter() < deadline)
    {
        {
            const juce::ScopedReadLock lock (ackLock);

            if (std::none_of (unansweredSends.begin(), unansweredSends.end(), isThisBlock))
                return;
        }

        ackArrived.wait (timing.ackPollMs);
    }

    // Waited out: those answers are lost, and must not take the place of the next block's.
    const juce::ScopedWriteLock lock (ackLock);
    unansweredSends.erase (std::remove_if (unansweredSends.begin(), unansweredSends.end(), isThisBlock),
                           unansweredSends.end());
}

void HalvekFWUpdater::resetAck()
{
    trace ("wait for ack start");
    const juce::ScopedWriteLock lock (ackLock);
    ackValue = 0;
    ackReceived = false;
    ackArrived.reset();
}

void HalvekFWUpdater::expectAnswerTo (int blockNumber)
{
    // Before the send: the answer may come before send() returns.
    const juce::ScopedWriteLock lock (ackLock);
    currentBlockNumber = blockNumber;
    unansweredSends.push_back ({ blockNumber, juce::Time::getMillisecondCounter() });
}

int HalvekFWUpdater::waitForAck (bool waitOutCancel)
{
    int result = 0;

    for (int poll = 0; poll < timing.ackPolls; ++poll)
    {
        {
            const juce::ScopedReadLock lock (ackLock);

            if (ackReceived)
            {
                result = ackValue;
                break;
            }
        }

        if (! waitOutCancel && exitRequested())
            break;

        if (ackWait == AckWait::polled)
            juce::Thread::sleep (timing.ackPollMs);
        else
            ackArrived.wait (timing.ackPollMs);
    }

    trace ("wait for ack stop");
    return result;
}

bool HalvekFWUpdater::exitRequested() const
{
    const auto* thread = juce::Thread::getCurrentThread();
    return thread != nullptr && thread->threadShouldExit();
}

void HalvekFWUpdater::handleMidiMessage (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();

    if (message.getRawDataSize() < 1 || (data[0] & 0xF0) != 0x90)
        return;

    const auto channel = (data[0] & 0x0F) + 1;
    const auto note = message.getRawDataSize() > 1 ? (int) data[1] : 0;
    const auto velocity = message.getRawDataSize() > 2 ? (int) data[2] : 0;

    trace ("received note: " + juce::String (note) + " veloc: " + juce::String (velocity));

    if (channel != ackChannel)
        return;

    const auto answer = note == rejectNote ? -1 : (note == ackNote && velocity == ackVelocity ? 1 : 0);

    if (answer == 0)
        return;

    {
        const juce::ScopedWriteLock lock (ackLock);
        const auto now = juce::Time::getMillisecondCounter();

        while (! unansweredSends.empty()
               && now - unansweredSends.front().sentAtMs > (juce::uint32) timing.answerLostAfterMs)
            unansweredSends.pop_front();

        if (unansweredSends.empty())
            return;   // answers nothing we sent

        const auto answered = unansweredSends.front();
        unansweredSends.pop_front();

        // A late answer to an earlier block is only taken off the list.
        if (answered.blockNumber == currentBlockNumber)
        {
            ackValue = answer;
            ackReceived = true;
        }
    }

    ackArrived.signal();
}
