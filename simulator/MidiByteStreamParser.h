#pragma once

#include <juce_audio_basics/juce_audio_basics.h>

#include <functional>
#include <vector>

/** Cuts a MIDI byte stream into messages, as the keyboard's firmware reads what
    arrives over its USB cable: SysEx from F0 to F7, channel messages with running
    status, system common messages, and realtime bytes (F8 to FF) as messages of
    their own wherever they come, even inside a SysEx. A SysEx cut short by another
    status byte is passed on as it came, without its F7, so a torn frame is seen
    as torn. Data bytes with no status to belong to are dropped. */
class MidiByteStreamParser
{
public:
    using MessageHandler = std::function<void (const juce::MidiMessage&)>;

    /** Longer SysEx is dropped: no frame of the keyboard's protocol comes near. */
    static constexpr size_t maxSysExBytes = 1 << 20;

    explicit MidiByteStreamParser (MessageHandler handler);

    /** The handler sees each message completed by these bytes, stamped with `timeStamp`. */
    void push (const juce::uint8* data, size_t size, double timeStamp = 0.0);

    /** Forgets a message in progress, as after the cable was pulled. */
    void reset();

private:
    void pushByte (juce::uint8 byte, double timeStamp);
    void pushStatus (juce::uint8 status, double timeStamp);
    void pushData (juce::uint8 data, double timeStamp);
    void deliverPending (double timeStamp);

    MessageHandler handler;
    std::vector<juce::uint8> pending;
    bool inSysEx = false;
    bool sysExTooLong = false;
    juce::uint8 runningStatus = 0;
    size_t expectedLength = 0;
};
