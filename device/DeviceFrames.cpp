#include "device/DeviceFrames.h"

#include "device/ControlCatalogue.h"

using namespace FrameLayout;

namespace
{
    bool allDataBytes (const std::vector<int>& values)
    {
        for (auto v : values)
            if (! isDataByte (v))
                return false;

        return true;
    }

    std::optional<juce::MidiMessage> buildCheckedFrame (juce::uint8 command, const std::vector<int>& data)
    {
        if (! allDataBytes (data))
            return std::nullopt;

        return buildOwnFrame (command, data);
    }

    int rawByte (const juce::MidiMessage& message, int index)
    {
        return index < message.getRawDataSize() ? (int) message.getRawData()[index] : -1;
    }

    /** Query precondition: a SysEx frame of at least 11 bytes (12 when v is read). */
    bool isLongSysEx (const juce::MidiMessage& message, int minimumSize)
    {
        return message.getRawDataSize() >= minimumSize && rawByte (message, 0) == sysExStart;
    }

    bool isSetFrameOfGroup (const juce::MidiMessage& message, int group)
    {
        return isLongSysEx (message, 11) && rawByte (message, commandByte) == commandSet
               && rawByte (message, groupByte) == group;
    }
}

juce::MidiMessage buildOwnFrame (juce::uint8 command, const std::vector<int>& data)
{
    juce::MemoryBlock bytes;
    const juce::uint8 header[] { sysExStart, manufacturer[0], manufacturer[1], manufacturer[2],
                                 allDevices, model, command, 0x00 };
    bytes.append (header, sizeof (header));

    for (auto v : data)
    {
        const auto byte = (juce::uint8) (v & 0x7F);
        bytes.append (&byte, 1);
    }

    bytes.append (&sysExEnd, 1);
    return juce::MidiMessage (bytes.getData(), (int) bytes.getSize(), 0.0);
}

std::optional<juce::MidiMessage> buildRequestItemNumbers (int item)
{
    return buildCheckedFrame (commandRequest, { 0x03, item });
}

std::optional<juce::MidiMessage> buildRequestItemParam (int param)
{
    return buildCheckedFrame (commandRequest, { param, 0x00 });
}

juce::MidiMessage buildRequestMidiChannel()    { return buildOwnFrame (commandRequest, { globalsGroup, midiChannelGlobal }); }
juce::MidiMessage buildRequestKnobMode()       { return buildOwnFrame (commandRequest, { globalsGroup, knobModeGlobal }); }
juce::MidiMessage buildRequestOctaveShift()    { return buildOwnFrame (commandRequest, { globalsGroup, octaveShiftGlobal }); }

std::optional<juce::MidiMessage> buildRequestGlobal (int index)
{
    return buildCheckedFrame (commandRequest, { globalsGroup, index });
}

std::optional<juce::MidiMessage> buildSetItemParam (int param, int item, int value)
{
    return buildCheckedFrame (commandSet, { param, item, value });
}

std::optional<juce::MidiMessage> buildSetItemValue (int item, int value)
{
    return buildCheckedFrame (commandSet, { 0x00, item, value });
}

std::optional<juce::MidiMessage> buildSetMidiChannel (int value)
{
    return buildSetGlobal (midiChannelGlobal, value);
}

std::optional<juce::MidiMessage> buildSetGlobal (int index, int value)
{
    return buildCheckedFrame (commandSet, { globalsGroup, index, value });
}

std::optional<juce::MidiMessage> buildRequestCurve (int index)
{
    return buildCheckedFrame (commandRequest, { curvesGroup, index });
}

std::optional<juce::MidiMessage> buildSetCurve (int index, int value)
{
    return buildCheckedFrame (commandSet, { curvesGroup, index, value });
}

juce::MidiMessage buildEndOfTransfer()
{
    return buildOwnFrame (commandEndOfTransfer, {});
}

juce::MidiMessage buildIdentityRequest()
{
    const juce::uint8 bytes[] { 0xF0, 0x7E, 0x7F, 0x06, 0x01, 0xF7 };
    return juce::MidiMessage (bytes, (int) sizeof (bytes), 0.0);
}

bool isIdentityReply (const juce::MidiMessage& message)
{
    if (! isLongSysEx (message, 14))
        return false;

    if (rawByte (message, 1) != 0x7E || rawByte (message, 3) != 0x06 || rawByte (message, 4) != 0x02)
        return false;

    const int familyAndMaker[] { 0x00, 0x6D, 0x3A, 0x02, 0x00 };

    for (int i = 0; i < 5; ++i)
        if (rawByte (message, 5 + i) != familyAndMaker[i])
            return false;

    const auto member1 = rawByte (message, 10);
    const auto member2 = rawByte (message, 11);

    if (member1 >= 1 && member1 <= 4)
        return member2 == 0;

    return member1 == 5 && (member2 == 0 || member2 == 2 || member2 == 4);
}

std::optional<std::array<juce::uint8, 4>> identityRevision (const juce::MidiMessage& message)
{
    if (message.getRawDataSize() < 17)
        return std::nullopt;

    const auto* data = message.getRawData();
    return std::array<juce::uint8, 4> { data[12], data[13], data[14], data[15] };
}

bool isOwnSysEx (const juce::MidiMessage& message)
{
    // Device byte not required; a frame whose byte 4 is 0x02 passes whatever its model byte.
    if (! isLongSysEx (message, 8))
        return false;

    for (int i = 0; i < 3; ++i)
        if (rawByte (message, 1 + i) != manufacturer[i])
            return false;

    return rawByte (message, 4) == 0x02 || rawByte (message, 5) == model;
}

bool isItemParamResponse (const juce::MidiMessage& message)
{
    if (! isLongSysEx (message, 11) || rawByte (message, commandByte) != commandSet)
        return false;

    const auto a = rawByte (message, groupByte);
    return a >= ItemParam::firstStored && a <= ItemParam::lastStored;
}

bool isGlobalResponse (const juce::MidiMessage& message)   { return isSetFrameOfGroup (message, globalsGroup); }
bool isCurveResponse (const juce::MidiMessage& message)    { return isSetFrameOfGroup (message, curvesGroup); }

int frameByte9 (const juce::MidiMessage& message)
{
    return isLongSysEx (message, 11) ? rawByte (message, indexByte) : 0;
}

int frameByte10 (const juce::MidiMessage& message)
{
    return isLongSysEx (message, 12) ? rawByte (message, valueByte) : 0;
}

int decodeSevenBitSigned (int value) noexcept
{
    const auto seven = value & 0x7F;
    return seven >= 0x40 ? seven - 0x80 : seven;
}

int decodeSignMagnitude (int value) noexcept
{
    const auto magnitude = value & 0x3F;
    return (value & 0x40) != 0 ? -magnitude : magnitude;
}

int encodeSignMagnitude (int step) noexcept
{
    const auto magnitude = std::min (std::abs (step), 0x3F);
    return step < 0 ? 0x40 | magnitude : magnitude;
}
