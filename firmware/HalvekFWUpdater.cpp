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

HalvekFWUpdater::HalvekFWUpdater (AckWait wait) : ackWait (wait) {}
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
        const auto frame = buildBlockFrame (blocksLeft - 1, packedImage.data() + offset, length);

        if (! sendBlockUntilAccepted (frame))
            return false;

        offset += (size_t) length;
        packedBytesLeft -= (juce::uint32) length;
        --blocksLeft;
        report ((double) offset / (double) total);
    }

    return true;
}

bool HalvekFWUpdater::sendBlockUntilAccepted (const juce::MidiMessage& frame)
{
    for (int attempt = 0; attempt < attemptsPerBlock; ++attempt)
    {
        // Once the user has cancelled, nothing more goes to the bootloader.
        if (exitRequested())
            return false;

        resetAck();
        send (frame);

        if (waitForAck() == 1)
            return true;
    }

    return false;
}

void HalvekFWUpdater::resetAck()
{
    trace ("wait for ack start");
    const juce::ScopedWriteLock lock (ackLock);
    ackValue = 0;
    ackReceived = false;
    ackArrived.reset();
}

int HalvekFWUpdater::waitForAck()
{
    int result = 0;

    for (int poll = 0; poll < ackPolls; ++poll)
    {
        if (exitRequested())
            break;

        {
            const juce::ScopedReadLock lock (ackLock);

            if (ackReceived)
            {
                result = ackValue;
                break;
            }
        }

        if (ackWait == AckWait::polled)
            juce::Thread::sleep (ackPollMs);
        else
            ackArrived.wait (ackPollMs);
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
        ackValue = answer;
        ackReceived = true;
    }

    ackArrived.signal();
}
