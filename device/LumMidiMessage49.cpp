#include "device/LumMidiMessage49.h"

#include "device/DeviceFrames.h"

using namespace FrameLayout;

LumMidiMessage49::LumMidiMessage49 (const juce::MidiMessage& message)
    : juce::MidiMessage (message)
{
}

int LumMidiMessage49::byteAt (int index) const
{
    return index < getRawDataSize() ? (int) getRawData()[index] : 0;
}

// Queries need a SysEx frame of at least 11 bytes; those that read v need 12.
bool LumMidiMessage49::hasQueryHeader() const   { return getRawDataSize() >= 11 && byteAt (0) == sysExStart; }
bool LumMidiMessage49::hasValueByte() const     { return hasQueryHeader() && getRawDataSize() >= 12; }

bool LumMidiMessage49::isCommandWithGroup (int command, int group) const
{
    return hasQueryHeader() && byteAt (commandByte) == command && byteAt (groupByte) == group;
}

bool LumMidiMessage49::isGlobalQuery (int command, int index) const
{
    return isCommandWithGroup (command, globalsGroup) && byteAt (indexByte) == index;
}

bool LumMidiMessage49::isItemConfigRequest() const   { return isCommandWithGroup (commandRequest, 0x03); }
bool LumMidiMessage49::isItemConfigResponse() const  { return isCommandWithGroup (commandSet, 0x03); }
int LumMidiMessage49::getItemConfigItem() const      { return hasQueryHeader() ? byteAt (indexByte) : 0; }

std::vector<int> LumMidiMessage49::getItemConfigPairs() const
{
    std::vector<int> pairs;

    if (! hasQueryHeader())
        return pairs;

    // n = (SysEx data size - 8) / 2: an odd byte before F7 is left over.
    const auto pairCount = (getRawDataSize() - 2 - 8) / 2;
    pairs.reserve ((size_t) std::max (0, 2 * pairCount));

    for (int k = 0; k < pairCount; ++k)
    {
        pairs.push_back (byteAt (indexByte + 2 * k));
        pairs.push_back (byteAt (valueByte + 2 * k));
    }

    return pairs;
}

bool LumMidiMessage49::isItemValueRequest() const    { return isCommandWithGroup (commandRequest, 0x00); }
bool LumMidiMessage49::isItemValueResponse() const   { return isCommandWithGroup (commandSet, 0x00); }
int LumMidiMessage49::getItemValueItem() const       { return hasQueryHeader() ? byteAt (indexByte) : 0; }
int LumMidiMessage49::getItemValue() const           { return hasValueByte() ? byteAt (valueByte) : 0; }

bool LumMidiMessage49::isMidiChannelRequest() const  { return isGlobalQuery (commandRequest, midiChannelGlobal); }
bool LumMidiMessage49::isMidiChannelResponse() const { return isGlobalQuery (commandSet, midiChannelGlobal); }
int LumMidiMessage49::getMidiChannel() const         { return hasValueByte() ? byteAt (valueByte) : 0; }

bool LumMidiMessage49::isKnobModeRequest() const     { return isGlobalQuery (commandRequest, knobModeGlobal); }
bool LumMidiMessage49::isKnobModeResponse() const    { return isGlobalQuery (commandSet, knobModeGlobal); }
bool LumMidiMessage49::isKnobRelative() const        { return hasValueByte() && byteAt (valueByte) == 127; }

bool LumMidiMessage49::isOctaveShiftRequest() const  { return isGlobalQuery (commandRequest, octaveShiftGlobal); }
bool LumMidiMessage49::isOctaveShiftResponse() const { return isGlobalQuery (commandSet, octaveShiftGlobal); }
int LumMidiMessage49::getOctaveShift() const         { return hasValueByte() ? byteAt (valueByte) : 0; }

// For this keyboard the LED state travels in the same parameter-0 frame as an item's value.
bool LumMidiMessage49::isLedStateRequest() const     { return isItemValueRequest(); }
bool LumMidiMessage49::isLedStateResponse() const    { return isItemValueResponse(); }
int LumMidiMessage49::getLedStateItem() const        { return getItemValueItem(); }
int LumMidiMessage49::getLedState() const            { return getItemValue(); }

bool LumMidiMessage49::isOwnSysEx() const            { return ::isOwnSysEx (*this); }

juce::String LumMidiMessage49::toHexString() const
{
    juce::String text;

    for (int i = 0; i < getRawDataSize(); ++i)
        text << juce::String::formatted ("%.2X ", byteAt (i));

    return text + "\n";
}

juce::String LumMidiMessage49::frameKind() const
{
    if (isItemConfigResponse())   return "item numbers";
    if (isItemConfigRequest())    return "request for item numbers";
    if (isItemValueResponse())    return "item value";
    if (isItemValueRequest())     return "request for an item value";
    if (isMidiChannelResponse())  return "MIDI channel";
    if (isKnobModeResponse())     return "knob mode";
    if (isOctaveShiftResponse())  return "octave shift";
    if (isGlobalResponse (*this)) return "global " + juce::String (byteAt (indexByte));
    if (isCurveResponse (*this))  return "curve " + juce::String (byteAt (indexByte));
    if (isItemParamResponse (*this)) return "values of parameter " + juce::String (byteAt (groupByte));
    return "frame";
}

juce::String LumMidiMessage49::describe() const
{
    if (! isSysEx())
        return getDescription();

    if (isIdentityReply (*this))
        return "identity reply (" + juce::String (getRawDataSize()) + " bytes)";

    if (! isOwnSysEx())
        return "foreign SysEx (" + juce::String (getRawDataSize()) + " bytes)";

    return "keyboard " + frameKind() + " (" + juce::String (getRawDataSize()) + " bytes)";
}
