#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <optional>
#include <vector>

// The firmware image as the bootloader takes it: packed into 7-bit bytes and
// cut into 32-byte blocks, numbered downwards, each in a checksummed SysEx frame.

namespace FirmwareLayout
{
    constexpr int blockSize = 32;
    constexpr juce::uint8 signature[] { 0x51, 0x54, 0x18 };
    constexpr juce::uint8 startFrameTrailer = 0x29;

    /** Block numbers and the block count travel in three 7-bit bytes. */
    constexpr juce::int64 maxBlockCount = (1 << 21) - 1;

    constexpr int ackChannel = 1;
    constexpr int ackNote = 0x51;
    constexpr int ackVelocity = 0x54;
    constexpr int rejectNote = 0x61;
}

/** Groups of seven bytes become a header byte holding their top bits, then the
    bytes with bit 7 cleared: 80 01 FF packs into 50 00 01 7F. */
std::vector<juce::uint8> packFirmwareImage (const std::vector<juce::uint8>& bytes);

/** The inverse of packFirmwareImage; nothing when the packed bytes are malformed. */
std::optional<std::vector<juce::uint8>> unpackFirmwareImage (const std::vector<juce::uint8>& packed);

/** n + ceil(n / 7). */
juce::int64 packedSizeFor (juce::int64 fileSize);

/** (packed + 31) / 32. */
juce::int64 blockCountFor (juce::int64 packedSize);

/** F0 51 54 18 t2 t1 t0 29 F7, announcing T blocks. */
juce::MidiMessage buildStartFrame (int blockCount);

/** F0 sl sh 51 54 18 b2 b1 b0 data... F7, where s is the 16-bit sum of bytes 3 .. 8 + L. */
juce::MidiMessage buildBlockFrame (int blockNumber, const juce::uint8* data, int length);

/** The checksum of a block frame's bytes from offset 3 up to the byte before F7. */
int blockChecksum (const juce::uint8* fromSignature, int count);
