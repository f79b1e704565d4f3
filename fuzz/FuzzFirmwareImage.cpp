// Arbitrary bytes as a firmware image: packed and cut into frames as the updater
// does, then reassembled (and unpacked) by the simulated bootloader. The round trip
// must be exact.

#include "firmware/FirmwareImage.h"
#include "fuzz/FuzzSupport.h"
#include "simulator/SimulatedBootloader.h"

extern "C" int LLVMFuzzerInitialize (int*, char***)
{
    initialiseJuceOnce();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput (const juce::uint8* data, size_t size)
{
    if (size == 0)
        return 0;

    // Kept between inputs: their buffers are reused, and restart() is what a new session does.
    static std::vector<juce::uint8> image;
    static SimulatedBootloader bootloader;
    image.assign (data, data + size);
    bootloader.restart();

    const auto packed = packFirmwareImage (image);

    FUZZ_CHECK ((juce::int64) packed.size() == packedSizeFor ((juce::int64) size));

    for (auto byte : packed)
        FUZZ_CHECK (byte < 0x80);

    const auto blocks = (int) blockCountFor ((juce::int64) packed.size());
    const auto start = buildStartFrame (blocks);
    FUZZ_CHECK (hasOnlyDataBytes (start));
    bootloader.handle (start);

    for (int block = 0; block < blocks; ++block)
    {
        const auto offset = (size_t) block * FirmwareLayout::blockSize;
        const auto length = (int) std::min<size_t> (FirmwareLayout::blockSize, packed.size() - offset);
        const auto frame = buildBlockFrame (blocks - 1 - block, packed.data() + offset, length);

        FUZZ_CHECK (hasOnlyDataBytes (frame));
        const auto reply = bootloader.handle (frame);
        FUZZ_CHECK (reply.answer.has_value() && reply.answer->getNoteNumber() == FirmwareLayout::ackNote);
    }

    FUZZ_CHECK (bootloader.isComplete());
    FUZZ_CHECK (*bootloader.getImage() == image);
    return 0;
}
