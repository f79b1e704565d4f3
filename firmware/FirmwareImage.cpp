#include "firmware/FirmwareImage.h"

using namespace FirmwareLayout;

namespace
{
    void appendTwentyOneBits (std::vector<juce::uint8>& bytes, int value)
    {
        bytes.push_back ((juce::uint8) ((value >> 14) & 0x7F));
        bytes.push_back ((juce::uint8) ((value >> 7) & 0x7F));
        bytes.push_back ((juce::uint8) (value & 0x7F));
    }

    juce::MidiMessage messageFrom (const std::vector<juce::uint8>& bytes)
    {
        return juce::MidiMessage (bytes.data(), (int) bytes.size(), 0.0);
    }
}

std::vector<juce::uint8> packFirmwareImage (const std::vector<juce::uint8>& bytes)
{
    std::vector<juce::uint8> packed;
    packed.reserve ((size_t) packedSizeFor ((juce::int64) bytes.size()));

    for (size_t groupStart = 0; groupStart < bytes.size(); groupStart += 7)
    {
        const auto headerPosition = packed.size();
        packed.push_back (0);
        juce::uint8 header = 0;

        for (size_t j = 0; j < 7 && groupStart + j < bytes.size(); ++j)
        {
            const auto c = bytes[groupStart + j];

            if ((c & 0x80) != 0)
                header |= (juce::uint8) (1 << (6 - j));

            packed.push_back ((juce::uint8) (c & 0x7F));
        }

        packed[headerPosition] = header;
    }

    return packed;
}

std::optional<std::vector<juce::uint8>> unpackFirmwareImage (const std::vector<juce::uint8>& packed)
{
    std::vector<juce::uint8> bytes;
    size_t i = 0;

    while (i < packed.size())
    {
        const auto header = packed[i++];
        const auto groupLength = std::min ((size_t) 7, packed.size() - i);

        if (groupLength == 0 || (header & 0x80) != 0)
            return std::nullopt;

        for (size_t j = 0; j < groupLength; ++j)
        {
            const auto c = packed[i++];

            if ((c & 0x80) != 0)
                return std::nullopt;

            const bool topBit = (header & (1 << (6 - j))) != 0;
            bytes.push_back ((juce::uint8) (c | (topBit ? 0x80 : 0)));
        }
    }

    return bytes;
}

juce::int64 packedSizeFor (juce::int64 fileSize)    { return fileSize + (fileSize + 6) / 7; }
juce::int64 blockCountFor (juce::int64 packedSize)  { return (packedSize + blockSize - 1) / blockSize; }

juce::MidiMessage buildStartFrame (int blockCount)
{
    std::vector<juce::uint8> bytes { 0xF0, signature[0], signature[1], signature[2] };
    appendTwentyOneBits (bytes, blockCount);
    bytes.push_back (startFrameTrailer);
    bytes.push_back (0xF7);
    return messageFrom (bytes);
}

int blockChecksum (const juce::uint8* fromSignature, int count)
{
    int sum = 0;

    for (int i = 0; i < count; ++i)
        sum += fromSignature[i];

    return sum & 0xFFFF;
}

juce::MidiMessage buildBlockFrame (int blockNumber, const juce::uint8* data, int length)
{
    std::vector<juce::uint8> bytes { 0xF0, 0, 0, signature[0], signature[1], signature[2] };
    appendTwentyOneBits (bytes, blockNumber);
    bytes.insert (bytes.end(), data, data + length);

    const auto sum = blockChecksum (bytes.data() + 3, (int) bytes.size() - 3);
    bytes[1] = (juce::uint8) (sum & 0x7F);
    bytes[2] = (juce::uint8) ((sum >> 7) & 0x7F);
    bytes.push_back (0xF7);
    return messageFrom (bytes);
}
