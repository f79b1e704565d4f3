#include "device/FramePacing.h"

#include <chrono>
#include <thread>

namespace
{
    // The kernel wakes a sleeping thread up to a few hundred microseconds late;
    // sleeping short of the deadline and yielding the rest keeps each pause within
    // a few microseconds of its length.
    constexpr auto wakeUpMargin = std::chrono::microseconds (300);
}

void sleepPrecisely (double milliseconds)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::duration_cast<Clock::duration> (
                                             std::chrono::duration<double, std::milli> (milliseconds));

    const auto coarse = deadline - wakeUpMargin;

    if (Clock::now() < coarse)
        std::this_thread::sleep_until (coarse);

    while (Clock::now() < deadline)
        std::this_thread::yield();
}

void pauseAfterFrame()              { sleepPrecisely (2.0); }
void pauseAfterIdentityRequest()    { sleepPrecisely (5.0); }
