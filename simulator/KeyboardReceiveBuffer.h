#pragma once

#include <chrono>
#include <mutex>
#include <optional>

/** The keyboard's USB MIDI receive buffer as the simulated keyboard models it: frames
    land in a buffer of `capacityBytes` that the keyboard's firmware empties at
    `drainBytesPerMs` while it parses and applies them, in order; a frame that does
    not fit is lost whole, and a frame is acted on (and answered) once it has been
    taken out. With these figures a 12-byte set frame is taken out in 1.5 ms, so
    frames paced 2 ms apart never pile up, while a burst of more than ten frames
    without the pauses overflows it, as it would on the keyboard. */
class KeyboardReceiveBuffer
{
public:
    using Clock = std::chrono::steady_clock;

    static constexpr double capacityBytes = 128.0;
    static constexpr double drainBytesPerMs = 8.0;

    /** When a frame of this size, arriving now, fits: how long until the keyboard has
        taken it out. Nothing when it is lost. */
    std::optional<Clock::duration> accept (int frameBytes, Clock::time_point arrival = Clock::now());

    int getLostFrameCount() const;

private:
    mutable std::mutex mutex;
    double level = 0.0;
    Clock::time_point lastArrival {};
    int lostFrames = 0;
};
