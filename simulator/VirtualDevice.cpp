#include "simulator/VirtualDevice.h"

VirtualDevice::VirtualDevice() = default;

VirtualDevice::~VirtualDevice()
{
    jassert (! thread.joinable());   // the derived destructor must have called stopDevice()
}

void VirtualDevice::startDevice()
{
    thread = std::thread ([this] { runDevice(); });
}

void VirtualDevice::stopDevice()
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        stopping = true;
    }
    wakeUp.notify_all();

    if (thread.joinable())
        thread.join();
}

void VirtualDevice::postIncoming (const juce::MidiMessage& message, Clock::duration delay)
{
    post ({ Clock::now() + delay, 0, true, message, {} });
}

void VirtualDevice::postOutgoing (const juce::MidiMessage& message, Clock::duration delay)
{
    post ({ Clock::now() + delay, 0, false, message, {} });
}

void VirtualDevice::postAction (std::function<void()> action, Clock::duration delay)
{
    post ({ Clock::now() + delay, 0, false, {}, std::move (action) });
}

void VirtualDevice::post (Event event)
{
    {
        const std::lock_guard<std::mutex> lock (mutex);
        event.sequence = nextSequence++;
        events.push (std::move (event));
    }
    wakeUp.notify_all();
}

void VirtualDevice::runDevice()
{
    std::unique_lock<std::mutex> lock (mutex);

    while (! stopping)
    {
        if (events.empty())
        {
            wakeUp.wait (lock);
            continue;
        }

        if (const auto due = events.top().due; due > Clock::now())
        {
            // A copy: the queue may grow (and move its events) while the lock is released.
            wakeUp.wait_until (lock, due);
            continue;
        }

        auto event = events.top();
        events.pop();
        lock.unlock();

        if (event.action)
            event.action();
        else if (event.incoming)
            handleIncoming (event.message);
        else
            sendOutgoing (event.message);

        lock.lock();
    }
}
