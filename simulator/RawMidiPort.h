#pragma once

#include <juce_core/juce_core.h>

#include <chrono>
#include <memory>
#include <optional>
#include <vector>

typedef struct _snd_rawmidi snd_rawmidi_t;

/** Both directions of an ALSA raw MIDI device (alsa-lib), for a program that is the
    device on the far side of a USB cable. What is read comes with the time the
    kernel took it in, so bytes that waited in the buffer for a late reader still
    tell when they crossed the cable. */
class RawMidiPort
{
public:
    using Clock = std::chrono::steady_clock;

    struct Chunk
    {
        Clock::time_point arrival;
        std::vector<juce::uint8> bytes;
    };

    enum class ReadStatus { bytes, nothing, gone };

    /** The device ("hw:Gadget,0"), or the reason it cannot be opened. */
    static std::unique_ptr<RawMidiPort> open (const juce::String& device, juce::String& problem);

    ~RawMidiPort();

    /** Waits up to `timeoutMs` for bytes and appends everything waiting; `gone` once
        the device has been unplugged. */
    ReadStatus read (std::vector<Chunk>& chunks, int timeoutMs);

    /** Writes all bytes, waiting at most `timeoutMs` for room; false when they could
        not all go (the device has gone, or nobody takes them in). */
    bool write (const juce::uint8* data, size_t size, int timeoutMs);

    /** Bytes the kernel had to drop because its buffer was full when they came. */
    size_t getOverrunCount();

private:
    RawMidiPort (snd_rawmidi_t* input, snd_rawmidi_t* output);

    bool waitFor (snd_rawmidi_t* handle, short events, int timeoutMs);
    ReadStatus takeWaiting (std::vector<Chunk>& chunks);

    snd_rawmidi_t* input;
    snd_rawmidi_t* output;
};
