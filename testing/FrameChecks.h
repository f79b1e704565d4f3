#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>

// Shared by the tests and the fuzz targets (header only: the fuzzers link no test code).

/** An identity reply of the keyboard: member 1 0 and revision r0..r3. */
inline juce::MidiMessage keyboardIdentityReply (std::array<int, 4> revision = { 0, 1, 0, 5 })
{
    const juce::uint8 reply[] { 0xF0, 0x7E, 0x00, 0x06, 0x02, 0x00, 0x6D, 0x3A, 0x02, 0x00, 0x01, 0x00,
                                (juce::uint8) revision[0], (juce::uint8) revision[1],
                                (juce::uint8) revision[2], (juce::uint8) revision[3], 0xF7 };
    return juce::MidiMessage (reply, (int) sizeof (reply), 0.0);
}

/** True when every byte between F0 and F7 of a SysEx message is below 0x80. */
inline bool hasOnlyDataBytes (const juce::MidiMessage& message)
{
    const auto* data = message.getRawData();
    const auto size = message.getRawDataSize();

    if (size < 2 || data[0] != 0xF0 || data[size - 1] != 0xF7)
        return false;

    for (int i = 1; i < size - 1; ++i)
        if (data[i] >= 0x80)
            return false;

    return true;
}
