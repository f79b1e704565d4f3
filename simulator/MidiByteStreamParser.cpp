#include "simulator/MidiByteStreamParser.h"

namespace
{
    constexpr juce::uint8 sysExStart = 0xF0, sysExEnd = 0xF7, firstRealtime = 0xF8;

    bool isStatus (juce::uint8 byte)          { return byte >= 0x80; }
    bool isChannelStatus (juce::uint8 byte)   { return byte >= 0x80 && byte < 0xF0; }

    /** Bytes of a message that starts with this status; 0 for the undefined F4 and F5. */
    size_t lengthOf (juce::uint8 status)
    {
        switch (status & 0xF0)
        {
            case 0xC0: case 0xD0:   return 2;
            case 0xF0:              break;
            default:                return 3;
        }

        switch (status)
        {
            case 0xF1: case 0xF3:   return 2;
            case 0xF2:              return 3;
            case 0xF6:              return 1;
            default:                return 0;
        }
    }
}

MidiByteStreamParser::MidiByteStreamParser (MessageHandler messageHandler) : handler (std::move (messageHandler)) {}

void MidiByteStreamParser::push (const juce::uint8* data, size_t size, double timeStamp)
{
    for (size_t i = 0; i < size; ++i)
        pushByte (data[i], timeStamp);
}

void MidiByteStreamParser::reset()
{
    pending.clear();
    inSysEx = sysExTooLong = false;
    runningStatus = 0;
    expectedLength = 0;
}

void MidiByteStreamParser::pushByte (juce::uint8 byte, double timeStamp)
{
    if (byte >= firstRealtime)
        handler (juce::MidiMessage (byte, timeStamp));   // goes through without touching what is in progress
    else if (isStatus (byte))
        pushStatus (byte, timeStamp);
    else
        pushData (byte, timeStamp);
}

void MidiByteStreamParser::pushStatus (juce::uint8 status, double timeStamp)
{
    if (status == sysExEnd)
    {
        if (inSysEx)
        {
            pending.push_back (status);
            inSysEx = false;
            deliverPending (timeStamp);
        }

        return;   // an F7 with no SysEx open means nothing
    }

    if (inSysEx)
    {
        inSysEx = false;
        deliverPending (timeStamp);   // cut short: passed on without its end
    }

    pending.assign (1, status);
    sysExTooLong = false;
    runningStatus = isChannelStatus (status) ? status : 0;   // system messages cancel running status

    if (status == sysExStart)
    {
        inSysEx = true;
        return;
    }

    expectedLength = lengthOf (status);

    if (expectedLength == 0)
        pending.clear();
    else if (pending.size() == expectedLength)
        deliverPending (timeStamp);
}

void MidiByteStreamParser::pushData (juce::uint8 data, double timeStamp)
{
    if (inSysEx)
    {
        if (pending.size() < maxSysExBytes)
            pending.push_back (data);
        else
            sysExTooLong = true;

        return;
    }

    if (pending.empty())
    {
        if (runningStatus == 0)
            return;   // nothing for it to belong to

        pending.assign (1, runningStatus);
        expectedLength = lengthOf (runningStatus);
    }

    pending.push_back (data);

    if (pending.size() == expectedLength)
        deliverPending (timeStamp);
}

void MidiByteStreamParser::deliverPending (double timeStamp)
{
    if (! pending.empty() && ! sysExTooLong)
        handler (juce::MidiMessage (pending.data(), (int) pending.size(), timeStamp));

    pending.clear();
    sysExTooLong = false;
}
