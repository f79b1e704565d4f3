#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <array>
#include <optional>
#include <vector>

// The keyboard's SysEx frames: builders for what we send, and tests on what
// we receive. Every frame of its own protocol starts F0 00 6D 3A 7F 42 cmd 00.

namespace FrameLayout
{
    constexpr juce::uint8 sysExStart = 0xF0;
    constexpr juce::uint8 sysExEnd = 0xF7;
    constexpr juce::uint8 manufacturer[] { 0x00, 0x6D, 0x3A };
    constexpr juce::uint8 allDevices = 0x7F;
    constexpr juce::uint8 model = 0x42;

    constexpr juce::uint8 commandRequest = 0x01;
    constexpr juce::uint8 commandSet = 0x02;
    constexpr juce::uint8 commandEndOfTransfer = 0x06;

    constexpr int globalsGroup = 0x40;
    constexpr int curvesGroup = 0x41;

    constexpr int commandByte = 6;
    constexpr int groupByte = 8;    // "a": ItemParam, 0x40 or 0x41
    constexpr int indexByte = 9;    // "b": ItemId or index
    constexpr int valueByte = 10;   // "v"

    constexpr int midiChannelGlobal = 6;
    constexpr int knobModeGlobal = 2;
    constexpr int octaveShiftGlobal = 3;
}

/** True when v fits in one data byte of a SysEx frame. */
constexpr bool isDataByte (int v) noexcept    { return v >= 0 && v <= 0x7F; }

// Builders. The ones that take values answer nothing when a value cannot be
// carried in a data byte (the hidden items' number -1, say): a frame with a
// byte of 0x80 or more would end the SysEx early on the keyboard's side.
std::optional<juce::MidiMessage> buildRequestItemNumbers (int item);
std::optional<juce::MidiMessage> buildRequestItemParam (int param);
juce::MidiMessage buildRequestMidiChannel();
juce::MidiMessage buildRequestKnobMode();
juce::MidiMessage buildRequestOctaveShift();
std::optional<juce::MidiMessage> buildRequestGlobal (int index);
std::optional<juce::MidiMessage> buildSetItemParam (int param, int item, int value);
std::optional<juce::MidiMessage> buildSetItemValue (int item, int value);
std::optional<juce::MidiMessage> buildSetMidiChannel (int value);
std::optional<juce::MidiMessage> buildSetCurve (int index, int value);
std::optional<juce::MidiMessage> buildSetGlobal (int index, int value);
std::optional<juce::MidiMessage> buildRequestCurve (int index);
juce::MidiMessage buildEndOfTransfer();
juce::MidiMessage buildIdentityRequest();

/** A frame of the keyboard's own protocol with the given command and data bytes a, b, ...
    Each value is cut to seven bits; callers check what must not be cut. */
juce::MidiMessage buildOwnFrame (juce::uint8 command, const std::vector<int>& data);

// Tests on received messages.
bool isIdentityReply (const juce::MidiMessage& message);
bool isOwnSysEx (const juce::MidiMessage& message);
bool isItemParamResponse (const juce::MidiMessage& message);
bool isGlobalResponse (const juce::MidiMessage& message);
bool isCurveResponse (const juce::MidiMessage& message);

/** Byte 9 ("b") and byte 10 ("v") of a frame; 0 when the frame is too short. */
int frameByte9 (const juce::MidiMessage& message);
int frameByte10 (const juce::MidiMessage& message);

/** Revision bytes 12..15 of an identity reply, when it is long enough to carry them. */
std::optional<std::array<juce::uint8, 4>> identityRevision (const juce::MidiMessage& message);

/** A seven-bit two's-complement byte (the octave shift): 0x40..0x7F are -64..-1. */
int decodeSevenBitSigned (int value) noexcept;

/** Sign and magnitude (the endless encoders): 0x01 is +1, 0x41 is -1. */
int decodeSignMagnitude (int value) noexcept;
int encodeSignMagnitude (int step) noexcept;   // -63..63
