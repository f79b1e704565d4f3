#include "simulator/RawMidiPort.h"

#include <alsa/asoundlib.h>

#include <cerrno>
#include <poll.h>

namespace
{
    // Room for a long stall of the reader: every few bytes take a stamped record of 32 bytes.
    constexpr size_t inputBufferBytes = 256 * 1024;

    bool readsWithTimes (snd_rawmidi_t* input)
    {
        snd_rawmidi_params_t* params = nullptr;
        snd_rawmidi_params_alloca (&params);

        return snd_rawmidi_params_current (input, params) == 0
               && snd_rawmidi_params_set_buffer_size (input, params, inputBufferBytes) == 0
               && snd_rawmidi_params_set_read_mode (input, params, SND_RAWMIDI_READ_TSTAMP) == 0
               && snd_rawmidi_params_set_clock_type (input, params, SND_RAWMIDI_CLOCK_MONOTONIC) == 0
               && snd_rawmidi_params (input, params) == 0;
    }

    bool isGone (long error)   { return error == -ENODEV || error == -EBADFD || error == -EIO || error == -ENXIO; }
}

std::unique_ptr<RawMidiPort> RawMidiPort::open (const juce::String& device, juce::String& problem)
{
    snd_rawmidi_t* input = nullptr;
    snd_rawmidi_t* output = nullptr;

    if (const auto error = snd_rawmidi_open (&input, &output, device.toRawUTF8(), SND_RAWMIDI_NONBLOCK); error < 0)
    {
        problem = device + ": " + snd_strerror (error);
        return {};
    }

    // CLOCK_MONOTONIC is the steady clock's, so the kernel's stamps compare with Clock::now().
    if (! readsWithTimes (input))
    {
        problem = device + ": the kernel does not stamp what this device reads";
        snd_rawmidi_close (input);
        snd_rawmidi_close (output);
        return {};
    }

    return std::unique_ptr<RawMidiPort> (new RawMidiPort (input, output));
}

RawMidiPort::RawMidiPort (snd_rawmidi_t* in, snd_rawmidi_t* out) : input (in), output (out) {}

RawMidiPort::~RawMidiPort()
{
    snd_rawmidi_close (input);
    snd_rawmidi_close (output);
}

bool RawMidiPort::waitFor (snd_rawmidi_t* handle, short events, int timeoutMs)
{
    pollfd descriptors[4];
    const auto count = snd_rawmidi_poll_descriptors (handle, descriptors, 4);

    if (count <= 0)
        return false;

    for (int i = 0; i < count; ++i)
        descriptors[i].events = events;

    return poll (descriptors, (nfds_t) count, timeoutMs) > 0;
}

RawMidiPort::ReadStatus RawMidiPort::read (std::vector<Chunk>& chunks, int timeoutMs)
{
    if (! waitFor (input, POLLIN, timeoutMs))
        return ReadStatus::nothing;   // an unplugged device wakes the poll: the read below says so

    return takeWaiting (chunks);
}

RawMidiPort::ReadStatus RawMidiPort::takeWaiting (std::vector<Chunk>& chunks)
{
    auto status = ReadStatus::nothing;
    juce::uint8 buffer[256];

    for (;;)
    {
        timespec stamp {};
        const auto got = snd_rawmidi_tread (input, &stamp, buffer, sizeof (buffer));

        if (got == -EAGAIN || got == 0)
            return status;

        if (got < 0)
            return isGone (got) ? ReadStatus::gone : status;

        const auto arrival = Clock::time_point (std::chrono::duration_cast<Clock::duration> (
            std::chrono::seconds (stamp.tv_sec) + std::chrono::nanoseconds (stamp.tv_nsec)));
        chunks.push_back ({ arrival, { buffer, buffer + got } });
        status = ReadStatus::bytes;
    }
}

bool RawMidiPort::write (const juce::uint8* data, size_t size, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds (timeoutMs);

    while (size > 0)
    {
        const auto written = snd_rawmidi_write (output, data, size);

        if (written > 0)
        {
            data += written;
            size -= (size_t) written;
            continue;
        }

        if (written != -EAGAIN)
            return false;

        const auto left = std::chrono::duration_cast<std::chrono::milliseconds> (deadline - Clock::now()).count();

        if (left <= 0 || ! waitFor (output, POLLOUT, (int) left))
            return false;
    }

    return true;
}

size_t RawMidiPort::getOverrunCount()
{
    snd_rawmidi_status_t* status = nullptr;
    snd_rawmidi_status_alloca (&status);
    return snd_rawmidi_status (input, status) == 0 ? snd_rawmidi_status_get_xruns (status) : 0;
}
