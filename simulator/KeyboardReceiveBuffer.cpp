#include "simulator/KeyboardReceiveBuffer.h"

#include <algorithm>

std::optional<KeyboardReceiveBuffer::Clock::duration> KeyboardReceiveBuffer::accept (int frameBytes,
                                                                                    Clock::time_point arrival)
{
    const std::lock_guard<std::mutex> lock (mutex);
    const auto elapsedMs = std::chrono::duration<double, std::milli> (arrival - lastArrival).count();
    level = std::max (0.0, level - std::max (0.0, elapsedMs) * drainBytesPerMs);
    lastArrival = std::max (lastArrival, arrival);

    if (level + frameBytes > capacityBytes)
    {
        ++lostFrames;
        return std::nullopt;
    }

    level += frameBytes;
    return std::chrono::duration_cast<Clock::duration> (std::chrono::duration<double, std::milli> (level / drainBytesPerMs));
}

int KeyboardReceiveBuffer::getLostFrameCount() const
{
    const std::lock_guard<std::mutex> lock (mutex);
    return lostFrames;
}
