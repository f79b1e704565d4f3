#include "firmware/FirmwareImage.h"
#include "tests/support/TestSupport.h"

using Bytes = std::vector<juce::uint8>;

namespace
{
    std::vector<int> ints (const Bytes& bytes)   { return { bytes.begin(), bytes.end() }; }

    Bytes patternOfSize (size_t size)
    {
        Bytes bytes (size);
        for (size_t i = 0; i < size; ++i)
            bytes[i] = (juce::uint8) (i * 37 + 0x80 * (i % 3 == 0));
        return bytes;
    }
}

TEST (FirmwareImage, PackingExamples)
{
    EXPECT_EQ (ints (packFirmwareImage ({ 0x80, 0x01, 0xFF })), (std::vector<int> { 0x50, 0x00, 0x01, 0x7F }));
    EXPECT_EQ (ints (packFirmwareImage ({ 0x80 })), (std::vector<int> { 0x40, 0x00 }));
    EXPECT_TRUE (packFirmwareImage ({}).empty());

    // A full group keeps its header first: the seventh byte's top bit is header bit 0.
    const auto full = packFirmwareImage ({ 0, 0, 0, 0, 0, 0, 0x81, 0x80 });
    EXPECT_EQ (ints (full), (std::vector<int> { 0x01, 0, 0, 0, 0, 0, 0, 0x01, 0x40, 0x00 }));
}

TEST (FirmwareImage, SizesAndBlockCounts)
{
    EXPECT_EQ (packFirmwareImage (patternOfSize (28)).size(), 32u);
    EXPECT_EQ (packFirmwareImage (patternOfSize (29)).size(), 34u);
    EXPECT_EQ (packFirmwareImage (patternOfSize (70)).size(), 80u);

    for (juce::int64 n : { 1, 6, 7, 8, 28, 29, 65536 })
        EXPECT_EQ (packedSizeFor (n), (juce::int64) packFirmwareImage (patternOfSize ((size_t) n)).size()) << n;

    EXPECT_EQ (blockCountFor (32), 1);
    EXPECT_EQ (blockCountFor (33), 2);
    EXPECT_EQ (blockCountFor (34), 2);
}

TEST (FirmwareImage, PackedBytesAreSevenBitAndUnpackExactly)
{
    for (size_t size : { 1u, 7u, 14u, 29u, 1000u })
    {
        const auto original = patternOfSize (size);
        const auto packed = packFirmwareImage (original);

        for (auto b : packed)
            ASSERT_LT (b, 0x80);

        EXPECT_EQ (unpackFirmwareImage (packed), original) << size;
    }

    EXPECT_FALSE (unpackFirmwareImage ({ 0x40 }).has_value());        // a header with no bytes
    EXPECT_FALSE (unpackFirmwareImage ({ 0x80, 0x01 }).has_value());  // bit 7 in a header
}

TEST (FirmwareImage, StartAndBlockFramesByteForByte)
{
    EXPECT_EQ (bytesOf (buildStartFrame (1)), (std::vector<int> { 0xF0, 0x51, 0x54, 0x18, 0x00, 0x00, 0x01, 0x29, 0xF7 }));
    EXPECT_EQ (bytesOf (buildStartFrame ((1 << 21) - 1)),
               (std::vector<int> { 0xF0, 0x51, 0x54, 0x18, 0x7F, 0x7F, 0x7F, 0x29, 0xF7 }));

    const Bytes data { 0x50, 0x00, 0x01, 0x7F };
    EXPECT_EQ (bytesOf (buildBlockFrame (0, data.data(), 4)),
               (std::vector<int> { 0xF0, 0x0D, 0x03, 0x51, 0x54, 0x18, 0x00, 0x00, 0x00, 0x50, 0x00, 0x01, 0x7F, 0xF7 }));

    const Bytes single { 0x40, 0x00 };
    EXPECT_EQ (bytesOf (buildBlockFrame (0, single.data(), 2)),
               (std::vector<int> { 0xF0, 0x7D, 0x01, 0x51, 0x54, 0x18, 0x00, 0x00, 0x00, 0x40, 0x00, 0xF7 }));

    // Block number 16384 + 128 + 1 spreads over the three bytes and into the sum.
    const auto numbered = bytesOf (buildBlockFrame (16384 + 128 + 1, single.data(), 2));
    EXPECT_EQ (std::vector<int> (numbered.begin() + 6, numbered.begin() + 9), (std::vector<int> { 1, 1, 1 }));
    const int sum = 0xBD + 3 + 0x40;
    EXPECT_EQ (numbered[1], sum & 0x7F);
    EXPECT_EQ (numbered[2], (sum >> 7) & 0x7F);
}
