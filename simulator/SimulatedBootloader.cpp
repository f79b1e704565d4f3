#include "simulator/SimulatedBootloader.h"

#include "firmware/FirmwareImage.h"

using namespace FirmwareLayout;

namespace
{
    bool hasSignature (const juce::uint8* at)
    {
        return at[0] == signature[0] && at[1] == signature[1] && at[2] == signature[2];
    }

    int twentyOneBits (const juce::uint8* at)
    {
        return (at[0] << 14) | (at[1] << 7) | at[2];
    }
}

void SimulatedBootloader::setFaults (const Faults& newFaults)
{
    faults = newFaults;
    rejectionsLeft = newFaults.rejectBlock;
}

void SimulatedBootloader::restart()
{
    auto kept = faults;
    *this = SimulatedBootloader();
    setFaults (kept);
}

SimulatedBootloader::Reply SimulatedBootloader::handle (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();

    if (size < 9 || data[0] != 0xF0 || data[size - 1] != 0xF7)
        return {};

    if (size == 9 && hasSignature (data + 1) && data[7] == startFrameTrailer)
        return handleStartFrame (data, size);

    if (size >= 11 && hasSignature (data + 3))
        return handleBlockFrame (data, size);

    return {};
}

SimulatedBootloader::Reply SimulatedBootloader::handleStartFrame (const juce::uint8* data, int)
{
    expectedBlocks = twentyOneBits (data + 4);
    nextBlockNumber = expectedBlocks - 1;
    lastAcceptedNumber = -1;
    packed.clear();
    image.reset();
    return {};
}

SimulatedBootloader::Reply SimulatedBootloader::handleBlockFrame (const juce::uint8* data, int size)
{
    const auto blockIndex = blockFrames++;

    if (faults.vanishAtBlock.has_value() && *faults.vanishAtBlock == blockIndex)
        return { std::nullopt, true };

    const auto number = twentyOneBits (data + 6);
    const auto payloadLength = size - 10;
    const auto sum = blockChecksum (data + 3, size - 4);
    const bool checksumOk = data[1] == (sum & 0x7F) && data[2] == ((sum >> 7) & 0x7F);

    if (const auto forced = rejectionsLeft.find (acceptedBlocks); forced != rejectionsLeft.end() && forced->second > 0)
    {
        --forced->second;
        return acknowledge (false);
    }

    // A block sent again because its acknowledgement was lost is acknowledged again.
    if (checksumOk && number == lastAcceptedNumber)
        return acknowledge (true);

    if (checksumOk && number != nextBlockNumber)
        ++outOfOrder;

    if (! checksumOk || number != nextBlockNumber)
        return acknowledge (false);

    packed.insert (packed.end(), data + 9, data + 9 + payloadLength);
    lastAcceptedNumber = number;
    --nextBlockNumber;
    const auto acceptedIndex = acceptedBlocks++;

    if (number == 0)
        image = unpackFirmwareImage (packed);

    auto reply = acknowledge (true);
    const auto late = faults.lateFirstAnswerMs.find (acceptedIndex);

    if (late != faults.lateFirstAnswerMs.end() && answeredBlockIndices.insert (acceptedIndex).second)
        reply.delayMs = late->second;

    return reply;
}

SimulatedBootloader::Reply SimulatedBootloader::acknowledge (bool accepted)
{
    if (! accepted)
        ++rejections;

    if (faults.neverAnswer)
        return {};

    const auto note = accepted ? ackNote : rejectNote;
    const auto velocity = accepted ? faults.answerVelocity : 0x40;
    return { juce::MidiMessage::noteOn (faults.answerChannel, note, (juce::uint8) velocity), false, 0 };
}
